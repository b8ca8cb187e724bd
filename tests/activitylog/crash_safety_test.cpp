#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "activitylog/day_file.h"
#include "activitylog/day_writer.h"
#include "platform/file_read.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

// A day whose every count is k: a torn write would mix two values.
DailyActivity uniform_day(std::uint32_t k) {
  DailyActivity day;
  for (int h = 0; h < kHoursPerDay; ++h) {
    day.move_counts[h] = k;
    for (int b = 0; b < kButtonKinds; ++b)
      day.clicks[b][h] = day.double_clicks[b][h] = k;
  }
  return day;
}

bool is_uniform(const DailyActivity& day, std::uint32_t& k) {
  k = day.move_counts[0];
  return day == uniform_day(k);
}

// Rewrites the day file forever with k+1, k+2, ... where k is what the file holds now; says so on
// `started` once the first rewrite is done, so every kill lands among the rewrites, never before them.
[[noreturn]] void rewrite_forever(const std::filesystem::path& folder, int started) {
  DayWriter writer(folder);
  const auto text = read_whole_file(folder / "20261208.txt");
  std::uint32_t k = 0;
  if (text) is_uniform(parse_day(*text).record, k);
  if (!writer.save_day("20261208.txt", uniform_day(++k))) ::_exit(1);
  const char byte = 1;
  if (::write(started, &byte, 1) != 1) ::_exit(1);
  for (;;)
    static_cast<void>(writer.save_day("20261208.txt", uniform_day(++k)));
}

TEST(DayFileCrashSafety, killed_writer_always_leaves_the_old_or_the_new_day) {
  testing::TempFolder folder;
  ASSERT_TRUE(DayWriter(folder.path()).save_day("20261208.txt", uniform_day(0)));
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delay_us(0, 3000);

  constexpr int kKills = 300;
  std::uint32_t last = 0;
  for (int i = 0; i < kKills; ++i) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) rewrite_forever(folder.path(), started[1]);
    char byte = 0;
    ASSERT_EQ(::read(started[0], &byte, 1), 1);
    ::close(started[0]);
    ::close(started[1]);
    ::usleep(static_cast<useconds_t>(delay_us(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);

    const auto text = read_whole_file(folder / "20261208.txt");
    ASSERT_TRUE(text) << "kill " << i;
    const DayParse parsed = parse_day(*text);
    ASSERT_FALSE(parsed.damage) << "kill " << i << ": the file does not parse";
    std::uint32_t k = 0;
    ASSERT_TRUE(is_uniform(parsed.record, k)) << "kill " << i << ": a mixture of two days";
    ASSERT_GT(k, last) << "kill " << i << ": the file lost a completed rewrite";
    last = k;
  }
}

}  // namespace
}  // namespace corvane
