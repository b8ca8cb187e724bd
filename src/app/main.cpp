// The corvane program: parses the command line, then runs the desktop program, or the engine's
// headless mode with --headless.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/desktop_application.h"
#include "app/shell_args.h"
#include "engine/command_line.h"
#include "engine/headless.h"

int main(int argc, char** argv) {
  // The desktop program's own switches (--demo, --close, --hide) come out first.
  const corvane::ShellArgs shell =
      corvane::split_shell_args(std::vector<std::string_view>(argv + 1, argv + argc));
  if (!shell.error.empty()) {
    std::cerr << "corvane: " << shell.error << '\n';
    return 2;
  }
  const std::vector<std::string_view> args(shell.rest.begin(), shell.rest.end());
  const corvane::CommandLineParse parsed = corvane::parse_command_line(args);
  if (!parsed) {
    std::cerr << "corvane: " << parsed.error << '\n' << corvane::command_line_usage();
    return 2;
  }
  if (parsed.options.help) {
    std::cout << corvane::command_line_usage()
              << "  --demo         the desktop program fed by a built-in capture (no mouse needed)\n"
                 "  /close, --close  end the program running on the data folder\n"
                 "  /hide, --hide    start hidden in the tray\n"
                 "  --screenshots DIR  save pictures of the main menu and each page into DIR, then end\n"
                 "  --screenshot-delay S  seconds before the first picture (default 3)\n";
    return 0;
  }
  if (parsed.options.headless) {
    if (shell.demo || shell.screenshots) {
      std::cerr << "corvane: --demo and --screenshots need the desktop program, not --headless\n";
      return 2;
    }
    return corvane::run_headless(parsed.options, std::cerr);
  }
  corvane::DesktopApplication::Start start;
  start.options = parsed.options;
  start.demo = shell.demo;
  if (shell.screenshots) start.screenshots = QString::fromStdString(*shell.screenshots);
  start.screenshot_delay_ms = shell.screenshot_delay_s * 1000;
  return corvane::DesktopApplication::run(argc, argv, start);
}
