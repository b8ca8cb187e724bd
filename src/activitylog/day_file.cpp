#include "activitylog/day_file.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <system_error>

#include "base/file_read.h"
#include "base/user_texts.h"
#include "platform/atomic_file.h"

namespace corvane {
namespace {

std::string click_key(int h, int b) {
  return "click_h" + std::to_string(h) + "_b" + std::to_string(b);
}
std::string double_click_key(int h, int b) {
  return "dbclick_h" + std::to_string(h) + "_b" + std::to_string(b);
}
std::string move_key(int h) {
  return "hour_move_pixel_h" + std::to_string(h);
}

// Reads one count; false when the key is missing or its value is not an unsigned 32-bit integer.
bool read_count(const nlohmann::json& object, const std::string& key, std::uint32_t& out) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_number_unsigned()) return false;
  const auto value = it->get<std::uint64_t>();
  if (value > std::numeric_limits<std::uint32_t>::max()) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace

std::string serialize_day(const DailyActivity& day) {
  // nlohmann::json's default object is a std::map: keys come out in ascending byte order.
  nlohmann::json object = nlohmann::json::object();
  object["log_ver"] = 1;
  for (int h = 0; h < kHoursPerDay; ++h) {
    object[move_key(h)] = day.move_counts[h];
    for (int b = 0; b < kButtonKinds; ++b) {
      object[click_key(h, b)] = day.clicks[b][h];
      object[double_click_key(h, b)] = day.double_clicks[b][h];
    }
  }
  return object.dump();
}

DayParse parse_day(std::string_view text) {
  DayParse result;
  const nlohmann::json object = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!object.is_object()) {
    result.error = true;
    return result;
  }
  const auto version = object.find("log_ver");
  if (version == object.end() || !version->is_number_integer()) {
    result.error = true;
    return result;
  }
  if (version->get<std::int64_t>() != 1) return result;  // a later format: nothing we can read, no error

  // Read in the file's documented order so that a failure keeps exactly the counts before it.
  for (int h = 0; h < kHoursPerDay; ++h) {
    if (!read_count(object, move_key(h), result.record.move_counts[h])) {
      result.error = true;
      return result;
    }
    for (int b = 0; b < kButtonKinds; ++b) {
      if (!read_count(object, click_key(h, b), result.record.clicks[b][h]) ||
          !read_count(object, double_click_key(h, b), result.record.double_clicks[b][h])) {
        result.error = true;
        return result;
      }
    }
  }
  return result;
}

DailyActivity load_day(const std::filesystem::path& data_folder, const std::string& file_name,
                       Notifier& notifier) {
  const std::filesystem::path path = data_folder / file_name;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return DailyActivity{};

  const auto text = read_whole_file(path);
  DayParse parsed = text ? parse_day(*text) : DayParse{{}, true};
  parsed.record.loaded = 1;
  if (parsed.error) {
    // The live day goes on from what could be read, and its next save replaces the file: keep the
    // damaged bytes beside it first, so no count is lost for good.
    if (text) keep_damaged_copy(path, *text);
    notifier.show_message(user_text::kLoadError);
  }
  return parsed.record;
}

}  // namespace corvane
