// Reads the running program's version from its own version resource.
#pragma once

#include <cstdint>
#include <string>

class CUtilities {
 public:
  // "major.minor" of the running program's file version ("%d.%2.2d": 1.02
  // for 1.2.0.0, 1.100 for 1.100), or "Not specified" without a version
  // resource.
  std::string GetVersionInfo() const;

  // The same for any program file at a native path.
  static std::string VersionInfoOf(const std::string& programPath);

  // The "%d.%2.2d" text of the upper 32 bits of a file version.
  static std::string FormatVersion(std::uint32_t fileVersionMS);
};
