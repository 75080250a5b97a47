// Matching names against masks, and turning stored entry names into safe
// relative paths.
#pragma once

#include <string>
#include <vector>

namespace zip {

// Whether a file name (no folder) matches a Windows-style mask with '*' and
// '?', ignoring case. "*" and "*.*" match every name, with or without a dot;
// "name.*" also matches "name".
bool MatchesMask(const std::string& name, const std::string& mask);
bool MatchesAnyMask(const std::string& name, const std::vector<std::string>& masks);

// Whether an entry name matches a mask: masks without a folder separator are
// matched against the last component of the name, others against the whole
// name.
bool EntryMatchesMask(const std::string& entryName, const std::string& mask);

// The entry name as a relative path with '/' separators and no "." parts, or
// false when it is empty, absolute, carries a drive or a ':' (not a valid
// Windows name), contains a NUL or climbs out with "..".
bool SafeRelativeName(const std::string& entryName, std::string* relative);

// Case-insensitive comparison for ASCII and Latin-1 letters of UTF-8 texts.
std::string FoldCase(const std::string& utf8);

}  // namespace zip
