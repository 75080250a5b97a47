// MD5 as the product computes its fingerprints: RFC 1321 digests as 32
// upper-case hexadecimal digits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "dbwindow/Hash_algorithms.h"
#include "tests/support/Files.h"

namespace {

std::string Hash(const std::string& bytes) {
  return TUEDC16::HashBuffer(bytes.data(), bytes.size());
}

std::string Incremental(const std::string& bytes, const std::vector<std::size_t>& pieces) {
  MD5Context context;
  THASH::MD5Init(&context);
  std::size_t pos = 0;
  for (std::size_t piece : pieces) {
    THASH::MD5Update(&context, bytes.data() + pos, piece);
    pos += piece;
  }
  THASH::MD5Update(&context, bytes.data() + pos, bytes.size() - pos);
  unsigned char digest[16];
  THASH::MD5Final(digest, &context);
  char text[33];
  for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%2.2X", digest[i]);
  return text;
}

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ(Hash(""), "D41D8CD98F00B204E9800998ECF8427E");
  EXPECT_EQ(Hash("a"), "0CC175B9C0F1B6A831C399E269772661");
  EXPECT_EQ(Hash("abc"), "900150983CD24FB0D6963F7D28E17F72");
  EXPECT_EQ(Hash("message digest"), "F96B697D7CB7938D525A2F31AAF161D0");
  EXPECT_EQ(Hash("abcdefghijklmnopqrstuvwxyz"), "C3FCD3D76192E4007DFB496CCA67E13B");
  EXPECT_EQ(Hash("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "D174AB98D277D9F5A5611C2C9F419D9F");
  EXPECT_EQ(Hash("1234567890123456789012345678901234567890"
                 "1234567890123456789012345678901234567890"),
            "57EDF4A22BE3C955AC49DA2E2107B67A");
  EXPECT_EQ(Hash(std::string(1000000, 'a')), "7707D6AE4E027C70EEA2A935C2296F21");
}

TEST(Md5, LengthsAroundTheBlockAndPaddingBoundaries) {
  // Digests of bytes (i * 7 + 3) mod 256 from Python's hashlib: where the
  // length field spills into a second padding block (56) and whole blocks.
  const std::pair<std::size_t, const char*> cases[] = {
      {55, "52C0E574E1198DE5FE3F8F11440DCB1B"},  {56, "46C9907FC908EE68B1E7B8E71286A518"},
      {63, "A62F6D59E837867693F042F5B8F5A236"},  {64, "7160B8FB5E9E4023D549C3971FBAEEAD"},
      {65, "70BD662E7AEFBDA85A0F7244167B7897"},  {127, "ACCE2474D6CC8302120D09C818D17EF7"},
      {128, "10B2DA1A82F16D99A81A7203FE9F02CB"},
  };
  for (const auto& [length, digest] : cases) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    EXPECT_EQ(Hash(bytes), digest) << length;
  }
}

TEST(Md5, PiecesOfAnySizeGiveTheSameDigest) {
  const std::string image = fixture::EcuImage(7, 300000);
  const std::string whole = Hash(image);
  EXPECT_EQ(Incremental(image, {1, 63, 64, 0, 65, 100000, 3}), whole);
  EXPECT_EQ(Incremental(image, {image.size()}), whole);
  std::string changed = image;
  changed[150000] ^= 1;
  EXPECT_NE(Hash(changed), whole);
}

}  // namespace
