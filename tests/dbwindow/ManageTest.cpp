// Browsing, exporting and deleting stored originals and modified files on
// the real window, with stored archives written by the archive wrapper.
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "app/kit/Texts.h"
#include "archive/Brennowzip.h"
#include "tests/dbwindow/DbWindowFixture.h"
#include "tests/support/RealDisplay.h"

namespace {

fixture::Driver MakeDriver(const std::string& name, const std::string& brand,
                           const std::string& model, const std::string& description) {
  fixture::Driver d;
  d.nomefile = name;
  d.marca = brand;
  d.modello = model;
  d.descrizione = fixture::ToCp1252(description);
  return d;
}

class ManageTest : public DbWindowTest {
 protected:
  ManageTest() {
    key.AddDriver(MakeDriver("EDC16_A", "Audi", "A4", "Audi A4 2.0 TDI"));
    key.AddDriver(MakeDriver("ME7_F", "Fiat", "Punto", "Fiat Punto 1.2"));
    fixture::Driver user = MakeDriver("USR_1", "Fiat", "Panda", "Panda utente");
    user.user = true;
    key.AddDriver(user);
    fixture::Driver missing = MakeDriver("NODL", "Fiat", "Doblo", "Non scaricato");
    missing.downloaded = false;
    key.AddDriver(missing);
  }

  std::string OriFile(const std::string& name) const {
    return key.keyFolder() + "/Database/ORI/" + name;
  }
  std::string ModFile(const std::string& name) const {
    return key.keyFolder() + "/Database/MOD/" + name;
  }
  // A stored file as registration writes it: one entry named like the file.
  static void StoreArchive(const std::string& file, const std::string& entry,
                           const std::string& content) {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(file)) << zip.lastError();
    ASSERT_TRUE(zip.addStream(CBrennowZip::Wide(entry),
                              std::vector<unsigned char>(content.begin(), content.end())))
        << zip.lastError();
    ASSERT_TRUE(zip.closeArchive()) << zip.lastError();
  }
  // An original registered from a file named path, stored as an archive.
  void RegisteredOriginal(int id, const std::string& driver, const std::string& path,
                          const std::string& content, const std::string& note = "nota") {
    key.AddOriginalRow(id, driver, note, path, "MD5-" + std::to_string(id));
    StoreArchive(OriFile(std::to_string(id) + ".ori"), std::to_string(id) + ".ori", content);
  }
  void RegisteredModified(int id, int original, const std::string& path, const std::string& content,
                          const std::string& note = "mod") {
    key.AddModifiedRow(id, original, note, path, "MMD5-" + std::to_string(id));
    StoreArchive(ModFile(std::to_string(id) + ".mod"), std::to_string(id) + ".mod", content);
  }

  // "Gestione File", then "Cerca" with both boxes back on "<Seleziona>".
  void SearchAll() {
    ui()->BTN_DB_EXPORT->click();
    Pick(ui()->MarcaDB, 1);
    ui()->BTN_DB_EXPORT->click();
    ASSERT_EQ(ui()->MarcaDB->currentIndex(), 0);
    ASSERT_TRUE(ui()->BTN_db_search->isEnabled());
    ui()->BTN_db_search->click();
  }
  static QTreeWidgetItem* RowWithId(QTreeWidget* list, int idColumn, const QString& id) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      if (list->topLevelItem(i)->text(idColumn) == id) return list->topLevelItem(i);
    return nullptr;
  }
  void SelectOriginal(const QString& id) {
    QTreeWidgetItem* row = RowWithId(ui()->DBListORI, 4, id);
    ASSERT_NE(row, nullptr) << id.toStdString();
    ui()->DBListORI->setCurrentItem(row);
  }
  void SelectModified(const QString& id) {
    QTreeWidgetItem* row = RowWithId(ui()->MOD_LIST, 3, id);
    ASSERT_NE(row, nullptr) << id.toStdString();
    ui()->MOD_LIST->setCurrentItem(row);
  }
  bool OriginalButtons(bool del, bool exp, bool show) {
    return ui()->Btn_Del_Ori->isEnabled() == del && ui()->BTN_Export->isEnabled() == exp &&
           ui()->BTN_Show_Mod->isEnabled() == show;
  }
  // Exports the selected original to target and gives the bytes written.
  std::string ExportOriginalTo(const std::string& target) {
    prompts.answerSave(QString::fromStdString(target));
    ui()->BTN_Export->click();
    return QFileInfo::exists(QString::fromStdString(target)) ? fixture::ReadFile(target)
                                                             : std::string();
  }
};

