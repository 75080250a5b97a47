#include "app/Main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>

#include "app/Localisation.h"
#include "app/QuorApplication.h"
#include "app/kit/FailureReport.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "app/kit/WindowFont.h"
#include "db/key/KeyPaths.h"
#include "jobs/JobEvent.h"
#include "platform/Platform.h"
#include "ui_Main.h"

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()) {
  kit::RegisterWindowFont();
  ui_->setupUi(this);
  KeyRoot.clear();
  DriveRoot.clear();
  title_.clear();

  Localisation::instance().AttachMenu(ui_->Languages);

  connect(ui_->Button6, &QPushButton::clicked, this, kit::Reported(this, &TForm1::Button6Click));
  connect(ui_->Button7, &QPushButton::clicked, this, kit::Reported(this, &TForm1::Button7Click));
  connect(ui_->Button3, &QPushButton::clicked, this, kit::Reported(this, &TForm1::Button3Click));
  connect(ui_->Button5, &QPushButton::clicked, this, kit::Reported(this, &TForm1::Button5Click));
  // A command that works on the key first makes sure that its drive is
  // still there: a drive letter never moves to another file system, so a
  // pulled key leaves KeyRoot naming nothing rather than another drive.
  auto onKey = [this](void (TForm1::*handler)()) {
    return kit::Reported(this, [this, handler] {
      if (KeyReachable()) (this->*handler)();
    });
  };
  connect(ui_->BTN_ZkmRun, &QPushButton::clicked, this, onKey(&TForm1::BTN_ZkmRunClick));
  connect(ui_->BTN_Impdrv, &QPushButton::clicked, this, onKey(&TForm1::BTN_ImpdrvClick));
  connect(ui_->BTN_SP, &QPushButton::clicked, this, onKey(&TForm1::BTN_SPClick));
  connect(ui_->BTN_EXIT, &QPushButton::clicked, this, kit::Reported(this, &TForm1::BTN_EXITClick));
  connect(ui_->Esci1, &QAction::triggered, this, kit::Reported(this, &TForm1::Esci1Click));
  connect(ui_->BTN_Bck, &QPushButton::clicked, this, onKey(&TForm1::BTN_BckClick));
  connect(ui_->BTN_Restore, &QPushButton::clicked, this, onKey(&TForm1::BTN_RestoreClick));
  connect(ui_->Button1, &QPushButton::clicked, this, onKey(&TForm1::Button1Click));
  connect(ui_->Button2, &QPushButton::clicked, this, onKey(&TForm1::Button2Click));
  connect(ui_->BTN_DbMng, &QPushButton::clicked, this, onKey(&TForm1::BTN_DbMngClick));
  connect(ui_->Button4, &QPushButton::clicked, this, onKey(&TForm1::Button4Click));

  if (IsProcessRunning("ZKMQuorvane.exe")) {
    Prompts::current().message(this, Msg(1051));
    Terminate();
  }
  HideAllPanels();
  ui_->Panel3->show();

  RegisterProgressReceiver(this);

  versionInfo_ = std::make_unique<CUtilities>();
  title_ = BuildTitle();
  setWindowTitle(title_);
}

TForm1::~TForm1() {
  if (ProgressReceiver() == this) RegisterProgressReceiver(nullptr);
}

QString TForm1::BuildTitle() const {
  return Msg(1052) + QLatin1Char(' ') + QString::fromStdString(versionInfo_->GetVersionInfo());
}

bool TForm1::IsProcessRunning(const std::string& exeName) {
  return platform::Current().IsProcessRunning(exeName);
}

void TForm1::Terminate() {
  terminateRequested_ = true;
  RequestTerminate();
}

void TForm1::HideAllPanels() {
  ui_->Panel1->hide();
  ui_->Panel2->hide();
  ui_->Panel3->hide();
  ui_->PQuorUnit->hide();
}

void TForm1::ShowPanel(QWidget* panel) {
  HideAllPanels();
  panel->show();
}

void TForm1::SetKeyCommandsEnabled(bool enabled) {
  for (QPushButton* b :
       {ui_->BTN_Bck, ui_->BTN_DbMng, ui_->BTN_ZkmRun, ui_->BTN_Impdrv, ui_->BTN_Restore})
    b->setEnabled(enabled);
}

void TForm1::DisableDatabaseCommands() {
  for (QPushButton* b :
       {ui_->BTN_ZkmRun, ui_->BTN_DbMng, ui_->BTN_Bck, ui_->Button1, ui_->Button2, ui_->Button4})
    b->setEnabled(false);
}

