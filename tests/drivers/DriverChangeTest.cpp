// The driver window's changes: recatalogue and the two deletions.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/kit/Fmmsg.h"
#include "app/kit/Texts.h"
#include "tests/drivers/DriverWindowFixture.h"

namespace {

namespace fs = std::filesystem;

class DriverChange : public DriverWindowTest {
 protected:
  DriverChange() {
    Add("U1", "Citroën", "C3", true).descrizione =
        "riga uno\r\nriga\xA0"
        "due";
    Add("U2", "Fiat", "Punto", true);
    Add("U3", "Fiat", "Bravo", true);
    Add("D1", "Audi", "A4", false);
    Add("D2", "Audi", "TT", false);
    Store();
    window_ = Open();
    ui_ = window_->ui();
    ui_->Button4->click();
  }

  // Search, select the driver and open its recatalogue panel.
  void Recatalogue(const QString& name) {
    Select(ui_->DrvList, name);
    ui_->BTN_RIC->click();
    ASSERT_TRUE(ui_->PNL_DRV_CAT->isVisible());
    ASSERT_FALSE(ui_->PNL_DRV_UTENTE->isVisible());
  }

  std::unique_ptr<TForm3> window_;
  Ui::TForm3* ui_ = nullptr;
};

TEST_F(DriverChange, RecatalogueWithoutTouchingTheBoxesKeepsMakeAndModelBytes) {
  const std::string makeBefore = StoredHex("MARCA", "U1");
  Recatalogue("U1");
  EXPECT_EQ(ui_->TE_DRV_NAME->text(), QStringLiteral("U1"));
  EXPECT_TRUE(ui_->TE_DRV_NAME->isReadOnly());
  EXPECT_EQ(ui_->Drv_desc->toPlainText(), QString::fromUtf8("riga uno\nriga due"));
  EXPECT_EQ(ui_->NewMarcaCB->currentText(), QString::fromUtf8("Citroën"));
  EXPECT_EQ(ui_->NewModelloCB->currentText(), QStringLiteral("C3"));
  EXPECT_TRUE(ui_->NewModelloCB->isEnabled());

  ui_->Drv_desc->setPlainText(QStringLiteral("l'ECU \"nuova\"\nseconda riga"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1050)}));
  EXPECT_EQ(StoredHex("MARCA", "U1"), makeBefore);
  EXPECT_EQ(Stored("MODELLO", "U1"), "C3");
  EXPECT_EQ(Stored("DESCRIZIONE", "U1"), "l'ECU \"nuova\"\r\nseconda riga");
  // The window stays on its panel and the list is not searched again.
  EXPECT_TRUE(ui_->PNL_DRV_CAT->isVisible());
  EXPECT_EQ(ui_->DrvList->topLevelItem(0)->text(1), QString::fromUtf8("riga uno riga\u00A0due"));
}

TEST_F(DriverChange, AnUntouchedDescriptionIsWrittenBackByteForByte) {
  const std::string before = StoredHex("DESCRIZIONE", "U1");
  Recatalogue("U1");
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1050)}));
  EXPECT_EQ(StoredHex("DESCRIZIONE", "U1"), before);
}

TEST_F(DriverChange, RecatalogueToAnotherMakeNeedsAModelChosenByTheUser) {
  Recatalogue("U2");
  Choose(ui_->NewMarcaCB, QStringLiteral("Audi"));
  // The models of every driver of the make; the buttons keep their state.
  EXPECT_EQ(Items(ui_->NewModelloCB), QStringList({Msg(1011), "A4", "TT"}));
  EXPECT_EQ(ui_->NewModelloCB->currentText(), Msg(1011));
  EXPECT_TRUE(ui_->BTN_UPD_DRV->isEnabled());
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1075)}));
  EXPECT_EQ(Stored("MARCA", "U2"), "Fiat");
  EXPECT_EQ(Stored("MODELLO", "U2"), "Punto");

  // The user's own choice of the model sets the buttons; typing a text
  // that is no entry clears them.
  Type(ui_->NewModelloCB, QStringLiteral("T"));
  EXPECT_FALSE(ui_->BTN_UPD_DRV->isEnabled());
  EXPECT_FALSE(ui_->BTN_DEL_DRV->isEnabled());
  Choose(ui_->NewModelloCB, QStringLiteral("TT"));
  EXPECT_TRUE(ui_->BTN_UPD_DRV->isEnabled());
  EXPECT_TRUE(ui_->BTN_DEL_DRV->isEnabled());
  // An index set by the program changes nothing.
  ui_->NewModelloCB->setCurrentIndex(0);
  EXPECT_TRUE(ui_->BTN_UPD_DRV->isEnabled());
  Choose(ui_->NewModelloCB, QStringLiteral("TT"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1050));
  EXPECT_EQ(Stored("MARCA", "U2"), "Audi");
  EXPECT_EQ(Stored("MODELLO", "U2"), "TT");

  // An empty make box is refused as well.
  ui_->NewMarcaCB->setEditText(QString());
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1075));
  EXPECT_EQ(Stored("MARCA", "U2"), "Audi");
}

