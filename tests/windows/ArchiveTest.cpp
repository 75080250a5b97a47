// Backups as Windows makes them: archives of a key drive given by its
// letter, split into volumes, read back under other spellings of their
// names, with the files' DOS attributes; stored single files; and the qbk
// tool run through the command interpreter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "archive/Brennowzip.h"
#include "platform/Files.h"
#include "platform/Platform.h"
#include "tests/support/Files.h"

namespace {

// DOS attribute bits as ZIP tools store them.
constexpr std::uint32_t kReadOnly = 0x01, kHidden = 0x02, kArchive = 0x20;

// Gives a file these DOS attributes, keeping its modification time.
bool SetAttributes(const std::string& path, std::uint32_t attributes) {
  const platform::files::Info info = platform::files::Stat(path);
  return info.exists && platform::files::SetTimeAndAttributes(path, info.modified, attributes);
}
namespace fs = std::filesystem;

std::wstring Wide(const fs::path& path) { return CBrennowZip::Wide(path.string()); }

// Relative path (generic, as found on disk) -> bytes, for every file below.
std::map<std::string, std::string> Tree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).generic_string()] =
          fixture::ReadFile(entry.path().string());
  }
  return files;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A key's content in a folder of its own on the key drive Q: that the test
// set-up adds (on another drive when it is missing).
class KeyBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Install(platform::CreateNative());
    const std::string leaf = fs::path(scratch.path()).filename().string();
    drive = platform::Current().DriveFolder('Q').empty() ? fs::path(scratch.path())
                                                         : fs::path("Q:\\") / leaf;
    key = drive / "key";
    fixture::WriteFile((key / "Zkm_Quorvane.bat").string(),
                       "@echo off\r\nstart ZKMQuorvane.exe\r\n");
    fixture::WriteFile((key / "ZKM_Quorvane/Database/zkm.db").string(),
                       fixture::EcuImage(1, 70000));
    fixture::WriteFile((key / "ZKM_Quorvane/Database/ORI/1.ori").string(),
                       fixture::EcuImage(2, 262144));
    fixture::WriteFile((key / "ZKM_Quorvane/Database/MOD/1.mod").string(),
                       fixture::EcuImage(3, 262144));
    fixture::WriteFile((key / "ZKM_Quorvane/Database/DRT/EDC16C39.DRT").string(), "driver");
    fs::create_directories(key / "ZKM_Quorvane/Database/Empty");
    readOnly = key / "ZKM_Quorvane/Readme.txt";
    fixture::WriteFile(readOnly.string(), "read me");
    ASSERT_TRUE(SetAttributes(readOnly.string(), kReadOnly | kArchive));
    hidden = key / "ZKM_Quorvane/Settings.ini";
    fixture::WriteFile(hidden.string(), "[x]\r\n");
    ASSERT_TRUE(SetAttributes(hidden.string(), kHidden | kArchive));
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(drive, ec))
      if (entry.is_regular_file(ec)) SetAttributes(entry.path().string(), kArchive);
    if (drive != fs::path(scratch.path())) fs::remove_all(drive, ec);
    platform::Install(nullptr);
  }

  fixture::TempDir scratch;
  fs::path drive, key, readOnly, hidden;
};

TEST_F(KeyBackup, SplitBackupOfTheKeyRestoresEveryFileAndAttribute) {
  const fs::path archivePath = drive / "backups" / "20240131_Quorvane.qbk";
  fs::create_directories(archivePath.parent_path());
  {
    CBrennowZip zip;
    zip.setVolumeSize(65536);
    ASSERT_TRUE(zip.openArchive(archivePath.string())) << zip.lastError();
    ASSERT_TRUE(zip.addFiles(Wide(key), L"*.*")) << zip.lastDetail();
    ASSERT_TRUE(zip.closeArchive()) << zip.lastError();
  }
  // About 600 KB of mostly incompressible content: several volumes.
  EXPECT_TRUE(fs::exists(drive / "backups" / "20240131_Quorvane.z01"));
  EXPECT_TRUE(fs::exists(drive / "backups" / "20240131_Quorvane.z02"));
  for (const auto& entry : fs::directory_iterator(archivePath.parent_path()))
    EXPECT_LE(fs::file_size(entry.path()), 65536u) << entry.path().string();

  // Restored from the name in capitals, as a user may type it.
  const fs::path restored = drive / "restored";
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(Upper(archivePath.string()))) << zip.lastError();
    ASSERT_TRUE(zip.extractFiles(Wide(restored), L"*.*")) << zip.lastError();
    ASSERT_TRUE(zip.closeArchive());
  }
  EXPECT_EQ(Tree(restored), Tree(key));
  EXPECT_TRUE(fs::is_directory(restored / "ZKM_Quorvane/Database/Empty"));
  platform::files::Info info =
      platform::files::Stat((restored / "ZKM_Quorvane/Readme.txt").string());
  ASSERT_TRUE(info.exists);
  EXPECT_TRUE(info.dosAttributes & kReadOnly);
  info = platform::files::Stat((restored / "ZKM_Quorvane/Settings.ini").string());
  ASSERT_TRUE(info.exists);
  EXPECT_TRUE(info.dosAttributes & kHidden);
  EXPECT_FALSE(info.dosAttributes & kReadOnly);
}

