#include "app/kit/DatabaseWaitNotice.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include "app/kit/Texts.h"

namespace kit {
namespace {

// The window the user is looking at: the modal one, else the active one,
// else the last visible top-level window.
QWidget* ActiveWindow() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  QWidget* last = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible() && !top->isMinimized() && top->windowType() != Qt::ToolTip) last = top;
  }
  return last;
}

class WaitNotice : public DbWaitHook {
 public:
  void waitStarted() override {
    if (!qApp || QThread::currentThread() != qApp->thread() || shown_) return;
    shown_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QWidget* window = ActiveWindow();
    if (!window) return;
    notice_ = new QLabel(Msg(1120), window);
    notice_->setObjectName(QStringLiteral("DatabaseWaitNotice"));
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    notice_->setAutoFillBackground(true);
    notice_->setStyleSheet(QStringLiteral(
        "QLabel { background-color: red; color: white; font-weight: bold; padding: 6px; }"));
    const int width = qMax(200, window->width() * 3 / 4);
    notice_->setFixedWidth(qMin(width, window->width()));
    notice_->adjustSize();
    notice_->move((window->width() - notice_->width()) / 2,
                  (window->height() - notice_->height()) / 2);
    notice_->show();
    notice_->raise();
    // The event queue gets no turn until the statement ends: paint now.
    notice_->repaint();
  }

  void waitEnded() override {
    if (!shown_) return;
    shown_ = false;
    delete notice_.data();
    QApplication::restoreOverrideCursor();
  }

 private:
  bool shown_ = false;
  QPointer<QLabel> notice_;
};

}  // namespace

DbWaitHook& DatabaseWaitNotice() {
  static WaitNotice notice;
  return notice;
}

void InstallDatabaseWaitNotice() { DbConnection::setWaitHook(&DatabaseWaitNotice()); }

}  // namespace kit
