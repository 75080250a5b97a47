// The main window's archive jobs: backup, restore, database export and
// import, the wait panel and the worker's window messages.
#include <QDate>
#include <QMovie>

#include "app/kit/ArchiveFailure.h"

#include "app/Main.h"
#include "app/kit/DbText.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "db/key/FileCatalogue.h"
#include "db/key/KeyDatabase.h"
#include "jobs/JobEvent.h"
#include "jobs/Multithread.h"
#include "platform/Platform.h"
#include "ui_Main.h"

namespace {

const char kBackupFilter[] = "Quorvane Backup (*.qbk)|*.QBK";

QString Today() { return QDate::currentDate().toString(QStringLiteral("yyyyMMdd")); }

std::string Local8Bit(const QString& text) { return text.toLocal8Bit().toStdString(); }

}  // namespace

void TForm1::BTN_BckClick() {
  const QString archive =
      kit::SaveFile(kit::FileDialog::kSD, this, Today() + QStringLiteral("_Quorvane.qbk"),
                    Prompts::qtFilter(kBackupFilter));
  if (archive.isEmpty()) return;
  StartJob(JOB_BACKUP, Local8Bit(archive), platform::NativePath(DriveRoot, ""));
}

void TForm1::BTN_RestoreClick() {
  const QString archive =
      kit::OpenFile(kit::FileDialog::kOD, this, Prompts::qtFilter(kBackupFilter));
  if (archive.isEmpty()) return;
  StartJob(JOB_RESTORE, Local8Bit(archive), platform::NativePath(DriveRoot, ""),
           CBrennowZip::Expected::kFullBackup);
}

void TForm1::Button1Click() {
  std::string customerCode;
  if (!platform::FileExists(keydb::KeyFolders(KeyRoot).DatabasePath())) {
    Prompts::current().message(this, Msg(1008));
    return;
  }
  keydb::KeyDatabase db(KeyRoot);
  if (!keydb::CustomerCode(db, &customerCode)) Prompts::current().message(this, Msg(1009));
  const QString archive = kit::SaveFile(
      kit::FileDialog::kSD, this,
      Today() + QStringLiteral("_DB_") + FromCp1252(customerCode) + QStringLiteral(".qbk"),
      Prompts::qtFilter(kBackupFilter));
  if (archive.isEmpty()) return;
  StartJob(JOB_BACKUP, Local8Bit(archive), db.folders().DatabaseFolder());
}

void TForm1::Button2Click() {
  const std::string baseFolder = keydb::KeyFolders(KeyRoot).DatabaseFolder();
  const QString archive =
      kit::OpenFile(kit::FileDialog::kOD, this, Prompts::qtFilter(kBackupFilter));
  if (archive.isEmpty()) return;
  StartJob(JOB_RESTORE, Local8Bit(archive), baseFolder, CBrennowZip::Expected::kDatabaseExport);
}

void TForm1::StartJob(JobMessage kind, const std::string& archivePath,
                      const std::string& baseFolder, CBrennowZip::Expected expected) {
  CurrentJob = kind;
  SetWaitMode(true);
  jobRunning_ = true;
  worker_ = new MultiThread(this);
  worker_->SetJob(kind, archivePath, baseFolder);
  worker_->SetExpected(expected);
  worker_->Resume();
  // From here on the worker is its own: it reports by events and frees itself.
  worker_ = nullptr;
}

void TForm1::SetWaitMode(bool waiting) {
  if (!clip_) clip_ = new QMovie(this);
  if (waiting) {
    ui_->Panel1->hide();
    ui_->Panel2->show();
    clip_->stop();
    clip_->setFileName(QStringLiteral(":/clips/clip2001.gif"));
    ui_->WaitAnimation->setMovie(clip_);
    clip_->start();
    ui_->ProgressBar->setRange(0, 100);
    ui_->ProgressBar->setValue(0);
    jobPhaseStarted_ = false;
    ui_->Lbl_Wait->setText(Msg(1000));
    ui_->lbl_Msg->setText(Msg(1001));
  } else {
    ui_->Panel1->show();
    ui_->Panel2->hide();
    clip_->stop();
  }
}

bool TForm1::WndProc(QEvent* event) {
  JobMessage type;
  if (!JobEvent::Carries(event, &type)) return false;
  auto* job = static_cast<JobEvent*>(event);
  if (type == JOB_PROGRESS) {
    if (job->wParam == 0) {
      if (!clip_) clip_ = new QMovie(this);
      clip_->stop();
      clip_->setFileName(QStringLiteral(":/clips/clip2000.gif"));
      ui_->WaitAnimation->setMovie(clip_);
      clip_->start();
      jobPhaseStarted_ = true;
      if (CurrentJob == JOB_BACKUP) ui_->lbl_Msg->setText(Msg(1002));
      if (CurrentJob == JOB_RESTORE) ui_->lbl_Msg->setText(Msg(1003));
    }
    ui_->ProgressBar->setValue(job->wParam);
    return true;
  }
  jobRunning_ = false;
  SetWaitMode(false);
  const bool backup = type == JOB_BACKUP;
  // A restore or import wrote to the key: it is done only once the writes
  // are on it.
  const QString unsaved = job->jobResult == 0 && !backup ? UnsavedKeyWrites(DriveRoot) : QString();
  if (job->jobResult == 0 && unsaved.isEmpty()) {
    Prompts::current().message(this, Msg(backup ? 1004 : 1005));
  } else if (job->jobResult == 0) {
    Prompts::current().message(this, Msg(1056) + QLatin1Char(' ') + unsaved);
  } else {
    // A failed job must never look like a finished one.
    Prompts::current().message(
        this, Msg(backup ? 1055 : 1056) + QLatin1Char(' ') +
                  kit::ArchiveFailureText(job->errorText, job->reason, job->reasonArgs));
  }
  return true;
}

bool TForm1::MayLeave() {
  if (!jobRunning_) return true;
  // Stopping the worker midway would leave a broken archive or a half
  // restored key: leaving waits for the job's end.
  Prompts::current().message(this, Msg(1057));
  return false;
}
