#include "views/status_dlg.h"

#include "views/ui_texts.h"

namespace corvane {

StatusDlg::StatusDlg(QWidget* parent) : PageWidget(text::kTodayHeading, parent) {
  setObjectName(QStringLiteral("StatusDlg"));
}

}  // namespace corvane