bool TForm1::FindKeyAutomatically() {
  platform::Platform& machine = platform::Current();
  const std::uint32_t drives = machine.LogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    const std::string candidate = std::string(1, static_cast<char>('A' + i)) + ":\\";
    std::string label;
    if (!machine.VolumeLabel(candidate, &label)) label.clear();
    if ((label == "ZARIVIRE" || label == "QUORVANE") &&
        platform::FileExists(keydb::KeyFolders(candidate + "ZKM_Quorvane\\").DatabasePath())) {
      KeyRoot = candidate + "ZKM_Quorvane\\";
      DriveRoot = candidate;
      return true;
    }
  }
  return false;
}

void TForm1::Button6Click() {
  bool found = false;
  try {
    HideAllPanels();
    found = FindKeyAutomatically();
    if (found) {
      SetKeyCommandsEnabled(true);
      ui_->Panel1->show();
    }
  } catch (...) {
    // Whatever the scan meets (a drive that vanished midway, a file system
    // that cannot be read, a failure of any kind) means only that no key was
    // found here: the user is offered the manual choice instead of an error.
    HideAllPanels();
    found = false;
  }
  if (!found) Button7Click();
}

void TForm1::Button7Click() {
  FillDriveSelector();
  ShowPanel(ui_->PQuorUnit);
  promptMessage_ = 1006;
  ui_->lblQuorselect->setText(Msg(promptMessage_));
  SetKeyCommandsEnabled(false);
}

void TForm1::FillDriveSelector() {
  platform::Platform& machine = platform::Current();
  const std::uint32_t drives = machine.LogicalDrives();
  ui_->CB_Quor->clear();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i))) continue;
    const char letter = static_cast<char>('a' + i);
    std::string text = std::string(1, letter) + ":";
    const std::string description = machine.DriveDescription(letter);
    if (!description.empty()) text += " " + description;
    ui_->CB_Quor->addItem(QString::fromLocal8Bit(text.c_str()));
  }
}

void TForm1::Button3Click() {
  const std::string text = ui_->CB_Quor->currentText().toLocal8Bit().toStdString();
  // Without a drive in the selector there is nothing to accept.
  if (text.size() < 2 || !std::isalpha(static_cast<unsigned char>(text[0])) || text[1] != ':')
    return;
  const std::string drive = text.substr(0, 2);
  const unsigned type = platform::Current().DriveType(drive);
  if (type == platform::kDriveFixed || type == platform::kDriveCdRom ||
      type == platform::kDriveRemote) {
    Prompts::current().message(this, Msg(1007));
    return;
  }
  DriveRoot = drive;
  KeyRoot = drive + "\\ZKM_Quorvane\\";
  if (platform::FileExists(keydb::KeyFolders(KeyRoot).DatabasePath())) {
    SetKeyCommandsEnabled(true);
  } else {
    Prompts::current().message(this, Msg(1033, 1008));
    SetKeyCommandsEnabled(true);
    DisableDatabaseCommands();
  }
  ShowPanel(ui_->Panel1);
}

bool TForm1::KeyReachable() {
  if (!DriveRoot.empty() && !platform::Current().DriveFolder(DriveRoot[0]).empty()) return true;
  Prompts::current().message(this, Msg(1091));
  return false;
}

void TForm1::Button5Click() { Terminate(); }

void TForm1::BTN_EXITClick() {
  if (MayLeave()) Terminate();
}

void TForm1::Esci1Click() {
  if (MayLeave()) Terminate();
}

bool TForm1::event(QEvent* event) {
  // A job's end is handled here, below Qt's event delivery: its failure is
  // reported here too (see kit::Reported).
  try {
    if (WndProc(event)) return true;
  } catch (const std::exception& error) {
    kit::ReportFailure(this, error);
    return true;
  }
  return QMainWindow::event(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!MayLeave()) {
    event->ignore();
    return;
  }
  QMainWindow::closeEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    ui_->retranslateUi(this);
    RetranslateRuntimeTexts();
  }
  QMainWindow::changeEvent(event);
}

void TForm1::RetranslateRuntimeTexts() {
  title_ = BuildTitle();
  setWindowTitle(title_);
  if (promptMessage_) ui_->lblQuorselect->setText(Msg(promptMessage_));
  if (jobRunning_) {
    ui_->Lbl_Wait->setText(Msg(1000));
    if (!jobPhaseStarted_) {
      ui_->lbl_Msg->setText(Msg(1001));
    } else if (CurrentJob == JOB_BACKUP || CurrentJob == JOB_RESTORE) {
      ui_->lbl_Msg->setText(Msg(CurrentJob == JOB_BACKUP ? 1002 : 1003));
    }
  }
}
