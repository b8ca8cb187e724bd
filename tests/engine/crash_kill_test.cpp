// The whole headless program replaying captures on one data folder, killed with SIGKILL at random
// moments. Each start replays the next stretch of the clock (a program killed and started again later
// the same day, now and then across midnight and the hour), so every saved count and result is owned by
// the folder: after each kill every file must still parse, and no count may ever go down.
//
// CORVANE_CRASH_KILLS sets the number of kills (default 30) and CORVANE_CRASH_SEED the random moments.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "activitylog/day_file.h"
#include "alerts/ini_file.h"
#include "platform/file_read.h"
#include "engine/command_line.h"
#include "engine/headless.h"
#include "export/upload_file.h"
#include "heart/heart_log.h"
#include "replay/capture.h"
#include "replay/ppg_capture.h"
#include "support/temp_folder.h"

namespace corvane::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kCaptureSeconds = 120;
constexpr int kStretchSeconds = 150;  // one start to the next, in virtual time
const LocalDateTime kFirstStart{2026, 12, 31, 23, 50, 0, 0, 4};
constexpr char kSensorMouse[] = R"(\\?\hid#vid_0c45&pid_7e11&mi_00#8&1f0e3c2a&0&0000#{crash-test})";

int env_int(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

// Two minutes of use: a click every 250 ms with a little travel, and a thumb that rests on the sensor
// three times (a real recording), so day files, the heart-rate list and the upload file all change.
std::string make_capture() {
  const auto samples = parse_ppg_csv(
      read_whole_file(fs::path(CORVANE_TEST_DATA_DIR) / "ppg/bidmc_01.ppg.csv").value(), "bidmc_01.ppg.csv");
  if (!samples) {
    ADD_FAILURE() << samples.error().message;
    return "";
  }
  std::multimap<std::int64_t, std::string> lines;
  const std::vector<ContactChange> contact = {{38, false}, {42, true}, {78, false}, {82, true}};
  for (const SensorSample& s : ppg_to_sensor_samples(*samples, contact)) {
    if (s.t_ms >= kCaptureSeconds * 1000) break;
    lines.emplace(s.t_ms, format_capture_line(
                              s.t_ms, HidReport{kSensorMouse, sensor_sample_report(s.reading, s.contact)}));
  }
  for (std::int64_t t = 100; t < kCaptureSeconds * 1000; t += 250) {
    const std::uint16_t flags = (t / 250) % 2 ? button_flags::kLeftUp : button_flags::kLeftDown;
    lines.emplace(t, format_capture_line(t, MouseReport{kSensorMouse, flags, false, 7, -3, 500, 500}));
  }
  std::string text = std::string(kCaptureHeader) + "\n";
  for (const auto& [t, line] : lines)
    text += line + "\n";
  return text;
}

std::string start_argument(int stretch) {
  const LocalDateTime t = from_local_timestamp(to_local_timestamp(kFirstStart) + stretch * kStretchSeconds);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  return text;
}

// What the folder holds, read the way the program reads it at its next start.
struct FolderState {
  std::map<std::string, DailyActivity> days;
  std::vector<HeartLog> results;  // newest first
  bool upload_file = false;
};

// Fails the test when a file of the folder does not parse completely.
FolderState read_folder(const fs::path& data) {
  FolderState state;
  for (const auto& entry : fs::directory_iterator(data)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".")) continue;  // the lock and writers' temporaries, never read back
    const auto text = read_whole_file(entry.path());
    EXPECT_TRUE(text) << name;
    if (!text) continue;
    if (name == kHeartLogFileName) {
      state.results = parse_heart_log(*text);
      EXPECT_EQ(serialize_heart_log(state.results), *text)
          << name << " lost entries or is not the list's own form";
    } else if (name == kUploadFileName) {
      const auto json = nlohmann::json::parse(*text, nullptr, false);
      EXPECT_TRUE(json.is_object()) << name << ":\n" << *text;
      state.upload_file = true;
    } else if (name == "set.ini") {
      EXPECT_EQ(IniFile::parse(*text).text(), *text) << name;
    } else if (name.ends_with(".damaged")) {
      ADD_FAILURE() << name << ": the program found a file it had written damaged";
    } else if (name.size() == 12 && name.ends_with(".txt")) {
      const DayParse day = parse_day(*text);
      EXPECT_FALSE(day.damage) << name << ": " << (day.damage ? day.damage->message : "");
      state.days[name] = day.record;
    }
  }
  return state;
}

