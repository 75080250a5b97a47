// The background worker of one archive job (a backup or a restore). Created
// suspended; SetJob, then Resume. It runs the job on its own thread, posts
// the job's end (JOB_BACKUP or JOB_RESTORE, with jobResult and errorText)
// to the receiver, and frees itself. After Resume the creator must not touch
// it again. It never touches a window.
#pragma once

#include <QString>
#include <QThread>
#include <memory>
#include <mutex>
#include <string>

#include "archive/Brennowzip.h"
#include "jobs/JobEvent.h"

class QObject;

class MultiThread : public QThread {
 public:
  // receiver: where the completion event goes (the main window).
  explicit MultiThread(QObject* receiver);
  ~MultiThread() override;

  // kind JOB_BACKUP or JOB_RESTORE; the archive's native path and the
  // native folder archived or extracted into. jobResult becomes 1.
  void SetJob(JobMessage kind, const std::string& archivePath, const std::string& baseFolder);

  // What a restore expects the archive to be (a full backup for the key's
  // root, a database export for the Database folder); the other kind is
  // refused before anything is written.
  void SetExpected(CBrennowZip::Expected expected) { expected_ = expected; }

  // Starts the thread; the worker deletes itself once Execute has returned.
  void Resume();

  // The job's body; true on success, otherwise errorText says why.
  bool RunBackup();
  bool RunRestore();

  int jobResult() const { return jobResult_; }
  const std::string& errorText() const { return errorText_; }

  // Volume size of backups: 100 MiB.
  static constexpr int kVolumeSize = 104857600;

 protected:
  void run() override { Execute(); }
  void Execute();

 private:
  std::unique_ptr<CBrennowZip> archive_;
  JobMessage jobKind_{};  // none until SetJob
  int jobResult_ = 0;
  std::string baseFolder_;
  std::string archivePath_;
  std::mutex lock_;
  std::string errorText_;
  CBrennowZip::Reason reason_;
  CBrennowZip::Expected expected_ = CBrennowZip::Expected::kAnything;
  QObject* receiver_;
};
