#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "platform/LinuxMounts.h"
#include "platform/Platform.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"

namespace {

using platform::SimulatedPlatform;

TEST(SimulatedTable, ReadsDrivesProcessesAndLegacyRoot) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "drives.tab",
                     "# comment\n"
                     "drive\tE\tremovable\tQUORVANE\t/media/key\n"
                     "drive\tc\tfixed\t\t/\r\n"
                     "drive\tF\tcdrom\t?\t/media/cd\n"
                     "drive\tG\tbogus\tX\t/x\n"   // unknown type: ignored
                     "drive\tHH\tfixed\tX\t/x\n"  // not a letter: ignored
                     "process\tZKMQuorvane.exe\n"
                     "legacy-c\t/wine/drive_c\n");
  auto machine = SimulatedPlatform::FromTable(dir / "drives.tab");
  EXPECT_EQ(machine->LogicalDrives(), (1u << 2) | (1u << 4) | (1u << 5));
  std::string label = "untouched";
  EXPECT_TRUE(machine->VolumeLabel("E:\\", &label));
  EXPECT_EQ(label, "QUORVANE");
  EXPECT_TRUE(machine->VolumeLabel("C:\\", &label));
  EXPECT_EQ(label, "");
  label = "untouched";
  EXPECT_FALSE(machine->VolumeLabel("F:\\", &label));
  EXPECT_EQ(label, "untouched");
  EXPECT_EQ(machine->DriveType("e:"), platform::kDriveRemovable);
  EXPECT_EQ(machine->DriveType("F:\\"), platform::kDriveCdRom);
  EXPECT_EQ(machine->DriveType("Q:\\"), platform::kDriveNoRootDir);
  EXPECT_EQ(machine->DriveFolder('e'), "/media/key");
  EXPECT_TRUE(machine->IsProcessRunning("ZKMQuorvane.exe"));
  EXPECT_FALSE(machine->IsProcessRunning("zkmquorvane.exe"));
  EXPECT_EQ(machine->LegacySystemRoot(), "/wine/drive_c");
}

TEST(SimulatedTable, UnreadableTableMeansNoDrives) {
  auto machine = SimulatedPlatform::FromTable("/nonexistent/drives.tab");
  EXPECT_EQ(machine->LogicalDrives(), 0u);
  EXPECT_FALSE(machine->IsProcessRunning("ZKMQuorvane.exe"));
}

TEST(SimulatedTable, RecordsStartsAndCommandsWithoutRunningThem) {
  SimulatedPlatform machine;
  EXPECT_EQ(machine.StartProgram("/key/Zkm_Quorvane.bat", "/key"), platform::StartResult::kStarted);
  EXPECT_TRUE(machine.CheckDisk("chkdsk e: /f /v", "e:"));
  machine.SetStartResult(platform::StartResult::kNoInterpreter);
  EXPECT_EQ(machine.StartProgram("/key/QSP.exe", "/key"), platform::StartResult::kNoInterpreter);
  machine.SetCheckDiskFails(true);
  EXPECT_FALSE(machine.CheckDisk("chkdsk e: /f /v", "e:"));
  auto launches = machine.Launches();
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[0].kind, "start");
  EXPECT_EQ(launches[0].workDir, "/key");
  EXPECT_EQ(launches[1].kind, "command");
  EXPECT_EQ(launches[1].program, "chkdsk e: /f /v");
}

// Whether two native paths name the same file as the platform sees names:
// exactly on Linux, where the helpers must find the spelling on disk; on
// Windows, whose file systems ignore case, without regard to case or to the
// kind of separator.
::testing::AssertionResult SamePath(const std::string& actual, const std::string& expected) {
#ifdef _WIN32
  auto folded = [](const std::string& path) {
    std::string out = std::filesystem::path(path).lexically_normal().generic_string();
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  if (folded(actual) == folded(expected)) return ::testing::AssertionSuccess();
#else
  if (actual == expected) return ::testing::AssertionSuccess();
#endif
  return ::testing::AssertionFailure() << "\"" << actual << "\" is not \"" << expected << "\"";
}

class KeyPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    auto machine = std::make_unique<SimulatedPlatform>();
    machine->AddDrive('E', dir.path(), "QUORVANE", platform::kDriveRemovable);
    machine->SetLegacySystemRoot(dir / "c");
    platform::Install(std::move(machine));
    std::filesystem::create_directories(dir / "ZKM_Quorvane/Database/DRT");
    fixture::WriteFile(dir / "ZKM_Quorvane/Database/zkm.db", "x");
    fixture::WriteFile(dir / "Zkm_Quorvane.bat", "x");
    fixture::WriteFile(dir / "c/ORDALIX/Tabelle/SYSTAB.INI", "x");
  }
  void TearDown() override { platform::Install(nullptr); }
  fixture::TempDir dir;
};

