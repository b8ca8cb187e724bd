#include "input/sensor_mouse.h"

#include <cstddef>

namespace corvane {
namespace {

char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position of the first case-insensitive occurrence of a lower-case needle that starts with a digit, or
// npos. Digits have no case, so the first character is found with a plain (vectorised) search.
std::size_t find_ignoring_case(std::string_view haystack, std::string_view needle) {
  for (std::size_t i = haystack.find(needle[0]); i != std::string_view::npos;
       i = haystack.find(needle[0], i + 1)) {
    if (haystack.size() - i < needle.size()) return std::string_view::npos;
    std::size_t j = 1;
    while (j < needle.size() && lower(haystack[i + j]) == needle[j])
      ++j;
    if (j == needle.size()) return i;
  }
  return std::string_view::npos;
}

// Only the first occurrence counts, and it must not stand at the very start of the name.
bool found_past_start(std::string_view name, std::string_view needle) {
  const std::size_t at = find_ignoring_case(name, needle);
  return at != std::string_view::npos && at > 0;
}

}  // namespace

bool is_sensor_mouse_name(std::string_view device_name) {
  return found_past_start(device_name, "0c45") &&
         (found_past_start(device_name, "7e11") || found_past_start(device_name, "7e12"));
}

}  // namespace corvane
