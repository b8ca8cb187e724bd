#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace corvane {

// Turns a PPG recording into the sensor reports the mouse would send, so that a heart-rate measurement
// can be replayed from real data. The mouse sends 21.7 reports a second (see below); each is the 17-byte
// layout 00 08 08 01, the reading (4 bytes, little-endian), the contact byte, the auxiliary bytes 10 00,
// zeros.

struct PpgSample {
  double t_s = 0;
  double value = 0;
};

//! Parses a "t_s,ppg" CSV (that header first, then one sample a line, times increasing); a malformed
//! line fails it all with "<file>:<line>: <what>".
Result<std::vector<PpgSample>> parse_ppg_csv(std::string_view text, std::string_view file_name);

// When the thumb rests on the sensor: it rests from the start unless the first change is a rest; each
// change flips it at its time (seconds of the recording).
struct ContactChange {
  double t_s = 0;
  bool rests = true;
};

struct PpgCaptureOptions {
  std::vector<ContactChange> contact;  // in any order; empty: rests all the time
  std::int64_t offset_ms = 0;          // t_ms of the first report
  bool page_signal = false;            // begin with the report that brings up the heart-rate page
  double rate_hz = 21.7;               // reports per second (kSensorReportsPerSecond)
};

// The sensor's sample clock runs 8.5 % above its nominal 20 Hz: the detection library's default
// frequency offset (1.085) turns intervals counted in nominal 50 ms steps into true beats per minute
// only when the readings arrive at 21.7 Hz. A capture that stands in for the mouse sends at that rate.
inline constexpr double kSensorReportsPerSecond = 21.7;
inline constexpr std::uint8_t kContactResting = 0x05;  // below 20: a thumb on the sensor
inline constexpr std::uint8_t kContactLifted = 0xFF;
inline constexpr double kReadingCentre = 400000.0;
inline constexpr double kReadingScale = 4000.0;

//! The 17-byte sample report for one reading.
std::vector<std::uint8_t> sensor_sample_report(std::uint32_t reading, bool contact);
//! The 17-byte report that brings up the heart-rate page.
std::vector<std::uint8_t> heart_page_report();

//! The recording resampled at `rate_hz` and scaled: reading = 400000 - 4000 z, z being the value centred
//! on the recording's median and divided by its 5-95 % percentile range. While the thumb is lifted the
//! reading stays at 400000.
struct SensorSample {
  std::int64_t t_ms = 0;
  std::uint32_t reading = 0;
  bool contact = true;
};
std::vector<SensorSample> ppg_to_sensor_samples(const std::vector<PpgSample>& samples,
                                                const std::vector<ContactChange>& contact,
                                                double rate_hz = kSensorReportsPerSecond);

//! A whole capture (header, a comment naming the source, one hid line per report).
std::string ppg_to_capture(const std::vector<PpgSample>& samples, const PpgCaptureOptions& options,
                           std::string_view source_name);

//! The q-quantile (0..1) of values, interpolating between neighbours of the sorted values.
double quantile(std::vector<double> values, double q);

}  // namespace corvane
