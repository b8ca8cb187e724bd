#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "input/sensor_report.h"
#include "replay/capture.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

const std::string kRecording = std::string(CORVANE_TEST_DATA_DIR) + "/ppg/welltory_s12.ppg.csv";

int run(const std::vector<std::string>& args) {
  return testing::run_program(CORVANE_CAPTURE_TOOL, args);
}

TEST(FromPpgCommand, real_recording_becomes_a_replayable_capture_of_sample_reports) {
  testing::TempFolder out;
  const auto capture_path = out / "s12.capture";
  ASSERT_EQ(run({"from-ppg", kRecording, "--page-signal", "--lift-at", "20", "--rest-at", "25", "-o",
                 capture_path.string()}),
            0);
  const Result<std::vector<CaptureEntry>> capture = read_capture(capture_path);
  ASSERT_TRUE(capture) << capture.error().message;
  // 68.1 s of recording at the sensor's 21.7 reports a second, plus the page signal.
  ASSERT_GT(capture->size(), 1450u);
  EXPECT_LT(capture->size(), 1500u);
  const auto& first = std::get<HidReport>((*capture)[0].report).bytes;
  EXPECT_EQ(decode_sensor_report(first).action, SensorAction::ShowHeartPage);

  int lifted = 0;
  for (std::size_t i = 1; i < capture->size(); ++i) {
    const CaptureEntry& e = (*capture)[i];
    const auto& bytes = std::get<HidReport>(e.report).bytes;
    ASSERT_EQ(decode_sensor_report(bytes).action, SensorAction::SampleBlock) << i;
    EXPECT_EQ(e.t_ms, std::llround(static_cast<double>(i - 1) * 1000.0 / 21.7));
    const bool contact = bytes[8] < 20;
    EXPECT_EQ(contact, e.t_ms < 20000 || e.t_ms >= 25000) << e.t_ms;
    if (!contact) ++lifted;
  }
  EXPECT_EQ(lifted, 109);  // the reports from 20 s to 25 s
}

TEST(FromPpgCommand, bad_use_and_bad_input_fail_without_writing) {
  testing::TempFolder out;
  EXPECT_EQ(run({"from-ppg"}), 2);
  EXPECT_EQ(run({"from-ppg", kRecording, "--lift-at", "soon"}), 2);
  EXPECT_EQ(run({"from-ppg", kRecording, "--bogus"}), 2);
  EXPECT_EQ(run({"from-ppg", (out / "missing.csv").string(), "-o", (out / "x").string()}), 1);
  EXPECT_FALSE(std::filesystem::exists(out / "x"));
  EXPECT_EQ(run({"no-such-subcommand"}), 2);
}

}  // namespace
}  // namespace corvane