TEST_F(ManageTest, SearchWithoutChoiceListsEveryOriginalWhoseDriverExists) {
  RegisteredOriginal(1, "EDC16_A", "audi.bin", fixture::EcuImage(1, 512));
  key.AddOriginalRow(2, "ME7_F", "", "punto.bin", "X2");  // no stored file
  RegisteredOriginal(3, "NODL", "doblo.bin", "abc");
  RegisteredOriginal(4, "USR_1", "panda.bin", "abc");
  RegisteredOriginal(5, "GONE", "orfano.bin", "abc");  // driver not in DRIVERS
  SearchAll();

  QTreeWidget* list = ui()->DBListORI;
  EXPECT_EQ(Column(list, 4), QStringList({"1", "2", "3", "4"}));
  EXPECT_EQ(Column(list, 0), QStringList({"audi.bin", "punto.bin", "doblo.bin", "panda.bin"}));
  EXPECT_EQ(Column(list, 1),
            QStringList({"Audi A4 2.0 TDI", "Fiat Punto 1.2", "Non scaricato", "Panda utente"}));
  EXPECT_EQ(Column(list, 2), QStringList({"EDC16_A", "ME7_F", "NODL", "USR_1"}));
  EXPECT_EQ(Column(list, 3).front().size(), 19);  // YYYY-MM-DD HH:MM:SS as stored
  // Green only with the driver fetched, its .DRT/.DRU present and the stored file there.
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(0)), 1);
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(1)), 0);
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(2)), 0);
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(3)), 1);
  EXPECT_TRUE(list->isColumnHidden(4));
  EXPECT_FALSE(ui()->PNL_Search_DB->isVisible());
  EXPECT_TRUE(list->isEnabled());
  EXPECT_TRUE(OriginalButtons(false, false, false));

  // Brand and model narrow the search; a brand lists only its models with originals.
  Pick(ui()->MarcaDB, ui()->MarcaDB->findText("Fiat"));
  EXPECT_EQ(Items(ui()->ModelloDB), QStringList({"<Seleziona>", "Doblo", "Panda", "Punto"}));
  Pick(ui()->ModelloDB, 2);
  ui()->BTN_db_search->click();
  EXPECT_EQ(Column(list, 4), QStringList({"4"}));
  Pick(ui()->MarcaDB, 0);
  EXPECT_FALSE(ui()->BTN_db_search->isEnabled());
  EXPECT_FALSE(ui()->ModelloDB->isEnabled());
  EXPECT_EQ(Items(ui()->ModelloDB), QStringList({"<Seleziona>"}));
}

TEST_F(ManageTest, NoMatchShowsThePlaceholderAndARefillDisablesTheButtons) {
  RegisteredOriginal(1, "EDC16_A", "audi.bin", "abc");
  SearchAll();
  SelectOriginal("1");
  ASSERT_TRUE(OriginalButtons(true, true, false));

  // A typed model that no driver has.
  Pick(ui()->MarcaDB, 1);
  ui()->ModelloDB->setEditText("Quattro");
  ui()->BTN_db_search->click();
  QTreeWidget* list = ui()->DBListORI;
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "Nessun file originale trovato.");
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(0)), 0);
  EXPECT_TRUE(OriginalButtons(false, false, false));
  list->setCurrentItem(list->topLevelItem(0));
  EXPECT_TRUE(OriginalButtons(false, false, false));
  // Commands that need a row do nothing without one.
  Window().BTN_ExportClick();
  Window().Btn_Del_OriClick();
  Window().BTN_Show_ModClick();
  EXPECT_TRUE(prompts.saveProposals.isEmpty());
  EXPECT_TRUE(prompts.messages.isEmpty());
  EXPECT_EQ(key.Scalar("select count(*) from ori;"), "1");
  EXPECT_TRUE(ui()->PNL_MNG_DB->isVisibleTo(&Window()));
}

