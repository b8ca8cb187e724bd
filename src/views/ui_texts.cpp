#include "views/ui_texts.h"

#include <QCoreApplication>
#include <array>
#include <string>
#include <string_view>

#include "base/user_texts.h"

namespace corvane {
namespace {

// Fixed entries by index (the k... names of ui_texts.h); the words themselves live in the one table of
// user texts. Indexes 0, 1, 4, 25, 26 and 44 hold no text; the font face and the device ID are filled
// at start-up.
constexpr std::array<const char*, text::kCount> kFixed = {
    "",                              // 0
    "",                              // 1
    "",                              // 2 font face (run time)
    "",                              // 3 device ID (run time)
    "",                              // 4
    user_text::kLeftButton,          // 5
    user_text::kRightButton,         // 6
    user_text::kCentreButton,        // 7
    user_text::kSideButton1,         // 8
    user_text::kSideButton2,         // 9
    user_text::kSingleClick,         // 10
    user_text::kDoubleClick,         // 11
    user_text::kTimesUnit,           // 12
    user_text::kTotalTravel,         // 13
    user_text::kTravel,              // 14
    user_text::kClickTravelData,     // 15
    user_text::kHeartMeasurement,    // 16
    user_text::kViewPastDays,        // 17
    user_text::kBackToToday,         // 18
    user_text::kTodayHeading,        // 19
    user_text::kDayHeadingFormat,    // 20
    user_text::kMonthHeadingFormat,  // 21
    user_text::kPreviousMonth,       // 22
    user_text::kNextMonth,           // 23
    user_text::kChartLegend,         // 24
    "",                              // 25
    "",                              // 26
    user_text::kHeartMeasurement,    // 27
    user_text::kViewPastDays,        // 28
    user_text::kToHeartPage,         // 29
    user_text::kResultsHeading,      // 30
    user_text::kWaitSecondsFormat,   // 31
    user_text::kExportPageHeading,   // 32
    user_text::kClickTravelData,     // 33
    user_text::kDataOutput,          // 34
    user_text::kDisclaimer,          // 35
    user_text::kDataUpload,          // 36
    user_text::kUploading,           // 37
    user_text::kUploadDone,          // 38
    user_text::kAlertSettings,       // 39
    user_text::kThumbPrompt,         // 40
    user_text::kStabilising,         // 41
    user_text::kPressureHint,        // 42
    user_text::kQuitQuestion,        // 43
    "",                              // 44
    user_text::kAlertSettings,       // 45
    user_text::kAlertPageTitle,      // 46
    user_text::kAlertConditions,     // 47
    user_text::kAlertByClicks,       // 48
    user_text::kLeftClick,           // 49
    user_text::kRightClick,          // 50
    user_text::kTotalClicks,         // 51
    user_text::kParticleGa,          // 52
    user_text::kWithinHours,         // 53
    user_text::kTimesExceeded,       // 54
    user_text::kCursorTravel,        // 55
    user_text::kMetresExceeded,      // 56
    user_text::kMeasuredHeartRate,   // 57
    user_text::kWhenMeasuring,       // 58
    user_text::kBpmExceeded,         // 59
    user_text::kAlertText,           // 60
    user_text::kRestReminder,        // 61
    user_text::kOther,               // 62
    user_text::kApply,               // 63
    user_text::kCancel,              // 64
};

// The translation contexts the marked texts of base/user_texts.h are collected under.
constexpr const char* kTextContext = "corvane::user_text";
constexpr const char* kWeekdayContext = "corvane::user_text::weekday";

// Core messages that end in a path or a reason after a fixed head.
constexpr const char* kMessageHeads[] = {user_text::kUploadToolNotStarted, user_text::kUploadFileNotWritten,
                                         user_text::kUploadToolFailed, user_text::kUploadToolStopped,
                                         user_text::kUploadIdRefused};

// The two run-time entries, written once at start-up before any page draws.
std::string g_font_face;
std::string g_device_id;

}  // namespace

const char* ui_text_utf8(int index) {
  if (index < 0 || index >= text::kCount) return "";
  if (index == text::kFontFace) return g_font_face.c_str();
  if (index == text::kDeviceId) return g_device_id.c_str();
  return kFixed[static_cast<std::size_t>(index)];
}

QString ui_text(int index) {
  if (index == text::kFontFace || index == text::kDeviceId) return QString::fromUtf8(ui_text_utf8(index));
  return shown_text(ui_text_utf8(index));
}

QString shown_text(const char* original) {
  if (*original == '\0') return {};
  return QCoreApplication::translate(kTextContext, original);
}

QString shown_weekday(int day) {
  if (day < 0 || day >= 7) return {};
  return QCoreApplication::translate(kWeekdayContext, user_text::kWeekdays[day]);
}

QString shown_message(const std::string& text) {
  const QString whole = shown_text(text.c_str());
  if (whole != QString::fromStdString(text)) return whole;
  for (const char* head : kMessageHeads) {
    const std::string_view h(head);
    if (text.starts_with(h)) return shown_text(head) + QString::fromStdString(text.substr(h.size()));
  }
  return whole;
}

void set_ui_font_face(const QString& face) {
  g_font_face = face.toStdString();
}

void set_ui_device_id(const QString& id) {
  g_device_id = id.toStdString();
}

QString ui_format(int index, std::initializer_list<int> numbers) {
  // Replace each "%d" in order; the table's formats hold nothing but "%d" conversions.
  const QString format = ui_text(index);
  QString out;
  auto next = numbers.begin();
  for (qsizetype i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'd') {
      if (next != numbers.end()) out += QString::number(*next++);
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

QString ui_display_text(int index) {
  QString s = ui_text(index);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace corvane
