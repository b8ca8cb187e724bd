#pragma once

#include <functional>
#include <string>

namespace corvane {

// How the core tells the user something: a message box in the desktop program, a line on stderr
// ("message: <text>") in headless mode.
class Notifier {
 public:
  virtual ~Notifier() = default;
  //! Shows a message with an OK button. `on_closed` runs on the engine's thread once the user has
  //! closed it (at once where nobody can close it); it may be empty.
  virtual void show_message(const std::string& text, std::function<void()> on_closed = {}) = 0;
};

}  // namespace corvane
