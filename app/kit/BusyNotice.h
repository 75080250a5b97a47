// A notice ("Attendere...") shown over its panel while a command works.
#pragma once

#include <QWidget>

namespace kit {

// Shows the notice on top, painted at once, for the life of the object;
// hide() takes it away earlier (before the command's own message).
class BusyNotice {
 public:
  explicit BusyNotice(QWidget* notice) : notice_(notice) {
    if (!notice_) return;
    notice_->show();
    notice_->raise();
    notice_->repaint();
  }
  ~BusyNotice() { hide(); }
  void hide() {
    if (notice_) notice_->hide();
  }
  BusyNotice(const BusyNotice&) = delete;
  BusyNotice& operator=(const BusyNotice&) = delete;

 private:
  QWidget* notice_;
};

}  // namespace kit