TEST_F(DriverChange, EmptyOrNullMakeAndModelAreWrittenBackWhenLeftAsStored) {
  key_->Exec(
      "UPDATE DRIVERS SET MODELLO = NULL WHERE NOMEFILE = 'U3';"
      "UPDATE DRIVERS SET MARCA = '' WHERE NOMEFILE = 'U2';");
  ui_->Button4->click();
  Recatalogue("U3");
  EXPECT_EQ(ui_->NewMarcaCB->currentText(), QStringLiteral("Fiat"));
  EXPECT_EQ(ui_->NewModelloCB->currentText(), QString());
  ui_->Drv_desc->setPlainText(QStringLiteral("nuova"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1050)}));
  // NULL is written back as the empty text, as the update writes any text.
  EXPECT_EQ(Stored("typeof(MODELLO) || ':' || MODELLO || ':' || MARCA || ':' || DESCRIZIONE", "U3"),
            "text::Fiat:nuova");

  // After another make the model is asked for, even when the user empties
  // the box to what was stored.
  Choose(ui_->NewMarcaCB, QStringLiteral("Audi"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1075));
  Type(ui_->NewModelloCB, QString());
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1075));
  EXPECT_EQ(Stored("MARCA", "U3"), "Fiat");

  // An empty make left as it is.
  ui_->Button6->click();
  ui_->Button4->click();
  Recatalogue("U2");
  EXPECT_EQ(ui_->NewMarcaCB->currentText(), QString());
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1050));
  EXPECT_EQ(Stored("MARCA || ':' || MODELLO", "U2"), ":Punto");
}

TEST_F(DriverChange, TextsThatWindows1252CannotHoldAreRefusedBeforeWriting) {
  const std::string before = StoredHex("DESCRIZIONE", "U2");
  Recatalogue("U2");
  ui_->Drv_desc->setPlainText(QString::fromUtf8("centralina 日本"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1077)}));
  EXPECT_EQ(StoredHex("DESCRIZIONE", "U2"), before);
  // Accented Latin letters and the euro sign are fine.
  ui_->Drv_desc->setPlainText(QString::fromUtf8("più €"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1050));
  EXPECT_EQ(StoredHex("DESCRIZIONE", "U2"), "7069F92080");
}

// The database's texts end at a NUL, and the edit field of a box cuts a
// text at its maximum length before the window sees it: both refused.
TEST_F(DriverChange, NulsAndTextsTheFieldCutAreRefusedBeforeWriting) {
  const std::string before = Stored("MARCA || ':' || MODELLO || ':' || DESCRIZIONE", "U2");
  Recatalogue("U2");
  const QString nul = QStringLiteral("Fi") + QChar(0) + QStringLiteral("at");
  ui_->NewMarcaCB->setEditText(nul);
  ui_->BTN_UPD_DRV->click();
  ui_->NewMarcaCB->setEditText(QStringLiteral("Fiat"));
  ui_->NewModelloCB->setEditText(QString(40000, QLatin1Char('P')));
  ASSERT_EQ(ui_->NewModelloCB->currentText().size(), ui_->NewModelloCB->lineEdit()->maxLength());
  ui_->BTN_UPD_DRV->click();
  ui_->NewModelloCB->setEditText(QStringLiteral("Punto"));
  ui_->Drv_desc->setPlainText(nul);
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1067), Msg(1068).arg(32766), Msg(1067)}));
  EXPECT_EQ(Stored("MARCA || ':' || MODELLO || ':' || DESCRIZIONE", "U2"), before);
  // One short of the limit is stored whole.
  ui_->Drv_desc->setPlainText(QStringLiteral("ok"));
  ui_->NewModelloCB->setEditText(QString(32766, QLatin1Char('P')));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1050));
  EXPECT_EQ(Stored("length(MODELLO)", "U2"), "32766");
}

TEST_F(DriverChange, AFailedUpdateIsRolledBackAndReported) {
  key_->Exec(
      "CREATE TRIGGER refuse BEFORE UPDATE ON DRIVERS BEGIN SELECT RAISE(ABORT, 'no'); END;");
  Recatalogue("U2");
  ui_->Drv_desc->setPlainText(QStringLiteral("nuova"));
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1045)}));
  EXPECT_EQ(Stored("DESCRIZIONE", "U2"), "Descrizione di U2");
  // No transaction was left open: the database takes the next change.
  key_->Exec("DROP TRIGGER refuse;");
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1050));
  EXPECT_EQ(Stored("DESCRIZIONE", "U2"), "nuova");
}

