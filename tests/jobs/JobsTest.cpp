// Archive jobs on real threads and real archives, through the main window.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "app/Localisation.h"
#include "app/Main.h"
#include "app/kit/Texts.h"
#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "archive/zip/Io.h"
#include "jobs/JobEvent.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Main.h"

namespace {

namespace fs = std::filesystem;
using platform::SimulatedPlatform;

class Jobs : public ::testing::Test {
 protected:
  Jobs() : machine_(new SimulatedPlatform) {
    drive_ = dir_ / "e";
    fs::create_directories(drive_);
    key_ = std::make_unique<fixture::KeyBuilder>(drive_);
    key_->SetCustomer("123");
    fixture::WriteFile(drive_ + "/ZKM_Quorvane/Database/ORI/1.ori", fixture::EcuImage(1, 300000));
    fixture::WriteFile(drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRT", "driver one");
    fixture::WriteFile(drive_ + "/ZKM_Quorvane/Programs/readme.txt", "product files");
    fs::create_directories(drive_ + "/ZKM_Quorvane/Empty");
    machine_->AddDrive('E', drive_, "QUORVANE", platform::kDriveRemovable);
    platform::Install(std::unique_ptr<platform::Platform>(machine_));
    form_ = std::make_unique<TForm1>();
    form_->ui()->Button6->click();
    EXPECT_EQ(form_->keyRoot(), "E:\\ZKM_Quorvane\\");
  }
  ~Jobs() override {
    WaitForJob();
    form_.reset();
    platform::Install(nullptr);
  }

  // Lets the interface thread run until the job has reported its end.
  void WaitForJob() {
    QDeadlineTimer deadline(120000);
    while (form_ && form_->jobRunning() && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_FALSE(form_ && form_->jobRunning()) << "job did not end";
  }

  bool PanelShown(QWidget* panel) { return !panel->isHidden(); }

  fixture::TempDir dir_;
  std::string drive_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  SimulatedPlatform* machine_;
  ScriptedPrompts prompts_;
  std::unique_ptr<TForm1> form_;
};

QString Today() { return QDate::currentDate().toString("yyyyMMdd"); }

TEST_F(Jobs, FullBackupThenRestoreOntoAChangedKey) {
  const QString archive = QString::fromStdString(dir_ / "backup.qbk");
  prompts_.answerSave(archive);
  form_->ui()->BTN_Bck->click();
  EXPECT_EQ(prompts_.saveProposals, QStringList{Today() + "_Quorvane.qbk"});
  EXPECT_EQ(prompts_.saveFilters, QStringList{"Quorvane Backup (*.qbk *.QBK)"});
  EXPECT_TRUE(PanelShown(form_->ui()->Panel2));
  EXPECT_FALSE(PanelShown(form_->ui()->Panel1));
  WaitForJob();
  EXPECT_EQ(prompts_.messages, QStringList{"Backup Completato."});
  EXPECT_TRUE(PanelShown(form_->ui()->Panel1));
  EXPECT_FALSE(PanelShown(form_->ui()->Panel2));
  // From the first 0 % report on, the panel showed the writing phase.
  EXPECT_EQ(form_->ui()->lbl_Msg->text(), "Backup in corso");
  EXPECT_EQ(form_->ui()->ProgressBar->value(), 100);
  ASSERT_TRUE(fs::exists(dir_ / "backup.qbk"));

  // Change the key: a file edited, a file removed, a file added.
  const std::string original = fixture::ReadFile(drive_ + "/ZKM_Quorvane/Database/ORI/1.ori");
  fixture::WriteFile(drive_ + "/ZKM_Quorvane/Database/ORI/1.ori", "damaged");
  fs::remove(drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRT");
  fs::remove(drive_ + "/ZKM_Quorvane/Empty");
  fixture::WriteFile(drive_ + "/ZKM_Quorvane/new-since-backup.txt", "keep me");

  prompts_.messages.clear();
  prompts_.answerOpen(archive);
  form_->ui()->BTN_Restore->click();
  WaitForJob();
  EXPECT_EQ(prompts_.messages, QStringList{"Restore Completato."});
  EXPECT_EQ(form_->ui()->lbl_Msg->text(), "Ripristino Backup in corso");
  EXPECT_EQ(fixture::ReadFile(drive_ + "/ZKM_Quorvane/Database/ORI/1.ori"), original);
  EXPECT_EQ(fixture::ReadFile(drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRT"), "driver one");
  EXPECT_TRUE(fs::is_directory(drive_ + "/ZKM_Quorvane/Empty"));
  EXPECT_EQ(fixture::ReadFile(drive_ + "/ZKM_Quorvane/new-since-backup.txt"), "keep me");
}

TEST_F(Jobs, BackupSavedOnTheKeyItselfDoesNotContainItself) {
  const std::string archive = drive_ + "/backup.qbk";
  prompts_.answerSave(QString::fromStdString(archive));
  form_->ui()->BTN_Bck->click();
  WaitForJob();
  EXPECT_EQ(prompts_.messages, QStringList{"Backup Completato."});
  // The entries: the key's files, not the archive itself.
  std::string names;
  zip::Archive written;
  written.SetMode(zip::Archive::Mode::kRead);
  written.Open(archive);
  for (const zip::Entry& entry : written.entries()) names += entry.name + "\n";
  written.Close();
  EXPECT_NE(names.find("ZKM_Quorvane/Database/zkm.db"), std::string::npos) << names;
  EXPECT_EQ(names.find("backup.qbk"), std::string::npos) << names;
}

TEST_F(Jobs, DatabaseExportAndImportUseTheDatabaseFolder) {
  const QString archive = QString::fromStdString(dir_ / "db.qbk");
  prompts_.answerSave(archive);
  form_->ui()->Button1->click();
  EXPECT_EQ(prompts_.saveProposals, QStringList{Today() + "_DB_123.qbk"});
  WaitForJob();
  EXPECT_EQ(prompts_.messages, QStringList{"Backup Completato."});

  const std::string stored = drive_ + "/ZKM_Quorvane/Database/ORI/1.ori";
  const std::string original = fixture::ReadFile(stored);
  fs::remove(stored);
  prompts_.messages.clear();
  prompts_.answerOpen(archive);
  form_->ui()->Button2->click();
  WaitForJob();
  EXPECT_EQ(prompts_.messages, QStringList{"Restore Completato."});
  // Entries are relative to the Database folder, so they land back in it.
  EXPECT_EQ(fixture::ReadFile(stored), original);
  EXPECT_FALSE(fs::exists(drive_ + "/ZKM_Quorvane/Database/Database"));
}

TEST_F(Jobs, ExportWithoutCustomerCodeWarnsAndGoesOn) {
  key_->Exec("DELETE FROM zkm_system;");
  prompts_.answerSave(QString());  // then cancelled
  form_->ui()->Button1->click();
  EXPECT_EQ(prompts_.messages, QStringList{Msg(1009)});
  EXPECT_EQ(prompts_.saveProposals, QStringList{Today() + "_DB_.qbk"});
  EXPECT_FALSE(form_->jobRunning());
  EXPECT_TRUE(PanelShown(form_->ui()->Panel1));
}

TEST_F(Jobs, ExportWithoutTheCustomerTableIsADatabaseErrorBeforeAnyDialog) {
  key_->Exec("DROP TABLE zkm_system;");
  QMetaObject::invokeMethod(form_->ui()->Button1, "click", Qt::QueuedConnection);
  QCoreApplication::processEvents();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].startsWith("SQLITE_ERROR[1]"))
      << prompts_.messages[0].toStdString();
  EXPECT_TRUE(prompts_.saveProposals.isEmpty());
  EXPECT_FALSE(form_->jobRunning());
}

TEST_F(Jobs, ExportWithoutDatabaseFileShows1008) {
  fs::remove(drive_ + "/ZKM_Quorvane/Database/zkm.db");
  form_->ui()->Button1->click();
  EXPECT_EQ(prompts_.messages, QStringList{Msg(1008)});
  EXPECT_TRUE(prompts_.saveProposals.isEmpty());
}

TEST_F(Jobs, CancelledDialogsStartNothing) {
  for (QPushButton* b : {form_->ui()->BTN_Bck, form_->ui()->Button1}) {
    prompts_.answerSave(QString());
    b->click();
  }
  for (QPushButton* b : {form_->ui()->BTN_Restore, form_->ui()->Button2}) {
    prompts_.answerOpen(QString());
    b->click();
  }
  EXPECT_FALSE(form_->jobRunning());
  EXPECT_TRUE(prompts_.messages.isEmpty());
  EXPECT_TRUE(PanelShown(form_->ui()->Panel1));
}

TEST_F(Jobs, RestoreOfABadArchiveNamesTheFileAtFault) {
  // A split backup of the key to spoil in every way a stick can.
  std::mt19937 random(7);
  std::string noise(200000, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  fixture::WriteFile(drive_ + "/ZKM_Quorvane/Database/ORI/2.ori", noise);
  auto backup = [&](const std::string& name) {
    fs::create_directories(dir_ / name);
    CBrennowZip zip;
    zip.setVolumeSize(65536);
    zip.setOpenMode(CBrennowZip::OpenMode::kReplace);
    EXPECT_TRUE(zip.openArchive(dir_ / name + "/key.qbk") &&
                zip.addFiles(CBrennowZip::Wide(drive_), L"*.*") && zip.closeArchive());
    return dir_ / name + "/key.qbk";
  };
  auto edit = [](const std::string& path, const std::function<void(std::string&)>& change) {
    std::string bytes = fixture::ReadFile(path);
    change(bytes);
    fixture::WriteFile(path, bytes);
  };
  struct Case {
    const char* what;
    std::string archive;
    std::string named;  // what the message must name
    int text;           // the numbered text that says why
  };
  std::vector<Case> cases;
  fixture::WriteFile(dir_ / "letter.qbk", "this is not a zip archive at all");
  cases.push_back({"not an archive", dir_ / "letter.qbk", dir_ / "letter.qbk", 1143});
  std::string a = backup("cut-end");
  edit(a, [](std::string& b) { b.resize(b.size() - 10); });
  cases.push_back({"a cut end record", a, a, 1143});
  a = backup("central");
  edit(a, [](std::string& b) { b[b.rfind(std::string("PK\x01\x02", 4)) + 2] = 9; });
  cases.push_back({"a bad central signature", a, a, 1145});
  a = backup("missing");
  fs::remove(dir_ / "missing/key.Z02");
  cases.push_back({"a missing volume", a, dir_ / "missing/key.Z02", 1147});
  a = backup("cut-volume");
  edit(dir_ / "cut-volume/key.Z01", [](std::string& b) { b.resize(b.size() - 5000); });
  cases.push_back({"a cut volume", a, dir_ / "cut-volume/key.Z01", 1147});
  a = backup("method");
  std::string entry;
  edit(a, [&](std::string& b) {
    size_t at = b.rfind(std::string("PK\x01\x02", 4));  // the last entry's record
    b[at + 10] = 99;
    entry = b.substr(at + 46, static_cast<unsigned char>(b[at + 28]));
  });
  cases.push_back({"an unsupported method", a, entry, 1144});

  const std::string ori = drive_ + "/ZKM_Quorvane/Database/ORI/1.ori";
  const std::string before = fixture::ReadFile(ori);
  for (const Case& c : cases) {
    prompts_.messages.clear();
    prompts_.answerOpen(QString::fromStdString(c.archive));
    form_->ui()->BTN_Restore->click();
    WaitForJob();
    ASSERT_EQ(prompts_.messages.size(), 1) << c.what;
    const std::string shown = prompts_.messages[0].toStdString();
    EXPECT_TRUE(prompts_.messages[0].startsWith(Msg(1056))) << c.what << ": " << shown;
    EXPECT_NE(shown.find(c.named), std::string::npos) << c.what << ": " << shown;
    EXPECT_TRUE(prompts_.messages[0].contains(Msg(c.text).section("%1", 0, 0)))
        << c.what << ": " << shown;
    EXPECT_EQ(fixture::ReadFile(ori), before) << c.what;
  }
  EXPECT_TRUE(PanelShown(form_->ui()->Panel1));
  EXPECT_FALSE(PanelShown(form_->ui()->Panel2));
}

TEST_F(Jobs, LeavingIsRefusedWhileAJobRuns) {
  prompts_.answerSave(QString::fromStdString(dir_ / "b.qbk"));
  form_->ui()->BTN_Bck->click();
  ASSERT_TRUE(form_->jobRunning());
  form_->ui()->Esci1->trigger();
  EXPECT_FALSE(form_->terminateRequested());
  EXPECT_EQ(prompts_.messages.value(0), Msg(1057));
  WaitForJob();
  form_->ui()->Esci1->trigger();
  EXPECT_TRUE(form_->terminateRequested());
}

TEST_F(Jobs, ProgressZeroRestartsTheWritingClipOtherValuesOnlyMoveTheGauge) {
  form_->SetWaitMode(true);
  EXPECT_EQ(form_->ui()->lbl_Msg->text(), Msg(1001));
  EXPECT_EQ(form_->ui()->Lbl_Wait->text(), Msg(1000));
  ASSERT_NE(form_->ui()->WaitAnimation->movie(), nullptr);
  EXPECT_EQ(form_->ui()->WaitAnimation->movie()->fileName(), ":/clips/clip2001.gif");
  JobEvent some(JOB_PROGRESS, 37, 37);
  QCoreApplication::sendEvent(form_.get(), &some);
  EXPECT_EQ(form_->ui()->ProgressBar->value(), 37);
  EXPECT_EQ(form_->ui()->lbl_Msg->text(), Msg(1001));
  EXPECT_EQ(form_->ui()->WaitAnimation->movie()->fileName(), ":/clips/clip2001.gif");
  JobEvent zero(JOB_PROGRESS, 0, 0);
  QCoreApplication::sendEvent(form_.get(), &zero);
  EXPECT_EQ(form_->ui()->WaitAnimation->movie()->fileName(), ":/clips/clip2000.gif");
  EXPECT_EQ(form_->ui()->WaitAnimation->movie()->state(), QMovie::Running);
  EXPECT_EQ(form_->ui()->ProgressBar->value(), 0);
  form_->SetWaitMode(false);
  EXPECT_TRUE(PanelShown(form_->ui()->Panel1));
}

TEST_F(Jobs, ProgressIsPostedInWholePercentAfterRoundingToHundredths) {
  CBrennowZip archive;
  archive.reportProgress(99.996);
  QCoreApplication::processEvents();
  EXPECT_EQ(form_->ui()->ProgressBar->value(), 100);
  EXPECT_DOUBLE_EQ(archive.lastProgress(), 100.0);
  archive.reportProgress(49.994);
  QCoreApplication::processEvents();
  EXPECT_EQ(form_->ui()->ProgressBar->value(), 49);
  EXPECT_NEAR(archive.lastProgress(), 49.99, 1e-9);
  archive.reportProgress(0.004);
  QCoreApplication::processEvents();
  EXPECT_EQ(form_->ui()->ProgressBar->value(), 0);
}

TEST_F(Jobs, RestoreOfAnArchiveThatEscapesTheKeyWritesNothing) {
  // The engine refuses to write such a name: the entry is written under a
  // harmless name of the same length, which is then changed in place.
  const std::string archive = dir_ / "hostile.qbk";
  const std::string hostile = "../outside.txt", harmless(hostile.size(), 'q');
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archive));
    ASSERT_TRUE(zip.addStream(L"ZKM_Quorvane/harmless.txt", {'o', 'k'}));
    ASSERT_TRUE(zip.addStream(CBrennowZip::Wide(harmless), {'g', 'o', 't', 'c', 'h', 'a'}));
    ASSERT_TRUE(zip.closeArchive());
  }
  std::string bytes = fixture::ReadFile(archive);
  for (size_t at = bytes.find(harmless); at != std::string::npos; at = bytes.find(harmless, at))
    bytes.replace(at, harmless.size(), hostile);
  fixture::WriteFile(archive, bytes);
  prompts_.answerOpen(QString::fromStdString(archive));
  form_->ui()->BTN_Restore->click();
  WaitForJob();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].startsWith(Msg(1056))) << prompts_.messages[0].toStdString();
  EXPECT_TRUE(prompts_.messages[0].contains("outside")) << prompts_.messages[0].toStdString();
  EXPECT_FALSE(fs::exists(dir_ / "outside.txt"));
  EXPECT_FALSE(fs::exists(drive_ + "/ZKM_Quorvane/harmless.txt"));
}

