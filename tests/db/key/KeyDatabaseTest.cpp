// The key's paths, ids and stored names.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/DbConnection.h"
#include "db/key/KeyDatabase.h"
#include "db/key/StoredNames.h"
#include "platform/SimulatedPlatform.h"
#include "tests/db/key/KeyOnDrive.h"
#include "tests/support/SamePath.h"

namespace {

using KeyData = KeyOnDrive;

TEST_F(KeyData, PathsResolveWithoutRegardToCase) {
  keydb::KeyFolders folders(kKeyRoot);
  EXPECT_TRUE(fixture::SamePath(folders.DatabasePath(), drive_ + "/ZKM_Quorvane/Database/zkm.db"));
  EXPECT_TRUE(fixture::SamePath(folders.Originals().File(keydb::OriginalFileName(12)),
                                drive_ + "/ZKM_Quorvane/Database/ORI/12.ori"));
  EXPECT_TRUE(fixture::SamePath(folders.Modified().path(), drive_ + "/ZKM_Quorvane/Database/MOD/"));
  EXPECT_TRUE(fixture::SamePath(keydb::KeyFolders("e:\\zkm_quorvane\\").DriverFile("D1", true),
                                drive_ + "/ZKM_Quorvane/Database/DRT/D1.DRU"));
}

TEST_F(KeyData, RowNamesNeverLeaveTheirFolder) {
  keydb::KeyFolders folders(kKeyRoot);
  for (const char* bad : {"", ".", "..", "..\\zkm.db", "../zkm.db", "C:x", "a\\b.ori"}) {
    EXPECT_EQ(folders.Originals().File(bad), "") << bad;
    EXPECT_EQ(folders.Modified().File(bad), "") << bad;
    EXPECT_EQ(folders.DriverFile(bad, true), "") << bad;
    EXPECT_FALSE(folders.HasDriverFile(bad, false)) << bad;
  }
  // A marker row's original name (blanks, several dots) is a plain name.
  EXPECT_TRUE(fixture::SamePath(folders.Originals().File("my ecu..v2.bin"),
                                drive_ + "/ZKM_Quorvane/Database/ORI/my ecu..v2.bin"));
}

TEST(KeyPathsWithoutKey, AreEmptyAndDoNotOpen) {
  platform::Install(std::make_unique<platform::SimulatedPlatform>());
  keydb::KeyFolders folders("E:\\ZKM_Quorvane\\");
  EXPECT_EQ(folders.DatabasePath(), "");
  EXPECT_EQ(folders.Originals().File("1.ori"), "");
  EXPECT_FALSE(folders.HasDriverFile("D1", false));
  // Opening the empty path would make a throw-away database instead.
  EXPECT_THROW(keydb::KeyDatabase("E:\\ZKM_Quorvane\\"), DbException);
  platform::Install(nullptr);
}

TEST_F(KeyData, IdsAreTheLargestPlusOne) {
  auto next = [this](bool (*allocate)(keydb::KeyDatabase&, int*)) {
    int id = -1;
    EXPECT_TRUE(allocate(db(), &id));
    return id;
  };
  EXPECT_EQ(next(keydb::NextOriginalId), 1);
  EXPECT_EQ(next(keydb::NextModifiedId), 1);
  EXPECT_EQ(next(keydb::NextRequestId), 1);
  for (int id : {1, 2, 3}) key_->AddOriginalRow(id, "D1", "", "a.bin", "X");
  key_->Exec("DELETE FROM ORI WHERE ID_ORI = 3;");
  EXPECT_EQ(next(keydb::NextOriginalId), 3);
  key_->Exec("DELETE FROM ORI WHERE ID_ORI = 2;");
  key_->AddOriginalRow(3, "D1", "", "a.bin", "X");
  EXPECT_EQ(next(keydb::NextOriginalId), 4);
  key_->AddModifiedRow(7, 1, "", "m.bin", "X");
  EXPECT_EQ(next(keydb::NextModifiedId), 8);
  key_->Exec("INSERT INTO DRV_DOWNLOAD VALUES (5, 'D1', 'False', 'False', '');");
  EXPECT_EQ(next(keydb::NextRequestId), 6);
}

TEST_F(KeyData, NoIdPastTheLargestInteger) {
  // 2147483647 taken: the next id does not exist (it used to saturate to
  // the same number and give two rows one stored file).
  key_->AddOriginalRow(2147483647, "D1", "", "a.bin", "X");
  key_->AddModifiedRow(2147483647, 1, "", "m.bin", "X");
  key_->Exec("INSERT INTO DRV_DOWNLOAD VALUES (2147483647, 'D1', 'False', 'False', '');");
  int id = 0;
  EXPECT_FALSE(keydb::NextOriginalId(db(), &id));
  EXPECT_FALSE(keydb::NextModifiedId(db(), &id));
  EXPECT_FALSE(keydb::NextRequestId(db(), &id));
  // Ids written by another program past 32 bits are no way round it.
  key_->Exec(
      "UPDATE ORI SET ID_ORI = 4294967296; UPDATE DRV_DOWNLOAD SET ID_REQUEST = 4294967296;");
  EXPECT_FALSE(keydb::NextOriginalId(db(), &id));
  EXPECT_FALSE(keydb::NextRequestId(db(), &id));
  // Other failures are still the layer's own.
  ChangeSchema("DROP TABLE MOD;");
  EXPECT_THROW(keydb::NextModifiedId(db(), &id), DbException);
}

TEST_F(KeyData, MarkerRowsShowTheirStoredName) {
  EXPECT_EQ(keydb::DisplayName("DataBase\\Original\\", "engine.bin", false), "engine.bin");
  EXPECT_EQ(keydb::DisplayName("Database\\Original\\", "engine.bin", false),
            "Database\\Original\\");
  EXPECT_EQ(keydb::DisplayName("DataBase\\Modified\\", "tuned.bin", true), "tuned.bin");
  EXPECT_EQ(keydb::DisplayName("DataBase\\Original\\", "x", true), "DataBase\\Original\\");
  EXPECT_EQ(keydb::DisplayName("my file.bin", "3.ori", false), "my file.bin");
}

TEST(StoredContent, ArchivesStartWithPK) {
  EXPECT_FALSE(keydb::IsStoredArchive(std::string()));
  EXPECT_FALSE(keydb::IsStoredArchive(std::string("P")));
  EXPECT_TRUE(keydb::IsStoredArchive(std::string("PK")));
  EXPECT_FALSE(keydb::IsStoredArchive(std::string("pk\3\4")));
  EXPECT_TRUE(keydb::IsStoredArchive(std::vector<unsigned char>{'P', 'K', 3, 4}));
}

}  // namespace
