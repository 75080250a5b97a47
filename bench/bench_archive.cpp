// Backup and restore of a generated key tree against Info-ZIP on the same
// data, in one run:
//   backup time  ours / zip -1 -r -s 100m      (goal <= 1)
//   archive size ours / theirs                 (goal <= 1.02)
//   restore time ours / unzip of one archive   (goal <= 1)
//   peak memory of our backup and restore      (goal < 64 MiB)
//   bench_archive [MEGABYTES]   (default 256)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "archive/Brennowzip.h"
#include "tests/support/KeyFixture.h"

namespace fs = std::filesystem;

namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs work in a child process; its time and peak resident memory (KiB).
double InChild(const std::function<bool()>& work, long* peakKiB) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) _exit(work() ? 0 : 1);
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  *peakKiB = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "our side failed\n");
    std::exit(1);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Shell(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

std::uint64_t SetSize(const std::string& folder, const std::string& stem) {
  std::uint64_t total = 0;
  for (const auto& e : fs::directory_iterator(folder)) {
    const std::string name = e.path().filename().string();
    if (name.rfind(stem, 0) == 0) total += e.file_size();
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 256;
  fixture::TempDir dir;
  const std::string tree = dir / "key";
  for (int i = 0; i < megabytes / 2; ++i)
    fixture::WriteFile(tree + "/ZKM_Quorvane/Database/ORI/" + std::to_string(i + 1) + ".ori",
                       fixture::EcuImage(static_cast<std::uint32_t>(i), 2 << 20));
  for (int i = 0; i < 3000; ++i)
    fixture::WriteFile(tree + "/ZKM_Quorvane/Database/DRT/D" + std::to_string(i) + ".DRT",
                       fixture::EcuImage(static_cast<std::uint32_t>(100000 + i), 1500 + i % 3000));
  fs::create_directories(dir / "ours");
  fs::create_directories(dir / "theirs");
  std::printf("tree: %d MiB of ECU-like files and 3000 driver files\n", megabytes);

  long backupPeak = 0, restorePeak = 0;
  const double ourBackup = InChild(
      [&] {
        CBrennowZip zip;
        zip.setVolumeSize(104857600);
        return zip.openArchive(dir / "ours/b.qbk") && zip.addFiles(CBrennowZip::Wide(tree), L"*.*") &&
               zip.closeArchive();
      },
      &backupPeak);
  const double theirBackup = Seconds([&] {
    Shell("cd '" + tree + "' && zip -q -1 -r -s 100m '" + std::string(dir / "theirs/b.zip") + "' .");
  });
  const std::uint64_t ourSize = SetSize(dir / "ours", "b.");
  const std::uint64_t theirSize = SetSize(dir / "theirs", "b.");

  Shell("cd '" + tree + "' && zip -q -1 -r '" + std::string(dir / "theirs/one.zip") + "' .");
  const double ourRestore = InChild(
      [&] {
        CBrennowZip zip;
        return zip.openArchive(dir / "ours/b.qbk") &&
               zip.extractFiles(CBrennowZip::Wide(dir / "restore-ours"), L"*.*") && zip.closeArchive();
      },
      &restorePeak);
  const double theirRestore = Seconds([&] {
    Shell("unzip -q -o '" + std::string(dir / "theirs/one.zip") + "' -d '" + std::string(dir / "restore-theirs") + "'");
  });

  std::printf("backup:  ours %.2f s, zip -1 -r -s 100m %.2f s, ratio %.2f (goal <= 1)\n", ourBackup,
              theirBackup, ourBackup / theirBackup);
  std::printf("size:    ours %llu, theirs %llu bytes, ratio %.3f (goal <= 1.02)\n",
              static_cast<unsigned long long>(ourSize), static_cast<unsigned long long>(theirSize),
              static_cast<double>(ourSize) / static_cast<double>(theirSize));
  std::printf("restore: ours %.2f s, unzip %.2f s, ratio %.2f (goal <= 1)\n", ourRestore, theirRestore,
              ourRestore / theirRestore);
  std::printf("memory:  backup peak %.1f MiB, restore peak %.1f MiB (goal < 64 MiB)\n",
              backupPeak / 1024.0, restorePeak / 1024.0);
  return 0;
}
