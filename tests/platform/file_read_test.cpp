#include "platform/file_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/atomic_file.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

// What stands where a data file should be is refused with its path named, at once: a folder, a pipe
// that nobody writes to (opening it the usual way would wait for ever), a link to an endless device, a
// file beyond the caller's limit. None of these is "missing", which would let the next save replace it.
TEST(DataFileReading, refuses_what_is_not_a_small_regular_file_without_blocking) {
  testing::TempFolder folder;
  namespace fs = std::filesystem;
  fs::create_directory(folder / "folder.txt");
  ASSERT_EQ(::mkfifo((folder / "pipe.txt").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", folder / "zero.txt");
  ASSERT_TRUE(write_file_atomically(folder / "big.txt", std::string(101, 'x')));
  for (const char* name : {"folder.txt", "pipe.txt", "zero.txt", "big.txt"}) {
    const auto read = read_whole_file(folder / name, 100);
    ASSERT_FALSE(read) << name;
    EXPECT_FALSE(read.error().missing) << name;
    EXPECT_NE(read.error().message.find((folder / name).string()), std::string::npos) << read.error().message;
  }
  EXPECT_EQ(read_whole_file(folder / "big.txt", 101), std::string(101, 'x'));
  const auto missing = read_whole_file(folder / "none.txt", 100);
  ASSERT_FALSE(missing);
  EXPECT_TRUE(missing.error().missing);
}

}  // namespace
}  // namespace corvane
