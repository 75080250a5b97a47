// Registering an original on the real window: the confirmation panel, the
// driver reservation and the stored archive with its row.
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "app/kit/Texts.h"
#include "dbwindow/Hash_algorithms.h"
#include "tests/dbwindow/DbWindowFixture.h"

namespace {

namespace fs = std::filesystem;

class RegisterTest : public DbWindowTest {
 protected:
  RegisterTest() {
    content = fixture::EcuImage(7, 4096);
    originalPath = drive / "original.bin";
    fixture::WriteFile(originalPath, content);
  }

  fixture::Driver Matching(const std::string& name) const {
    fixture::Driver d;
    d.nomefile = name;
    d.marca = "Fiat";
    d.modello = "Punto";
    d.descrizione = "Driver " + name;
    d.start = 0;
    d.end = 512;
    d.md5 = TUEDC16::HashBuffer(content.data(), 512);
    return d;
  }
  fixture::Driver Unavailable(const std::string& name, bool user = false) const {
    fixture::Driver d = Matching(name);
    d.downloaded = false;
    d.writeFile = false;
    d.user = user;
    return d;
  }

  void Open(const std::string& path) {
    prompts.answerOpen(QString::fromStdString(path));
    ui()->BTN_DB_openori->click();
  }
  QTreeWidgetItem* Row(const QString& name) {
    for (int i = 0; i < ui()->DrvList->topLevelItemCount(); ++i)
      if (ui()->DrvList->topLevelItem(i)->text(0) == name) return ui()->DrvList->topLevelItem(i);
    return nullptr;
  }
  void Select(const QString& name) {
    QTreeWidgetItem* row = Row(name);
    ASSERT_NE(row, nullptr) << name.toStdString();
    ui()->DrvList->setCurrentItem(row);
  }
  // "Apri ORI" on the file, the driver row selected, "Registra Originale".
  void ToConfirmation(const std::string& driver, const std::string& path) {
    Open(path);
    Select(QString::fromStdString(driver));
    ui()->BTN_Reg_ori->click();
  }
  void ToConfirmation(const std::string& driver) { ToConfirmation(driver, originalPath); }

  std::string Stored(int id) const {
    return key.keyFolder() + "/Database/ORI/" + std::to_string(id) + ".ori";
  }
  std::string OriColumn(int id, const std::string& column) const {
    return key.Scalar("select " + column + " from ORI where ID_ORI = " + std::to_string(id) + ";");
  }
  int Count(const std::string& sql) const { return std::stoi(key.Scalar(sql)); }
  int Pending() const {
    return Count(
        "select count(*) from DRV_DOWNLOAD where DOWNLOADED = 'False' and ERROR = 'False';");
  }
  void AddRequest(int id, const std::string& driver, bool error = false) const {
    key.Exec(
        "insert into DRV_DOWNLOAD (ID_REQUEST, ID_DRV_DOWNLOAD, DOWNLOADED, ERROR, REQUEST_DATE) "
        "values (" +
        std::to_string(id) + ", '" + driver + "', 'False', '" + (error ? "True" : "False") +
        "', '2020-01-01 10:00:00');");
  }
  void ExpectStored(int id, const std::string& bytes) const {
    EXPECT_EQ(StoredEntry(Stored(id), std::to_string(id) + ".ori"), bytes);
    EXPECT_EQ(OriColumn(id, "MD5"), TUEDC16::HashBuffer(bytes.data(), bytes.size()));
  }

