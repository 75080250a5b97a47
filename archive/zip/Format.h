// The APPNOTE records that the engine reads and writes (no ZIP64), the
// little-endian helpers to build and parse them, and DOS date/time.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace zip {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kSplitSignature = 0x08074b50;
// Marks an archive written in split mode that ended up in one volume.
constexpr std::uint32_t kSingleSplitSignature = 0x30304b50;
constexpr std::uint16_t kUnicodePathTag = 0x7075;
constexpr std::uint16_t kZip64Tag = 0x0001;

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8 = 0x0800;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflate = 8;

constexpr std::uint64_t kMax32 = 0xFFFFFFFFull;
constexpr std::size_t kMaxEntries = 0xFFFF;

// What the engine knows about one entry; the same for local and central
// records except the location fields.
struct EntryRecord {
  std::string name;          // UTF-8, '/' separated; folders end with '/'
  std::string rawName;       // the bytes stored in the name field
  std::string extra;         // extra field of the central record
  std::uint16_t versionMadeBy = 20;
  std::uint16_t versionNeeded = 20;
  std::uint16_t flags = 0;
  std::uint16_t method = kMethodDeflate;
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = 0;
  std::uint32_t crc = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint16_t internalAttributes = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t disk = 0;            // volume index holding the local header
  std::uint64_t offset = 0;          // local header offset within that volume

  bool isDirectory() const { return !name.empty() && name.back() == '/'; }
  unsigned dosAttributes() const { return externalAttributes & 0xFF; }
};

inline void Put16(std::string& out, std::uint32_t v) {
  out.push_back((char)(v & 0xFF));
  out.push_back((char)((v >> 8) & 0xFF));
}
inline void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline std::uint16_t Get16(const unsigned char* p) { return (std::uint16_t)(p[0] | (p[1] << 8)); }
inline std::uint32_t Get32(const unsigned char* p) {
  return (std::uint32_t)p[0] | ((std::uint32_t)p[1] << 8) | ((std::uint32_t)p[2] << 16) |
         ((std::uint32_t)p[3] << 24);
}

// Local header for a record (sizes and CRC as the record holds them).
std::string BuildLocalHeader(const EntryRecord& e, const std::string& localExtra);
// Central directory record.
std::string BuildCentralRecord(const EntryRecord& e);
// End of central directory record.
std::string BuildEndRecord(std::uint32_t thisDisk, std::uint32_t cdDisk,
                           std::uint32_t entriesOnDisk, std::uint32_t totalEntries,
                           std::uint64_t cdSize, std::uint64_t cdOffset);

// DOS date and time in local time of a calendar time; times before 1980
// become 1980-01-01.
void ToDosDateTime(std::time_t t, std::uint16_t* dosDate, std::uint16_t* dosTime);
// Calendar time of a DOS date and time read as local time.
std::time_t FromDosDateTime(std::uint16_t dosDate, std::uint16_t dosTime);

}  // namespace zip
