#include "archive/zip/Archive.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <set>
#include <system_error>
#include <unordered_set>

#include "archive/zip/NameCodec.h"
#include "archive/zip/Names.h"
#include "archive/zip/Volumes.h"
#include "archive/zip/ZipError.h"
#include "platform/FileSystem.h"

namespace fs = std::filesystem;

namespace zip {

namespace {

constexpr std::size_t kChunk = 256 * 1024;
// Files up to this size are compressed in memory, so that their header is
// written once, complete.
constexpr std::size_t kSmallFile = 1024 * 1024;

std::string Utf8(const fs::path& p) { return p.u8string(); }

}  // namespace

// Deflate at level 1 into raw deflate data; one stream reused for all entries.
class Deflater {
 public:
  Deflater() {
    if (deflateInit2(&z_, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
      throw ZipError("cannot initialise the compressor");
  }
  ~Deflater() { deflateEnd(&z_); }
  void reset() { deflateReset(&z_); }
  // Compresses in; calls sink for every piece of output. finish ends the stream.
  template <typename Sink>
  void feed(const char* in, std::size_t n, bool finish, Sink&& sink) {
    z_.next_in = (Bytef*)in;
    z_.avail_in = (uInt)n;
    int flush = finish ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
      z_.next_out = (Bytef*)out_;
      z_.avail_out = sizeof out_;
      int rc = deflate(&z_, flush);
      if (rc == Z_STREAM_ERROR) throw ZipError("compression failed");
      std::size_t have = sizeof out_ - z_.avail_out;
      if (have) sink(out_, have);
      if (finish ? rc == Z_STREAM_END : (z_.avail_in == 0 && z_.avail_out != 0)) break;
    }
  }

 private:
  z_stream z_{};
  char out_[kChunk];
};

struct Archive::Tracker {
  Tracker(const ProgressHandler& handler, std::uint64_t total) : handler(handler), total(total) {
    report(0);
  }
  void advance(std::uint64_t n) {
    done += n;
    if (total == 0) return;
    double pct = 100.0 * (double)std::min(done, total) / (double)total;
    if (pct < 100.0 && pct - last >= 1.0) report(pct);
  }
  void finish() { report(100); }
  void report(double pct) {
    last = pct;
    if (handler) handler(pct);
  }
  const ProgressHandler& handler;
  std::uint64_t total;
  std::uint64_t done = 0;
  double last = 0;
};

Archive::Archive() : io_(&FileIo::standard()) {}

Archive::~Archive() {
  try {
    if (open_) close();
  } catch (...) {
    // A destructor cannot report; the temporary set is gone and the old
    // archive is as it was.
  }
}

void Archive::setVolumeSize(std::int64_t n) {
  volumeSize_ = n <= 0 ? 0 : std::max<std::uint64_t>((std::uint64_t)n, 65536);
}

void Archive::open(const std::string& archivePath) {
  if (open_) throw ZipError("an archive is already open");
  dir_ = ArchiveDirectory();
  added_.clear();
  failed_ = false;
  std::error_code ec;
  fs::path p = fs::u8path(archivePath);
  if (archivePath.empty()) throw ZipError("no archive name given");
  if (fs::is_directory(p, ec)) throw ZipError(archivePath + " is a folder");
  existed_ = fs::exists(p, ec);
  if (existed_) {
    if (fs::file_size(p, ec) == 0 && !ec) {
      dir_.volumes.push_back(archivePath);  // an empty file: an archive without entries
    } else {
      dir_ = ReadDirectory(*io_, archivePath);
    }
  } else {
    fs::path parent = p.parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
      throw ZipError("the folder " + Utf8(parent) + " does not exist");
  }
  path_ = archivePath;
  open_ = true;
}

void Archive::dropSession() {
  if (writer_) writer_->discard();
  writer_.reset();
  added_.clear();
}

void Archive::abandon() {
  dropSession();
  open_ = false;
  failed_ = false;
  dir_ = ArchiveDirectory();
}

void Archive::startWriting() {
  if (!writer_) writer_ = std::make_unique<VolumeWriter>(*io_, path_, volumeSize_);
  if (!deflater_) deflater_ = std::make_unique<Deflater>();
}

void Archive::checkEntryCount(std::size_t adding) const {
  std::unordered_set<std::string> names;
  for (const auto& e : added_) names.insert(e.name);
  std::size_t kept = 0;
  for (const auto& e : dir_.entries)
    if (!names.count(e.name)) ++kept;
  if (kept + added_.size() + adding > kMaxEntries)
    throw ZipError("the archive " + path_ +
                   " would hold more than 65535 entries, which needs ZIP64 (not supported)");
}

void Archive::writeEntry(EntryRecord e, const std::string& sourcePath, const void* data,
                         std::size_t size, Tracker& tracker) {
  std::string localExtra;
  if (IsPlainAscii(e.name)) {
    e.rawName = e.name;
  } else {
    e.rawName = OemFromUtf8(e.name);
    localExtra = BuildUnicodePathField(e.rawName, e.name);
  }
  e.extra = localExtra;
  if (e.rawName.size() > 0xFFFF) throw ZipError("name too long: " + e.name);
  const std::string where = sourcePath.empty() ? e.name : sourcePath;

  std::unique_ptr<InputFile> in;
  const char* mem = (const char*)data;
  std::size_t memLeft = size;
  if (!e.isDirectory() && mem == nullptr) in = io_->openRead(sourcePath);
  auto next = [&](char* buf, std::size_t n) -> std::size_t {
    if (in) return in->read(buf, n);
    std::size_t k = std::min(n, memLeft);
    std::copy(mem, mem + k, buf);
    mem += k;
    memLeft -= k;
    return k;
  };
  auto checkLimits = [&]() {
    if (e.size > kMax32 || e.compressedSize > kMax32)
      throw ZipError(where + " is larger than 4 GiB - 1 bytes, which needs ZIP64 (not supported)");
  };

  if (e.isDirectory()) {
    e.method = kMethodStored;
    e.versionNeeded = 10;
    writer_->writeRecord(BuildLocalHeader(e, localExtra), &e.disk, &e.offset);
  } else {
    std::uint64_t expected = in ? in->size() : size;
    if (expected > kMax32)
      throw ZipError(where + " is larger than 4 GiB - 1 bytes, which needs ZIP64 (not supported)");
    e.method = kMethodDeflate;
    deflater_->reset();
    std::uint32_t crc = (std::uint32_t)crc32(0L, Z_NULL, 0);
    std::vector<char> buf(kChunk);
    if (expected <= kSmallFile) {
      std::string raw, packed;
      for (;;) {
        std::size_t got = next(buf.data(), buf.size());
        if (got == 0) break;
        raw.append(buf.data(), got);
        if (raw.size() > kSmallFile) break;
      }
      if (raw.size() <= kSmallFile) {
        crc = (std::uint32_t)crc32(crc, (const Bytef*)raw.data(), (uInt)raw.size());
        deflater_->feed(raw.data(), raw.size(), true,
                        [&](const char* d, std::size_t n) { packed.append(d, n); });
        e.crc = crc;
        e.size = raw.size();
        e.compressedSize = packed.size();
        writer_->writeRecord(BuildLocalHeader(e, localExtra), &e.disk, &e.offset);
        writer_->writeData(packed.data(), packed.size());
        tracker.advance(raw.size());
        if (!writer_->disk() && writer_->offset() > kMax32 && volumeSize_ == 0)
          throw ZipError("the archive " + path_ + " would grow past 4 GiB - 1 bytes (ZIP64 not supported)");
        added_.push_back(std::move(e));
        return;
      }
      // It grew while we read it: go on as a large file from what we have.
      deflater_->reset();
      writer_->writeRecord(BuildLocalHeader(e, localExtra), &e.disk, &e.offset);
      crc = (std::uint32_t)crc32(crc, (const Bytef*)raw.data(), (uInt)raw.size());
      e.size = raw.size();
      deflater_->feed(raw.data(), raw.size(), false, [&](const char* d, std::size_t n) {
        e.compressedSize += n;
        writer_->writeData(d, n);
      });
      tracker.advance(raw.size());
    } else {
      writer_->writeRecord(BuildLocalHeader(e, localExtra), &e.disk, &e.offset);
    }
    for (;;) {
      std::size_t got = next(buf.data(), buf.size());
      crc = (std::uint32_t)crc32(crc, (const Bytef*)buf.data(), (uInt)got);
      e.size += got;
      deflater_->feed(buf.data(), got, got == 0, [&](const char* d, std::size_t n) {
        e.compressedSize += n;
        writer_->writeData(d, n);
      });
      checkLimits();
      tracker.advance(got);
      if (got == 0) break;
    }
    e.crc = crc;
    std::string sizes;
    Put32(sizes, e.crc);
    Put32(sizes, (std::uint32_t)e.compressedSize);
    Put32(sizes, (std::uint32_t)e.size);
    writer_->patch(e.disk, e.offset + 14, sizes);
  }
  if (volumeSize_ == 0 && writer_->offset() > kMax32)
    throw ZipError("the archive " + path_ + " would grow past 4 GiB - 1 bytes (ZIP64 not supported)");
  added_.push_back(std::move(e));
}

void Archive::addFiles(const std::string& baseFolder, const std::vector<std::string>& masks) {
  if (!open_) throw ZipError("no archive open");
  std::error_code ec;
  fs::path base = fs::u8path(baseFolder);
  if (!fs::is_directory(base, ec)) throw ZipError("the folder " + baseFolder + " does not exist");
  base = fs::weakly_canonical(base, ec);
  fs::path archiveDir = fs::weakly_canonical(fs::absolute(fs::u8path(path_)).parent_path(), ec);

  struct Item {
    std::string name, path;
    bool dir;
    std::uint64_t size;
  };
  std::vector<Item> items;
  std::vector<std::pair<fs::path, std::string>> pending{{base, std::string()}};
  while (!pending.empty()) {
    auto [dir, prefix] = pending.back();
    pending.pop_back();
    std::vector<Item> here;
    std::vector<std::pair<fs::path, std::string>> subdirs;
    fs::directory_iterator it(dir, ec), end;
    if (ec) throw ZipError("cannot read the folder " + Utf8(dir) + ": " + ec.message());
    bool ownFolder = fs::equivalent(dir, archiveDir, ec);
    for (; it != end; it.increment(ec)) {
      if (ec) throw ZipError("cannot read the folder " + Utf8(dir) + ": " + ec.message());
      fs::file_status st = it->symlink_status(ec);
      if (ec) throw ZipError("cannot examine " + Utf8(it->path()) + ": " + ec.message());
      std::string name = Utf8(it->path().filename());
      if (fs::is_symlink(st)) continue;
      if (fs::is_directory(st)) {
        if (MatchesAnyMask(name, masks)) here.push_back({prefix + name + "/", Utf8(it->path()), true, 0});
        subdirs.push_back({it->path(), prefix + name + "/"});
      } else if (fs::is_regular_file(st)) {
        if (ownFolder && IsArchiveVolumeName(path_, name)) continue;
        if (!MatchesAnyMask(name, masks)) continue;
        std::uint64_t size = it->file_size(ec);
        if (ec) throw ZipError("cannot examine " + Utf8(it->path()) + ": " + ec.message());
        here.push_back({prefix + name, Utf8(it->path()), false, size});
      }
    }
    std::sort(here.begin(), here.end(), [](const Item& a, const Item& b) { return a.name < b.name; });
    items.insert(items.end(), here.begin(), here.end());
    std::sort(subdirs.begin(), subdirs.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    for (auto& s : subdirs) pending.push_back(s);
  }

  checkEntryCount(items.size());
  std::uint64_t total = 0;
  for (const auto& i : items) total += i.size;
  try {
    startWriting();
    Tracker tracker(progress_, total);
    for (const auto& item : items) {
      EntryRecord e;
      e.name = item.name;
      unsigned attrs = item.dir ? platform::kAttrDirectory : platform::kAttrArchive;
      platform::GetDosAttributes(item.path, &attrs);
      e.externalAttributes = attrs & 0xFF;
      std::int64_t mtime = 0;
      if (!platform::GetModificationTime(item.path, &mtime)) {
        if (!item.dir) throw ZipError("cannot open " + item.path + ": file not found");
        mtime = (std::int64_t)std::time(nullptr);
      }
      ToDosDateTime((std::time_t)mtime, &e.dosDate, &e.dosTime);
      writeEntry(std::move(e), item.dir ? std::string() : item.path, nullptr, 0, tracker);
    }
    tracker.finish();
  } catch (...) {
    failed_ = true;
    throw;
  }
}

void Archive::addBuffer(const std::string& name, const void* data, std::size_t size) {
  if (!open_) throw ZipError("no archive open");
  std::string rel;
  if (!SafeRelativeName(name, &rel)) throw ZipError("invalid entry name \"" + name + "\"");
  checkEntryCount(1);
  try {
    startWriting();
    Tracker tracker(progress_, size);
    EntryRecord e;
    e.name = rel;
    e.externalAttributes = platform::kAttrArchive;
    ToDosDateTime(std::time(nullptr), &e.dosDate, &e.dosTime);
    static const char kNothing = 0;
    writeEntry(std::move(e), std::string(), data ? data : &kNothing, size, tracker);
    tracker.finish();
  } catch (...) {
    failed_ = true;
    throw;
  }
}

void Archive::close() {
  if (!open_) return;
  if (failed_) {
    abandon();
    throw ZipError("an earlier write failed; " + path_ + " was left as it was");
  }
  if (!writer_ && existed_) {
    abandon();
    return;
  }
  try {
    startWriting();
    // Later additions of a name win over earlier ones and over old entries.
    std::vector<EntryRecord> finalEntries;
    std::unordered_set<std::string> seen;
    for (auto it = added_.rbegin(); it != added_.rend(); ++it)
      if (seen.insert(it->name).second) finalEntries.push_back(*it);
    std::reverse(finalEntries.begin(), finalEntries.end());
    std::vector<const EntryRecord*> kept;
    std::uint64_t keptBytes = 0;
    for (const auto& e : dir_.entries)
      if (!seen.count(e.name)) {
        kept.push_back(&e);
        keptBytes += e.compressedSize;
      }
    if (kept.size() + finalEntries.size() > kMaxEntries)
      throw ZipError("the archive " + path_ + " would hold more than 65535 entries (ZIP64 not supported)");
    if (!kept.empty()) {
      Tracker tracker(progress_, keptBytes);
      VolumeReader reader(*io_, dir_.volumes);
      std::vector<char> buf(kChunk);
      for (const EntryRecord* old : kept) {
        EntryRecord e = *old;
        reader.seek(e.disk, e.offset);
        unsigned char lh[kLocalHeaderSize];
        reader.readExact(lh, sizeof lh);
        if (Get32(lh) != kLocalSignature)
          throw ZipError("damaged archive " + path_ + ": no local header for \"" + e.name + "\"");
        std::string skip(Get16(lh + 26) + (std::size_t)Get16(lh + 28), '\0');
        reader.readExact(&skip[0], skip.size());
        // Only the Unicode path field goes into the new local header.
        std::string localExtra;
        for (std::size_t x = 0; x + 4 <= e.extra.size();) {
          const unsigned char* q = (const unsigned char*)e.extra.data() + x;
          std::size_t len = Get16(q + 2);
          if (x + 4 + len > e.extra.size()) break;
          if (Get16(q) == kUnicodePathTag) localExtra = e.extra.substr(x, 4 + len);
          x += 4 + len;
        }
        e.flags &= ~kFlagDataDescriptor;
        writer_->writeRecord(BuildLocalHeader(e, localExtra), &e.disk, &e.offset);
        std::uint64_t left = e.compressedSize;
        while (left > 0) {
          std::size_t n = (std::size_t)std::min<std::uint64_t>(left, buf.size());
          reader.readExact(buf.data(), n);
          writer_->writeData(buf.data(), n);
          left -= n;
          tracker.advance(n);
        }
        if (volumeSize_ == 0 && writer_->offset() > kMax32)
          throw ZipError("the archive " + path_ + " would grow past 4 GiB - 1 bytes (ZIP64 not supported)");
        finalEntries.push_back(std::move(e));
      }
      tracker.finish();
    }
    std::uint32_t cdDisk = 0;
    std::uint64_t cdOffset = 0, cdSize = 0;
    std::vector<std::uint32_t> recordDisks;
    for (std::size_t i = 0; i < finalEntries.size(); ++i) {
      std::string rec = BuildCentralRecord(finalEntries[i]);
      std::uint32_t d;
      std::uint64_t o;
      writer_->writeRecord(rec, &d, &o);
      if (i == 0) {
        cdDisk = d;
        cdOffset = o;
      }
      recordDisks.push_back(d);
      cdSize += rec.size();
    }
    std::string endRec;
    // Where the end record will land decides "this disk".
    std::uint32_t endDisk = writer_->disk();
    if (volumeSize_ && writer_->offset() + kEndRecordSize > volumeSize_) ++endDisk;
    if (finalEntries.empty()) {
      cdDisk = endDisk;
      cdOffset = endDisk == writer_->disk() ? writer_->offset() : 0;
    }
    std::uint32_t onDisk = (std::uint32_t)std::count(recordDisks.begin(), recordDisks.end(), endDisk);
    if (cdOffset > kMax32 || cdSize > kMax32 || (volumeSize_ == 0 && writer_->offset() > kMax32))
      throw ZipError("the archive " + path_ + " would grow past 4 GiB - 1 bytes (ZIP64 not supported)");
    endRec = BuildEndRecord(endDisk, cdDisk, onDisk, (std::uint32_t)finalEntries.size(), cdSize, cdOffset);
    writer_->writeRecord(endRec, nullptr, nullptr);
    writer_->commit(dir_.volumes);
  } catch (...) {
    abandon();
    throw;
  }
  writer_.reset();
  abandon();
}

const EntryRecord* Archive::findEntry(const std::string& name) const {
  std::string want = name;
  for (auto& c : want) if (c == '\\') c = '/';
  for (const auto& e : dir_.entries)
    if (e.name == want) return &e;
  std::string folded = FoldCase(want);
  for (const auto& e : dir_.entries)
    if (FoldCase(e.name) == folded) return &e;
  return nullptr;
}

void Archive::readEntry(const EntryRecord& e,
                        const std::function<void(const char*, std::size_t)>& sink, Tracker* tracker) {
  if (e.flags & kFlagEncrypted) throw ZipError("the entry \"" + e.name + "\" is encrypted");
  if (e.method != kMethodStored && e.method != kMethodDeflate)
    throw ZipError("the entry \"" + e.name + "\" uses an unsupported compression method " +
                   std::to_string(e.method));
  VolumeReader reader(*io_, dir_.volumes);
  reader.seek(e.disk, e.offset);
  unsigned char lh[kLocalHeaderSize];
  reader.readExact(lh, sizeof lh);
  if (Get32(lh) != kLocalSignature)
    throw ZipError("damaged archive: no local header for \"" + e.name + "\"");
  std::string skip(Get16(lh + 26) + (std::size_t)Get16(lh + 28), '\0');
  reader.readExact(&skip[0], skip.size());

  std::vector<char> in(kChunk), out(kChunk);
  std::uint64_t left = e.compressedSize, produced = 0;
  std::uint32_t crc = (std::uint32_t)crc32(0L, Z_NULL, 0);
  auto emit = [&](const char* d, std::size_t n) {
    produced += n;
    if (produced > e.size) throw ZipError("damaged data in \"" + e.name + "\" (too long)");
    crc = (std::uint32_t)crc32(crc, (const Bytef*)d, (uInt)n);
    if (sink) sink(d, n);
    if (tracker) tracker->advance(n);
  };
  if (e.method == kMethodStored) {
    if (e.compressedSize != e.size) throw ZipError("damaged entry \"" + e.name + "\" (sizes differ)");
    while (left > 0) {
      std::size_t n = (std::size_t)std::min<std::uint64_t>(left, in.size());
      reader.readExact(in.data(), n);
      emit(in.data(), n);
      left -= n;
    }
  } else {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw ZipError("cannot initialise the decompressor");
    struct End {
      z_stream* z;
      ~End() { inflateEnd(z); }
    } endGuard{&z};
    bool ended = false;
    while (!ended) {
      if (z.avail_in == 0) {
        if (left == 0) throw ZipError("damaged data in \"" + e.name + "\" (truncated)");
        std::size_t n = (std::size_t)std::min<std::uint64_t>(left, in.size());
        reader.readExact(in.data(), n);
        left -= n;
        z.next_in = (Bytef*)in.data();
        z.avail_in = (uInt)n;
      }
      z.next_out = (Bytef*)out.data();
      z.avail_out = (uInt)out.size();
      int rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        throw ZipError("damaged data in \"" + e.name + "\"");
      emit(out.data(), out.size() - z.avail_out);
      if (rc == Z_STREAM_END) ended = true;
      else if (rc == Z_BUF_ERROR && z.avail_in != 0) throw ZipError("damaged data in \"" + e.name + "\"");
    }
  }
  if (produced != e.size) throw ZipError("damaged data in \"" + e.name + "\" (size mismatch)");
  if (crc != e.crc) throw ZipError("CRC error in \"" + e.name + "\"");
}

void Archive::extractFiles(const std::string& folder, const std::string& mask) {
  if (!open_) throw ZipError("no archive open");
  struct Job {
    const EntryRecord* entry;
    fs::path target;
  };
  fs::path base = fs::u8path(folder);
  std::vector<Job> jobs;
  std::uint64_t total = 0;
  for (const auto& e : dir_.entries) {
    if (!EntryMatchesMask(e.name, mask)) continue;
    std::string rel;
    if (!SafeRelativeName(e.name, &rel))
      throw ZipError("the entry \"" + e.name + "\" would be written outside " + folder +
                     "; nothing was extracted");
    if (!e.isDirectory() && ((e.flags & kFlagEncrypted) ||
                             (e.method != kMethodStored && e.method != kMethodDeflate)))
      throw ZipError("the entry \"" + e.name + "\" cannot be read (encrypted or unknown method)");
    jobs.push_back({&e, base / fs::u8path(rel)});
    total += e.isDirectory() ? 0 : e.size;
  }
  std::error_code ec;
  fs::create_directories(base, ec);
  if (!fs::is_directory(base, ec)) throw ZipError("cannot create the folder " + folder);
  // Never write through a symbolic link that sits below the folder.
  auto makeFolders = [&](const fs::path& target, bool includeLast) {
    fs::path rel = target.lexically_relative(base);
    fs::path cur = base;
    std::vector<fs::path> parts(rel.begin(), rel.end());
    if (!includeLast && !parts.empty()) parts.pop_back();
    for (const auto& part : parts) {
      cur /= part;
      std::error_code e2;
      fs::file_status st = fs::symlink_status(cur, e2);
      if (fs::is_symlink(st)) throw ZipError("refusing to write through the link " + Utf8(cur));
      if (!fs::exists(st)) {
        fs::create_directory(cur, e2);
        if (e2) throw ZipError("cannot create the folder " + Utf8(cur) + ": " + e2.message());
      } else if (!fs::is_directory(st)) {
        throw ZipError("cannot create the folder " + Utf8(cur) + ": a file is in the way");
      }
    }
  };
  Tracker tracker(progress_, total);
  for (const auto& job : jobs) {
    const EntryRecord& e = *job.entry;
    if (e.isDirectory()) {
      makeFolders(job.target, true);
      continue;
    }
    makeFolders(job.target, false);
    std::string target = Utf8(job.target);
    if (fs::is_symlink(fs::symlink_status(job.target, ec)))
      throw ZipError("refusing to write through the link " + target);
    std::string temp = target + kTempSuffix;
    try {
      auto out = io_->create(temp);
      readEntry(e, [&](const char* d, std::size_t n) { out->write(d, n); }, &tracker);
      out->close();
    } catch (...) {
      fs::remove(fs::u8path(temp), ec);
      throw;
    }
    platform::MakeWritable(target);
    fs::rename(fs::u8path(temp), job.target, ec);
    if (ec) {
      std::string why = ec.message();
      fs::remove(fs::u8path(temp), ec);
      throw ZipError("cannot replace " + target + ": " + why);
    }
    platform::SetModificationTime(target, (std::int64_t)FromDosDateTime(e.dosDate, e.dosTime));
    unsigned attrs = e.dosAttributes();
    if (attrs & (platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem))
      platform::SetDosAttributes(target, attrs);
  }
  tracker.finish();
}

std::string Archive::extractToMemory(const std::string& name) {
  if (!open_) throw ZipError("no archive open");
  const EntryRecord* e = findEntry(name);
  if (!e || e->isDirectory()) throw ZipError("the archive holds no entry \"" + name + "\"");
  std::string out;
  out.reserve((std::size_t)std::min<std::uint64_t>(e->size, 64u << 20));
  Tracker tracker(progress_, e->size);
  readEntry(*e, [&](const char* d, std::size_t n) { out.append(d, n); }, &tracker);
  tracker.finish();
  return out;
}

void Archive::verify() {
  if (!open_) throw ZipError("no archive open");
  std::uint64_t total = 0;
  for (const auto& e : dir_.entries) total += e.size;
  Tracker tracker(progress_, total);
  for (const auto& e : dir_.entries)
    if (!e.isDirectory()) readEntry(e, nullptr, &tracker);
  tracker.finish();
}

}  // namespace zip
