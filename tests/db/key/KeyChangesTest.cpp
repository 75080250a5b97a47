// Every change to the key's data, below the windows: registrations with
// their stored files, deletions with their files, reservations.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "archive/Brennowzip.h"
#include "db/key/KeyChanges.h"
#include "db/key/KeyDatabase.h"
#include "dbwindow/Hash_algorithms.h"
#include "tests/db/key/KeyOnDrive.h"
#include "tests/support/Files.h"

namespace {

namespace fs = std::filesystem;
using keydb::Deletion;
using keydb::Registration;
using keydb::Reservation;

class KeyChanges : public KeyOnDrive {
 protected:
  KeyChanges() {
    content_ = fixture::EcuImage(5, 96 * 1024);
    source_ = dir_ / "l'originale.bin";
    fixture::WriteFile(source_, content_);
  }

  std::string Md5(const std::string& bytes) const {
    return TUEDC16::HashBuffer(bytes.data(), bytes.size());
  }
  keydb::NewOriginal Original() const {
    keydb::NewOriginal original;
    original.file = {source_, Md5(content_)};
    original.driver = "D'1";
    original.note = "riga l'una \"prima\"\r\nseconda";
    original.fileName = "l'originale.bin";
    return original;
  }
  keydb::NewModified Modified(const std::string& originalId, const std::string& originalMd5) const {
    keydb::NewModified modified;
    modified.file = {source_, Md5(content_)};
    modified.originalId = originalId;
    modified.originalMd5 = originalMd5;
    modified.note = "stage 1";
    modified.fileName = "tuned.bin";
    return modified;
  }
  // The only entry of the stored archive, read through the wrapper.
  std::string Entry(const std::string& archive, const std::string& name) const {
    CBrennowZip zip;
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(zip.openArchive(archive) && zip.extractToStream(CBrennowZip::Wide(name), &bytes) &&
                zip.closeArchive())
        << zip.lastError();
    return std::string(bytes.begin(), bytes.end());
  }
  bool Empty(const char* folder) const { return fs::is_empty(Folder(folder)); }

  std::string content_;
  std::string source_;
  const keydb::Progress none_;
};

TEST_F(KeyChanges, AnOriginalIsStoredWithTheBytesItHashedBeforeItsRow) {
  for (int id : {1, 2, 5}) key_->AddOriginalRow(id, "D1", "", "x.bin", "MD5-" + std::to_string(id));
  int turns = 0;
  const Registration outcome = keydb::RegisterOriginal(db(), Original(), [&](int) {
    // The archive step runs before the row exists.
    ++turns;
    EXPECT_EQ(Count("select count(*) from ORI where ID_ORI = 6;"), 0);
  });
  ASSERT_EQ(outcome, Registration::kRegistered);
  EXPECT_GT(turns, 0);
  EXPECT_EQ(Entry(Folder("ORI/6.ori"), "6.ori"), content_);
  EXPECT_EQ(
      key_->Scalar("select ID_DRIVER || '|' || NOTE || '|' || NOMEFILE || '|' || PATH || '|' || "
                   "MD5 || '|' || typeof(ID_ORI) from ORI where ID_ORI = 6;"),
      "D'1|riga l'una \"prima\"\r\nseconda|6.ori|l'originale.bin|" + Md5(content_) + "|integer");
  EXPECT_EQ(Count("select count(*) from ORI where ID_ORI = 6 and LAST_MOD_DATE like '____-__-__ "
                  "__:__:__';"),
            1);
  // Registered once: the same bytes again are refused before anything is written.
  EXPECT_EQ(keydb::RegisterOriginal(db(), Original(), none_), Registration::kAlreadyRegistered);
  EXPECT_FALSE(fs::exists(Folder("ORI/7.ori")));
}

TEST_F(KeyChanges, ARegistrationThatCannotFinishLeavesNothingBehind) {
  keydb::NewOriginal original = Original();
  // The file changed since it was chosen, or vanished.
  fixture::WriteFile(source_, content_ + "x");
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kNotStored);
  fs::remove(source_);
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kNotStored);
  fixture::WriteFile(source_, content_);
  // Something stands where the archive goes: left as it is.
  fixture::WriteFile(Folder("ORI/1.ori"), "someone else's");
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kNotStored);
  EXPECT_EQ(fixture::ReadFile(Folder("ORI/1.ori")), "someone else's");
  fs::remove(Folder("ORI/1.ori"));
  // The folder cannot take the archive.
  fs::remove(Folder("ORI"));
  fixture::WriteFile(Folder("ORI"), "not a folder");
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kNotStored);
  fs::remove(Folder("ORI"));
  fs::create_directories(Folder("ORI"));
  // The row cannot be inserted: its archive goes too, so the id is free.
  ChangeSchema("CREATE TRIGGER no_ori BEFORE INSERT ON ORI BEGIN SELECT RAISE(ABORT,'x'); END;");
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kNotInserted);
  EXPECT_TRUE(Empty("ORI"));
  EXPECT_EQ(Count("select count(*) from ORI;"), 0);
  ChangeSchema("DROP TRIGGER no_ori;");
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kRegistered);
  EXPECT_EQ(Entry(Folder("ORI/1.ori"), "1.ori"), content_);
  // No id left: refused, never reused.
  key_->AddOriginalRow(2147483647, "D1", "", "last.bin", "LAST");
  fixture::WriteFile(source_, content_ + "new");
  original.file.md5 = Md5(content_ + "new");
  EXPECT_EQ(keydb::RegisterOriginal(db(), original, none_), Registration::kNoId);
  EXPECT_EQ(Count("select count(*) from ORI;"), 2);
}