TEST_F(ManageTest, SelectionEnablesByTheOriginalsCountsAndShowsItsNote) {
  RegisteredOriginal(1, "EDC16_A", "solo.bin", "abc", fixture::ToCp1252("prima riga\r\nè seconda"));
  RegisteredOriginal(2, "EDC16_A", "conmod.bin", "abc");
  RegisteredModified(1, 2, "mod.bin", "xyz");
  key.AddOriginalRow(3, "EDC16_A", "", "senzafile.bin", "X3");
  SearchAll();

  SelectOriginal("1");
  EXPECT_TRUE(OriginalButtons(true, true, false));
  EXPECT_EQ(ui()->MemoDesc->toPlainText(), QString::fromUtf8("prima riga\nè seconda"));
  EXPECT_EQ(Window().selectedOriginalId(), "1");

  SelectOriginal("3");
  EXPECT_TRUE(OriginalButtons(true, false, false));
  EXPECT_EQ(ui()->MemoDesc->toPlainText(), "");

  SelectOriginal("2");
  EXPECT_TRUE(OriginalButtons(true, true, true));
  ui()->Btn_Del_Ori->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1037)}));
  EXPECT_TRUE(prompts.questions.isEmpty());
  EXPECT_EQ(key.Scalar("select count(*) from ori where id_ori=2;"), "1");
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(OriFile("2.ori"))));

  ui()->DBListORI->clearSelection();
  EXPECT_TRUE(OriginalButtons(false, false, false));
}

TEST_F(ManageTest, AnOriginalWithModifiedFilesIsNeverDeleted) {
  RegisteredOriginal(1, "EDC16_A", "a.bin", "abc");
  SearchAll();
  SelectOriginal("1");
  ASSERT_TRUE(OriginalButtons(true, true, false));
  // Registered while the selection stayed: the count taken then is stale.
  RegisteredModified(7, 1, "tardi.bin", "xyz");
  ui()->Btn_Del_Ori->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1037)}));
  EXPECT_TRUE(prompts.questions.isEmpty());
  EXPECT_EQ(key.Scalar("select count(*) from ori;"), "1");
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(OriFile("1.ori"))));
  EXPECT_TRUE(ui()->BTN_Show_Mod->isEnabled());

  // With the modified file gone, the original goes (after the question).
  key.Exec("delete from mod;");
  prompts.answerQuestion(1);
  ui()->Btn_Del_Ori->click();
  EXPECT_EQ(prompts.questions, QStringList({Msg(1070)}));
  EXPECT_EQ(key.Scalar("select count(*) from ori;"), "0");
}

TEST_F(ManageTest, RegisteredOriginalIsExportedFromItsEntryUnderItsOwnName) {
  const std::string content = fixture::EcuImage(7, 70000);
  RegisteredOriginal(12, "EDC16_A", "Golf 1.9.bin", content);
  // A decoy entry: only the one named like the stored file is the original.
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(OriFile("12.ori")));
    ASSERT_TRUE(zip.addStream(L"altro.bin", std::vector<unsigned char>(10, 'x')));
    ASSERT_TRUE(zip.closeArchive());
  }
  const std::string stored = fixture::ReadFile(OriFile("12.ori"));
  SearchAll();
  SelectOriginal("12");
  const std::string target = drive / "export.bin";
  fixture::WriteFile(target, "old content that is longer than nothing");

  EXPECT_EQ(ExportOriginalTo(target), content);
  EXPECT_EQ(prompts.saveProposals, QStringList({"Golf 1.9.bin"}));
  EXPECT_EQ(prompts.saveFilters, QStringList({QString()}));
  // Replaced without a question; the stored archive is only read.
  EXPECT_TRUE(prompts.questions.isEmpty());
  EXPECT_TRUE(prompts.messages.isEmpty());
  EXPECT_EQ(fixture::ReadFile(OriFile("12.ori")), stored);

  // A cancelled dialog writes nothing.
  fixture::WriteFile(target, "keep");
  prompts.answerSave(QString());
  ui()->BTN_Export->click();
  EXPECT_EQ(fixture::ReadFile(target), "keep");
}

