// The heart-rate list is read back at every start: any content must load, and the entries it yields
// must be saved and reloaded unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "heart/heart_log.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto entries = corvane::parse_heart_log(text);
  FUZZ_CHECK(corvane::parse_heart_log(corvane::serialize_heart_log(entries)) == entries);
  return 0;
}