  std::string content;
  std::string originalPath;
};

TEST_F(RegisterTest, FirstOriginalIsOneArchiveWithOneEntryAndItsRow) {
  key.AddDriver(Matching("DRV1"));
  ToConfirmation("DRV1");
  ASSERT_FALSE(ui()->Pnl_ORI2->isHidden());
  EXPECT_TRUE(ui()->Pnl_ORI1->isHidden());
  EXPECT_EQ(ui()->T_ORI_FILE_2->text().toStdString(), originalPath);
  EXPECT_EQ(ui()->T_DRIVER->text(), "DRV1");
  EXPECT_EQ(ui()->Memo_ori_2->toPlainText(), Msg(1026) + "\n" + Msg(1027));
  EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
  ui()->T_DESC->setPlainText("Punto 1.2");
  ui()->BTN_ORI_REG->click();

  EXPECT_EQ(prompts.messages, QStringList({Msg(1024)}));
  ExpectStored(1, content);
  EXPECT_EQ(OriColumn(1, "PATH"), "original.bin");
  EXPECT_EQ(OriColumn(1, "ID_DRIVER"), "DRV1");
  EXPECT_EQ(OriColumn(1, "NOTE"), "Punto 1.2");
  // Back on an empty identification panel, ready for the next file.
  EXPECT_FALSE(ui()->Pnl_ORI1->isHidden());
  EXPECT_TRUE(ui()->TB_ORI_FILE->text().isEmpty());
  EXPECT_EQ(ui()->DrvList->topLevelItemCount(), 0);
  EXPECT_TRUE(ui()->T_DESC->toPlainText().isEmpty());
}

TEST_F(RegisterTest, NextIdAfterGapsAndTextsStoredExactly) {
  key.AddDriver(Matching("DRV1"));
  for (int id : {1, 2, 5}) key.AddOriginalRow(id, "DRV1", "", "x.bin", "MD5-" + std::to_string(id));
    // Quotes of both kinds in the file name and the description register;
    // Windows file names cannot hold a double quote.
#ifdef _WIN32
  const std::string name = "d'uno due.bin";
#else
  const std::string name = "d'uno \"due\".bin";
#endif
  const std::string quoted = drive / name;
  fixture::WriteFile(quoted, content);
  ToConfirmation("DRV1", quoted);
  ui()->T_DESC->setPlainText(QString::fromUtf8("Riga l'una \"prima\"\nRiga è seconda"));
  ui()->BTN_ORI_REG->click();

  EXPECT_EQ(prompts.messages, QStringList({Msg(1024)}));
  ExpectStored(6, content);
  EXPECT_EQ(OriColumn(6, "NOMEFILE"), "6.ori");
  EXPECT_EQ(OriColumn(6, "PATH"), name);
  EXPECT_EQ(OriColumn(6, "NOTE"), fixture::ToCp1252("Riga l'una \"prima\"\r\nRiga è seconda"));
  EXPECT_EQ(Count("select count(*) from ORI;"), 4);
}

TEST_F(RegisterTest, ProposalsComeBelowWhatTheDescriptionHeld) {
  fixture::WriteFile(legacyC / "ORDALIX/Tabelle/Systab.ini",
                     "[CA]\r\noriginal.bin=Punto 1.2 benzina\r\n");
  fs::create_directories(legacyC / "ORDALIX/FileDesc");
  fixture::WriteFile(legacyC / "ORDALIX/FileDesc/original.bin", "Centralina Bosch\r\naltro\r\n");
  key.AddDriver(Matching("DRV1"));
  ToConfirmation("DRV1");
  EXPECT_EQ(ui()->T_DESC->toPlainText(), "Punto 1.2 benzina\nCentralina Bosch");
  // Left through the top bar with text in it: the text stays, the next
  // proposals follow it.
  ui()->T_DESC->setPlainText("scritto prima");
  ui()->BTN_DB_ORI->click();
  ui()->BTN_Reg_ori->click();
  EXPECT_EQ(ui()->T_DESC->toPlainText(), "scritto prima\nPunto 1.2 benzina\nCentralina Bosch");
  ui()->BTN_CANCEL_ORI->click();
  EXPECT_TRUE(ui()->T_DESC->toPlainText().isEmpty());
}

TEST_F(RegisterTest, ReservationLimitCountsPendingRowsOfAllDrivers) {
  key.AddDriver(Unavailable("MISS"));
  for (int id = 1; id <= 5; ++id) AddRequest(id, "OTHER" + std::to_string(id));
  // A failed download of this driver is not pending: it is reserved again.
  AddRequest(9, "MISS", /*error=*/true);
  ToConfirmation("MISS");
  EXPECT_EQ(prompts.messages, QStringList({Msg(1020)}));
  EXPECT_EQ(Pending(), 6);
  EXPECT_EQ(key.Scalar("select ID_REQUEST || ' ' || DOWNLOADED || ' ' || ERROR || ' ' || "
                       "(REQUEST_DATE like '____-__-__ __:__:__') from DRV_DOWNLOAD "
                       "where ID_DRV_DOWNLOAD = 'MISS' and ERROR = 'False';"),
            "10 False False 1");
  EXPECT_FALSE(ui()->Pnl_ORI2->isHidden());

  // With 6 pending the next one is refused; registering still works.
  key.AddDriver(Unavailable("MISS2"));
  ui()->BTN_CANCEL_ORI->click();
  prompts.messages.clear();
  ToConfirmation("MISS2");
  EXPECT_EQ(prompts.messages, QStringList({Msg(1022)}));
  EXPECT_EQ(Count("select count(*) from DRV_DOWNLOAD;"), 7);
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1024));
  EXPECT_EQ(OriColumn(1, "ID_DRIVER"), "MISS2");
}

