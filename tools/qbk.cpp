// qbk: backup archives from the command line, through the same engine the
// program uses.
//   qbk list ARCHIVE
//   qbk test ARCHIVE                      reads every entry, checks its CRC
//   qbk extract ARCHIVE DIR
//   qbk create [--volume-size N] ARCHIVE DIR
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
               "usage: qbk list ARCHIVE\n"
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

// Listing and testing need the entries themselves, which only the engine shows.
int ListOrTest(const std::string& path, bool test) {
  try {
    zip::Archive archive;
    archive.Open(path);
    if (!archive.volumePaths().empty() && archive.entries().empty() && !test)
      std::printf("(empty archive)\n");
    std::uint64_t total = 0;
    int bad = 0;
    for (const zip::Entry& e : archive.entries()) {
      if (test && !e.isFolder()) {
        try {
          archive.ExtractToMemory(e.name);
          std::printf("OK    %s\n", e.name.c_str());
        } catch (const zip::Error& error) {
          std::printf("FAIL  %s: %s\n", e.name.c_str(), error.what());
          ++bad;
        }
      } else if (!test) {
        std::printf("%10u %10u  %s\n", e.size, e.compressedSize, e.name.c_str());
      }
      total += e.size;
    }
    std::printf("%zu entries, %llu bytes, %zu volume(s)%s\n", archive.entries().size(),
                static_cast<unsigned long long>(total), archive.volumePaths().size(),
                test ? (bad ? ", ERRORS" : ", no errors") : "");
    archive.Close();
    return bad ? 1 : 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qbk: %s\n", error.what());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string command = argv[1];
  if (command == "list" && argc == 3) return ListOrTest(argv[2], false);
  if (command == "test" && argc == 3) return ListOrTest(argv[2], true);
  CBrennowZip zip;
  if (command == "extract" && argc == 4) {
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
    if (!zip.openArchive(argv[i]) || !zip.addFiles(CBrennowZip::Wide(argv[i + 1]), L"*.*") ||
        !zip.closeArchive())
      return Failed(zip);
    return 0;
  }
  return Usage();
}
