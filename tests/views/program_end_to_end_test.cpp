// End to end: the desktop program as a user runs it. A capture of a real PPG recording (the thumb on the
// sensor from 2 s) with clicks, double clicks, side-button presses and travel is played in real time into
// `corvane` under Xvfb (or Qt's offscreen platform where xvfb-run is missing), its wall clock starting
// shortly before minute 3 of an hour; a second process then asks it to end with "/close". Afterwards the
// data folder must hold the day file with exactly those counts, a heart rate near the recording's
// reference in HeartRateLog.txt, and the upload file of minute 3 handed once to the upload tool.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "activitylog/day_file.h"
#include "heart/heart_log.h"
#include "heart/ppg_recording.h"
#include "platform/file_read.h"
#include "replay/capture.h"
#include "support/temp_folder.h"

extern char** environ;

namespace corvane {
namespace {

using namespace std::chrono_literals;

constexpr LocalDateTime kStart{2026, 12, 8, 10, 2, 45, 0, 2};
constexpr const char* kStartText = "2026-12-08T10:02:45";
constexpr const char* kDeviceId = "1234567890123456";
constexpr const char* kMouse = "vid_0c45&pid_7e11";
constexpr const char* kRecording = "welltory_s16";

// What the clicks of the capture must add up to (all in the 10 o'clock hour).
constexpr std::uint32_t kLeftPresses = 10 + 3 * 2;
constexpr std::uint32_t kLeftDoubles = 3;
constexpr std::uint32_t kRightPresses = 4;
constexpr std::uint32_t kSidePresses = 2;
constexpr std::uint32_t kTravelUnits = 20 * 5000;

// A child process started with extra environment; killed (with its process group) if still running at
// the end of the test.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& extra_env) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
      env.emplace_back(*e);
    env.insert(env.end(), extra_env.begin(), extra_env.end());
    std::vector<char*> args, envp;
    for (const auto& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& e : env)
      envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    if (posix_spawnp(&pid_, args[0], nullptr, &attr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawnattr_destroy(&attr);
  }
  ~Child() {
    if (pid_ > 0 && !status_) {
      ::kill(-pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool started() const { return pid_ > 0; }
  //! The exit status once the child has ended within `limit`; nothing while it still runs.
  std::optional<int> wait_for(std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!status_) {
      int raw = 0;
      if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        break;
      }
      if (std::chrono::steady_clock::now() > until) break;
      std::this_thread::sleep_for(50ms);
    }
    return status_;
  }

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
};

bool on_path(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

class ProgramEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(data_);
    // A device ID already stored: no registration request leaves the machine.
    std::ofstream(data_ / "set.ini") << "[arg]\nid=" << kDeviceId << "\n";
    recording_ = testing::PpgRecording::load(CORVANE_TEST_DATA_DIR "/ppg", kRecording);
  }

  // The recording as the sensor's reports (at the sensor's true clock), the thumb resting from 2 s.
  std::filesystem::path make_ppg_capture() {
    const auto capture = folder_ / "ppg.capture";
    const std::string csv_path = std::string(CORVANE_TEST_DATA_DIR "/ppg/") + kRecording + ".ppg.csv";
    const std::string command = std::string("'") + CORVANE_CAPTURE_TOOL + "' from-ppg '" + csv_path +
                                "' -o '" + capture.string() + "' --rest-at 2";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return capture;
  }

  // The sensor reports merged with a hand's work on the mouse during the first 14 s.
  std::filesystem::path make_capture() {
    const auto ppg = make_ppg_capture();
    std::vector<std::pair<std::int64_t, std::string>> lines;
    std::ifstream in(ppg);
    std::string line;
    std::vector<std::string> head;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#' || line.starts_with("corvane-capture")) {
        head.push_back(line);
        continue;
      }
      lines.emplace_back(std::stoll(line), line);
    }
    auto mouse = [&](std::int64_t t, const char* flags, int dx, int dy, int x, int y) {
      std::ostringstream s;
      s << t << " mouse " << flags << " rel " << dx << ' ' << dy << ' ' << x << ' ' << y << ' ' << kMouse;
      lines.emplace_back(t, s.str());
    };
    std::int64_t t = 1000;
    for (int i = 0; i < 10; ++i, t += 400) {  // single left clicks, each at its own spot
      mouse(t, "0x0001", 0, 0, 100 + 40 * i, 200);
      mouse(t + 60, "0x0002", 0, 0, 100 + 40 * i, 200);
    }
    for (int i = 0; i < 3; ++i, t += 900) {  // double clicks: a second press 150 ms after the first
      const int x = 700 + 50 * i;
      mouse(t, "0x0001", 0, 0, x, 300);
      mouse(t + 60, "0x0002", 0, 0, x, 300);
      mouse(t + 150, "0x0001", 0, 0, x, 300);
      mouse(t + 210, "0x0002", 0, 0, x, 300);
    }
    for (int i = 0; i < 4; ++i, t += 500) {
      mouse(t, "0x0004", 0, 0, 120 + 30 * i, 500);
      mouse(t + 60, "0x0008", 0, 0, 120 + 30 * i, 500);
    }
    for (int i = 0; i < 2; ++i, t += 500) {
      mouse(t, "0x0040", 0, 0, 50, 50 + 40 * i);
      mouse(t + 60, "0x0080", 0, 0, 50, 50 + 40 * i);
    }
    for (int i = 0; i < 20; ++i, t += 40)
      mouse(t, "0x0000", 3000, 4000, 400, 400);
    EXPECT_LT(t, 14'000);
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto capture = folder_ / "session.capture";
    std::ofstream out(capture);
    for (const auto& h : head)
      out << h << '\n';
    for (const auto& [when, text] : lines)
      out << text << '\n';
    return capture;
  }

