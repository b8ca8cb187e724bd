#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "platform/atomic_file.h"
#include "platform/file_read.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(AtomicFile, replacing_keeps_the_files_mode_and_a_new_file_follows_the_umask) {
  testing::TempFolder folder;
  namespace fs = std::filesystem;
  // A user who made the heart-rate list private keeps it private across saves.
  const auto kept = folder / "HeartRateLog.txt";
  ASSERT_TRUE(write_file_atomically(kept, "[]"));
  fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(write_file_atomically(kept, "[1]"));
  EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_write);

  const mode_t saved = ::umask(077);
  const Result<void> created = write_file_atomically(folder / "new.txt", "x");
  ::umask(saved);
  ASSERT_TRUE(created);
  EXPECT_EQ(fs::status(folder / "new.txt").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// A user who keeps set.ini elsewhere and links it in keeps the link; what is no regular file stays.
TEST(AtomicFile, a_link_leads_to_the_file_replaced_and_what_cannot_be_replaced_is_refused) {
  testing::TempFolder folder;
  namespace fs = std::filesystem;
  fs::create_directory(folder / "elsewhere");
  ASSERT_TRUE(write_file_atomically(folder / "elsewhere" / "real.ini", "old"));
  fs::create_symlink("elsewhere/real.ini", folder / "set.ini");
  ASSERT_TRUE(write_file_atomically(folder / "set.ini", "new"));
  EXPECT_TRUE(fs::is_symlink(folder / "set.ini"));
  EXPECT_EQ(read_whole_file(folder / "elsewhere" / "real.ini"), "new");

  ASSERT_EQ(::mkfifo((folder / "pipe.txt").c_str(), 0600), 0);
  fs::create_directory(folder / "folder.txt");
  for (const char* name : {"pipe.txt", "folder.txt"}) {
    const Result<void> r = write_file_atomically(folder / name, "x");
    ASSERT_FALSE(r) << name;
    EXPECT_NE(r.error().message.find(name), std::string::npos);
  }
  EXPECT_TRUE(fs::is_fifo(folder / "pipe.txt"));
  EXPECT_TRUE(fs::is_directory(folder / "folder.txt"));
}

// A writer killed between creating its temporary and renaming it leaves the temporary behind; the next
// save into the folder removes it once it is stale. A fresh one may belong to a writer still at work,
// and files that only look alike are the user's.
TEST(AtomicFile, next_save_removes_stale_temporaries_of_killed_writers) {
  testing::TempFolder folder;
  namespace fs = std::filesystem;
  const auto stale = folder / ".20261207.txt.corvane-Ab3dE9";
  const auto fresh = folder / ".HeartRateLog.txt.corvane-x1Y2z3";
  const auto users = folder / ".notes.backup";
  for (const auto& p : {stale, fresh, users})
    ASSERT_TRUE(write_file_atomically(p, "partial"));
  const auto an_hour_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
  fs::last_write_time(stale, an_hour_ago);
  fs::last_write_time(users, an_hour_ago);
  ASSERT_TRUE(write_file_atomically(folder / "20261208.txt", "{}"));
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_TRUE(fs::exists(users));
}

}  // namespace
}  // namespace corvane
