// The desktop program in English and in Japanese, and its drawn buttons from the keyboard.
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QRawFont>
#include <QRegularExpression>
#include <QTest>

#include "app/main_layout.h"
#include "base/user_texts.h"
#include "support/drawn_texts.h"
#include "support/qt_test_runner.h"
#include "views/alert_settings_dialog.h"
#include "views/drawn_control.h"
#include "views/export_page.h"
#include "views/heart_rate_page.h"
#include "views/language.h"
#include "views/status_page.h"
#include "views/ui_texts.h"
#include "window_rig.h"

namespace corvane::testing {

class LanguageTest final : public QtTestGroup<LanguageTest> {
  Q_OBJECT

  // Everything the window and its dialog, menu and boxes show, in every view the buttons lead to: the
  // drawn texts and the widgets' own.
  static QStringList every_shown_text(WindowRig& rig) {
    MainWindow& w = *rig.window;
    QStringList all = drawn_texts(w) + widget_texts(w);
    const auto look = [&] { all << drawn_texts(w) << widget_texts(w); };
    w.press(WindowButton::StatusTile);
    look();
    w.status_page()->show_month(2026, 12);
    look();
    w.status_page()->show_day({2026, 12, 3});
    look();
    w.press(WindowButton::HeartRateTab);
    look();
    w.heart_rate_page()->toggle_view();
    look();
    w.press(WindowButton::ExportTab);
    look();
    w.export_page()->activate(ExportPage::Tile::AlertSettings);
    if (QDialog* dialog = w.export_page()->settings_dialog()) {
      all << drawn_texts(*dialog) << widget_texts(*dialog);
      dialog->reject();
    } else {
      all << QStringLiteral("no alert settings dialog");
    }
    for (QAction* a : w.tray_menu()->actions())
      all << a->text();
    all << ui_display_text(text::kQuitQuestion);
    return all;
  }

 private slots:
  void cleanup() { install_ui_language(UiLanguage::Japanese); }

  void language_follows_the_locale_unless_lang_says() {
    QCOMPARE(choose_ui_language("", QStringLiteral("ja_JP.UTF-8")), UiLanguage::Japanese);
    QCOMPARE(choose_ui_language("", QStringLiteral("en_US.UTF-8")), UiLanguage::English);
    QCOMPARE(choose_ui_language("", QStringLiteral("C")), UiLanguage::English);
    QCOMPARE(choose_ui_language("en", QStringLiteral("ja_JP.UTF-8")), UiLanguage::English);
    QCOMPARE(choose_ui_language("ja", QStringLiteral("de_DE.UTF-8")), UiLanguage::Japanese);
  }

  void english_desktop_shows_no_japanese_anywhere() {
    QVERIFY(install_ui_language(choose_ui_language("", QStringLiteral("en_US.UTF-8"))));
    WindowRig rig;
    const QStringList all = every_shown_text(rig);
    QVERIFY2(japanese_texts(all).isEmpty(), qPrintable(japanese_texts(all).join(u'|')));
    for (const char* expected : {"Clicks and travel", "Heart rate", "Today's clicks and travel", "Main menu",
                                 "Clicks and travel in month 12", "Alert settings", "Every day"})
      QVERIFY2(all.contains(QString::fromUtf8(expected)), expected);
  }

  void japanese_desktop_shows_the_original_texts() {
    QVERIFY(install_ui_language(choose_ui_language("", QStringLiteral("ja_JP.UTF-8"))));
    WindowRig rig;
    const QStringList all = every_shown_text(rig);
    for (const char* original :
         {user_text::kClickTravelData, user_text::kHeartMeasurement, user_text::kTodayHeading,
          user_text::kMainMenu, user_text::kApply, user_text::kResultsHeading, user_text::kWeekdays[0]})
      QVERIFY2(all.contains(QString::fromUtf8(original)), original);
    QVERIFY(all.contains(QStringLiteral("12月のクリック数・移動距離データ")));
  }

  // Every text marked for translation in the table of user texts has a finished English one, and the
  // embedded font draws it: a text added without its translation fails here.
  void every_marked_text_has_an_english_translation_the_font_draws() {
    QFile header(QStringLiteral(CORVANE_SOURCE_DIR "/base/include/base/user_texts.h"));
    QVERIFY(header.open(QIODevice::ReadOnly));
    QFile font_file(QStringLiteral(":/corvane/fonts/CorvaneSansJP-Regular.otf"));
    QVERIFY(font_file.open(QIODevice::ReadOnly));
    const QRawFont font(font_file.readAll(), 16);
    QVERIFY(install_ui_language(UiLanguage::English));

    QStringList untranslated;
    QString missing_glyphs;
    const auto check = [&](const QString& original, const QString& english) {
      if (english.isEmpty() || !japanese_texts({english}).isEmpty()) untranslated << original;
      for (QChar c : english)
        if (c != u'\n' && c != u'\r' && !font.supportsCharacter(c)) missing_glyphs += c;
    };
    const QRegularExpression marked(QStringLiteral("CORVANE_TEXT\\(\\s*\"((?:[^\"\\\\]|\\\\.)*)\"\\s*\\)"));
    int count = 0;
    // The weekdays have a context of their own, checked below.
    QString texts = QString::fromUtf8(header.readAll());
    const qsizetype weekdays = texts.indexOf(QStringLiteral("namespace weekday {"));
    QVERIFY(weekdays > 0);
    texts.remove(weekdays, texts.indexOf(QStringLiteral("}  // namespace weekday")) - weekdays);
    for (const auto& m : marked.globalMatch(texts)) {
      QString original = m.captured(1);
      original.replace(QStringLiteral("\\n"), QStringLiteral("\n"))
          .replace(QStringLiteral("\\r"), QStringLiteral("\r"));
      check(original, shown_text(original.toUtf8().constData()));
      ++count;
    }
    QVERIFY(count > 70);
    for (int d = 0; d < 7; ++d)
      check(QString::fromUtf8(user_text::kWeekdays[d]), shown_weekday(d));
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(u'|')));
    QVERIFY2(missing_glyphs.isEmpty(), qPrintable(missing_glyphs));

