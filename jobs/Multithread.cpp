#include "jobs/Multithread.h"

#include <QCoreApplication>
#include <QPointer>

#include "archive/Brennowzip.h"
#include "jobs/JobEvent.h"

MultiThread::MultiThread(QObject* receiver)
    : archive_(std::make_unique<CBrennowZip>()), receiver_(receiver) {
  connect(this, &QThread::finished, this, &QObject::deleteLater);
}

MultiThread::~MultiThread() = default;

void MultiThread::SetJob(JobMessage kind, const std::string& archivePath,
                         const std::string& baseFolder) {
  jobKind_ = kind;
  archivePath_ = archivePath;
  baseFolder_ = baseFolder;
  jobResult_ = 1;
}

void MultiThread::Resume() { start(); }

bool MultiThread::RunBackup() {
  archive_->setVolumeSize(kVolumeSize);
  // A backup mirrors what is archived now, and a failed one leaves nothing.
  archive_->setOpenMode(CBrennowZip::OpenMode::kReplace);
  bool ok = archive_->openArchive(archivePath_);
  if (ok && !archive_->addFiles(CBrennowZip::Wide(baseFolder_), L"*.*")) {
    // The wrapper's text alone does not say which file failed; the user
    // needs to know.
    errorText_ = archive_->lastError() + archive_->lastDetail();
    reason_ = archive_->lastReason();
    return false;
  }
  ok = ok && archive_->closeArchive();
  if (!ok) {
    errorText_ = archive_->lastError();
    reason_ = archive_->lastReason();
  }
  return ok;
}

bool MultiThread::RunRestore() {
  // A restore never creates or changes the archive it reads.
  archive_->setOpenMode(CBrennowZip::OpenMode::kReadOnly);
  archive_->setExpected(expected_);
  bool ok = archive_->openArchive(archivePath_) &&
            archive_->extractFiles(CBrennowZip::Wide(baseFolder_), L"*.*") &&
            archive_->closeArchive();
  if (!ok) {
    errorText_ = archive_->lastError();
    reason_ = archive_->lastReason();
  }
  return ok;
}

void MultiThread::Execute() {
  if (jobKind_ == JOB_BACKUP) {
    jobResult_ = RunBackup() ? 0 : -1;
  } else if (jobKind_ == JOB_RESTORE) {
    jobResult_ = RunRestore() ? 0 : -1;
  } else {
    jobResult_ = -1;
    errorText_ = "Error Code";
  }
  std::lock_guard<std::mutex> hold(lock_);
  QStringList args;
  for (const std::string& a : reason_.args) args << QString::fromStdString(a);
  QCoreApplication::postEvent(
      receiver_, new JobEvent(jobKind_, 0, 0, jobResult_,
                              QString::fromLocal8Bit(errorText_.c_str()), reason_.kind, args));
  QCoreApplication::processEvents();
}
