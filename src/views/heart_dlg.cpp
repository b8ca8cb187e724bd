#include "views/heart_dlg.h"

#include "views/ui_texts.h"

namespace corvane {

HeartDlg::HeartDlg(QWidget* parent) : PageWidget(text::kHeartMeasurement, parent) {
  setObjectName(QStringLiteral("HeartDlg"));
}

}  // namespace corvane
