#include "db/key/StoredFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "db/Cp1252.h"
#include "db/key/StoredNames.h"
#include "platform/Files.h"
#include "platform/Platform.h"

namespace keydb {
namespace {

bool ReadsBack(const std::string& archivePath, const std::string& entryName,
               const std::vector<unsigned char>& content, std::string* error,
               const Progress& onProgress) {
  CBrennowZip reader;
  reader.setProgressHandler(onProgress);
  std::vector<unsigned char> stored;
  if (!reader.openArchive(archivePath) ||
      !reader.extractToStream(CBrennowZip::Wide(entryName), &stored) || !reader.closeArchive()) {
    *error = reader.lastError();
    return false;
  }
  if (stored != content) {
    *error = "The stored archive does not hold the registered bytes.";
    return false;
  }
  return true;
}

// An entry name stored in Windows-1252, as the wrapper takes it.
std::wstring EntryName(const std::string& stored) {
  std::u32string characters;
  cp1252::DecodeUtf8(cp1252::ToUtf8(stored), &characters);
  return std::wstring(characters.begin(), characters.end());
}

}  // namespace

bool ReadWholeFile(const std::string& nativePath, std::vector<unsigned char>* content,
                   std::string* reason) {
  std::FILE* file = nativePath.empty() ? nullptr : platform::files::Open(nativePath, "rb");
  if (!file) {
    *reason = std::strerror(nativePath.empty() ? ENOENT : errno);
    return false;
  }
  content->clear();
  unsigned char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    content->insert(content->end(), buffer, buffer + n);
  const bool failed = std::ferror(file) != 0;
  if (failed) *reason = std::strerror(errno);
  std::fclose(file);
  return !failed;
}

StoreResult StoreInNewArchive(const std::string& archivePath, const std::string& entryName,
                              const std::vector<unsigned char>& content, std::string* error,
                              const Progress& onProgress) {
  if (archivePath.empty() || platform::files::Stat(archivePath).exists)
    return StoreResult::PathTaken;
  bool stored = false;
  try {
    {
      CBrennowZip writer;
      writer.setProgressHandler(onProgress);
      stored = writer.openArchive(archivePath) &&
               writer.addStream(CBrennowZip::Wide(entryName), content) && writer.closeArchive();
      if (!stored) *error = writer.lastError();
      // The wrapper's destructor still writes what a failed step left open;
      // that file is removed below, once the wrapper is gone.
    }
    if (stored) stored = ReadsBack(archivePath, entryName, content, error, onProgress);
  } catch (const std::exception& e) {
    // The wrapper reports its own failures as results; what reaches here is
    // the progress handler's or the memory's, and it must not leave a
    // half-written archive behind.
    *error = e.what();
    stored = false;
  }
  if (!stored) {
    RemoveStoredArchive(archivePath);
    return StoreResult::Failed;
  }
  return StoreResult::Stored;
}

bool RemoveStoredArchive(const std::string& archivePath) {
  if (!platform::files::Stat(archivePath).exists) return true;
  return platform::files::Remove(archivePath);
}

bool ReadStoredFile(const std::string& nativePath, const std::string& entryName,
                    std::vector<unsigned char>* content, ReadFailure* failure,
                    const Progress& onProgress) {
  std::vector<unsigned char> bytes;
  if (!platform::FileExists(nativePath)) {
    failure->systemReason = std::strerror(ENOENT);
    return false;
  }
  if (!ReadWholeFile(nativePath, &bytes, &failure->systemReason)) return false;
  if (!IsStoredArchive(bytes)) {
    *content = std::move(bytes);
    return true;
  }
  CBrennowZip zip;
  zip.setProgressHandler(onProgress);
  const bool extracted =
      zip.openArchive(nativePath) && zip.extractToStream(EntryName(entryName), content);
  if (!extracted) {
    failure->inArchive = true;
    failure->archiveError = zip.lastError();
    failure->reason = zip.lastReason();
  }
  zip.closeArchive();
  return extracted;
}

}  // namespace keydb
