#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/atomic_file.h"
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

}  // namespace
}  // namespace corvane
