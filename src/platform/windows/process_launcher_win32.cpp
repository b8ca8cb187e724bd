#include <windows.h>

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

}  // namespace

Result<void> launch_detached(const std::filesystem::path& program, const std::vector<std::string>& args) {
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
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &si, &pi)) {
    return fail("cannot start " + path_text(program) + ": error " + std::to_string(GetLastError()));
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return {};
}

}  // namespace corvane
