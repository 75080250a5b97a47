// The version resource of a program file. On Windows the VERSIONINFO
// resource; on Linux a fixed record in the ELF section ".quor_version" laid
// out like VS_FIXEDFILEINFO's first four fields (signature 0xFEEF04BD,
// structure version, file version high and low 32 bits).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct FixedVersion {
  std::uint32_t signature;
  std::uint32_t structVersion;
  std::uint32_t fileVersionMS;
  std::uint32_t fileVersionLS;
};

constexpr std::uint32_t kVersionSignature = 0xFEEF04BDu;

// Reads the file version of the program file at a native path. False when
// the file cannot be read or has no version resource.
bool ReadFileVersion(const std::string& programPath, std::uint32_t* versionMS,
                     std::uint32_t* versionLS);

}  // namespace platform
