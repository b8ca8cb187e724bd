// Captures come from bug reports and hand edits: any text must parse or fail with a message, and what
// parses must write back to lines that read the same again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "fuzz_check.h"
#include "replay/capture.h"

namespace {

std::string rewrite(const std::vector<corvane::CaptureEntry>& entries) {
  std::string text(corvane::kCaptureHeader);
  text += '\n';
  for (const auto& entry : entries) {
    std::visit([&](const auto& report) { text += corvane::format_capture_line(entry.t_ms, report); },
               entry.report);
    text += '\n';
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parsed = corvane::parse_capture(text, "fuzz.capture");
  if (!parsed) {
    FUZZ_CHECK(!parsed.error().message.empty());
    return 0;
  }
  const std::string written = rewrite(*parsed);
  const auto reread = corvane::parse_capture(written, "rewritten.capture");
  FUZZ_CHECK(reread);
  FUZZ_CHECK(reread->size() == parsed->size());
  FUZZ_CHECK(rewrite(*reread) == written);
  return 0;
}
