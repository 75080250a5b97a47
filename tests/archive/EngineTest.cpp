// The engine on real trees: round trips, masks, updates, and what a backup
// must never take in (its own files, symbolic links).
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <thread>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "archive/zip/Text.h"
#include "archive/zip/Volumes.h"
#include "platform/Files.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::Bytes;
using archivetest::ReadTree;
using archivetest::WriteTree;
using fixture::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Names(const std::string& archive) {
  zip::Archive a;
  a.Open(archive);
  std::vector<std::string> names;
  for (const zip::Entry& e : a.entries()) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> SampleTree() {
  return {{"ZKM_Quorvane/Database/zkm.db", archivetest::RandomBytes(1, 70000)},
          {"ZKM_Quorvane/Database/ORI/1.ori", fixture::EcuImage(7, 300000)},
          {"ZKM_Quorvane/Database/MOD/", ""},  // empty folder
          {"ZKM_Quorvane/Drt/D00001.DRT", std::string(5000, 'D')},
          {"ZKM_Quorvane/Drt/README", "no dot in this name"},
          {".hidden", "dot file"},
          {"Citt\xC3\xA0 \xE2\x82\xAC/\xC3\x9C"
           "ber.txt",
           "non-ASCII names"},
          {"big.bin", fixture::EcuImage(9, 6 << 20)},  // streamed in chunks
          {"empty.txt", ""}};
}

TEST(Engine, BackupAndRestoreGiveTheSameTreeWithDatesAndEmptyFolders) {
  TempDir dir;
  WriteTree(dir / "src", SampleTree());
  const std::int64_t old = 1262347384;  // 2010-01-01
  ASSERT_TRUE(
      platform::files::SetTimeAndAttributes(dir / "src/ZKM_Quorvane/Drt/README", old, 0x20));
  std::string error;
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "src", 0, &error)) << error;
  ASSERT_TRUE(archivetest::Restore(dir / "k.qbk", dir / "dst", &error)) << error;
  EXPECT_EQ(ReadTree(dir / "dst"), ReadTree(dir / "src"));
  EXPECT_LE(std::llabs(platform::files::Stat(dir / "dst/ZKM_Quorvane/Drt/README").modified - old),
            2);
}

TEST(Engine, NamesAreOemWithAUnicodeCopy) {
  EXPECT_EQ(zip::Utf8ToOem("Citt\xC3\xA0"), "Citt\x85");
  EXPECT_EQ(zip::OemToUtf8("Citt\x85"), "Citt\xC3\xA0");
  EXPECT_EQ(zip::Utf8ToOem("\xE2\x82\xAC"), "_");  // the euro is not in CP850
  // Never a look-alike: a fullwidth solidus must not become a folder separator.
  EXPECT_EQ(zip::Utf8ToOem("..\xEF\xBC\x8F"
                           "x"),
            ".._x");
  TempDir dir;
  WriteTree(dir / "src", {{"Citt\xC3\xA0\xE2\x82\xAC.txt", "x"}, {"plain.txt", "y"}});
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "src"));
  zip::Archive a;
  a.Open(dir / "k.qbk");
  ASSERT_EQ(a.entries().size(), 2u);
  const zip::Entry& odd = a.entries()[0].name == "plain.txt" ? a.entries()[1] : a.entries()[0];
  EXPECT_EQ(odd.rawName, "Citt\x85_.txt");
  EXPECT_EQ(odd.name, "Citt\xC3\xA0\xE2\x82\xAC.txt");
  EXPECT_EQ(odd.extra.substr(0, 2), std::string("\x75\x70", 2));
  const zip::Entry& plain = a.entries()[0].name == "plain.txt" ? a.entries()[0] : a.entries()[1];
  EXPECT_TRUE(plain.extra.empty());
}

TEST(Engine, MasksMatchLikeWindowsAndAccumulate) {
  EXPECT_TRUE(zip::MaskMatches("*.*", "README"));
  EXPECT_TRUE(zip::MaskMatches("*", ".hidden"));
  EXPECT_TRUE(zip::MaskMatches("*.ori", "12.ORI"));
  EXPECT_TRUE(zip::MaskMatches("d?0*.drt", "D00001.DRT"));
  EXPECT_TRUE(zip::MaskMatches("README.*", "readme"));
  EXPECT_FALSE(zip::MaskMatches("*.ori", "12.orig"));
  EXPECT_TRUE(zip::MaskMatches("\xC3\xA0*", "\xC3\x80x"));  // case folding beyond ASCII

  TempDir dir;
  WriteTree(dir / "src", {{"a/1.ori", "1"}, {"a/2.ORI", "2"}, {"a/3.mod", "3"}, {"b.txt", "b"}});
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(dir / "m.qbk"));
  ASSERT_TRUE(zip.addFiles(CBrennowZip::Wide(dir / "src"), L"*.ori"));
  ASSERT_TRUE(zip.addFiles(CBrennowZip::Wide(dir / "src"), L"*.txt"));  // *.ori still applies
  ASSERT_TRUE(zip.closeArchive());
  EXPECT_EQ(Names(dir / "m.qbk"), (std::vector<std::string>{"a/1.ori", "a/2.ORI", "b.txt"}));

  ASSERT_TRUE(zip.openArchive(dir / "m.qbk"));
  ASSERT_TRUE(zip.extractFiles(CBrennowZip::Wide(dir / "out"), L"*.ORI"));
  ASSERT_TRUE(zip.closeArchive());
  EXPECT_EQ(ReadTree(dir / "out"),
            (std::map<std::string, std::string>{{"a/", ""}, {"a/1.ori", "1"}, {"a/2.ORI", "2"}}));
}

