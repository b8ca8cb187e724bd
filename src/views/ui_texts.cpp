#include "views/ui_texts.h"

#include <array>
#include <string>

namespace corvane {
namespace {

// Fixed entries, UTF-8, by index (the k... names of ui_texts.h). Indexes 0, 1, 4, 25, 26 and 44 hold
// no text; the font face and the device ID are filled at start-up.
constexpr std::array<const char*, text::kCount> kFixed = {
    "",                                        // 0
    "",                                        // 1
    "",                                        // 2 font face (run time)
    "",                                        // 3 device ID (run time)
    "",                                        // 4
    "左クリックボタン",                        // 5
    "右クリックボタン",                        // 6
    "センタ－ボタン",                          // 7
    "サイドボタン1",                           // 8
    "サイドボタン2",                           // 9
    "シングルクリック",                        // 10
    "ダブルクリック",                          // 11
    "回",                                      // 12
    "総移動距離",                              // 13
    "移動距離",                                // 14
    "クリック数・移動距離データ",              // 15
    "心拍測定",                                // 16
    "データの履歴をみる",                      // 17
    "本日のデータに戻る",                      // 18
    "本日のクリック数・移動距離データ",        // 19
    "%d/%d/%dのクリック数・移動距離データ",    // 20
    "%d月のクリック数・移動距離データ",        // 21
    "< 前月",                                  // 22
    "次月 >",                                  // 23
    "．総クリック数 －総移動距離",             // 24
    "",                                        // 25
    "",                                        // 26
    "心拍測定",                                // 27
    "データの履歴をみる",                      // 28
    "心拍測定画面へ",                          // 29
    "心拍測定データ履歴",                      // 30
    "wait %d sec",                             // 31
    "データ出力・アップロード\nアラート設定",  // 32
    "クリック数・移動距離データ",              // 33
    "心拍、マウスデータ出力",                  // 34
    "計測データは完全に正確な数値を保証するものではありません。\n参考数値としてご活用ください。",  // 35
    "データアップロード",                                                                          // 36
    "アップロード中",                                                                              // 37
    "アップロード完了",                                                                            // 38
    "アラート設定",                                                                                // 39
    "親指を緑LEDに置いてください",                                                                 // 40
    "安定するのを待っています\n※十数秒かかります。",                                               // 41
    "力を抜き、軽く置いてください。\n強く押しすぎると計測できない場合があります。",                // 42
    "アプリケーションを終了しますか？\r\n（データの取得とアラートを中止します）",                  // 43
    "",                                                                                            // 44
    "アラート設定",                                                                                // 45
    "アラート設定画面",                                                                            // 46
    "アラート設定条件",                                                                            // 47
    "クリック回数で表示",                                                                          // 48
    "左クリック",                                                                                  // 49
    "右クリック",                                                                                  // 50
    "合計クリック数",                                                                              // 51
    "が",                                                                                          // 52
    "時間以内に",                                                                                  // 53
    "回を超えたとき",                                                                              // 54
    "カーソル移動距離",                                                                            // 55
    "m(メートル)を超えたとき",                                                                     // 56
    "心拍を測定値",                                                                                // 57
    "計測時に",                                                                                    // 58
    "bpmを超えたとき",                                                                             // 59
    "アラート内容",                                                                                // 60
    "パソコンの操作時間が長くなっています。休憩しましょう。",                                      // 61
    "その他",                                                                                      // 62
    "適用",                                                                                        // 63
    "キャンセル",                                                                                  // 64
};

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
  return QString::fromUtf8(ui_text_utf8(index));
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
