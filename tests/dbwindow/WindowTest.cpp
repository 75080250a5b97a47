// The database window as a whole: layout, panels, brand lists, help texts,
// the shared list sort and its opening from the main window.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "app/Main.h"
#include "tests/dbwindow/DbWindowFixture.h"
#include "ui_Main.h"

namespace {

fixture::Driver MakeDriver(const std::string& name, const std::string& brand,
                           const std::string& model, const std::string& description) {
  fixture::Driver d;
  d.nomefile = name;
  d.marca = fixture::ToCp1252(brand);
  d.modello = fixture::ToCp1252(model);
  d.descrizione = fixture::ToCp1252(description);
  return d;
}

QList<QWidget*> WorkPanels(Ui::TForm2* ui) {
  return {ui->Pnl_ORI1, ui->Pnl_ORI2,   ui->PNL_MOD,
          ui->PNL_MOD2, ui->PNL_MNG_DB, ui->PNL_MNG_DB_MOD};
}

QStringList VisiblePanels(TForm2& form) {
  QStringList names;
  for (QWidget* panel : WorkPanels(form.ui()))
    if (panel->isVisibleTo(&form)) names << panel->objectName();
  return names;
}

QStringList Headers(const QTreeWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->columnCount(); ++i) texts << list->headerItem()->text(i);
  return texts;
}

TEST_F(DbWindowTest, NewWindowShowsOnlyTheTopBar) {
  TForm2& form = Window();
  EXPECT_EQ(form.windowTitle(), "Database Management");
  EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(VisiblePanels(form).isEmpty());
  EXPECT_TRUE(ui()->PNL_db_Btn->isVisibleTo(&form));
  EXPECT_EQ(ui()->BTN_DB_ORI->text(), "Importa Originale");
  EXPECT_EQ(ui()->BTN_DB_MOD->text(), "Importa Modificato");
  EXPECT_EQ(ui()->BTN_DB_EXPORT->text(), "Gestione File");
  EXPECT_EQ(ui()->BTN_DB_CLOSE->text(), "Chiudi");
  EXPECT_EQ(form.sortColumn(), 0);
  EXPECT_FALSE(form.sortDescending());
  EXPECT_TRUE(form.originalDigest().empty());
}

TEST_F(DbWindowTest, IdentificationPanelStartsEmptyAndDisabled) {
  Window();
  EXPECT_TRUE(ui()->TB_ORI_FILE->text().isEmpty());
  EXPECT_TRUE(ui()->TB_ORI_FILE->isReadOnly());
  EXPECT_EQ(ui()->BTN_DB_openori->text(), "Apri ORI");
  EXPECT_TRUE(ui()->BTN_DB_openori->isEnabled());
  EXPECT_FALSE(ui()->MarcaCB->isEnabled());
  EXPECT_FALSE(ui()->ModelloCB->isEnabled());
  EXPECT_TRUE(ui()->MarcaCB->isEditable());
  EXPECT_EQ(ui()->MarcaCB->insertPolicy(), QComboBox::NoInsert);
  EXPECT_EQ(ui()->CBIgnoreMD5->text(), "Ricerca Manuale");
  EXPECT_FALSE(ui()->CBIgnoreMD5->isChecked());
  EXPECT_FALSE(ui()->BTN_Drv_Search->isEnabled());
  EXPECT_EQ(ui()->BTN_Break->text(), "Interrompi ");
  EXPECT_FALSE(ui()->BTN_Break->isEnabled());
  EXPECT_FALSE(ui()->BTN_Reg_ori->isEnabled());
  EXPECT_EQ(ui()->Button1->text(), "Annulla");
  EXPECT_EQ(ui()->DrvList->topLevelItemCount(), 0);
  EXPECT_EQ(ui()->Pnl_searching->text(), " Ricerca Database in corso...");
  EXPECT_TRUE(ui()->Pnl_searching->isHidden());
  EXPECT_EQ(ui()->BTN_ORI_REG->text(), "OK");
  EXPECT_EQ(ui()->BTN_CANCEL_ORI->text(), "Cancel");
  EXPECT_TRUE(ui()->T_DRIVER->isReadOnly());
  EXPECT_FALSE(ui()->T_DESC->isReadOnly());
  EXPECT_TRUE(ui()->PNL_REG_ORI->isHidden());
  // The other panels' commands wait for their own selections.
  for (QWidget* w :
       QList<QWidget*>{ui()->BTN_Ori_search, ui()->BTN_Reg_mod, ui()->BTN_db_search,
                       ui()->Btn_Del_Ori, ui()->BTN_Export, ui()->BTN_Show_Mod,
                       ui()->BTN_DB_MOD_EXP, ui()->BTN_DEL_MOD, ui()->MarcaORI, ui()->ModelloORI})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
}

