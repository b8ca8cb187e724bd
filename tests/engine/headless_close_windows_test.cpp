// corvane.exe --headless on Windows, ended by "/close" from a second program: both end with status 0,
// the first having saved its day. Once with a capture standing in for the mouse (its clicks must be in
// the day file), once with the raw-input layer itself (its window and registration must be accepted;
// under Wine no raw input arrives, so nothing is counted).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

#include "activitylog/day_file.h"
#include "platform/file_read.h"
#include "base/path_text.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kSensorMouse = R"(\\?\HID#VID_0C45&PID_7E11&MI_00#8&1f0e3c2a&0&0000#{378de44c})";

// A program started in the background, ended (if still running) at the end of the test.
class BackgroundProgram {
 public:
  BackgroundProgram(const fs::path& program, const std::vector<std::string>& args, const fs::path& errors) {
    std::wstring line = L"\"" + program.wstring() + L"\"";
    for (const std::string& a : args)
      line += L" \"" + path_from_text(a).wstring() + L"\"";
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE error_file = ::CreateFileW(errors.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = error_file;
    startup.hStdError = error_file;
    started_ = ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                &startup, &process_);
    ::CloseHandle(error_file);
  }
  ~BackgroundProgram() {
    if (!started_) return;
    if (::WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      ::TerminateProcess(process_.hProcess, 99);
    ::CloseHandle(process_.hThread);
    ::CloseHandle(process_.hProcess);
  }
  bool started() const { return started_; }
  DWORD id() const { return process_.dwProcessId; }
  // The exit status, or -1 when it has not ended within `timeout`.
  long wait(std::chrono::milliseconds timeout) const {
    if (::WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// True once the program `id` has written its number into the data folder's lock file: it holds the
// folder and its loop is about to run.
bool holds(const fs::path& data, DWORD id, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream lock(data / ".corvane.lock");
    std::string pid;
    if (lock >> pid && pid == std::to_string(id)) return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

class HeadlessOnWindows : public ::testing::Test {
 protected:
  testing::TempFolder root_;
  fs::path data_ = root_.path() / L"データ";
  fs::path errors_ = root_.path() / "first.err";
};

TEST_F(HeadlessOnWindows, close_from_a_second_program_ends_the_first_after_it_saved_the_day) {
  // Two left clicks at the start of the capture, then nothing for ten minutes: the first program is
  // still running when the close request comes, and has counted the clicks by then (reports that are due
  // are delivered before the loop first waits).
  const fs::path capture = root_.path() / "clicks.capture";
  std::ofstream(capture) << "corvane-capture 1\n"
                         << "0 mouse 0x0001 rel 0 0 10 10 " << kSensorMouse << "\n"
                         << "0 mouse 0x0002 rel 0 0 10 10 " << kSensorMouse << "\n"
                         << "0 mouse 0x0001 rel 0 0 400 400 " << kSensorMouse << "\n"
                         << "0 mouse 0x0002 rel 0 0 400 400 " << kSensorMouse << "\n"
                         << "600000 mouse 0x0000 rel 0 0 5 5 other-mouse\n";
  const BackgroundProgram first(CORVANE_PROGRAM,
                                {"--headless", "--data-dir", path_text(data_), "--replay", path_text(capture),
                                 "--start", "2026-03-04T10:20:00"},
                                errors_);
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(holds(data_, first.id(), 30s)) << read_whole_file(errors_).value_or("");

  EXPECT_EQ(testing::run_program(CORVANE_PROGRAM, {"--headless", "--data-dir", path_text(data_), "/close"}),
            0);
  EXPECT_EQ(first.wait(30s), 0) << read_whole_file(errors_).value_or("");
  const auto text = read_whole_file(data_ / "20260304.txt");
  ASSERT_TRUE(text);
  EXPECT_EQ(parse_day(*text).record.clicks[0][10], 2u);
}

TEST_F(HeadlessOnWindows, the_raw_input_layer_starts_and_close_ends_the_program) {
  fs::create_directories(data_);
  const BackgroundProgram first(CORVANE_PROGRAM, {"--headless", "--data-dir", path_text(data_)}, errors_);
  ASSERT_TRUE(first.started());
  ASSERT_TRUE(holds(data_, first.id(), 30s)) << read_whole_file(errors_).value_or("");
  EXPECT_EQ(testing::run_program(CORVANE_PROGRAM, {"--headless", "--data-dir", path_text(data_), "/close"}),
            0);
  const long status = first.wait(30s);
  const std::string errors = read_whole_file(errors_).value_or("");
  EXPECT_EQ(status, 0) << errors;
  EXPECT_EQ(errors.find("devices"), std::string::npos) << errors;  // the layer failed to start
  bool saved_a_day = false;
  for (const auto& entry : fs::directory_iterator(data_))
    saved_a_day =
        saved_a_day || (entry.path().extension() == ".txt" && entry.path().stem().native().size() == 8 &&
                        entry.path().stem().native().find_first_not_of(L"0123456789") == std::wstring::npos);
  EXPECT_TRUE(saved_a_day);
}

}  // namespace
}  // namespace corvane
