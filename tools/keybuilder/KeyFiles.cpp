#include "tools/keybuilder/KeyFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace keybuilder {
namespace fs = std::filesystem;

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

}  // namespace keybuilder
