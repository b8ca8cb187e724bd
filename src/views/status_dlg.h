#pragma once

#include "views/page_widget.h"

namespace corvane {

// The status page: today's, a chosen day's and a month's clicks and travel.
class StatusDlg final : public PageWidget {
  Q_OBJECT
 public:
  explicit StatusDlg(QWidget* parent);
};

}  // namespace corvane
