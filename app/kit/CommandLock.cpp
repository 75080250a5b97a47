#include "app/kit/CommandLock.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

namespace kit {

CommandLock::CommandLock(CommandState* state, const std::vector<QWidget*>& widgets)
    : state_(state) {
  if (state_->depth_++ > 0) return;
  for (QWidget* w : widgets) {
    if (!w->isEnabled()) continue;
    w->setEnabled(false);
    disabled_.emplace_back(w);
  }
}

CommandLock::~CommandLock() {
  for (const QPointer<QWidget>& w : disabled_)
    if (w) w->setEnabled(true);
  --state_->depth_;
}

std::vector<QWidget*> CommandWidgets(QWidget* window, std::initializer_list<QWidget*> keep) {
  std::vector<QWidget*> widgets;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    const bool command = qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                         qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTextEdit*>(w);
    if (!command || !w->isEnabled()) continue;
    if (std::find(keep.begin(), keep.end(), w) != keep.end()) continue;
    // A combo box's own edit field goes with its box.
    if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
    widgets.push_back(w);
  }
  return widgets;
}

}  // namespace kit
