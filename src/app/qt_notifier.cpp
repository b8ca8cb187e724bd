#include "app/qt_notifier.h"

#include <QMessageBox>
#include <QThread>

#include "views/ui_texts.h"

namespace corvane {

void QtNotifier::show_message(const std::string& text, std::function<void()> on_closed) {
  const QString message = shown_message(text);
  if (QThread::currentThread() == thread()) {
    show_on_gui_thread(message, std::move(on_closed));
    return;
  }
  QMetaObject::invokeMethod(
      this,
      [this, message, on_closed = std::move(on_closed)]() mutable {
        show_on_gui_thread(message, std::move(on_closed));
      },
      Qt::QueuedConnection);
}

void QtNotifier::show_on_gui_thread(const QString& text, std::function<void()> on_closed) {
  // A box owned by the main window is its own top-level window: it shows even while the main window
  // is hidden in the tray, which is what reminders need.
  auto* box = new QMessageBox(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, owner_.data());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->setObjectName(QStringLiteral("corvane-message"));
  ++open_;
  connect(box, &QMessageBox::finished, this, [this, on_closed = std::move(on_closed)](int) {
    --open_;
    if (on_closed) on_closed();
  });
  box->show();
  box->raise();
}

}  // namespace corvane
