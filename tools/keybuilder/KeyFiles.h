// Files of a key tree: whole-file reads and writes, the fixtures' texts in
// Windows-1252, and ECU-like content. Needs nothing but the standard
// library, so it serves every build, the Windows one included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace keybuilder {

// Bytes <-> texts. Paths are UTF-8. Both throw std::runtime_error on failure;
// WriteFile creates the missing folders.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Windows-1252 from UTF-8 for the Latin-1 range and the few 0x80..0x9F
// letters the key trees use (Š, š, Œ, œ, Ž, ž, Ÿ, €). Throws on anything else.
std::string ToCp1252(const std::string& utf8);

// ECU-like content: random bytes, 0xFF padding and repeated tables, the
// same for the same seed.
std::string EcuImage(std::uint32_t seed, std::size_t size);

}  // namespace keybuilder
