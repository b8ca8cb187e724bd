#pragma once

#include <cstdint>

namespace corvane {

// What the sample handler and the measurement session share. Times are process-clock milliseconds.
struct MeasurementState {
  bool contact = false;                   // the last block had a contact byte below 20
  bool previous_contact = false;          // the contact flag at the last detector reset
  bool ready = false;                     // the detector's last ready answer; false while there is no contact
  float running_average = 0.0f;           // the detector's average in bpm, fetched every 51 readings
  int fetch_counter = 0;                  // readings fed since the last fetch of the average
  std::int64_t not_ready_ms = 0;          // when the ready flag was last seen false (or contact absent)
  std::int64_t no_contact_ms = 0;         // when contact was last absent
  std::int64_t beat_ms = -1'000'000'000;  // when the last beat mark was set; "long ago" at start
  bool result_fixed = false;              // a result was taken in this contact period
  bool hold = false;                      // the readout shows the fixed result instead of the running average
  float result = 0.0f;                    // the fixed result of the current contact period, bpm
  int receive_countdown = 0;              // 4 after each block, counted down every 100 ms
};

}  // namespace corvane
