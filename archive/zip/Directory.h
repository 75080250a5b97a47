// Reading an archive's central directory, starting from its last volume.
#pragma once

#include <string>
#include <vector>

#include "archive/zip/FileIo.h"
#include "archive/zip/Format.h"

namespace zip {

struct ArchiveDirectory {
  std::vector<std::string> volumes;  // existing paths, first to last
  std::vector<EntryRecord> entries;
};

// Reads the directory of the archive whose last volume is `archivePath`.
// Throws ZipError for anything that is not a readable ZIP archive without
// ZIP64: no end record, missing volumes, records outside the files.
ArchiveDirectory ReadDirectory(FileIo& io, const std::string& archivePath);

// Parses the directory of an archive held in memory as one volume (the
// fuzzer's entry point and the same parser ReadDirectory uses).
std::vector<EntryRecord> ParseDirectory(const std::string& centralBytes, std::uint32_t totalEntries,
                                        const std::vector<std::uint64_t>& volumeSizes,
                                        std::uint64_t offsetShift);

}  // namespace zip
