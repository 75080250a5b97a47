// Helpers of the archive tests: trees on disk, running other tools, and
// comparing folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "archive/Brennowzip.h"
#include "archive/zip/Io.h"
#include "tests/support/Files.h"

namespace archivetest {

// Makes the engine's file operations fail (or pause) as the hook says, for
// as long as it lives.
struct FaultHook {
  explicit FaultHook(zip::IoFaultHook hook) { zip::SetIoFaultHook(std::move(hook)); }
  ~FaultHook() { zip::SetIoFaultHook(nullptr); }
};

inline std::vector<unsigned char> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

inline std::string RandomBytes(std::uint32_t seed, size_t n) {
  std::mt19937_64 random(seed);
  std::string out(n, '\0');
  for (size_t i = 0; i + 8 <= n; i += 8) {
    std::uint64_t v = random();
    for (int k = 0; k < 8; ++k) out[i + k] = static_cast<char>(v >> (8 * k));
  }
  for (size_t i = n - n % 8; i < n; ++i) out[i] = static_cast<char>(random());
  return out;
}

// Writes relative path -> content below root, creating folders.
void WriteTree(const std::string& root, const std::map<std::string, std::string>& files);
// Every file below root (relative path -> content) and every folder (as
// "path/" -> ""), without following links.
std::map<std::string, std::string> ReadTree(const std::string& root);

// Takes away every write permission, as chmod 0444 does; on Windows this
// sets the read-only attribute.
void MakeReadOnly(const std::string& path);
bool IsReadOnly(const std::string& path);

#ifndef _WIN32
// Runs a shell command; its exit code. The other tools the tests check our
// archives with (Info-ZIP, 7-Zip, Python) are those of a Linux host.
int Shell(const std::string& command);
bool HaveTool(const std::string& name);
#endif

// One archive of the tree, through the wrapper; volumeSize 0: one file.
bool Backup(const std::string& archive, const std::string& folder, std::int32_t volumeSize = 0,
            std::string* error = nullptr);
bool Restore(const std::string& archive, const std::string& folder, std::string* error = nullptr);

// The files of a split set in order (Z01.., then the archive).
std::vector<std::string> VolumeFiles(const std::string& archive);

// Whether anything is at path, a dangling link included.
inline bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(
      std::filesystem::symlink_status(std::filesystem::u8path(path), ec));
}

}  // namespace archivetest
