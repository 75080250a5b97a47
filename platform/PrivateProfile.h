// Reading one value of an INI file the way Windows' private-profile service
// does, for the settings file the maker's earlier product leaves on drive C.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The longest value returned: the service is asked with a 2048-byte buffer,
// one byte of which holds the terminating NUL.
inline constexpr std::size_t kProfileValueLimit = 2047;

// The value of key in section of the INI file at a native path, or the
// empty text when the file, the section or the key is missing. Section and
// key match without regard to (ASCII) case; the value is cut to
// kProfileValueLimit bytes. Bytes are passed through unchanged.
// On Windows this is GetPrivateProfileStringA itself.
std::string PrivateProfileString(const std::string& nativePath, const std::string& section,
                                 const std::string& key);

// The same rules over a file's content already in memory: lines end with
// LF, CR LF or CR; "[name]" opens a section (blanks around the name are
// ignored); "key=value" lines inside it, with blanks around key and value
// trimmed and one pair of matching surrounding quotes removed from the
// value. The first matching section and the first matching key win.
std::string ProfileValueFromText(const std::string& content, const std::string& section,
                                 const std::string& key);

}  // namespace platform
