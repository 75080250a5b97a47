// Backups and restores that never lose a file: a failed or killed backup
// leaves the old archive as it was (or the whole new one), a backup mirrors
// the tree, a restore writes nothing before the whole set has been checked.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>

#include "archive/Brennowzip.h"
#include "archive/zip/Io.h"
#include "archive/zip/Journal.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::Bytes;
using archivetest::Exists;
using archivetest::FaultHook;
using archivetest::RandomBytes;
using archivetest::ReadTree;
using archivetest::WriteTree;
using fixture::TempDir;
using Tree = std::map<std::string, std::string>;
namespace fs = std::filesystem;

namespace {

// A backup as the backup job makes it.
bool Backup(const std::string& archive, const std::string& folder, std::int32_t volumeSize,
            std::string* error = nullptr) {
  CBrennowZip zip;
  if (volumeSize) zip.setVolumeSize(volumeSize);
  zip.setOpenMode(CBrennowZip::OpenMode::kReplace);
  bool ok = zip.openArchive(archive) && zip.addFiles(CBrennowZip::Wide(folder), L"*.*") &&
            zip.closeArchive();
  if (!ok && error) *error = zip.lastError() + zip.lastDetail();
  return ok;
}

// A restore as the restore job makes it.
bool Restore(const std::string& archive, const std::string& folder, std::string* error = nullptr) {
  CBrennowZip zip;
  zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
  bool ok = zip.openArchive(archive) && zip.extractFiles(CBrennowZip::Wide(folder), L"*.*") &&
            zip.closeArchive();
  if (!ok && error) *error = zip.lastError();
  return ok;
}

// Opens the archive for reading, which repairs an interrupted run.
void OpenFresh(const std::string& archive) {
  CBrennowZip zip;
  zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
  EXPECT_TRUE(zip.openArchive(archive)) << zip.lastError();
  zip.closeArchive();
}

TEST(Safety, BackupThatFailsWhileListingLeavesNothingAndHarmsNoArchive) {
  TempDir dir;
  WriteTree(dir / "key", {{"a.bin", "a"}, {"sub/b.bin", "b"}});
  FaultHook hook([](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kList && path.find("sub") != std::string::npos;
  });
  std::string error;
  EXPECT_FALSE(Backup(dir / "new.qbk", dir / "key", 0, &error));
  EXPECT_NE(error.find("sub"), std::string::npos) << error;
  EXPECT_EQ(ReadTree(dir.path()).count("new.qbk"), 0u);
  EXPECT_FALSE(Restore(dir / "new.qbk", dir / "out"));  // and no archive to restore

  zip::SetIoFaultHook(nullptr);
  ASSERT_TRUE(Backup(dir / "old.qbk", dir / "key", 0));
  const std::string before = fixture::ReadFile(dir / "old.qbk");
  zip::SetIoFaultHook([](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kList && path.find("sub") != std::string::npos;
  });
  EXPECT_FALSE(Backup(dir / "old.qbk", dir / "key", 0));
  EXPECT_EQ(fixture::ReadFile(dir / "old.qbk"), before);
  for (const auto& [name, content] : ReadTree(dir.path()))
    EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

TEST(Safety, BackupMirrorsTheTreeAndRefusesWhatIsNoWritableArchive) {
  TempDir dir;
  WriteTree(dir / "key", {{"keep.bin", "1"}, {"Database/ORI/7.ori", "seven"}});
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 0));
  ASSERT_TRUE(fs::remove(dir / "key/Database/ORI/7.ori"));
  WriteTree(dir / "key", {{"keep.bin", "2"}});
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 0));
  ASSERT_TRUE(Restore(dir / "b.qbk", dir / "out"));
  EXPECT_EQ(ReadTree(dir / "out"), ReadTree(dir / "key"));  // 7.ori did not come back

  // Not an archive, a damaged one, a read-only one: refused, left as they are.
  fixture::WriteFile(dir / "letter.qbk", "Dear customer, ...");
  std::string damaged = fixture::ReadFile(dir / "b.qbk");
  damaged.resize(damaged.size() - 3);
  fixture::WriteFile(dir / "cut.qbk", damaged);
  ASSERT_TRUE(Backup(dir / "ro.qbk", dir / "key", 0));
  archivetest::MakeReadOnly(dir / "ro.qbk");
  const std::string readOnly = fixture::ReadFile(dir / "ro.qbk");
  for (const char* name : {"letter.qbk", "cut.qbk", "ro.qbk"}) {
    std::string before = fixture::ReadFile(dir / name), error;
    EXPECT_FALSE(Backup(dir / name, dir / "key", 0, &error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
    EXPECT_EQ(fixture::ReadFile(dir / name), before) << name;
  }
  // The wrapper's other callers still update.
  CBrennowZip update;
  ASSERT_TRUE(update.openArchive(dir / "b.qbk"));
  ASSERT_TRUE(update.addStream(L"extra.txt", Bytes("x")));
  ASSERT_TRUE(update.closeArchive());
  ASSERT_TRUE(Restore(dir / "b.qbk", dir / "out2"));
  EXPECT_EQ(ReadTree(dir / "out2").count("extra.txt"), 1u);
  EXPECT_EQ(ReadTree(dir / "out2").count("keep.bin"), 1u);
}

// Replacing a split set of three volumes by one of two: the scenario every
// step of the commit is tried on.
struct Replacement {
  TempDir dir;
  std::string archive = dir / "sets/b.qbk";
  Tree oldSet, newSet;

  Replacement() {
    fs::create_directory(dir / "sets");
    WriteTree(dir / "old", {{"a.bin", RandomBytes(1, 150000)}, {"b.txt", "old"}});
    WriteTree(dir / "new", {{"a.bin", RandomBytes(2, 90000)}, {"c.txt", "new"}});
    EXPECT_TRUE(Backup(archive, dir / "old", 65536));
    oldSet = ReadTree(dir / "sets");
    EXPECT_EQ(oldSet.size(), 3u);
    fs::create_directory(dir / "probe");
    EXPECT_TRUE(Backup(dir / "probe/b.qbk", dir / "new", 65536));
    newSet = ReadTree(dir / "probe");
    EXPECT_EQ(newSet.size(), 2u);
  }
  bool Run() { return Backup(archive, dir / "new", 65536); }
  // The steps (seam calls) a backup makes.
  int CountSteps() {
    int steps = 0;
    {
      FaultHook hook([&](zip::IoOp, const std::string&) { return ++steps, false; });
      Run();
    }
    RestoreOld();
    return steps;
  }
  void RestoreOld() {
    for (const auto& [name, content] : ReadTree(dir / "sets")) fs::remove(dir / "sets/" + name);
    for (const auto& [name, content] : oldSet) fixture::WriteFile(dir / "sets/" + name, content);
  }
};

TEST(Safety, EveryStepOfAReplacementThatFailsLeavesTheOldSet) {
  Replacement r;
  int steps = r.CountSteps();
  ASSERT_GT(steps, 10);
  for (int n = 1; n <= steps; ++n) {
    int step = 0;
    bool ok;
    {
      FaultHook hook([&](zip::IoOp, const std::string&) { return ++step == n; });
      ok = r.Run();
    }
    OpenFresh(r.archive);
    // Before the commit point the run fails and undoes itself; a failure
    // while tidying after it leaves the new set, tidied by the next open.
    EXPECT_EQ(ReadTree(r.dir / "sets"), ok ? r.newSet : r.oldSet)
        << "step " << n << " of " << steps;
    r.RestoreOld();
  }
}

// Linux only: the writer to kill is a forked copy of this process, and
// Windows has no fork.
#ifndef _WIN32
TEST(Safety, AKillAtAnyStepLeavesTheOldOrTheNewSetAfterTheNextOpen) {
  Replacement r;
  int steps = r.CountSteps();
  int sawNew = 0;
  for (int n = 1; n <= steps + 1; ++n) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int step = 0;
      zip::SetIoFaultHook([&](zip::IoOp, const std::string&) {
        if (++step == n) ::_exit(0);  // the process dies here, no cleanup at all
        return false;
      });
      ::_exit(r.Run() ? 3 : 4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    OpenFresh(r.archive);
    Tree now = ReadTree(r.dir / "sets");
    std::string names;
    for (const auto& [name, content] : now) names += name + " ";
    EXPECT_TRUE(now == r.oldSet || now == r.newSet)
        << "killed at step " << n << " of " << steps << ": " << names;
    sawNew += now == r.newSet;
    r.RestoreOld();
  }
  EXPECT_GT(sawNew, 0);
}
#endif

TEST(Safety, LeftoversOfEarlierRunsAreRepairedAndALiveWriterIsNotDisturbed) {
  TempDir dir;
  WriteTree(dir / "key", {{"a.txt", "a"}});
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 0));
  const std::string good = fixture::ReadFile(dir / "b.qbk");
  // An older engine killed between moving the archive aside and placing the
  // new one: only its backup copy and a temporary are left.
  fs::rename(dir / "b.qbk", dir / "b.qbk.~bak4242");
  fixture::WriteFile(dir / "b.qbk.~tmp4242-0", "half a volume");
  OpenFresh(dir / "b.qbk");
  EXPECT_EQ(ReadTree(dir.path()), (Tree{{"b.qbk", good}, {"key/", ""}, {"key/a.txt", "a"}}));

  // A writer that holds the lock: a reader neither repairs nor reads.
  fixture::WriteFile(dir / "b.qbk.~qbk-new0", "being written");
  platform::files::FileLock live;
  ASSERT_EQ(live.Lock(zip::LockPath(dir / "b.qbk")), platform::files::LockResult::kLocked);
  std::string error;
  EXPECT_FALSE(Restore(dir / "b.qbk", dir / "out", &error));
  EXPECT_NE(error.find("another program"), std::string::npos) << error;
  EXPECT_TRUE(Exists(dir / "b.qbk.~qbk-new0"));
  live.Unlock();
  OpenFresh(dir / "b.qbk");
  EXPECT_FALSE(Exists(dir / "b.qbk.~qbk-new0"));
  EXPECT_EQ(fixture::ReadFile(dir / "b.qbk"), good);
}