TEST_F(ManageTest, PlainStoredFilesAreExportedUnchangedUnderTheirStoredName) {
  // Marker rows carry the file's own name in NOMEFILE; their stored files
  // are plain data, whatever their length.
  const std::string accented = fixture::ToCp1252("Originale è.bin");
  const struct {
    int id;
    std::string content;
  } cases[] = {{1, std::string("\x00\x01\x02PK\xff", 6)}, {2, ""}, {3, "P"}};
  for (const auto& c : cases) {
    const std::string name = c.id == 1 ? accented : "plain" + std::to_string(c.id) + ".bin";
    key.AddOriginalRow(c.id, "EDC16_A", "", "DataBase\\Original\\", "M" + std::to_string(c.id));
    key.Exec("update ori set nomefile='" + name + "' where id_ori=" + std::to_string(c.id) + ";");
    fixture::WriteFile(OriFile(QString::fromLatin1(name.c_str()).toUtf8().toStdString()),
                       c.content);
  }
  // Differs from the marker in case only: listed and proposed under PATH.
  key.AddOriginalRow(4, "EDC16_A", "", "database\\original\\", "M4");
  fixture::WriteFile(OriFile("4.ori"), "dati");
  SearchAll();
  EXPECT_EQ(Column(ui()->DBListORI, 0),
            QStringList({QString::fromUtf8("Originale è.bin"), "plain2.bin", "plain3.bin",
                         "database\\original\\"}));

  for (const auto& c : cases) {
    SelectOriginal(QString::number(c.id));
    ASSERT_TRUE(ui()->BTN_Export->isEnabled()) << c.id;
    const std::string target = drive / ("out" + std::to_string(c.id));
    EXPECT_EQ(ExportOriginalTo(target), c.content) << c.id;
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(target))) << c.id;
  }
  SelectOriginal("4");
  EXPECT_EQ(ExportOriginalTo(drive / "out4"), "dati");
  EXPECT_EQ(prompts.saveProposals, QStringList({QString::fromUtf8("Originale è.bin"), "plain2.bin",
                                                "plain3.bin", "database\\original\\"}));
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(ManageTest, UnreadableArchiveIsReportedBeforeAnyDialogAndNothingIsWritten) {
  key.AddOriginalRow(1, "EDC16_A", "", "rotto.bin", "M1");
  const std::string damaged = std::string("PK\x03\x04", 4) + "not really an archive";
  fixture::WriteFile(OriFile("1.ori"), damaged);
  // A sound archive that lacks the entry named like it.
  key.AddOriginalRow(2, "EDC16_A", "", "senza.bin", "M2");
  StoreArchive(OriFile("2.ori"), "altro.ori", "abc");
  const std::string second = fixture::ReadFile(OriFile("2.ori"));
  SearchAll();
  const std::string target = drive / "target.bin";
  fixture::WriteFile(target, "before");

  for (const char* id : {"1", "2"}) {
    prompts.messages.clear();
    SelectOriginal(id);
    ui()->BTN_Export->click();
    ASSERT_EQ(prompts.messages.size(), 1) << id;
    EXPECT_TRUE(prompts.messages[0].startsWith(Msg(1073))) << prompts.messages[0].toStdString();
    EXPECT_GT(prompts.messages[0].size(), Msg(1073).size() + 1);
  }
  EXPECT_TRUE(prompts.saveProposals.isEmpty());
  EXPECT_EQ(fixture::ReadFile(target), "before");
  EXPECT_EQ(fixture::ReadFile(OriFile("1.ori")), damaged);
  EXPECT_EQ(fixture::ReadFile(OriFile("2.ori")), second);
  EXPECT_TRUE(ui()->DBListORI->isEnabled());
  EXPECT_TRUE(ui()->BTN_Export->isEnabled());
}

TEST_F(ManageTest, FailedWriteLeavesTheExistingTargetAsItWas) {
  const std::string content = fixture::EcuImage(3, 256 * 1024);
  RegisteredOriginal(1, "EDC16_A", "grande.bin", content);
  SearchAll();
  SelectOriginal("1");
  const std::string target = drive / "target.bin";
  fixture::WriteFile(target, "previous export");

#ifdef _WIN32
  // Another program holds the target: the finished copy cannot replace it.
  {
    fixture::UndeletableFile held(target);
    ASSERT_TRUE(held.holds());
    prompts.answerSave(QString::fromStdString(target));
    ui()->BTN_Export->click();
  }
#else
  // Files may grow to 64 KiB only: the write fails midway, also for root.
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  prompts.answerSave(QString::fromStdString(target));
  ui()->BTN_Export->click();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);
#endif

  ASSERT_EQ(prompts.messages.size(), 1);
  EXPECT_TRUE(prompts.messages[0].startsWith(Msg(1073)));
  EXPECT_EQ(fixture::ReadFile(target), "previous export");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(drive.path()))
    files += entry.path().filename().string().rfind("target", 0) == 0 ? 1 : 0;
  EXPECT_EQ(files, 1);
}

