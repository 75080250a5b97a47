// Registering a modified file on the real window: choosing the file and its
// original, the description panel and the stored archive with its row.
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <filesystem>

#include "app/kit/Fmmsg.h"
#include "app/kit/Texts.h"
#include "dbwindow/Hash_algorithms.h"
#include "tests/dbwindow/DbWindowFixture.h"

namespace {

namespace fs = std::filesystem;

std::string Md5(const std::string& bytes) {
  return TUEDC16::HashBuffer(bytes.data(), bytes.size());
}

class ModifiedTest : public DbWindowTest {
 protected:
  ModifiedTest() {
    AddDriver("DRV1", "Fiat", "Punto", "Punto 1.2 8v");
    AddDriver("DRV2", "Fiat", "Panda", "Panda 1.1", /*downloaded=*/false);
    AddDriver("DRVU", "Volkswagen", "Golf", "Golf mio", true, /*user=*/true);
    AddDriver("DRV3", "Alfa Romeo", "147", "147 JTD");
    AddOriginal(1, "DRV1", "uno.bin");
    AddOriginal(2, "DRV2", "due.bin");
    AddOriginal(3, "DRVU", "DataBase\\Original\\");
    AddOriginal(4, "DRV1", "database\\original\\", /*stored=*/false);
    AddOriginal(5, "GONE", "orfano.bin");
    AddOriginal(6, "DRV3", "tre.bin");
    modified = fixture::EcuImage(9, 3000);
    modifiedPath = drive / "tuned.bin";
    fixture::WriteFile(modifiedPath, modified);
  }

  void AddDriver(const std::string& name, const std::string& brand, const std::string& model,
                 const std::string& description, bool downloaded = true, bool user = false) {
    fixture::Driver d;
    d.nomefile = name;
    d.marca = brand;
    d.modello = model;
    d.descrizione = description;
    d.downloaded = downloaded;
    d.user = user;
    key.AddDriver(d);
  }
  void AddOriginal(int id, const std::string& driver, const std::string& path, bool stored = true) {
    key.AddOriginalRow(id, driver, "nota", path, "ORIMD5" + std::to_string(id));
    if (stored) fixture::WriteFile(StoredOri(id), "original " + std::to_string(id));
  }
  std::string StoredOri(int id) const {
    return key.keyFolder() + "/Database/ORI/" + std::to_string(id) + ".ori";
  }
  std::string StoredMod(int id) const {
    return key.keyFolder() + "/Database/MOD/" + std::to_string(id) + ".mod";
  }
  std::string ModColumn(int id, const std::string& column) const {
    return key.Scalar("select " + column + " from MOD where ID_MOD = " + std::to_string(id) + ";");
  }
  int ModRows() const { return std::stoi(key.Scalar("select count(*) from MOD;")); }

  void OpenMod(const std::string& path) {
    Window();
    ui()->BTN_DB_MOD->click();
    prompts.answerOpen(QString::fromStdString(path));
    ui()->Button2->click();
  }
  // The user types a brand into MarcaORI.
  void Type(const QString& brand) {
    ui()->MarcaORI->setEditText(brand);
    emit ui()->MarcaORI->lineEdit()->textEdited(brand);
  }
  void PickBrand(const QString& brand) { Pick(ui()->MarcaORI, ui()->MarcaORI->findText(brand)); }
  QTreeWidgetItem* OriRow(const QString& caption) {
    for (int i = 0; i < ui()->OriList->topLevelItemCount(); ++i)
      if (ui()->OriList->topLevelItem(i)->text(0) == caption) return ui()->OriList->topLevelItem(i);
    return nullptr;
  }
  // The file opened, all originals listed, caption selected, PNL_MOD2 shown.
  void ToPanel2(const QString& caption, const std::string& path) {
    OpenMod(path);
    // "Cerca Originale" with both choices on "<Seleziona>": every original.
    Window().BTN_Ori_searchClick();
    ASSERT_NE(OriRow(caption), nullptr) << caption.toStdString();
    ui()->OriList->setCurrentItem(OriRow(caption));
    ui()->BTN_Reg_mod->click();
  }
  void ToPanel2(const QString& caption) { ToPanel2(caption, modifiedPath); }
  void ExpectStored(int id, const std::string& bytes) const {
    EXPECT_EQ(StoredEntry(StoredMod(id), std::to_string(id) + ".mod"), bytes);
    EXPECT_EQ(ModColumn(id, "MD5"), Md5(bytes));
  }