TEST_F(RegisterTest, NoSecondReservationAndNoneForUserOrAvailableDrivers) {
  key.AddDriver(Unavailable("MISS"));
  key.AddDriver(Unavailable("MINE", /*user=*/true));
  key.AddDriver(Matching("HERE"));
  AddRequest(3, "MISS");
  ToConfirmation("MISS");
  EXPECT_EQ(prompts.messages, QStringList({Msg(1020)}));
  EXPECT_EQ(Count("select count(*) from DRV_DOWNLOAD;"), 1);

  for (const char* name : {"MINE", "HERE"}) {
    ui()->BTN_CANCEL_ORI->click();
    prompts.messages.clear();
    Select(name);
    ui()->BTN_Reg_ori->click();
    EXPECT_FALSE(ui()->Pnl_ORI2->isHidden()) << name;
    EXPECT_TRUE(prompts.messages.isEmpty()) << name;
  }
  EXPECT_EQ(Count("select count(*) from DRV_DOWNLOAD;"), 1);
}

TEST_F(RegisterTest, ReservationInsertFailureIsToldAndRegistrationGoesOn) {
  key.AddDriver(Unavailable("MISS"));
  key.Exec(
      "CREATE TRIGGER no_requests BEFORE INSERT ON DRV_DOWNLOAD BEGIN SELECT RAISE(ABORT,'x'); "
      "END;");
  ToConfirmation("MISS");
  EXPECT_EQ(prompts.messages, QStringList({Msg(1020), Msg(1021)}));
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1024));
  EXPECT_EQ(Count("select count(*) from DRV_DOWNLOAD;"), 0);
}

TEST_F(RegisterTest, EachRefusalIsToldAndTheConfirmationStaysAsItWas) {
  // What the key's changes refuse is covered below the window; here, what
  // the user sees of each refusal.
  key.AddDriver(Unavailable("MISS"));
  key.Exec("CREATE TRIGGER no_ori BEFORE INSERT ON ORI BEGIN SELECT RAISE(ABORT,'x'); END;");
  ToConfirmation("MISS");
  ui()->T_DESC->setPlainText("descrizione");
  ui()->BTN_ORI_REG->click();  // the row cannot be inserted
  fs::remove(originalPath);
  ui()->BTN_ORI_REG->click();  // the file vanished
  fixture::WriteFile(originalPath, content);
  key.Exec("DROP TRIGGER no_ori;");
  key.AddOriginalRow(2147483647, "MISS", "", "last.bin", "LASTMD5");
  AddRequest(2147483647, "OTHER", /*error=*/true);
  ui()->BTN_ORI_REG->click();  // no id left
  ui()->BTN_CANCEL_ORI->click();
  key.Exec("UPDATE DRV_DOWNLOAD SET ERROR = 'True';");
  ToConfirmation("MISS");  // no id left for the reservation either

  EXPECT_EQ(prompts.messages,
            QStringList({Msg(1020), Msg(1023), Msg(1025), Msg(1079), Msg(1020), Msg(1079)}));
  EXPECT_EQ(Count("select count(*) from ORI;"), 1);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/ORI"));
  EXPECT_FALSE(ui()->Pnl_ORI2->isHidden());
  EXPECT_TRUE(ui()->PNL_REG_ORI->isHidden());
}

TEST_F(RegisterTest, ButtonFollowsTheSelectionAndCancelKeepsTheSearch) {
  key.AddDriver(Matching("DRV1"));
  key.AddDriver(Matching("DRV2"));
  Open(originalPath);
  EXPECT_FALSE(ui()->BTN_Reg_ori->isEnabled());
  ui()->BTN_Reg_ori->click();  // no row selected: nothing happens
  EXPECT_TRUE(ui()->Pnl_ORI2->isHidden());
  Select("DRV2");
  EXPECT_TRUE(ui()->BTN_Reg_ori->isEnabled());
  const QStringList names = DbWindowTest::Column(ui()->DrvList, 0);
  ui()->BTN_Reg_ori->click();
  ui()->T_DESC->setPlainText("da scartare");
  ui()->BTN_CANCEL_ORI->click();
  EXPECT_FALSE(ui()->Pnl_ORI1->isHidden());
  EXPECT_TRUE(ui()->Pnl_ORI2->isHidden());
  EXPECT_EQ(DbWindowTest::Column(ui()->DrvList, 0), names);
  ASSERT_EQ(ui()->DrvList->selectedItems().size(), 1);
  EXPECT_EQ(ui()->DrvList->selectedItems().first()->text(0), "DRV2");
  EXPECT_TRUE(ui()->BTN_Reg_ori->isEnabled());
  EXPECT_EQ(ui()->TB_ORI_FILE->text().toStdString(), originalPath);
  EXPECT_TRUE(ui()->T_ORI_FILE_2->text().isEmpty());
  EXPECT_TRUE(ui()->T_DESC->toPlainText().isEmpty());

  // A new search empties and refills the list: nothing is selected then.
  ui()->BTN_Drv_Search->click();
  EXPECT_EQ(ui()->DrvList->topLevelItemCount(), 2);
  EXPECT_FALSE(ui()->BTN_Reg_ori->isEnabled());
  EXPECT_EQ(Count("select count(*) from ORI;"), 0);
}

