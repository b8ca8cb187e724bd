#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "base/notifier.h"

namespace corvane {

// The Notifier of the desktop program: a message box that does not block the GUI thread (the engine's
// timers keep running while it is open). `on_closed` runs on the GUI thread once the user closed it.
// Callable from any thread; the box is always made on the GUI thread.
class QtNotifier final : public QObject, public Notifier {
  Q_OBJECT
 public:
  explicit QtNotifier(QObject* parent = nullptr) : QObject(parent) {}

  void show_message(const std::string& text, std::function<void()> on_closed = {}) override;

  //! The parent of the boxes (the main window once it exists), so they stand over it.
  void set_owner(QWidget* owner) { owner_ = owner; }

  //! Boxes shown and not yet closed.
  int open_boxes() const { return open_; }

 private:
  void show_on_gui_thread(const QString& text, std::function<void()> on_closed);

  QPointer<QWidget> owner_;
  int open_ = 0;
};

}  // namespace corvane
