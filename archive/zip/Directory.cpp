#include "archive/zip/Directory.h"

#include <algorithm>

#include "archive/zip/NameCodec.h"
#include "archive/zip/Volumes.h"
#include "archive/zip/ZipError.h"

namespace zip {
namespace {

constexpr std::uint64_t kMaxDirectoryBytes = 32ull << 20;

struct EndRecord {
  std::uint32_t thisDisk, cdDisk, entriesOnDisk, totalEntries;
  std::uint64_t cdSize, cdOffset, position;
};

EndRecord FindEndRecord(InputFile& last) {
  std::uint64_t size = last.size();
  std::uint64_t tail = std::min<std::uint64_t>(size, kEndRecordSize + 0xFFFF);
  std::string buf((std::size_t)tail, '\0');
  last.seek(size - tail);
  std::size_t got = 0;
  while (got < buf.size()) {
    std::size_t n = last.read(&buf[got], buf.size() - got);
    if (n == 0) break;
    got += n;
  }
  if (got != buf.size()) throw ZipError("cannot read " + last.path());
  const unsigned char* p = (const unsigned char*)buf.data();
  for (std::size_t i = buf.size() >= kEndRecordSize ? buf.size() - kEndRecordSize + 1 : 0; i-- > 0;) {
    if (Get32(p + i) != kEndSignature) continue;
    std::uint16_t commentLen = Get16(p + i + 20);
    if (i + kEndRecordSize + commentLen > buf.size()) continue;
    EndRecord r;
    r.thisDisk = Get16(p + i + 4);
    r.cdDisk = Get16(p + i + 6);
    r.entriesOnDisk = Get16(p + i + 8);
    r.totalEntries = Get16(p + i + 10);
    r.cdSize = Get32(p + i + 12);
    r.cdOffset = Get32(p + i + 16);
    r.position = size - tail + i;
    // A ZIP64 locator right before the end record means the real values are
    // elsewhere; this engine does not read such archives.
    if (i >= 20 && Get32(p + i - 20) == 0x07064b50)
      throw ZipError(last.path() + " is a ZIP64 archive, which is not supported");
    return r;
  }
  throw ZipError(last.path() + " is not a ZIP archive (no end of central directory)");
}

}  // namespace

std::vector<EntryRecord> ParseDirectory(const std::string& bytes, std::uint32_t totalEntries,
                                        const std::vector<std::uint64_t>& volumeSizes,
                                        std::uint64_t offsetShift) {
  std::vector<EntryRecord> entries;
  const unsigned char* p = (const unsigned char*)bytes.data();
  std::size_t pos = 0;
  while (pos + kCentralHeaderSize <= bytes.size() && entries.size() < totalEntries) {
    if (Get32(p + pos) != kCentralSignature) throw ZipError("damaged central directory");
    EntryRecord e;
    e.versionMadeBy = Get16(p + pos + 4);
    e.versionNeeded = Get16(p + pos + 6);
    e.flags = Get16(p + pos + 8);
    e.method = Get16(p + pos + 10);
    e.dosTime = Get16(p + pos + 12);
    e.dosDate = Get16(p + pos + 14);
    e.crc = Get32(p + pos + 16);
    e.compressedSize = Get32(p + pos + 20);
    e.size = Get32(p + pos + 24);
    std::size_t nameLen = Get16(p + pos + 28), extraLen = Get16(p + pos + 30),
                commentLen = Get16(p + pos + 32);
    e.disk = Get16(p + pos + 34);
    e.internalAttributes = Get16(p + pos + 36);
    e.externalAttributes = Get32(p + pos + 38);
    e.offset = (std::uint64_t)Get32(p + pos + 42) + (e.disk == 0 ? offsetShift : 0);
    std::size_t end = pos + kCentralHeaderSize + nameLen + extraLen + commentLen;
    if (end > bytes.size()) throw ZipError("damaged central directory (record too long)");
    e.rawName = bytes.substr(pos + kCentralHeaderSize, nameLen);
    e.extra = bytes.substr(pos + kCentralHeaderSize + nameLen, extraLen);
    // ZIP64 values hide behind 0xFFFFFFFF with a ZIP64 extra field.
    for (std::size_t x = 0; x + 4 <= e.extra.size();) {
      const unsigned char* q = (const unsigned char*)e.extra.data() + x;
      if (Get16(q) == kZip64Tag) throw ZipError("ZIP64 entries are not supported");
      x += 4 + Get16(q + 2);
    }
    e.name = DecodeEntryName(e.rawName, e.extra, e.flags);
    for (auto& c : e.name) if (c == '\\') c = '/';
    if (e.disk >= volumeSizes.size() || e.offset + kLocalHeaderSize > volumeSizes[e.disk] + 0)
      throw ZipError("damaged central directory: entry \"" + e.name + "\" points outside the archive");
    entries.push_back(std::move(e));
    pos = end;
  }
  if (entries.size() != totalEntries)
    throw ZipError("damaged central directory: " + std::to_string(entries.size()) + " of " +
                   std::to_string(totalEntries) + " entries found");
  return entries;
}

ArchiveDirectory ReadDirectory(FileIo& io, const std::string& archivePath) {
  ArchiveDirectory dir;
  EndRecord end;
  {
    auto last = io.openRead(archivePath);
    end = FindEndRecord(*last);
  }
  std::uint32_t count = end.thisDisk + 1;
  for (std::uint32_t i = 0; i + 1 < count; ++i) {
    std::string want = VolumePath(archivePath, i, count);
    std::string found = FindIgnoringCase(want);
    if (found.empty()) throw ZipError("volume " + want + " of the archive is missing");
    dir.volumes.push_back(found);
  }
  dir.volumes.push_back(archivePath);
  VolumeReader reader(io, dir.volumes);
  std::vector<std::uint64_t> sizes;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    sizes.push_back(reader.volumeSize(i));
    total += sizes.back();
  }
  if (end.cdDisk > end.thisDisk) throw ZipError("damaged end record in " + archivePath);
  if (end.cdSize > total || end.cdSize > kMaxDirectoryBytes)
    throw ZipError("damaged end record in " + archivePath + " (directory size)");
  std::uint64_t shift = 0;
  if (count == 1) {
    // Data before the archive (a self-extractor stub) moves every offset.
    if (end.cdSize > end.position) throw ZipError("damaged end record in " + archivePath);
    std::uint64_t actual = end.position - end.cdSize;
    if (actual < end.cdOffset) throw ZipError("damaged end record in " + archivePath);
    shift = actual - end.cdOffset;
    end.cdOffset = actual;
  }
  std::string cd((std::size_t)end.cdSize, '\0');
  reader.seek(end.cdDisk, end.cdOffset);
  reader.readExact(&cd[0], cd.size());
  dir.entries = ParseDirectory(cd, end.totalEntries, sizes, shift);
  return dir;
}

}  // namespace zip
