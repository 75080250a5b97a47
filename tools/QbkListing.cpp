#include "tools/QbkListing.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>

namespace qbk {

namespace {

std::string Method(const zip::Entry& e) {
  if (e.method == zip::kMethodStored) return "Stored";
  if (e.method == zip::kMethodDeflated) return std::string("Defl:") + "NXFS"[(e.flags >> 1) & 3];
  char text[16];
  std::snprintf(text, sizeof text, "Unk:%03u", static_cast<unsigned>(e.method));
  return text;
}

// How much smaller the packed data is, in whole percent, rounded as unzip
// rounds it: to per mille first, then to percent.
int Ratio(std::uint64_t size, std::uint64_t packed) {
  if (size == 0 || packed >= size) return 0;
  const std::uint64_t perMille = ((size - packed) * 1000 + size / 2) / size;
  return static_cast<int>((perMille + 5) / 10);
}

std::string Line(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

}  // namespace

std::string VerboseListing(const std::vector<zip::Entry>& entries) {
  std::string out =
      " Length   Method    Size  Cmpr    Date    Time   CRC-32   Name\n"
      "--------  ------  ------- ---- ---------- ----- --------  ----\n";
  std::uint64_t size = 0, packed = 0;
  for (const zip::Entry& e : entries) {
    const unsigned year = 1980 + (e.dosDate >> 9), month = (e.dosDate >> 5) & 15,
                   day = e.dosDate & 31;
    const unsigned hour = e.dosTime >> 11, minute = (e.dosTime >> 5) & 63;
    out += Line("%8" PRIu32 "  %-6s %8" PRIu32 " %3d%% %04u-%02u-%02u %02u:%02u %08" PRIx32 "  ",
                e.size, Method(e).c_str(), e.compressedSize, Ratio(e.size, e.compressedSize), year,
                month, day, hour, minute, e.crc);
    out += e.name + "\n";
    size += e.size;
    packed += e.compressedSize;
  }
  out += "--------          -------  ---                            -------\n";
  out += Line("%8" PRIu64 "         %8" PRIu64 " %3d%%                            %llu file%s\n",
              size, packed, Ratio(size, packed), static_cast<unsigned long long>(entries.size()),
              entries.size() == 1 ? "" : "s");
  return out;
}

}  // namespace qbk