TEST_F(DbWindowTest, ListsHaveTheirColumnsWithHiddenIds) {
  Window();
  EXPECT_EQ(Headers(ui()->DrvList),
            QStringList({"Nome", "Descrizione", "Centralina", "EPROM", "CKS"}));
  EXPECT_EQ(Headers(ui()->OriList),
            QStringList({"Originale", "Descrizione", "Driver", "Ultima Modifica", "ID"}));
  EXPECT_EQ(Headers(ui()->DBListORI),
            QStringList({"Originale", "Descrizione", "Driver", "Ultima Modifica", "ID"}));
  EXPECT_EQ(Headers(ui()->MOD_LIST),
            QStringList({"Modificato", "Descrizione", "Ultima Modifica", "ID"}));
  EXPECT_TRUE(ui()->OriList->isColumnHidden(4));
  EXPECT_TRUE(ui()->DBListORI->isColumnHidden(4));
  EXPECT_TRUE(ui()->MOD_LIST->isColumnHidden(3));
  EXPECT_FALSE(ui()->DrvList->isColumnHidden(4));
  EXPECT_EQ(ui()->DrvList->header()->sectionSize(1), 260);
}

TEST_F(DbWindowTest, ListImagesAreARedAndAGreenThumb) {
  auto dominant = [](const QIcon& icon) {
    const QImage image = icon.pixmap(16, 16).toImage();
    long red = 0, green = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.alpha() == 0) continue;
        red += c.red();
        green += c.green();
      }
    return std::make_pair(red, green);
  };
  ASSERT_FALSE(Window().ListImage(0).isNull());
  ASSERT_FALSE(Window().ListImage(1).isNull());
  const auto down = dominant(Window().ListImage(0));
  const auto up = dominant(Window().ListImage(1));
  EXPECT_GT(down.first, down.second);
  EXPECT_GT(up.second, up.first);
}

TEST_F(DbWindowTest, ClosesOnlyThroughChiudi) {
  TForm2& form = Window();
  form.show();
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  form.reject();
  EXPECT_TRUE(form.isVisible());
  ui()->BTN_DB_CLOSE->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), 1);
}

TEST_F(DbWindowTest, HelpTextsFilledBySetup) {
  Window();
  EXPECT_EQ(ui()->HelpORI->toPlainText(),
            "1. Selezionare l'originale da registrare.\n2. Selezionare driver.\n"
            "3. Premere Bottone Registra Originale.\n"
            "4. Inserire una breve descrizione o modificare l'esistente.");
  EXPECT_EQ(ui()->HelpMOD->toPlainText().split('\n').size(), 3);
  const QStringList warn = ui()->WarnMod->toPlainText().split('\n');
  ASSERT_EQ(warn.size(), 4);
  EXPECT_EQ(warn[0], "ATTENZIONE!");
  EXPECT_EQ(warn[2], "");
  EXPECT_TRUE(warn[3].startsWith("BRENNOW Srl"));
}

TEST_F(DbWindowTest, BrandListsOfAllDriversAndModelsOfTheChosenOne) {
  key.AddDriver(MakeDriver("D1", "Fiat", "Punto", "a"));
  key.AddDriver(MakeDriver("D2", "Fiat", "Bravo", "b"));
  key.AddDriver(MakeDriver("D3", "Fiat", "Punto", "c"));
  fixture::Driver suspended = MakeDriver("D4", "Citroën", "C3", "d");
  suspended.suspended = true;
  key.AddDriver(suspended);
  Window();
  EXPECT_EQ(Items(ui()->MarcaCB), QStringList({"<Seleziona>", "Citroën", "Fiat"}));
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>"}));

  // Set from the program: no change handler runs.
  ui()->MarcaCB->setCurrentIndex(2);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>"}));

  ui()->CBIgnoreMD5->setChecked(true);
  Pick(ui()->MarcaCB, 2);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>", "Bravo", "Punto"}));
  EXPECT_EQ(ui()->ModelloCB->currentIndex(), 0);
  Pick(ui()->MarcaCB, 1);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>", "C3"}));
  Pick(ui()->MarcaCB, 0);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>"}));

  // Typed text runs the handler, adds no entry and lists no model.
  ui()->MarcaCB->setFocus();
  QTest::keyClicks(ui()->MarcaCB->lineEdit(), "Fia");
  EXPECT_EQ(ui()->MarcaCB->count(), 3);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>"}));
  // A typed brand holding a quote is only a value, never part of the SQL.
  ui()->MarcaCB->setEditText("D'Arco");
  EXPECT_NO_THROW(Window().MarcaCBChange());
}

