// qbk: checks, lists, extracts and creates backup archives from the command
// line, through the same archive wrapper the program uses.
//   qbk list ARCHIVE
//   qbk test ARCHIVE
//   qbk extract ARCHIVE DIR
//   qbk create [--volume-size N] ARCHIVE DIR
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "archive/Brennowzip.h"
#include "archive/WideText.h"
#include "archive/zip/Format.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: qbk list ARCHIVE\n"
               "       qbk test ARCHIVE\n"
               "       qbk extract ARCHIVE DIR\n"
               "       qbk create [--volume-size N] ARCHIVE DIR\n");
  return 2;
}

int Fail(const CBrennowZip& zip) {
  std::string detail = zip.lastErrorDetail();
  std::string text = zip.lastError();
  if (!detail.empty() && text.find(detail) == std::string::npos) text += detail;
  std::fprintf(stderr, "qbk: %s\n", text.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  std::string cmd = argv[1];
  CBrennowZip zip;
  if (cmd == "list" && argc == 3) {
    if (!zip.openArchive(argv[2])) return Fail(zip);
    std::uint64_t total = 0;
    for (const auto& e : zip.entries()) {
      std::time_t t = zip::FromDosDateTime(e.dosDate, e.dosTime);
      char when[32];
      std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", std::localtime(&t));
      std::printf("%12llu %12llu %s %02X %s\n", (unsigned long long)e.size,
                  (unsigned long long)e.compressedSize, when, e.dosAttributes(), e.name.c_str());
      total += e.size;
    }
    std::printf("%zu entries, %llu bytes\n", zip.entries().size(), (unsigned long long)total);
    return zip.closeArchive() ? 0 : Fail(zip);
  }
  if (cmd == "test" && argc == 3) {
    if (!zip.openArchive(argv[2]) || !zip.testArchive()) return Fail(zip);
    std::printf("%zu entries OK\n", zip.entries().size());
    return zip.closeArchive() ? 0 : Fail(zip);
  }
  if (cmd == "extract" && argc == 4) {
    if (!zip.openArchive(argv[2]) ||
        !zip.extractFiles(archive::WideFromUtf8(argv[3]), L"*.*") || !zip.closeArchive())
      return Fail(zip);
    return 0;
  }
  if (cmd == "create") {
    int i = 2;
    if (argc >= 4 && std::string(argv[2]) == "--volume-size") {
      char* end = nullptr;
      long long n = std::strtoll(argv[3], &end, 10);
      if (!end || *end || n <= 0 || n > 0x7FFFFFFF) return Usage();
      zip.setVolumeSize((std::int32_t)n);
      i = 4;
    }
    if (argc != i + 2) return Usage();
    if (!zip.openArchive(argv[i]) || !zip.addFiles(archive::WideFromUtf8(argv[i + 1]), L"*.*") ||
        !zip.closeArchive())
      return Fail(zip);
    return 0;
  }
  return Usage();
}
