#include "support/child_process.h"

#include <windows.h>

#include "base/path_text.h"

namespace corvane::testing {
namespace {

// The C runtime splits the command line back into arguments: quotes around each, backslashes doubled
// where a quote follows them.
void append_quoted(std::wstring& line, const std::wstring& arg) {
  line += L'"';
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

}  // namespace

int run_program(const std::filesystem::path& program, const std::vector<std::string>& args) {
  std::wstring line;
  append_quoted(line, program.wstring());
  for (const std::string& a : args) {
    line += L' ';
    append_quoted(line, path_from_text(a).wstring());
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  // A program that hangs fails its test here, with the rest of the test program still reported.
  const bool ended = WaitForSingleObject(process.hProcess, 120'000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 99);
  DWORD code = 0;
  const bool got = ended && GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return got ? static_cast<int>(code) : -1;
}

}  // namespace corvane::testing
