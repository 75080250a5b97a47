#include "archive/zip/Reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "archive/zip/Error.h"
#include "archive/zip/Text.h"

namespace zip {
namespace {

constexpr size_t kChunk = 256 * 1024;

// Position of the first byte of volume `disk` within the whole set.
std::uint64_t SetOffset(VolumeSource& v, std::uint32_t disk) {
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < disk && i < v.count(); ++i) total += v.size(i);
  return total;
}

std::uint64_t SetSize(VolumeSource& v) { return SetOffset(v, v.count()); }

std::string FindExtra(const std::string& extra, std::uint16_t tag) {
  size_t pos = 0;
  while (pos + 4 <= extra.size()) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(extra.data()) + pos;
    std::uint16_t id = Get16(p), len = Get16(p + 2);
    if (pos + 4 + len > extra.size()) break;
    if (id == tag) return extra.substr(pos + 4, len);
    pos += 4 + len;
  }
  return std::string();
}

}  // namespace

EndRecord ReadEndRecord(VolumeSource& v) {
  std::uint32_t last = v.count() - 1;
  std::uint64_t size = v.size(last);
  if (size < kEndRecordSize)
    throw Error(Reason::kNotAnArchive, {}, "Not a ZIP archive (too short)");
  size_t tail = static_cast<size_t>(std::min<std::uint64_t>(size, kEndRecordSize + 0xFFFF));
  std::vector<unsigned char> buffer(tail);
  v.ReadAt(last, size - tail, buffer.data(), tail);
  for (size_t i = tail - kEndRecordSize + 1; i-- > 0;) {
    const unsigned char* p = buffer.data() + i;
    if (Get32(p) != kEndSignature) continue;
    std::uint16_t commentLength = Get16(p + 20);
    if (i + kEndRecordSize + commentLength > tail) continue;
    EndRecord end;
    end.thisDisk = Get16(p + 4);
    end.directoryDisk = Get16(p + 6);
    end.entriesHere = Get16(p + 8);
    end.entries = Get16(p + 10);
    end.directorySize = Get32(p + 12);
    end.directoryOffset = Get32(p + 16);
    if (i >= 20 && Get32(p - 20) == kZip64LocatorSignature)
      throw Error(Reason::kUnsupported, {}, "ZIP64 archives are not supported");
    if (end.directoryDisk > end.thisDisk)
      throw Error(Reason::kDamagedArchive, {}, "Damaged archive: inconsistent end record");
    return end;
  }
  throw Error(Reason::kNotAnArchive, {}, "Not a ZIP archive (no end of central directory)");
}

std::string DecodeEntryName(const std::string& rawName, std::uint16_t flags,
                            const std::string& extra, std::uint16_t versionMadeBy) {
  if (flags & kFlagUtf8) return rawName;
  std::string unicode = FindExtra(extra, kUnicodePathTag);
  if (unicode.size() >= 5 && unicode[0] == 1) {
    std::uint32_t crc = Get32(reinterpret_cast<const unsigned char*>(unicode.data()) + 1);
    uLong actual = crc32(0L, reinterpret_cast<const Bytef*>(rawName.data()),
                         static_cast<uInt>(rawName.size()));
    if (crc == actual) return unicode.substr(5);
  }
  std::uint8_t host = static_cast<std::uint8_t>(versionMadeBy >> 8);
  bool dosLike = host == 0 || host == 6 || host == 11 || host == 14;
  if (!dosLike && IsValidUtf8(rawName)) return rawName;
  return OemToUtf8(rawName);
}

