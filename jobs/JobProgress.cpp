// Every archive wrapper's progress goes to the main window as JOB_PROGRESS.
#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <atomic>

#include "archive/Brennowzip.h"
#include "jobs/JobEvent.h"

namespace {
std::atomic<QObject*> g_receiver{nullptr};
}  // namespace

void RegisterProgressReceiver(QObject* mainWindow) {
  g_receiver = mainWindow;
  if (!mainWindow) {
    CBrennowZip::SetProgressSink(nullptr);
    return;
  }
  CBrennowZip::SetProgressSink([](int percent) {
    QObject* receiver = g_receiver.load();
    if (!receiver) return;
    QCoreApplication::postEvent(receiver, new JobEvent(JOB_PROGRESS, percent, percent));
    if (QThread::currentThread() == receiver->thread()) {
      // A store or export on the interface thread: repaint and take the
      // posted messages, but no user input, so no command starts meanwhile.
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
      QCoreApplication::processEvents();
    }
  });
}

QObject* ProgressReceiver() { return g_receiver.load(); }
