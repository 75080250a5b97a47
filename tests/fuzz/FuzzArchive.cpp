#include "tests/fuzz/FuzzArchive.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/zip/ZipArchive.h"

int ReadArchiveFuzzInput(const std::uint8_t* data, std::size_t size) {
  namespace fs = std::filesystem;
  static const fs::path scratch = [] {
    fs::path p = fs::temp_directory_path() / ("quorvane-fuzz-" + std::to_string(getpid()));
    fs::create_directories(p);
    return p;
  }();
  const std::string archive = (scratch / "input.qbk").string();
  if (std::FILE* f = std::fopen(archive.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  try {
    zip::Archive reader;
    reader.Open(archive);
    reader.Verify(nullptr);
    const fs::path out = scratch / "out";
    reader.Extract(out.string(), "*.*");
    for (const zip::Entry& e : reader.entries())
      if (!e.isFolder() && e.size < (1u << 20)) reader.ExtractToMemory(e.name);
    reader.Abandon();
    std::error_code ec;
    fs::remove_all(out, ec);
  } catch (const zip::ZipError&) {
  }
  return 0;
}