TEST_F(KeyChanges, AModifiedFileIsTiedToTheOriginalItWasChosenWith) {
  key_->AddOriginalRow(4, "D1", "", "a.bin", "ORIMD5");
  // Another original under the id (deleted, the id given again), no
  // original at all, an id that is no number: nothing is written.
  for (const auto& chosen : std::vector<std::pair<std::string, std::string>>{
           {"4", "OTHER"}, {"5", "ORIMD5"}, {"4x", "ORIMD5"}, {"", ""}})
    EXPECT_EQ(keydb::RegisterModified(db(), Modified(chosen.first, chosen.second), none_),
              Registration::kOriginalGone)
        << chosen.first;
  EXPECT_TRUE(Empty("MOD"));

  // The original goes while the archive is written: the insert adds no row,
  // and the archive goes with it.
  EXPECT_EQ(keydb::RegisterModified(db(), Modified("4", "ORIMD5"),
                                    [&](int) { key_->Exec("DELETE FROM ORI WHERE ID_ORI = 4;"); }),
            Registration::kNotInserted);
  EXPECT_TRUE(Empty("MOD"));
  EXPECT_EQ(Count("select count(*) from MOD;"), 0);

  // A NULL MD5 is listed as the empty text, and compared so.
  key_->Exec("INSERT INTO ORI (ID_ORI, MD5) VALUES (6, NULL);");
  key_->AddModifiedRow(2, 6, "", "old.bin", "OLD");
  ASSERT_EQ(keydb::RegisterModified(db(), Modified("6", ""), none_), Registration::kRegistered);
  EXPECT_EQ(key_->Scalar("select NOMEFILE || '|' || ID_ORI || '|' || NOTE || '|' || PATH || '|' || "
                         "typeof(ID_MOD) from MOD where ID_MOD = 3;"),
            "3.mod|6|stage 1|tuned.bin|integer");
  EXPECT_EQ(Entry(Folder("MOD/3.mod"), "3.mod"), content_);
}

