// Driver names with accented letters, stored in Windows-1252, and their
// files on a key whose file system shows names in UTF-8 (what desktops
// mount), in the raw bytes (mounted without the utf8 option) or in another
// case: every list, a registration, a deletion and the earlier product's
// descriptions find the same files.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "app/kit/Fmmsg.h"
#include "app/kit/Texts.h"
#include "dbwindow/Hash_algorithms.h"
#include "drivers/Drv_mng.h"
#include "tests/dbwindow/DbWindowFixture.h"
#include "ui_Drv_mng.h"

namespace {

namespace fs = std::filesystem;

// Three drivers as the product names them (Windows-1252 bytes) and the
// name each one's file has on the key.
struct Named {
  std::string stored;  // NOMEFILE
  QString shown;       // as the lists show it
  std::string onDisk;  // the driver file's name in Database/DRT
  bool user;
};
// A file name in raw Windows-1252 bytes exists only where a FAT key is
// mounted without the utf8 option; Windows keeps every name in UTF-16.
#ifdef _WIN32
constexpr const char* kRawPeugeot = "Peugeot_été.DRU";
constexpr const char* kRawAlfa = "ALFA À.BIN";
#else
constexpr const char* kRawPeugeot = "Peugeot_\xE9t\xE9.DRU";
constexpr const char* kRawAlfa = "ALFA \xC0.BIN";
#endif
const Named kDrivers[] = {
    {"Citro\xEBn_C3", QString::fromUtf8("Citroën_C3"), "Citroën_C3.DRT", false},
    {"Peugeot_\xE9t\xE9", QString::fromUtf8("Peugeot_été"), kRawPeugeot, true},
    {"\x8AKODA_Fabia", QString::fromUtf8("ŠKODA_Fabia"), "škoda_fabia.drt", false},
};

class AccentedNamesTest : public DbWindowTest {
 protected:
  AccentedNamesTest() {
    content = fixture::EcuImage(3, 2048);
    originalPath = drive / "Citroën 1.9.bin";
    fixture::WriteFile(originalPath, content);
    for (const Named& n : kDrivers) {
      fixture::Driver d;
      d.nomefile = n.stored;
      d.marca = "Marca";
      d.modello = "Modello";
      d.descrizione = "Driver";
      d.user = n.user;
      d.start = 0;
      d.end = 512;
      d.md5 = TUEDC16::HashBuffer(content.data(), 512);
      d.writeFile = false;
      key.AddDriver(d);
      fixture::WriteFile(Drt(n.onDisk), "driver");
    }
  }

  std::string Drt(const std::string& name) const {
    return key.keyFolder() + "/Database/DRT/" + name;
  }
  bool DrtExists(const Named& driver) const { return fs::exists(fs::u8path(Drt(driver.onDisk))); }
  static QStringList Images(const QTreeWidget* list) {
    QStringList images;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      images << list->topLevelItem(i)->text(0) + "=" +
                    QString::number(TForm2::RowImage(list->topLevelItem(i)));
    images.sort();
    return images;
  }
  static QStringList AllAvailable() {
    QStringList images;
    for (const Named& n : kDrivers) images << n.shown + "=1";
    images.sort();
    return images;
  }
  // An original registered for each driver, named after it.
  void RegisterOneOriginalEach() {
    int id = 1;
    for (const Named& n : kDrivers) {
      key.AddOriginalRow(id, n.stored, "", n.stored + ".bin", "MD5-" + std::to_string(id));
      fixture::WriteFile(key.keyFolder() + "/Database/ORI/" + std::to_string(id) + ".ori", "x");
      ++id;
    }
  }

  std::string content;
  std::string originalPath;
};

TEST_F(AccentedNamesTest, IdentificationFindsThemPresentAndRegistrationReservesNothing) {
  prompts.answerOpen(QString::fromStdString(originalPath));
  ui()->BTN_DB_openori->click();
  EXPECT_EQ(Images(ui()->DrvList), AllAvailable());

  for (int i = 0; i < ui()->DrvList->topLevelItemCount(); ++i) {
    if (ui()->DrvList->topLevelItem(i)->text(0) == kDrivers[0].shown)
      ui()->DrvList->setCurrentItem(ui()->DrvList->topLevelItem(i));
  }
  ui()->BTN_Reg_ori->click();
  // A maker's driver on the key is neither announced missing nor reserved.
  EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
  EXPECT_EQ(key.Scalar("select count(*) from DRV_DOWNLOAD;"), "0");
  ui()->BTN_ORI_REG->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1024)}));
  EXPECT_EQ(key.Scalar("select hex(ID_DRIVER) from ORI;"), "436974726FEB6E5F4333");
  EXPECT_EQ(key.Scalar("select count(*) from DRV_DOWNLOAD;"), "0");
}

