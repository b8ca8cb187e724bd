// Event records of a pointing device, as read from its event node, through the translation into
// reports and the button decoding: no sequence may crash, and the virtual cursor stays on its screen.
#include <fuzzer/FuzzedDataProvider.h>
#include <linux/input.h>

#include <cstddef>
#include <cstdint>

#include "devices/evdev_translator.h"
#include "fuzz_check.h"
#include "input/mouse_decoder.h"
#include "input/sensor_mouse.h"
#include "support/fake_clock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const corvane::VirtualScreen screen{input.ConsumeIntegralInRange<std::int32_t>(1, 8192),
                                      input.ConsumeIntegralInRange<std::int32_t>(1, 8192)};
  corvane::EvdevTranslator translator(input.ConsumeRandomLengthString(64), screen);
  translator.set_absolute_range(ABS_X, input.ConsumeIntegral<std::int32_t>(),
                                input.ConsumeIntegral<std::int32_t>());
  translator.set_absolute_range(ABS_Y, input.ConsumeIntegral<std::int32_t>(),
                                input.ConsumeIntegral<std::int32_t>());
  corvane::testing::FakeClock clock;
  corvane::MouseDecoder decoder(clock);

  while (input.remaining_bytes() >= 8) {
    if (input.ConsumeIntegralInRange<int>(0, 31) == 0) {
      translator.drop_group();
      continue;
    }
    input_event event{};
    event.type = input.ConsumeIntegralInRange<std::uint16_t>(0, 4);  // SYN, KEY, REL, ABS, MSC
    event.code = input.ConsumeIntegral<std::uint16_t>();
    event.value = input.ConsumeIntegral<std::int32_t>();
    clock.advance_ms(input.ConsumeIntegralInRange<int>(0, 1000));
    const auto report = translator.feed(event);
    FUZZ_CHECK(translator.cursor_x() >= 0 && translator.cursor_x() < screen.width);
    FUZZ_CHECK(translator.cursor_y() >= 0 && translator.cursor_y() < screen.height);
    if (!report) continue;
    (void)corvane::is_sensor_mouse_name(report->device_name);
    (void)decoder.apply_buttons(*report);
    FUZZ_CHECK(corvane::report_travel(*report) >= 0.0);
  }
  return 0;
}
