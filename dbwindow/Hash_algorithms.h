// MD5 (RFC 1321) and the digest text the product stores for its files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// State of one MD5 computation; owned by the caller.
struct MD5Context {
  std::uint32_t state[4];
  std::uint64_t count;       // bytes hashed so far
  unsigned char buffer[64];  // pending bytes of an incomplete block
};

class THASH {
 public:
  // Starts a new digest in *context.
  static void MD5Init(MD5Context* context);
  // Hashes length more bytes; may be called any number of times.
  static void MD5Update(MD5Context* context, const void* data, std::size_t length);
  // Finishes the digest into 16 bytes; *context must be re-initialised
  // before it is used again.
  static void MD5Final(unsigned char digest[16], MD5Context* context);
};

class TUEDC16 {
 public:
  // The MD5 text of length bytes at data: 32 upper-case hexadecimal digits,
  // each byte "%2.2X" in digest order.
  static std::string HashBuffer(const void* data, std::size_t length);
};
