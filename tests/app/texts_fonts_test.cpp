// The user-interface texts and the font table.
#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <QTest>

#include "support/qt_test_runner.h"
#include "views/font_table.h"
#include "views/ui_texts.h"

namespace corvane::testing {

class TextsTest final : public QtTestGroup<TextsTest> {
  Q_OBJECT
 private slots:
  void format_entries_fill_plain_decimals() {
    QCOMPARE(ui_format(text::kDayHeadingFormat, {2024, 1, 5}),
             QStringLiteral("2024/1/5のクリック数・移動距離データ"));
    QCOMPARE(ui_format(text::kMonthHeadingFormat, {1}), QStringLiteral("1月のクリック数・移動距離データ"));
    QCOMPARE(ui_format(text::kWaitSecondsFormat, {12}), QStringLiteral("wait 12 sec"));
  }

  void line_breaks_are_kept_as_written() {
    QVERIFY(ui_text(text::kQuitQuestion).contains(QStringLiteral("\r\n")));
    QCOMPARE(ui_text(text::kQuitQuestion).count(u'\n'), 1);
    for (int i :
         {text::kExportPageHeading, text::kDisclaimer, text::kPromptStabilising, text::kPromptRelax}) {
      QCOMPARE(ui_text(i).count(u'\n'), 1);
      QVERIFY(!ui_text(i).contains(u'\r'));
    }
    // A message box shows the quit question on two lines, without a stray carriage return.
    QCOMPARE(ui_display_text(text::kQuitQuestion),
             QStringLiteral("アプリケーションを終了しますか？\n（データの取得とアラートを中止します）"));
  }

  void entries_without_text_are_empty() {
    for (int i : {0, 1, 4, 25, 26, 44, -1, 65, 1000})
      QVERIFY(ui_text(i).isEmpty());
  }

  void fixed_entries_read_exactly() {
    QCOMPARE(ui_text(text::kCentreButton), QStringLiteral("センタ－ボタン"));
    QCOMPARE(ui_text(text::kChartLegend), QStringLiteral("．総クリック数 －総移動距離"));
    QCOMPARE(ui_text(text::kMetresExceeded), QStringLiteral("m(メートル)を超えたとき"));
    QCOMPARE(ui_text(text::kDefaultBreakText),
             QStringLiteral("パソコンの操作時間が長くなっています。休憩しましょう。"));
    QCOMPARE(ui_text(text::kCancel), QStringLiteral("キャンセル"));
  }

  void run_time_entries_take_face_and_id() {
    set_ui_font_face(QStringLiteral("Corvane Sans JP"));
    set_ui_device_id(QStringLiteral("0123456789012345"));
    QCOMPARE(ui_text(text::kFontFace), QStringLiteral("Corvane Sans JP"));
    QCOMPARE(ui_text(text::kDeviceId), QStringLiteral("0123456789012345"));
  }
};

class FontsTest final : public QtTestGroup<FontsTest> {
  Q_OBJECT

