// What the user sees of the database's state: a statement that meets
// another program's lock shows the wait cursor and a notice until it ends;
// a database failure that reaches the top-level report says what it means
// above the layer's exact text.
#include <sqlite3.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "app/kit/Texts.h"
#include "db/DbConnection.h"
#include "tests/dbwindow/DbWindowFixture.h"

namespace {

using DatabaseStateTest = DbWindowTest;

// Another program's connection holding the key's database locked.
class LockHolder {
 public:
  explicit LockHolder(const std::string& path) {
    EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db_, "begin exclusive;", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  ~LockHolder() {
    release();
    sqlite3_close(db_);
  }
  void release() {
    if (held_) sqlite3_exec(db_, "commit;", nullptr, nullptr, nullptr);
    held_ = false;
  }

 private:
  sqlite3* db_ = nullptr;
  bool held_ = true;
};

// Stands in the window's hook for the test: passes every call on and, once
// the notice is up, lets the other program release its lock.
class ReleasingHook : public DbWaitHook {
 public:
  ReleasingHook(DbWaitHook* window, LockHolder* holder) : window_(window), holder_(holder) {
    DbConnection::setWaitHook(this);
  }
  ~ReleasingHook() override { DbConnection::setWaitHook(window_); }
  void waitStarted() override {
    ++started;
    window_->waitStarted();
    noticeShown = NoticeText();
    cursorWhileWaiting =
        QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : -1;
    holder_->release();
  }
  void waitEnded() override {
    ++ended;
    window_->waitEnded();
  }
  // The text of the visible notice over the window, empty when none.
  static QString NoticeText() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      for (auto* label : top->findChildren<QLabel*>("DatabaseWaitNotice"))
        if (label->isVisible()) return label->text();
    }
    return QString();
  }

  int started = 0, ended = 0;
  QString noticeShown;
  int cursorWhileWaiting = -1;

 private:
  DbWaitHook* window_;
  LockHolder* holder_;
};

TEST_F(DatabaseStateTest, ReadThatMeetsALockShowsTheNoticeUntilItEndsAndThenSucceeds) {
  fixture::Driver golf;
  golf.nomefile = "D1";
  golf.marca = "VW";
  golf.modello = "Golf";
  key.AddDriver(golf);
  Window().show();
  Window().BTN_DB_ORIClick();
  ui()->CBIgnoreMD5->setChecked(true);

  LockHolder holder(key.databasePath());
  DbWaitHook* windowHook = DbConnection::setWaitHook(nullptr);
  ASSERT_NE(windowHook, nullptr);  // the application installed the window's hook
  {
    ReleasingHook hook(windowHook, &holder);
    Pick(ui()->MarcaCB, 1);
    EXPECT_EQ(hook.started, 1);
    EXPECT_EQ(hook.ended, 1);
    EXPECT_EQ(hook.noticeShown, Msg(1120));
    EXPECT_EQ(hook.cursorWhileWaiting, Qt::WaitCursor);
  }
  EXPECT_EQ(ReleasingHook::NoticeText(), QString());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(Items(ui()->ModelloCB), QStringList({Msg(1011), "Golf"}));
  EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(DatabaseStateTest, KeyPulledOutIsExplainedAboveTheLayersText) {
  Window().show();
  std::filesystem::remove_all(key.keyFolder());
  // A real click, through Qt's mouse handling, which the failure must not
  // unwind through: the window reports it.
  QTest::mouseClick(ui()->BTN_DB_EXPORT, Qt::LeftButton);
  ASSERT_EQ(prompts.messages.size(), 1);
  EXPECT_EQ(prompts.messages[0],
            Msg(1122) + "\n\nSQLITE_CANTOPEN[14]: unable to open database file");
}

TEST_F(DatabaseStateTest, DamagedDatabaseIsExplainedAboveTheLayersText) {
  Window().show();
  fixture::WriteFile(key.databasePath(), std::string(4096, 'x'));
  QTest::mouseClick(ui()->BTN_DB_EXPORT, Qt::LeftButton);
  // The layer's text stays exactly as it is, even where it says little.
  EXPECT_EQ(prompts.messages, QStringList({Msg(1126) + "\n\nUNKNOWN_ERROR[26]: "}));
}

}  // namespace
