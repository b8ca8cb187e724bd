#pragma once

#include <QString>
#include <initializer_list>
#include <string>

namespace corvane {

// The user-interface texts: one process-wide table that every page draws its labels from, each entry
// named below. The fixed entries never change (their words are those of base/user_texts.h); the font
// face and the device ID are filled once at start-up.
namespace text {
inline constexpr int kFontFace = 2;
inline constexpr int kDeviceId = 3;
inline constexpr int kLeftButton = 5;
inline constexpr int kRightButton = 6;
inline constexpr int kCentreButton = 7;
inline constexpr int kSideButton1 = 8;
inline constexpr int kSideButton2 = 9;
inline constexpr int kSingleClick = 10;
inline constexpr int kDoubleClick = 11;
inline constexpr int kTimesUnit = 12;
inline constexpr int kTotalTravel = 13;
inline constexpr int kTravel = 14;
inline constexpr int kClickTravelHeading = 15;
inline constexpr int kHeartMeasurement = 16;
inline constexpr int kViewPastDays = 17;
inline constexpr int kBackToToday = 18;
inline constexpr int kTodayHeading = 19;
inline constexpr int kDayHeadingFormat = 20;    // year, month, day
inline constexpr int kMonthHeadingFormat = 21;  // month
inline constexpr int kPreviousMonth = 22;
inline constexpr int kNextMonth = 23;
inline constexpr int kChartLegend = 24;
inline constexpr int kHeartMeasurement2 = 27;
inline constexpr int kViewResults = 28;
inline constexpr int kToHeartPage = 29;
inline constexpr int kResultsHeading = 30;
inline constexpr int kWaitSecondsFormat = 31;  // seconds
inline constexpr int kExportPageHeading = 32;
inline constexpr int kClickTravelData = 33;
inline constexpr int kDataOutput = 34;
inline constexpr int kDisclaimer = 35;
inline constexpr int kDataUpload = 36;
inline constexpr int kUploading = 37;
inline constexpr int kUploadDone = 38;
inline constexpr int kAlertSettings = 39;
inline constexpr int kPromptThumb = 40;
inline constexpr int kPromptStabilising = 41;
inline constexpr int kPromptRelax = 42;
inline constexpr int kQuitQuestion = 43;
inline constexpr int kAlertSettings2 = 45;
inline constexpr int kAlertPageTitle = 46;
inline constexpr int kAlertConditions = 47;
inline constexpr int kAlertByClicks = 48;
inline constexpr int kLeftClick = 49;
inline constexpr int kRightClick = 50;
inline constexpr int kTotalClicks = 51;
inline constexpr int kParticleGa = 52;
inline constexpr int kWithinHours = 53;
inline constexpr int kTimesExceeded = 54;
inline constexpr int kCursorTravel = 55;
inline constexpr int kMetresExceeded = 56;
inline constexpr int kMeasuredHeartRate = 57;
inline constexpr int kWhenMeasuring = 58;
inline constexpr int kBpmExceeded = 59;
inline constexpr int kAlertText = 60;
inline constexpr int kDefaultBreakText = 61;
inline constexpr int kOther = 62;
inline constexpr int kApply = 63;
inline constexpr int kCancel = 64;
inline constexpr int kCount = 65;  // indexes run from 0 to kCount - 1
}  // namespace text

//! The text at `index` in the installed language; empty for the indexes that hold no text and for any
//! index outside the table.
QString ui_text(int index);

//! The original (Japanese) text at `index` as a UTF-8 string, whatever language is shown.
const char* ui_text_utf8(int index);

//! A text of base/user_texts.h in the installed language (the original where it has no translation).
QString shown_text(const char* original);

//! A weekday's short name in the installed language; 0 is Sunday.
QString shown_weekday(int day);

//! A text the core produced, as the user interface shows it: a text of base/user_texts.h translated
//! whole, or one that begins with such a text (a failed upload's line and its path) with that part
//! translated; any other text (the user's own alert text, a system error) as it is.
QString shown_message(const std::string& text);

//! The kFontFace entry: the face name of the font every page draws with (chosen at start-up).
void set_ui_font_face(const QString& face);

//! The kDeviceId entry: the device ID (read or registered at start-up).
void set_ui_device_id(const QString& id);

//! Fills a format entry (the k...Format ones) with plain decimal numbers, in order: "%d/%d/%d" with
//! 2024, 1, 5 gives "2024/1/5".
QString ui_format(int index, std::initializer_list<int> numbers);

//! A text as a message box or label shows it: the CR-LF of the quit question becomes one line break.
QString ui_display_text(int index);

}  // namespace corvane
