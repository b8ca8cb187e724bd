#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>

#include "app/artwork.h"
#include "app/autostart.h"
#include "base/user_texts.h"
#include "engine/composition.h"
#include "engine/engine.h"
#include "heart/heart_monitor.h"
#include "views/drawn_control.h"
#include "views/export_page.h"
#include "views/font_table.h"
#include "views/heart_rate_page.h"
#include "views/palette.h"
#include "views/status_page.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

constexpr const char* kProductName = "TOVAK Corvane";
// The titles drawn on the tiles, by page.
constexpr int kTileTitles[kPageCount] = {text::kClickTravelHeading, text::kHeartMeasurement,
                                         text::kExportPageHeading};
namespace colour = palette_colour;

}  // namespace

MainWindow::MainWindow(const EngineParts& parts, Scheduler& scheduler, Options options, QWidget* parent)
    : QWidget(parent),
      engine_(*parts.engine),
      scheduler_(scheduler),
      options_(std::move(options)),
      tray_clicks_(scheduler, [this] { restore_window(); }) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowIcon(app_icon());
  setFixedSize(kWindowWidth, kWindowHeight);
  setMouseTracking(true);
  // The window takes the keys (Escape) and holds the focus when it first comes up, so that no control
  // is focused (nor ringed) until Tab moves to the first one, and Enter or Space do nothing by accident.
  // It is no Tab stop of its own: Tab goes round its controls.
  setFocusPolicy(Qt::ClickFocus);
  setFocus();

  ask_quit = [this] {
    QMessageBox box(QMessageBox::NoIcon, QString(), ui_display_text(text::kQuitQuestion),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
  };

  // The icon is made even while no tray is there: Qt shows it once a tray appears.
  build_tray();

  // Tab goes through the drawn buttons in reading order: the tiles, or the main menu button and the tabs,
  // then the current page's own controls, then the window's two marks. The focus chain follows the
  // order of creation.
  make_controls({WindowButton::StatusTile, WindowButton::HeartRateTile, WindowButton::ExportTile,
                 WindowButton::MainMenu, WindowButton::StatusTab, WindowButton::HeartRateTab,
                 WindowButton::ExportTab});

  // The three pages live from here to the end of the program, hidden until a button makes one current.
  status_page_ = new StatusPage(this);
  heart_rate_page_ = new HeartRatePage(this);
  export_page_ = new ExportPage(this);
  for (QWidget* p : {static_cast<QWidget*>(status_page_), static_cast<QWidget*>(heart_rate_page_),
                     static_cast<QWidget*>(export_page_)}) {
    p->setGeometry(kPageArea);
    p->hide();
  }

  // The pages draw the engine's data and send their commands to it.
  status_page_->attach(engine_);
  heart_rate_page_->attach(engine_.listeners(), *parts.heart);
  export_page_->attach(engine_, *parts.upload, *parts.alerts);
  engine_.listeners().add(*this);
  make_controls({WindowButton::Minimise, WindowButton::Hide});

  if (options_.start_hidden) scheduler_.start_timer(TimerId::HideOnceShown, 2);

  setWindowTitle(
      QString::fromUtf8(user_text::kWindowTitleFormat).arg(QLatin1String(kProductName), options_.device_id));
  apply_layout();
}

MainWindow::~MainWindow() {
  engine_.listeners().remove(*this);
  if (tray_) tray_->hide();
}

QWidget* MainWindow::page(Page page) const {
  switch (page) {
    case Page::Status:
      return status_page_;
    case Page::HeartRate:
      return heart_rate_page_;
    case Page::Export:
      return export_page_;
  }
  return nullptr;
}

void MainWindow::build_tray() {
  tray_ = new QSystemTrayIcon(app_icon(), this);
  tray_->setToolTip(QLatin1String(kProductName));
  tray_menu_ = new QMenu(this);
  tray_menu_->setObjectName(QStringLiteral("tray-menu"));
  QAction* open = tray_menu_->addAction(shown_text(user_text::kTrayOpen));
  connect(open, &QAction::triggered, this, &MainWindow::restore_window);
  if (!options_.program_path.isEmpty()) {
    autostart_action_ = tray_menu_->addAction(shown_text(user_text::kTrayStartAtLogin));
    autostart_action_->setCheckable(true);
    autostart_action_->setChecked(autostart_enabled());
    connect(autostart_action_, &QAction::toggled, this, [this](bool on) {
      const Result<void> r = set_autostart(on, options_.program_path.toStdString());
      if (!r) {
        QSignalBlocker block(autostart_action_);
        autostart_action_->setChecked(autostart_enabled());
        QMessageBox::warning(this, QString(), QString::fromStdString(r.error().message));
      }
    });
  }
  tray_menu_->addSeparator();
  QAction* quit = tray_menu_->addAction(shown_text(user_text::kTrayQuit));
  connect(quit, &QAction::triggered, this, &MainWindow::quit_from_tray);

  // No context menu is set on the icon: the menu opens from the menu delay, so that the click sequence
  // decides.
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
      case QSystemTrayIcon::Trigger:
        tray_clicks_.on_left_release();
        break;
      case QSystemTrayIcon::DoubleClick:
        tray_clicks_.on_left_double_click();
        // Qt reports no release after the double click; that release only sets the click flag (the flag
        // was just cleared, so no menu timer starts).
        tray_clicks_.on_left_release();
        break;
      case QSystemTrayIcon::Context:
        tray_clicks_.on_right_release();
        break;
      default:
        break;
    }
  });
  tray_->show();
}

