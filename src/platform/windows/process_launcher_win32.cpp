#include <windows.h>

#include <algorithm>

#include "base/path_text.h"
#include "platform/process_launcher.h"
#include "wide_text.h"

namespace corvane {
namespace {

// Quotes one argument so that CommandLineToArgvW and the C runtime give it back unchanged: backslashes
// are literal except before a double quote, where they and the quote are escaped.
std::wstring quote_argument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  for (auto it = arg.begin();; ++it) {
    std::size_t backslashes = 0;
    while (it != arg.end() && *it == L'\\') {
      ++it;
      ++backslashes;
    }
    if (it == arg.end()) {
      out.append(backslashes * 2, L'\\');
      break;
    }
    if (*it == L'"') {
      out.append(backslashes * 2 + 1, L'\\');
      out.push_back(L'"');
    } else {
      out.append(backslashes, L'\\');
      out.push_back(*it);
    }
  }
  out.push_back(L'"');
  return out;
}

// The child and a job object it is put into, so that ending it ends what it started.
class WindowsChild final : public ChildProcess {
 public:
  WindowsChild(HANDLE process, HANDLE job) : process_(process), job_(job) {}
  ~WindowsChild() override {
    // A program still running goes on by itself: closing our handles neither ends nor waits for it
    // (the job is made without kill-on-close).
    if (job_) CloseHandle(job_);
    CloseHandle(process_);
  }

  std::optional<int> wait_for(std::chrono::milliseconds bound) override {
    const auto ms = static_cast<DWORD>(std::min<long long>(bound.count(), 0x7FFFFFFE));
    if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
  }

  void kill() override {
    if (!job_ || !TerminateJobObject(job_, 1)) TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
  }

 private:
  HANDLE process_;
  HANDLE job_;
};

}  // namespace

Result<std::unique_ptr<ChildProcess>> ChildProcess::start(const std::filesystem::path& program,
                                                          const std::vector<std::string>& args) {
  const std::wstring exe = program.wstring();
  std::wstring command_line = quote_argument(exe);
  for (const auto& a : args) {
    command_line.push_back(L' ');
    command_line += quote_argument(widen(a));
  }
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION pi{};
  // Suspended until it sits in its job, so nothing it starts escapes the job.
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &si, &pi)) {
    return fail("cannot start " + path_text(program) + ": error " + std::to_string(GetLastError()));
  }
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job && !AssignProcessToJobObject(job, pi.hProcess)) {
    CloseHandle(job);
    job = nullptr;  // already in a job that allows no other: only the process itself can be ended
  }
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  return std::unique_ptr<ChildProcess>(std::make_unique<WindowsChild>(pi.hProcess, job));
}

}  // namespace corvane
