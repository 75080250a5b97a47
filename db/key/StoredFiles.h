// The files the key's rows stand for. Registering stores a file as a new
// one-entry ZIP archive whose content is read back and compared before the
// caller may insert its row, so that no row ever refers to a missing or
// incomplete stored file; exporting reads a stored file back, whether it is
// such an archive or (as the product may leave it) the file itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "archive/Brennowzip.h"

namespace keydb {

// Called on the calling thread while an archive is written or read, with
// its whole percent: the place to hand the event queue a turn.
using Progress = std::function<void(int percent)>;

// The whole file at a native path; false with the system's reason.
bool ReadWholeFile(const std::string& nativePath, std::vector<unsigned char>* content,
                   std::string* reason);

enum class StoreResult {
  Stored,     // the archive holds the entry with exactly these bytes
  PathTaken,  // something already stood at the path; it was not touched
  Failed,     // an archive step failed; nothing is left at the path
};

// Writes content as the only entry entryName of a new archive at
// archivePath (native). On Failed the text of the failing step is put into
// *error and whatever this call wrote at the path is removed. Never throws.
StoreResult StoreInNewArchive(const std::string& archivePath, const std::string& entryName,
                              const std::vector<unsigned char>& content, std::string* error,
                              const Progress& onProgress = Progress());

// Removes an archive that a registration created (after its row could not
// be inserted). True when nothing is left at the path.
bool RemoveStoredArchive(const std::string& archivePath);

// Why a stored file could not be read back.
struct ReadFailure {
  bool inArchive = false;      // the archive step failed (below), else the file
  std::string systemReason;    // the system's reason for the file
  std::string archiveError;    // the wrapper's lastError()
  CBrennowZip::Reason reason;  // and its reason kind
};

// The content of the stored file at nativePath: the entry entryName
// (Windows-1252) when the file is a ZIP archive, otherwise the file's own
// bytes. The archive is only read. False with *failure filled in.
bool ReadStoredFile(const std::string& nativePath, const std::string& entryName,
                    std::vector<unsigned char>* content, ReadFailure* failure,
                    const Progress& onProgress = Progress());

}  // namespace keydb