TEST_F(Jobs, BackupThatCannotReadAFileNamesIt) {
  zip::SetIoFaultHook([](zip::IoOp op, const std::string& path) {
    return (op == zip::IoOp::kOpenRead || op == zip::IoOp::kRead) &&
           path.find("1.ori") != std::string::npos;
  });
  prompts_.answerSave(QString::fromStdString(dir_ / "b.qbk"));
  form_->ui()->BTN_Bck->click();
  WaitForJob();
  zip::SetIoFaultHook(nullptr);
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].startsWith(Msg(1055) + " Error Adding File: "));
  EXPECT_TRUE(prompts_.messages[0].contains("1.ori")) << prompts_.messages[0].toStdString();
  // Nothing half-written is left where the backup was to go.
  EXPECT_FALSE(fs::exists(dir_ / "b.qbk"));
  for (const auto& e : fs::directory_iterator(dir_.path()))
    EXPECT_EQ(e.path().filename().string().find("qtmp"), std::string::npos) << e.path();
}

// Records the gauge values the main window receives.
class GaugeLog : public QObject {
 public:
  std::vector<int> values;
  bool eventFilter(QObject*, QEvent* event) override {
    if (JobMessage message; JobEvent::Carries(event, &message) && message == JOB_PROGRESS)
      values.push_back(static_cast<JobEvent*>(event)->wParam);
    return false;
  }
};