  std::vector<std::string> program(std::vector<std::string> args) const {
    std::vector<std::string> argv;
    if (use_xvfb_) argv = {"xvfb-run", "-a", "-s", "-screen 0 1280x800x24"};
    argv.push_back(CORVANE_PROGRAM);
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
  }
  std::vector<std::string> environment() const {
    std::vector<std::string> env = {std::string("CORVANE_UPLOAD_TOOL=") + CORVANE_UPLOAD_STUB,
                                    "BRALLOW_STUB_RECORD=" + (folder_ / "tool-starts.txt").string(),
                                    "CORVANE_REGISTRATION_URL=http://127.0.0.1:9"};
    if (!use_xvfb_) env.push_back("QT_QPA_PLATFORM=offscreen");
    return env;
  }

  // Waits until `done` holds, at most `limit`.
  template <typename Done>
  static bool wait_until(Done done, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(200ms);
    }
    return true;
  }

  testing::TempFolder folder_;
  std::filesystem::path data_ = folder_ / "data";
  testing::PpgRecording recording_;
  bool use_xvfb_ = on_path("xvfb-run");
};

TEST_F(ProgramEndToEnd, replay_with_clicks_then_close_from_a_second_process_leaves_day_heart_and_upload) {
  const auto capture = make_capture();
  Child running(program({"--data-dir", data_.string(), "--replay", capture.string(), "--start", kStartText}),
                environment());
  ASSERT_TRUE(running.started());

  // A heart rate is taken about 20 s after the thumb comes down; the upload starts at minute 3, 15 s in.
  const auto heart_file = data_ / kHeartLogFileName;
  const auto upload_file = data_ / "upload.json";
  const bool measured = wait_until(
      [&] { return std::filesystem::exists(heart_file) || running.wait_for(0ms).has_value(); }, 90s);
  ASSERT_FALSE(running.wait_for(0ms).has_value()) << "the program ended by itself";
  ASSERT_TRUE(measured) << "no heart rate within 90 s";
  ASSERT_TRUE(wait_until([&] { return std::filesystem::exists(folder_ / "tool-starts.txt"); }, 30s))
      << "the upload tool was not started at minute 3";

  // The data folder names the program to end; "/close" ends the walk through the arguments.
  Child closer(program({"--data-dir", data_.string(), "/close"}), environment());
  ASSERT_TRUE(closer.started());
  EXPECT_EQ(closer.wait_for(60s), std::optional<int>(0));
  EXPECT_EQ(running.wait_for(60s), std::optional<int>(0)) << "the running program did not end cleanly";

  // The day file: every press, double click and unit of travel of the capture, in the 10 o'clock hour.
  const auto day_text = read_whole_file(data_ / day_file_name(2026, 12, 8));
  ASSERT_TRUE(day_text);
  const DayParse day = parse_day(*day_text);
  ASSERT_FALSE(day.damage);
  EXPECT_EQ(day.record.clicks[0][10], kLeftPresses);
  EXPECT_EQ(day.record.double_clicks[0][10], kLeftDoubles);
  EXPECT_EQ(day.record.clicks[1][10], kRightPresses);
  EXPECT_EQ(day.record.double_clicks[1][10], 0u);
  EXPECT_EQ(day.record.clicks[3][10], kSidePresses);
  EXPECT_EQ(day.record.clicks[2][10] + day.record.clicks[4][10], 0u);
  EXPECT_EQ(day.record.move_counts[10], kTravelUnits);
  EXPECT_EQ(day.record.clicks[0][9] + day.record.clicks[0][11], 0u);

  // The heart rate: the first result within 3 bpm of the reference over the 10 s before it.
  const auto heart_text = read_whole_file(heart_file);
  ASSERT_TRUE(heart_text);
  const std::vector<HeartLog> results = parse_heart_log(*heart_text);
  ASSERT_GE(results.size(), 1u);
  const HeartLog& first = results.back();
  const double recording_s = static_cast<double>(first.time - to_local_timestamp(kStart));
  const auto reference = recording_.mean_reference(recording_s - 10.0, recording_s);
  ASSERT_TRUE(reference) << "no reference before " << recording_s << " s";
  EXPECT_NEAR(first.bpm, *reference, 3.0) << "result at " << recording_s << " s of the recording";
  EXPECT_EQ(first.text.substr(0, 14), "2026/12/08 10:");

  // The upload of minute 3: written once, handed to the tool once with the ID and the file's full path.
  const auto starts = read_whole_file(folder_ / "tool-starts.txt");
  ASSERT_TRUE(starts);
  EXPECT_EQ(std::count(starts->begin(), starts->end(), '\n'), 1) << *starts;
  const auto args = nlohmann::json::parse(starts->substr(0, starts->find('\n')));
  EXPECT_EQ(args, nlohmann::json::array({"_upload", kDeviceId, upload_file.string()}));

  const auto upload_text = read_whole_file(upload_file);
  ASSERT_TRUE(upload_text);
  const auto upload = nlohmann::json::parse(*upload_text);
  EXPECT_EQ(upload.at("display_dpi"), 1600);
  const auto& hours = upload.at("mouse_log");
  ASSERT_EQ(hours.size(), 24u);
  const auto ten = std::to_string(to_local_timestamp(2026, 12, 8, 10));
  ASSERT_TRUE(hours.contains(ten));
  // Every click came before minute 3, so the upload carries them all.
  EXPECT_EQ(hours.at(ten).at("click_l_s"), kLeftPresses);
  EXPECT_EQ(hours.at(ten).at("click_l_d"), kLeftDoubles);
  EXPECT_EQ(hours.at(ten).at("click_r_s"), kRightPresses);
  EXPECT_EQ(hours.at(ten).at("click_s_1"), kSidePresses);
  EXPECT_EQ(hours.at(ten).at("move_pixel"), kTravelUnits);
  EXPECT_EQ(hours.at(std::to_string(to_local_timestamp(2026, 12, 8, 9))).at("click_l_s"), 0);
  if (upload.contains("heart_rate_log")) {
    EXPECT_EQ(upload.at("heart_rate_log").size(), 1u);  // the result may come before minute 3 or after it
  }
}

}  // namespace
}  // namespace corvane
