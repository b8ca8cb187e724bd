#pragma once

// Every text the user sees, the core's messages and the pages' labels alike, each written once here so
// a change of wording reaches every place that shows it. UTF-8; the bytes are part of what users and
// their tools see, so change none by accident. "%d" entries are printf formats, "%1" entries Qt ones.
namespace corvane::user_text {

// --- messages the core shows through the notifier ---
inline constexpr char kLoadError[] = "load error";       // a day file that cannot be read or parsed
inline constexpr char kExportError[] = "error";          // the CSV export could not be written
inline constexpr char kReminderError[] = "error:alert";  // a reminder tick failed
// The rest reminder's default text; the heart-rate alert and the settings page's fixed choice show it too.
inline constexpr char kRestReminder[] = "パソコンの操作時間が長くなっています。休憩しましょう。";
// The measurement reminder's default text; also the settings page's placeholder for its own text.
inline constexpr char kMeasurementReminder[] = "心拍測定時間です。心拍を測定して下さい。";
inline constexpr char kUploadDone[] = "アップロード完了";  // a manual upload went out
// A failed manual upload: each line is followed by the tool's or the file's path.
inline constexpr char kUploadToolNotStarted[] = "アップロードツールを起動できませんでした: ";
inline constexpr char kUploadFileNotWritten[] = "アップロードファイルを書き込めませんでした: ";
// "The upload tool ended with an error: "
inline constexpr char kUploadToolFailed[] = "アップロードツールがエラーで終了しました: ";
// "The upload tool did not end and was stopped: "
inline constexpr char kUploadToolStopped[] = "アップロードツールが終わらないため停止しました: ";
// "The device ID is not valid, so nothing was uploaded: "
inline constexpr char kUploadIdRefused[] = "デバイスIDが正しくないため、アップロードしませんでした: ";
// Under the export page's upload tile, "Last upload <time>: succeeded" / "...: failed (<log file>)".
inline constexpr char kLastUploadSucceededFormat[] = "前回のアップロード %1: 成功";
inline constexpr char kLastUploadFailedFormat[] = "前回のアップロード %1: 失敗（%2）";

// --- the heart-rate page's measurement view ---
inline constexpr char kNoReadout[] = "-- bpm";               // large readout without a steady contact
inline constexpr char kReadoutFormat[] = "%d bpm";           // large readout: average or result
inline constexpr char kResultFormat[] = "Result: %d bpm";    // message line once a result is taken
inline constexpr char kWaitSecondsFormat[] = "wait %d sec";  // message line while the signal settles
inline constexpr char kLatestEntryBpmFormat[] = " , %dbpm";  // after the newest entry's time
inline constexpr char kThumbPrompt[] = "親指を緑LEDに置いてください";
inline constexpr char kStabilising[] = "安定するのを待っています\n※十数秒かかります。";
inline constexpr char kPressureHint[] =  // under the message while the thumb rests on the sensor
    "力を抜き、軽く置いてください。\n強く押しすぎると計測できない場合があります。";
inline constexpr char kDisclaimer[] =  // on the heart-rate page
    "計測データは完全に正確な数値を保証するものではありません。\n参考数値としてご活用ください。";
inline constexpr char kToHeartPage[] = "心拍測定画面へ";         // the results view's switch back
inline constexpr char kResultsHeading[] = "心拍測定データ履歴";  // the results view's heading

// --- the main window, the tiles and the status page ---
inline constexpr char kHeartMeasurement[] = "心拍測定";                   // tile, tab and page heading
inline constexpr char kClickTravelData[] = "クリック数・移動距離データ";  // tile, tab and the export row
inline constexpr char kViewPastDays[] = "データの履歴をみる";  // status page and heart-rate page switch
inline constexpr char kBackToToday[] = "本日のデータに戻る";
inline constexpr char kTodayHeading[] = "本日のクリック数・移動距離データ";
inline constexpr char kDayHeadingFormat[] = "%d/%d/%dのクリック数・移動距離データ";  // year, month, day
inline constexpr char kMonthHeadingFormat[] = "%d月のクリック数・移動距離データ";    // month
inline constexpr char kPreviousMonth[] = "< 前月";
inline constexpr char kNextMonth[] = "次月 >";
inline constexpr char kChartLegend[] = "．総クリック数 －総移動距離";
inline constexpr char kLeftButton[] = "左クリックボタン";  // the figures' row heads...
inline constexpr char kRightButton[] = "右クリックボタン";
inline constexpr char kCentreButton[] = "センタ－ボタン";
inline constexpr char kSideButton1[] = "サイドボタン1";
inline constexpr char kSideButton2[] = "サイドボタン2";
inline constexpr char kSingleClick[] = "シングルクリック";  // ...and column heads
inline constexpr char kDoubleClick[] = "ダブルクリック";
inline constexpr char kTimesUnit[] = "回";
inline constexpr char kTotalTravel[] = "総移動距離";
inline constexpr char kTravel[] = "移動距離";
inline constexpr char kQuitQuestion[] =  // the quit question box; the CR-LF is kept as written
    "アプリケーションを終了しますか？\r\n（データの取得とアラートを中止します）";
// A start on a data folder that another computer names as its own (a synced folder): "The data folder
// is open on another computer (%1) since %2. Open it on this computer? (Only when Corvane no longer runs
// there; otherwise the two overwrite each other's data.)" %1 host name, %2 "YYYY-MM-DD HH:MM".
inline constexpr char kFolderHeldElsewhereQuestionFormat[] =
    "データフォルダーは他のコンピューター（%1）で %2 から開かれています。\n"
    "このコンピューターで開きますか？\n"
    "（他のコンピューターで終了していない場合、データが上書きされます）";
inline constexpr char kFontAddFails[] = "Font add fails";  // the embedded font could not be added

// --- the export page ---
inline constexpr char kExportPageHeading[] = "データ出力・アップロード\nアラート設定";
inline constexpr char kDataOutput[] = "心拍、マウスデータ出力";
inline constexpr char kDataUpload[] = "データアップロード";
inline constexpr char kUploading[] = "アップロード中";
inline constexpr char kAlertSettings[] = "アラート設定";  // the export page's tile

// --- the alert settings page ---
inline constexpr char kAlertPageTitle[] = "アラート設定画面";
inline constexpr char kAlertConditions[] = "アラート設定条件";
inline constexpr char kAlertByClicks[] = "クリック回数で表示";
inline constexpr char kLeftClick[] = "左クリック";
inline constexpr char kRightClick[] = "右クリック";
inline constexpr char kTotalClicks[] = "合計クリック数";
inline constexpr char kParticleGa[] = "が";
inline constexpr char kWithinHours[] = "時間以内に";
inline constexpr char kTimesExceeded[] = "回を超えたとき";
inline constexpr char kCursorTravel[] = "カーソル移動距離";
inline constexpr char kMetresExceeded[] = "m(メートル)を超えたとき";
inline constexpr char kMeasuredHeartRate[] = "心拍を測定値";
inline constexpr char kWhenMeasuring[] = "計測時に";
inline constexpr char kBpmExceeded[] = "bpmを超えたとき";
inline constexpr char kAlertText[] = "アラート内容";
inline constexpr char kOther[] = "その他";
inline constexpr char kShowReminders[] = "測定タイミングをアラートで表示する";  // also an export page row
inline constexpr char kEveryHour[] = "毎時";                                    // also on the export page
inline constexpr char kReminderHours[] = "時(24時間表示)";
inline constexpr char kHourFormat[] = "%1時";  // an hour of the reminder combos; also on the export page
inline constexpr char kNoHourChosen[] = "--";  // an hour combo with nothing chosen yet
inline constexpr char kEveryDay[] = "毎日";
inline constexpr const char* kWeekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};  // Sunday first
inline constexpr char kSettingsWriteErrorFormat[] = "error\n%1";  // "set.ini" could not be written: why
inline constexpr char kApply[] = "適用";
inline constexpr char kCancel[] = "キャンセル";

// Small marks and the main window's own labels.
inline constexpr char kMainMenu[] = "メインメニュー";  // the button that goes back to the tiles
inline constexpr char kHourSuffix[] = "時";            // after a day chart's hour labels
inline constexpr char kDaySuffix[] = "日";             // after a month chart's day labels
inline constexpr char kListSeparator[] = "・";         // between the hours of the export page's reminder row
inline constexpr char kSwitchedOff[] = "—";            // an export page row whose alert is off
inline constexpr char kBpmUnit[] = "bpm";              // beside a result card's figure
inline constexpr char kWindowTitleFormat[] = "%1 (ID: %2)";  // the product name and the device ID
inline constexpr char kDeviceIdFormat[] = "ID: %1";          // the device ID under the main menu
inline constexpr char kTrayOpen[] = "Open Application";
inline constexpr char kTrayStartAtLogin[] = "Start at Login";
inline constexpr char kTrayQuit[] = "Quit";

}  // namespace corvane::user_text
