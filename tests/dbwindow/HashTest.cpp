// MD5 against RFC 1321's test suite and against md5sum, a reference nobody
// here wrote, over buffers whose lengths straddle the block and padding edges.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "dbwindow/Hash_algorithms.h"
#include "tests/support/KeyFixture.h"

namespace {

std::string Hex(const unsigned char digest[16]) {
  char text[33];
  for (int i = 0; i < 16; ++i) std::snprintf(text + 2 * i, 3, "%2.2X", digest[i]);
  return std::string(text, 32);
}

std::string Md5InPieces(const std::string& data, const std::vector<std::size_t>& cuts) {
  MD5Context context;
  THASH::MD5Init(&context);
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    THASH::MD5Update(&context, data.data() + from, cut - from);
    from = cut;
  }
  THASH::MD5Update(&context, data.data() + from, data.size() - from);
  unsigned char digest[16];
  THASH::MD5Final(digest, &context);
  return Hex(digest);
}

// md5sum's answer for the bytes, upper-cased.
std::string ReferenceMd5(const fixture::TempDir& dir, const std::string& data) {
  const std::string path = dir / "buffer.bin";
  fixture::WriteFile(path, data);
  FILE* pipe = popen(("md5sum '" + path + "'").c_str(), "r");
  if (!pipe) return "md5sum not run";
  char line[128] = {0};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  pclose(pipe);
  if (!read) return "md5sum gave nothing";
  std::string hex(line, 32);
  for (char& c : hex) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return hex;
}

std::string RandomBytes(std::mt19937& rng, std::size_t n) {
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
  return bytes;
}

TEST(Md5, Rfc1321TestSuite) {
  const struct {
    const char* input;
    const char* digest;
  } suite[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
       "0",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& test : suite) {
    const std::string input(test.input);
    EXPECT_EQ(TUEDC16::HashBuffer(input.data(), input.size()), test.digest) << input;
    // The same digest when the text arrives a byte at a time.
    std::vector<std::size_t> everyByte;
    for (std::size_t i = 1; i < input.size(); ++i) everyByte.push_back(i);
    EXPECT_EQ(Md5InPieces(input, everyByte), test.digest) << input;
  }
}

TEST(Md5, TextIsUpperCaseHexWithLeadingZeros) {
  // MD5("a") begins with byte 0x0C: "%2.2X" keeps its leading zero.
  const std::string text = TUEDC16::HashBuffer("a", 1);
  ASSERT_EQ(text.size(), 32u);
  EXPECT_EQ(text.substr(0, 2), "0C");
  for (char c : text) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << text;
}

TEST(Md5, MatchesMd5sumAcrossBlockAndPaddingEdges) {
  fixture::TempDir dir;
  std::mt19937 rng(1321);
  const std::size_t lengths[] = {0,   1,   55,  56,  57,   63,   64,    65,     119,
                                 120, 127, 128, 129, 1000, 4095, 65537, 3 << 20};
  for (std::size_t n : lengths) {
    const std::string data = RandomBytes(rng, n);
    const std::string expected = ReferenceMd5(dir, data);
    EXPECT_EQ(TUEDC16::HashBuffer(data.data(), data.size()), expected) << "length " << n;
    // Split into uneven pieces, some of them empty, some crossing blocks.
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0; at < n; at += 1 + rng() % 97) {
      cuts.push_back(at);
      if (rng() % 5 == 0) cuts.push_back(at);  // an empty update
    }
    EXPECT_EQ(Md5InPieces(data, cuts), expected) << "length " << n << " in pieces";
  }
}

TEST(Md5, HashesUnalignedBuffersInPlace) {
  // Driver ranges start at any offset of the file's buffer.
  fixture::TempDir dir;
  std::mt19937 rng(7);
  const std::string data = RandomBytes(rng, 5000);
  for (std::size_t offset : {1u, 3u, 61u, 999u}) {
    const std::string part = data.substr(offset, 1700);
    EXPECT_EQ(TUEDC16::HashBuffer(data.data() + offset, 1700), ReferenceMd5(dir, part))
        << "offset " << offset;
  }
}

}  // namespace