TEST_F(AccentedNamesTest, OriginalsListsShowTheirDriversPresent) {
  RegisterOneOriginalEach();
  // "Importa Modificato": the originals to tie a modified file to.
  const std::string modified = drive / "mod.bin";
  fixture::WriteFile(modified, "tuned");
  ui()->BTN_DB_MOD->click();
  prompts.answerOpen(QString::fromStdString(modified));
  ui()->Button2->click();
  Window().BTN_Ori_searchClick();
  ASSERT_EQ(ui()->OriList->topLevelItemCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(TForm2::RowImage(ui()->OriList->topLevelItem(i)), 1)
        << ui()->OriList->topLevelItem(i)->text(2).toStdString();

  // "Gestione File": the same originals.
  ui()->BTN_DB_EXPORT->click();
  Pick(ui()->MarcaDB, 1);
  ui()->BTN_db_search->click();
  ASSERT_EQ(ui()->DBListORI->topLevelItemCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(TForm2::RowImage(ui()->DBListORI->topLevelItem(i)), 1)
        << ui()->DBListORI->topLevelItem(i)->text(2).toStdString();
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(AccentedNamesTest, DriverWindowListsAndDeletesTheUserDriversFile) {
  TForm3 drivers;
  drivers.SetupWindow(kKeyRoot);
  drivers.ui()->Button4->click();
  QTreeWidget* list = drivers.ui()->DrvList;
  ASSERT_EQ(list->topLevelItemCount(), 1);
  QTreeWidgetItem* row = list->topLevelItem(0);
  EXPECT_EQ(row->text(0), kDrivers[1].shown);
  EXPECT_EQ(row->icon(0).cacheKey(), drivers.ImageList1(1).cacheKey());

  // The file as the key names it: deleting the driver removes it.
  ASSERT_TRUE(DrtExists(kDrivers[1]));
  list->setCurrentItem(row);
  prompts.answerQuestion(TMsgFm::kOk);
  drivers.ui()->BTN_DEL->click();
  EXPECT_EQ(prompts.messages, QStringList({Msg(1046)}));
  EXPECT_FALSE(DrtExists(kDrivers[1]));
  EXPECT_EQ(key.Scalar("select count(*) from DRIVERS;"), "2");
  // The maker's drivers and their files stay.
  EXPECT_TRUE(DrtExists(kDrivers[0]));
}

TEST_F(AccentedNamesTest, EarlierProductsDescriptionOfAnAccentedFile) {
  fs::create_directories(legacyC / "ORDALIX/FileDesc");
  fixture::WriteFile(legacyC / "ORDALIX/FileDesc/Citroën 1.9.bin",
                     "C3 1.9 HDi \xE8 nuova\r\nseconda");
  fixture::WriteFile(legacyC / "ORDALIX/FileDesc/" + kRawAlfa, "Alfa raw");
  EXPECT_EQ(Window().LegacyFileDescription(QString::fromUtf8("Citroën 1.9.bin")),
            QString::fromUtf8("C3 1.9 HDi è nuova"));
  EXPECT_EQ(Window().LegacyFileDescription(QString::fromUtf8("alfa à.bin")),
            QStringLiteral("Alfa raw"));

  // Registering that file proposes the description.
  prompts.answerOpen(QString::fromStdString(originalPath));
  ui()->BTN_DB_openori->click();
  ui()->DrvList->setCurrentItem(ui()->DrvList->topLevelItem(0));
  ui()->BTN_Reg_ori->click();
  EXPECT_EQ(ui()->T_DESC->toPlainText(), QString::fromUtf8("C3 1.9 HDi è nuova"));
}

}  // namespace
