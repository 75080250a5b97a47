// A restore and a backup of the same archive at the same time, in one
// process: the one that came second is refused before it writes anything,
// and the first one finishes as if alone. Also built for Windows and run
// under Wine, where the lock and the held volumes are the Win32 ones.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "archive/Brennowzip.h"
#include "archive/zip/Error.h"
#include "archive/zip/Io.h"
#include "archive/zip/Verify.h"
#include "tests/support/Files.h"

namespace {

namespace fsys = std::filesystem;
using Tree = std::map<std::string, std::string>;

Tree ReadTree(const std::string& root) {
  Tree files;
  if (!fsys::exists(root)) return files;
  for (const auto& entry : fsys::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string name = fsys::relative(entry.path(), root).generic_string();
    // A held lock file is not read: Windows refuses reads of a locked range.
    bool lock = name.size() > 10 && name.compare(name.size() - 10, 10, ".~qbk-lock") == 0;
    files[name] = lock ? std::string() : fixture::ReadFile(entry.path().string());
  }
  return files;
}

void WriteTree(const std::string& root, const Tree& files) {
  for (const auto& [name, content] : files) {
    fsys::create_directories(fsys::path(root + "/" + name).parent_path());
    fixture::WriteFile(root + "/" + name, content);
  }
}

std::string Random(std::uint32_t seed, size_t n) {
  std::mt19937 random(seed);
  std::string out(n, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

struct Outcome {
  bool ok = false;
  int reason = 0;
  std::string error;
};

Outcome Backup(const std::string& archive, const std::string& folder) {
  CBrennowZip zip;
  zip.setVolumeSize(65536);
  zip.setOpenMode(CBrennowZip::OpenMode::kReplace);
  Outcome out;
  out.ok = zip.openArchive(archive) && zip.addFiles(CBrennowZip::Wide(folder), L"*.*") &&
           zip.closeArchive();
  out.reason = zip.lastReason().kind;
  out.error = zip.lastError();
  return out;
}

Outcome Restore(const std::string& archive, const std::string& folder) {
  CBrennowZip zip;
  zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
  Outcome out;
  out.ok = zip.openArchive(archive) && zip.extractFiles(CBrennowZip::Wide(folder), L"*.*") &&
           zip.closeArchive();
  out.reason = zip.lastReason().kind;
  out.error = zip.lastError();
  return out;
}

// Stops one thread at its first read or new file whose path contains
// `where`, until Release; optionally makes that thread's lock fail, as on a
// medium where no lock file can be made.
class Pause {
 public:
  Pause(std::string where, bool noLockForIt = false)
      : where_(std::move(where)), noLock_(noLockForIt) {
    zip::SetIoFaultHook([this](zip::IoOp op, const std::string& path) { return Hook(op, path); });
  }
  ~Pause() {
    Release();
    zip::SetIoFaultHook(nullptr);
  }
  void Run(std::function<void()> work) {
    worker_ = std::thread([this, work]() {
      {
        std::lock_guard<std::mutex> hold(lock_);
        who_ = std::this_thread::get_id();
      }
      work();
      std::lock_guard<std::mutex> hold(lock_);
      finished_ = true;
      changed_.notify_all();
    });
  }
  // True when the thread stopped at its place (false: it finished first).
  bool WaitUntilStopped() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [&] { return stopped_ || finished_; });
    return stopped_;
  }
  void Release() {
    {
      std::lock_guard<std::mutex> hold(lock_);
      released_ = true;
      changed_.notify_all();
    }
    if (worker_.joinable()) worker_.join();
  }

 private:
  bool Hook(zip::IoOp op, const std::string& path) {
    std::unique_lock<std::mutex> hold(lock_);
    if (std::this_thread::get_id() != who_) return false;
    if (op == zip::IoOp::kLock) return noLock_;
    bool reached = (op == zip::IoOp::kRead || op == zip::IoOp::kOpenWrite) &&
                   path.find(where_) != std::string::npos;
    if (stopped_ || !reached) return false;
    stopped_ = true;
    changed_.notify_all();
    changed_.wait(hold, [&] { return released_; });
    return false;
  }

  std::string where_;
  bool noLock_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::thread::id who_;
  bool stopped_ = false, released_ = false, finished_ = false;
  std::thread worker_;
};

struct Sets {
  fixture::TempDir dir;
  std::string archive = dir / "sets/key.qbk";
  Tree oldKey, newKey, oldSet;

