// Finding the key: the automatic scan, the manual choice, the command sets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <filesystem>

#include "app/Main.h"
#include "app/kit/Texts.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Main.h"

namespace {

using platform::SimulatedPlatform;

class Detection : public ::testing::Test {
 protected:
  Detection() : machine_(new SimulatedPlatform) {
    platform::Install(std::unique_ptr<platform::Platform>(machine_));
  }
  ~Detection() override { platform::Install(nullptr); }

  // A drive folder with a key tree (with or without its database).
  std::string KeyDrive(const std::string& name, bool withDatabase = true) {
    std::string folder = dir_ / name;
    std::filesystem::create_directories(folder);
    fixture::KeyBuilder key(folder, withDatabase);
    return folder;
  }
  std::string EmptyDrive(const std::string& name) {
    std::string folder = dir_ / name;
    std::filesystem::create_directories(folder);
    return folder;
  }

  std::vector<QPushButton*> CommandButtons(TForm1& form) {
    auto* u = form.ui();
    return {u->BTN_ZkmRun, u->BTN_Bck,    u->BTN_Restore, u->BTN_DbMng, u->Button1,
            u->Button2,    u->BTN_Impdrv, u->Button4,     u->BTN_SP,    u->BTN_EXIT};
  }
  QStringList Enabled(TForm1& form) {
    QStringList names;
    for (QPushButton* b : CommandButtons(form))
      if (b->isEnabled()) names << b->objectName();
    return names;
  }
  // The panels that are shown (only one may be).
  QStringList VisiblePanels(TForm1& form) {
    QStringList names;
    auto* u = form.ui();
    for (QWidget* p : {u->Panel1, u->Panel2, u->Panel3, u->PQuorUnit})
      if (!p->isHidden()) names << p->objectName();
    return names;
  }
  void Choose(TForm1& form, char letter) {
    QComboBox* box = form.ui()->CB_Quor;
    for (int i = 0; i < box->count(); ++i) {
      if (box->itemText(i).startsWith(QString(QChar(letter)) + ":")) {
        box->setCurrentIndex(i);
        return;
      }
    }
    FAIL() << "drive " << letter << " not listed";
  }

