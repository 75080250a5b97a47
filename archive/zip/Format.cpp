#include "archive/zip/Format.h"

#include "platform/FileSystem.h"

namespace zip {

std::string BuildLocalHeader(const EntryRecord& e, const std::string& localExtra) {
  std::string h;
  h.reserve(kLocalHeaderSize + e.rawName.size() + localExtra.size());
  Put32(h, kLocalSignature);
  Put16(h, e.versionNeeded);
  Put16(h, e.flags & ~kFlagDataDescriptor);
  Put16(h, e.method);
  Put16(h, e.dosTime);
  Put16(h, e.dosDate);
  Put32(h, e.crc);
  Put32(h, (std::uint32_t)e.compressedSize);
  Put32(h, (std::uint32_t)e.size);
  Put16(h, (std::uint32_t)e.rawName.size());
  Put16(h, (std::uint32_t)localExtra.size());
  h += e.rawName;
  h += localExtra;
  return h;
}

std::string BuildCentralRecord(const EntryRecord& e) {
  std::string h;
  h.reserve(kCentralHeaderSize + e.rawName.size() + e.extra.size());
  Put32(h, kCentralSignature);
  Put16(h, e.versionMadeBy);
  Put16(h, e.versionNeeded);
  Put16(h, e.flags & ~kFlagDataDescriptor);
  Put16(h, e.method);
  Put16(h, e.dosTime);
  Put16(h, e.dosDate);
  Put32(h, e.crc);
  Put32(h, (std::uint32_t)e.compressedSize);
  Put32(h, (std::uint32_t)e.size);
  Put16(h, (std::uint32_t)e.rawName.size());
  Put16(h, (std::uint32_t)e.extra.size());
  Put16(h, 0);  // comment
  Put16(h, e.disk);
  Put16(h, e.internalAttributes);
  Put32(h, e.externalAttributes);
  Put32(h, (std::uint32_t)e.offset);
  h += e.rawName;
  h += e.extra;
  return h;
}

std::string BuildEndRecord(std::uint32_t thisDisk, std::uint32_t cdDisk,
                           std::uint32_t entriesOnDisk, std::uint32_t totalEntries,
                           std::uint64_t cdSize, std::uint64_t cdOffset) {
  std::string h;
  Put32(h, kEndSignature);
  Put16(h, thisDisk);
  Put16(h, cdDisk);
  Put16(h, entriesOnDisk);
  Put16(h, totalEntries);
  Put32(h, (std::uint32_t)cdSize);
  Put32(h, (std::uint32_t)cdOffset);
  Put16(h, 0);
  return h;
}

void ToDosDateTime(std::time_t t, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  std::tm tm = platform::LocalTime(t);
  if (tm.tm_year < 80) {
    *dosDate = (1 << 5) | 1;
    *dosTime = 0;
    return;
  }
  if (tm.tm_year > 207) tm.tm_year = 207;
  *dosDate = (std::uint16_t)(((tm.tm_year - 80) << 9) | ((tm.tm_mon + 1) << 5) | tm.tm_mday);
  *dosTime = (std::uint16_t)((tm.tm_hour << 11) | (tm.tm_min << 5) | (tm.tm_sec / 2));
}

std::time_t FromDosDateTime(std::uint16_t dosDate, std::uint16_t dosTime) {
  std::tm tm{};
  tm.tm_year = ((dosDate >> 9) & 0x7F) + 80;
  tm.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
  tm.tm_mday = dosDate & 0x1F;
  tm.tm_hour = (dosTime >> 11) & 0x1F;
  tm.tm_min = (dosTime >> 5) & 0x3F;
  tm.tm_sec = (dosTime & 0x1F) * 2;
  tm.tm_isdst = -1;
  if (tm.tm_mon < 0) tm.tm_mon = 0;
  if (tm.tm_mday < 1) tm.tm_mday = 1;
  return std::mktime(&tm);
}

}  // namespace zip
