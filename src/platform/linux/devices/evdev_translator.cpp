#include "devices/evdev_translator.h"

#include <algorithm>
#include <utility>

namespace corvane {
namespace {

// Down and up flag of each button we count; other keys are not part of a mouse report.
std::optional<std::pair<std::uint16_t, std::uint16_t>> button_flag_pair(std::uint16_t code) {
  switch (code) {
    case BTN_LEFT:
      return std::pair{button_flags::kLeftDown, button_flags::kLeftUp};
    case BTN_RIGHT:
      return std::pair{button_flags::kRightDown, button_flags::kRightUp};
    case BTN_MIDDLE:
      return std::pair{button_flags::kMiddleDown, button_flags::kMiddleUp};
    case BTN_SIDE:
      return std::pair{button_flags::kFourthDown, button_flags::kFourthUp};
    case BTN_EXTRA:
      return std::pair{button_flags::kFifthDown, button_flags::kFifthUp};
    default:
      return std::nullopt;
  }
}

std::int32_t saturating_add(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = static_cast<std::int64_t>(a) + b;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
}

}  // namespace

EvdevTranslator::EvdevTranslator(std::string device_name, VirtualScreen screen)
    : device_name_(std::move(device_name)),
      screen_(screen),
      cursor_x_(screen.width / 2),
      cursor_y_(screen.height / 2) {}

void EvdevTranslator::set_absolute_range(std::uint16_t axis, std::int32_t minimum, std::int32_t maximum) {
  if (axis == ABS_X) range_x_ = {minimum, maximum};
  if (axis == ABS_Y) range_y_ = {minimum, maximum};
}

std::int32_t EvdevTranslator::normalized(std::int32_t value, const AxisRange& range) {
  if (range.maximum <= range.minimum) return std::clamp(value, 0, 65535);
  const std::int64_t offset = std::clamp<std::int64_t>(value, range.minimum, range.maximum) - range.minimum;
  return static_cast<std::int32_t>(offset * 65535 /
                                   (static_cast<std::int64_t>(range.maximum) - range.minimum));
}

void EvdevTranslator::drop_group() {
  flags_ = 0;
  dx_ = dy_ = 0;
  relative_ = absolute_ = false;
}

std::optional<MouseReport> EvdevTranslator::feed(const input_event& event) {
  switch (event.type) {
    case EV_KEY:
      if (const auto pair = button_flag_pair(event.code)) {
        if (event.value == 1) flags_ |= pair->first;
        if (event.value == 0) flags_ |= pair->second;
        // 2 is key repeat, which buttons do not change state with.
      }
      return std::nullopt;
    case EV_REL:
      switch (event.code) {
        case REL_X:
          dx_ = saturating_add(dx_, event.value);
          relative_ = true;
          break;
        case REL_Y:
          dy_ = saturating_add(dy_, event.value);
          relative_ = true;
          break;
        case REL_WHEEL:
        case REL_HWHEEL:
        case REL_WHEEL_HI_RES:
        case REL_HWHEEL_HI_RES:
          if (event.value != 0) flags_ |= button_flags::kWheel;
          break;
        default:
          break;
      }
      return std::nullopt;
    case EV_ABS:
      if (event.code == ABS_X) {
        abs_x_ = normalized(event.value, range_x_);
        absolute_ = true;
      }
      if (event.code == ABS_Y) {
        abs_y_ = normalized(event.value, range_y_);
        absolute_ = true;
      }
      return std::nullopt;
    case EV_SYN:
      if (event.code != SYN_REPORT) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }

  // SYN_REPORT closes the group.
  if (flags_ == 0 && !absolute_ && (!relative_ || (dx_ == 0 && dy_ == 0))) {
    drop_group();
    return std::nullopt;
  }
  MouseReport report;
  report.device_name = device_name_;
  report.button_flags = flags_;
  if (absolute_) {
    report.absolute = true;
    report.dx = abs_x_;
    report.dy = abs_y_;
    cursor_x_ = static_cast<std::int32_t>(static_cast<std::int64_t>(abs_x_) * (screen_.width - 1) / 65535);
    cursor_y_ = static_cast<std::int32_t>(static_cast<std::int64_t>(abs_y_) * (screen_.height - 1) / 65535);
  } else {
    report.dx = dx_;
    report.dy = dy_;
    cursor_x_ = std::clamp<std::int32_t>(saturating_add(cursor_x_, dx_), 0, screen_.width - 1);
    cursor_y_ = std::clamp<std::int32_t>(saturating_add(cursor_y_, dy_), 0, screen_.height - 1);
  }
  report.cursor_x = cursor_x_;
  report.cursor_y = cursor_y_;
  drop_group();
  return report;
}

}  // namespace corvane
