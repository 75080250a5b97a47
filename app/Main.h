// The main window: finds the key, then offers the tool's commands.
//
// KeyRoot and DriveRoot are empty until a key is accepted, then fixed for
// the rest of the run. KeyRoot always ends with a backslash ("E:\ZKM_Quorvane\"
// after the scan, "e:\ZKM_Quorvane\" after a manual choice); DriveRoot is
// "E:\" after the scan and "e:" after a manual choice.
#pragma once

#include "archive/Brennowzip.h"

#include <QMainWindow>
#include <memory>
#include <string>

#include "app/Utilities.h"

// The archive jobs' window messages (jobs/JobEvent.h).
enum class JobMessage : int;

namespace Ui {
class TForm1;
}
class MultiThread;
class QMovie;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  Ui::TForm1* ui() const { return ui_.get(); }
  const std::string& keyRoot() const { return KeyRoot; }
  const std::string& driveRoot() const { return DriveRoot; }
  // Whether the window has asked the application to terminate.
  bool terminateRequested() const { return terminateRequested_; }

  // Key detection.
  bool FindKeyAutomatically();
  void SetKeyCommandsEnabled(bool enabled);
  void DisableDatabaseCommands();
  void HideAllPanels();
  static bool IsProcessRunning(const std::string& exeName);
  QString BuildTitle() const;

  // Handlers.
  void Button6Click();
  void Button7Click();
  void Button3Click();
  void Button5Click();
  void BTN_ZkmRunClick();
  void BTN_ImpdrvClick();
  void BTN_SPClick();
  void BTN_EXITClick();
  void Esci1Click();
  void BTN_BckClick();
  void BTN_RestoreClick();
  void Button1Click();
  void Button2Click();
  void BTN_DbMngClick();
  void Button4Click();

  // Archive jobs: the wait panel and the worker's window messages.
  void SetWaitMode(bool waiting);
  bool WndProc(QEvent* event);
  bool jobRunning() const { return jobRunning_; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ShowPanel(QWidget* panel);
  void FillDriveSelector();
  void Terminate();
  // Whether the key's drive still exists; says so when it does not.
  bool KeyReachable();
  // Leaving is refused while an archive job runs; true when it may go on.
  bool MayLeave();
  // Starts an archive job of the given kind on a new worker.
  // expected: what a restore's archive must be (the other kind is refused).
  void StartJob(JobMessage kind, const std::string& archivePath, const std::string& baseFolder,
                CBrennowZip::Expected expected = CBrennowZip::Expected::kAnything);
  void RetranslateRuntimeTexts();

  std::unique_ptr<Ui::TForm1> ui_;

  std::string KeyRoot;
  std::string DriveRoot;
  MultiThread* worker_ = nullptr;  // not owned: frees itself
  JobMessage CurrentJob{};         // none until the first job
  std::unique_ptr<CUtilities> versionInfo_;
  QString title_;

  bool terminateRequested_ = false;
  bool jobRunning_ = false;
  bool jobPhaseStarted_ = false;  // the first progress report arrived
  int promptMessage_ = 0;         // text number shown in lblQuorselect
  QMovie* clip_ = nullptr;
};
