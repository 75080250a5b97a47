#include "archive/zip/Format.h"

#include "platform/Files.h"

namespace zip {

std::uint32_t Entry::dosAttributes() const {
  std::uint8_t host = static_cast<std::uint8_t>(versionMadeBy >> 8);
  if (host == 3) {  // Unix: the mode is in the high half
    std::uint32_t mode = externalAttributes >> 16;
    std::uint32_t attrs = isFolder() ? 0x10 : 0x20;
    if (mode != 0 && !(mode & 0200)) attrs |= 0x01;
    return attrs;
  }
  return externalAttributes & 0xFF;
}

std::int64_t Entry::modified() const {
  std::tm local{};
  local.tm_year = ((dosDate >> 9) & 0x7F) + 80;
  local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
  local.tm_mday = dosDate & 0x1F;
  local.tm_hour = (dosTime >> 11) & 0x1F;
  local.tm_min = (dosTime >> 5) & 0x3F;
  local.tm_sec = (dosTime & 0x1F) * 2;
  if (local.tm_mon < 0) local.tm_mon = 0;
  if (local.tm_mday == 0) local.tm_mday = 1;
  return platform::files::FromLocalTime(local);
}

void ToDosTime(std::int64_t moment, std::uint16_t* dosDate, std::uint16_t* dosTime) {
  std::tm t = platform::files::LocalTime(moment);
  if (t.tm_year < 80) {
    *dosDate = (1 << 5) | 1;
    *dosTime = 0;
    return;
  }
  if (t.tm_year > 207) {
    t.tm_year = 207;
    t.tm_mon = 11;
    t.tm_mday = 31;
    t.tm_hour = 23;
    t.tm_min = 59;
    t.tm_sec = 58;
  }
  *dosDate =
      static_cast<std::uint16_t>(((t.tm_year - 80) << 9) | ((t.tm_mon + 1) << 5) | t.tm_mday);
  *dosTime = static_cast<std::uint16_t>((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2));
}

}  // namespace zip