// A drive of the test's own, its root empty: the spare drive of the Wine
// run (QUORVANE_WINE_SPARE_DRIVE), else a free letter mapped to folder.
// Never a drive that holds anything else. Empty when there is none.
std::wstring OwnDrive(const fs::path& folder) {
  if (const char* spare = std::getenv("QUORVANE_WINE_SPARE_DRIVE"))
    return std::wstring(1,
                        static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(spare[0])))) +
           L":";
  for (wchar_t letter = L'Z'; letter >= L'G'; --letter) {
    const std::wstring drive = std::wstring(1, letter) + L":";
    if (GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_NO_ROOT_DIR &&
        DefineDosDeviceW(0, drive.c_str(), folder.wstring().c_str()) && fs::exists(drive + L"\\"))
      return drive;
  }
  return L"";
}

// The names in a drive's root, which the mingw library cannot open.
std::set<std::wstring> RootNames(const std::wstring& drive) {
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((drive + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..")
      names.insert(found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// A key given by its root while the program's current folder is a folder
// on that key (it was started from there): the backup takes the whole key
// and the restore writes to its root, not to that folder.
TEST_F(KeyBackup, DriveRootIsTheRootWhileTheCurrentFolderIsOnTheKey) {
  const fs::path mapped = fs::path(scratch.path()) / "own-drive";
  fs::create_directories(mapped);
  const std::wstring letter = OwnDrive(mapped);
  if (letter.empty()) GTEST_SKIP() << "no drive letter of the test's own here";
  const fs::path root = letter + L"\\";
  ASSERT_TRUE(RootNames(letter).empty());
  fixture::WriteFile((root / "Zkm_Quorvane.bat").string(), "@echo off\r\n");
  fixture::WriteFile((root / "ZKM_Quorvane/Database/DRT/EDC16C39.DRT").string(), "driver");
  const fs::path before = fs::current_path();
  fs::current_path(root / "ZKM_Quorvane");
  const fs::path archivePath = drive / "root.qbk";
  bool written = false, restored = false;
  {
    CBrennowZip zip;
    written = zip.openArchive(archivePath.string()) && zip.addFiles(root.wstring(), L"*.*") &&
              zip.closeArchive();
  }
  fs::remove_all(root / "ZKM_Quorvane/Database");
  fs::remove(root / "Zkm_Quorvane.bat");
  {
    CBrennowZip zip;
    restored = zip.openArchive(archivePath.string()) && zip.extractFiles(root.wstring(), L"*.*") &&
               zip.closeArchive();
  }
  fs::current_path(before);
  const std::set<std::wstring> names = RootNames(letter);
  std::error_code ec;
  const std::map<std::string, std::string> below = Tree(root / "ZKM_Quorvane");
  const std::string batch = fixture::ReadFile((root / "Zkm_Quorvane.bat").string());
  for (const std::wstring& name : names) fs::remove_all(root / name, ec);
  if (!std::getenv("QUORVANE_WINE_SPARE_DRIVE"))
    DefineDosDeviceW(DDD_REMOVE_DEFINITION, letter.c_str(), nullptr);
  EXPECT_TRUE(written);
  EXPECT_TRUE(restored);
  EXPECT_EQ(names, (std::set<std::wstring>{L"Zkm_Quorvane.bat", L"ZKM_Quorvane"}));
  EXPECT_EQ(batch, "@echo off\r\n");
  EXPECT_EQ(below, (std::map<std::string, std::string>{{"Database/DRT/EDC16C39.DRT", "driver"}}));
}

TEST_F(KeyBackup, VolumesAreFoundWhateverTheCaseOfTheirNames) {
  const fs::path archivePath = drive / "export.qbk";
  {
    CBrennowZip zip;
    zip.setVolumeSize(65536);
    ASSERT_TRUE(zip.openArchive(archivePath.string())) << zip.lastError();
    ASSERT_TRUE(zip.addFiles(Wide(key / "ZKM_Quorvane/Database"), L"*.*")) << zip.lastDetail();
    ASSERT_TRUE(zip.closeArchive()) << zip.lastError();
  }
  // A copy whose volumes were renamed by a tool that writes capitals.
  const fs::path copied = drive / "copied";
  fs::create_directories(copied);
  int volumes = 0;
  for (const auto& entry : fs::directory_iterator(drive)) {
    if (!entry.is_regular_file()) continue;
    fs::copy_file(entry.path(), copied / Upper(entry.path().filename().string()));
    ++volumes;
  }
  ASSERT_GE(volumes, 3);
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive((copied / "export.qbk").string())) << zip.lastError();
  std::vector<unsigned char> stream;
  ASSERT_TRUE(zip.extractToStream(L"MOD/1.mod", &stream)) << zip.lastError();
  const std::string bytes(stream.begin(), stream.end());
  EXPECT_EQ(bytes, fixture::ReadFile((key / "ZKM_Quorvane/Database/MOD/1.mod").string()));
}

TEST_F(KeyBackup, StoredOriginalIsOneEntryArchiveOnTheKey) {
  const std::string content = fixture::EcuImage(9, 131072);
  const std::string stored =
      platform::NativePath(drive.string() + "\\", "key\\ZKM_Quorvane\\Database\\ORI\\12.ori");
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(stored)) << zip.lastError();
    ASSERT_TRUE(zip.addStream(L"Originale \u00e0 12.bin",
                              std::vector<unsigned char>(content.begin(), content.end())))
        << zip.lastError();
    ASSERT_TRUE(zip.closeArchive()) << zip.lastError();
  }
  EXPECT_EQ(fixture::ReadFile(stored).substr(0, 2), "PK");
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(stored)) << zip.lastError();
  std::vector<unsigned char> stream;
  ASSERT_TRUE(zip.extractToStream(L"Originale \u00e0 12.bin", &stream)) << zip.lastError();
  const std::string bytes(stream.begin(), stream.end());
  EXPECT_EQ(bytes, content);
}

