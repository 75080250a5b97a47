// Helpers shared by the archive tests: running outside tools, file trees.
#pragma once

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <map>
#include <sys/wait.h>
#include <string>
#include <vector>

#include "archive/Brennowzip.h"
#include "tests/support/KeyFixture.h"

namespace archive_test {

namespace fs = std::filesystem;

// Runs a shell command; its exit code and output.
inline int Shell(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buffer[4096];
  std::string text;
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Incompressible bytes.
inline std::string RandomBytes(std::uint64_t seed, std::size_t size) {
  std::string out(size, '\0');
  std::uint64_t x = 88172645463325252ull ^ (seed * 0x9E3779B97F4A7C15ull);
  for (std::size_t k = 0; k < size; ++k) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    out[k] = static_cast<char>(x >> 24);
  }
  return out;
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

// Every file below a folder: relative path -> content.
inline std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it) {
    if (it->is_regular_file())
      files[fs::relative(it->path(), folder).generic_string()] = fixture::ReadFile(it->path().string());
    else if (it->is_directory())
      files[fs::relative(it->path(), folder).generic_string() + "/"] = "";
  }
  return files;
}

// A small tree with a non-ASCII name, a hidden file, a name without a dot,
// an empty folder and an empty file.
inline void MakeTree(const std::string& folder) {
  fixture::WriteFile(folder + "/ZKM_Quorvane/Database/ORI/1.ori", fixture::EcuImage(1, 200000));
  fixture::WriteFile(folder + "/ZKM_Quorvane/Database/DRT/Citroën C3.DRT", "driver");
  fixture::WriteFile(folder + "/ZKM_Quorvane/.hidden", "hidden");
  fixture::WriteFile(folder + "/README", "no dot");
  fixture::WriteFile(folder + "/empty.txt", "");
  fs::create_directories(folder + "/ZKM_Quorvane/Empty");
}

inline bool Create(const std::string& archive, const std::string& folder, int volume = 0,
                   std::string* error = nullptr) {
  CBrennowZip zip;
  if (volume) zip.setVolumeSize(volume);
  bool ok = zip.openArchive(archive) && zip.addFiles(CBrennowZip::Wide(folder), L"*.*") &&
            zip.closeArchive();
  if (!ok && error) *error = zip.lastError() + zip.lastDetail();
  return ok;
}

inline bool ExtractAll(const std::string& archive, const std::string& folder, std::string* error = nullptr) {
  CBrennowZip zip;
  bool ok = zip.openArchive(archive) && zip.extractFiles(CBrennowZip::Wide(folder), L"*.*") &&
            zip.closeArchive();
  if (!ok && error) *error = zip.lastError();
  return ok;
}

}  // namespace archive_test