TEST_F(Jobs, ExportOverAnOldOneMirrorsTheFolderWithOneSweepOfTheGauge) {
  const QString archive = QString::fromStdString(dir_ / "db.qbk");
  prompts_.answerSave(archive);
  form_->ui()->Button1->click();
  WaitForJob();
  // The stored original is deleted (and its row with it); a new export to
  // the same file must not bring it back on the next import.
  const std::string stored = drive_ + "/ZKM_Quorvane/Database/ORI/1.ori";
  fs::remove(stored);
  GaugeLog gauge;
  form_->installEventFilter(&gauge);
  prompts_.answerSave(archive);
  form_->ui()->Button1->click();
  WaitForJob();
  form_->removeEventFilter(&gauge);
  EXPECT_EQ(prompts_.messages, QStringList({"Backup Completato.", "Backup Completato."}));
  ASSERT_FALSE(gauge.values.empty());
  EXPECT_EQ(std::count(gauge.values.begin(), gauge.values.end(), 0), 1);
  EXPECT_TRUE(std::is_sorted(gauge.values.begin(), gauge.values.end()));
  EXPECT_EQ(gauge.values.back(), 100);
  prompts_.answerOpen(archive);
  form_->ui()->Button2->click();
  WaitForJob();
  EXPECT_FALSE(fs::exists(stored));
}

