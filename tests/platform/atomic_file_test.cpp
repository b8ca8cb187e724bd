#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include "base/file_read.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

TEST(AtomicFile, writes_new_file_and_replaces_existing_one) {
  testing::TempFolder folder;
  const auto path = folder / "day.txt";
  ASSERT_TRUE(write_file_atomically(path, "first"));
  EXPECT_EQ(read_whole_file(path), "first");
  ASSERT_TRUE(write_file_atomically(path, "second, longer"));
  EXPECT_EQ(read_whole_file(path), "second, longer");
  ASSERT_TRUE(write_file_atomically(path, ""));
  EXPECT_EQ(read_whole_file(path), "");
}

TEST(AtomicFile, leaves_no_temporary_files_behind) {
  testing::TempFolder folder;
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(write_file_atomically(folder / "a.json", std::to_string(i)));
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
    ++files;
  EXPECT_EQ(files, 1);
}

TEST(AtomicFile, missing_folder_is_reported_and_nothing_is_created) {
  testing::TempFolder folder;
  const Result<void> r = write_file_atomically(folder / "no-such-folder" / "x.txt", "data");
  EXPECT_FALSE(r.has_value());
  EXPECT_NE(r.error().message.find("no-such-folder"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "no-such-folder"));
}

}  // namespace
}  // namespace corvane
