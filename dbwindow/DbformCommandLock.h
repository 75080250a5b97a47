// The window's lock for commands that hand the event queue a turn (a
// driver search, a list fill, an archive step on the interface thread).
// Private to the window's own sources.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <vector>

#include "dbwindow/Dbform.h"
#include "ui_Dbform.h"

// While a search, a list fill or an archive step hands the event queue its
// turns the window takes no other command: every enabled control but
// "Interrompi " is disabled and given back when the lock ends, whichever way
// the step ends. Locks nest: the busy state is restored as it was.
class TForm2::CommandLock {
 public:
  explicit CommandLock(TForm2* form) : form_(form), wasBusy_(form->searching_) {
    form_->searching_ = true;
    for (QWidget* w : form_->findChildren<QWidget*>()) {
      const bool command = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                           qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) ||
                           qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w);
      if (!command || w == form_->ui_->BTN_Break || !w->isEnabled()) continue;
      if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
      w->setEnabled(false);
      disabled_.push_back(w);
    }
  }
  ~CommandLock() {
    for (QWidget* w : disabled_) w->setEnabled(true);
    form_->searching_ = wasBusy_;
  }
  CommandLock(const CommandLock&) = delete;
  CommandLock& operator=(const CommandLock&) = delete;

 private:
  TForm2* form_;
  bool wasBusy_;
  std::vector<QWidget*> disabled_;
};
