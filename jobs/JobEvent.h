// The window messages of archive jobs, as Qt events posted to the main
// window: JOB_BACKUP and JOB_RESTORE when a job has ended (carrying its
// result and error text, so the window never reads the worker again), and
// JOB_PROGRESS while any archive is written or read.
#pragma once

#include <QEvent>
#include <QString>
#include <QStringList>

// A type of its own: a window message shares its numbers with the
// numbered texts (text 1124 is "La chiave Quorvane è piena"), and neither
// may stand for the other. A message is never shown and a text number is
// never a message; the compiler keeps them apart.
enum class JobMessage : int { kBackup = 1124, kRestore = 1125, kProgress = 1127 };
inline constexpr JobMessage JOB_BACKUP = JobMessage::kBackup;
inline constexpr JobMessage JOB_RESTORE = JobMessage::kRestore;
inline constexpr JobMessage JOB_PROGRESS = JobMessage::kProgress;

class JobEvent : public QEvent {
 public:
  JobEvent(JobMessage message, int wParam, int lParam, int jobResult = 0,
           const QString& errorText = QString(), int reason = 0,
           const QStringList& reasonArgs = QStringList())
      : QEvent(static_cast<QEvent::Type>(message)),
        wParam(wParam),
        lParam(lParam),
        jobResult(jobResult),
        errorText(errorText),
        reason(reason),
        reasonArgs(reasonArgs) {}

  // The job message an event carries; false for any other event.
  static bool Carries(const QEvent* event, JobMessage* message) {
    const int type = static_cast<int>(event->type());
    for (JobMessage known : {JOB_BACKUP, JOB_RESTORE, JOB_PROGRESS}) {
      if (type == static_cast<int>(known)) {
        *message = known;
        return true;
      }
    }
    return false;
  }

  const int wParam;
  const int lParam;
  const int jobResult;           // 0 success, -1 failure (completion events)
  const QString errorText;       // why the job failed (the archive wrapper's text)
  const int reason;              // and as the wrapper's reason kind, with
  const QStringList reasonArgs;  // its arguments, to say it in the user's language
};

// Registers the main window as the receiver of every archive's progress:
// from then on each progress report of any archive wrapper posts
// JOB_PROGRESS to it and lets the reporting thread handle its waiting events
// (on the interface thread without user input, so no command can start in
// between). nullptr unregisters.
void RegisterProgressReceiver(QObject* mainWindow);

// The registered receiver (the main window), or nullptr.
QObject* ProgressReceiver();
