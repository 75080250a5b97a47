// One command at a time: while a search, a list fill or an archive step
// hands the event queue its turns, the window takes no other command.
#pragma once

#include <QPointer>
#include <QWidget>
#include <initializer_list>
#include <vector>

namespace kit {

// The window's count of locks held; busy while it is above zero.
class CommandState {
 public:
  bool busy() const { return depth_ > 0; }

 private:
  friend class CommandLock;
  int depth_ = 0;
};

// Disables the given widgets that are enabled now and gives them back, as
// they were, when the lock goes, whichever way the step ends. Locks nest on
// one CommandState: only the outermost one disables and restores.
class CommandLock {
 public:
  CommandLock(CommandState* state, const std::vector<QWidget*>& widgets);
  ~CommandLock();
  CommandLock(const CommandLock&) = delete;
  CommandLock& operator=(const CommandLock&) = delete;

 private:
  CommandState* state_;
  std::vector<QPointer<QWidget>> disabled_;
};

// Every enabled control below window that takes a command (buttons, combo
// boxes, lists, edits), except those in keep: what a lock of the whole
// window disables.
std::vector<QWidget*> CommandWidgets(QWidget* window, std::initializer_list<QWidget*> keep);

}  // namespace kit
