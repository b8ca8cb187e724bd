#pragma once

#include "views/page_widget.h"

namespace corvane {

// The history page: CSV export, upload and the alert settings.
class HistoryDlg final : public PageWidget {
  Q_OBJECT
 public:
  explicit HistoryDlg(QWidget* parent);
};

}  // namespace corvane
