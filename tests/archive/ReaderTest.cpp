// Reading never skips part of an archive silently, and the qbk tool only
// ever reads what it lists, tests or extracts.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "archive/zip/Format.h"
#include "archive/zip/Verify.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::Exists;
using fixture::TempDir;

namespace {

#ifndef _WIN32
// A command whose own redirections hold (Shell silences the rest).
int Shell(const std::string& command) { return archivetest::Shell("(" + command + ")"); }
#endif

// An archive of `count` empty stored entries written as writers without
// ZIP64 write it: the 16-bit counts of the end record wrap.
// Each entry claims claimedSize bytes (its data is not there).
std::string ManyEntries(std::uint32_t count, std::uint32_t claimedSize = 0) {
  std::string local, central;
  unsigned char h[46];
  for (std::uint32_t i = 0; i < count; ++i) {
    char name[16];
    int n = std::snprintf(name, sizeof name, "f%06u", i);
    std::uint32_t offset = static_cast<std::uint32_t>(local.size());
    std::fill(h, h + sizeof h, 0);
    zip::Put32(h, zip::kLocalSignature);
    zip::Put16(h + 4, 10);
    zip::Put16(h + 26, static_cast<std::uint16_t>(n));
    local.append(reinterpret_cast<char*>(h), 30).append(name, n);
    std::fill(h, h + sizeof h, 0);
    zip::Put32(h, zip::kCentralSignature);
    zip::Put16(h + 4, 10);
    zip::Put16(h + 6, 10);
    zip::Put32(h + 24, claimedSize);
    zip::Put16(h + 28, static_cast<std::uint16_t>(n));
    zip::Put32(h + 42, offset);
    central.append(reinterpret_cast<char*>(h), 46).append(name, n);
  }
  unsigned char end[22] = {};
  zip::Put32(end, zip::kEndSignature);
  zip::Put16(end + 8, static_cast<std::uint16_t>(count));
  zip::Put16(end + 10, static_cast<std::uint16_t>(count));
  zip::Put32(end + 12, static_cast<std::uint32_t>(central.size()));
  zip::Put32(end + 16, static_cast<std::uint32_t>(local.size()));
  return local + central + std::string(reinterpret_cast<char*>(end), 22);
}

std::string OpenError(const std::string& path) {
  try {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(path);
    archive.Test();
  } catch (const std::exception& e) {
    return e.what();
  }
  return std::string();
}

TEST(Reader, EveryDirectoryRecordIsReadAndCountsMustAgree) {
  TempDir dir;
  std::string wrapped = ManyEntries(66000);
  fixture::WriteFile(dir / "wrapped.zip", wrapped);
  {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(dir / "wrapped.zip");
    ASSERT_EQ(archive.entries().size(), 66000u);  // not 66000 - 65536 = 464
    EXPECT_EQ(archive.entries().back().name, "f065999");
  }
#ifndef _WIN32  // another reader agrees: the host's Python
  if (archivetest::HaveTool("python3")) {
    EXPECT_EQ(Shell("python3 -c \"import zipfile,sys; sys.exit(len(zipfile.ZipFile('" +
                    dir / "wrapped.zip" + "').namelist()) != 66000)\""),
              0);
  }
#endif
  // A count that disagrees, bytes left over in the directory, two entries
  // sharing their data: damaged, never half read.
  std::string wrongCount = wrapped;
  zip::Put16(reinterpret_cast<unsigned char*>(&wrongCount[wrongCount.size() - 12]), 465);
  fixture::WriteFile(dir / "count.zip", wrongCount);
  EXPECT_NE(OpenError(dir / "count.zip").find("Damaged"), std::string::npos);
  std::string small = ManyEntries(3);
  std::string leftover = small;
  unsigned char* end = reinterpret_cast<unsigned char*>(&leftover[leftover.size() - 22]);
  zip::Put32(end + 12, zip::Get32(end + 12) - 1);  // the last record now runs past the directory
  fixture::WriteFile(dir / "leftover.zip", leftover);
  EXPECT_NE(OpenError(dir / "leftover.zip").find("Damaged"), std::string::npos);
  std::string overlap = small;
  size_t second =
      overlap.find(std::string("PK\x01\x02", 4), overlap.find(std::string("PK\x01\x02", 4)) + 4);
  zip::Put32(reinterpret_cast<unsigned char*>(&overlap[second + 42]),
             0);  // points at the first entry
  fixture::WriteFile(dir / "overlap.zip", overlap);
  EXPECT_NE(OpenError(dir / "overlap.zip").find("overlaps"), std::string::npos);
  EXPECT_EQ(OpenError(dir / "small.zip"), "Archive not found: " + dir / "small.zip");
}

TEST(Reader, ARestoreThatCannotFitWritesNothing) {
  TempDir dir;
  fixture::WriteFile(dir / "huge.qbk", ManyEntries(1000, 0xFFFFFFF0u));  // about 4 TB
  archivetest::WriteTree(dir / "key", {{"f000001", "today"}});
  CBrennowZip zip;
  zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
  ASSERT_TRUE(zip.openArchive(dir / "huge.qbk")) << zip.lastError();
  EXPECT_FALSE(zip.extractFiles(CBrennowZip::Wide(dir / "key"), L"*.*"));
  EXPECT_NE(zip.lastError().find("Not enough free space"), std::string::npos) << zip.lastError();
  EXPECT_EQ(archivetest::ReadTree(dir / "key"),
            (std::map<std::string, std::string>{{"f000001", "today"}}));
}

// Linux only: it drives the qbk program through a POSIX shell, its exit
// codes and redirections (tests/windows runs qbk through cmd).
#ifndef _WIN32
TEST(Reader, QbkReadsOnlyAndNamesTheFirstFault) {
  TempDir dir;
  const std::string qbk = QBK_PROGRAM;
  archivetest::WriteTree(dir / "key", {{"a.bin", archivetest::RandomBytes(1, 5000)},
                                       {"b.txt", std::string(20000, 'b')}});
  ASSERT_EQ(
      Shell(qbk + " create --volume-size 65536 '" + dir / "k.qbk" + "' '" + dir / "key" + "'"), 0);
  EXPECT_EQ(Shell(qbk + " test '" + dir / "k.qbk" + "' >/dev/null"), 0);
  for (const char* command : {"list", "test", "extract"}) {
    std::string missing = dir / (std::string(command) + ".qbk");
    std::string args = std::string(command) == "extract" ? " '" + dir / "out" + "'" : "";
    EXPECT_EQ(Shell(qbk + " " + command + " '" + missing + "'" + args + " 2>" + dir / "err.txt"), 1)
        << command;
    EXPECT_NE(fixture::ReadFile(dir / "err.txt").find(missing), std::string::npos) << command;
    EXPECT_FALSE(Exists(missing)) << command;
  }
  // A stored CRC that does not match the data of b.txt: test fails naming it,
  // extract writes nothing.
  std::string bytes = fixture::ReadFile(dir / "k.qbk");
  size_t central = bytes.find(std::string("PK\x01\x02", 4));
  size_t b = bytes.find("b.txt", central);
  bytes[b - 46 + 16] ^= 1;
  fixture::WriteFile(dir / "bad.qbk", bytes);
  EXPECT_EQ(Shell(qbk + " test '" + dir / "bad.qbk" + "' >/dev/null 2>" + dir / "err.txt"), 1);
  EXPECT_NE(fixture::ReadFile(dir / "err.txt").find("CRC error in b.txt"), std::string::npos)
      << fixture::ReadFile(dir / "err.txt");
  const std::string before = fixture::ReadFile(dir / "bad.qbk");
  EXPECT_EQ(Shell(qbk + " extract '" + dir / "bad.qbk" + "' '" + dir / "out" + "' 2>/dev/null"), 1);
  EXPECT_FALSE(Exists(dir / "out/a.bin"));
  EXPECT_EQ(fixture::ReadFile(dir / "bad.qbk"), before);
}
#endif

}  // namespace

