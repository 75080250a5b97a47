// Bad input and failures: hostile and damaged archives, full disks,
// unreadable files, limits of the format. Never a crash, never a write
// outside the folder, never a broken archive left behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "archive/zip/Io.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::Bytes;
using archivetest::FaultHook;
using archivetest::ReadTree;
using archivetest::WriteTree;
using fixture::TempDir;
namespace fs = std::filesystem;

namespace {

// An archive holding one good entry and one whose name is `hostile`: written
// under a harmless name of the same length, then renamed in place.
std::string ArchiveWithName(const TempDir& dir, const std::string& hostile) {
  std::string path = dir / "hostile.zip";
  std::string harmless(hostile.size(), 'q');
  {
    CBrennowZip zip;
    zip.openArchive(path);
    zip.addStream(L"good.txt", Bytes("good"));
    zip.addStream(CBrennowZip::Wide(harmless), Bytes("evil"));
    zip.closeArchive();
  }
  std::string bytes = fixture::ReadFile(path);
  for (size_t at = bytes.find(harmless); at != std::string::npos; at = bytes.find(harmless, at + 1))
    bytes.replace(at, harmless.size(), hostile);
  fixture::WriteFile(path, bytes);
  return path;
}

TEST(Failure, HostileNamesAreRefusedBeforeAnythingIsWritten) {
  for (const std::string& name :
       {std::string("../evil.txt"), std::string("a/../../evil"), std::string("/tmp/evil.txt"),
        std::string("C:evil.txt"), std::string("..\\evil.txt")}) {
    TempDir dir;
    std::string archive = ArchiveWithName(dir, name);
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archive)) << zip.lastError();
    EXPECT_FALSE(zip.extractFiles(CBrennowZip::Wide(dir / "out/inner"), L"*.*")) << name;
    EXPECT_EQ(zip.lastError().rfind("Error Extracting Files: ", 0), 0u);
    EXPECT_NE(zip.lastError().find("nsafe"), std::string::npos) << zip.lastError();
    EXPECT_FALSE(archivetest::Exists(dir / "out/inner/good.txt"));  // not even the good one
    EXPECT_FALSE(archivetest::Exists(dir / "out/evil.txt"));
    EXPECT_FALSE(archivetest::Exists(dir / "evil.txt"));
    zip.closeArchive();
  }
}

// Linux only: on Windows making a link needs a privilege users lack.
#ifndef _WIN32
TEST(Failure, ExtractionNeverPassesThroughALinkInTheDestination) {
  TempDir dir;
  WriteTree(dir / "src", {{"sub/x.txt", "x"}});
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "src"));
  fs::create_directory(dir / "dst");
  fs::create_directory(dir / "elsewhere");
  fs::create_directory_symlink(dir / "elsewhere", dir / "dst/sub");
  std::string error;
  EXPECT_FALSE(archivetest::Restore(dir / "k.qbk", dir / "dst", &error));
  EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
  EXPECT_FALSE(archivetest::Exists(dir / "elsewhere/x.txt"));
}
#endif

TEST(Failure, TruncatedOrCorruptedArchivesFailCleanly) {
  TempDir dir;
  WriteTree(dir / "src",
            {{"a.bin", fixture::EcuImage(1, 100000)}, {"b.txt", std::string(5000, 'b')}});
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "src"));
  const std::string good = fixture::ReadFile(dir / "k.qbk");
  // Every truncation point: opening fails, or extracting does; nothing hangs.
  for (size_t cut = 0; cut < good.size(); cut += good.size() / 97 + 1) {
    fixture::WriteFile(dir / "t.qbk", good.substr(0, cut));
    CBrennowZip zip;
    if (zip.openArchive(dir / "t.qbk")) {
      EXPECT_FALSE(zip.extractFiles(CBrennowZip::Wide(dir / "t"), L"*.*")) << cut;
      zip.closeArchive();
    } else {
      EXPECT_EQ(zip.lastError().rfind("Impossibile opening or creating an Archive ", 0), 0u);
    }
    EXPECT_EQ(fixture::ReadFile(dir / "t.qbk").size(), cut);  // never rewritten
  }
  // A flipped byte in the data: the CRC (or inflate) catches it.
  std::string bad = good;
  bad[200] = static_cast<char>(bad[200] ^ 0x40);
  fixture::WriteFile(dir / "c.qbk", bad);
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(dir / "c.qbk"));
  std::vector<unsigned char> out;
  EXPECT_FALSE(zip.extractToStream(L"a.bin", &out));
  EXPECT_TRUE(zip.lastError().find("CRC") != std::string::npos ||
              zip.lastError().find("Damaged") != std::string::npos)
      << zip.lastError();
  EXPECT_FALSE(zip.extractFiles(CBrennowZip::Wide(dir / "c"), L"*.*"));
  EXPECT_FALSE(archivetest::Exists(dir / "c/a.bin"));  // no half-written file
  // An offset past the end of the set.
  std::string offset = good;
  size_t central = offset.find(std::string("PK\x01\x02", 4));
  offset[central + 45] = '\x7f';
  fixture::WriteFile(dir / "o.qbk", offset);
  CBrennowZip zip2;
  zip2.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
  if (zip2.openArchive(dir / "o.qbk")) {
    EXPECT_FALSE(zip2.extractToStream(L"a.bin", &out));
  }
  EXPECT_NE(zip2.lastError().find("Damaged"), std::string::npos) << zip2.lastError();
}