  Sets() {
    // One checking thread: the pause then stops the restore itself.
    zip::SetDefaultThreads(1);
    oldKey = {{"Database/zkm.db", Random(1, 90000)}, {"ORI/1.ori", Random(2, 150000)}};
    newKey = {{"Database/zkm.db", Random(3, 80000)}, {"ORI/2.ori", Random(4, 60000)}};
    WriteTree(dir / "old", oldKey);
    WriteTree(dir / "new", newKey);
    fsys::create_directories(dir / "sets");
    EXPECT_TRUE(Backup(archive, dir / "old").ok);
    oldSet = ReadTree(dir / "sets");
    EXPECT_GE(oldSet.size(), 3u);  // split: the pause falls between volumes
  }
  ~Sets() { zip::SetDefaultThreads(0); }
};

TEST(Sharing, ARestoreUnderWayRefusesABackupOfItsArchive) {
  Sets s;
  Pause pause(".Z02");
  Outcome restore;
  pause.Run([&] { restore = Restore(s.archive, s.dir / "out"); });
  ASSERT_TRUE(pause.WaitUntilStopped());

  Outcome backup = Backup(s.archive, s.dir / "new");
  EXPECT_FALSE(backup.ok);
  EXPECT_EQ(backup.reason, static_cast<int>(zip::Reason::kArchiveInUse)) << backup.error;
  EXPECT_NE(backup.error.find("in use by another program"), std::string::npos) << backup.error;
  Tree during = ReadTree(s.dir / "sets");
  during.erase("key.qbk.~qbk-lock");
  EXPECT_EQ(during, s.oldSet);  // no temporary was written

  pause.Release();
  EXPECT_TRUE(restore.ok) << restore.error;
  EXPECT_EQ(ReadTree(s.dir / "out"), s.oldKey);
  EXPECT_EQ(ReadTree(s.dir / "sets"), s.oldSet);  // the lock file went with the reader
  EXPECT_TRUE(Backup(s.archive, s.dir / "new").ok);
}

TEST(Sharing, ABackupUnderWayRefusesARestoreBeforeItWrites) {
  Sets s;
  Pause pause("~qbk-new1");
  Outcome backup;
  pause.Run([&] { backup = Backup(s.archive, s.dir / "new"); });
  ASSERT_TRUE(pause.WaitUntilStopped());

  WriteTree(s.dir / "out", {{"Database/zkm.db", "today's"}});
  Outcome restore = Restore(s.archive, s.dir / "out");
  EXPECT_FALSE(restore.ok);
  EXPECT_EQ(restore.reason, static_cast<int>(zip::Reason::kArchiveInUse)) << restore.error;
  EXPECT_EQ(ReadTree(s.dir / "out"), (Tree{{"Database/zkm.db", "today's"}}));

  pause.Release();
  EXPECT_TRUE(backup.ok) << backup.error;
  EXPECT_TRUE(Restore(s.archive, s.dir / "out2").ok);
  EXPECT_EQ(ReadTree(s.dir / "out2"), s.newKey);
  for (const auto& [name, content] : ReadTree(s.dir / "sets"))
    EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

TEST(Sharing, AReaderWithoutTheLockReadsTheSetItOpened) {
  Sets s;
  Pause pause(".Z02", /*noLockForIt=*/true);
  Outcome restore;
  pause.Run([&] { restore = Restore(s.archive, s.dir / "out"); });
  ASSERT_TRUE(pause.WaitUntilStopped());

  // POSIX lets the backup replace the set (the reader's descriptors still
  // read the old files); Windows refuses its renames and it is undone.
  Outcome backup = Backup(s.archive, s.dir / "new");
  pause.Release();
  EXPECT_TRUE(restore.ok) << restore.error;
  EXPECT_EQ(ReadTree(s.dir / "out"), s.oldKey);
  Tree now = ReadTree(s.dir / "sets");
  if (backup.ok) {
    EXPECT_TRUE(Restore(s.archive, s.dir / "out2").ok);
    EXPECT_EQ(ReadTree(s.dir / "out2"), s.newKey);
  } else {
    EXPECT_EQ(now, s.oldSet) << backup.error;
  }
  for (const auto& [name, content] : now) EXPECT_EQ(name.find(".~"), std::string::npos) << name;
}

}  // namespace
