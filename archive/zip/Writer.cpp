#include "archive/zip/Writer.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>

#include "archive/zip/Error.h"
#include "archive/zip/Reader.h"
#include "archive/zip/Text.h"

namespace zip {
namespace {

constexpr size_t kChunk = 1 << 20;

std::string UnicodePathExtra(const std::string& raw, const std::string& utf8) {
  std::string extra(9, '\0');
  unsigned char* p = reinterpret_cast<unsigned char*>(&extra[0]);
  Put16(p, kUnicodePathTag);
  Put16(p + 2, static_cast<std::uint16_t>(5 + utf8.size()));
  p[4] = 1;
  Put32(p + 5, static_cast<std::uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(raw.data()),
                                                static_cast<uInt>(raw.size()))));
  return extra + utf8;
}

class Deflater {
 public:
  Deflater() {
    if (deflateInit2(&z_, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw Error("Out of memory for compression");
  }
  ~Deflater() { deflateEnd(&z_); }
  // Compresses input, handing every output piece to emit.
  template <typename Emit>
  void Run(const unsigned char* data, size_t n, bool last, std::vector<unsigned char>& buffer,
           Emit emit) {
    z_.next_in = const_cast<Bytef*>(data);
    z_.avail_in = static_cast<uInt>(n);
    int rc;
    do {
      z_.next_out = buffer.data();
      z_.avail_out = static_cast<uInt>(buffer.size());
      rc = deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
      if (rc == Z_STREAM_ERROR) throw Error("Compression failed");
      size_t got = buffer.size() - z_.avail_out;
      if (got) emit(buffer.data(), got);
    } while (z_.avail_out == 0 || (last && rc != Z_STREAM_END));
  }

 private:
  z_stream z_{};
};

}  // namespace

std::string NameKey(const std::string& name) {
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

Entry Writer::Prepare(const std::string& name, std::int64_t modified, std::uint32_t dosAttributes) {
  if (byName_.size() >= kMaxEntries && !Has(name))
    throw Error(Reason::kTooManyEntries, {}, "Too many entries for a ZIP archive (at most 65535)");
  Entry e;
  e.name = name;
  e.rawName = Utf8ToOem(name);
  if (e.rawName.size() > 0xFFFF - 9 || name.size() > 0xFFFF - 9 - e.rawName.size())
    throw Error("Name too long: " + name);
  if (!IsAscii(name)) e.extra = UnicodePathExtra(e.rawName, name);
  e.versionMadeBy = 20;  // MS-DOS attributes, APPNOTE 2.0
  e.versionNeeded = 20;
  ToDosTime(modified, &e.dosDate, &e.dosTime);
  e.externalAttributes = dosAttributes & 0xFF;
  return e;
}

void Writer::WriteLocalHeader(Entry* e) {
  size_t size = kLocalHeaderSize + e->rawName.size() + e->extra.size();
  out_->KeepTogether(size);
  if (out_->offset() > kMax32)
    throw Error(Reason::kTooLarge, {}, "Archive too large for ZIP (more than 4 GiB)");
  e->disk = static_cast<std::uint16_t>(out_->disk());
  e->localOffset = static_cast<std::uint32_t>(out_->offset());
  std::vector<unsigned char> h(size);
  unsigned char* p = h.data();
  Put32(p, kLocalSignature);
  Put16(p + 4, e->versionNeeded);
  Put16(p + 6, e->flags);
  Put16(p + 8, e->method);
  Put16(p + 10, e->dosTime);
  Put16(p + 12, e->dosDate);
  bool descriptor = (e->flags & kFlagDescriptor) != 0;
  Put32(p + 14, descriptor ? 0 : e->crc);
  Put32(p + 18, descriptor ? 0 : e->compressedSize);
  Put32(p + 22, descriptor ? 0 : e->size);
  Put16(p + 26, static_cast<std::uint16_t>(e->rawName.size()));
  Put16(p + 28, static_cast<std::uint16_t>(e->extra.size()));
  std::copy(e->rawName.begin(), e->rawName.end(), p + 30);
  std::copy(e->extra.begin(), e->extra.end(), p + 30 + e->rawName.size());
  out_->Write(h.data(), h.size());
}

void Writer::Register(Entry e) {
  Forget(e.name);
  byName_[NameKey(e.name)] = entries_.size();
  entries_.push_back(std::move(e));
  live_.push_back(true);
}

bool Writer::Forget(const std::string& name) {
  auto it = byName_.find(NameKey(name));
  if (it == byName_.end()) return false;
  live_[it->second] = false;
  byName_.erase(it);
  return true;
}

bool Writer::Has(const std::string& name) const { return byName_.count(NameKey(name)) != 0; }

std::vector<Entry> Writer::entries() const {
  std::vector<Entry> out;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (live_[i]) out.push_back(entries_[i]);
  return out;
}

void Writer::AddFolder(const std::string& name, std::int64_t modified,
                       std::uint32_t dosAttributes) {
  Entry e = Prepare(name, modified, dosAttributes | 0x10);
  WriteLocalHeader(&e);
  Register(std::move(e));
}

void Writer::AddBuffer(const std::string& name, const unsigned char* data, size_t n,
                       std::int64_t modified, std::uint32_t dosAttributes, bool mayStore) {
  if (n > kMax32)
    throw Error(Reason::kTooLarge, {name}, "Entry too large for ZIP (more than 4 GiB): " + name);
  Entry e = Prepare(name, modified, dosAttributes);
  e.crc = static_cast<std::uint32_t>(crc32_z(crc32(0L, Z_NULL, 0), data, n));
  e.size = static_cast<std::uint32_t>(n);
  std::vector<unsigned char> packed;
  packed.reserve(n / 2 + 64);
  {
    Deflater d;
    std::vector<unsigned char> piece(64 * 1024);
    d.Run(data, n, true, piece,
          [&](const unsigned char* p, size_t k) { packed.insert(packed.end(), p, p + k); });
  }
  const unsigned char* body = data;
  if (!mayStore || packed.size() < n) {
    e.method = kMethodDeflated;
    e.compressedSize = static_cast<std::uint32_t>(packed.size());
    body = packed.data();
  } else {
    e.method = kMethodStored;
    e.compressedSize = e.size;
  }
  if (e.method == kMethodStored) e.versionNeeded = 10;
  WriteLocalHeader(&e);
  out_->Write(body, e.compressedSize);
  Register(std::move(e));
}

void Writer::AddPacked(const std::string& name, const unsigned char* data, size_t size,
                       std::uint32_t crc, const unsigned char* packed, size_t packedSize,
                       bool stored, std::int64_t modified, std::uint32_t dosAttributes) {
  if (size > kMax32)
    throw Error(Reason::kTooLarge, {name}, "Entry too large for ZIP (more than 4 GiB): " + name);
  Entry e = Prepare(name, modified, dosAttributes);
  e.crc = crc;
  e.size = static_cast<std::uint32_t>(size);
  e.method = stored ? kMethodStored : kMethodDeflated;
  if (stored) e.versionNeeded = 10;
  e.compressedSize = static_cast<std::uint32_t>(stored ? size : packedSize);
  WriteLocalHeader(&e);
  out_->Write(stored ? data : packed, e.compressedSize);
  Register(std::move(e));
}

void Writer::BeginStream(const std::string& name, std::int64_t modified,
                         std::uint32_t dosAttributes, std::uint64_t bound) {
  // The local header is patched afterwards when the data stays in the
  // header's volume; only data that may run on into later volumes gets a
  // data descriptor.
  stream_ = Prepare(name, modified, dosAttributes);
  stream_.method = kMethodDeflated;
  size_t headerSize = kLocalHeaderSize + stream_.rawName.size() + stream_.extra.size();
  out_->KeepTogether(headerSize);
  if (out_->split() && out_->offset() + headerSize + bound > out_->volumeSize())
    stream_.flags = kFlagDescriptor;
  WriteLocalHeader(&stream_);
  streamed_ = 0;
}

void Writer::StreamData(const unsigned char* data, size_t n) {
  streamed_ += n;
  if (streamed_ > kMax32)
    throw Error(Reason::kTooLarge, {stream_.name},
                "Entry too large for ZIP (more than 4 GiB): " + stream_.name);
  out_->Write(data, n);
}

void Writer::EndStream(std::uint32_t crc, std::uint64_t size, const std::string& path) {
  if (size > kMax32)
    throw Error(Reason::kTooLarge, {path}, "File too large for ZIP (more than 4 GiB): " + path);
  Entry e = std::move(stream_);
  e.crc = crc;
  e.size = static_cast<std::uint32_t>(size);
  e.compressedSize = static_cast<std::uint32_t>(streamed_);
  unsigned char fields[kDescriptorSize];
  Put32(fields, kSplitSignature);
  Put32(fields + 4, e.crc);
  Put32(fields + 8, e.compressedSize);
  Put32(fields + 12, e.size);
  if (e.flags & kFlagDescriptor) {
    out_->KeepTogether(kDescriptorSize);
    out_->Write(fields, sizeof fields);
  } else {
    if (out_->disk() != e.disk)
      throw Error(Reason::kFileChanged, {path}, "File grew while archiving: " + path);
    out_->PatchCurrent(e.localOffset + 14, fields + 4, 12);
  }
  Register(std::move(e));
}

void Writer::CopyEntry(VolumeSource& from, const Entry& source,
                       const std::function<void(std::uint64_t)>& onBytes) {
  if (byName_.size() >= kMaxEntries)
    throw Error(Reason::kTooManyEntries, {}, "Too many entries for a ZIP archive (at most 65535)");
  std::uint32_t disk;
  std::uint64_t offset;
  LocateData(from, source, &disk, &offset);
  Entry e = source;
  e.flags = static_cast<std::uint16_t>(e.flags & ~kFlagDescriptor);
  WriteLocalHeader(&e);
  std::vector<unsigned char> buffer(
      static_cast<size_t>(std::min<std::uint64_t>(kChunk, e.compressedSize)));
  std::uint64_t left = e.compressedSize;
  while (left > 0) {
    size_t take = static_cast<size_t>(std::min<std::uint64_t>(left, buffer.size()));
    from.ReadSpan(disk, offset, buffer.data(), take);
    from.Advance(&disk, &offset, take);
    out_->Write(buffer.data(), take);
    left -= take;
    if (onBytes) onBytes(take);
  }
  Register(std::move(e));
}

void Writer::Finish() {
  std::uint32_t firstDisk = 0, lastDisk = 0, entriesOnLast = 0;
  std::uint64_t directoryOffset = 0, directorySize = 0;
  std::vector<std::uint32_t> recordDisks;
  recordDisks.reserve(entries_.size());
  std::vector<unsigned char> record;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!live_[i]) continue;
    const Entry& e = entries_[i];
    size_t size = kCentralHeaderSize + e.rawName.size() + e.extra.size();
    out_->KeepTogether(size);
    if (recordDisks.empty()) {
      firstDisk = out_->disk();
      directoryOffset = out_->offset();
    }
    recordDisks.push_back(out_->disk());
    record.assign(size, 0);
    unsigned char* p = record.data();
    Put32(p, kCentralSignature);
    Put16(p + 4, e.versionMadeBy);
    Put16(p + 6, e.versionNeeded);
    Put16(p + 8, e.flags);
    Put16(p + 10, e.method);
    Put16(p + 12, e.dosTime);
    Put16(p + 14, e.dosDate);
    Put32(p + 16, e.crc);
    Put32(p + 20, e.compressedSize);
    Put32(p + 24, e.size);
    Put16(p + 28, static_cast<std::uint16_t>(e.rawName.size()));
    Put16(p + 30, static_cast<std::uint16_t>(e.extra.size()));
    Put16(p + 32, 0);
    Put16(p + 34, e.disk);
    Put16(p + 36, e.internalAttributes);
    Put32(p + 38, e.externalAttributes);
    Put32(p + 42, e.localOffset);
    std::copy(e.rawName.begin(), e.rawName.end(), p + 46);
    std::copy(e.extra.begin(), e.extra.end(), p + 46 + e.rawName.size());
    out_->Write(record.data(), record.size());
    directorySize += size;
  }
  out_->KeepTogether(kEndRecordSize);
  if (recordDisks.empty()) {
    firstDisk = out_->disk();
    directoryOffset = out_->offset();
  }
  lastDisk = out_->disk();
  for (std::uint32_t d : recordDisks) entriesOnLast += d == lastDisk ? 1 : 0;
  if (directoryOffset > kMax32 || directorySize > kMax32 || out_->offset() > kMax32)
    throw Error(Reason::kTooLarge, {}, "Archive too large for ZIP (more than 4 GiB)");
  unsigned char end[kEndRecordSize];
  Put32(end, kEndSignature);
  Put16(end + 4, static_cast<std::uint16_t>(lastDisk));
  Put16(end + 6, static_cast<std::uint16_t>(firstDisk));
  Put16(end + 8, static_cast<std::uint16_t>(entriesOnLast));
  Put16(end + 10, static_cast<std::uint16_t>(recordDisks.size()));
  Put32(end + 12, static_cast<std::uint32_t>(directorySize));
  Put32(end + 16, static_cast<std::uint32_t>(directoryOffset));
  Put16(end + 20, 0);
  out_->Write(end, sizeof end);
}

}  // namespace zip