TEST(Failure, FullDiskLeavesTheExistingArchiveAsItWas) {
  TempDir dir;
  WriteTree(dir / "src", {{"a.bin", archivetest::RandomBytes(1, 3 << 20)}, {"b.bin", "b"}});
  std::string archive = dir / "k.qbk";
  ASSERT_TRUE(archivetest::Backup(archive, dir / "src"));
  const std::string before = fixture::ReadFile(archive);
  WriteTree(dir / "src", {{"c.bin", archivetest::RandomBytes(2, 3 << 20)}});
  int writes = 0;
  {
    FaultHook hook([&](zip::IoOp op, const std::string& path) {
      return op == zip::IoOp::kWrite && path.find(".~qbk-new") != std::string::npos && ++writes > 2;
    });
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archive));
    EXPECT_FALSE(zip.addFiles(CBrennowZip::Wide(dir / "src"), L"*.*"));
    EXPECT_EQ(zip.lastError(), "Error Adding File: ");
    EXPECT_NE(zip.lastDetail().find("k.qbk"), std::string::npos) << zip.lastDetail();
    EXPECT_NE(zip.lastDetail().find("disk full"), std::string::npos) << zip.lastDetail();
    EXPECT_FALSE(zip.closeArchive());  // nothing half-done is committed
    EXPECT_EQ(zip.lastError().rfind("Unable to close current archive : ", 0), 0u);
  }
  EXPECT_EQ(fixture::ReadFile(archive), before);
  for (const auto& [name, content] : ReadTree(dir.path()))
    EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

TEST(Failure, UnreadableFileIsNamedAndFailsTheBackup) {
  TempDir dir;
  WriteTree(dir / "src", {{"ok.txt", "fine"}, {"locked.bin", "cannot read me"}});
  FaultHook hook([](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kOpenRead && path.find("locked.bin") != std::string::npos;
  });
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(dir / "k.qbk"));
  EXPECT_FALSE(zip.addFiles(CBrennowZip::Wide(dir / "src"), L"*.*"));
  EXPECT_EQ(zip.lastError(), "Error Adding File: ");
  EXPECT_NE(zip.lastDetail().find("locked.bin"), std::string::npos) << zip.lastDetail();
  EXPECT_FALSE(zip.closeArchive());
  EXPECT_FALSE(archivetest::Exists(dir / "k.qbk"));
}

TEST(Failure, FailedReplacementRollsBackToTheOldSet) {
  TempDir dir;
  std::string archive = dir / "k.qbk";
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archive));
    ASSERT_TRUE(zip.addStream(L"a", Bytes("old")));
    ASSERT_TRUE(zip.closeArchive());
  }
  const std::string before = fixture::ReadFile(archive);
  FaultHook hook([](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kRename && path.find(".~qbk-new") != std::string::npos;
  });
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(archive));
  ASSERT_TRUE(zip.addStream(L"a", Bytes("new")));
  EXPECT_FALSE(zip.closeArchive());
  EXPECT_EQ(zip.lastError().rfind("Unable to close current archive : ", 0), 0u);
  EXPECT_EQ(fixture::ReadFile(archive), before);
  EXPECT_EQ(ReadTree(dir.path()).size(), 1u);
}

TEST(Failure, LimitsOfTheFormatAreClearFailures) {
  TempDir dir;
  // A file past 4 GiB - 1 (sparse: no disk space used).
  fixture::WriteFile(dir / "big/huge.bin", "");
  fs::resize_file(dir / "big/huge.bin", 0x100000000LL);
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(dir / "big.qbk"));
  EXPECT_FALSE(zip.addFiles(CBrennowZip::Wide(dir / "big"), L"*.*"));
  EXPECT_NE(zip.lastDetail().find("4 GiB"), std::string::npos) << zip.lastDetail();
  zip.closeArchive();
  EXPECT_FALSE(archivetest::Exists(dir / "big.qbk"));

  // More than 65535 entries.
  zip::Archive many;
  many.Open(dir / "many.qbk");
  for (int i = 0; i < 65535; ++i) many.AddBuffer("e" + std::to_string(i), nullptr, 0);
  try {
    many.AddBuffer("one too many", nullptr, 0);
    ADD_FAILURE() << "entry 65536 was accepted";
  } catch (const std::exception& e) {
    EXPECT_NE(std::string(e.what()).find("65535"), std::string::npos) << e.what();
  }
  EXPECT_THROW(many.Close(), std::exception);
  EXPECT_FALSE(archivetest::Exists(dir / "many.qbk"));
}

}  // namespace