TEST_F(KeyPaths, ComponentsMatchWithoutRegardToCase) {
  EXPECT_TRUE(SamePath(platform::NativePath("E:\\ZKM_Quorvane\\DataBase\\zkm.db"),
                       dir / "ZKM_Quorvane/Database/zkm.db"));
  EXPECT_TRUE(SamePath(platform::NativePath("e:\\zkm_quorvane\\", "Database\\Drt\\"),
                       dir / "ZKM_Quorvane/Database/DRT/"));
  EXPECT_TRUE(platform::FileExists(platform::NativePath("E:\\", "ZKM_Quorvane\\DataBase\\zkm.db")));
  EXPECT_TRUE(SamePath(platform::LegacyPath("C:\\ORDALIX\\Tabelle\\Systab.ini"),
                       dir / "c/ORDALIX/Tabelle/SYSTAB.INI"));
}

TEST_F(KeyPaths, DriveTextWithoutBackslashMeansTheDrivesRoot) {
  EXPECT_TRUE(SamePath(platform::NativePath("e:", "Zkm_Quorvane.bat"), dir / "Zkm_Quorvane.bat"));
  EXPECT_TRUE(platform::FileExists(platform::NativePath("e:", "zkm_quorvane.BAT")));
}

TEST_F(KeyPaths, MissingComponentsKeepTheirSpellingAndUnknownDrivesGiveNothing) {
  EXPECT_TRUE(SamePath(platform::NativePath("E:\\ZKM_Quorvane\\Database\\ORI\\12.ori"),
                       dir / "ZKM_Quorvane/Database/ORI/12.ori"));
  EXPECT_FALSE(platform::FileExists(platform::NativePath("E:\\ZKM_Quorvane\\Database")));
  EXPECT_EQ(platform::NativePath("Q:\\ZKM_Quorvane\\"), "");
  EXPECT_FALSE(platform::FileExists(""));
}

TEST(LinuxMounts, RootIsCAndOthersFollowInMountPointOrder) {
  const std::string info =
      "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
      "23 22 0:5 / /proc rw - proc proc rw\n"
      "24 22 0:20 / /run rw - tmpfs tmpfs rw\n"
      "25 24 8:17 / /run/media/anna/QUORVANE rw - vfat /dev/sdb1 rw\n"
      "26 22 8:2 / /home rw - ext4 /dev/sda2 rw\n"
      "27 22 0:40 / /mnt/share\\040drive rw - cifs //srv/share rw\n"
      "28 22 7:0 / /media/cd rw - iso9660 /dev/sr0 ro\n"
      "garbage line\n";
  auto drives = platform::DrivesFromMountInfo(info);
  ASSERT_EQ(drives.size(), 5u);
  EXPECT_EQ(drives[0].letter, 'C');
  EXPECT_EQ(drives[0].mountPoint, "/");
  EXPECT_EQ(drives[1].mountPoint, "/home");
  EXPECT_EQ(drives[1].letter, 'D');
  EXPECT_EQ(drives[2].mountPoint, "/media/cd");
  EXPECT_EQ(drives[3].mountPoint, "/mnt/share drive");
  EXPECT_EQ(drives[4].mountPoint, "/run/media/anna/QUORVANE");
  EXPECT_EQ(drives[4].letter, 'G');
  EXPECT_EQ(drives[4].source, "/dev/sdb1");
}

TEST(LinuxMounts, DriveTypesAndLabelEscapes) {
  EXPECT_EQ(platform::DriveTypeFor("vfat", true), platform::kDriveRemovable);
  EXPECT_EQ(platform::DriveTypeFor("ext4", false), platform::kDriveFixed);
  EXPECT_EQ(platform::DriveTypeFor("nfs4", false), platform::kDriveRemote);
  EXPECT_EQ(platform::DriveTypeFor("cifs", false), platform::kDriveRemote);
  EXPECT_EQ(platform::DriveTypeFor("udf", true), platform::kDriveCdRom);
  EXPECT_EQ(platform::DriveTypeFor("tmpfs", false), platform::kDriveRamDisk);
  EXPECT_EQ(platform::UnescapeUdevLabel("MY\\x20KEY"), "MY KEY");
  EXPECT_EQ(platform::UnescapeUdevLabel("QUORVANE"), "QUORVANE");
  EXPECT_EQ(platform::UnescapeMountField("/a\\040b"), "/a b");
}

}  // namespace
