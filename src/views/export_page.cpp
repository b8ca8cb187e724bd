#include "views/export_page.h"

#include <QFileDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "base/user_texts.h"
#include "engine/alert_component.h"
#include "engine/engine.h"
#include "engine/upload_component.h"
#include "export/csv_export.h"
#include "views/alert_settings_dialog.h"
#include "views/drawn_control.h"
#include "views/font_table.h"
#include "views/palette.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

namespace colour = palette_colour;

constexpr int kMargin = 24;
constexpr int kTileTop = 84;
constexpr int kTileHeight = 150;
constexpr int kTileGap = 18;
constexpr ExportPage::Tile kTiles[] = {ExportPage::Tile::CsvExport, ExportPage::Tile::Upload,
                                       ExportPage::Tile::AlertSettings};

QString save_dialog(QWidget* owner, const QString& proposed) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("CSV File (*.csv)"));
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  dialog.selectFile(proposed);  // the overwrite prompt is on by default
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

// The tiles' pictures, drawn in a 56 x 56 box.
void draw_export_icon(QPainter& p, const QRectF& r) {
  QPainterPath sheet;
  sheet.addRoundedRect(QRectF(r.left() + 10, r.top() + 4, 36, 46), 4, 4);
  p.fillPath(sheet, colour::kAccentLight);
  p.setPen(QPen(colour::kAccent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(sheet);
  for (int i = 0; i < 3; ++i)
    p.drawLine(QPointF(r.left() + 18, r.top() + 16 + i * 8), QPointF(r.left() + 38, r.top() + 16 + i * 8));
  p.setPen(QPen(colour::kData, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(r.left() + 44, r.top() + 32), QPointF(r.left() + 44, r.top() + 52));
  p.drawPolyline(QPolygonF({QPointF(r.left() + 37, r.top() + 45), QPointF(r.left() + 44, r.top() + 52),
                            QPointF(r.left() + 51, r.top() + 45)}));
}

void draw_upload_icon(QPainter& p, const QRectF& r) {
  QPainterPath left, middle, right, base;
  left.addEllipse(QRectF(r.left() + 4, r.top() + 20, 24, 22));
  middle.addEllipse(QRectF(r.left() + 16, r.top() + 8, 28, 28));
  right.addEllipse(QRectF(r.left() + 32, r.top() + 20, 22, 22));
  base.addRect(QRectF(r.left() + 16, r.top() + 28, 28, 14));
  const QPainterPath cloud = left.united(middle).united(right).united(base);
  p.fillPath(cloud, colour::kAccentLight);
  p.setPen(QPen(colour::kAccent, 2.5));
  p.drawPath(cloud);
  p.setPen(QPen(colour::kData, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(QPointF(r.left() + 29, r.top() + 52), QPointF(r.left() + 29, r.top() + 26));
  p.drawPolyline(QPolygonF({QPointF(r.left() + 22, r.top() + 33), QPointF(r.left() + 29, r.top() + 26),
                            QPointF(r.left() + 36, r.top() + 33)}));
}

void draw_bell_icon(QPainter& p, const QRectF& r) {
  QPainterPath bell;
  bell.moveTo(r.left() + 10, r.top() + 42);
  bell.cubicTo(r.left() + 16, r.top() + 36, r.left() + 14, r.top() + 8, r.left() + 28, r.top() + 8);
  bell.cubicTo(r.left() + 42, r.top() + 8, r.left() + 40, r.top() + 36, r.left() + 46, r.top() + 42);
  bell.closeSubpath();
  p.fillPath(bell, colour::kAccentLight);
  p.setPen(QPen(colour::kAccent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(bell);
  p.setBrush(colour::kData);
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(r.left() + 28, r.top() + 48), 5, 5);
}

}  // namespace

ExportPage::ExportPage(QWidget* parent) : PageWidget(text::kExportPageHeading, parent) {
  setObjectName(QStringLiteral("ExportPage"));
  setMouseTracking(true);
  choose_export_file = [this](const QString& proposed) { return save_dialog(this, proposed); };
  for (const Tile tile : kTiles) {
    auto* control = new DrawnControl(tile_label(tile), this);
    connect(control, &DrawnControl::clicked, this, [this, tile] { activate(tile); });
    tile_controls_.at(static_cast<std::size_t>(tile)) = control;
  }
  update_tile_controls();
}

void ExportPage::update_tile_controls() {
  for (const Tile tile : kTiles) {
    DrawnControl* control = tile_controls_.at(static_cast<std::size_t>(tile));
    control->setText(tile_label(tile));
    control->setGeometry(tile_rect(tile));
  }
}

void ExportPage::resizeEvent(QResizeEvent*) {
  update_tile_controls();
}

ExportPage::~ExportPage() {
  if (engine_) engine_->listeners().remove(*this);
}

void ExportPage::attach(Engine& engine, UploadComponent& upload, AlertComponent& alerts) {
  if (engine_) engine_->listeners().remove(*this);
  engine_ = &engine;
  upload_ = &upload;
  alerts_ = &alerts;
  engine.listeners().add(*this);
  update_tile_controls();
  update();
}

QString ExportPage::tile_label(Tile tile) const {
  switch (tile) {
    case Tile::CsvExport:
      return ui_text(text::kDataOutput);
    case Tile::Upload: {
      const Uploader* up = upload_ ? upload_->uploader() : nullptr;
      const bool running = up && up->state() != UploadState::Idle;
      return ui_text(running ? text::kUploading : text::kDataUpload);
    }
    case Tile::AlertSettings:
      return ui_text(text::kAlertSettings);
  }
  return {};
}

QString ExportPage::upload_caption() const {
  const Uploader* up = upload_ ? upload_->uploader() : nullptr;
  if (!up || !up->last_upload()) return QStringLiteral("upload.json");
  const Uploader::LastUpload& last = *up->last_upload();
  const QString when = QStringLiteral("%1/%2 %3:%4")
                           .arg(last.began.month)
                           .arg(last.began.day)
                           .arg(last.began.hour, 2, 10, QLatin1Char('0'))
                           .arg(last.began.minute, 2, 10, QLatin1Char('0'));
  if (last.outcome.succeeded()) return shown_text(user_text::kLastUploadSucceededFormat).arg(when);
  return shown_text(user_text::kLastUploadFailedFormat)
      .arg(when, QString::fromStdString(up->log_path().filename().string()));
}

QRect ExportPage::tile_rect(Tile tile) const {
  const int w = (width() > 0 ? width() : 961) - 2 * kMargin;
  const int tile_w = (w - 2 * kTileGap) / kTileCount;
  return QRect(kMargin + static_cast<int>(tile) * (tile_w + kTileGap), kTileTop, tile_w, kTileHeight);
}

std::optional<ExportPage::Tile> ExportPage::tile_at(QPoint pos) const {
  for (const Tile tile : kTiles)
    if (tile_rect(tile).contains(pos)) return tile;
  return std::nullopt;
}

void ExportPage::activate(Tile tile) {
  switch (tile) {
    case Tile::CsvExport:
      export_csv();
      break;
    case Tile::Upload:
      if (upload_) upload_->request_upload();  // ignored while one runs
      update();
      break;
    case Tile::AlertSettings:
      open_settings();
      break;
  }
}

void ExportPage::export_csv() {
  if (!engine_ || !upload_) return;
  const QString proposed = QString::fromStdString(default_export_name(engine_->clock().local_now()));
  const QString path = choose_export_file ? choose_export_file(proposed) : QString();
  if (path.isEmpty()) return;  // cancelled
  // A failed write shows "error" through the engine's notifier.
  static_cast<void>(upload_->export_csv(std::filesystem::path(path.toStdString())));
}

void ExportPage::open_settings() {
  if (settings_dialog_ || !engine_) return;  // one settings dialog at a time
  // Modal to the application, yet shown without a nested event loop: the engine's timers run on.
  settings_dialog_ = new AlertSettingsDialog(engine_->config().data_folder, window());
  settings_dialog_->setAttribute(Qt::WA_DeleteOnClose);
  settings_dialog_->setWindowModality(Qt::ApplicationModal);
  connect(settings_dialog_, &QDialog::finished, this, [this](int) {
    // Applied or cancelled, the rules read "set.ini" again.
    if (alerts_) alerts_->reload_alert_settings();
    settings_dialog_ = nullptr;
    update();
  });
  settings_dialog_->show();
}

void ExportPage::paint_content(QPainter& p, int) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  for (const Tile tile : kTiles) {
    const QRect r = tile_rect(tile);
    const bool hovered = hovered_ == tile;
    QPainterPath frame;
    frame.addRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    p.fillPath(frame, hovered ? colour::kAccentLight : colour::kBackground);
    p.setPen(QPen(hovered ? colour::kAccent : colour::kCardBorder, 1.5));
    p.drawPath(frame);
    p.save();
    const QRectF icon(r.left() + 20, r.top() + 20, 56, 56);
    switch (tile) {
      case Tile::CsvExport:
        draw_export_icon(p, icon);
        break;
      case Tile::Upload:
        draw_upload_icon(p, icon);
        break;
      case Tile::AlertSettings:
        draw_bell_icon(p, icon);
        break;
    }
    p.restore();
    const bool busy = tile == Tile::Upload && tile_label(tile) == ui_text(text::kUploading);
    p.setPen(busy ? colour::kData.darker(130) : colour::kInk);
    p.setFont(ui_fonts().font(FontRole::Heading));
    p.drawText(QRect(r.left() + 20, r.top() + 84, r.width() - 40, 30), Qt::AlignLeft | Qt::AlignVCenter,
               tile_label(tile));
    p.setPen(colour::kMutedInk);
    p.setFont(ui_fonts().font(FontRole::Caption));
    // The export holds the heart rates and the clicks and travel of the last 90 days.
    const QString caption = tile == Tile::CsvExport
                                ? ui_text(text::kHeartMeasurement) + QStringLiteral(" / ") +
                                      ui_text(text::kClickTravelData) + QStringLiteral(" (CSV)")
                                : (tile == Tile::Upload ? upload_caption() : ui_text(text::kAlertConditions));
    const QRect caption_box(r.left() + 20, r.top() + 114, r.width() - 40, 22);
    p.drawText(caption_box, Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(caption, Qt::ElideMiddle, caption_box.width()));
  }
  paint_settings_summary(p, QRect(kMargin, kTileTop + kTileHeight + 18, width() - 2 * kMargin,
                                  height() - (kTileTop + kTileHeight + 18) - 16));
}

void ExportPage::paint_settings_summary(QPainter& p, const QRect& area) const {
  QPainterPath panel;
  panel.addRoundedRect(QRectF(area), 10, 10);
  p.fillPath(panel, colour::kBackground);
  if (!alerts_) return;
  const AlertSettings& s = alerts_->rules().settings();
  const QString off = shown_text(user_text::kSwitchedOff);
  const QString sp = QStringLiteral(" ");

  struct Row {
    QString label;
    QString value;
  };
  std::vector<Row> rows;
  rows.push_back({ui_text(text::kAlertByClicks),
                  s.click_limit != 0 || s.click_window_hours != 0
                      ? ui_text(text::kTotalClicks) + sp + ui_text(text::kParticleGa) + sp +
                            QString::number(s.click_window_hours) + sp + ui_text(text::kWithinHours) + sp +
                            QString::number(s.click_limit) + sp + ui_text(text::kTimesExceeded)
                      : off});
  rows.push_back({ui_text(text::kCursorTravel),
                  s.travel_limit_m != 0 || s.travel_window_hours != 0
                      ? QString::number(s.travel_window_hours) + sp + ui_text(text::kWithinHours) + sp +
                            QString::number(s.travel_limit_m) + sp + ui_text(text::kMetresExceeded)
                      : off});
  rows.push_back({ui_text(text::kMeasuredHeartRate), s.heart_rate_limit != 0
                                                         ? ui_text(text::kWhenMeasuring) + sp +
                                                               QString::number(s.heart_rate_limit) + sp +
                                                               ui_text(text::kBpmExceeded)
                                                         : off});
  QString hours;
  if (s.heart_alerts_on) {
    if (s.reminder_hour_count <= 0) {
      hours = shown_text(user_text::kEveryHour);
    } else {
      QStringList list;
      for (int j = 0; j < s.reminder_hour_count && j < kReminderSlots; ++j)
        if (s.reminder_hours[static_cast<std::size_t>(j)] >= 0)
          list << shown_text(user_text::kHourFormat).arg(s.reminder_hours[static_cast<std::size_t>(j)]);
      hours = list.join(shown_text(user_text::kListSeparator));
    }
  }
  rows.push_back({shown_text(user_text::kShowReminders), s.heart_alerts_on ? hours : off});
  // The default alert text is ours and shows translated; a text of the user's own shows as written.
  rows.push_back({ui_text(text::kAlertText), shown_message(s.rest_message)});

  p.setPen(colour::kInk);
  p.setFont(ui_fonts().font(FontRole::Body));
  p.drawText(QRect(area.left() + 18, area.top() + 10, area.width() - 36, 26),
             Qt::AlignLeft | Qt::AlignVCenter, ui_text(text::kAlertConditions));
  int y = area.top() + 42;
  const int label_w = 250;
  QFont row_font = ui_fonts().font(FontRole::Body);
  row_font.setPixelSize(14);
  p.setFont(row_font);
  for (const Row& row : rows) {
    p.setPen(colour::kMutedInk);
    p.drawText(QRect(area.left() + 18, y, label_w, 24), Qt::AlignLeft | Qt::AlignVCenter, row.label);
    p.setPen(colour::kInk);
    p.drawText(QRect(area.left() + 18 + label_w, y, area.width() - label_w - 36, 24),
               Qt::AlignLeft | Qt::AlignVCenter,
               p.fontMetrics().elidedText(row.value, Qt::ElideRight, area.width() - label_w - 36));
    y += 28;
  }
  // The ID the uploads carry.
  p.setPen(colour::kMutedInk);
  p.setFont(ui_fonts().font(FontRole::Caption));
  p.drawText(QRect(area.left() + 18, area.bottom() - 26, area.width() - 36, 20),
             Qt::AlignRight | Qt::AlignVCenter,
             QString::fromUtf8(user_text::kDeviceIdFormat)
                 .arg(QString::fromStdString(upload_ ? upload_->device_id() : std::string())));
}

void ExportPage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  if (const std::optional<Tile> tile = tile_at(event->position().toPoint())) activate(*tile);
}

void ExportPage::mouseMoveEvent(QMouseEvent* event) {
  const std::optional<Tile> tile = tile_at(event->position().toPoint());
  setCursor(tile ? Qt::PointingHandCursor : Qt::ArrowCursor);
  if (tile != hovered_) {
    hovered_ = tile;
    update();
  }
}

void ExportPage::leaveEvent(QEvent*) {
  hovered_.reset();
  update();
}

}  // namespace corvane