TEST(Safety, DamagedOrMismatchedSetsChangeNothingOnTheKey) {
  TempDir dir;
  Tree key = {{"Database/zkm.db", "the database"},
              {"Database/ORI/1.ori", RandomBytes(3, 70000)},
              {"z-last.bin", RandomBytes(4, 120000)}};
  WriteTree(dir / "key", key);
  for (const char* folder : {"a", "c", "crc"}) fs::create_directory(dir / folder);
  ASSERT_TRUE(Backup(dir / "a/b.qbk", dir / "key", 65536));
  WriteTree(dir / "other", {{"x.bin", RandomBytes(5, 200000)}});
  ASSERT_TRUE(Backup(dir / "c/b.qbk", dir / "other", 65536));
  Tree onKey = {{"Database/zkm.db", "today's database"}, {"z-last.bin", "today"}};
  auto refused = [&](const std::string& archive, const std::string& expected) {
    TempDir target;
    WriteTree(target.path(), onKey);
    Tree before = ReadTree(target.path());
    std::string error;
    EXPECT_FALSE(Restore(archive, target.path(), &error)) << archive;
    bool named = false;  // any of the '|'-separated texts
    for (size_t from = 0, bar; from <= expected.size(); from = bar + 1) {
      bar = std::min(expected.find('|', from), expected.size());
      named = named || error.find(expected.substr(from, bar - from)) != std::string::npos;
    }
    EXPECT_TRUE(named) << error;
    EXPECT_EQ(ReadTree(target.path()), before) << archive;
  };
  // A CRC error in the last entry.
  std::string last = fixture::ReadFile(dir / "a/b.qbk");
  std::string crc = last;
  size_t central = crc.rfind(std::string("PK\x01\x02", 4));
  crc[central + 16] ^= 0x55;
  // The set in a, copied whole into folder.
  auto copySet = [&](const std::string& folder) {
    fs::create_directories(dir / folder);
    for (const auto& volume : fs::directory_iterator(dir / "a"))
      fs::copy_file(volume.path(), dir / folder / volume.path().filename());
  };
  copySet("crc");
  fixture::WriteFile(dir / "crc/b.qbk", crc);
  refused(dir / "crc/b.qbk", "z-last.bin");
  // A volume of another set.
  copySet("mix");
  fixture::WriteFile(dir / "mix/b.Z01", fixture::ReadFile(dir / "c/b.Z01"));
  refused(dir / "mix/b.qbk", "amaged|CRC error");
  // A cut volume.
  copySet("cut");
  fs::resize_file(dir / "cut/b.Z02", 60000);
  refused(dir / "cut/b.qbk", "amaged|unexpected|b.Z02");
  // A folder where the last file goes.
  {
    TempDir target;
    WriteTree(target.path(), {{"Database/zkm.db", "today's database"}, {"z-last.bin/", ""}});
    std::string error;
    EXPECT_FALSE(Restore(dir / "a/b.qbk", target.path(), &error));
    EXPECT_NE(error.find("z-last.bin"), std::string::npos) << error;
    EXPECT_EQ(fixture::ReadFile(target / "Database/zkm.db"), "today's database");
  }
  // A missing archive is named and never created; an empty one is refused.
  refused(dir / "gone.qbk", "gone.qbk");
  EXPECT_FALSE(Exists(dir / "gone.qbk"));
  fs::create_directory(dir / "empty");
  ASSERT_TRUE(Backup(dir / "e.qbk", dir / "empty", 0));
  refused(dir / "e.qbk", "no files");
  // The good set restores whole.
  TempDir target;
  WriteTree(target.path(), onKey);
  ASSERT_TRUE(Restore(dir / "a/b.qbk", target.path()));
  EXPECT_EQ(ReadTree(target.path()), ReadTree(dir / "key"));
}

