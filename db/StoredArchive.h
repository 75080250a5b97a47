// Storing one registered file on the key: a new one-entry ZIP archive whose
// content is read back and compared before the caller may insert its row,
// so that no row ever refers to a missing or incomplete stored file.
#pragma once

#include <string>
#include <vector>

enum class StoreResult {
  Stored,     // the archive holds the entry with exactly these bytes
  PathTaken,  // something already stood at the path; it was not touched
  Failed,     // an archive step failed; nothing is left at the path
};

// Writes content as the only entry entryName of a new archive at
// archivePath (native). On Failed the text of the failing step is put into
// *error and whatever this call wrote at the path is removed. Never throws.
StoreResult StoreInNewArchive(const std::string& archivePath, const std::string& entryName,
                              const std::vector<unsigned char>& content, std::string* error);

// Removes an archive that this registration created (after its row could
// not be inserted). True when nothing is left at the path.
bool RemoveStoredArchive(const std::string& archivePath);