TEST_F(KeyBackup, QbkToolMakesTestsAndRestoresABackup) {
  const fs::path qbk =
      fs::path(platform::Current().ExecutablePath()).parent_path().parent_path().parent_path() /
      "tools" / "qbk.exe";
  ASSERT_TRUE(fs::exists(qbk)) << qbk.string();
  const std::string tool = "\"" + qbk.string() + "\"";
  const fs::path archivePath = drive / "tool" / "20240131_Quorvane.qbk";
  fs::create_directories(archivePath.parent_path());
  auto quoted = [](const fs::path& p) { return "\"" + p.string() + "\""; };
  EXPECT_EQ(platform::Current().RunCommand(tool + " create --volume-size 65536 " +
                                           quoted(archivePath) + " " + quoted(key)),
            0);
  EXPECT_TRUE(fs::exists(drive / "tool" / "20240131_Quorvane.z02"));
  EXPECT_EQ(platform::Current().RunCommand(tool + " test " + quoted(archivePath)), 0);
  const fs::path restored = drive / "tool-restored";
  EXPECT_EQ(platform::Current().RunCommand(tool + " extract " + quoted(archivePath) + " " +
                                           quoted(restored)),
            0);
  EXPECT_EQ(Tree(restored), Tree(key));
  // A damaged volume is reported through the exit code.
  {
    std::string volume = fixture::ReadFile((drive / "tool" / "20240131_Quorvane.z01").string());
    volume[volume.size() / 2] ^= 0x55;
    fixture::WriteFile((drive / "tool" / "20240131_Quorvane.z01").string(), volume);
  }
  EXPECT_NE(platform::Current().RunCommand(tool + " test " + quoted(archivePath)), 0);
}

}  // namespace