void expect_nothing_lost(const FolderState& before, const FolderState& after, int kill) {
  for (const auto& [name, old_day] : before.days) {
    const auto found = after.days.find(name);
    ASSERT_NE(found, after.days.end()) << name << " vanished after kill " << kill;
    const DailyActivity& now = found->second;
    for (int b = 0; b < kButtonKinds; ++b)
      for (int h = 0; h < kHoursPerDay; ++h) {
        ASSERT_GE(now.clicks[b][h], old_day.clicks[b][h])
            << name << " button " << b << " hour " << h << ", kill " << kill;
        ASSERT_GE(now.double_clicks[b][h], old_day.double_clicks[b][h]) << name << ", kill " << kill;
      }
    for (int h = 0; h < kHoursPerDay; ++h)
      ASSERT_GE(now.move_counts[h], old_day.move_counts[h]) << name << " hour " << h << ", kill " << kill;
  }
  // New results go in front; the older ones stay as they were.
  ASSERT_GE(after.results.size(), before.results.size()) << "kill " << kill;
  const std::vector<HeartLog> kept(after.results.end() - static_cast<std::ptrdiff_t>(before.results.size()),
                                   after.results.end());
  ASSERT_EQ(kept, before.results) << "kill " << kill;
}

// The program as its main() runs it with these arguments, in a child process; stderr goes to `log`.
pid_t start_program(const std::vector<std::string>& arguments, const fs::path& log) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd >= 0) ::dup2(fd, STDERR_FILENO);
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  const auto options = parse_command_line(args);
  ::_exit(options ? run_headless(*options, std::cerr) : 99);
}

// Waits for the child; the exit status, or -signal when a signal ended it.
int reap(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(CrashKill, killed_replays_never_break_a_file_or_lose_a_count) {
  const int kills = env_int("CORVANE_CRASH_KILLS", 30);
  const unsigned seed =
      static_cast<unsigned>(env_int("CORVANE_CRASH_SEED", static_cast<int>(std::random_device{}())));
  SCOPED_TRACE("CORVANE_CRASH_SEED=" + std::to_string(seed));
  std::mt19937 random(seed);

  TempFolder folder;
  const fs::path data = folder / "data";
  const fs::path capture = folder / "use.capture";
  const fs::path log = folder / "stderr.txt";
  {
    std::FILE* out = std::fopen(capture.c_str(), "wb");
    ASSERT_TRUE(out);
    const std::string text = make_capture();
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  const auto arguments = [&](int stretch) {
    return std::vector<std::string>{"--headless", "--replay",    capture.string(), "--fast",
                                    "--data-dir", data.string(), "--start",        start_argument(stretch)};
  };

  // A whole run first: it must end cleanly, and its length bounds the moments of the kills.
  auto began = Clock::now();
  ASSERT_EQ(reap(start_program(arguments(0), log)), 0) << read_whole_file(log).value_or("");
  auto shortest_run = Clock::now() - began;
  FolderState state = read_folder(data);
  ASSERT_FALSE(state.results.empty()) << "the capture should leave results";
  ASSERT_FALSE(HasFailure());

  int killed_while_running = 0;
  for (int kill = 1; kill <= kills; ++kill) {
    // Within the shortest run seen so far, so that on a busy machine most kills still land mid-run.
    const auto bound = std::chrono::duration_cast<std::chrono::microseconds>(shortest_run).count();
    std::uniform_int_distribution<long long> moment(0, bound);
    began = Clock::now();
    const pid_t pid = start_program(arguments(kill), log);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(pid, SIGKILL);
    const int status = reap(pid);
    if (status == -SIGKILL) {
      ++killed_while_running;
    } else {
      ASSERT_EQ(status, 0) << "run " << kill << ": " << read_whole_file(log).value_or("");
      shortest_run = std::min(shortest_run, Clock::now() - began);
    }
    FolderState now = read_folder(data);
    ASSERT_FALSE(HasFailure()) << "after kill " << kill;
    expect_nothing_lost(state, now, kill);
    if (HasFailure()) return;
    state = std::move(now);
  }
  // Some runs end before their kill; most must not, or the kills test nothing.
  EXPECT_GE(killed_while_running, kills / 2);
  EXPECT_TRUE(state.days.contains("20270101.txt")) << "the runs should cross midnight";
  std::printf("%d kills, %d while the program ran; %zu day files, %zu results kept, upload file %s\n", kills,
              killed_while_running, state.days.size(), state.results.size(),
              state.upload_file ? "written" : "never written");
}

}  // namespace
}  // namespace corvane::testing
