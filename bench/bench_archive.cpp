// Backup and restore of a key-sized tree: our engine against Info-ZIP.
// Prints the ratios the archive code is judged by: backup time vs
// `zip -1 -r -s 100m` (goal <= 1), archive size (<= 1.02), restore time vs
// `unzip` of the joined archive (<= 1) and our peak RSS (< 64 MiB), each
// operation of ours measured in a forked child.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <random>
#include <string>

#include "archive/Brennowzip.h"
#include "tests/support/KeyFixture.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs work in a child; its wall time and peak RSS in MiB.
bool InChild(const std::function<bool()>& work, double* seconds, double* rssMiB) {
  double start = Now();
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(work() ? 0 : 1);
  int status = 0;
  struct rusage usage {};
  ::wait4(pid, &status, 0, &usage);
  *seconds = Now() - start;
  *rssMiB = usage.ru_maxrss / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Timed(const std::string& command) {
  double start = Now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return Now() - start;
}

std::uint64_t FolderBytes(const std::string& folder, const std::string& prefix) {
  std::uint64_t total = 0;
  DIR* dir = ::opendir(folder.c_str());
  while (dirent* e = dir ? ::readdir(dir) : nullptr) {
    std::string name = e->d_name;
    if (name.rfind(prefix, 0) != 0) continue;
    struct stat st;
    if (::stat((folder + "/" + name).c_str(), &st) == 0) total += st.st_size;
  }
  if (dir) ::closedir(dir);
  return total;
}

}  // namespace

int main() {
  fixture::TempDir dir;
  std::string tree = dir / "key";
  std::printf("generating the tree...\n");
  ::mkdir(tree.c_str(), 0777);
  ::mkdir((tree + "/Database").c_str(), 0777);
  ::mkdir((tree + "/Database/ORI").c_str(), 0777);
  ::mkdir((tree + "/Database/DRT").c_str(), 0777);
  std::uint64_t bytes = 0;
  for (int i = 0; i < 48; ++i) {  // ECU images: 48 x 4 MiB
    std::string image = fixture::EcuImage(static_cast<std::uint32_t>(i + 1), 4u << 20);
    fixture::WriteFile(tree + "/Database/ORI/" + std::to_string(i + 1) + ".ori", image);
    bytes += image.size();
  }
  std::mt19937 random(7);
  for (int i = 0; i < 3000; ++i) {  // driver files
    std::string driver = fixture::EcuImage(static_cast<std::uint32_t>(10000 + i), 2048 + random() % 16384);
    char name[32];
    std::snprintf(name, sizeof name, "D%05d.DRT", i);
    fixture::WriteFile(tree + "/Database/DRT/" + name, driver);
    bytes += driver.size();
  }
  std::printf("tree: %.1f MB in 3048 files\n", bytes / 1e6);

  ::mkdir((dir / "ours").c_str(), 0777);
  ::mkdir((dir / "theirs").c_str(), 0777);
  double ourBackup = 0, ourRestore = 0, backupRss = 0, restoreRss = 0;
  bool ok = InChild([&] {
    CBrennowZip zip;
    zip.setVolumeSize(104857600);
    return zip.openArchive(dir / "ours/b.qbk") && zip.addFiles(CBrennowZip::Wide(tree), L"*.*") &&
           zip.closeArchive();
  }, &ourBackup, &backupRss);
  double zipBackup = Timed("cd '" + tree + "' && zip -q -1 -r -s 100m '" + dir / "theirs/b.zip" + "' .");
  ok = InChild([&] {
    CBrennowZip zip;
    return zip.openArchive(dir / "ours/b.qbk") && zip.extractFiles(CBrennowZip::Wide(dir / "restored"), L"*.*") &&
           zip.closeArchive();
  }, &ourRestore, &restoreRss) && ok;
  Timed("cd '" + dir / "theirs" + "' && zip -q -s 0 b.zip --out joined.zip");
  double unzipRestore = Timed("unzip -q '" + dir / "theirs/joined.zip" + "' -d '" + dir / "unzipped" + "'");
  int same = std::system(("diff -r '" + tree + "' '" + dir / "restored" + "' >/dev/null").c_str());

  std::uint64_t ourSize = FolderBytes(dir / "ours", "b.");
  std::uint64_t zipSize = FolderBytes(dir / "theirs", "b.");
  std::printf("backup   ours %.2f s, zip -1 -r -s 100m %.2f s   time ratio %.3f (goal <= 1)\n",
              ourBackup, zipBackup, ourBackup / zipBackup);
  std::printf("size     ours %llu, zip %llu                     size ratio %.4f (goal <= 1.02)\n",
              static_cast<unsigned long long>(ourSize), static_cast<unsigned long long>(zipSize),
              static_cast<double>(ourSize) / zipSize);
  std::printf("restore  ours %.2f s, unzip (joined) %.2f s      time ratio %.3f (goal <= 1)\n",
              ourRestore, unzipRestore, ourRestore / unzipRestore);
  std::printf("peak RSS backup %.1f MiB, restore %.1f MiB (goal < 64)\n", backupRss, restoreRss);
  std::printf("result: %s, restored tree %s\n", ok ? "ok" : "FAILED", same == 0 ? "identical" : "DIFFERENT");
  return ok && same == 0 ? 0 : 1;
}
