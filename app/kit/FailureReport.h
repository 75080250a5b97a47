// The text of the application's error report, and the guard that shows it
// for every handler of ours that Qt calls.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

class QWidget;

namespace kit {

// What a database failure code means for the user, in the interface
// language: locked by another program, cannot be opened, read or write
// failed (is the key still plugged in?), key full, read-only, damaged or
// not a database. Empty for the other codes.
QString DatabaseFailureMeaning(int code);

// The report of an exception that reached the top: for a database
// failure, its meaning above the layer's exact text; otherwise the text.
QString FailureReport(const std::exception& error);

// Shows the failure in a message box over window's top-level window (none
// when null).
void ReportFailure(QWidget* window, const std::exception& error);

// A slot that reports its own failure. Qt's frames between the event loop
// and a slot (the button's click, the mouse handling) are built without
// unwinding cleanup: an exception passing through them skips their
// destructors and leaves their state half-updated. So no exception of ours
// may leave a slot; it is shown over the window and the program goes on.
// The call operator takes only the arguments the handler accepts, so that
// Qt passes a slot as many of the signal's arguments as it wants.
template <typename Handler>
class ReportingSlot {
 public:
  ReportingSlot(QWidget* window, Handler handler) : window_(window), handler_(std::move(handler)) {}

  template <typename... Args, typename = std::enable_if_t<std::is_invocable_v<Handler&, Args...>>>
  void operator()(Args&&... args) {
    try {
      std::invoke(handler_, std::forward<Args>(args)...);
    } catch (const std::exception& error) {
      // Everything our code throws is a std::exception.
      ReportFailure(window_, error);
    }
  }

 private:
  QWidget* window_;
  Handler handler_;
};

template <typename Handler>
ReportingSlot<Handler> Reported(QWidget* window, Handler handler) {
  return ReportingSlot<Handler>(window, std::move(handler));
}

// A window's member function as such a slot.
template <typename Window, typename... Params>
auto Reported(Window* window, void (Window::*slot)(Params...)) {
  return Reported(window, [window, slot](Params... params) { (window->*slot)(params...); });
}

}  // namespace kit
