#pragma once

#include <QRect>
#include <array>
#include <functional>
#include <optional>

#include "engine/engine_listener.h"
#include "views/page_widget.h"

namespace corvane {

class AlertComponent;
class AlertSettingsDialog;
class DrawnControl;
class Engine;
class UploadComponent;

// The page of what leaves the program: three large tiles — the CSV export ("心拍、マウスデータ出力"),
// the manual upload ("データアップロード", "アップロード中" while an upload runs, and under it how the last
// upload went, automatic ones included, which nobody else reports) and the alert settings
// dialog — and, under them, what the alerts are set to. The export and upload themselves, the alert
// rules and their timers belong to the engine; the page asks for them and repaints when the upload
// state changes.
class ExportPage final : public PageWidget, private EngineListener {
  Q_OBJECT
 public:
  explicit ExportPage(QWidget* parent);
  ~ExportPage() override;  // detaches from the engine

  //! Connects the page to the engine's upload and alert parts; all must outlive the page or see it
  //! detach first.
  void attach(Engine& engine, UploadComponent& upload, AlertComponent& alerts);

  //! The tiles, left to right.
  enum class Tile { CsvExport, Upload, AlertSettings };
  static constexpr int kTileCount = 3;
  //! What a click on the tile does.
  void activate(Tile tile);

  //! Asks for the export file; by default the Save dialog. Tests replace it. An empty answer cancels.
  std::function<QString(const QString& proposed_name)> choose_export_file;

  //! The alert settings dialog while it is open (one at a time), else null.
  AlertSettingsDialog* settings_dialog() const { return settings_dialog_; }

  //! The label the tile shows now.
  QString tile_label(Tile tile) const;
  //! The small text under the upload tile: how the last upload went (a failure names the log that
  //! says why), or the file it sends before the first one.
  QString upload_caption() const;
  QRect tile_rect(Tile tile) const;
  //! The keyboard's and the screen reader's side of a tile.
  DrawnControl* tile_control(Tile tile) const { return tile_controls_.at(static_cast<std::size_t>(tile)); }

 protected:
  void paint_content(QPainter& p, int top) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void export_csv();
  void open_settings();
  std::optional<Tile> tile_at(QPoint pos) const;
  void paint_settings_summary(QPainter& p, const QRect& area) const;

  void update_tile_controls();

  void on_upload_state_changed() override {
    update_tile_controls();
    update();
  }

  Engine* engine_ = nullptr;
  UploadComponent* upload_ = nullptr;
  AlertComponent* alerts_ = nullptr;
  AlertSettingsDialog* settings_dialog_ = nullptr;
  std::optional<Tile> hovered_;
  std::array<DrawnControl*, kTileCount> tile_controls_{};
};

}  // namespace corvane