TEST(Engine, UpdateReplacesSameNamesKeepsTheRestAndUnchangedIsNotRewritten) {
  TempDir dir;
  std::string path = dir / "u.qbk";
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(path));
    ASSERT_TRUE(zip.addStream(L"a.ori", Bytes("first a")));
    ASSERT_TRUE(zip.addStream(L"b.ori", Bytes("first b")));
    ASSERT_TRUE(zip.closeArchive());
  }
  std::string before = fixture::ReadFile(path);
  // A second name of the same file: still the same file afterwards unless
  // the archive was written anew.
  fs::create_hard_link(fs::u8path(path), fs::u8path(dir / "same"));
  const fs::file_time_type written = fs::last_write_time(fs::u8path(path));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  {
    CBrennowZip zip;  // a restore or export: nothing changes
    ASSERT_TRUE(zip.openArchive(path));
    std::vector<unsigned char> out;
    ASSERT_TRUE(zip.extractToStream(L"a.ori", &out));
    ASSERT_TRUE(zip.extractFiles(CBrennowZip::Wide(dir / "x"), L"*.*"));
    ASSERT_TRUE(zip.closeArchive());
  }
  EXPECT_EQ(fs::last_write_time(fs::u8path(path)), written);
  EXPECT_TRUE(fs::equivalent(fs::u8path(path), fs::u8path(dir / "same")));
  EXPECT_EQ(fixture::ReadFile(path), before);
  fs::remove(fs::u8path(dir / "same"));
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(path));
    ASSERT_TRUE(zip.addStream(L"A.ORI", Bytes("second a")));  // same name as Windows sees it
    ASSERT_TRUE(zip.addStream(L"c.ori", Bytes("c")));
    ASSERT_TRUE(zip.closeArchive());
  }
  EXPECT_EQ(Names(path), (std::vector<std::string>{"A.ORI", "b.ori", "c.ori"}));
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(path));
  std::vector<unsigned char> out;
  ASSERT_TRUE(zip.extractToStream(L"a.ori", &out));
  EXPECT_EQ(out, Bytes("second a"));
  ASSERT_TRUE(zip.extractToStream(L"b.ori", &out));
  EXPECT_EQ(out, Bytes("first b"));
  ASSERT_TRUE(zip.closeArchive());
  // No temporary or backup file is left beside it.
  EXPECT_EQ(ReadTree(dir.path()).count("u.qbk"), 1u);
  for (const auto& [name, content] : ReadTree(dir.path()))
    EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

TEST(Engine, BackupInsideItsOwnTreeNeverTakesItselfAndSkipsLinks) {
  TempDir dir;
  WriteTree(dir / "key", {{"data/a.bin", "a"}, {"data/b.bin", "b"}});
  WriteTree(dir / "outside", {{"secret.txt", "not for the archive"}});
#ifndef _WIN32
  // Links only here: on Windows making one needs a privilege users lack.
  fs::create_directory_symlink(dir / "outside", dir / "key/link-to-folder");
  fs::create_symlink(dir / "outside/secret.txt", dir / "key/link.txt");
#endif
  std::string archive = dir / "key/20240101_Quorvane.qbk";
  // Split, written twice: the second run updates the first set in place.
  for (int run = 0; run < 2; ++run) {
    std::string error;
    ASSERT_TRUE(archivetest::Backup(archive, dir / "key", 65536, &error)) << error;
  }
  EXPECT_EQ(Names(archive), (std::vector<std::string>{"data/", "data/a.bin", "data/b.bin"}));
#ifdef _WIN32
  // The folder named as the user may type it: another case, backslashes.
  std::string typed = dir / "KEY";
  for (char& c : typed)
    c = c == '/' ? '\\' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string error;
  ASSERT_TRUE(archivetest::Backup(archive, typed, 65536, &error)) << error;
  EXPECT_EQ(Names(archive), (std::vector<std::string>{"data/", "data/a.bin", "data/b.bin"}));
#endif
  EXPECT_TRUE(zip::IsArchiveFile("20240101_Quorvane.qbk", "20240101_quorvane.z07"));
  EXPECT_TRUE(zip::IsArchiveFile("k.qbk", "k.qbk.~tmp12-0"));
  EXPECT_FALSE(zip::IsArchiveFile("k.qbk", "k.zip"));
  EXPECT_FALSE(zip::IsArchiveFile("k.qbk", "other.Z01"));
}

}  // namespace