  static QByteArray embedded_font() {
    QFile f(QStringLiteral(":/corvane/fonts/CorvaneSansJP-Regular.otf"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

 private slots:
  void installed_meiryo_is_used_with_32_px_figure_size() {
    const FontChoice c =
        choose_fonts({QStringLiteral("DejaVu Sans"), QStringLiteral("Meiryo UI")}, embedded_font());
    QCOMPARE(c.face, QStringLiteral("Meiryo UI"));
    QVERIFY(!c.embedded);
    QCOMPARE(c.pixel_sizes[static_cast<std::size_t>(FontRole::Figure)], 32);
    QVERIFY(preferred_face_installed({QStringLiteral("Meiryo UI Bold")}));
    QVERIFY(!preferred_face_installed({QStringLiteral("Meiryo")}));
  }

  void without_meiryo_embedded_font_is_added_with_30_px_figure_size() {
    const QByteArray data = embedded_font();
    QVERIFY(!data.isEmpty());
    const FontChoice c = choose_fonts({QStringLiteral("DejaVu Sans")}, data);
    QVERIFY(c.embedded);
    QVERIFY(c.error.isEmpty());
    QCOMPARE(c.face, QStringLiteral("Corvane Sans JP"));
    const std::array<int, 8> sizes = {10, 12, 16, 20, 28, 30, 48, 64};
    QCOMPARE(c.pixel_sizes, sizes);
    QVERIFY(QFontDatabase::families().contains(c.face));
  }

  void unusable_font_data_reports_font_add_fails() {
    const FontChoice c = choose_fonts({}, QByteArray("not a font at all"));
    QCOMPARE(c.error, QStringLiteral("Font add fails"));
    QVERIFY(c.embedded);
  }

  void table_gives_eight_regular_fonts_by_role() {
    FontChoice c;
    c.face = QStringLiteral("Corvane Sans JP");
    c.pixel_sizes = kEmbeddedPixelSizes;
    FontTable table;
    table.set(c);
    for (int i = 0; i < kFontCount; ++i) {
      const QFont& font = table.font(static_cast<FontRole>(i));
      QCOMPARE(font.pixelSize(), kEmbeddedPixelSizes[static_cast<std::size_t>(i)]);
      QCOMPARE(font.family(), c.face);
      QCOMPARE(font.weight(), QFont::Normal);
    }
    QCOMPARE(table.font(FontRole::Readout).pixelSize(), 64);
    QCOMPARE(table.font(static_cast<FontRole>(kFontCount)).pixelSize(), 10);  // not a role: the Unit font
  }

  // Every character of the texts must be in the embedded subset, or it would draw as a box.
  void embedded_font_has_every_character_of_the_texts() {
    const QRawFont raw(embedded_font(), 16);
    QVERIFY(raw.isValid());
    QString missing;
    for (int i = 0; i < text::kCount; ++i)
      for (QChar ch : ui_text(i))
        if (ch != u'\n' && ch != u'\r' && !raw.supportsCharacter(ch) && !missing.contains(ch)) missing += ch;
    for (QChar ch : QStringLiteral("メインメニューTOVAK Corvane (ID: 0123456789)"))
      if (!raw.supportsCharacter(ch) && !missing.contains(ch)) missing += ch;
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("missing: ") + missing));
  }

  // The same for every string literal of the program's sources: a text added to a page without
  // re-cutting the font (tools/cut-font/cut_font.py) fails here instead of drawing boxes.
  void embedded_font_has_every_character_of_the_sources_strings() {
    const QRawFont raw(embedded_font(), 16);
    QString missing;
    QDirIterator it(QStringLiteral(CORVANE_SOURCE_DIR), {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                    QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
      QFile f(it.next());
      QVERIFY(f.open(QIODevice::ReadOnly));
      ++files;
      for (const QString& literal : string_literals(QString::fromUtf8(f.readAll())))
        for (QChar ch : literal)
          if (ch.unicode() > 0x7F && !ch.isSurrogate() && !raw.supportsCharacter(ch) && !missing.contains(ch))
            missing += ch;
    }
    QVERIFY(files > 20);
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("re-cut the font; missing: ") + missing));
  }

 public:
  // The contents of the string and character literals of a C++ source, comments skipped.
  static QStringList string_literals(const QString& source) {
    QStringList out;
    const qsizetype n = source.size();
    qsizetype i = 0;
    while (i < n) {
      if (source.mid(i, 2) == QStringLiteral("//")) {
        i = source.indexOf(u'\n', i);
        if (i < 0) i = n;
      } else if (source.mid(i, 2) == QStringLiteral("/*")) {
        i = source.indexOf(QStringLiteral("*/"), i + 2);
        i = i < 0 ? n : i + 2;
      } else if (source[i] == u'"' || source[i] == u'\'') {
        const QChar quote = source[i];
        qsizetype j = i + 1;
        while (j < n && source[j] != quote && source[j] != u'\n')
          j += source[j] == u'\\' ? 2 : 1;
        out << source.mid(i + 1, j - i - 1);
        i = j + 1;
      } else {
        ++i;
      }
    }
    return out;
  }
};

}  // namespace corvane::testing

#include "texts_fonts_test.moc"
