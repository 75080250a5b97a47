// Choosing an original and identifying its driver on the real window.
#include <QCheckBox>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>

#include "dbwindow/Hash_algorithms.h"
#include "tests/dbwindow/DbWindowFixture.h"

namespace {

class IdentifyTest : public DbWindowTest {
 protected:
  IdentifyTest() {
    content = fixture::EcuImage(42, 1000);
    originalPath = drive / "original.bin";
    fixture::WriteFile(originalPath, content);
  }

  std::string Md5Of(std::size_t start, std::size_t end) const {
    return TUEDC16::HashBuffer(content.data() + start, end - start);
  }

  fixture::Driver Fingerprinted(const std::string& name, const std::string& description,
                                std::int64_t start, std::int64_t end) const {
    fixture::Driver d;
    d.nomefile = name;
    d.marca = "Fiat";
    d.modello = "Punto";
    d.descrizione = fixture::ToCp1252(description);
    d.start = start;
    d.end = end;
    d.md5 = Md5Of(static_cast<std::size_t>(start), static_cast<std::size_t>(end));
    return d;
  }

  // "Apri ORI" with the given file chosen in the dialog.
  void Open(const std::string& path) {
    prompts.answerOpen(QString::fromStdString(path));
    ui()->BTN_DB_openori->click();
  }

  QStringList Names() { return Column(ui()->DrvList, 0); }
  bool ShowsNothingFound() {
    return ui()->DrvList->topLevelItemCount() == 1 && Names() == QStringList({""}) &&
           ui()->DrvList->topLevelItem(0)->text(1) == "Nessun Driver trovato." &&
           TForm2::RowImage(ui()->DrvList->topLevelItem(0)) == 0;
  }
  QTreeWidgetItem* Row(const QString& name) {
    for (int i = 0; i < ui()->DrvList->topLevelItemCount(); ++i)
      if (ui()->DrvList->topLevelItem(i)->text(0) == name) return ui()->DrvList->topLevelItem(i);
    return nullptr;
  }

