#pragma once

#include "views/page_widget.h"

namespace corvane {

// The heart-rate page: the running measurement and the list of measured heart rates.
class HeartDlg final : public PageWidget {
  Q_OBJECT
 public:
  explicit HeartDlg(QWidget* parent);
};

}  // namespace corvane