TEST_F(DbWindowTest, EmptyDriverTableGivesSelezionaAlone) {
  Window();
  EXPECT_EQ(Items(ui()->MarcaCB), QStringList({"<Seleziona>"}));
  EXPECT_EQ(Items(ui()->MarcaDB), QStringList({"<Seleziona>"}));
}

TEST_F(DbWindowTest, RegisteredBrandsOnceAndOnlyWithOriginals) {
  key.AddDriver(MakeDriver("D1", "Fiat", "Punto", "a"));
  key.AddDriver(MakeDriver("D2", "Fiat", "Bravo", "b"));
  key.AddDriver(MakeDriver("D3", "Opel", "Astra", "c"));
  key.AddDriver(MakeDriver("D4", "Audi", "A4", "d"));
  key.AddOriginalRow(1, "D1", "n", "a.bin", "A");
  key.AddOriginalRow(2, "D2", "n", "b.bin", "B");
  key.AddOriginalRow(3, "D4", "n", "c.bin", "C");
  Window();
  EXPECT_EQ(Items(ui()->MarcaORI), QStringList({"<Seleziona>", "Audi", "Fiat"}));
  EXPECT_EQ(Items(ui()->MarcaDB), Items(ui()->MarcaORI));
  EXPECT_EQ(Items(ui()->ModelloDB), QStringList({"<Seleziona>"}));
  // "Gestione File" fills them again from the database.
  key.AddOriginalRow(4, "D3", "n", "d.bin", "D");
  Window().BTN_DB_EXPORTClick();
  EXPECT_EQ(Items(ui()->MarcaDB), QStringList({"<Seleziona>", "Audi", "Fiat", "Opel"}));
}

TEST_F(DbWindowTest, PanelTransitionsOfTheTopBar) {
  TForm2& form = Window();
  form.BTN_DB_ORIClick();
  EXPECT_EQ(VisiblePanels(form), QStringList({"Pnl_ORI1"}));
  ui()->TB_ORI_FILE->setText("kept");
  form.BTN_DB_MODClick();
  EXPECT_EQ(VisiblePanels(form), QStringList({"PNL_MOD"}));
  ui()->BTN_DB_EXPORT->click();
  EXPECT_EQ(VisiblePanels(form), QStringList({"PNL_MNG_DB"}));
  ui()->BTN_DB_ORI->click();
  EXPECT_EQ(VisiblePanels(form), QStringList({"Pnl_ORI1"}));
  EXPECT_EQ(ui()->TB_ORI_FILE->text(), "kept");
  ui()->Button1->click();  // Annulla
  EXPECT_TRUE(VisiblePanels(form).isEmpty());
  EXPECT_TRUE(ui()->TB_ORI_FILE->text().isEmpty());
}

TEST_F(DbWindowTest, ResetKeepsManualSearchAndTheModels) {
  key.AddDriver(MakeDriver("D1", "Fiat", "Punto", "a"));
  Window();
  ui()->CBIgnoreMD5->setChecked(true);
  Pick(ui()->MarcaCB, 1);
  ui()->ModelloCB->setCurrentIndex(1);
  ui()->BTN_Drv_Search->setEnabled(true);
  new QTreeWidgetItem(ui()->DrvList, QStringList({"x"}));
  Window().ResetIdentificationPanel();
  EXPECT_EQ(ui()->MarcaCB->currentIndex(), 0);
  EXPECT_EQ(ui()->ModelloCB->currentIndex(), 0);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({"<Seleziona>", "Punto"}));
  EXPECT_TRUE(ui()->CBIgnoreMD5->isChecked());
  EXPECT_TRUE(ui()->MarcaCB->isEnabled());
  EXPECT_FALSE(ui()->BTN_Drv_Search->isEnabled());
  EXPECT_EQ(ui()->DrvList->topLevelItemCount(), 0);
  // Clearing manual search disables both lists at "<Seleziona>".
  Pick(ui()->MarcaCB, 1);
  ui()->CBIgnoreMD5->click();
  EXPECT_FALSE(ui()->MarcaCB->isEnabled());
  EXPECT_FALSE(ui()->ModelloCB->isEnabled());
  EXPECT_EQ(ui()->MarcaCB->currentIndex(), 0);
}

