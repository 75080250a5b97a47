// The Windows machine itself: drives, labels and drive types as Wine
// answers them, the running-product check through psapi against real
// processes, program starts and commands, and version resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/Files.h"

namespace {
namespace fs = std::filesystem;

// A drive that tools/windows-test.sh added to the Wine prefix.
struct AddedDrive {
  char letter;
  unsigned kind;
  std::string label;
  std::string root() const { return std::string(1, letter) + ":\\"; }
};

unsigned KindOfWineType(const std::string& type) {
  if (type == "floppy") return platform::kDriveRemovable;
  if (type == "hd") return platform::kDriveFixed;
  if (type == "network") return platform::kDriveRemote;
  if (type == "cdrom") return platform::kDriveCdRom;
  if (type == "ramdisk") return platform::kDriveRamDisk;
  return platform::kDriveUnknown;
}

// QUORVANE_WINE_DRIVES: "letter:wine-type:label" entries separated by ';'.
std::vector<AddedDrive> AddedDrives() {
  std::vector<AddedDrive> drives;
  const char* text = std::getenv("QUORVANE_WINE_DRIVES");
  std::stringstream entries(text ? text : "");
  std::string entry;
  while (std::getline(entries, entry, ';')) {
    const size_t first = entry.find(':');
    const size_t second = entry.find(':', first + 1);
    if (first != 1 || second == std::string::npos) continue;
    drives.push_back({static_cast<char>(std::toupper(static_cast<unsigned char>(entry[0]))),
                      KindOfWineType(entry.substr(first + 1, second - first - 1)),
                      entry.substr(second + 1)});
  }
  return drives;
}

bool WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return condition();
}

class NativeMachine : public ::testing::Test {
 protected:
  void SetUp() override { platform::Install(platform::CreateNative()); }
  void TearDown() override { platform::Install(nullptr); }
  platform::Platform& machine() { return platform::Current(); }
};

class WineDrives : public NativeMachine {
 protected:
  void SetUp() override {
    NativeMachine::SetUp();
    drives = AddedDrives();
    ASSERT_GE(drives.size(), 2u) << "QUORVANE_WINE_DRIVES names no drives: run these tests "
                                    "through tools/windows-test.sh";
  }
  std::vector<AddedDrive> drives;
};

TEST_F(WineDrives, AddedDrivesAnswerWithTheirLabelAndType) {
  const std::uint32_t mask = machine().LogicalDrives();
  EXPECT_TRUE(mask & (1u << ('C' - 'A')));
  for (const AddedDrive& drive : drives) {
    SCOPED_TRACE(drive.root());
    EXPECT_TRUE(mask & (1u << (drive.letter - 'A')));
    EXPECT_EQ(machine().DriveType(drive.root()), drive.kind);
    // The manual choice asks with the selector's two characters, "q:".
    const std::string lower(1, static_cast<char>(std::tolower(drive.letter)));
    EXPECT_EQ(machine().DriveType(lower + ":"), drive.kind);
    std::string label = "untouched";
    EXPECT_TRUE(machine().VolumeLabel(drive.root(), &label));
    EXPECT_EQ(label, drive.label);
    EXPECT_EQ(machine().DriveDescription(drive.letter), drive.label);
    EXPECT_EQ(machine().DriveFolder(drive.letter), drive.root());
    EXPECT_EQ(machine().DriveFolder(lower[0]), drive.root());
  }
}

TEST_F(WineDrives, SystemDriveIsFixedAndAbsentDrivesHaveNoRoot) {
  EXPECT_EQ(machine().DriveType("C:\\"), platform::kDriveFixed);
  std::string label = "untouched";
  EXPECT_TRUE(machine().VolumeLabel("C:\\", &label));
  const std::uint32_t mask = machine().LogicalDrives();
  int absent = -1;
  for (int i = 25; i >= 3 && absent < 0; --i)
    if (!(mask & (1u << i))) absent = i;
  ASSERT_GE(absent, 0);
  const std::string root = std::string(1, static_cast<char>('A' + absent)) + ":\\";
  EXPECT_EQ(machine().DriveType(root), platform::kDriveNoRootDir);
  label = "untouched";
  EXPECT_FALSE(machine().VolumeLabel(root, &label));
  EXPECT_EQ(label, "untouched");
  EXPECT_EQ(machine().DriveFolder(root[0]), "");
  EXPECT_EQ(platform::NativePath(root + "ZKM_Quorvane\\"), "");
}

TEST_F(WineDrives, OnlyTheKeyHasTheExactLabelAndTheDatabase) {
  // The set-up puts the database on every added drive; only labels spelt
  // exactly as the product's make a drive the key.
  std::vector<char> keys;
  const std::uint32_t mask = machine().LogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
    std::string label;
    if (!machine().VolumeLabel(root, &label)) label.clear();
    if ((label == "QUORVANE" || label == "ZARIVIRE") &&
        platform::FileExists(platform::NativePath(root, "ZKM_Quorvane\\DataBase\\zkm.db")))
      keys.push_back(static_cast<char>('A' + i));
  }
  std::vector<char> expected;
  for (const AddedDrive& drive : drives)
    if (drive.label == "QUORVANE" || drive.label == "ZARIVIRE") expected.push_back(drive.letter);
  std::sort(expected.begin(), expected.end());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(keys, expected);
  for (const AddedDrive& drive : drives) {
    // Windows ignores case in names: the product's spellings all reach it.
    EXPECT_TRUE(
        platform::FileExists(platform::NativePath(drive.root(), "zkm_quorvane\\Database\\ZKM.DB")))
        << drive.root();
  }
}

