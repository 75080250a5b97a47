#include "tests/support/Files.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
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

// Paths are UTF-8 on every system, as the program's own are; a narrow
// path would be read in the ANSI code page on Windows.
std::string ReadFile(const std::string& path) {
  std::ifstream in(fs::u8path(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::u8path(path).parent_path());
  std::ofstream out(fs::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ToCp1252(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned code;
    if (c < 0x80) {
      code = c;
      i += 1;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      code = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
      i += 2;
    } else if ((c & 0xF0) == 0xE0 && i + 2 < utf8.size()) {
      code = ((c & 0x0F) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3F) << 6) |
             (static_cast<unsigned char>(utf8[i + 2]) & 0x3F);
      i += 3;
    } else {
      throw std::runtime_error("not a Windows-1252 text");
    }
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
      out += static_cast<char>(code);
      continue;
    }
    switch (code) {
      case 0x20AC: out += '\x80'; break;
      case 0x0160: out += '\x8A'; break;
      case 0x0152: out += '\x8C'; break;
      case 0x017D: out += '\x8E'; break;
      case 0x0161: out += '\x9A'; break;
      case 0x0153: out += '\x9C'; break;
      case 0x017E: out += '\x9E'; break;
      case 0x0178: out += '\x9F'; break;
      default: throw std::runtime_error("not a Windows-1252 text");
    }
  }
  return out;
}

std::string EcuImage(std::uint32_t seed, std::size_t size) {
  std::mt19937 random(seed);
  std::string image(size, '\xFF');
  size_t pos = 0;
  while (pos < size) {
    size_t block = std::min<size_t>(size - pos, 4096 + random() % 16384);
    switch (random() % 3) {
      case 0:  // code: random bytes
        for (size_t i = 0; i < block; ++i) image[pos + i] = static_cast<char>(random());
        break;
      case 1:  // erased flash
        break;
      default: {  // calibration tables: a short row repeated with drift
        unsigned char row[32];
        for (unsigned char& b : row) b = static_cast<unsigned char>(random());
        for (size_t i = 0; i < block; ++i)
          image[pos + i] = static_cast<char>(row[i % 32] + (i / 512));
      }
    }
    pos += block;
  }
  return image;
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
  fs::permissions(folder_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
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