TEST_F(ManageTest, DeletingAnOriginalRemovesItsFileAndRefreshesTheBrands) {
  RegisteredOriginal(1, "EDC16_A", "audi.bin", "abc");
  RegisteredOriginal(2, "ME7_F", "fiat.bin", "def");
  SearchAll();
  ASSERT_EQ(Items(ui()->MarcaDB), QStringList({"<Seleziona>", "Audi", "Fiat"}));
  ui()->TB_ORI_FILE->setText("/somewhere/original.bin");
  SelectOriginal("2");

  // Cancel changes nothing.
  prompts.answerQuestion(2);
  ui()->Btn_Del_Ori->click();
  EXPECT_EQ(key.Scalar("select count(*) from ori;"), "2");
  EXPECT_TRUE(prompts.messages.isEmpty());

  prompts.answerQuestion(1);
  ui()->Btn_Del_Ori->click();
  EXPECT_EQ(prompts.questions, QStringList({Msg(1070), Msg(1070)}));
  EXPECT_EQ(prompts.messages, QStringList({Msg(1039)}));
  EXPECT_EQ(key.Scalar("select count(*) from ori where id_ori=2;"), "0");
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(OriFile("2.ori"))));
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(OriFile("1.ori"))));
  EXPECT_EQ(ui()->DBListORI->topLevelItemCount(), 0);
  EXPECT_EQ(ui()->MemoDesc->toPlainText(), "");
  EXPECT_EQ(ui()->TB_ORI_FILE->text(), "");
  EXPECT_TRUE(OriginalButtons(false, false, false));
  EXPECT_FALSE(ui()->BTN_db_search->isEnabled());
  EXPECT_EQ(Items(ui()->MarcaDB), QStringList({"<Seleziona>", "Audi"}));
  EXPECT_EQ(Items(ui()->MarcaORI), QStringList({"<Seleziona>", "Audi"}));
  EXPECT_EQ(Items(ui()->ModelloDB), QStringList({"<Seleziona>"}));
}

TEST_F(ManageTest, StoredFileThatCannotBeRemovedIsReported) {
  RegisteredOriginal(1, "EDC16_A", "audi.bin", "abc");
  bool held = false;
  {
    fixture::UndeletableFile stored(OriFile("1.ori"));
    held = stored.holds();
    if (held) {
      SearchAll();
      SelectOriginal("1");
      prompts.answerQuestion(1);
      ui()->Btn_Del_Ori->click();
    }
  }
  if (!held) GTEST_SKIP() << "cannot make the stored file undeletable here";

  ASSERT_EQ(prompts.messages.size(), 1);
  EXPECT_TRUE(prompts.messages[0].startsWith(Msg(1072)));
  EXPECT_FALSE(prompts.messages.contains(Msg(1039)));
  EXPECT_EQ(key.Scalar("select count(*) from ori;"), "0");
  EXPECT_EQ(ui()->DBListORI->topLevelItemCount(), 0);
}