TEST_F(KeyChanges, DeletionsCountAgainAndTakeTheirFilesAlong) {
  key_->AddOriginalRow(1, "D1", "", "a.bin", "M1");
  key_->AddModifiedRow(2, 1, "", "m.bin", "M2");
  fixture::WriteFile(Folder("ORI/1.ori"), "ori");
  fixture::WriteFile(Folder("MOD/2.mod"), "mod");
  std::string kept;
  // Still referred to by a modified file, whatever was counted before.
  EXPECT_EQ(keydb::DeleteOriginal(db(), "1", &kept), Deletion::kInUse);
  EXPECT_TRUE(fs::exists(Folder("ORI/1.ori")));
  EXPECT_EQ(keydb::DeleteModified(db(), "2", &kept), Deletion::kDeleted);
  EXPECT_TRUE(Empty("MOD"));
  {
    fixture::UndeletableFile held(Folder("ORI/1.ori"));
    if (held.holds()) {
      EXPECT_EQ(keydb::DeleteOriginal(db(), "1", &kept), Deletion::kFileKept);
      EXPECT_EQ(fs::path(kept).filename(), "1.ori");
    } else {
      EXPECT_EQ(keydb::DeleteOriginal(db(), "1", &kept), Deletion::kDeleted);
    }
  }
  EXPECT_EQ(Count("select count(*) from ORI;"), 0);
  // A row already gone is no failure; a name that leaves its folder removes nothing.
  EXPECT_EQ(keydb::DeleteOriginal(db(), "1", &kept), Deletion::kDeleted);
  key_->Exec("INSERT INTO MOD (ID_MOD, NOMEFILE) VALUES (3, '..\\ORI\\keep.ori');");
  fixture::WriteFile(Folder("ORI/keep.ori"), "keep");
  EXPECT_EQ(keydb::DeleteModified(db(), "3", &kept), Deletion::kDeleted);
  EXPECT_TRUE(fs::exists(Folder("ORI/keep.ori")));

  fixture::Driver driver;
  driver.nomefile = "U1";
  driver.user = true;
  key_->AddDriver(driver);
  key_->AddOriginalRow(5, "U1", "", "b.bin", "M5");
  EXPECT_EQ(keydb::DeleteUserDriver(db(), "U1", &kept), Deletion::kInUse);
  key_->Exec("DELETE FROM ORI;");
  ChangeSchema("CREATE TRIGGER keep BEFORE DELETE ON DRIVERS BEGIN SELECT RAISE(ABORT,'x'); END;");
  EXPECT_EQ(keydb::DeleteUserDriver(db(), "U1", &kept), Deletion::kFailed);
  EXPECT_TRUE(fs::exists(Folder("DRT/U1.DRU")));
  ChangeSchema("DROP TRIGGER keep;");
  EXPECT_EQ(keydb::DeleteUserDriver(db(), "U1", &kept), Deletion::kDeleted);
  EXPECT_FALSE(fs::exists(Folder("DRT/U1.DRU")));
  EXPECT_EQ(Count("select count(*) from DRIVERS;"), 0);
}

TEST_F(KeyChanges, AReservationIsPendingOnceAndRefusedWithoutAnId) {
  EXPECT_EQ(keydb::ReserveDriver(db(), "D'1"), Reservation::kReserved);
  EXPECT_EQ(keydb::ReserveDriver(db(), "D'1"), Reservation::kAlreadyPending);
  // A failed download is not pending: reserved again, with the next id.
  key_->Exec("UPDATE DRV_DOWNLOAD SET ERROR = 'True';");
  EXPECT_EQ(keydb::ReserveDriver(db(), "D'1"), Reservation::kReserved);
  EXPECT_EQ(key_->Scalar("select group_concat(ID_REQUEST || ERROR, ' ') from DRV_DOWNLOAD;"),
            "1True 2False");
  ChangeSchema(
      "CREATE TRIGGER no_requests BEFORE INSERT ON DRV_DOWNLOAD BEGIN SELECT RAISE(ABORT,'x'); "
      "END;");
  EXPECT_EQ(keydb::ReserveDriver(db(), "D2"), Reservation::kFailed);
  ChangeSchema("DROP TRIGGER no_requests;");
  key_->Exec("INSERT INTO DRV_DOWNLOAD VALUES (2147483647, 'X', 'True', 'False', '');");
  EXPECT_EQ(keydb::ReserveDriver(db(), "D2"), Reservation::kNoId);
  EXPECT_EQ(Count("select count(*) from DRV_DOWNLOAD;"), 3);
}

}  // namespace