TEST_F(Jobs, RestoreOfAVanishedOrDamagedArchiveNamesItAndChangesNothing) {
  const std::string missing = dir_ / "gone.qbk";
  prompts_.answerOpen(QString::fromStdString(missing));
  form_->ui()->BTN_Restore->click();
  WaitForJob();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].startsWith(Msg(1056))) << prompts_.messages[0].toStdString();
  EXPECT_TRUE(prompts_.messages[0].contains(QString::fromStdString(missing)));
  EXPECT_FALSE(fs::exists(missing));

  // A backup whose last entry is damaged: not one file of the key changes.
  prompts_.answerSave(QString::fromStdString(dir_ / "b.qbk"));
  form_->ui()->BTN_Bck->click();
  WaitForJob();
  std::string bytes = fixture::ReadFile(dir_ / "b.qbk");
  bytes[bytes.rfind(std::string("PK\x01\x02", 4)) + 16] ^= 1;
  fixture::WriteFile(dir_ / "b.qbk", bytes);
  fixture::WriteFile(drive_ + "/ZKM_Quorvane/Database/ORI/1.ori", "today's file");
  prompts_.messages.clear();
  prompts_.answerOpen(QString::fromStdString(dir_ / "b.qbk"));
  form_->ui()->BTN_Restore->click();
  WaitForJob();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].contains("errore CRC")) << prompts_.messages[0].toStdString();
  EXPECT_EQ(fixture::ReadFile(drive_ + "/ZKM_Quorvane/Database/ORI/1.ori"), "today's file");
}