TEST_F(ManageTest, ModifiedFilesPanelListsExportsAndDeletes) {
  RegisteredOriginal(1, "EDC16_A", "golf.bin", "abc", "nota\r\noriginale");
  const std::string modContent = fixture::EcuImage(9, 4000);
  RegisteredModified(1, 1, "stage1.bin", modContent, "potenza\r\n+20");
  key.AddModifiedRow(2, 1, "senza file", "stage2.bin", "MM2");
  key.AddModifiedRow(3, 1, "marker", "DataBase\\Modified\\", "MM3");
  key.Exec("update mod set nomefile='stage3.bin' where id_mod=3;");
  fixture::WriteFile(ModFile("stage3.bin"), "plain");
  SearchAll();
  SelectOriginal("1");
  ui()->BTN_Show_Mod->click();

  EXPECT_TRUE(ui()->PNL_MNG_DB_MOD->isVisibleTo(&Window()));
  EXPECT_FALSE(ui()->PNL_MNG_DB->isVisibleTo(&Window()));
  EXPECT_EQ(ui()->TE_DB_MNG_MOD->text(), "EDC16_A - Audi A4 2.0 TDI");
  EXPECT_EQ(ui()->TE_DB_MNG_ORI->text(), "golf.bin");
  EXPECT_EQ(ui()->TE_DB_MNG_LASTMOD->text().size(), 19);
  EXPECT_EQ(ui()->Memo_Desc_ori_Db->toPlainText(), "nota\noriginale");
  QTreeWidget* list = ui()->MOD_LIST;
  EXPECT_EQ(Column(list, 0), QStringList({"stage1.bin", "stage2.bin", "stage3.bin"}));
  EXPECT_EQ(Column(list, 1), QStringList({"potenza +20", "senza file", "marker"}));
  EXPECT_EQ(Column(list, 3), QStringList({"1", "2", "3"}));
  EXPECT_TRUE(list->isColumnHidden(3));
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(0)), 1);
  EXPECT_EQ(TForm2::RowImage(list->topLevelItem(1)), 0);
  EXPECT_FALSE(ui()->BTN_DB_MOD_EXP->isEnabled());
  EXPECT_FALSE(ui()->BTN_DEL_MOD->isEnabled());

  // Missing stored file: neither export nor delete.
  SelectModified("2");
  EXPECT_FALSE(ui()->BTN_DB_MOD_EXP->isEnabled());
  EXPECT_FALSE(ui()->BTN_DEL_MOD->isEnabled());

  SelectModified("1");
  ASSERT_TRUE(ui()->BTN_DB_MOD_EXP->isEnabled());
  const std::string stored = fixture::ReadFile(ModFile("1.mod"));
  prompts.answerSave(QString::fromStdString(drive / "m1.bin"));
  ui()->BTN_DB_MOD_EXP->click();
  EXPECT_EQ(fixture::ReadFile(drive / "m1.bin"), modContent);
  EXPECT_EQ(fixture::ReadFile(ModFile("1.mod")), stored);
  SelectModified("3");
  prompts.answerSave(QString::fromStdString(drive / "m3.bin"));
  ui()->BTN_DB_MOD_EXP->click();
  EXPECT_EQ(fixture::ReadFile(drive / "m3.bin"), "plain");
  EXPECT_EQ(prompts.saveProposals, QStringList({"stage1.bin", "stage3.bin"}));

  // Deleting refreshes the list; the last one leaves it empty.
  SelectModified("1");
  prompts.answerQuestion(1);
  ui()->BTN_DEL_MOD->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1039)}));
  EXPECT_EQ(prompts.questions, QStringList({Msg(1071)}));
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(ModFile("1.mod"))));
  EXPECT_EQ(Column(list, 3), QStringList({"2", "3"}));
  EXPECT_FALSE(ui()->BTN_DEL_MOD->isEnabled());
  key.Exec("delete from mod where id_mod=2;");
  SelectModified("3");
  prompts.answerQuestion(1);
  ui()->BTN_DEL_MOD->click();
  EXPECT_EQ(list->topLevelItemCount(), 0);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(ModFile("stage3.bin"))));
  EXPECT_EQ(key.Scalar("select count(*) from mod;"), "0");
  EXPECT_TRUE(ui()->PNL_MNG_DB_MOD->isVisibleTo(&Window()));
}

TEST_F(ManageTest, OriginalGoneShows1038AndBackRestoresBothPanels) {
  RegisteredOriginal(1, "EDC16_A", "golf.bin", "abc");
  RegisteredModified(1, 1, "stage1.bin", "xyz");
  SearchAll();
  SelectOriginal("1");
  ui()->BTN_Show_Mod->click();
  ASSERT_EQ(ui()->MOD_LIST->topLevelItemCount(), 1);

  // Back: the originals panel as it was, the identification panel reset.
  ui()->TB_ORI_FILE->setText("/x/y.bin");
  new QTreeWidgetItem(ui()->DrvList, QStringList({"drv"}));
  ui()->Button6->click();
  EXPECT_TRUE(ui()->PNL_MNG_DB->isVisibleTo(&Window()));
  EXPECT_FALSE(ui()->PNL_MNG_DB_MOD->isVisibleTo(&Window()));
  EXPECT_EQ(ui()->DBListORI->currentItem()->text(4), "1");
  EXPECT_TRUE(OriginalButtons(true, true, true));
  EXPECT_EQ(ui()->TB_ORI_FILE->text(), "");
  EXPECT_EQ(ui()->DrvList->topLevelItemCount(), 0);
  EXPECT_EQ(ui()->MarcaCB->currentIndex(), 0);

  key.Exec("delete from drivers where nomefile='EDC16_A';");
  ui()->BTN_Show_Mod->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1038)}));
  EXPECT_TRUE(ui()->PNL_MNG_DB_MOD->isVisibleTo(&Window()));
  EXPECT_EQ(ui()->MOD_LIST->topLevelItemCount(), 1);  // unchanged
  EXPECT_EQ(ui()->TE_DB_MNG_ORI->text(), "golf.bin");
}

