#include "export/csv_export.h"

#include <cstdint>
#include <cstdio>
#include <locale>
#include <sstream>

#include "activitylog/day_file.h"
#include "base/units.h"
#include "base/user_texts.h"

namespace corvane {

std::string build_csv_export(const std::vector<HeartLog>& heart_log, const std::filesystem::path& data_folder,
                             const LocalDateTime& today, Notifier& notifier) {
  std::ostringstream out;
  out.imbue(std::locale::classic());  // the distance always uses a decimal point
  out << "Heart rate history\n----------------------------\nDate , Heart rate\n";
  for (const HeartLog& r : heart_log)
    out << r.text << ',' << r.bpm << '\n';
  out << "\n\nMouse state:\n----------------------\n";
  out << "\n\nDate , left click , right click , wheel click , side1 click , side2 click, distance(m)\n";
  for (int d = 0; d < kExportDays; ++d) {
    const LocalDateTime date = add_days(today, -d);
    const DailyActivity day = load_day(data_folder, day_file_name(date), notifier);
    if (!day.loaded) continue;
    std::uint64_t sums[kButtonKinds] = {};
    double metres = 0;
    for (int h = 0; h < kHoursPerDay; ++h) {
      for (int b = 0; b < kButtonKinds; ++b)
        sums[b] += day.clicks[b][h];
      metres += day.move_counts[h] / static_cast<double>(kDisplayDpi) * 0.0254;  // counts per inch
    }
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d", date.year, date.month, date.day);
    out << stamp;
    for (std::uint64_t s : sums)
      out << ',' << s;
    out << ',' << metres << '\n';
  }
  return out.str();
}

Result<void> export_csv(const std::vector<HeartLog>& heart_log, const std::filesystem::path& data_folder,
                        const LocalDateTime& today, const std::filesystem::path& out_path,
                        Notifier& notifier) {
  const Result<void> r =
      write_chosen_file(out_path, build_csv_export(heart_log, data_folder, today, notifier));
  if (!r) notifier.show_message(user_text::kExportError);
  return r;
}

std::string default_export_name(const LocalDateTime& today) {
  char name[64];
  std::snprintf(name, sizeof name, "heartrate_%04d-%02d-%02d", today.year, today.month, today.day);
  return name;
}

}  // namespace corvane