  fixture::TempDir dir_;
  SimulatedPlatform* machine_;  // owned by the platform layer
  ScriptedPrompts prompts_;
};

const QStringList kAllTen = {"BTN_ZkmRun", "BTN_Bck",    "BTN_Restore", "BTN_DbMng", "Button1",
                             "Button2",    "BTN_Impdrv", "Button4",     "BTN_SP",    "BTN_EXIT"};

TEST_F(Detection, StartsOnTheMethodPanelWithTheVersionInTheCaption) {
  TForm1 form;
  EXPECT_EQ(VisiblePanels(form), QStringList{"Panel3"});
  EXPECT_TRUE(form.windowTitle().startsWith("ZKM Quorvane Management Tool "));
  EXPECT_FALSE(form.terminateRequested());
  EXPECT_TRUE(prompts_.messages.isEmpty());
  EXPECT_EQ(form.keyRoot(), "");
  EXPECT_EQ(form.driveRoot(), "");
}

TEST_F(Detection, ScanFindsKeyAndGivesScanForms) {
  machine_->AddDrive('C', EmptyDrive("c"), "", platform::kDriveFixed);
  machine_->AddDrive('E', KeyDrive("e"), "QUORVANE", platform::kDriveRemovable);
  TForm1 form;
  form.ui()->Button6->click();
  EXPECT_EQ(form.keyRoot(), "E:\\ZKM_Quorvane\\");
  EXPECT_EQ(form.driveRoot(), "E:\\");
  EXPECT_EQ(VisiblePanels(form), QStringList{"Panel1"});
  EXPECT_EQ(Enabled(form), kAllTen);
  EXPECT_TRUE(prompts_.messages.isEmpty());
}

TEST_F(Detection, LowerLetterWinsAndLabelledDriveWithoutDatabaseIsPassedOver) {
  machine_->AddDrive('D', KeyDrive("d", false), "QUORVANE", platform::kDriveRemovable);
  machine_->AddDrive('F', KeyDrive("f"), "ZARIVIRE", platform::kDriveRemovable);
  machine_->AddDrive('G', KeyDrive("g"), "QUORVANE", platform::kDriveRemovable);
  TForm1 form;
  EXPECT_TRUE(form.FindKeyAutomatically());
  EXPECT_EQ(form.keyRoot(), "F:\\ZKM_Quorvane\\");
  EXPECT_EQ(form.driveRoot(), "F:\\");
}

TEST_F(Detection, LabelsCompareByteForByteAndUnreadableLabelsCountAsNone) {
  machine_->AddDrive('D', KeyDrive("d"), "Quorvane", platform::kDriveRemovable);
  machine_->AddDrive('E', KeyDrive("e"), "quorvane", platform::kDriveRemovable);
  machine_->AddDrive('F', KeyDrive("f"), "QUORVANE ", platform::kDriveRemovable);
  machine_->AddDrive('G', KeyDrive("g"), "QUORVANE", platform::kDriveRemovable, false);
  TForm1 form;
  form.ui()->Button6->click();
  EXPECT_EQ(form.keyRoot(), "");
  EXPECT_EQ(VisiblePanels(form), QStringList{"PQuorUnit"});
  EXPECT_EQ(form.ui()->lblQuorselect->text(), Msg(1006));
  EXPECT_EQ(form.ui()->lblQuorselect->text(),
            QString::fromUtf8("Quorvane non rilevata: Selezionare l'unità corretta."));
  EXPECT_EQ(form.ui()->CB_Quor->count(), 4);
  EXPECT_TRUE(form.ui()->CB_Quor->itemText(0).startsWith("d: Quorvane"));
  // The commands are set off until a drive is accepted.
  EXPECT_FALSE(form.ui()->BTN_Bck->isEnabled());
}

TEST_F(Detection, ManualChoiceGivesLowerCaseDriveForms) {
  machine_->AddDrive('E', KeyDrive("e"), "QUORVANE", platform::kDriveRemovable);
  TForm1 form;
  form.ui()->Button7->click();
  EXPECT_EQ(VisiblePanels(form), QStringList{"PQuorUnit"});
  Choose(form, 'e');
  form.ui()->Button3->click();
  EXPECT_EQ(form.keyRoot(), "e:\\ZKM_Quorvane\\");
  EXPECT_EQ(form.driveRoot(), "e:");
  EXPECT_EQ(VisiblePanels(form), QStringList{"Panel1"});
  EXPECT_EQ(Enabled(form), kAllTen);
  EXPECT_TRUE(prompts_.messages.isEmpty());
}

TEST_F(Detection, FixedDiskIsAcceptedByTheScanButRefusedByHand) {
  machine_->AddDrive('E', KeyDrive("e"), "QUORVANE", platform::kDriveFixed);
  {
    TForm1 form;
    EXPECT_TRUE(form.FindKeyAutomatically());
  }
  TForm1 form;
  form.ui()->Button7->click();
  Choose(form, 'e');
  form.ui()->Button3->click();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_EQ(prompts_.messages[0], QStringLiteral("Drive non campatibile con Chiave Quorvane."));
  EXPECT_EQ(form.keyRoot(), "");
  EXPECT_EQ(form.driveRoot(), "");
  EXPECT_EQ(VisiblePanels(form), QStringList{"PQuorUnit"});
}

TEST_F(Detection, NetworkAndCdRomAreRefusedRamDiskAccepted) {
  machine_->AddDrive('N', KeyDrive("n"), "", platform::kDriveRemote);
  machine_->AddDrive('O', KeyDrive("o"), "", platform::kDriveCdRom);
  machine_->AddDrive('R', KeyDrive("r"), "", platform::kDriveRamDisk);
  TForm1 form;
  form.ui()->Button7->click();
  Choose(form, 'n');
  form.ui()->Button3->click();
  Choose(form, 'o');
  form.ui()->Button3->click();
  EXPECT_EQ(prompts_.messages.size(), 2);
  EXPECT_EQ(form.keyRoot(), "");
  Choose(form, 'r');
  form.ui()->Button3->click();
  EXPECT_EQ(form.keyRoot(), "r:\\ZKM_Quorvane\\");
}

TEST_F(Detection, ManualChoiceWithoutDatabaseGivesTheReducedCommandSet) {
  machine_->AddDrive('E', EmptyDrive("e"), "", platform::kDriveRemovable);
  TForm1 form;
  form.ui()->Button7->click();
  Choose(form, 'e');
  form.ui()->Button3->click();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_EQ(prompts_.messages[0], QStringLiteral("ATTENZIONE! Database Quorvane non rilevato."));
  EXPECT_EQ(form.keyRoot(), "e:\\ZKM_Quorvane\\");
  EXPECT_EQ(Enabled(form), (QStringList{"BTN_Restore", "BTN_Impdrv", "BTN_SP", "BTN_EXIT"}));
  EXPECT_EQ(VisiblePanels(form), QStringList{"Panel1"});
}

TEST_F(Detection, EmptySelectorAcceptsNothing) {
  TForm1 form;
  form.ui()->Button7->click();
  EXPECT_EQ(form.ui()->CB_Quor->count(), 0);
  form.ui()->Button3->click();
  EXPECT_EQ(form.keyRoot(), "");
  EXPECT_EQ(VisiblePanels(form), QStringList{"PQuorUnit"});
}

TEST_F(Detection, RunningProductRefusesStartInItsOwnCapitalisationOnly) {
  machine_->AddProcess("zkmquorvane.exe");
  {
    TForm1 form;
    EXPECT_FALSE(form.terminateRequested());
    EXPECT_TRUE(prompts_.messages.isEmpty());
  }
  machine_->AddProcess("ZKMQuorvane.exe");
  TForm1 form;
  EXPECT_TRUE(form.terminateRequested());
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_EQ(
      prompts_.messages[0],
      QStringLiteral("ZKM Quorvane in funzione. Chiudere ZKM Quorvane e rilanciare il programma."));
  // The constructor still completes.
  EXPECT_EQ(VisiblePanels(form), QStringList{"Panel3"});
}

TEST_F(Detection, LeavingFromTheDrivePanelAsksToTerminate) {
  TForm1 form;
  form.ui()->Button7->click();
  form.ui()->Button5->click();
  EXPECT_TRUE(form.terminateRequested());
  EXPECT_TRUE(prompts_.messages.isEmpty());
}

}  // namespace