TEST_F(ManageTest, CloseEmptiesTheOriginalsPanel) {
  RegisteredOriginal(1, "EDC16_A", "golf.bin", "abc", "nota");
  SearchAll();
  SelectOriginal("1");
  ui()->BTN_Close->click();
  EXPECT_FALSE(ui()->PNL_MNG_DB->isVisibleTo(&Window()));
  EXPECT_EQ(ui()->DBListORI->topLevelItemCount(), 0);
  EXPECT_EQ(ui()->MemoDesc->toPlainText(), "");
  EXPECT_TRUE(OriginalButtons(false, false, false));
  EXPECT_TRUE(ui()->BTN_db_search->isEnabled());
  ui()->BTN_DB_EXPORT->click();
  EXPECT_TRUE(ui()->PNL_MNG_DB->isVisibleTo(&Window()));
}

TEST_F(ManageTest, ListFillsTakeNoOtherCommandDuringTheirEventTurns) {
  RegisteredOriginal(1, "EDC16_A", "a.bin", "abc");
  RegisteredOriginal(2, "EDC16_A", "b.bin", "abc");
  RegisteredModified(1, 1, "m.bin", "xyz");
  RegisteredModified(2, 1, "n.bin", "xyz");
  ui()->BTN_DB_EXPORT->click();
  Pick(ui()->MarcaDB, 1);
  // What the user could reach while the list fills, sampled in its turn.
  QStringList enabledDuringFill;
  auto sample = [&] {
    QTimer::singleShot(0, &Window(), [&] {
      for (QWidget* w :
           QList<QWidget*>{ui()->BTN_Close, ui()->BTN_db_search, ui()->DBListORI, ui()->MarcaDB,
                           ui()->BTN_DB_CLOSE, ui()->BTN_DB_ORI, ui()->Button6, ui()->MOD_LIST})
        if (w->isEnabled()) enabledDuringFill << w->objectName();
      ui()->BTN_Close->click();
      ui()->Button6->click();
    });
  };
  sample();
  ui()->BTN_db_search->click();
  EXPECT_TRUE(enabledDuringFill.isEmpty()) << enabledDuringFill.join(' ').toStdString();
  EXPECT_EQ(ui()->DBListORI->topLevelItemCount(), 2);
  EXPECT_TRUE(ui()->PNL_MNG_DB->isVisibleTo(&Window()));
  for (QWidget* w : QList<QWidget*>{ui()->BTN_Close, ui()->BTN_db_search, ui()->DBListORI,
                                    ui()->MarcaDB, ui()->BTN_DB_CLOSE, ui()->BTN_DB_ORI})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(Window().searching());

  SelectOriginal("1");
  sample();
  ui()->BTN_Show_Mod->click();
  EXPECT_TRUE(enabledDuringFill.isEmpty()) << enabledDuringFill.join(' ').toStdString();
  EXPECT_EQ(ui()->MOD_LIST->topLevelItemCount(), 2);
  EXPECT_TRUE(ui()->PNL_MNG_DB_MOD->isVisibleTo(&Window()));
  EXPECT_TRUE(ui()->MOD_LIST->isEnabled());
  EXPECT_TRUE(ui()->Button6->isEnabled());
}

// Pictures of both panels with rows; QUOR_PICTURE_DIR keeps them.
TEST_F(ManageTest, PicturesOfBothPanelsWithRows) {
  RegisteredOriginal(1, "EDC16_A", "golf.bin", "abc", "Golf 1.9 TDI\r\nStage 1");
  RegisteredOriginal(2, "ME7_F", "punto.bin", "def");
  key.AddOriginalRow(3, "NODL", "", "doblo.bin", "X3");
  RegisteredModified(1, 1, "stage1.bin", "xyz", "Potenza +20");
  key.AddModifiedRow(2, 1, "Senza file", "stage2.bin", "MM2");
  const QByteArray kept = qgetenv("QUOR_PICTURE_DIR");
  fixture::TempDir scratch;
  const QString folder = kept.isEmpty() ? QString::fromStdString(scratch.path()) : QString(kept);

  SearchAll();
  SelectOriginal("1");
  const QString originals = folder + "/dbwindow-manage-originals.png";
  ASSERT_TRUE(SaveWindowPicture(&Window(), originals));
  ui()->BTN_Show_Mod->click();
  SelectModified("1");
  const QString modified = folder + "/dbwindow-manage-modified.png";
  ASSERT_TRUE(SaveWindowPicture(&Window(), modified));
  for (const QString& path : {originals, modified}) {
    const QImage picture(path);
    EXPECT_EQ(picture.size(), QSize(762, 386)) << path.toStdString();
  }
  EXPECT_NE(QImage(originals), QImage(modified));
}

}  // namespace