TEST_F(Jobs, AnArchiveOfTheOtherKindIsRefusedInTheUsersLanguage) {
  const QString full = QString::fromStdString(dir_ / "full.qbk");
  const QString exported = QString::fromStdString(dir_ / "db.qbk");
  prompts_.answerSave(full);
  form_->ui()->BTN_Bck->click();
  WaitForJob();
  prompts_.answerSave(exported);
  form_->ui()->Button1->click();
  WaitForJob();
  ASSERT_EQ(prompts_.messages, QStringList({"Backup Completato.", "Backup Completato."}));
  const std::string database = drive_ + "/ZKM_Quorvane/Database/zkm.db";
  const std::string before = fixture::ReadFile(database);
  fixture::WriteFile(drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRT", "changed since");

  // The export chosen to restore the whole key, the full backup chosen to
  // import the database: refused before anything is written, naming the
  // command that fits.
  prompts_.messages.clear();
  prompts_.answerOpen(exported);
  form_->ui()->BTN_Restore->click();
  WaitForJob();
  prompts_.answerOpen(full);
  form_->ui()->Button2->click();
  WaitForJob();
  ASSERT_EQ(prompts_.messages.size(), 2);
  EXPECT_TRUE(prompts_.messages[0].startsWith(Msg(1056))) << prompts_.messages[0].toStdString();
  EXPECT_TRUE(prompts_.messages[0].endsWith(Msg(1140))) << prompts_.messages[0].toStdString();
  EXPECT_TRUE(prompts_.messages[1].endsWith(Msg(1141))) << prompts_.messages[1].toStdString();
  EXPECT_FALSE(fs::exists(drive_ + "/zkm.db"));
  EXPECT_FALSE(fs::exists(drive_ + "/ZKM_Quorvane/Database/ZKM_Quorvane"));
  EXPECT_EQ(fixture::ReadFile(drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRT"), "changed since");
  EXPECT_EQ(fixture::ReadFile(database), before);

  // In English, the engine's reason and the wrapper's prefix are English too.
  ASSERT_TRUE(Localisation::instance().Switch("en_US"));
  prompts_.messages.clear();
  prompts_.answerOpen(QString::fromStdString(dir_ / "gone.qbk"));
  form_->ui()->BTN_Restore->click();
  WaitForJob();
  ASSERT_TRUE(Localisation::instance().Switch("it"));
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_EQ(
      prompts_.messages[0].toStdString(),
      "Restore failed: Cannot open or create the archive: Archive not found: " + dir_ / "gone.qbk");
}

}  // namespace

// Written to the key: done only once the writes are on it; a backup wrote
// nothing there and flushes nothing.
TEST(JobsOnKey, ImportIsCompleteOnlyOnceTheKeyIsFlushed) {
  fixture::TempDir dir;
  const std::string drive = dir / "e";
  fs::create_directories(drive);
  fixture::KeyBuilder key(drive);
  key.SetCustomer("7");
  auto* machine = new SimulatedPlatform;
  machine->AddDrive('E', drive, "QUORVANE", platform::kDriveRemovable);
  platform::Install(std::unique_ptr<platform::Platform>(machine));
  ScriptedPrompts prompts;
  {
    TForm1 form;
    form.ui()->Button6->click();
    auto run = [&](QPushButton* button) {
      button->click();
      QDeadlineTimer deadline(120000);
      while (form.jobRunning() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      ASSERT_FALSE(form.jobRunning());
    };
    const QString archive = QString::fromStdString(dir / "db.qbk");
    prompts.answerSave(archive);
    run(form.ui()->Button1);
    EXPECT_TRUE(machine->Flushes().empty());
    prompts.answerOpen(archive);
    run(form.ui()->Button2);
    EXPECT_EQ(machine->Flushes(), std::vector<std::string>{"E:\\"});
    machine->SetFlushFails(true);
    prompts.answerOpen(archive);
    run(form.ui()->Button2);
    EXPECT_EQ(prompts.messages,
              QStringList({"Backup Completato.", "Restore Completato.",
                           Msg(1056) + " " + Msg(1090) + " (Input/output error)"}));
  }
  platform::Install(nullptr);
}