// Copies of the helper program, each in a folder of its own, started as
// the tool starts programs.
class Processes : public NativeMachine {
 protected:
  void TearDown() override {
    for (const auto& [folder, name] : started_) {
      fixture::WriteFile(folder + "/stop", "");
      WaitUntil([&] { return !machine().IsProcessRunning(name); });
    }
    // A started program leaves our current folder in its own; let it go.
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    NativeMachine::TearDown();
  }

  static fs::path HelperNamed(const std::string& helper) {
    return fs::path(platform::Current().ExecutablePath()).parent_path() / helper;
  }

  // Starts a copy of the helper as folderName\exeName; returns its folder.
  std::string Start(const std::string& folderName, const std::string& exeName) {
    const fs::path folder = fs::path(dir.path()) / folderName;
    fs::create_directories(folder);
    fs::copy_file(HelperNamed("quor_process_helper.exe"), folder / exeName);
    started_.emplace_back(folder.string(), exeName);
    EXPECT_EQ(machine().StartProgram((folder / exeName).string(), folder.string()),
              platform::StartResult::kStarted);
    EXPECT_TRUE(WaitUntil([&] { return fs::exists(folder / "started"); }));
    return folder.string();
  }

  void Stop(const std::string& folder) { fixture::WriteFile(folder + "/stop", ""); }

  fixture::TempDir dir;

 private:
  std::vector<std::pair<std::string, std::string>> started_;
};

TEST_F(Processes, ProductIsFoundUnderItsExactNameOnly) {
  const std::string exact = Start("exact", "ZKMQuorvane.exe");
  ASSERT_TRUE(WaitUntil([&] { return machine().IsProcessRunning("ZKMQuorvane.exe"); }));
  EXPECT_FALSE(machine().IsProcessRunning("zkmquorvane.exe"));
  EXPECT_FALSE(machine().IsProcessRunning("ZKMQuorvane"));
  EXPECT_FALSE(machine().IsProcessRunning("ZKMQuorvane.ex"));
  Stop(exact);
  EXPECT_TRUE(WaitUntil([&] { return !machine().IsProcessRunning("ZKMQuorvane.exe"); }));

  const std::string lower = Start("lower", "zkmquorvane.exe");
  ASSERT_TRUE(WaitUntil([&] { return machine().IsProcessRunning("zkmquorvane.exe"); }));
  EXPECT_FALSE(machine().IsProcessRunning("ZKMQuorvane.exe"));
  Stop(lower);
}

TEST_F(Processes, ThisProgramIsInTheListAndNoOtherMatchesANewName) {
  const std::string self = fs::path(machine().ExecutablePath()).filename().string();
  EXPECT_EQ(self, "windows_test.exe");
  EXPECT_TRUE(machine().IsProcessRunning(self));
  EXPECT_FALSE(machine().IsProcessRunning("QuorNoSuchProgram.exe"));
  EXPECT_FALSE(machine().IsProcessRunning(""));
}

TEST_F(Processes, StartedProgramRunsInTheGivenFolder) {
  const std::string folder = Start("service pack", "QSP.exe");
  const std::string workDir = fixture::ReadFile(folder + "/started");
  EXPECT_TRUE(fs::equivalent(workDir, folder)) << workDir;
  EXPECT_TRUE(WaitUntil([&] { return machine().IsProcessRunning("QSP.exe"); }));
}

TEST_F(Processes, BatchFileRunsThroughTheCommandInterpreter) {
  const fs::path folder = fs::path(dir.path()) / "usb key";
  fixture::WriteFile((folder / "Zkm_Quorvane.bat").string(), "@echo off\r\necho ran> ran.txt\r\n");
  EXPECT_EQ(machine().StartProgram((folder / "Zkm_Quorvane.bat").string(), folder.string()),
            platform::StartResult::kStarted);
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(folder / "ran.txt"); }));
}

TEST_F(Processes, MissingProgramIsNotStarted) {
  EXPECT_EQ(machine().StartProgram(dir.path() + "\\missing.exe", ""),
            platform::StartResult::kFailed);
}

TEST_F(Processes, CommandsRunToTheirEndAndGiveTheirExitCode) {
  const std::string out = (fs::path(dir.path()) / "out.txt").string();
  EXPECT_EQ(machine().RunCommand("echo done> \"" + out + "\""), 0);
  // Waited for: the file is there the moment the call returns.
  EXPECT_TRUE(fs::exists(out));
  EXPECT_EQ(machine().RunCommand("exit 3"), 3);
}

TEST_F(Processes, QuotedProgramWithQuotedArgumentsRunsAsWritten) {
  const fs::path folder = fs::path(dir.path()) / "usb key";
  fixture::WriteFile((folder / "answer.bat").string(),
                     "@echo off\r\necho %~1> \"%~dp0argument.txt\"\r\nexit /b 5\r\n");
  EXPECT_EQ(machine().RunCommand("\"" + (folder / "answer.bat").string() + "\" \"one two\""), 5);
  EXPECT_EQ(fixture::ReadFile((folder / "argument.txt").string()), "one two\r\n");
}

TEST(VersionResource, ThisProgramCarriesTheProjectsVersion) {
  platform::Install(platform::CreateNative());
  EXPECT_EQ(CUtilities().GetVersionInfo(), "1.02");
  platform::Install(nullptr);
}

TEST(VersionResource, OtherProgramsAnswerWithTheirOwnOrNone) {
  const fs::path folder = fs::path(platform::CreateNative()->ExecutablePath()).parent_path();
  EXPECT_EQ(CUtilities::VersionInfoOf((folder / "quor_versioned_helper.exe").string()), "3.123");
  EXPECT_EQ(CUtilities::VersionInfoOf((folder / "quor_process_helper.exe").string()),
            "Not specified");
  EXPECT_EQ(CUtilities::VersionInfoOf((folder / "missing.exe").string()), "Not specified");
}

}  // namespace
