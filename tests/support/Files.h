// Files for tests: temporary folders, files another program holds, and
// (from the key builder) whole-file reads and writes and ECU-like content.
// Needs nothing but the standard library, so it serves every build, the
// Windows one included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/keybuilder/KeyFiles.h"

namespace fixture {

// A fresh temporary folder, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

 private:
  std::string path_;
};

using keybuilder::EcuImage;
using keybuilder::ReadFile;
using keybuilder::ToCp1252;
using keybuilder::WriteFile;

// Keeps a file from being removed or replaced for as long as it lives, as
// when another program holds it: on Windows a handle that does not share
// deletion; elsewhere a folder without write permission and, for the
// super-user who ignores that, an immutable file (chattr).
class UndeletableFile {
 public:
  explicit UndeletableFile(const std::string& path);
  ~UndeletableFile();
  UndeletableFile(const UndeletableFile&) = delete;
  UndeletableFile& operator=(const UndeletableFile&) = delete;
  // Whether the protection holds on this machine (a file system without
  // permissions or attributes may ignore it).
  bool holds() const;

 private:
  std::string path_;
#ifdef _WIN32
  std::intptr_t handle_ = -1;
#else
  std::string folder_;
  bool immutable_ = false;
#endif
};

}  // namespace fixture