  std::string modified;
  std::string modifiedPath;
};

TEST_F(ModifiedTest, OnlyARegisteredModifiedFileIsRefused) {
  // A digest that is only an original's is accepted.
  key.Exec("UPDATE ORI SET MD5 = '" + Md5(modified) + "' WHERE ID_ORI = 1;");
  OpenMod(modifiedPath);
  EXPECT_TRUE(prompts.messages.isEmpty());
  EXPECT_TRUE(ui()->MarcaORI->isEnabled());
  EXPECT_EQ(Window().modifiedDigest(), Md5(modified));

  const std::string other = fixture::EcuImage(10, 500);
  const std::string otherPath = drive / "again.bin";
  fixture::WriteFile(otherPath, other);
  key.AddModifiedRow(1, 1, "", "again.bin", Md5(other));
  OpenMod(otherPath);
  EXPECT_EQ(prompts.messages, QStringList({Msg(1031)}));
  EXPECT_TRUE(ui()->TB_MOD_FILE->text().isEmpty());
  EXPECT_EQ(Window().modifiedDigest(), Md5(other));
  EXPECT_TRUE(ui()->MarcaORI->isEnabled());
}

TEST_F(ModifiedTest, BrandChoiceFillsModelsAndTypedBrandFilters) {
  OpenMod(modifiedPath);
  EXPECT_EQ(Items(ui()->MarcaORI), QStringList({Msg(1011), "Alfa Romeo", "Fiat", "Volkswagen"}));
  EXPECT_FALSE(ui()->ModelloORI->isEnabled());
  EXPECT_FALSE(ui()->BTN_Ori_search->isEnabled());
  PickBrand("Fiat");
  EXPECT_EQ(Items(ui()->ModelloORI), QStringList({Msg(1011), "Panda", "Punto"}));
  EXPECT_TRUE(ui()->ModelloORI->isEnabled());
  EXPECT_TRUE(ui()->BTN_Ori_search->isEnabled());
  Pick(ui()->ModelloORI, 2);
  ui()->BTN_Ori_search->click();
  EXPECT_EQ(Column(ui()->OriList, 0), QStringList({"uno.bin", "database\\original\\"}));

  Pick(ui()->MarcaORI, 0);
  EXPECT_EQ(Items(ui()->ModelloORI), QStringList({Msg(1011)}));
  EXPECT_FALSE(ui()->ModelloORI->isEnabled());
  EXPECT_FALSE(ui()->BTN_Ori_search->isEnabled());
  // Returning to "<Seleziona>" leaves the list as it was.
  EXPECT_EQ(ui()->OriList->topLevelItemCount(), 2);

  // A brand registered after the window was set up is not in the list: typed,
  // it has index -1, runs no model query and the search filters on it.
  AddDriver("DRVL", "Lancia", "Ypsilon", "Ypsilon 1.2");
  AddOriginal(7, "DRVL", "ypsilon.bin");
  Type("Lancia");
  EXPECT_EQ(Items(ui()->ModelloORI), QStringList({Msg(1011)}));
  EXPECT_TRUE(ui()->ModelloORI->isEnabled());
  EXPECT_TRUE(ui()->BTN_Ori_search->isEnabled());
  ui()->BTN_Ori_search->click();
  EXPECT_EQ(Column(ui()->OriList, 0), QStringList({"ypsilon.bin"}));
}

TEST_F(ModifiedTest, SearchListsOriginalsWithTheirNamesAndMarks) {
  OpenMod(modifiedPath);
  Window().BTN_Ori_searchClick();
  ASSERT_EQ(ui()->OriList->topLevelItemCount(), 5);  // never the original of a missing driver
  EXPECT_EQ(OriRow("orfano.bin"), nullptr);
  struct Expected {
    const char* caption;
    const char* description;
    const char* driver;
    const char* id;
    int image;
  };
  for (const Expected& e :
       {Expected{"uno.bin", "Punto 1.2 8v", "DRV1", "1", 1},
        Expected{"due.bin", "Panda 1.1", "DRV2", "2", 0},                  // not downloaded
        Expected{"3.ori", "Golf mio", "DRVU", "3", 1},                     // marker row, .DRU
        Expected{"database\\original\\", "Punto 1.2 8v", "DRV1", "4", 0},  // no file
        Expected{"tre.bin", "147 JTD", "DRV3", "6", 1}}) {
    QTreeWidgetItem* row = OriRow(e.caption);
    ASSERT_NE(row, nullptr) << e.caption;
    EXPECT_EQ(row->text(1), e.description) << e.caption;
    EXPECT_EQ(row->text(2), e.driver) << e.caption;
    EXPECT_EQ(row->text(4), e.id) << e.caption;
    EXPECT_EQ(TForm2::RowImage(row), e.image) << e.caption;
    EXPECT_FALSE(row->text(3).isEmpty());
  }
  EXPECT_TRUE(ui()->OriList->isColumnHidden(4));
  EXPECT_FALSE(ui()->BTN_Reg_mod->isEnabled());
  EXPECT_TRUE(ui()->PNL_search_ori->isHidden());
  // A red row can still be chosen.
  ui()->OriList->setCurrentItem(OriRow("due.bin"));
  EXPECT_TRUE(ui()->BTN_Reg_mod->isEnabled());
  // A new search leaves nothing selected and the button disabled.
  Type("Fiat");
  ui()->BTN_Ori_search->click();
  EXPECT_TRUE(ui()->OriList->selectedItems().isEmpty());
  EXPECT_FALSE(ui()->BTN_Reg_mod->isEnabled());
}

TEST_F(ModifiedTest, NoMatchGivesThePlaceholderRow) {
  key.Exec("DELETE FROM ORI WHERE ID_DRIVER = 'DRV3';");
  OpenMod(modifiedPath);
  Type("Alfa Romeo");
  ui()->BTN_Ori_search->click();
  ASSERT_EQ(ui()->OriList->topLevelItemCount(), 1);
  QTreeWidgetItem* row = ui()->OriList->topLevelItem(0);
  EXPECT_TRUE(row->text(0).isEmpty());
  EXPECT_EQ(row->text(1), Msg(1032));
  EXPECT_EQ(TForm2::RowImage(row), 0);
  ui()->OriList->setCurrentItem(row);
  EXPECT_FALSE(ui()->BTN_Reg_mod->isEnabled());
  Window().BTN_Reg_modClick();
  EXPECT_TRUE(ui()->PNL_MOD2->isHidden());
}

TEST_F(ModifiedTest, FirstRegistrationStoresOneEntryAndItsRow) {
  ToPanel2("tre.bin");
  ASSERT_FALSE(ui()->PNL_MOD2->isHidden());
  EXPECT_TRUE(ui()->PNL_MOD->isHidden());
  EXPECT_EQ(ui()->TE_Mod_Name->text().toStdString(), modifiedPath);
  EXPECT_EQ(ui()->TE_OriName->text(), "tre.bin");
  EXPECT_EQ(Window().registrationOriginalId(), "6");
  ui()->Memo_MOD->setPlainText(QString::fromUtf8("Stage 1 \"sport\"\nl'anticipo è +2"));
  ui()->BTN_DBMOD->click();

  EXPECT_EQ(prompts.messages, QStringList({Msg(1024)}));
  ExpectStored(1, modified);
  EXPECT_EQ(ModColumn(1, "ID_ORI"), "6");
  EXPECT_EQ(ModColumn(1, "PATH"), "tuned.bin");
  EXPECT_EQ(ModColumn(1, "NOTE"), fixture::ToCp1252("Stage 1 \"sport\"\r\nl'anticipo è +2"));
  // PNL_MOD emptied and shown; the description stays.
  EXPECT_FALSE(ui()->PNL_MOD->isHidden());
  EXPECT_TRUE(ui()->PNL_MOD2->isHidden());
  EXPECT_TRUE(ui()->TB_MOD_FILE->text().isEmpty());
  EXPECT_EQ(ui()->OriList->topLevelItemCount(), 0);
  EXPECT_EQ(ui()->Memo_MOD->toPlainText(), QString::fromUtf8("Stage 1 \"sport\"\nl'anticipo è +2"));
}

TEST_F(ModifiedTest, SecondRegistrationKeepsTheDescriptionAndAddsProposals) {
  fixture::WriteFile(legacyC / "ORDALIX/Tabelle/Systab.ini", "[CA]\r\nsecond.bin=Proposta INI\r\n");
  ToPanel2("uno.bin");
  ui()->Memo_MOD->setPlainText("Prima");
  ui()->BTN_DBMOD->click();
  const std::string second = fixture::EcuImage(11, 700);
  fixture::WriteFile(drive / "second.bin", second);
  ToPanel2("due.bin", drive / "second.bin");
  EXPECT_EQ(ui()->Memo_MOD->toPlainText(), "Prima\nProposta INI");
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1024), Msg(1024)}));
  EXPECT_EQ(ModColumn(2, "NOTE"), "Prima\r\nProposta INI");
  EXPECT_EQ(ModColumn(2, "ID_ORI"), "2");
  ExpectStored(2, second);
}

