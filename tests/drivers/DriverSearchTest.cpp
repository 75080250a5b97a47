// The driver window's lists: setup, the make and model boxes, the search,
// the availability images and the selection.
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>

#include "app/Main.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/Texts.h"
#include "drivers/DriverWindowSnapshots.h"
#include "tests/drivers/DriverWindowFixture.h"
#include "ui_Main.h"

namespace {

class DriverSearch : public DriverWindowTest {
 protected:
  DriverSearch() {
    Add("U1", "Fiat", "Punto", true);
    Add("U2", "Fiat", "Bravo", true);
    Add("U3", "Citroën", "C3", true);
    Add("U4", "Fiat", "Punto", true).suspended = true;
    Add("U5", "Land's End", "Rover 'S'", true);
    Add("D1", "Fiat", "Punto", false);
    Add("D2", "Audi", "A4", false);
    Add("D3", "Fiat", "Doblò", false);
    Store();
  }
};

TEST_F(DriverSearch, SetupFillsTheHelpTextsAndTheMakeLists) {
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Driver Management"));
  EXPECT_EQ(window->size(), QSize(765, 379));
  EXPECT_TRUE(ui->PNL_DRV_UTENTE->isVisible());
  EXPECT_FALSE(ui->PNL_DRV_CAT->isVisible());
  EXPECT_FALSE(ui->PNL_WAIT_DRV->isVisible());
  EXPECT_EQ(ui->Memo_DRV->toPlainText(),
            QStringList({Msg(1033), Msg(1040), Msg(1041), Msg(1042)}).join('\n'));
  EXPECT_EQ(ui->Memo_Help->toPlainText(),
            QStringList({Msg(1047), Msg(1048), Msg(1049)}).join('\n'));
  // Only makes of user drivers in the search box, every make in the new-make box.
  EXPECT_EQ(Items(ui->MarcaCB),
            QStringList({Msg(1011), QString::fromUtf8("Citroën"), QStringLiteral("Fiat"),
                         QStringLiteral("Land's End")}));
  EXPECT_EQ(Items(ui->NewMarcaCB),
            QStringList({Msg(1011), QStringLiteral("Audi"), QString::fromUtf8("Citroën"),
                         QStringLiteral("Fiat"), QStringLiteral("Land's End")}));
  EXPECT_EQ(Items(ui->ModelloCB), QStringList({Msg(1011)}));
  EXPECT_FALSE(ui->ModelloCB->isEnabled());
  EXPECT_FALSE(ui->BTN_RIC->isEnabled());
  EXPECT_FALSE(ui->BTN_DEL->isEnabled());
  EXPECT_TRUE(ui->BTN_UPD_DRV->isEnabled());
  EXPECT_TRUE(ui->BTN_DEL_DRV->isEnabled());
  ASSERT_NE(window->questionWindow(), nullptr);
  ui->Button1->click();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), 1);
  window->FormDestroy();
  EXPECT_EQ(window->questionWindow(), nullptr);
}

TEST_F(DriverSearch, SearchWithoutMakeListsEveryNonSuspendedUserDriverOnly) {
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  ui->Button4->click();
  EXPECT_EQ(Captions(ui->DrvList), QStringList({"U1", "U2", "U3", "U5"}));
  const QTreeWidgetItem* first = ui->DrvList->topLevelItem(0);
  EXPECT_EQ(first->text(1), QStringLiteral("Descrizione di U1"));
  EXPECT_EQ(first->text(2), QStringLiteral("Bosch EDC16-U1 C39"));
  EXPECT_EQ(first->text(3), QStringLiteral("29F400"));
  EXPECT_EQ(first->text(4), QStringLiteral("CKS1"));
  EXPECT_TRUE(prompts_.messages.isEmpty());
}