  std::string content;
  std::string originalPath;
};

TEST_F(IdentifyTest, RangeEdgesOfTheFile) {
  key.AddDriver(Fingerprinted("WHOLE", "whole file", 0, 1000));
  fixture::Driver pastEnd = Fingerprinted("PAST", "one past", 0, 1000);
  pastEnd.end = 1001;
  key.AddDriver(pastEnd);
  fixture::Driver empty = Fingerprinted("EMPTY", "empty", 0, 0);
  empty.start = empty.end = 1000;
  empty.md5 = TUEDC16::HashBuffer("", 0);
  key.AddDriver(empty);
  fixture::Driver inverted = Fingerprinted("INV", "inverted", 10, 20);
  inverted.start = 20;
  inverted.end = 10;
  key.AddDriver(inverted);
  fixture::Driver negative = Fingerprinted("NEG", "negative", 0, 20);
  negative.start = -5;
  key.AddDriver(negative);
  key.AddDriver(Fingerprinted("MID", "middle", 100, 356));
  Open(originalPath);
  EXPECT_EQ(Names(), QStringList({"MID", "WHOLE"}));
  EXPECT_TRUE(ui()->BTN_Drv_Search->isEnabled());
  EXPECT_FALSE(ui()->BTN_Break->isEnabled());
  EXPECT_TRUE(ui()->Pnl_searching->isHidden());
  EXPECT_FALSE(ui()->CBIgnoreMD5->isChecked());
  EXPECT_EQ(Window().originalDigest(), TUEDC16::HashBuffer(content.data(), content.size()));
  EXPECT_EQ(ui()->TB_ORI_FILE->text().toStdString(), originalPath);
}

TEST_F(IdentifyTest, OffsetsThatAreNoThirtyTwoBitIntegersNeverMatch) {
  // 2^32 and 2^32 + 512 once read as 0 and 512, and matched the first 512 bytes.
  fixture::Driver wide = Fingerprinted("WIDE", "wide", 0, 512);
  wide.start = 4294967296LL;
  wide.end = 4294967296LL + 512;
  key.AddDriver(wide);
  key.AddDriver(Fingerprinted("TEXT", "text", 0, 512));
  key.Exec("UPDATE DRIVERS SET END_MD5 = '512abc' WHERE NOMEFILE = 'TEXT';");
  key.AddDriver(Fingerprinted("REAL", "real", 0, 512));
  key.Exec("UPDATE DRIVERS SET END_MD5 = 512.5 WHERE NOMEFILE = 'REAL';");
  key.AddDriver(Fingerprinted("GOOD", "good", 0, 512));
  Open(originalPath);
  EXPECT_EQ(Names(), QStringList({"GOOD"}));
}

TEST_F(IdentifyTest, ExactDigestSuspendedAndDescriptionOrder) {
  fixture::Driver lower = Fingerprinted("LOWER", "lower case", 0, 512);
  for (char& c : lower.md5) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  key.AddDriver(lower);
  fixture::Driver suspended = Fingerprinted("SUSP", "suspended", 0, 512);
  suspended.suspended = true;
  key.AddDriver(suspended);
  // Same fingerprint twice, inserted against description order.
  key.AddDriver(Fingerprinted("TWO", "Zeta", 0, 512));
  key.AddDriver(Fingerprinted("ONE", "alfa", 0, 512));
  key.AddDriver(Fingerprinted("ACC", "à accentato", 0, 512));
  Open(originalPath);
  EXPECT_EQ(Names(), QStringList({"ONE", "TWO", "ACC"}));
  EXPECT_EQ(Window().sortColumn(), 1);
  EXPECT_FALSE(Window().sortDescending());
}

TEST_F(IdentifyTest, AvailabilityImagesAndUserMark) {
  fixture::Driver noFile = Fingerprinted("NOFILE", "a", 0, 100);
  noFile.writeFile = false;
  key.AddDriver(noFile);
  key.AddDriver(Fingerprinted("MAKER", "b", 0, 100));
  fixture::Driver notDownloaded = Fingerprinted("NOTDL", "c", 0, 100);
  notDownloaded.downloaded = false;
  key.AddDriver(notDownloaded);
  fixture::Driver user = Fingerprinted("USER", "d", 0, 100);
  user.user = true;
  key.AddDriver(user);
  fixture::Driver userDrtOnly = Fingerprinted("USERDRT", "e", 0, 100);
  userDrtOnly.user = true;
  userDrtOnly.writeFile = false;
  key.AddDriver(userDrtOnly);
  fixture::WriteFile(key.keyFolder() + "/Database/DRT/USERDRT.DRT", "x");
  // The driver folder spelled in another case on this file system.
  Open(originalPath);
  ASSERT_EQ(ui()->DrvList->topLevelItemCount(), 5);
  EXPECT_EQ(TForm2::RowImage(Row("NOFILE")), 0);
  EXPECT_EQ(TForm2::RowImage(Row("MAKER")), 1);
  EXPECT_EQ(TForm2::RowImage(Row("NOTDL")), 0);
  EXPECT_EQ(TForm2::RowImage(Row("USER")), 1);
  EXPECT_EQ(TForm2::RowImage(Row("USERDRT")), 0);
  EXPECT_FALSE(Row("MAKER")->data(0, TForm2::kUserDriverRole).isValid());
  EXPECT_TRUE(Row("USER")->data(0, TForm2::kUserDriverRole).isValid());
  EXPECT_FALSE(Row("MAKER")->icon(0).isNull());
}

TEST_F(IdentifyTest, CentralinaJoinsNullPartsWithBlanks) {
  key.AddDriver(Fingerprinted("C", "c", 0, 10));
  key.Exec(
      "UPDATE DRIVERS SET M_CENTRALINA='EDC15', V_CENTRALINA=NULL, N_CENTRALINA='C2', "
      "T_EPROM='29F400', CKS='K1';");
  Open(originalPath);
  ASSERT_NE(Row("C"), nullptr);
  EXPECT_EQ(Row("C")->text(2), "EDC15  C2");
  EXPECT_EQ(Row("C")->text(3), "29F400");
  EXPECT_EQ(Row("C")->text(4), "K1");
}

TEST_F(IdentifyTest, EmptyFileFindsNothingAndSwitchesToManual) {
  key.AddDriver(Fingerprinted("D", "d", 0, 10));
  const std::string emptyPath = drive / "empty.bin";
  fixture::WriteFile(emptyPath, "");
  Open(emptyPath);
  EXPECT_TRUE(ShowsNothingFound());
  EXPECT_TRUE(ui()->CBIgnoreMD5->isChecked());
  EXPECT_TRUE(ui()->MarcaCB->isEnabled());
  EXPECT_TRUE(ui()->ModelloCB->isEnabled());
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(IdentifyTest, ManualSearchByBrand) {
  key.AddDriver(Fingerprinted("P1", "b", 0, 10));
  fixture::Driver noPrint;
  noPrint.nomefile = "P2";
  noPrint.marca = "Fiat";
  noPrint.modello = "Bravo";
  noPrint.descrizione = "a";
  key.AddDriver(noPrint);
  fixture::Driver suspended = noPrint;
  suspended.nomefile = "P3";
  suspended.suspended = true;
  key.AddDriver(suspended);
  fixture::Driver other = noPrint;
  other.nomefile = "O1";
  other.marca = "Opel";
  key.AddDriver(other);
  Window();
  ui()->CBIgnoreMD5->click();
  // Without a brand: 1019, then the empty row.
  Window().SearchDrivers(reinterpret_cast<const unsigned char*>(content.data()), content.size());
  EXPECT_EQ(prompts.messages,
            QStringList({"Per la ricerca Manuale, selezionare almeno la marca."}));
  EXPECT_TRUE(ShowsNothingFound());
  EXPECT_FALSE(ui()->BTN_Break->isEnabled());

  Pick(ui()->MarcaCB, ui()->MarcaCB->findText("Fiat"));
  Open(originalPath);
  EXPECT_EQ(Names(), QStringList({"P2", "P1"}));
  Pick(ui()->ModelloCB, ui()->ModelloCB->findText("Bravo"));
  ui()->BTN_Drv_Search->click();
  EXPECT_EQ(Names(), QStringList({"P2"}));
  // A typed brand with a quote is a value like any other.
  ui()->MarcaCB->setEditText("D'Arco");
  ui()->ModelloCB->setCurrentIndex(0);
  ui()->BTN_Drv_Search->click();
  EXPECT_TRUE(ShowsNothingFound());
}

TEST_F(IdentifyTest, InterrompiBeforeAnyMatch) {
  for (int i = 0; i < 5; ++i) {
    fixture::Driver miss = Fingerprinted("MISS" + std::to_string(i), "m", 0, 10);
    miss.md5 = std::string(32, 'A');
    key.AddDriver(miss);
  }
  key.AddDriver(Fingerprinted("HIT", "h", 0, 10));
  Window();
  int turns = 0;
  QTimer::singleShot(0, &Window(), [&] {
    ++turns;
    EXPECT_TRUE(Window().searching());
    EXPECT_TRUE(ui()->BTN_Break->isEnabled());
    EXPECT_FALSE(ui()->Pnl_searching->isHidden());
    // Every other command waits for the search.
    EXPECT_FALSE(ui()->BTN_DB_openori->isEnabled());
    EXPECT_FALSE(ui()->BTN_Drv_Search->isEnabled());
    EXPECT_FALSE(ui()->BTN_DB_CLOSE->isEnabled());
    EXPECT_FALSE(ui()->DrvList->isEnabled());
    ui()->BTN_Break->click();
  });
  Open(originalPath);
  EXPECT_EQ(turns, 1);
  EXPECT_TRUE(ShowsNothingFound());
  EXPECT_TRUE(ui()->CBIgnoreMD5->isChecked());
  EXPECT_FALSE(Window().searching());
  EXPECT_TRUE(ui()->BTN_DB_openori->isEnabled());
  EXPECT_TRUE(ui()->BTN_Drv_Search->isEnabled());
  EXPECT_TRUE(ui()->BTN_DB_CLOSE->isEnabled());
  EXPECT_FALSE(ui()->BTN_Break->isEnabled());
}

TEST_F(IdentifyTest, RegisteredOriginalIsRefusedAndNeverBecomesTheChosenOne) {
  key.AddDriver(Fingerprinted("D", "d", 0, 10));
  Open(originalPath);
  ASSERT_EQ(Names(), QStringList({"D"}));
  const std::string digest = Window().originalDigest();

  const std::string other = fixture::EcuImage(7, 500);
  const std::string otherPath = drive / "registered.bin";
  fixture::WriteFile(otherPath, other);
  key.AddOriginalRow(1, "D", "n", "registered.bin",
                     TUEDC16::HashBuffer(other.data(), other.size()));
  Open(otherPath);
  EXPECT_EQ(prompts.messages, QStringList({"Originale già registrato nel Database."}));
  EXPECT_TRUE(ui()->TB_ORI_FILE->text().isEmpty());
  EXPECT_EQ(Names(), QStringList({"D"}));
  EXPECT_EQ(Window().originalDigest(), digest);
  EXPECT_EQ(Window().chosenOriginal().toStdString(), originalPath);
  // "Cerca Driver" still searches the accepted file.
  ui()->BTN_Drv_Search->click();
  EXPECT_EQ(ui()->TB_ORI_FILE->text().toStdString(), originalPath);
  EXPECT_EQ(Names(), QStringList({"D"}));
}

TEST_F(IdentifyTest, CancelledDialogChangesNothing) {
  key.AddDriver(Fingerprinted("D", "d", 0, 10));
  Open(originalPath);
  const std::string digest = Window().originalDigest();
  Open("");
  EXPECT_EQ(ui()->TB_ORI_FILE->text().toStdString(), originalPath);
  EXPECT_EQ(Window().originalDigest(), digest);
  EXPECT_EQ(Names(), QStringList({"D"}));
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(IdentifyTest, SearchAgainWhenTheFileIsGone) {
  key.AddDriver(Fingerprinted("D", "d", 0, 10));
  Open(originalPath);
  std::filesystem::remove(originalPath);
  ui()->BTN_Drv_Search->click();
  EXPECT_EQ(prompts.messages, QStringList({"File Originale non trovato."}));
  EXPECT_EQ(Names(), QStringList({"D"}));
}

TEST_F(IdentifyTest, PictureOfAnIdentificationResult) {
  key.AddDriver(Fingerprinted("D1", "Punto 1.2", 0, 10));
  key.AddDriver(Fingerprinted("D2", "Punto 1.4", 0, 10));
  Window().BTN_DB_ORIClick();
  Open(originalPath);
  const QString picture = QString::fromStdString(drive / "identify.png");
  ASSERT_TRUE(SaveWindowPicture(&Window(), picture));
  const QImage image(picture);
  EXPECT_EQ(image.size(), QSize(762, 386));
}

}  // namespace
