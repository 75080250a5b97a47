#include "db/StoredArchive.h"

#include <exception>

#include "archive/Brennowzip.h"
#include "platform/Files.h"

namespace {

bool ReadsBack(const std::string& archivePath, const std::string& entryName,
               const std::vector<unsigned char>& content, std::string* error) {
  CBrennowZip reader;
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

}  // namespace

StoreResult StoreInNewArchive(const std::string& archivePath, const std::string& entryName,
                              const std::vector<unsigned char>& content, std::string* error) {
  if (archivePath.empty() || platform::files::Stat(archivePath).exists) return StoreResult::PathTaken;
  bool stored = false;
  try {
    {
      CBrennowZip writer;
      stored = writer.openArchive(archivePath) &&
               writer.addStream(CBrennowZip::Wide(entryName), content) && writer.closeArchive();
      if (!stored) *error = writer.lastError();
      // The wrapper's destructor still writes what a failed step left open;
      // that file is removed below, once the wrapper is gone.
    }
    if (stored) stored = ReadsBack(archivePath, entryName, content, error);
  } catch (const std::exception& e) {
    *error = e.what();
    stored = false;
  } catch (...) {
    *error = "Unexpected failure while storing the archive.";
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