    // A core message that ends in a path keeps the path after its translated head.
    QCOMPARE(shown_message(std::string(user_text::kUploadToolNotStarted) + "/opt/brallow"),
             QStringLiteral("The upload tool could not be started: /opt/brallow"));
    QCOMPARE(shown_message("my own alert text"), QStringLiteral("my own alert text"));
  }
};

class KeyboardTest final : public QtTestGroup<KeyboardTest> {
  Q_OBJECT

  // The widgets Tab reaches from `from`, in order; a widget a screen reader would not announce as a
  // named button ends the list.
  static QList<QWidget*> tab_from(QWidget* from, int presses) {
    from->setFocus();
    QList<QWidget*> reached;
    for (int i = 0; i < presses; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QWidget* w = QApplication::focusWidget();
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      if (!a || a->text(QAccessible::Name).trimmed().isEmpty() || a->role() != QAccessible::Button) break;
      reached << w;
    }
    return reached;
  }

 private slots:
  void tab_reaches_the_drawn_buttons_in_order_and_enter_opens_the_page() {
    WindowRig rig;
    MainWindow& w = *rig.window;
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const auto c = [&](WindowButton b) { return static_cast<QWidget*>(w.control(b)); };

    // The main menu as it comes up (the window holds the focus): the three tiles, then the window's marks.
    QCOMPARE(QApplication::focusWidget(), &w);
    QCOMPARE(tab_from(&w, 5), QList<QWidget*>({c(WindowButton::StatusTile), c(WindowButton::HeartRateTile),
                                               c(WindowButton::ExportTile), c(WindowButton::Minimise),
                                               c(WindowButton::Hide)}));
    // The focused tile shows a ring; the mouse-driven drawing under it stays as it was.
    const QImage unfocused = c(WindowButton::StatusTile)->grab().toImage();
    c(WindowButton::StatusTile)->setFocus();
    QVERIFY(c(WindowButton::StatusTile)->grab().toImage() != unfocused);

    // Escape keeps its meaning: nothing closes.
    QTest::keyClick(c(WindowButton::StatusTile), Qt::Key_Escape);
    QVERIFY(w.isVisible());
    QVERIFY(w.layout().in_main_menu());

    QTest::keyClick(c(WindowButton::StatusTile), Qt::Key_Return);
    QVERIFY(!w.layout().in_main_menu());
    QVERIFY(w.status_page()->isVisible());

    // On a page: the main menu button, the tabs, the page's own controls, the marks.
    auto* past_days = w.status_page()->findChild<QWidget*>(QStringLiteral("past_days_toggle"));
    QCOMPARE(tab_from(c(WindowButton::MainMenu), 6),
             QList<QWidget*>({c(WindowButton::StatusTab), c(WindowButton::HeartRateTab),
                              c(WindowButton::ExportTab), past_days, c(WindowButton::Minimise),
                              c(WindowButton::Hide)}));
    // Space on the export tab opens its page, whose tiles come next.
    QTest::keyClick(c(WindowButton::ExportTab), Qt::Key_Space);
    QVERIFY(w.export_page()->isVisible());
    QCOMPARE(tab_from(c(WindowButton::ExportTab), 3),
             QList<QWidget*>({w.export_page()->tile_control(ExportPage::Tile::CsvExport),
                              w.export_page()->tile_control(ExportPage::Tile::Upload),
                              w.export_page()->tile_control(ExportPage::Tile::AlertSettings)}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    QVERIFY(w.export_page()->settings_dialog());
    w.export_page()->settings_dialog()->reject();

    // The arrow keys move like Tab.
    c(WindowButton::StatusTab)->setFocus();
    QTest::keyClick(c(WindowButton::StatusTab), Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), c(WindowButton::HeartRateTab));
    QTest::keyClick(c(WindowButton::HeartRateTab), Qt::Key_Left);
    QCOMPARE(QApplication::focusWidget(), c(WindowButton::StatusTab));
  }
};

}  // namespace corvane::testing

#include "language_keyboard_test.moc"