std::vector<Entry> ReadDirectory(VolumeSource& v, const EndRecord& end) {
  if (end.thisDisk + 1u != v.count())
    throw Error(Reason::kDamagedArchive, {}, "Damaged archive: wrong number of volumes");
  std::uint64_t start = SetOffset(v, end.directoryDisk) + end.directoryOffset;
  std::uint64_t total = SetSize(v);
  if (start > total || end.directorySize > total - start)
    throw Error(Reason::kDamagedArchive, {}, "Damaged archive: central directory out of range");
  if (static_cast<std::uint64_t>(end.entries) * kCentralHeaderSize > end.directorySize)
    throw Error(Reason::kDamagedArchive, {}, "Damaged archive: central directory too small");

  // Every record within the directory's size is read: the end record's
  // 16-bit count may have wrapped (more than 65535 entries written without
  // ZIP64), so it is only checked modulo 65536.
  std::vector<Entry> entries;
  entries.reserve(end.entries);
  std::uint32_t disk = end.directoryDisk;
  std::uint64_t offset = end.directoryOffset;
  std::uint64_t used = 0;
  std::vector<unsigned char> variable;
  while (end.directorySize - used >= kCentralHeaderSize) {
    unsigned char h[kCentralHeaderSize];
    v.ReadSpan(disk, offset, h, sizeof h);
    if (Get32(h) != kCentralSignature)
      throw Error(Reason::kDamagedArchive, {}, "Damaged archive: bad central directory record");
    Entry e;
    e.versionMadeBy = Get16(h + 4);
    e.versionNeeded = Get16(h + 6);
    e.flags = Get16(h + 8);
    e.method = Get16(h + 10);
    e.dosTime = Get16(h + 12);
    e.dosDate = Get16(h + 14);
    e.crc = Get32(h + 16);
    e.compressedSize = Get32(h + 20);
    e.size = Get32(h + 24);
    std::uint16_t nameLength = Get16(h + 28), extraLength = Get16(h + 30),
                  commentLength = Get16(h + 32);
    e.disk = Get16(h + 34);
    e.internalAttributes = Get16(h + 36);
    e.externalAttributes = Get32(h + 38);
    e.localOffset = Get32(h + 42);
    size_t rest = static_cast<size_t>(nameLength) + extraLength + commentLength;
    if (used + kCentralHeaderSize + rest > end.directorySize)
      throw Error(Reason::kDamagedArchive, {}, "Damaged archive: central directory truncated");
    variable.resize(rest);
    v.Advance(&disk, &offset, kCentralHeaderSize);
    if (rest) v.ReadSpan(disk, offset, variable.data(), rest);
    v.Advance(&disk, &offset, rest);
    used += kCentralHeaderSize + rest;
    e.rawName.assign(reinterpret_cast<char*>(variable.data()), nameLength);
    e.extra.assign(reinterpret_cast<char*>(variable.data()) + nameLength, extraLength);
    if (e.rawName.empty())
      throw Error(Reason::kDamagedArchive, {}, "Damaged archive: entry without name");
    e.name = DecodeEntryName(e.rawName, e.flags, e.extra, e.versionMadeBy);
    std::replace(e.name.begin(), e.name.end(), '\\', '/');
    if (e.disk > end.thisDisk)
      throw Error(Reason::kMissingVolume, {e.name},
                  "Damaged archive: entry on a missing volume: " + e.name);
    if (e.size == kMax32 || e.compressedSize == kMax32 || e.localOffset == kMax32)
      throw Error(Reason::kUnsupported, {}, "ZIP64 archives are not supported");
    entries.push_back(std::move(e));
  }
  if (used != end.directorySize)
    throw Error(Reason::kDamagedArchive, {},
                "Damaged archive: bytes left over in the central directory");
  if ((entries.size() & 0xFFFF) != end.entries)
    throw Error(Reason::kDamagedArchive, {},
                "Damaged archive: the central directory holds " + std::to_string(entries.size()) +
                    " entries, its end record says " + std::to_string(end.entries));

  // Entries in the order of their data: each one must end before the next
  // one's local header, the last before the directory. Overlapping entries
  // are a damaged archive or a hostile one.
  // A volume that was cut short shows as an entry that starts past its
  // volume's end, or as one that runs into the next across a volume end.
  auto cut = [&](std::uint32_t disk) {
    return Error(Reason::kMissingVolume, {v.name(disk)},
                 "Volume missing or incomplete: " + v.name(disk));
  };
  std::vector<std::pair<std::uint64_t, size_t>> order;
  order.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    if (e.disk + 1u < v.count() && e.localOffset >= v.size(e.disk)) throw cut(e.disk);
    order.emplace_back(SetOffset(v, e.disk) + e.localOffset, i);
  }
  std::sort(order.begin(), order.end());
  for (size_t k = 0; k < order.size(); ++k) {
    std::uint64_t limit = k + 1 < order.size() ? order[k + 1].first : start;
    std::uint32_t nextDisk =
        k + 1 < order.size() ? entries[order[k + 1].second].disk : end.directoryDisk;
    Entry& e = entries[order[k].second];
    e.limit = limit;
    if (order[k].first + kLocalHeaderSize + e.compressedSize > limit) {
      if (nextDisk > e.disk) throw cut(e.disk);
      throw Error(Reason::kDamagedArchive, {e.name},
                  "Damaged archive: entry " + e.name + " overlaps the next one");
    }
  }
  return entries;
}

