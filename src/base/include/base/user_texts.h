#pragma once

// Every text the user sees, the core's messages and the pages' labels alike, each written once here so
// a change of wording reaches every place that shows it. UTF-8; the bytes are part of what users and
// their tools see, so change none by accident. "%d" entries are printf formats, "%1" entries Qt ones.
// The texts written CORVANE_TEXT(...) are the Japanese originals of the translated user interface: the
// translation tool collects them (context "corvane::user_text") into i18n/corvane_en.ts, and the desktop
// program shows each through its translation. The marker leaves the text as it is, so the core, the files
// and the headless program see the original bytes.
#define CORVANE_TEXT(text) text

namespace corvane::user_text {

// --- messages the core shows through the notifier ---
inline constexpr char kLoadError[] = "load error";       // a day file that cannot be read or parsed
inline constexpr char kExportError[] = "error";          // the CSV export could not be written
inline constexpr char kReminderError[] = "error:alert";  // a reminder tick failed
// The rest reminder's default text; the heart-rate alert and the settings page's fixed choice show it too.
inline constexpr char kRestReminder[] =
    CORVANE_TEXT("パソコンの操作時間が長くなっています。休憩しましょう。");
// The measurement reminder's default text; also the settings page's placeholder for its own text.
inline constexpr char kMeasurementReminder[] = CORVANE_TEXT("心拍測定時間です。心拍を測定して下さい。");
inline constexpr char kUploadDone[] = CORVANE_TEXT("アップロード完了");  // a manual upload went out
// A failed manual upload: each line is followed by the tool's or the file's path.
inline constexpr char kUploadToolNotStarted[] = CORVANE_TEXT("アップロードツールを起動できませんでした: ");
inline constexpr char kUploadFileNotWritten[] = CORVANE_TEXT("アップロードファイルを書き込めませんでした: ");
// "The upload tool ended with an error: "
inline constexpr char kUploadToolFailed[] = CORVANE_TEXT("アップロードツールがエラーで終了しました: ");
// "The upload tool did not end and was stopped: "
inline constexpr char kUploadToolStopped[] = CORVANE_TEXT("アップロードツールが終わらないため停止しました: ");
// "The device ID is not valid, so nothing was uploaded: "
inline constexpr char kUploadIdRefused[] = CORVANE_TEXT("デバイスIDが正しくないため、アップロードしませんでした: ");
// Under the export page's upload tile, "Last upload <time>: succeeded" / "...: failed (<log file>)".
inline constexpr char kLastUploadSucceededFormat[] = CORVANE_TEXT("前回のアップロード %1: 成功");
inline constexpr char kLastUploadFailedFormat[] = CORVANE_TEXT("前回のアップロード %1: 失敗（%2）");

// --- the heart-rate page's measurement view ---
inline constexpr char kNoReadout[] = "-- bpm";               // large readout without a steady contact
inline constexpr char kReadoutFormat[] = "%d bpm";           // large readout: average or result
inline constexpr char kResultFormat[] = "Result: %d bpm";    // message line once a result is taken
inline constexpr char kWaitSecondsFormat[] = "wait %d sec";  // message line while the signal settles
inline constexpr char kLatestEntryBpmFormat[] = " , %dbpm";  // after the newest entry's time
inline constexpr char kThumbPrompt[] = CORVANE_TEXT("親指を緑LEDに置いてください");
inline constexpr char kStabilising[] = CORVANE_TEXT("安定するのを待っています\n※十数秒かかります。");
inline constexpr char kPressureHint[] =  // under the message while the thumb rests on the sensor
    CORVANE_TEXT("力を抜き、軽く置いてください。\n強く押しすぎると計測できない場合があります。");
inline constexpr char kDisclaimer[] =  // on the heart-rate page
    CORVANE_TEXT(
        "計測データは完全に正確な数値を保証するものではありません。\n参考数値としてご活用ください。");
inline constexpr char kToHeartPage[] = CORVANE_TEXT("心拍測定画面へ");  // the results view's switch back
inline constexpr char kResultsHeading[] = CORVANE_TEXT("心拍測定データ履歴");  // the results view's heading

// --- the main window, the tiles and the status page ---
inline constexpr char kHeartMeasurement[] = CORVANE_TEXT("心拍測定");  // tile, tab and page heading
inline constexpr char kClickTravelData[] =
    CORVANE_TEXT("クリック数・移動距離データ");  // tile, tab and the export row
inline constexpr char kViewPastDays[] =
    CORVANE_TEXT("データの履歴をみる");  // status page and heart-rate page switch
inline constexpr char kBackToToday[] = CORVANE_TEXT("本日のデータに戻る");
inline constexpr char kTodayHeading[] = CORVANE_TEXT("本日のクリック数・移動距離データ");
inline constexpr char kDayHeadingFormat[] =
    CORVANE_TEXT("%d/%d/%dのクリック数・移動距離データ");  // year, month, day
inline constexpr char kMonthHeadingFormat[] = CORVANE_TEXT("%d月のクリック数・移動距離データ");  // month
inline constexpr char kPreviousMonth[] = CORVANE_TEXT("< 前月");
inline constexpr char kNextMonth[] = CORVANE_TEXT("次月 >");
inline constexpr char kChartLegend[] = CORVANE_TEXT("．総クリック数 －総移動距離");
inline constexpr char kLeftButton[] = CORVANE_TEXT("左クリックボタン");  // the figures' row heads...
inline constexpr char kRightButton[] = CORVANE_TEXT("右クリックボタン");
inline constexpr char kCentreButton[] = CORVANE_TEXT("センタ－ボタン");
inline constexpr char kSideButton1[] = CORVANE_TEXT("サイドボタン1");
inline constexpr char kSideButton2[] = CORVANE_TEXT("サイドボタン2");
inline constexpr char kSingleClick[] = CORVANE_TEXT("シングルクリック");  // ...and column heads
inline constexpr char kDoubleClick[] = CORVANE_TEXT("ダブルクリック");
inline constexpr char kTimesUnit[] = CORVANE_TEXT("回");
inline constexpr char kTotalTravel[] = CORVANE_TEXT("総移動距離");
inline constexpr char kTravel[] = CORVANE_TEXT("移動距離");
inline constexpr char kQuitQuestion[] =  // the quit question box; the CR-LF is kept as written
    CORVANE_TEXT("アプリケーションを終了しますか？\r\n（データの取得とアラートを中止します）");
// A start on a data folder that another computer names as its own (a synced folder): "The data folder
// is open on another computer (%1) since %2. Open it on this computer? (Only when Corvane no longer runs
// there; otherwise the two overwrite each other's data.)" %1 host name, %2 "YYYY-MM-DD HH:MM".
inline constexpr char kFolderHeldElsewhereQuestionFormat[] = CORVANE_TEXT(
    "データフォルダーは他のコンピューター（%1）で %2 から開かれています。\n"
    "このコンピューターで開きますか？\n"
    "（他のコンピューターで終了していない場合、データが上書きされます）");
inline constexpr char kFontAddFails[] = "Font add fails";  // the embedded font could not be added

// --- the export page ---
inline constexpr char kExportPageHeading[] = CORVANE_TEXT("データ出力・アップロード\nアラート設定");
inline constexpr char kDataOutput[] = CORVANE_TEXT("心拍、マウスデータ出力");
inline constexpr char kDataUpload[] = CORVANE_TEXT("データアップロード");
inline constexpr char kUploading[] = CORVANE_TEXT("アップロード中");
inline constexpr char kAlertSettings[] = CORVANE_TEXT("アラート設定");  // the export page's tile

// --- the alert settings page ---
inline constexpr char kAlertPageTitle[] = CORVANE_TEXT("アラート設定画面");
inline constexpr char kAlertConditions[] = CORVANE_TEXT("アラート設定条件");
inline constexpr char kAlertByClicks[] = CORVANE_TEXT("クリック回数で表示");
inline constexpr char kLeftClick[] = CORVANE_TEXT("左クリック");
inline constexpr char kRightClick[] = CORVANE_TEXT("右クリック");
inline constexpr char kTotalClicks[] = CORVANE_TEXT("合計クリック数");
inline constexpr char kParticleGa[] = CORVANE_TEXT("が");
inline constexpr char kWithinHours[] = CORVANE_TEXT("時間以内に");
inline constexpr char kTimesExceeded[] = CORVANE_TEXT("回を超えたとき");
inline constexpr char kCursorTravel[] = CORVANE_TEXT("カーソル移動距離");
inline constexpr char kMetresExceeded[] = CORVANE_TEXT("m(メートル)を超えたとき");
inline constexpr char kMeasuredHeartRate[] = CORVANE_TEXT("心拍を測定値");
inline constexpr char kWhenMeasuring[] = CORVANE_TEXT("計測時に");
inline constexpr char kBpmExceeded[] = CORVANE_TEXT("bpmを超えたとき");
inline constexpr char kAlertText[] = CORVANE_TEXT("アラート内容");
inline constexpr char kOther[] = CORVANE_TEXT("その他");
inline constexpr char kShowReminders[] =
    CORVANE_TEXT("測定タイミングをアラートで表示する");     // also an export page row
inline constexpr char kEveryHour[] = CORVANE_TEXT("毎時");  // also on the export page
inline constexpr char kReminderHours[] = CORVANE_TEXT("時(24時間表示)");
inline constexpr char kHourFormat[] =
    CORVANE_TEXT("%1時");                      // an hour of the reminder combos; also on the export page
inline constexpr char kNoHourChosen[] = "--";  // an hour combo with nothing chosen yet
inline constexpr char kEveryDay[] = CORVANE_TEXT("毎日");
// The weekdays, Sunday first. Their own namespace gives them their own translation context: "日" is
// both Sunday and the day suffix of a month chart's labels, two different words in English.
namespace weekday {
inline constexpr const char* kNames[7] = {CORVANE_TEXT("日"), CORVANE_TEXT("月"), CORVANE_TEXT("火"),
                                          CORVANE_TEXT("水"), CORVANE_TEXT("木"), CORVANE_TEXT("金"),
                                          CORVANE_TEXT("土")};
}  // namespace weekday
inline constexpr const auto& kWeekdays = weekday::kNames;
inline constexpr char kSettingsWriteErrorFormat[] = "error\n%1";  // "set.ini" could not be written: why
inline constexpr char kApply[] = CORVANE_TEXT("適用");
inline constexpr char kCancel[] = CORVANE_TEXT("キャンセル");

// Small marks and the main window's own labels.
inline constexpr char kMainMenu[] = CORVANE_TEXT("メインメニュー");  // the button that goes back to the tiles
inline constexpr char kHourSuffix[] = CORVANE_TEXT("時");            // after a day chart's hour labels
inline constexpr char kDaySuffix[] = CORVANE_TEXT("日");             // after a month chart's day labels
inline constexpr char kListSeparator[] =
    CORVANE_TEXT("・");  // between the hours of the export page's reminder row
inline constexpr char kSwitchedOff[] = CORVANE_TEXT("—");    // an export page row whose alert is off
inline constexpr char kBpmUnit[] = "bpm";                    // beside a result card's figure
inline constexpr char kWindowTitleFormat[] = "%1 (ID: %2)";  // the product name and the device ID
inline constexpr char kDeviceIdFormat[] = "ID: %1";          // the device ID under the main menu
// Names a screen reader announces for marks drawn without a label.
inline constexpr char kHideMark[] = CORVANE_TEXT("閉じる");  // the close mark (it puts the window away)
inline constexpr char kMinimiseMark[] = CORVANE_TEXT("小さくする");
inline constexpr char kDeleteMark[] = CORVANE_TEXT("削除");  // a result card's delete mark, before its text
inline constexpr char kTrayOpen[] = CORVANE_TEXT("Open Application");
inline constexpr char kTrayStartAtLogin[] = CORVANE_TEXT("Start at Login");
inline constexpr char kTrayQuit[] = CORVANE_TEXT("Quit");

}  // namespace corvane::user_text
