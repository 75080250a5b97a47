// qbk list -v, line for line as Info-ZIP's `unzip -v` printed the same
// archive (its ratio rounded to per mille, then to percent).
#include <gtest/gtest.h>

#include "tools/QbkListing.h"

namespace {

zip::Entry Made(const char* name, std::uint32_t size, std::uint32_t packed, std::uint16_t method,
                std::uint32_t crc) {
  zip::Entry e;
  e.name = name;
  e.size = size;
  e.compressedSize = packed;
  e.method = method;
  e.crc = crc;
  e.dosDate = static_cast<std::uint16_t>(((2026 - 1980) << 9) | (12 << 5) | 10);
  e.dosTime = static_cast<std::uint16_t>((8 << 11) | (43 << 5));
  return e;
}

TEST(QbkListing, VerboseListingIsWhatUnzipShows) {
  const std::vector<zip::Entry> entries = {
      Made("n.txt", 108894, 38935, zip::kMethodDeflated, 0x45c35897),
      Made("r.bin", 100000, 100000, zip::kMethodStored, 0xd53f4fc2),
      Made("sub/", 0, 0, zip::kMethodStored, 0),
  };
  EXPECT_EQ(qbk::VerboseListing(entries),
            " Length   Method    Size  Cmpr    Date    Time   CRC-32   Name\n"
            "--------  ------  ------- ---- ---------- ----- --------  ----\n"
            "  108894  Defl:N    38935  64% 2026-12-10 08:43 45c35897  n.txt\n"
            "  100000  Stored   100000   0% 2026-12-10 08:43 d53f4fc2  r.bin\n"
            "       0  Stored        0   0% 2026-12-10 08:43 00000000  sub/\n"
            "--------          -------  ---                            -------\n"
            "  208894           138935  34%                            3 files\n");
  // 34.49 percent is 345 per mille, which unzip shows as 35%.
  const std::vector<zip::Entry> rounded = {Made("a", 10000, 6551, zip::kMethodDeflated, 1)};
  EXPECT_NE(qbk::VerboseListing(rounded).find("   10000             6551  35%"), std::string::npos)
      << qbk::VerboseListing(rounded);
}

}  // namespace
