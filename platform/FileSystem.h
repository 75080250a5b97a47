// File-system services that std::filesystem does not offer portably: the
// DOS view of a file's attributes, modification times as calendar seconds,
// local-time conversion and the OEM code page. Paths are native 8-bit texts
// (UTF-8 on Linux).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace platform {

// DOS attribute bits as ZIP tools store them.
enum DosAttribute : unsigned {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
};

// The DOS attributes of a file or folder (on Linux: read-only when no write
// permission is set, hidden for names that start with a dot, archive for
// files). False when the path cannot be examined.
bool GetDosAttributes(const std::string& path, unsigned* attributes);

// Applies the attributes that the platform has: on Windows all of them, on
// Linux read-only (write permission removed or restored). False on failure.
bool SetDosAttributes(const std::string& path, unsigned attributes);

// Modification time as seconds since 1970 (UTC). False when unknown.
bool GetModificationTime(const std::string& path, std::int64_t* seconds);
bool SetModificationTime(const std::string& path, std::int64_t seconds);

// Makes a file writable so that it can be replaced or removed (clears the
// read-only attribute). Missing files are not an error.
void MakeWritable(const std::string& path);

// Thread-safe localtime.
std::tm LocalTime(std::time_t t);

// On Windows converts between UTF-8 and the system's OEM code page and
// returns true (*exact tells whether every character had a code). Elsewhere
// returns false: the caller uses its own code page table.
bool SystemOemFromUtf8(const std::string& utf8, std::string* oem, bool* exact);
bool SystemOemToUtf8(const std::string& oem, std::string* utf8);

}  // namespace platform
