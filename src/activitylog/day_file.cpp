#include "activitylog/day_file.h"

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <system_error>

#include "base/file_read.h"
#include "base/path_text.h"
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

// One count: an unsigned 32-bit integer under `key`.
Result<std::uint32_t> read_count(const nlohmann::json& object, const std::string& key) {
  const auto it = object.find(key);
  if (it == object.end()) return fail("\"" + key + "\" is missing");
  if (!it->is_number_unsigned() || it->get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max())
    return fail("\"" + key + "\" is not a count");
  return static_cast<std::uint32_t>(it->get<std::uint64_t>());
}

// Reads `key` into `out`; on damage leaves `out` as it was and says what is wrong in `damage`.
bool read_count_into(const nlohmann::json& object, const std::string& key, std::uint32_t& out,
                     std::optional<Error>& damage) {
  Result<std::uint32_t> count = read_count(object, key);
  if (!count) {
    damage = count.error();
    return false;
  }
  out = *count;
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
    result.damage = fail("not a JSON object");
    return result;
  }
  const auto version = object.find("log_ver");
  if (version == object.end() || !version->is_number_integer()) {
    result.damage = fail("\"log_ver\" is missing or not a number");
    return result;
  }
  if (version->get<std::int64_t>() != 1) return result;  // a later format: nothing we can read, no error

  // Read in the file's documented order so that a failure keeps exactly the counts before it.
  for (int h = 0; h < kHoursPerDay; ++h) {
    if (!read_count_into(object, move_key(h), result.record.move_counts[h], result.damage)) return result;
    for (int b = 0; b < kButtonKinds; ++b) {
      if (!read_count_into(object, click_key(h, b), result.record.clicks[b][h], result.damage) ||
          !read_count_into(object, double_click_key(h, b), result.record.double_clicks[b][h], result.damage))
        return result;
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
  DayParse parsed = text ? parse_day(*text) : DayParse{{}, fail("cannot read " + path_text(path))};
  parsed.record.loaded = 1;
  if (parsed.damage) {
    // The live day goes on from what could be read, and its next save replaces the file: keep the
    // damaged bytes beside it first, so no count is lost for good. If even that copy fails there is
    // nothing more to do than the message below.
    if (text) static_cast<void>(keep_damaged_copy(path, *text));
    notifier.show_message(user_text::kLoadError);
  }
  return parsed.record;
}

}  // namespace corvane