TEST_F(ModifiedTest, CancelOnTheSecondPanelKeepsTheFirstAsItWas) {
  ToPanel2("tre.bin");
  ui()->Memo_MOD->setPlainText("scritto");
  ui()->Button4->click();
  EXPECT_TRUE(ui()->PNL_MOD->isHidden());
  EXPECT_TRUE(ui()->PNL_MOD2->isHidden());
  ui()->BTN_DB_MOD->click();
  EXPECT_FALSE(ui()->PNL_MOD->isHidden());
  EXPECT_EQ(ui()->TB_MOD_FILE->text().toStdString(), modifiedPath);
  EXPECT_EQ(ui()->OriList->topLevelItemCount(), 5);
  ASSERT_EQ(ui()->OriList->selectedItems().size(), 1);
  EXPECT_EQ(ui()->OriList->selectedItems().first()->text(0), "tre.bin");
  EXPECT_TRUE(ui()->BTN_Reg_mod->isEnabled());
  EXPECT_EQ(ModRows(), 0);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/MOD"));

  // "Annulla" on PNL_MOD resets it; the description is never emptied.
  ui()->BTN_ANNULLA->click();
  EXPECT_TRUE(ui()->PNL_MOD->isHidden());
  EXPECT_TRUE(ui()->TB_MOD_FILE->text().isEmpty());
  EXPECT_EQ(ui()->OriList->topLevelItemCount(), 0);
  EXPECT_FALSE(ui()->BTN_Reg_mod->isEnabled());
  EXPECT_TRUE(ui()->MarcaORI->isEnabled());
  EXPECT_EQ(ui()->Memo_MOD->toPlainText(), "scritto");
}

