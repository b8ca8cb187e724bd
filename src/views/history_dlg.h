#pragma once

#include <QRect>
#include <array>
#include <functional>

#include "views/page_widget.h"

namespace corvane {

class AlertsAndUpload;
class Engine;
class OptionDlg;

// The history page: three commands as large tiles — 0 the CSV export ("心拍、マウスデータ出力"), 1 the
// manual upload ("データアップロード", "アップロード中" while an upload runs), 2 the alert settings page —
// and, under them, what the alerts are set to. The export and upload themselves, the alert rules and
// their timers belong to the engine; the page asks for them and repaints when the upload state changes.
class HistoryDlg final : public PageWidget {
  Q_OBJECT
 public:
  explicit HistoryDlg(QWidget* parent);
  ~HistoryDlg() override;  // detaches from the engine

  //! Connects the page to the engine's alerts-and-upload part.
  void attach(Engine& engine);

  static constexpr int kExportCommand = 0;
  static constexpr int kUploadCommand = 1;
  static constexpr int kSettingsCommand = 2;
  //! The command dispatcher of the three tiles.
  void command(int id);

  //! Asks for the export file; by default the Save dialog. Tests replace it. An empty answer cancels.
  std::function<QString(const QString& proposed_name)> choose_export_file;

  //! The alert settings page while it is open (one at a time), else null.
  OptionDlg* settings_page() const { return settings_page_; }

  //! The label tile `id` shows now.
  QString tile_label(int id) const;
  QRect tile_rect(int id) const;

 protected:
  void paint_content(QPainter& p, int top) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void export_csv();
  void open_settings();
  int tile_at(QPoint pos) const;
  void paint_settings_summary(QPainter& p, const QRect& area) const;

  Engine* engine_ = nullptr;
  AlertsAndUpload* alerts_ = nullptr;
  OptionDlg* settings_page_ = nullptr;
  int hovered_ = -1;
};

}  // namespace corvane
