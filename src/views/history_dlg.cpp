#include "views/history_dlg.h"

#include "views/ui_texts.h"

namespace corvane {

HistoryDlg::HistoryDlg(QWidget* parent) : PageWidget(text::kHistoryTabLabel, parent) {
  setObjectName(QStringLiteral("HistoryDlg"));
}

}  // namespace corvane