TEST_F(DriverSearch, MakeAndModelNarrowTheSearchAndOnlyTheUsersChoiceFillsModels) {
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  // The program setting the index runs no handler.
  ui->MarcaCB->setCurrentIndex(2);
  EXPECT_FALSE(ui->ModelloCB->isEnabled());
  EXPECT_EQ(ui->ModelloCB->count(), 1);

  Choose(ui->MarcaCB, QStringLiteral("Fiat"));
  EXPECT_TRUE(ui->ModelloCB->isEnabled());
  EXPECT_EQ(Items(ui->ModelloCB), QStringList({Msg(1011), "Bravo", "Punto"}));
  ui->Button4->click();
  EXPECT_EQ(Captions(ui->DrvList), QStringList({"U1", "U2"}));
  Choose(ui->ModelloCB, QStringLiteral("Punto"));
  ui->Button4->click();
  EXPECT_EQ(Captions(ui->DrvList), QStringList({"U1"}));

  // An accented make is matched by its stored bytes.
  Choose(ui->MarcaCB, QString::fromUtf8("Citroën"));
  ui->Button4->click();
  EXPECT_EQ(Captions(ui->DrvList), QStringList({"U3"}));

  // Apostrophes in make and model neither break nor widen the statements.
  Choose(ui->MarcaCB, QStringLiteral("Land's End"));
  EXPECT_EQ(Items(ui->ModelloCB), QStringList({Msg(1011), "Rover 'S'"}));
  Choose(ui->ModelloCB, QStringLiteral("Rover 'S'"));
  ui->Button4->click();
  EXPECT_EQ(Captions(ui->DrvList), QStringList({"U5"}));
  EXPECT_TRUE(prompts_.messages.isEmpty());

  // Typing: a text that is no entry disables the model box and is searched
  // as typed; typing an entry's exact text counts as choosing it.
  Type(ui->MarcaCB, QStringLiteral("Fia"));
  EXPECT_FALSE(ui->ModelloCB->isEnabled());
  ui->Button4->click();
  EXPECT_EQ(Captions(ui->DrvList), QStringList({""}));
  Type(ui->MarcaCB, QStringLiteral("Fiat"));
  EXPECT_TRUE(ui->ModelloCB->isEnabled());
  EXPECT_EQ(ui->ModelloCB->count(), 3);
}

TEST_F(DriverSearch, NothingFoundShowsOneRowThatOffersNoCommand) {
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  ui->Button4->click();
  Select(ui->DrvList, "U2");
  EXPECT_TRUE(ui->BTN_RIC->isEnabled());
  EXPECT_TRUE(ui->BTN_DEL->isEnabled());

  // Every search disables the row commands, also one that finds rows.
  ui->Button4->click();
  EXPECT_FALSE(ui->BTN_RIC->isEnabled());
  EXPECT_FALSE(ui->BTN_DEL->isEnabled());

  Type(ui->MarcaCB, QStringLiteral("Lancia"));
  ui->Button4->click();
  ASSERT_EQ(ui->DrvList->topLevelItemCount(), 1);
  QTreeWidgetItem* empty = ui->DrvList->topLevelItem(0);
  EXPECT_EQ(empty->text(0), QString());
  EXPECT_EQ(empty->text(1), Msg(1018));
  EXPECT_EQ(ImageOf(*window, empty), 0);
  ui->DrvList->setCurrentItem(empty);
  EXPECT_TRUE(empty->isSelected());
  EXPECT_FALSE(ui->BTN_RIC->isEnabled());
  EXPECT_FALSE(ui->BTN_DEL->isEnabled());
  // Commands that need a driver do nothing with this row.
  ui->BTN_RIC->setEnabled(true);
  ui->BTN_RIC->click();
  ui->BTN_DEL->setEnabled(true);
  ui->BTN_DEL->click();
  EXPECT_TRUE(ui->PNL_DRV_UTENTE->isVisible());
  EXPECT_TRUE(prompts_.questions.isEmpty());
}

TEST_F(DriverSearch, AvailabilityNeedsTheDownloadedFlagAndTheDruFile) {
  Add("U6", "Opel", "Astra", true).writeFile = false;   // downloaded, no file
  Add("U7", "Opel", "Astra", true).downloaded = false;  // file, not downloaded
  Store();
  // A maker's file of the same name does not count for a user driver.
  fixture::WriteFile(key_->keyFolder() + "/Database/DRT/U6.DRT", "maker's");
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  Choose(ui->MarcaCB, QStringLiteral("Opel"));
  ui->Button4->click();
  ASSERT_EQ(Captions(ui->DrvList), QStringList({"U6", "U7"}));
  EXPECT_EQ(ImageOf(*window, ui->DrvList->topLevelItem(0)), 0);
  EXPECT_EQ(ImageOf(*window, ui->DrvList->topLevelItem(1)), 0);
  Choose(ui->MarcaCB, QStringLiteral("Fiat"));
  ui->Button4->click();
  EXPECT_EQ(ImageOf(*window, ui->DrvList->topLevelItem(0)), 1);
}