TEST(Safety, ADiskThatFillsMidwayLeavesWholeFilesAndNoTemporaries) {
  TempDir dir;
  WriteTree(dir / "key", {{"1.bin", RandomBytes(6, 50000)}, {"2.bin", RandomBytes(7, 3 << 20)}});
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 0));
  WriteTree(dir / "target",
            {{"1.bin", "old one"}, {"2.bin", "old two"}, {"3.bin.~qbk777", "killed restore"}});
  FaultHook hook([](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kWrite && path.find("2.bin.~qbk") != std::string::npos;
  });
  std::string error;
  EXPECT_FALSE(Restore(dir / "b.qbk", dir / "target", &error));
  EXPECT_NE(error.find("2.bin (disk full?)"), std::string::npos) << error;
  EXPECT_EQ(ReadTree(dir / "target"),
            (Tree{{"1.bin", fixture::ReadFile(dir / "key/1.bin")}, {"2.bin", "old two"}}));
}

TEST(Safety, BackupsNeverTakeTheEngineTemporaries) {
  TempDir dir;
  WriteTree(dir / "key", {{"a.bin", "a"},
                          {"ORI/5.ori.~qbk31337", "x"},
                          {"x.qbk.~qbk-new0", "y"},
                          {"x.qbk.~tmp12-0", "z"},
                          {"notes.~qbk.txt", "the user's"}});
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 0));
  ASSERT_TRUE(Restore(dir / "b.qbk", dir / "out"));
  EXPECT_EQ(ReadTree(dir / "out"),
            (Tree{{"ORI/", ""}, {"a.bin", "a"}, {"notes.~qbk.txt", "the user's"}}));
}

