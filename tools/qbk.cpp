// qbk: backup archives from the command line, through the same engine the
// program uses.
//   qbk list ARCHIVE
//   qbk test ARCHIVE                      the check a restore makes before
//                                         writing: every entry read, its CRC
//   qbk extract ARCHIVE DIR               all or nothing, as a restore
//   qbk create [--volume-size N] ARCHIVE DIR
//                                         a new archive of DIR, replacing an
//                                         existing archive of that name
// list, test and extract never create or change an archive.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "archive/zip/Error.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: qbk --version\n"
               "       qbk list ARCHIVE\n"
               "       qbk test ARCHIVE\n"
               "       qbk extract ARCHIVE DIR\n"
               "       qbk create [--volume-size N] ARCHIVE DIR\n");
  return 2;
}

int Failed(const CBrennowZip& zip) {
  std::fprintf(stderr, "qbk: %s\n", zip.lastError().c_str());
  if (!zip.lastDetail().empty() && zip.lastError().find(zip.lastDetail()) == std::string::npos)
    std::fprintf(stderr, "qbk: %s\n", zip.lastDetail().c_str());
  return 1;
}

// Listing and testing need the entries themselves, which only the engine
// shows. Both only read: a missing archive is an error, never created.
int ListOrTest(const std::string& path, bool test) {
  try {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(path);
    std::uint64_t total = 0;
    if (!test) {
      for (const zip::Entry& e : archive.entries())
        std::printf("%10u %10u  %s\n", e.size, e.compressedSize, e.name.c_str());
      if (archive.entries().empty()) std::printf("(empty archive)\n");
    }
    for (const zip::Entry& e : archive.entries()) total += e.size;
    if (test) archive.Test();  // the same check a restore runs before writing
    std::printf("%zu entries, %llu bytes, %zu volume(s)%s\n", archive.entries().size(),
                static_cast<unsigned long long>(total), archive.volumePaths().size(),
                test ? ", no errors" : "");
    archive.Close();
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qbk: %s: %s\n", path.c_str(), error.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--version") {
    std::printf("qbk %s\n", QUOR_VERSION);
    return 0;
  }
  if (argc < 3) return Usage();
  std::string command = argv[1];
  if (command == "list" && argc == 3) return ListOrTest(argv[2], false);
  if (command == "test" && argc == 3) return ListOrTest(argv[2], true);
  CBrennowZip zip;
  if (command == "extract" && argc == 4) {
    zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
    if (!zip.openArchive(argv[2]) || !zip.extractFiles(CBrennowZip::Wide(argv[3]), L"*.*") ||
        !zip.closeArchive())
      return Failed(zip);
    return 0;
  }
  if (command == "create") {
    int i = 2;
    if (argc == 6 && std::strcmp(argv[2], "--volume-size") == 0) {
      char* end = nullptr;
      long long size = std::strtoll(argv[3], &end, 10);
      if (!end || *end || size <= 0 || size > 0x7FFFFFFF) return Usage();
      zip.setVolumeSize(static_cast<std::int32_t>(size));
      i = 4;
    } else if (argc != 4) {
      return Usage();
    }
    zip.setOpenMode(CBrennowZip::OpenMode::kReplace);
    if (!zip.openArchive(argv[i]) || !zip.addFiles(CBrennowZip::Wide(argv[i + 1]), L"*.*") ||
        !zip.closeArchive())
      return Failed(zip);
    return 0;
  }
  return Usage();
}