TEST_F(DriverChange, CancelInTheQuestionChangesNothing) {
  Select(ui_->DrvList, "U2");
  prompts_.answerQuestion(TMsgFm::kCancel);
  ui_->BTN_DEL->click();
  EXPECT_EQ(prompts_.questions, QStringList({Msg(1043)}));
  EXPECT_TRUE(prompts_.messages.isEmpty());
  EXPECT_EQ(Stored("NOMEFILE", "U2"), "U2");
  EXPECT_TRUE(fs::exists(DriverFile("U2")));
  EXPECT_EQ(Captions(ui_->DrvList), QStringList({"U1", "U2", "U3"}));
  EXPECT_TRUE(ui_->BTN_DEL->isEnabled());
}

TEST_F(DriverChange, ADriverAnOriginalRefersToIsKeptUntilTheOriginalIsGone) {
  key_->AddOriginalRow(1, "U2", "nota", "ori.bin", std::string(32, 'A'));
  Select(ui_->DrvList, "U2");
  prompts_.answerQuestion(TMsgFm::kOk);
  ui_->BTN_DEL->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1044)}));
  EXPECT_EQ(Stored("NOMEFILE", "U2"), "U2");
  EXPECT_TRUE(fs::exists(DriverFile("U2")));
  EXPECT_FALSE(ui_->PNL_WAIT_DRV->isVisible());

  key_->Exec("DELETE FROM ORI WHERE ID_ORI = 1;");
  prompts_.answerQuestion(TMsgFm::kOk);
  ui_->BTN_DEL->click();
  EXPECT_EQ(prompts_.messages.last(), Msg(1046));
  EXPECT_EQ(key_->Scalar("select count(*) from DRIVERS where NOMEFILE = 'U2';"), "0");
  EXPECT_FALSE(fs::exists(DriverFile("U2")));
  EXPECT_EQ(Captions(ui_->DrvList), QStringList({"U1", "U3"}));
  EXPECT_FALSE(ui_->BTN_RIC->isEnabled());
  EXPECT_FALSE(ui_->BTN_DEL->isEnabled());
  EXPECT_FALSE(ui_->PNL_WAIT_DRV->isVisible());
  // Other drivers are untouched.
  EXPECT_EQ(key_->Scalar("select count(*) from DRIVERS;"), "4");
}

TEST_F(DriverChange, DeletingFromTheRecataloguePanelReturnsToTheList) {
  Recatalogue("U3");
  fs::remove(DriverFile("U3"));  // a missing file does not stop the deletion
  prompts_.answerQuestion(TMsgFm::kOk);
  ui_->BTN_DEL_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1046)}));
  EXPECT_EQ(key_->Scalar("select count(*) from DRIVERS where NOMEFILE = 'U3';"), "0");
  EXPECT_TRUE(ui_->PNL_DRV_UTENTE->isVisible());
  EXPECT_FALSE(ui_->PNL_DRV_CAT->isVisible());
  EXPECT_EQ(Captions(ui_->DrvList), QStringList({"U1", "U2"}));
}

TEST_F(DriverChange, AFailedDeleteIsRolledBackAndKeepsTheFile) {
  key_->Exec(
      "CREATE TRIGGER refuse BEFORE DELETE ON DRIVERS BEGIN SELECT RAISE(ABORT, 'no'); END;");
  Select(ui_->DrvList, "U2");
  prompts_.answerQuestion(TMsgFm::kOk);
  ui_->BTN_DEL->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1045)}));
  EXPECT_EQ(Stored("NOMEFILE", "U2"), "U2");
  EXPECT_TRUE(fs::exists(DriverFile("U2")));
  EXPECT_FALSE(ui_->PNL_WAIT_DRV->isVisible());
}

TEST_F(DriverChange, ADriverFileThatCannotBeRemovedIsReported) {
  fixture::UndeletableFile file(DriverFile("U2"));
  if (!file.holds()) GTEST_SKIP() << "cannot protect a file from removal here";
  Select(ui_->DrvList, "U2");
  prompts_.answerQuestion(TMsgFm::kOk);
  ui_->BTN_DEL->click();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].startsWith(Msg(1076))) << prompts_.messages[0].toStdString();
  EXPECT_NE(prompts_.messages[0], Msg(1046));
  EXPECT_EQ(key_->Scalar("select count(*) from DRIVERS where NOMEFILE = 'U2';"), "0");
  EXPECT_EQ(Captions(ui_->DrvList), QStringList({"U1", "U3"}));
}

}  // namespace

namespace {

// A recatalogue or a deletion is reported done only once it is on the key.
TEST_F(DriverChange, ChangesAreDoneOnlyOnceTheKeyIsFlushed) {
  machine_->SetFlushFails(true);
  Recatalogue("U1");
  ui_->BTN_UPD_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1090) + " (Input/output error)"}));
  machine_->SetFlushFails(false);
  prompts_.messages.clear();
  prompts_.answerQuestion(TMsgFm::kOk);
  ui_->BTN_DEL_DRV->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1046)}));
  EXPECT_EQ(machine_->Flushes().size(), 2u);
}

}  // namespace
