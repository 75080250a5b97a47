// qbk: check, list, extract and create the tool's backup archives from a
// terminal, before trusting one for a restore.
//   qbk list ARCHIVE
//   qbk test ARCHIVE
//   qbk extract ARCHIVE DIR
//   qbk create [--volume-size N] ARCHIVE DIR
// For a split backup give its last volume (the file with the .qbk name).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/Brennowzip.h"
#include "archive/zip/ZipArchive.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: qbk list ARCHIVE\n"
               "       qbk test ARCHIVE\n"
               "       qbk extract ARCHIVE DIR\n"
               "       qbk create [--volume-size N] ARCHIVE DIR\n");
  return 2;
}

int Fail(const std::string& text) {
  std::fprintf(stderr, "qbk: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string command = argv[1];
  try {
    if (command == "list" && argc == 3) {
      zip::Archive archive;
      archive.Open(argv[2]);
      unsigned long long total = 0;
      for (const zip::Entry& e : archive.entries()) {
        std::printf("%10u  %10u  %s\n", e.size, e.compressedSize, e.name.c_str());
        total += e.size;
      }
      std::printf("%zu entries, %llu bytes\n", archive.entries().size(), total);
      archive.Abandon();
      return 0;
    }
    if (command == "test" && argc == 3) {
      zip::Archive archive;
      archive.Open(argv[2]);
      std::size_t good = 0;
      archive.Verify([&](const zip::Entry&) { ++good; });
      std::printf("%zu entries, all intact\n", good);
      archive.Abandon();
      return 0;
    }
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  if (command == "extract" && argc == 4) {
    CBrennowZip zip;
    if (!zip.openArchive(argv[2]) || !zip.extractFiles(CBrennowZip::Wide(argv[3]), L"*.*") ||
        !zip.closeArchive())
      return Fail(zip.lastError());
    return 0;
  }
  if (command == "create") {
    int next = 2;
    long volume = 0;
    if (argc > next + 1 && std::strcmp(argv[next], "--volume-size") == 0) {
      char* end = nullptr;
      volume = std::strtol(argv[next + 1], &end, 10);
      if (!end || *end || volume <= 0 || volume > 0x7FFFFFFF) return Fail("bad volume size");
      next += 2;
    }
    if (argc != next + 2) return Usage();
    CBrennowZip zip;
    if (volume) zip.setVolumeSize(static_cast<std::int32_t>(volume));
    if (!zip.openArchive(argv[next]) ||
        !zip.addFiles(CBrennowZip::Wide(argv[next + 1]), L"*.*") || !zip.closeArchive())
      return Fail(zip.lastError() + zip.lastDetail());
    return 0;
  }
  return Usage();
}
