// The commands around the product: launch, disk check, service pack, leaving.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <filesystem>

#include "app/Main.h"
#include "app/kit/Texts.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/SamePath.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Main.h"

namespace {

using platform::SimulatedPlatform;

class Commands : public ::testing::Test {
 protected:
  Commands() : machine_(new SimulatedPlatform) {
    drive_ = dir_ / "e";
    std::filesystem::create_directories(drive_);
    key_ = std::make_unique<fixture::KeyBuilder>(drive_);
    machine_->AddDrive('E', drive_, "QUORVANE", platform::kDriveRemovable);
    platform::Install(std::unique_ptr<platform::Platform>(machine_));
  }
  ~Commands() override { platform::Install(nullptr); }

  // A main window with the key accepted by the scan or by hand.
  std::unique_ptr<TForm1> Accepted(bool byHand) {
    auto form = std::make_unique<TForm1>();
    if (byHand) {
      form->ui()->Button7->click();
      form->ui()->CB_Quor->setCurrentIndex(0);
      form->ui()->Button3->click();
    } else {
      form->ui()->Button6->click();
    }
    EXPECT_FALSE(form->keyRoot().empty());
    return form;
  }

  fixture::TempDir dir_;
  std::string drive_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  SimulatedPlatform* machine_;
  ScriptedPrompts prompts_;
};

TEST_F(Commands, DiskCheckCommandLineFollowsHowTheKeyWasFound) {
  auto scanned = Accepted(false);
  scanned->ui()->BTN_Impdrv->click();
  auto byHand = Accepted(true);
  byHand->ui()->BTN_Impdrv->click();
  auto launches = machine_->Launches();
  ASSERT_EQ(launches.size(), 2u);
  EXPECT_EQ(launches[0].program, "chkdsk E:\\ /f /v");
  EXPECT_EQ(launches[1].program, "chkdsk e: /f /v");
  EXPECT_TRUE(prompts_.messages.isEmpty());
  EXPECT_FALSE(byHand->terminateRequested());
}

TEST_F(Commands, DiskCheckThatCannotUnmountSaysSoAndRunsNothing) {
  auto form = Accepted(true);
  machine_->SetCheckDiskFails(true);
  form->ui()->BTN_Impdrv->click();
  EXPECT_TRUE(machine_->Launches().empty());
  EXPECT_EQ(prompts_.messages, QStringList{Msg(1053)});
}

TEST_F(Commands, LaunchStartsTheScriptFromTheDriveAndEndsTheTool) {
  auto form = Accepted(true);
  form->ui()->BTN_ZkmRun->click();
  auto launches = machine_->Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].kind, "start");
  EXPECT_TRUE(fixture::SamePath(launches[0].program, drive_ + "/Zkm_Quorvane.bat"));
  EXPECT_TRUE(fixture::SamePath(launches[0].workDir, drive_));
  EXPECT_TRUE(form->terminateRequested());
}

TEST_F(Commands, LaunchWithoutScriptShowsMessageAndStays) {
  std::filesystem::remove(drive_ + "/Zkm_Quorvane.bat");
  auto form = Accepted(false);
  form->ui()->BTN_ZkmRun->click();
  EXPECT_EQ(prompts_.messages,
            QStringList{QStringLiteral("Errore, Software Quorvane non rilevato")});
  EXPECT_TRUE(machine_->Launches().empty());
  EXPECT_FALSE(form->terminateRequested());
}

TEST_F(Commands, WindowsProgramsWithoutWineAreReportedAndTheToolStays) {
  machine_->SetStartResult(platform::StartResult::kNoInterpreter);
  auto form = Accepted(false);
  form->ui()->BTN_ZkmRun->click();
  EXPECT_EQ(prompts_.messages, QStringList{Msg(1054)});
  EXPECT_FALSE(form->terminateRequested());
}

TEST_F(Commands, ServicePackReplacesEarlierCopyAndStartsFromTheKey) {
  fixture::WriteFile(drive_ + "/ZKM_Quorvane/QSP.exe", "an older and much longer service pack");
  fixture::WriteFile(dir_ / "sp2.qsp", std::string("MZ\0\x01new pack", 12));
  auto form = Accepted(true);
  prompts_.answerOpen(QString::fromStdString(dir_ / "sp2.qsp"));
  form->ui()->BTN_SP->click();
  EXPECT_EQ(prompts_.openFilters,
            QStringList{QStringLiteral("Quorvane Service Pack (*.qsp *.QSP)")});
  EXPECT_EQ(fixture::ReadFile(drive_ + "/ZKM_Quorvane/QSP.exe"),
            std::string("MZ\0\x01new pack", 12));
  auto launches = machine_->Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_TRUE(fixture::SamePath(launches[0].program, drive_ + "/ZKM_Quorvane/QSP.exe"));
  EXPECT_TRUE(fixture::SamePath(launches[0].workDir, drive_ + "/ZKM_Quorvane/"));
  EXPECT_TRUE(form->terminateRequested());
}

TEST_F(Commands, CancelledServicePackDoesNothing) {
  auto form = Accepted(true);
  prompts_.answerOpen(QString());
  form->ui()->BTN_SP->click();
  EXPECT_TRUE(machine_->Launches().empty());
  EXPECT_FALSE(form->terminateRequested());
  EXPECT_FALSE(std::filesystem::exists(drive_ + "/ZKM_Quorvane/QSP.exe"));
}

TEST_F(Commands, UnreadableServicePackIsAnErrorAndStartsNothing) {
  auto form = Accepted(true);
  prompts_.answerOpen(QString::fromStdString(dir_ / "missing.qsp"));
  // Delivered through the event loop, as a real click is: the window reports
  // the failure itself, and one that reached the application object instead
  // would fail the test (GuiTestMain).
  QMetaObject::invokeMethod(form->ui()->BTN_SP, "click", Qt::QueuedConnection);
  QCoreApplication::processEvents();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].contains("missing.qsp"));
  EXPECT_TRUE(machine_->Launches().empty());
  EXPECT_FALSE(form->terminateRequested());
}

TEST_F(Commands, ExitButtonAndMenuEndTheProgramWithoutAQuestion) {
  auto form = Accepted(false);
  form->ui()->Esci1->trigger();
  EXPECT_TRUE(form->terminateRequested());
  auto other = Accepted(false);
  other->ui()->BTN_EXIT->click();
  EXPECT_TRUE(other->terminateRequested());
  EXPECT_TRUE(prompts_.messages.isEmpty());
}

}  // namespace

namespace {

TEST_F(Commands, ServicePackStartsOnlyOnceItIsOnTheKey) {
  fixture::WriteFile(dir_ / "sp.qsp", "MZ pack");
  auto form = Accepted(false);
  machine_->SetFlushFails(true);
  prompts_.answerOpen(QString::fromStdString(dir_ / "sp.qsp"));
  form->ui()->BTN_SP->click();
  EXPECT_EQ(machine_->Flushes(), std::vector<std::string>{"E:\\ZKM_Quorvane\\"});
  EXPECT_EQ(prompts_.messages, QStringList{Msg(1090) + " (Input/output error)"});
  EXPECT_TRUE(machine_->Launches().empty());
  EXPECT_FALSE(form->terminateRequested());
}

}  // namespace
