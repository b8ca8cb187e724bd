// A report descriptor comes from the device: a broken or hostile one must be refused or give lengths
// the kernel could really deliver, and any read sorted through it must come out at its collection's length.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "devices/hid_report_layout.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::vector<std::uint8_t> descriptor =
      input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 4096));
  const auto layout = corvane::parse_report_descriptor(descriptor);
  if (!layout) return 0;
  for (const auto& collection : layout->collections)
    FUZZ_CHECK(collection.input_report_length <= 1 + 16384);
  for (const auto& [id, index] : layout->input_reports)
    FUZZ_CHECK(index < layout->collections.size());

  while (input.remaining_bytes() > 0) {
    const std::vector<std::uint8_t> read =
        input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
    const auto normalized = corvane::normalize_hid_report(*layout, read);
    if (!normalized) continue;
    const std::uint8_t id = layout->numbered ? read.at(0) : 0;
    FUZZ_CHECK(normalized->size() ==
               layout->collections.at(layout->input_reports.at(id)).input_report_length);
  }
  return 0;
}
