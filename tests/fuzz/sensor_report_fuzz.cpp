// Vendor reports straight from the device, decoded and fed through the heart side into the detection
// library linked in: a report of any length or content must never read past its end or upset the
// detector.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "heart/measurement_state.h"
#include "heart/ostrel_binding.h"
#include "heart/ppg_ring.h"
#include "heart/sample_handler.h"
#include "input/sensor_report.h"
#include "ostrel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A fresh detector per input: the library keeps one instance in static data, and an input must
  // replay the same way on its own.
  corvane::OstrelBinding binding(corvane::OstrelEntryPoints{HRDOpen_i20Hz, HRDProcessTop, HRD_Get_HRAvg,
                                                            HRDClose, HRDReset, HRD_Get_ReadyFlag});
  FUZZ_CHECK(binding.ensure_bound());
  corvane::PpgRing ring;
  corvane::MeasurementState state;

  // Each report: one length byte (16 or 17 mostly, any other now and then), then its bytes.
  std::span<const std::uint8_t> rest(data, size);
  std::int64_t now_ms = 0;
  while (!rest.empty()) {
    const std::size_t length = std::min<std::size_t>(rest[0] % 20, rest.size() - 1);
    const std::span<const std::uint8_t> report = rest.subspan(1, length);
    rest = rest.subspan(1 + length);
    now_ms += 46;

    const corvane::SensorDecode decoded = corvane::decode_sensor_report(report);
    if (decoded.action != corvane::SensorAction::SampleBlock) continue;
    FUZZ_CHECK(decoded.block_offset + corvane::kSampleBlockSize <= report.size());
    corvane::handle_sample_block(ring, state, binding.detector(),
                                 report.subspan(decoded.block_offset).first<corvane::kSampleBlockSize>(),
                                 now_ms);
  }
  return 0;
}