void LocateData(VolumeSource& v, const Entry& e, std::uint32_t* disk, std::uint64_t* offset) {
  if (e.disk >= v.count() || e.localOffset > v.size(e.disk))
    throw Error(Reason::kDamagedArchive, {e.name}, "Damaged archive: bad offset of " + e.name);
  unsigned char h[kLocalHeaderSize];
  v.ReadSpan(e.disk, e.localOffset, h, sizeof h);
  if (Get32(h) != kLocalSignature)
    throw Error(Reason::kDamagedArchive, {e.name},
                "Damaged archive: bad local header of " + e.name);
  *disk = e.disk;
  *offset = e.localOffset;
  std::uint64_t skip = kLocalHeaderSize + Get16(h + 26) + static_cast<std::uint64_t>(Get16(h + 28));
  if (!v.Advance(disk, offset, skip))
    throw Error(Reason::kDamagedArchive, {e.name}, "Damaged archive: truncated entry " + e.name);
  std::uint64_t start = SetOffset(v, *disk) + *offset;
  if (e.compressedSize > SetSize(v) - std::min(SetSize(v), start))
    throw Error(Reason::kDamagedArchive, {e.name},
                "Damaged archive: data of " + e.name + " past the end");
  if (start + e.compressedSize > e.limit)
    throw Error(Reason::kDamagedArchive, {e.name},
                "Damaged archive: entry " + e.name + " overlaps the next one");
}

void ReadEntryData(VolumeSource& v, const Entry& e, const DataSink& sink) {
  if (e.flags & 0x0001)
    throw Error(Reason::kUnsupported, {e.name}, "Encrypted entry not supported: " + e.name);
  if (e.method != kMethodStored && e.method != kMethodDeflated)
    throw Error(Reason::kUnsupported, {e.name}, "Unsupported compression method in " + e.name);
  if (e.method == kMethodStored && e.compressedSize != e.size)
    throw Error(Reason::kDamagedArchive, {e.name},
                "Damaged archive: sizes of " + e.name + " disagree");
  // Deflate cannot expand more than about 1032:1; more means a damaged or hostile entry.
  if (e.method == kMethodDeflated && static_cast<std::uint64_t>(e.size) >
                                         static_cast<std::uint64_t>(e.compressedSize) * 1032 + 1024)
    throw Error(Reason::kDamagedArchive, {e.name},
                "Damaged archive: implausible size of " + e.name);
  std::uint32_t disk;
  std::uint64_t offset;
  LocateData(v, e, &disk, &offset);

  std::vector<unsigned char> in(kChunk);
  std::uint64_t left = e.compressedSize, produced = 0;
  uLong crc = crc32(0L, Z_NULL, 0);
  auto readChunk = [&]() -> size_t {
    size_t take = static_cast<size_t>(std::min<std::uint64_t>(left, kChunk));
    v.ReadSpan(disk, offset, in.data(), take);
    v.Advance(&disk, &offset, take);
    left -= take;
    return take;
  };
  bool streamEnded = true;
  if (e.method == kMethodStored) {
    while (left > 0) {
      size_t take = readChunk();
      crc = crc32(crc, in.data(), static_cast<uInt>(take));
      produced += take;
      sink(in.data(), take);
    }
  } else {
    std::vector<unsigned char> out(kChunk);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw Error("Out of memory inflating " + e.name);
    struct Guard {
      z_stream* z;
      ~Guard() { inflateEnd(z); }
    } guard{&z};
    streamEnded = false;
    while (!streamEnded) {
      if (z.avail_in == 0) {
        if (left == 0) break;  // the data ends before the stream does
        z.avail_in = static_cast<uInt>(readChunk());
        z.next_in = in.data();
      }
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      int rc = inflate(&z, Z_NO_FLUSH);
      size_t got = out.size() - z.avail_out;
      if (rc == Z_STREAM_END)
        streamEnded = true;
      else if (rc == Z_BUF_ERROR && got == 0 && z.avail_in != 0)
        throw Error(Reason::kDamagedEntry, {e.name}, "Damaged data in " + e.name);
      else if (rc != Z_OK && rc != Z_BUF_ERROR)
        throw Error(Reason::kDamagedEntry, {e.name}, "Damaged data in " + e.name);
      produced += got;
      if (produced > e.size)
        throw Error(Reason::kDamagedEntry, {e.name}, "Damaged data in " + e.name + " (too long)");
      crc = crc32(crc, out.data(), static_cast<uInt>(got));
      if (got) sink(out.data(), got);
    }
  }
  if (!streamEnded || produced != e.size)
    throw Error(Reason::kDamagedEntry, {e.name}, "Damaged data in " + e.name + " (wrong size)");
  if (crc != e.crc) throw Error(Reason::kDamagedEntry, {e.name}, "CRC error in " + e.name);
}

}  // namespace zip
