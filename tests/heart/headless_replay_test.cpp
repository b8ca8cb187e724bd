// End to end: the repository's real PPG recordings turned into captures by `corvane-capture from-ppg`,
// replayed headless in virtual time through the whole program (decoder, engine, heart side, the real
// detection library loaded from the program folder), judged by the HeartRateLog.txt it leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "base/file_read.h"
#include "engine/command_line.h"
#include "engine/headless.h"
#include "heart/heart_log.h"
#include "heart/ppg_recording.h"
#include "replay/capture.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

constexpr LocalDateTime kStart{2026, 12, 8, 10, 0, 0, 0, 2};

class HeadlessReplay : public ::testing::Test {
 protected:
  // Runs the capture tool on the recording `name` (the sensor's reports at its true clock); `tool_args`
  // add contact changes in seconds of the recording.
  std::filesystem::path make_capture(const std::string& name,
                                     const std::vector<std::string>& tool_args = {}) {
    recording_ = testing::PpgRecording::load(CORVANE_TEST_DATA_DIR "/ppg", name);
    const auto capture = folder_ / (name + ".capture");
    std::vector<std::string> args{"from-ppg", CORVANE_TEST_DATA_DIR "/ppg/" + name + ".ppg.csv", "-o",
                                  capture.string()};
    args.insert(args.end(), tool_args.begin(), tool_args.end());
    EXPECT_EQ(testing::run_program(CORVANE_CAPTURE_TOOL, args), 0) << name;
    return capture;
  }

  // The program in headless mode on a capture, virtual time; returns its exit status, keeps its messages.
  int replay(const std::filesystem::path& capture) {
    CommandLine options;
    options.headless = true;
    options.fast = true;
    options.replay = capture;
    options.data_dir = data_;
    options.start = kStart;
    std::ostringstream err;
    const int status = run_headless(options, err);
    messages_ = err.str();
    return status;
  }

  std::vector<HeartLog> results() const {
    const auto text = read_whole_file(data_ / kHeartLogFileName);
    return text ? parse_heart_log(*text) : std::vector<HeartLog>{};
  }

  // The mean reference over the 10 s of the recording before a result, and the result's recording time.
  void expect_near_reference(const HeartLog& result) {
    const double t = static_cast<double>(result.time - to_local_timestamp(kStart));
    const auto reference = recording_.mean_reference(t - 10.0, t);
    ASSERT_TRUE(reference) << "no reference before " << t << " s";
    EXPECT_NEAR(result.bpm, *reference, 3.0) << "result at " << t << " s of the recording";
  }

  testing::TempFolder folder_;
  std::filesystem::path data_ = folder_ / "data";
  testing::PpgRecording recording_;
  std::string messages_;
};

class HeadlessReplayOf : public HeadlessReplay, public ::testing::WithParamInterface<const char*> {};

TEST_P(HeadlessReplayOf, resting_thumb_saves_one_result_near_the_reference) {
  const auto capture = make_capture(GetParam());
  ASSERT_EQ(replay(capture), 0) << messages_;
  const auto list = results();
  ASSERT_EQ(list.size(), 1u) << "one contact period, one result";
  expect_near_reference(list[0]);
  EXPECT_EQ(messages_.find("message:"), std::string::npos) << "no alert without a threshold: " << messages_;
}

INSTANTIATE_TEST_SUITE_P(Recordings, HeadlessReplayOf,
                         ::testing::Values("welltory_s01", "welltory_s07", "welltory_s12", "welltory_s14",
                                           "welltory_s16", "welltory_s19", "welltory_s20", "cinc2015_a103l",
                                           "cinc2015_v102s"));

TEST_F(HeadlessReplay, lifting_and_replacing_the_thumb_gives_two_results) {
  // Rests from the start, lifted at 60 s, back at 66 s (capture seconds).
  const auto capture = make_capture("cinc2015_v102s", {"--lift-at", "60", "--rest-at", "66"});
  ASSERT_EQ(replay(capture), 0) << messages_;
  const auto list = results();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_GT(list[0].time, to_local_timestamp(kStart) + 66) << "newest first, taken after the thumb came back";
  EXPECT_LT(list[1].time, to_local_timestamp(kStart) + 60);
  expect_near_reference(list[0]);
  expect_near_reference(list[1]);
}

TEST_F(HeadlessReplay, result_above_the_threshold_prints_the_rest_message) {
  std::filesystem::create_directories(data_);
  std::ofstream(data_ / "set.ini") << "[Alert]\r\ncheck_bpm=1\r\nbpm=90\r\ncheck_alert_hr_opt=1\r\nmsg=\r\n";
  const auto capture = make_capture("cinc2015_v102s");
  ASSERT_EQ(replay(capture), 0) << messages_;
  ASSERT_EQ(results().size(), 1u);
  EXPECT_GT(results()[0].bpm, 90);
  EXPECT_NE(messages_.find("message: パソコンの操作時間が長くなっています。休憩しましょう。\n"),
            std::string::npos)
      << messages_;
}

}  // namespace
}  // namespace corvane