class SortTest : public DbWindowTest {
 protected:
  void Fill(QTreeWidget* list, const QList<QStringList>& rows) {
    list->clear();
    for (const QStringList& r : rows) new QTreeWidgetItem(list, r);
  }
  void Click(QTreeWidget* list, int column) { emit list->header()->sectionClicked(column); }
};

TEST_F(SortTest, ClickOrderAscendingThenDescendingSharedAcrossLists) {
  TForm2& form = Window();
  Fill(ui()->DrvList, {{"n2", "beta"}, {"n1", "Alfa"}, {"n3", "gamma"}});
  // Nothing sorted yet: the first click on column 0 sorts descending.
  Click(ui()->DrvList, 0);
  EXPECT_EQ(Column(ui()->DrvList, 0), QStringList({"n3", "n2", "n1"}));
  EXPECT_TRUE(form.sortDescending());
  Click(ui()->DrvList, 1);
  EXPECT_EQ(Column(ui()->DrvList, 1), QStringList({"Alfa", "beta", "gamma"}));
  Click(ui()->DrvList, 1);
  EXPECT_EQ(Column(ui()->DrvList, 1), QStringList({"gamma", "beta", "Alfa"}));
  Click(ui()->DrvList, 0);
  EXPECT_EQ(Column(ui()->DrvList, 0), QStringList({"n1", "n2", "n3"}));

  // Column 2 of DrvList, then column 2 of OriList: the order inverts.
  Click(ui()->DrvList, 2);
  Fill(ui()->OriList, {{"a", "", "x"}, {"b", "", "y"}});
  Click(ui()->OriList, 2);
  EXPECT_EQ(Column(ui()->OriList, 2), QStringList({"y", "x"}));
  EXPECT_EQ(form.sortColumn(), 2);
}

TEST_F(SortTest, CaseFoldsOnlyAsciiAccentsAfterZShorterFirst) {
  Window();
  Fill(ui()->MOD_LIST, {{"", "à"}, {"", "zeta"}, {"", "ABC"}, {"", "ab"}, {"", "abc"}});
  Click(ui()->MOD_LIST, 1);
  const QStringList sorted = Column(ui()->MOD_LIST, 1);
  EXPECT_EQ(sorted.mid(0, 1), QStringList({"ab"}));
  EXPECT_TRUE(sorted.mid(1, 2).contains("ABC") && sorted.mid(1, 2).contains("abc"));
  EXPECT_EQ(sorted.mid(3), QStringList({"zeta", "à"}));
  // Ids sort as text.
  Fill(ui()->MOD_LIST, {{"", "", "", "9"}, {"", "", "", "10"}});
  Click(ui()->MOD_LIST, 3);
  EXPECT_EQ(Column(ui()->MOD_LIST, 3), QStringList({"10", "9"}));
}

TEST_F(SortTest, SortKeepsTheSelectedRow) {
  Window();
  Fill(ui()->DrvList, {{"b"}, {"a"}, {"c"}});
  ui()->DrvList->topLevelItem(0)->setSelected(true);
  Click(ui()->DrvList, 0);
  Click(ui()->DrvList, 0);
  ASSERT_EQ(ui()->DrvList->selectedItems().size(), 1);
  EXPECT_EQ(ui()->DrvList->selectedItems()[0]->text(0), "b");
}

TEST_F(DbWindowTest, MainWindowOpensANewWindowModallyOnTheKey) {
  key.AddDriver(MakeDriver("D1", "Fiat", "Punto", "a"));
  TForm1 main;
  ASSERT_TRUE(main.FindKeyAutomatically());
  int opened = 0;
  for (int round = 0; round < 2; ++round) {
    prompts.answerDialog([&](QDialog* dialog) {
      auto* window = qobject_cast<TForm2*>(dialog);
      EXPECT_NE(window, nullptr);
      if (!window) return 0;
      ++opened;
      EXPECT_EQ(window->keyRoot(), main.keyRoot());
      EXPECT_EQ(Items(window->ui()->MarcaCB), QStringList({"<Seleziona>", "Fiat"}));
      EXPECT_TRUE(VisiblePanels(*window).isEmpty());  // a new window every time
      window->BTN_DB_ORIClick();
      window->ui()->BTN_DB_CLOSE->click();
      return window->result();
    });
    main.BTN_DbMngClick();
  }
  EXPECT_EQ(opened, 2);
  EXPECT_TRUE(prompts.dialogHandlers.empty());
}

}  // namespace