namespace {

// A test of the whole archive names every damaged entry, in archive order,
// on one thread or several; the check before a restore still stops at the
// first.
TEST(Reader, TestNamesEveryDamagedEntryInArchiveOrder) {
  TempDir dir;
  const std::string archivePath = dir / "set.qbk";
  std::vector<std::string> contents;
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archivePath));
    for (int i = 0; i < 5; ++i) {
      contents.push_back(archivetest::RandomBytes(100 + i, 4096));  // stored: it does not shrink
      ASSERT_TRUE(zip.addStream(CBrennowZip::Wide("e" + std::to_string(i) + ".bin"),
                                archivetest::Bytes(contents.back())));
    }
    ASSERT_TRUE(zip.closeArchive());
  }
  std::string bytes = fixture::ReadFile(archivePath);
  for (int damaged : {1, 3}) {
    const size_t at = bytes.find(contents[damaged]);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 100] = static_cast<char>(bytes[at + 100] ^ 0x5A);
  }
  fixture::WriteFile(archivePath, bytes);

  for (unsigned threads : {1u, 4u}) {
    zip::SetDefaultThreads(threads);
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(archivePath);
    std::vector<zip::Error> faults;
    archive.Test(nullptr, &faults);
    ASSERT_EQ(faults.size(), 2u) << threads;
    EXPECT_NE(std::string(faults[0].what()).find("e1.bin"), std::string::npos) << faults[0].what();
    EXPECT_NE(std::string(faults[1].what()).find("e3.bin"), std::string::npos) << faults[1].what();
    try {
      archive.Test();
      ADD_FAILURE() << "a damaged archive passed";
    } catch (const zip::Error& first) {
      EXPECT_NE(std::string(first.what()).find("e1.bin"), std::string::npos) << first.what();
    }
    archive.Close();
  }
  zip::SetDefaultThreads(0);
}

}  // namespace