// A driver's name or an original's name starts its field; a path shows its
// file name, the end, and the whole path as tooltip: a technician sees what
// matters in texts too long for their fields.
TEST_F(ManageTest, FieldsShowNamesFromTheirBeginningAndPathsFromTheirFileName) {
  key.AddDriver(MakeDriver("EDC17_LUNGO", "Audi", "A6",
                           "Audi A6 3.0 TDI quattro 240cv Euro 5 centralina Bosch EDC17CP14 "
                           "con mappa originale di fabbrica e lettura via OBD e BDM"));
  RegisteredOriginal(1, "EDC17_LUNGO", "originale.bin", "abc");
  RegisteredModified(1, 1, "mod.bin", "xyz");
  SearchAll();
  SelectOriginal("1");
  ui()->BTN_Show_Mod->click();
  QLineEdit* driver = ui()->TE_DB_MNG_MOD;
  ASSERT_TRUE(driver->text().startsWith("EDC17_LUNGO - Audi A6"));
  ASSERT_GT(driver->fontMetrics().horizontalAdvance(driver->text()), driver->width());
  EXPECT_EQ(driver->cursorPosition(), 0);

  const std::string folder =
      drive.path() + "/una cartella dal nome molto lungo/e un'altra ancora più lunga della prima";
  std::filesystem::create_directories(folder);
  const std::string file = folder + "/modificato_finale.bin";
  fixture::WriteFile(file, "modificato");
  const QString path = QString::fromStdString(file);
  prompts.answerOpen(path);
  ui()->BTN_DB_MOD->click();
  ui()->Button2->click();
  QLineEdit* field = ui()->TB_MOD_FILE;
  ASSERT_EQ(field->text(), path);
  ASSERT_GT(field->fontMetrics().horizontalAdvance(path), field->width());
  EXPECT_EQ(field->cursorPosition(), path.size());
  EXPECT_EQ(field->toolTip(), path);

  ui()->BTN_ANNULLA->click();
  EXPECT_TRUE(field->text().isEmpty());
  EXPECT_TRUE(field->toolTip().isEmpty());
}

// On a real display the window manager activates the window and the user
// reaches the field with Tab, which selects its text: the driver's name,
// at the field's start, must still be what shows, with the caret there.
TEST_F(ManageTest, OnScreenDriverFieldShowsTheNameAfterTabGaveItFocus) {
  REQUIRE_REAL_DISPLAY();
  key.AddDriver(
      MakeDriver("M34_PUNTO", "Fiat", "Punto", "M3.4 1.3 Multijet 90cv - mappa più reattiva"));
  RegisteredOriginal(1, "M34_PUNTO", "originale.bin", "abc");
  RegisteredModified(1, 1, "mod.bin", "xyz");
  ASSERT_TRUE(fixture::ShowActivated(&Window()));
  SearchAll();
  SelectOriginal("1");
  ui()->BTN_Show_Mod->click();
  QLineEdit* driver = ui()->TE_DB_MNG_MOD;
  ASSERT_TRUE(driver->text().startsWith("M34_PUNTO - M3.4 1.3 Multijet"))
      << driver->text().toStdString();
  ASSERT_GT(driver->fontMetrics().horizontalAdvance(driver->text()), driver->width());

  for (int i = 0; i < 100 && QApplication::focusWidget() != driver; ++i) {
    QWidget* from = QApplication::focusWidget() ? QApplication::focusWidget() : &Window();
    QTest::keyClick(from, Qt::Key_Tab);
  }
  ASSERT_EQ(QApplication::focusWidget(), driver) << "Tab never reached the driver field";
  QTest::qWait(50);  // what the window manager and the field do with the focus
  EXPECT_EQ(driver->cursorPosition(), 0);
  EXPECT_LT(driver->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 8)
      << "the field is scrolled away from its start";
  // Tab away and back: the start stays in view.
  QTest::keyClick(driver, Qt::Key_Tab);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
  ASSERT_EQ(QApplication::focusWidget(), driver);
  EXPECT_EQ(driver->cursorPosition(), 0);
}