TEST_F(ModifiedTest, FailuresLeaveNoRowAndNoArchive) {
  ToPanel2("uno.bin");
  key.Exec("CREATE TRIGGER no_mod BEFORE INSERT ON MOD BEGIN SELECT RAISE(ABORT,'x'); END;");
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1036)}));
  EXPECT_EQ(ModRows(), 0);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/MOD"));
  EXPECT_FALSE(ui()->PNL_MOD2->isHidden());
  EXPECT_TRUE(ui()->PNL_MOD_WARN->isHidden());
  key.Exec("DROP TRIGGER no_mod;");

  // A description Windows-1252 cannot hold is refused before anything.
  ui()->Memo_MOD->setPlainText(QString::fromUtf8("mappa ✓"));
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1066));
  ui()->Memo_MOD->setPlainText(QStringLiteral("mappa") + QChar(0));
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1067));
  EXPECT_EQ(ModRows(), 0);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/MOD"));
  EXPECT_FALSE(ui()->PNL_MOD2->isHidden());
  ui()->Memo_MOD->setPlainText("mappa");

  // Changed since it was opened.
  fixture::WriteFile(modifiedPath, modified + "x");
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1025));
  EXPECT_TRUE(ui()->PNL_MOD2->isHidden());
  EXPECT_EQ(ModRows(), 0);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/MOD"));
}

