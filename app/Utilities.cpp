#include "app/Utilities.h"

#include <cstdio>

#include "platform/Platform.h"
#include "platform/VersionRecord.h"

std::string CUtilities::GetVersionInfo() const {
  return VersionInfoOf(platform::Current().ExecutablePath());
}

std::string CUtilities::VersionInfoOf(const std::string& programPath) {
  std::uint32_t ms = 0;
  std::uint32_t ls = 0;
  if (programPath.empty() || !platform::ReadFileVersion(programPath, &ms, &ls))
    return "Not specified";
  return FormatVersion(ms);
}

std::string CUtilities::FormatVersion(std::uint32_t fileVersionMS) {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%2.2d", static_cast<int>(fileVersionMS >> 16),
                static_cast<int>(fileVersionMS & 0xFFFF));
  return text;
}