TEST_F(DriverSearch, WhileTheSearchHandsOutTurnsTheWindowTakesNoCommandAndStaysOpen) {
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  bool checked = false;
  QTimer::singleShot(0, window.get(), [&] {
    checked = true;
    EXPECT_TRUE(window->busy());
    EXPECT_FALSE(ui->Button4->isEnabled());
    EXPECT_FALSE(ui->Button1->isEnabled());
    EXPECT_FALSE(ui->MarcaCB->isEnabled());
    EXPECT_FALSE(ui->DrvList->isEnabled());
    window->close();
    window->reject();
    EXPECT_TRUE(window->isVisible());
  });
  ui->Button4->click();
  EXPECT_TRUE(checked);
  EXPECT_FALSE(window->busy());
  EXPECT_TRUE(ui->Button4->isEnabled());
  EXPECT_TRUE(ui->DrvList->isEnabled());
  EXPECT_FALSE(ui->ModelloCB->isEnabled());  // keeps its own state
  EXPECT_EQ(ui->DrvList->topLevelItemCount(), 4);
  window->reject();
  EXPECT_FALSE(window->isVisible());
}

TEST_F(DriverSearch, TheLockIsLiftedWhenTheSearchFails) {
  auto window = Open();
  Ui::TForm3* ui = window->ui();
  key_->Exec("DROP TABLE DRIVERS;");
  // The report comes once the search has unwound, so the lock is lifted
  // while the user reads it.
  prompts_.onMessage = [&](const QString&) { EXPECT_FALSE(window->busy()); };
  ui->Button4->click();
  ASSERT_EQ(prompts_.messages.size(), 1);
  EXPECT_TRUE(prompts_.messages[0].startsWith("SQLITE_ERROR[1]"))
      << prompts_.messages[0].toStdString();
  EXPECT_FALSE(window->busy());
  EXPECT_TRUE(ui->Button4->isEnabled());
}

TEST_F(DriverSearch, TheMainWindowOpensANewModalWindowEachTime) {
  TForm1 main;
  main.ui()->Button6->click();
  ASSERT_EQ(main.keyRoot(), kKeyRoot);
  std::vector<TForm3*> shown;
  prompts_.answerDialog([&](QDialog* dialog) {
    auto* window = qobject_cast<TForm3*>(dialog);
    EXPECT_NE(window, nullptr);
    if (!window) return 0;
    shown.push_back(window);
    EXPECT_TRUE(window->isModal());
    EXPECT_EQ(window->ui()->MarcaCB->count(), 4);
    window->ui()->Button4->click();
    Select(window->ui()->DrvList, "U1");
    window->ui()->BTN_RIC->click();
    EXPECT_TRUE(window->ui()->PNL_DRV_CAT->isVisible());
    return 1;
  });
  prompts_.answerDialog([&](QDialog* dialog) {
    auto* window = qobject_cast<TForm3*>(dialog);
    EXPECT_NE(window, nullptr);
    if (!window) return 0;
    // Nothing from the first opening: list panel, empty list.
    EXPECT_TRUE(window->ui()->PNL_DRV_UTENTE->isVisible());
    EXPECT_EQ(window->ui()->DrvList->topLevelItemCount(), 0);
    return 1;
  });
  main.ui()->Button4->click();
  main.ui()->Button4->click();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(prompts_.dialogHandlers.empty());
}

TEST_F(DriverSearch, SnapshotsOfBothPanels) {
  fixture::TempDir out;
  const QString folder = QString::fromStdString(out.path());
  const QStringList saved = SaveDriverWindowSnapshots(kKeyRoot, folder);
  ASSERT_EQ(saved.size(), 2);
  for (const QString& path : saved) {
    QImage image(path);
    EXPECT_EQ(image.size(), QSize(765, 379)) << path.toStdString();
  }
  EXPECT_TRUE(saved[1].endsWith(QStringLiteral("drivers-2-recatalogue.png")));
  EXPECT_NE(QImage(saved[0]), QImage(saved[1]));
}

}  // namespace
