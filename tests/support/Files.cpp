#include "tests/support/Files.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fixture {
namespace fs = std::filesystem;

TempDir::TempDir() {
  // mkdtemp does not exist on Windows: try random names until one is new.
  std::random_device seed;
  std::mt19937_64 random(seed() ^ static_cast<std::uint64_t>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()));
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "quorvane-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    std::error_code ec;
    if (fs::create_directory(base / name, ec)) {
      path_ = (base / name).generic_u8string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  // Read-only files left by a test must not keep the folder alive.
  for (auto it = fs::recursive_directory_iterator(path_, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

#ifdef _WIN32

UndeletableFile::UndeletableFile(const std::string& path) : path_(path) {
  HANDLE h = CreateFileW(std::filesystem::u8path(path).wstring().c_str(), GENERIC_READ,
                         FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) handle_ = reinterpret_cast<std::intptr_t>(h);
}

UndeletableFile::~UndeletableFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool UndeletableFile::holds() const { return handle_ != -1; }

#else

UndeletableFile::UndeletableFile(const std::string& path) : path_(path) {
  namespace fs = std::filesystem;
  folder_ = fs::path(path).parent_path().string();
  fs::permissions(folder_,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  // The super-user ignores permissions; an immutable file stops it too.
  immutable_ = std::system(("chattr +i '" + path_ + "' 2>/dev/null").c_str()) == 0;
}

UndeletableFile::~UndeletableFile() {
  if (immutable_) std::system(("chattr -i '" + path_ + "' 2>/dev/null").c_str());
  std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

bool UndeletableFile::holds() const {
  if (std::ofstream(path_, std::ios::app)) return !std::ofstream(folder_ + "/probe");
  return true;
}

#endif

}  // namespace fixture