TEST_F(ModifiedTest, OriginalDeletedSinceItWasListedIsNeverTheOneTiedTo) {
  ToPanel2("uno.bin");
  // "Gestione File" meanwhile: original 1 is deleted there.
  ui()->BTN_DB_EXPORT->click();
  Pick(ui()->MarcaDB, ui()->MarcaDB->findText("Fiat"));
  ui()->BTN_db_search->click();
  for (int i = 0; i < ui()->DBListORI->topLevelItemCount(); ++i)
    if (ui()->DBListORI->topLevelItem(i)->text(4) == "1")
      ui()->DBListORI->setCurrentItem(ui()->DBListORI->topLevelItem(i));
  prompts.answerQuestion(TMsgFm::kOk);
  ui()->Btn_Del_Ori->click();
  ASSERT_EQ(prompts.messages, QStringList({Msg(1039)}));

  // Back: the old list still offers it, the registration refuses it.
  ui()->BTN_DB_MOD->click();
  ui()->OriList->setCurrentItem(OriRow("uno.bin"));
  ui()->BTN_Reg_mod->click();
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1078));
  EXPECT_EQ(ModRows(), 0);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/MOD"));
  EXPECT_FALSE(ui()->PNL_MOD->isHidden());
  EXPECT_TRUE(ui()->PNL_MOD2->isHidden());
  EXPECT_TRUE(ui()->PNL_MOD_WARN->isHidden());
  // The list is searched again: the deleted original is gone from it, the
  // file stays chosen.
  EXPECT_EQ(OriRow("uno.bin"), nullptr);
  EXPECT_NE(OriRow("tre.bin"), nullptr);
  EXPECT_EQ(ui()->TB_MOD_FILE->text().toStdString(), modifiedPath);

  // Its id given to another original (another MD5): still not that one.
  ToPanel2("tre.bin");
  key.Exec("DELETE FROM ORI WHERE ID_ORI = 6;");
  key.AddOriginalRow(6, "DRV3", "altro", "altro.bin", "ALTROMD5");
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1078));
  EXPECT_EQ(ModRows(), 0);
  EXPECT_NE(OriRow("altro.bin"), nullptr);

  // The original listed as it is registers.
  ui()->OriList->setCurrentItem(OriRow("altro.bin"));
  ui()->BTN_Reg_mod->click();
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1024));
  EXPECT_EQ(ModColumn(1, "ID_ORI"), "6");
}

TEST_F(ModifiedTest, NoIdLeftIsRefusedBeforeWriting) {
  key.AddModifiedRow(2147483647, 1, "", "last.bin", "LASTMD5");
  ToPanel2("uno.bin");
  ui()->BTN_DBMOD->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1079)}));
  EXPECT_EQ(ModRows(), 1);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/MOD"));
  EXPECT_FALSE(ui()->PNL_MOD2->isHidden());
}

// Pictures of the registration panels for documentation: written to
// $QUOR_SNAPSHOT_DIR when set, else into a temporary folder.
TEST_F(ModifiedTest, PicturesOfTheRegistrationPanels) {
  fixture::TempDir scratch;
  const QString folder = qEnvironmentVariableIsSet("QUOR_SNAPSHOT_DIR")
                             ? qEnvironmentVariable("QUOR_SNAPSHOT_DIR")
                             : QString::fromStdString(scratch.path());
  QDir().mkpath(folder);
  auto save = [&](const char* name) {
    const QString path = folder + "/" + name;
    ASSERT_TRUE(SaveWindowPicture(&Window(), path)) << name;
    const QImage picture(path);
    EXPECT_EQ(picture.size(), Window().size() * Window().devicePixelRatio()) << name;
  };

  // Pnl_ORI2 with a proposed description.
  fixture::WriteFile(legacyC / "ORDALIX/Tabelle/Systab.ini",
                     "[CA]\r\noriginal.bin=Punto 1.2 8v benzina\r\n");
  const std::string original = fixture::EcuImage(12, 2048);
  fixture::WriteFile(drive / "original.bin", original);
  fixture::Driver d;
  d.nomefile = "PUNTO12";
  d.marca = "Fiat";
  d.modello = "Punto";
  d.descrizione = "Punto 1.2 8v";
  d.start = 0;
  d.end = 256;
  d.md5 = TUEDC16::HashBuffer(original.data(), 256);
  key.AddDriver(d);
  Window().ui()->BTN_DB_ORI->click();
  prompts.answerOpen(QString::fromStdString(drive / "original.bin"));
  ui()->BTN_DB_openori->click();
  ui()->DrvList->setCurrentItem(ui()->DrvList->topLevelItem(0));
  ui()->BTN_Reg_ori->click();
  ASSERT_EQ(ui()->T_DESC->toPlainText(), "Punto 1.2 8v benzina");
  save("dbwindow-register-original.png");

  // PNL_MOD with a search result, then PNL_MOD2 with the warning.
  ToPanel2("tre.bin");
  ui()->Button4->click();
  ui()->BTN_DB_MOD->click();
  save("dbwindow-modified-search.png");
  ui()->BTN_Reg_mod->click();
  ui()->Memo_MOD->setPlainText("Stage 1, limitatore a 6500 giri");
  save("dbwindow-modified-confirm.png");
}

}  // namespace
