// A day file may be damaged or edited by hand: parsing it must never crash, and whatever it yields
// must survive a save and a reload unchanged (the next save writes exactly those counts).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "activitylog/day_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const corvane::DayParse parsed = corvane::parse_day(text);
  const corvane::DayParse reread = corvane::parse_day(corvane::serialize_day(parsed.record));
  FUZZ_CHECK(!reread.damage);
  FUZZ_CHECK(reread.record == parsed.record);
  return 0;
}