namespace {

// Entries chosen by name, as list prints them: a file, or a folder for its
// subtree; a name that is not there fails before anything is written.
TEST(Reader, ExtractNamedTakesTheEntriesAndSubtreesNamedOrNothing) {
  TempDir dir;
  archivetest::WriteTree(
      dir / "key",
      {{"a.txt", "a"}, {"dir/b.txt", "b"}, {"dir/sub/c.txt", "c"}, {"dirt/d.txt", "d"}});
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "key"));
  auto extract = [&](const std::string& to, const std::vector<std::string>& names) {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(dir / "k.qbk");
    archive.ExtractNamed(to, names);
    archive.Close();
  };
  extract(dir / "one", {"dir/"});
  EXPECT_EQ(archivetest::ReadTree(dir / "one"),
            (std::map<std::string, std::string>{
                {"dir/", ""}, {"dir/b.txt", "b"}, {"dir/sub/", ""}, {"dir/sub/c.txt", "c"}}));
  extract(dir / "two", {"a.txt", "dirt/d.txt"});
  EXPECT_EQ(
      archivetest::ReadTree(dir / "two"),
      (std::map<std::string, std::string>{{"a.txt", "a"}, {"dirt/", ""}, {"dirt/d.txt", "d"}}));
  for (const std::vector<std::string>& names :
       {std::vector<std::string>{"a.txt", "missing.txt"}, std::vector<std::string>{"di"}}) {
    try {
      extract(dir / "none", names);
      ADD_FAILURE() << names.back() << " was found";
    } catch (const zip::Error& error) {
      EXPECT_NE(std::string(error.what()).find(names.back()), std::string::npos) << error.what();
    }
    EXPECT_FALSE(Exists(dir / "none/a.txt"));
  }
}

}  // namespace