void MainWindow::on_timer(TimerId id) {
  if (id == TimerId::TrayMenuDelay) {
    tray_clicks_.on_menu_timer();
    open_tray_menu();
  } else if (id == TimerId::HideOnceShown) {
    if (isVisible()) {
      scheduler_.stop_timer(TimerId::HideOnceShown);
      put_away();
    }
  }
}

void MainWindow::open_tray_menu() {
  if (tray_menu_) tray_menu_->popup(QCursor::pos());
}

void MainWindow::press(WindowButton button) {
  const WindowAction action = layout_.press(button);
  apply_layout();
  switch (action) {
    case WindowAction::Repaint:
      update();
      break;
    case WindowAction::Hide:
      put_away();
      break;
    case WindowAction::Minimise:
      showMinimized();
      break;
  }
}

void MainWindow::make_controls(std::initializer_list<WindowButton> buttons) {
  for (const WindowButton button : buttons) {
    QString name = layout_.button(button).label;
    if (is_tile(button)) name = ui_text(kTileTitles[static_cast<int>(page_of(button))]);
    if (button == WindowButton::Hide) name = shown_text(user_text::kHideMark);
    if (button == WindowButton::Minimise) name = shown_text(user_text::kMinimiseMark);
    auto* control = new DrawnControl(name.replace(u'\n', u' '), this);
    connect(control, &DrawnControl::clicked, this, [this, button] { press(button); });
    controls_.at(static_cast<std::size_t>(button)) = control;
  }
}

void MainWindow::apply_layout() {
  for (const Page p : {Page::Status, Page::HeartRate, Page::Export})
    page(p)->setVisible(layout_.page_visible(p));
  for (int n = 0; n < kWindowButtonCount; ++n) {
    DrawnControl* control = controls_.at(static_cast<std::size_t>(n));
    if (!control) continue;
    const DrawnButton& b = layout_.button(static_cast<WindowButton>(n));
    control->setGeometry(b.rect);
    control->setVisible(b.visible);
    control->raise();  // over the pages, as the drawing is
  }
}

void MainWindow::show_heart_page() {
  press(WindowButton::HeartRateTile);
  restore_window();
}

void MainWindow::restore_window() {
  showNormal();
  raise();
  activateWindow();
  update();
}

void MainWindow::put_away() {
  // Without a tray there is no way back to a hidden window: minimise instead.
  if (options_.tray_available && options_.tray_available())
    hide();
  else
    showMinimized();
}

void MainWindow::quit_from_tray() {
  exit_requested_ = true;
  // Saves here rather than from the close event: a close already in progress (the question box is
  // open) would swallow a second close.
  finish();
  close();
}

void MainWindow::exit_from_outside() {
  // A "/close" start or a stop signal ends the program exactly as the tray's "Quit" does.
  quit_from_tray();
}