TEST_F(RegisterTest, NothingFoundRowNeverEnablesRegistration) {
  Open(originalPath);
  ASSERT_EQ(ui()->DrvList->topLevelItemCount(), 1);
  ui()->DrvList->setCurrentItem(ui()->DrvList->topLevelItem(0));
  EXPECT_FALSE(ui()->BTN_Reg_ori->isEnabled());
  // Even when pressed through code, it needs a driver row.
  Window().BTN_Reg_oriClick();
  EXPECT_TRUE(ui()->Pnl_ORI2->isHidden());
}

TEST_F(RegisterTest, OkAsksAgainWhetherTheOriginalIsRegistered) {
  key.AddDriver(Matching("DRV1"));
  ToConfirmation("DRV1");
  key.AddOriginalRow(4, "DRV1", "", "altro.bin",
                     TUEDC16::HashBuffer(content.data(), content.size()));
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1012)}));
  EXPECT_FALSE(ui()->Pnl_ORI2->isHidden());
  EXPECT_EQ(Count("select count(*) from ORI;"), 1);
  EXPECT_FALSE(fs::exists(Stored(5)));
}

TEST_F(RegisterTest, TextsWindows1252CannotHoldAreRefusedBeforeWriting) {
  key.AddDriver(Matching("DRV1"));
  const std::string odd = drive / "файл.bin";
  fixture::WriteFile(odd, content);
  ToConfirmation("DRV1", odd);
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1065)}));
  ui()->BTN_CANCEL_ORI->click();
  ToConfirmation("DRV1");
  ui()->T_DESC->setPlainText(QString::fromUtf8("Punto ✓"));
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1066));
  ui()->T_DESC->setPlainText(QStringLiteral("Punto") + QChar(0) + QStringLiteral("1.2"));
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1067));
  EXPECT_EQ(Count("select count(*) from ORI;"), 0);
  EXPECT_TRUE(fs::is_empty(key.keyFolder() + "/Database/ORI"));
  // The euro sign is a Windows-1252 character: stored as its byte 0x80.
  ui()->T_DESC->setPlainText(QString::fromUtf8("Prezzo €"));
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages.last(), Msg(1024));
  EXPECT_EQ(OriColumn(1, "NOTE"), "Prezzo \x80");
}

TEST_F(RegisterTest, WindowTakesNoCommandWhileTheArchiveIsWritten) {
  key.AddDriver(Matching("DRV1"));
  ToConfirmation("DRV1");
  bool sawLock = false;
  CBrennowZip::SetProgressSink([&](int) {
    if (sawLock) return;
    sawLock = true;
    EXPECT_TRUE(Window().searching());
    EXPECT_FALSE(ui()->BTN_CANCEL_ORI->isEnabled());
    EXPECT_FALSE(ui()->BTN_DB_CLOSE->isEnabled());
    EXPECT_FALSE(ui()->T_DESC->isEnabled());
    EXPECT_FALSE(ui()->PNL_REG_ORI->isHidden());
    // A click that reaches the window meanwhile does nothing.
    Window().BTN_CANCEL_ORIClick();
    EXPECT_FALSE(ui()->Pnl_ORI2->isHidden());
  });
  ui()->BTN_ORI_REG->click();
  CBrennowZip::SetProgressSink(nullptr);
  EXPECT_TRUE(sawLock);
  EXPECT_EQ(prompts.messages, QStringList({Msg(1024)}));
  EXPECT_TRUE(ui()->BTN_CANCEL_ORI->isEnabled());
  EXPECT_TRUE(ui()->BTN_DB_CLOSE->isEnabled());
  EXPECT_FALSE(Window().searching());
}

}  // namespace

// The registration is done once its archive and row are on the key; a key
// whose writes cannot be completed is a failed registration.
TEST_F(RegisterTest, RegisteredOnlyOnceTheKeyIsFlushed) {
  auto& machine = static_cast<platform::SimulatedPlatform&>(platform::Current());
  key.AddDriver(Matching("DRV1"));
  ToConfirmation("DRV1");
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(machine.Flushes(), std::vector<std::string>{kKeyRoot});
  EXPECT_EQ(prompts.messages, QStringList({Msg(1024)}));

  prompts.messages.clear();
  machine.SetFlushFails(true);
  const std::string second = drive / "second.bin";
  fixture::WriteFile(second, content + "changed");
  ToConfirmation("DRV1", second);
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1090) + " (Input/output error)"}));
}