TEST(Safety, TheGaugeSweepsOnceAndFailuresNameTheUsersArchive) {
  TempDir dir;
  WriteTree(dir / "key", {{"a.bin", RandomBytes(8, 400000)}, {"b.bin", RandomBytes(9, 300000)}});
  std::vector<int> sent;
  CBrennowZip::SetProgressSink([&](int p) { sent.push_back(p); });
  auto checkSweep = [&](const char* what) {
    ASSERT_FALSE(sent.empty()) << what;
    EXPECT_EQ(sent.front(), 0) << what;
    EXPECT_EQ(sent.back(), 100) << what;
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 0), 1) << what;
    EXPECT_TRUE(std::is_sorted(sent.begin(), sent.end())) << what;
    sent.clear();
  };
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 65536));
  checkSweep("first backup");
  ASSERT_TRUE(Backup(dir / "b.qbk", dir / "key", 65536));  // replacing: no second sweep
  checkSweep("replacing backup");
  ASSERT_TRUE(Restore(dir / "b.qbk", dir / "out"));  // check and write: one sweep
  checkSweep("restore");
  CBrennowZip::SetProgressSink(nullptr);

  FaultHook hook([](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kOpenWrite && path.find(".~qbk-new") != std::string::npos;
  });
  std::string error;
  EXPECT_FALSE(Backup(dir / "c.qbk", dir / "key", 0, &error));
  EXPECT_NE(error.find(dir / "c.qbk"), std::string::npos) << error;
  EXPECT_EQ(error.find(".~"), std::string::npos) << error;
}

}  // namespace
