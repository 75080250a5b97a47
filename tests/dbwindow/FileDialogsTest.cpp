// The four file dialogs on the real windows: where each one starts, what
// it remembers for the run, and that nothing else shares its memory.
#include <QDate>
#include <QDir>
#include <QPushButton>
#include <QStandardPaths>
#include <filesystem>

#include "app/Main.h"
#include "app/kit/FileDialogs.h"
#include "tests/dbwindow/DbWindowFixture.h"
#include "ui_Main.h"

namespace {

// A home folder of the test's own (with no Documents until the test makes
// one) and a working folder that no dialog may start in.
class FileDialogsTest : public DbWindowTest {
 protected:
  FileDialogsTest()
      : oldHome(qgetenv("HOME")),
        oldConfig(qgetenv("XDG_CONFIG_HOME")),
        oldWorking(QDir::currentPath()) {
    std::filesystem::create_directories(home / "config");
    std::filesystem::create_directories(working.path());
    qputenv("HOME", QByteArray::fromStdString(home.path()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home / "config"));
    QDir::setCurrent(QString::fromStdString(working.path()));
    kit::ForgetFileDialogs();
  }
  ~FileDialogsTest() override {
    kit::ForgetFileDialogs();
    QDir::setCurrent(oldWorking);
    qputenv("HOME", oldHome);
    if (oldConfig.isEmpty())
      qunsetenv("XDG_CONFIG_HOME");
    else
      qputenv("XDG_CONFIG_HOME", oldConfig);
  }
  QString Home() const { return QString::fromStdString(home.path()); }
  // Windows takes Documents and the home folder from the user's profile,
  // not from the environment: there the dialogs start in the profile's
  // Documents, which exists, and the test's home only holds its folders.
  QString Documents() const {
#ifdef _WIN32
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    return QString::fromStdString(home / "Documents");
#endif
  }
  // Where a dialog with nothing to remember starts.
  QString FirstStart() const {
#ifdef _WIN32
    return Documents();
#else
    return Home();
#endif
  }

  // A main window with the key accepted by the scan.
  std::unique_ptr<TForm1> MainWindow() {
    auto main = std::make_unique<TForm1>();
    main->ui()->Button6->click();
    EXPECT_FALSE(main->keyRoot().empty());
    return main;
  }

  fixture::TempDir home;
  fixture::TempDir working;
  QByteArray oldHome, oldConfig;
  QString oldWorking;
};

TEST_F(FileDialogsTest, OpenDialogStartsInDocumentsThenHomeAndKeepsFolderAndNameAcrossWindows) {
  // No Documents folder: home (where the environment names them).
  prompts.answerOpen("");
  ui()->BTN_DB_openori->click();
  std::filesystem::create_directories(home / "Documents");
  prompts.answerOpen("");
  ui()->BTN_DB_openori->click();
  EXPECT_EQ(prompts.openFolders, QStringList({FirstStart(), Documents()}));
  EXPECT_EQ(prompts.openNames, QStringList({"", ""}));

  // A file chosen with "Apri ORI": "Apri Mod" (the same dialog) starts
  // there with its name, also in the next database window.
  const std::string chosen = home / "originals/golf.bin";
  std::filesystem::create_directories(home / "originals");
  fixture::WriteFile(chosen, fixture::EcuImage(7, 4096));
  prompts.answerOpen(QString::fromStdString(chosen));
  ui()->BTN_DB_openori->click();
  form.reset();
  prompts.answerOpen("");
  ui()->Button2->click();
  EXPECT_EQ(prompts.openFolders.last(), QString::fromStdString(home / "originals"));
  EXPECT_EQ(prompts.openNames.last(), "golf.bin");

  // The folder removed: back to Documents, without the old name.
  std::filesystem::remove_all(home / "originals");
  prompts.answerOpen("");
  ui()->Button2->click();
  EXPECT_EQ(prompts.openFolders.last(), Documents());
  EXPECT_EQ(prompts.openNames.last(), "");
  EXPECT_FALSE(prompts.openFolders.contains(QString::fromStdString(working.path())));
}

TEST_F(FileDialogsTest, MainWindowDialogsKeepTheirOwnFoldersAndSaveProposesTheNameEachTime) {
  std::filesystem::create_directories(home / "backups");
  std::filesystem::create_directories(home / "packs");
  auto main = MainWindow();
  const QString today = QDate::currentDate().toString("yyyyMMdd");
  // A backup saved in "backups" earlier in the run (the job itself is not
  // part of this test), a service pack opened from "packs".
  prompts.answerSave(QString::fromStdString(home / "backups/old.qbk"));
  kit::SaveFile(kit::FileDialog::kSD, main.get(), "x.qbk", QString());
  prompts.answerOpen(QString::fromStdString(home / "packs/sp1.qsp"));
  kit::OpenFile(kit::FileDialog::kOD, main.get(), QString());

  prompts.answerSave("");
  main->ui()->BTN_Bck->click();  // SD
  prompts.answerSave("");
  main->ui()->Button1->click();  // SD, database export
  prompts.answerOpen("");
  main->ui()->BTN_Restore->click();  // OD
  prompts.answerOpen("");
  main->ui()->Button2->click();  // OD, database import
  const QString backups = QString::fromStdString(home / "backups");
  EXPECT_EQ(prompts.saveFolders, QStringList({FirstStart(), backups, backups}));
  ASSERT_EQ(prompts.saveProposals.size(), 3);
  EXPECT_EQ(prompts.saveProposals[1], today + "_Quorvane.qbk");
  EXPECT_TRUE(prompts.saveProposals[2].startsWith(today + "_DB_"))
      << prompts.saveProposals[2].toStdString();
  const QString packs = QString::fromStdString(home / "packs");
  EXPECT_EQ(prompts.openFolders, QStringList({FirstStart(), packs, packs}));
  EXPECT_EQ(prompts.openNames.mid(1), QStringList({"sp1.qsp", "sp1.qsp"}));

  // The database window's dialogs share nothing with the main window's.
  prompts.answerOpen("");
  ui()->BTN_DB_openori->click();
  EXPECT_EQ(prompts.openFolders.last(), FirstStart());
  EXPECT_EQ(prompts.openNames.last(), "");
  prompts.answerSave("");
  EXPECT_TRUE(kit::SaveFile(kit::FileDialog::kSD_DB, form.get(), "1.ori", QString()).isEmpty());
  EXPECT_EQ(prompts.saveFolders.last(), FirstStart());
}

}  // namespace
