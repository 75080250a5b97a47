// The records of the ZIP format (PKWARE APPNOTE, without ZIP64) and the
// central-directory entry as the engine keeps it.
#pragma once

#include <cstdint>
#include <string>

namespace zip {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kSplitSignature = 0x08074b50;  // also the data descriptor's
constexpr std::uint32_t kSingleSegmentMarker = 0x30304b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint16_t kUnicodePathTag = 0x7075;

constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kDescriptorSize = 16;

constexpr std::uint16_t kFlagDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8 = 0x0800;
constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

constexpr std::uint64_t kMax32 = 0xFFFFFFFFull;
constexpr std::uint32_t kMaxEntries = 0xFFFF;

inline void Put16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}
inline std::uint16_t Get16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t Get32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One entry of the central directory.
struct Entry {
  std::string name;     // UTF-8, '/' between folders; folders end with '/'
  std::string rawName;  // the bytes stored as name
  std::uint16_t versionMadeBy = 20;
  std::uint16_t versionNeeded = 20;
  std::uint16_t flags = 0;
  std::uint16_t method = kMethodStored;
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t size = 0;
  std::uint16_t internalAttributes = 0;
  std::uint32_t externalAttributes = 0;
  std::uint16_t disk = 0;
  std::uint32_t localOffset = 0;
  std::string extra;  // central extra fields as written
  // Where, counted over the whole volume set, the next entry's local header
  // (or the central directory) begins: this entry must end before it.
  std::uint64_t limit = ~std::uint64_t{0};

  bool isFolder() const {
    return !name.empty() && (name.back() == '/' || (externalAttributes & 0x10));
  }
  // DOS attributes whatever system wrote the entry.
  std::uint32_t dosAttributes() const;
  // Modification moment (local time) as seconds since the epoch.
  std::int64_t modified() const;
};

// DOS date and time (local time) of a moment; clamped to 1980..2107.
void ToDosTime(std::int64_t moment, std::uint16_t* dosDate, std::uint16_t* dosTime);

}  // namespace zip
