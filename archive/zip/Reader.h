// Reading archives: the central directory from the end of the last volume,
// and entry data inflated and checked against its CRC. Every offset, size
// and count is checked against the volumes; a damaged or hostile archive
// throws zip::Error, it never reads outside the data it was given.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/zip/Format.h"
#include "archive/zip/Volumes.h"

namespace zip {

// Where the end record of an archive says its volumes and directory are.
struct EndRecord {
  std::uint16_t thisDisk = 0;  // number of the last volume (0-based)
  std::uint16_t directoryDisk = 0;
  std::uint16_t entriesHere = 0;
  std::uint16_t entries = 0;
  std::uint32_t directorySize = 0;
  std::uint32_t directoryOffset = 0;
};

// Finds and decodes the end record at the end of the last volume's bytes.
EndRecord ReadEndRecord(VolumeSource& lastVolumeOnly);

// Reads every central-directory entry of a complete volume set.
std::vector<Entry> ReadDirectory(VolumeSource& volumes, const EndRecord& end);

// The displayed name of a central record: the UTF-8 flag, else an Info-ZIP
// Unicode path field whose CRC matches the stored name, else the OEM name
// for archives made on DOS or Windows and the native (UTF-8) name for those
// made elsewhere, when it is valid UTF-8.
std::string DecodeEntryName(const std::string& rawName, std::uint16_t flags,
                            const std::string& extra, std::uint16_t versionMadeBy);

// Streams the uncompressed bytes of an entry to sink, in chunks, checking
// sizes and the CRC. Throws zip::Error naming the entry.
using DataSink = std::function<void(const unsigned char* data, size_t n)>;
void ReadEntryData(VolumeSource& volumes, const Entry& entry, const DataSink& sink);

// Position of an entry's compressed data (after its local header).
void LocateData(VolumeSource& volumes, const Entry& entry, std::uint32_t* disk,
                std::uint64_t* offset);

}  // namespace zip
