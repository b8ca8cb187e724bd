#include "heart/heart_session.h"

#include <algorithm>
#include <cstdio>

#include "base/user_texts.h"

namespace corvane {
namespace {

std::string bpm_text(int bpm) {
  char text[32];
  std::snprintf(text, sizeof text, user_text::kReadoutFormat, bpm);
  return text;
}

std::string readout_of(const MeasurementState& s) {
  if (!s.contact || !s.ready) return user_text::kNoReadout;
  // Counting shows the average rounded half up; a held result shows what was stored.
  return bpm_text(s.hold ? result_bpm(s.result) : static_cast<int>(s.running_average + 0.5f));
}

bool heart_lit(const MeasurementState& s, std::int64_t now_ms) {
  return s.running_average > 45.0f && s.running_average < kResultBelow && now_ms - s.no_contact_ms > 1000 &&
         now_ms - s.beat_ms < 250;
}

}  // namespace

std::int32_t result_bpm(float result) {
  return static_cast<std::int32_t>(result);
}

SessionStep step_session(MeasurementState& s, std::int64_t now_ms) {
  SessionStep step;
  step.readout = readout_of(s);
  step.heart_lit = heart_lit(s, now_ms);

  if (s.result_fixed) {
    s.hold = true;
    step.readout = readout_of(s);
    step.message = step.readout;
  } else {
    const std::int64_t steady_ms = now_ms - s.not_ready_ms;
    if (!s.ready && s.receive_countdown > 0) {
      step.message = s.contact ? user_text::kStabilising : user_text::kThumbPrompt;
    } else if (s.ready) {
      // Integer division truncates toward zero; the countdown goes on below 0 while the average is out
      // of range.
      const std::int64_t left = std::min<std::int64_t>((kStabilisingMs - steady_ms) / 1000, 8);
      char text[48];
      std::snprintf(text, sizeof text, user_text::kWaitSecondsFormat, static_cast<int>(left));
      step.message = text;
    }
    if (s.running_average > kResultAbove && s.running_average < kResultBelow && steady_ms >= kStabilisingMs) {
      s.result = s.running_average;
      s.result_fixed = true;
      // From here on the page holds the stored (truncated) value, so the result line, the readout and the
      // list all show the same number.
      s.hold = true;
      step.new_result = s.result;
      step.readout = readout_of(s);
      char text[48];
      std::snprintf(text, sizeof text, user_text::kResultFormat, static_cast<int>(result_bpm(s.result)));
      step.message = text;
    }
  }
  step.show_hint = s.contact && !s.hold;
  return step;
}

}  // namespace corvane