void MainWindow::finish() {
  if (exit_done_) return;
  exit_done_ = true;
  scheduler_.stop_timer(TimerId::TrayMenuDelay);
  scheduler_.stop_timer(TimerId::HideOnceShown);
  // Drains the queued clicks, waits for a running save and writes the live day once more.
  const Result<void> result = engine_.shutdown();
  if (tray_) tray_->hide();
  const QString why = result ? QString() : QString::fromStdString(result.error().message);
  emit exit_finished(result.has_value(), why);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!exit_requested_) {
    const bool yes = ask_quit && ask_quit();
    if (exit_done_) {
      // A "/close" or a stop signal ended the program while the question was open.
      event->accept();
      return;
    }
    if (yes) {
      exit_requested_ = true;
    } else {
      event->ignore();
      put_away();
      return;
    }
  }
  finish();
  event->accept();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // The Escape key never closes the main window.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (layout_.hover(event->position().toPoint())) update();
  setCursor(layout_.hit_test(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void MainWindow::leaveEvent(QEvent*) {
  if (layout_.hover(QPoint(-1, -1))) update();
  unsetCursor();
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (const std::optional<WindowButton> hit = layout_.hit_test(event->position().toPoint())) press(*hit);
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.fillRect(rect(), colour::kBackground);

  if (layout_.in_main_menu()) {
    // The product's name over the tiles, the device ID under them.
    p.drawPixmap(QRect(25, 30, 48, 48), artwork_pixmap(Artwork::AppIcon, QSize(48, 48), devicePixelRatioF()));
    p.setPen(colour::kInk);
    p.setFont(ui_fonts().font(FontRole::Title));
    p.drawText(QRect(84, 26, 600, 56), Qt::AlignLeft | Qt::AlignVCenter, QLatin1String(kProductName));
    p.setPen(colour::kMutedInk);
    p.setFont(ui_fonts().font(FontRole::Caption));
    p.drawText(QRect(25, 540, 954, 24), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromUtf8(user_text::kDeviceIdFormat).arg(options_.device_id));
  } else {
    // The page area's frame under the pages; the current tab joins it.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(kTabArea.adjusted(0, kTabHeight, 0, 0)), 12, 12);
    p.fillPath(frame, colour::kCard);
  }
  for (int n = 0; n < kWindowButtonCount; ++n) {
    const auto button = static_cast<WindowButton>(n);
    if (layout_.button(button).visible) paint_button(p, button);
  }
}

void MainWindow::paint_button(QPainter& p, WindowButton button) const {
  const DrawnButton& b = layout_.button(button);
  const qreal dpr = devicePixelRatioF();
  if (is_tab(button)) {
    const bool current = page_of(button) == layout_.current_page();
    const QRectF r = QRectF(b.rect).adjusted(2, 0, -2, current ? 12 : 0);
    QPainterPath tab;
    tab.addRoundedRect(r, 12, 12);
    const QColor fill =
        current ? colour::kCard : (b.hovered ? colour::kAccentLight : QColor(0xE1, 0xE7, 0xEB));
    p.fillPath(tab, fill);
    if (current) {
      p.fillRect(QRectF(r.left() + 14, r.top(), r.width() - 28, 4), colour::kAccent);
    }
    const int icon = 40;
    const QRect icon_rect(b.rect.left() + 10, b.rect.top() + (b.rect.height() - icon) / 2, icon, icon);
    p.drawPixmap(icon_rect, artwork_pixmap(b.art, QSize(icon, icon), dpr));
    p.setPen(current ? colour::kInk : colour::kMutedInk);
    p.setFont(ui_fonts().font(FontRole::Body));
    const QRect label(icon_rect.right() + 8, b.rect.top() + 2, b.rect.right() - icon_rect.right() - 10,
                      b.rect.height() - 4);
    // A label too long for one line breaks after its "・" rather than anywhere.
    QString shown = b.label;
    const qsizetype dot = shown.indexOf(u'・');
    if (!shown.contains(u'\n') && dot > 0 && p.fontMetrics().horizontalAdvance(shown) > label.width())
      shown.insert(dot + 1, u'\n');
    p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, shown);
    return;
  }
  if (is_tile(button)) {
    QRect r = b.rect;
    if (b.hovered) r.translate(0, -3);
    p.drawPixmap(r, artwork_pixmap(b.art, b.rect.size(), dpr));
    p.setPen(colour::kInk);
    p.setFont(ui_fonts().font(FontRole::Heading));
    p.drawText(QRect(r.left() + 24, r.top() + 258, r.width() - 48, 64), Qt::AlignCenter | Qt::TextWordWrap,
               ui_text(kTileTitles[static_cast<int>(page_of(button))]));
    if (b.hovered) {
      p.setPen(QPen(colour::kAccent, 2));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(r).adjusted(9, 9, -13, -13), 22, 22);
    }
    return;
  }
  if (button == WindowButton::MainMenu) {
    p.setOpacity(b.hovered ? 0.85 : 1.0);
    p.drawPixmap(b.rect, artwork_pixmap(b.art, b.rect.size(), dpr));
    p.setOpacity(1.0);
    p.setPen(Qt::white);
    p.setFont(ui_fonts().font(FontRole::Caption));
    p.drawText(QRect(b.rect.left() + 1, b.rect.top(), 94, b.rect.height()), Qt::AlignCenter, b.label);
    return;
  }
  if (b.hovered) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour::kAccentLight);
    p.drawEllipse(QRectF(b.rect).adjusted(-3, -3, 3, 3));
  }
  p.drawPixmap(b.rect, artwork_pixmap(b.art, b.rect.size(), dpr));
}

}  // namespace corvane
