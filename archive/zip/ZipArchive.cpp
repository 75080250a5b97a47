#include "archive/zip/ZipArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <system_error>

#include <sys/stat.h>

#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

#include "archive/zip/Cp850.h"
#include "platform/Platform.h"

namespace zip {
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kDescriptorSignature = 0x08074b50;
constexpr std::uint32_t kSplitSignature = 0x08074b50;
constexpr std::uint32_t kSingleSegmentMarker = 0x30304b50;  // "PK00"
constexpr std::uint64_t kMax32 = 0xFFFFFFFFull;
constexpr std::size_t kMaxEntries = 65535;
constexpr std::size_t kChunk = 1024 * 1024;
constexpr std::uint16_t kUnicodePathTag = 0x7075;

std::mutex g_hookMutex;
IoFailureHook g_hook;

bool HookAllows(const char* operation, const std::string& path) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  return !g_hook || g_hook(operation, path);
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno ? errno : EIO);
}

void Put16(std::string* out, std::uint32_t v) {
  out->push_back(static_cast<char>(v & 0xFF));
  out->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
std::uint16_t Get16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Get32(const unsigned char* p) {
  return static_cast<std::uint32_t>(Get16(p)) | (static_cast<std::uint32_t>(Get16(p + 2)) << 16);
}

std::uint32_t Crc(const void* data, std::size_t size, std::uint32_t crc = 0) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const uInt n = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
    crc = static_cast<std::uint32_t>(crc32(crc, p, n));
    p += n;
    size -= n;
  }
  return crc;
}

void DosTime(std::time_t when, std::uint16_t* time, std::uint16_t* date) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  if (local.tm_year < 80) {
    *time = 0;
    *date = (1 << 5) | 1;
    return;
  }
  *time = static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  *date = static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                     local.tm_mday);
}

std::time_t FromDosTime(std::uint16_t time, std::uint16_t date) {
  std::tm local{};
  local.tm_year = ((date >> 9) & 0x7F) + 80;
  local.tm_mon = ((date >> 5) & 0x0F) - 1;
  local.tm_mday = date & 0x1F;
  local.tm_hour = (time >> 11) & 0x1F;
  local.tm_min = (time >> 5) & 0x3F;
  local.tm_sec = (time & 0x1F) * 2;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool WildcardMatch(const char* name, const char* mask) {
  // Iterative '*' and '?' matching, ASCII case ignored.
  const char* star = nullptr;
  const char* retry = nullptr;
  while (*name) {
    if (*mask == '*') {
      star = mask++;
      retry = name;
    } else if (*mask == '?' ||
               std::tolower(static_cast<unsigned char>(*mask)) ==
                   std::tolower(static_cast<unsigned char>(*name))) {
      ++mask;
      ++name;
    } else if (star) {
      mask = star + 1;
      name = ++retry;
    } else {
      return false;
    }
  }
  while (*mask == '*') ++mask;
  return *mask == '\0';
}

// Path of the archive without its extension ("C:\b\x.qbk" -> "C:\b\x").
std::string Stem(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path;
  return path.substr(0, dot);
}

std::string VolumeName(const std::string& path, std::size_t number) {
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".Z%02zu", number);
  return Stem(path) + suffix;
}

// The existing file a volume name stands for, found without regard to case.
std::string FindVolume(const std::string& name) {
  std::error_code ec;
  if (fs::exists(name, ec)) return name;
  fs::path p(name);
  return platform::ResolveBelow(p.parent_path().string(), p.filename().string());
}

class File {
 public:
  File(const std::string& path, const char* mode, const char* operation) : path_(path) {
    if (!HookAllows(operation, path)) {
      errno = std::strcmp(operation, "write") == 0 ? ENOSPC : ENOENT;
    } else {
      file_ = std::fopen(path.c_str(), mode);
    }
    if (!file_) throw ZipError(SystemError("cannot open", path));
  }
  ~File() {
    if (file_) std::fclose(file_);
  }
  void Write(const void* data, std::size_t size) {
    if (size == 0) return;
    if (!HookAllows("write", path_)) {
      errno = ENOSPC;
      throw ZipError(SystemError("cannot write", path_));
    }
    if (std::fwrite(data, 1, size, file_) != size) throw ZipError(SystemError("cannot write", path_));
  }
  std::size_t Read(void* data, std::size_t size) {
    if (!HookAllows("read", path_)) {
      errno = EIO;
      throw ZipError(SystemError("cannot read", path_));
    }
    const std::size_t n = std::fread(data, 1, size, file_);
    if (n < size && std::ferror(file_)) throw ZipError(SystemError("cannot read", path_));
    return n;
  }
  void Seek(std::uint64_t offset) {
#ifdef _WIN32
    const int r = _fseeki64(file_, static_cast<long long>(offset), SEEK_SET);
#else
    const int r = fseeko(file_, static_cast<off_t>(offset), SEEK_SET);
#endif
    if (r != 0) throw ZipError(SystemError("cannot seek in", path_));
  }
  void Close() {
    if (!file_) return;
    const int r = std::fclose(file_);
    file_ = nullptr;
    if (r != 0) throw ZipError(SystemError("cannot write", path_));
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
};

std::uint64_t FileSize(const std::string& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) throw ZipError("cannot read " + path + ": " + ec.message());
  return size;
}

bool IsUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0)) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += 1 + extra;
  }
  return true;
}

}  // namespace

void SetIoFailureHook(IoFailureHook hook) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  g_hook = std::move(hook);
}

// ---- reading the volumes of an existing archive -----------------------------

class VolumeReader {
 public:
  VolumeReader(std::vector<std::string> paths) : paths_(std::move(paths)) {
    for (const std::string& p : paths_) {
      std::error_code ec;
      if (!fs::is_regular_file(p, ec)) throw ZipError("missing volume " + p);
      sizes_.push_back(FileSize(p));
    }
  }
  std::uint64_t Size(std::size_t disk) const { return sizes_.at(disk); }
  std::size_t count() const { return paths_.size(); }

  void Seek(std::size_t disk, std::uint64_t offset) {
    if (disk >= paths_.size()) throw ZipError("entry refers to a missing volume");
    if (offset > sizes_[disk]) throw ZipError("offset past the end of " + paths_[disk]);
    Use(disk);
    file_->Seek(offset);
    position_ = offset;
  }
  // Reads exactly size bytes, going on into the next volumes.
  void Read(void* data, std::size_t size) {
    unsigned char* out = static_cast<unsigned char*>(data);
    while (size > 0) {
      if (!file_) throw ZipError("archive read before positioning");
      const std::uint64_t left = sizes_[disk_] - position_;
      if (left == 0) {
        if (disk_ + 1 >= paths_.size()) throw ZipError("unexpected end of archive " + paths_.back());
        Use(disk_ + 1);
        position_ = 0;
        continue;
      }
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, size));
      if (file_->Read(out, n) != n) throw ZipError("unexpected end of " + paths_[disk_]);
      out += n;
      size -= n;
      position_ += n;
    }
  }

 private:
  void Use(std::size_t disk) {
    if (!file_ || disk != disk_) {
      file_ = std::make_unique<File>(paths_[disk], "rb", "read");
      disk_ = disk;
    }
  }
  std::vector<std::string> paths_;
  std::vector<std::uint64_t> sizes_;
  std::unique_ptr<File> file_;
  std::size_t disk_ = 0;
  std::uint64_t position_ = 0;
};

// ---- writing a new set of volumes under temporary names ------------------------

class Archive::Writer {
 public:
  Writer(std::string tempPrefix, std::int64_t volumeSize)
      : prefix_(std::move(tempPrefix)), volumeSize_(static_cast<std::uint64_t>(volumeSize)) {
    NextVolume();
    if (volumeSize_ > 0) {
      std::string signature;
      Put32(&signature, kSplitSignature);
      Write(signature.data(), signature.size());
    }
  }
  ~Writer() { Discard(); }

  bool split() const { return volumeSize_ > 0; }
  std::uint16_t disk() const { return static_cast<std::uint16_t>(paths_.size() - 1); }
  std::uint64_t offset() const { return used_; }

  // Starts the next volume when the current one cannot take size more bytes:
  // headers and records never cross a volume boundary.
  void Reserve(std::size_t size) {
    if (split() && used_ + size > volumeSize_ && used_ > 0) NextVolume();
  }
  void Write(const void* data, std::size_t size) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
      std::size_t n = size;
      if (split()) {
        if (used_ == volumeSize_) NextVolume();
        n = static_cast<std::size_t>(std::min<std::uint64_t>(size, volumeSize_ - used_));
      } else if (used_ + size > kMax32) {
        throw ZipError("archive larger than 4 GiB, which needs ZIP64: " + path_);
      }
      file_->Write(p, n);
      used_ += n;
      p += n;
      size -= n;
    }
  }
  // Overwrites bytes already written at a disk-relative offset (the sizes
  // and CRC of a local header, once its data has been written).
  void Patch(std::uint16_t disk, std::uint64_t offset, const std::string& bytes) {
    if (disk == this->disk()) {
      file_->Seek(offset);
      file_->Write(bytes.data(), bytes.size());
      file_->Seek(used_);
      return;
    }
    File earlier(paths_.at(disk), "r+b", "write");
    earlier.Seek(offset);
    earlier.Write(bytes.data(), bytes.size());
    earlier.Close();
  }

  // Closes the last volume; the temporary paths in volume order.
  std::vector<std::string> Finish() {
    if (split() && paths_.size() == 1) {
      // One segment only: the split mark becomes the single-segment mark.
      file_->Seek(0);
      std::string marker;
      Put32(&marker, kSingleSegmentMarker);
      file_->Write(marker.data(), marker.size());
    }
    file_->Close();
    file_.reset();
    finished_ = true;
    return paths_;
  }
  void Discard() {
    file_.reset();
    if (finished_) return;
    for (const std::string& p : paths_) std::remove(p.c_str());
    paths_.clear();
    finished_ = true;
  }
  void Release() { finished_ = true; }

 private:
  void NextVolume() {
    if (paths_.size() >= 65535) throw ZipError("too many volumes for a ZIP archive");
    if (file_) file_->Close();
    path_ = prefix_ + std::to_string(paths_.size() + 1);
    file_ = std::make_unique<File>(path_, "wb", "write");
    paths_.push_back(path_);
    used_ = 0;
  }

  std::string prefix_;
  std::uint64_t volumeSize_;
  std::vector<std::string> paths_;
  std::string path_;
  std::unique_ptr<File> file_;
  std::uint64_t used_ = 0;
  bool finished_ = false;
};

// Where the data of a new entry comes from: a file or a memory buffer.
struct Archive::Source {
  std::string path;                  // file source
  std::vector<unsigned char> buffer; // memory source, or the prepared data
  bool fromFile = false;
  bool prepared = false;             // buffer holds the entry's final data
  std::uint16_t method = 8;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
};

namespace {

// A whole (small) file read and compressed ahead of the writer, on another
// core; stored as it is when deflate does not shrink it.
struct Prepared {
  std::vector<unsigned char> data;
  std::uint16_t method = 8;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;
};

Prepared CompressWhole(const std::string& path, std::uint64_t expected) {
  Prepared out;
  std::vector<unsigned char> raw(static_cast<std::size_t>(expected) + 1);
  {
    File file(path, "rb", "read");
    const std::size_t n = file.Read(raw.data(), raw.size());
    if (n != expected) throw ZipError(path + " changed while it was added");
    raw.resize(n);
  }
  out.size = raw.size();
  out.crc = Crc(raw.data(), raw.size());
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw ZipError("deflate cannot start");
  out.data.resize(deflateBound(&z, static_cast<uLong>(raw.size())));
  z.next_in = raw.data();
  z.avail_in = static_cast<uInt>(raw.size());
  z.next_out = out.data.data();
  z.avail_out = static_cast<uInt>(out.data.size());
  const int r = deflate(&z, Z_FINISH);
  const std::size_t produced = out.data.size() - z.avail_out;
  deflateEnd(&z);
  if (r != Z_STREAM_END) throw ZipError("deflate failed for " + path);
  if (produced >= raw.size()) {
    out.method = 0;
    out.data = std::move(raw);
  } else {
    out.data.resize(produced);
  }
  return out;
}

}  // namespace

// ---- the archive ----------------------------------------------------------------

Archive::Archive() = default;
Archive::~Archive() { Abandon(); }

void Archive::SetVolumeSize(std::int64_t size) {
  volumeSize_ = size <= 0 ? 0 : std::max<std::int64_t>(size, 65536);
}

bool Archive::MatchesMask(const std::string& name, const std::string& mask) {
  if (mask == "*.*" || mask == "*" || mask.empty()) return true;
  return WildcardMatch(name.c_str(), mask.c_str());
}

bool Archive::IsSafeName(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return false;
  std::string n = name;
  std::replace(n.begin(), n.end(), '\\', '/');
  if (n[0] == '/' || n.find(':') != std::string::npos) return false;
  std::size_t start = 0;
  while (start <= n.size()) {
    std::size_t end = n.find('/', start);
    if (end == std::string::npos) end = n.size();
    if (n.compare(start, end - start, "..") == 0 && end - start == 2) return false;
    start = end + 1;
  }
  return true;
}

void Archive::Report(double done, double total, bool force) {
  if (!progress_) return;
  const double percent = total <= 0 ? 100.0 : std::min(100.0, 100.0 * done / total);
  if (force || lastReported_ < 0 || percent >= lastReported_ + 1.0 ||
      (percent >= 100.0 && lastReported_ < 100.0)) {
    lastReported_ = percent;
    progress_(percent);
  }
}

std::vector<std::string> Archive::VolumePaths(std::size_t count, bool temporary) const {
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < count; ++i)
    paths.push_back(temporary ? path_ + ".qtmp" + std::to_string(i) : FindVolume(VolumeName(path_, i)));
  paths.push_back(temporary ? path_ + ".qtmp" + std::to_string(count) : path_);
  return paths;
}

std::unique_ptr<VolumeReader> Archive::OpenReader() const {
  return std::make_unique<VolumeReader>(VolumePaths(diskCount_, false));
}

void Archive::Open(const std::string& path) {
  if (open_) throw ZipError("an archive is already open");
  path_ = path;
  entries_.clear();
  oldEntries_.clear();
  std::error_code ec;
  existed_ = fs::exists(path, ec);
  if (existed_) {
    if (!fs::is_regular_file(path, ec)) throw ZipError(path + " is not a file");
    ReadDirectory();
  } else {
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec))
      throw ZipError("folder " + parent.string() + " does not exist");
    diskCount_ = 0;
  }
  oldEntries_ = entries_;
  open_ = true;
}

void Archive::ReadDirectory() {
  const std::uint64_t size = FileSize(path_);
  if (size < 22) throw ZipError(path_ + " is not a ZIP archive");
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, 65535 + 22));
  std::vector<unsigned char> end(tail);
  {
    File file(path_, "rb", "read");
    file.Seek(size - tail);
    if (file.Read(end.data(), tail) != tail) throw ZipError("cannot read " + path_);
  }
  std::size_t at = std::string::npos;
  for (std::size_t i = tail - 22 + 1; i-- > 0;) {
    if (Get32(&end[i]) == kEndSignature && i + 22 + Get16(&end[i + 20]) <= tail) {
      at = i;
      break;
    }
  }
  if (at == std::string::npos) throw ZipError(path_ + " is not a ZIP archive (no end record)");
  const unsigned char* e = &end[at];
  const std::uint16_t thisDisk = Get16(e + 4);
  const std::uint16_t cdDisk = Get16(e + 6);
  const std::uint16_t total = Get16(e + 10);
  const std::uint32_t cdSize = Get32(e + 12);
  const std::uint32_t cdOffset = Get32(e + 16);
  if (thisDisk == 0xFFFF || total == 0xFFFF || cdOffset == 0xFFFFFFFF)
    throw ZipError(path_ + " needs ZIP64, which is not supported");
  if (cdDisk > thisDisk) throw ZipError(path_ + " has a damaged end record");
  diskCount_ = static_cast<std::uint16_t>(thisDisk + 1);
  std::unique_ptr<VolumeReader> reader = OpenReader();
  std::uint64_t available = reader->Size(cdDisk) - std::min<std::uint64_t>(cdOffset, reader->Size(cdDisk));
  for (std::size_t d = cdDisk + 1; d < reader->count(); ++d) available += reader->Size(d);
  if (cdOffset > reader->Size(cdDisk) || cdSize > available)
    throw ZipError(path_ + " has a damaged central directory");
  std::vector<unsigned char> cd(cdSize);
  reader->Seek(cdDisk, cdOffset);
  reader->Read(cd.data(), cd.size());
  std::size_t p = 0;
  for (std::uint32_t i = 0; i < total; ++i) {
    if (p + 46 > cd.size() || Get32(&cd[p]) != kCentralSignature)
      throw ZipError(path_ + " has a damaged central directory");
    const unsigned char* r = &cd[p];
    Entry entry;
    entry.versionNeeded = Get16(r + 6);
    entry.flags = Get16(r + 8);
    entry.method = Get16(r + 10);
    entry.dosTime = Get16(r + 12);
    entry.dosDate = Get16(r + 14);
    entry.crc = Get32(r + 16);
    entry.compressedSize = Get32(r + 20);
    entry.size = Get32(r + 24);
    const std::uint16_t nameLength = Get16(r + 28);
    const std::uint16_t extraLength = Get16(r + 30);
    const std::uint16_t commentLength = Get16(r + 32);
    entry.disk = Get16(r + 34);
    entry.externalAttributes = Get32(r + 38);
    entry.localOffset = Get32(r + 42);
    if (p + 46 + nameLength + extraLength + commentLength > cd.size())
      throw ZipError(path_ + " has a damaged central directory");
    entry.storedName.assign(reinterpret_cast<const char*>(r + 46), nameLength);
    entry.centralExtra.assign(reinterpret_cast<const char*>(r + 46 + nameLength), extraLength);
    if (entry.disk >= diskCount_) throw ZipError(path_ + ": an entry lies on a missing volume");
    // The name: a Unicode path field whose CRC fits, the UTF-8 flag, else OEM.
    std::string name;
    for (std::size_t x = 0; x + 4 <= entry.centralExtra.size();) {
      const unsigned char* f = reinterpret_cast<const unsigned char*>(entry.centralExtra.data()) + x;
      const std::uint16_t tag = Get16(f);
      const std::uint16_t length = Get16(f + 2);
      if (x + 4 + length > entry.centralExtra.size()) break;
      if (tag == kUnicodePathTag && length >= 5 && f[4] == 1 &&
          Get32(f + 5) == Crc(entry.storedName.data(), entry.storedName.size()))
        name.assign(reinterpret_cast<const char*>(f + 9), length - 5);
      x += 4 + length;
    }
    if (name.empty()) {
      // OEM names come from DOS and Windows hosts; others write their own
      // (UTF-8) names, as Info-ZIP on Unix does.
      const unsigned host = r[5];
      const bool oemHost = host == 0 || host == 11 || host == 14;
      const bool utf8 = (entry.flags & 0x800) || (!oemHost && IsUtf8(entry.storedName));
      name = utf8 ? entry.storedName : Cp850ToUtf8(entry.storedName);
    }
    std::replace(name.begin(), name.end(), '\\', '/');
    entry.name = name;
    entries_.push_back(entry);
    p += 46 + nameLength + extraLength + commentLength;
  }
}

void Archive::StartWriting() {
  if (!writer_) writer_ = std::make_unique<Writer>(path_ + ".qtmp", volumeSize_);
}

void Archive::WriteEntry(Entry entry, Source& source) {
  if (entries_.size() >= kMaxEntries) throw ZipError("more than 65535 entries need ZIP64");
  bool exact = true;
  entry.storedName = Utf8ToCp850(entry.name, &exact);
  entry.localExtra.clear();
  if (!IsAscii(entry.name)) {
    std::string field;
    Put16(&field, kUnicodePathTag);
    Put16(&field, static_cast<std::uint32_t>(5 + entry.name.size()));
    field.push_back(1);
    Put32(&field, Crc(entry.storedName.data(), entry.storedName.size()));
    field += entry.name;
    entry.localExtra = field;
  }
  entry.centralExtra = entry.localExtra;
  std::uint64_t size = source.prepared ? source.size
                      : source.fromFile ? FileSize(source.path) : source.buffer.size();
  if (size > kMax32) throw ZipError(source.path + " is larger than 4 GiB, which needs ZIP64");
  const bool empty = size == 0;
  entry.method = empty ? 0 : 8;
  entry.flags = 0;
  entry.versionNeeded = 20;
  entry.crc = 0;
  entry.compressedSize = 0;
  entry.size = 0;
  if (source.prepared && !empty) {
    entry.method = source.method;
    entry.crc = source.crc;
    entry.size = static_cast<std::uint32_t>(source.size);
    entry.compressedSize = static_cast<std::uint32_t>(source.buffer.size());
  }

  StartWriting();
  std::string header;
  Put32(&header, kLocalSignature);
  Put16(&header, entry.versionNeeded);
  Put16(&header, entry.flags);
  Put16(&header, entry.method);
  Put16(&header, entry.dosTime);
  Put16(&header, entry.dosDate);
  Put32(&header, entry.crc);
  Put32(&header, entry.compressedSize);
  Put32(&header, entry.size);
  Put16(&header, static_cast<std::uint32_t>(entry.storedName.size()));
  Put16(&header, static_cast<std::uint32_t>(entry.localExtra.size()));
  header += entry.storedName;
  header += entry.localExtra;
  writer_->Reserve(header.size());
  if (writer_->offset() > kMax32) throw ZipError("archive offsets past 4 GiB need ZIP64");
  entry.disk = writer_->disk();
  entry.localOffset = static_cast<std::uint32_t>(writer_->offset());
  writer_->Write(header.data(), header.size());

  if (source.prepared && !empty) {
    writer_->Write(source.buffer.data(), source.buffer.size());
    progressDone_ += size;
    Report(static_cast<double>(progressDone_), static_cast<double>(progressTotal_));
  } else if (!empty) {
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK)
      throw ZipError("deflate cannot start");
    struct Ender {
      z_stream* z;
      ~Ender() { deflateEnd(z); }
    } ender{&z};
    std::vector<unsigned char> in(kChunk), out(kChunk + 1024);
    std::unique_ptr<File> file;
    if (source.fromFile) file = std::make_unique<File>(source.path, "rb", "read");
    std::uint64_t read = 0;
    std::uint64_t written = 0;
    std::uint32_t crc = 0;
    bool finished = false;
    while (!finished) {
      std::size_t n = 0;
      const unsigned char* chunk = nullptr;
      if (source.fromFile) {
        n = file->Read(in.data(), in.size());
        chunk = in.data();
      } else {
        n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - read));
        chunk = source.buffer.data() + read;
      }
      read += n;
      if (read > kMax32) throw ZipError(source.path + " grew past 4 GiB while it was added");
      crc = Crc(chunk, n, crc);
      const bool last = source.fromFile ? n < in.size() : read >= size;
      z.next_in = const_cast<Bytef*>(chunk);
      z.avail_in = static_cast<uInt>(n);
      do {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int r = deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
        if (r == Z_STREAM_ERROR) throw ZipError("deflate failed");
        const std::size_t produced = out.size() - z.avail_out;
        writer_->Write(out.data(), produced);
        written += produced;
        if (r == Z_STREAM_END) finished = true;
      } while (z.avail_out == 0 || (last && !finished));
      Report(static_cast<double>(progressDone_ + read), static_cast<double>(progressTotal_));
    }
    if (source.fromFile && read != size)
      throw ZipError(source.path + " changed while it was added");
    if (written > kMax32) throw ZipError(source.path + " compresses past 4 GiB, which needs ZIP64");
    entry.crc = crc;
    entry.size = static_cast<std::uint32_t>(read);
    entry.compressedSize = static_cast<std::uint32_t>(written);
    // The local header gets its CRC and sizes now that they are known, so no
    // data descriptor is needed (every reader handles that form).
    std::string sizes;
    Put32(&sizes, entry.crc);
    Put32(&sizes, entry.compressedSize);
    Put32(&sizes, entry.size);
    writer_->Patch(entry.disk, entry.localOffset + 14, sizes);
    progressDone_ += read;
  }
  // A later entry of the same name replaces the earlier one.
  auto same = [&](const Entry& e) { return SameIgnoringCase(e.name, entry.name); };
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), same), entries_.end());
  oldEntries_.erase(std::remove_if(oldEntries_.begin(), oldEntries_.end(), same), oldEntries_.end());
  entries_.push_back(entry);
}

void Archive::AddFiles(const std::string& baseFolder, const std::vector<std::string>& masks) {
  if (!open_) throw ZipError("no archive open");
  std::error_code ec;
  if (!fs::is_directory(baseFolder, ec)) throw ZipError("folder " + baseFolder + " not found");
  // Our own volumes and temporary files, wherever the archive is written.
  const fs::path own = fs::weakly_canonical(path_, ec);
  const std::string ownStem = Lower(Stem(own.filename().string()));
  const std::string ownFolder = own.parent_path().string();
  auto isOwn = [&](const fs::path& file) {
    std::error_code e;
    const fs::path canonical = fs::weakly_canonical(file, e);
    if (canonical == own) return true;
    if (canonical.parent_path().string() != ownFolder) return false;
    const std::string name = canonical.filename().string();
    const std::string lower = Lower(name);
    if (lower.rfind(Lower(own.filename().string()) + ".qtmp", 0) == 0) return true;
    return lower.size() == ownStem.size() + 4 && lower.compare(0, ownStem.size(), ownStem) == 0 &&
           lower[ownStem.size()] == '.' && lower[ownStem.size() + 1] == 'z' &&
           std::isdigit(static_cast<unsigned char>(lower[ownStem.size() + 2])) &&
           std::isdigit(static_cast<unsigned char>(lower[ownStem.size() + 3]));
  };

  struct Item {
    std::string relative;
    fs::path path;
    bool folder;
  };
  std::vector<Item> items;
  const fs::path base(baseFolder);
  fs::recursive_directory_iterator it(base, fs::directory_options::none, ec);
  if (ec) throw ZipError("cannot read folder " + baseFolder + ": " + ec.message());
  for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
    if (ec) throw ZipError("cannot read folder " + it->path().string() + ": " + ec.message());
    const fs::directory_entry& e = *it;
    if (e.is_symlink(ec)) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string relative = fs::relative(e.path(), base, ec).generic_string();
    if (e.is_directory(ec)) {
      items.push_back({relative + "/", e.path(), true});
    } else if (e.is_regular_file(ec)) {
      if (isOwn(e.path())) continue;
      const std::string name = e.path().filename().string();
      bool match = false;
      for (const std::string& mask : masks) match = match || MatchesMask(name, mask);
      if (match) items.push_back({relative, e.path(), false});
    }
  }
  if (ec) throw ZipError("cannot read folder " + baseFolder + ": " + ec.message());
  std::sort(items.begin(), items.end(),
            [](const Item& a, const Item& b) { return a.relative < b.relative; });
  if (entries_.size() + items.size() > kMaxEntries)
    throw ZipError("more than 65535 entries need ZIP64");
  progressTotal_ = 0;
  for (const Item& item : items) {
    if (item.folder) continue;
    const std::uint64_t size = FileSize(item.path.string());
    if (size > kMax32) throw ZipError(item.path.string() + " is larger than 4 GiB, which needs ZIP64");
    progressTotal_ += size;
  }
  progressDone_ = 0;
  lastReported_ = -1;
  Report(0, static_cast<double>(progressTotal_), true);
  // Small files are read and compressed ahead on the other cores while this
  // thread writes; large ones stream through here. At most kAhead + 1 small
  // files are held in memory at once.
  constexpr std::uint64_t kInMemory = 4u << 20;
  constexpr std::size_t kAhead = 2;
  std::vector<std::uint64_t> sizes(items.size(), 0);
  for (std::size_t k = 0; k < items.size(); ++k)
    if (!items[k].folder) sizes[k] = FileSize(items[k].path.string());
  std::vector<std::future<Prepared>> ahead(items.size());
  auto launch = [&](std::size_t k) {
    if (k < items.size() && !items[k].folder && sizes[k] > 0 && sizes[k] <= kInMemory)
      ahead[k] = std::async(std::launch::async, CompressWhole, items[k].path.string(), sizes[k]);
  };
  for (std::size_t k = 0; k < kAhead; ++k) launch(k);
  for (std::size_t index = 0; index < items.size(); ++index) {
    launch(index + kAhead);
    const Item& item = items[index];
    Entry entry;
    entry.name = item.relative;
    std::error_code e;
    const auto status = fs::status(item.path, e);
    if (e) throw ZipError("cannot read " + item.path.string() + ": " + e.message());
    std::uint32_t attributes = item.folder ? 0x10 : 0x20;
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) attributes |= 0x01;
    entry.externalAttributes = attributes;
    struct stat st;
    std::time_t when = std::time(nullptr);
    if (::stat(item.path.string().c_str(), &st) == 0) when = st.st_mtime;
    DosTime(when, &entry.dosTime, &entry.dosDate);
    Source source;
    source.fromFile = !item.folder;
    source.path = item.path.string();
    if (ahead[index].valid()) {
      Prepared prepared = ahead[index].get();
      source.prepared = true;
      source.buffer = std::move(prepared.data);
      source.method = prepared.method;
      source.crc = prepared.crc;
      source.size = prepared.size;
    }
    WriteEntry(entry, source);
  }
  Report(static_cast<double>(progressTotal_), static_cast<double>(progressTotal_));
}

void Archive::AddBuffer(const std::string& name, const unsigned char* data, std::size_t size) {
  if (!open_) throw ZipError("no archive open");
  if (!IsSafeName(name)) throw ZipError("entry name not allowed: " + name);
  Entry entry;
  entry.name = name;
  entry.externalAttributes = 0x20;
  DosTime(std::time(nullptr), &entry.dosTime, &entry.dosDate);
  Source source;
  source.buffer.assign(data, data + size);
  source.path = name;
  progressTotal_ = size;
  progressDone_ = 0;
  lastReported_ = -1;
  Report(0, static_cast<double>(size), true);
  WriteEntry(entry, source);
  Report(static_cast<double>(size), static_cast<double>(size));
}

// Streams the content of an entry to sink, checking its size and CRC.
static void ReadEntryData(VolumeReader& reader, const Entry& entry,
                          const std::function<void(const unsigned char*, std::size_t)>& sink) {
  reader.Seek(entry.disk, entry.localOffset);
  unsigned char header[30];
  reader.Read(header, sizeof header);
  if (Get32(header) != kLocalSignature) throw ZipError("damaged entry " + entry.name);
  std::vector<unsigned char> skip(Get16(header + 26) + Get16(header + 28));
  reader.Read(skip.data(), skip.size());
  if (entry.flags & 0x0001) throw ZipError("encrypted entry " + entry.name + " is not supported");
  std::vector<unsigned char> in(kChunk), out(kChunk);
  std::uint64_t left = entry.compressedSize;
  std::uint64_t produced = 0;
  std::uint32_t crc = 0;
  if (entry.method == 0) {
    if (entry.compressedSize != entry.size) throw ZipError("damaged entry " + entry.name);
    while (left > 0) {
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, in.size()));
      reader.Read(in.data(), n);
      crc = Crc(in.data(), n, crc);
      sink(in.data(), n);
      left -= n;
      produced += n;
    }
  } else if (entry.method == 8) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) throw ZipError("inflate cannot start");
    struct Ender {
      z_stream* z;
      ~Ender() { inflateEnd(z); }
    } ender{&z};
    bool done = false;
    while (!done) {
      if (z.avail_in == 0) {
        if (left == 0) throw ZipError("damaged entry " + entry.name + " (truncated data)");
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, in.size()));
        reader.Read(in.data(), n);
        left -= n;
        z.next_in = in.data();
        z.avail_in = static_cast<uInt>(n);
      }
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      const int r = inflate(&z, Z_NO_FLUSH);
      if (r != Z_OK && r != Z_STREAM_END) throw ZipError("damaged entry " + entry.name + " (bad data)");
      const std::size_t n = out.size() - z.avail_out;
      produced += n;
      if (produced > entry.size) throw ZipError("damaged entry " + entry.name + " (size mismatch)");
      crc = Crc(out.data(), n, crc);
      sink(out.data(), n);
      if (r == Z_STREAM_END) done = true;
    }
  } else {
    throw ZipError("entry " + entry.name + " uses an unsupported compression method");
  }
  if (produced != entry.size) throw ZipError("damaged entry " + entry.name + " (size mismatch)");
  if (crc != entry.crc) throw ZipError("CRC error in " + entry.name);
}

std::vector<unsigned char> Archive::ExtractToMemory(const std::string& name) {
  if (!open_) throw ZipError("no archive open");
  for (const Entry& entry : entries_) {
    if (!SameIgnoringCase(entry.name, name) || entry.isFolder()) continue;
    if (!existed_ || std::find_if(oldEntries_.begin(), oldEntries_.end(), [&](const Entry& e) {
          return e.name == entry.name;
        }) == oldEntries_.end())
      throw ZipError("entry " + name + " is not written yet");
    std::vector<unsigned char> content;
    content.reserve(entry.size);
    std::unique_ptr<VolumeReader> reader = OpenReader();
    lastReported_ = -1;
    Report(0, entry.size, true);
    ReadEntryData(*reader, entry, [&](const unsigned char* p, std::size_t n) {
      content.insert(content.end(), p, p + n);
      Report(static_cast<double>(content.size()), entry.size);
    });
    Report(entry.size, entry.size);
    return content;
  }
  throw ZipError("entry " + name + " not found in " + path_);
}

void Archive::Verify(const std::function<void(const Entry&)>& checked) {
  if (!open_) throw ZipError("no archive open");
  if (oldEntries_.empty()) return;
  std::unique_ptr<VolumeReader> reader = OpenReader();
  for (const Entry& entry : oldEntries_) {
    if (!entry.isFolder()) ReadEntryData(*reader, entry, [](const unsigned char*, std::size_t) {});
    if (checked) checked(entry);
  }
}

void Archive::Extract(const std::string& folder, const std::string& mask) {
  if (!open_) throw ZipError("no archive open");
  std::vector<const Entry*> chosen;
  for (const Entry& entry : oldEntries_) {
    const std::string fileName = fs::path(entry.isFolder() ? entry.name.substr(0, entry.name.size() - 1)
                                                           : entry.name).filename().string();
    if (entry.isFolder() || MatchesMask(fileName, mask)) chosen.push_back(&entry);
  }
  for (const Entry* entry : chosen)
    if (!IsSafeName(entry->name))
      throw ZipError("entry " + entry->name + " would be written outside " + folder);
  std::uint64_t total = 0;
  for (const Entry* entry : chosen) total += entry->size;
  std::uint64_t done = 0;
  lastReported_ = -1;
  Report(0, static_cast<double>(total), true);
  std::unique_ptr<VolumeReader> reader = chosen.empty() ? nullptr : OpenReader();
  const fs::path base(folder);
  std::error_code ec;
  fs::create_directories(base, ec);
  if (!fs::is_directory(base, ec)) throw ZipError("cannot create folder " + folder);
  for (const Entry* entry : chosen) {
    std::string relative = entry->name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const fs::path target = base / fs::path(relative);
    if (entry->isFolder()) {
      fs::create_directories(target, ec);
      if (!fs::is_directory(target, ec)) throw ZipError("cannot create folder " + target.string());
      continue;
    }
    fs::create_directories(target.parent_path(), ec);
    const std::string part = target.string() + ".qtmp-part";
    {
      File out(part, "wb", "write");
      try {
        ReadEntryData(*reader, *entry, [&](const unsigned char* p, std::size_t n) {
          out.Write(p, n);
          done += n;
          Report(static_cast<double>(done), static_cast<double>(total));
        });
        out.Close();
      } catch (...) {
        out.Close();
        std::remove(part.c_str());
        throw;
      }
    }
    if (fs::exists(target, ec)) {
      // Replaced even when read-only.
      fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ec);
      fs::remove(target, ec);
    }
    fs::rename(part, target, ec);
    if (ec) {
      std::remove(part.c_str());
      throw ZipError("cannot write " + target.string() + ": " + ec.message());
    }
    struct utimbuf times;
    times.actime = times.modtime = FromDosTime(entry->dosTime, entry->dosDate);
    ::utime(target.string().c_str(), &times);
    if (entry->externalAttributes & 0x01)
      fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove, ec);
  }
  Report(static_cast<double>(total), static_cast<double>(total));
}

void Archive::CopyOldEntry(const Entry& old, VolumeReader* reader) {
  Entry entry = old;
  reader->Seek(old.disk, old.localOffset);
  unsigned char fixed[30];
  reader->Read(fixed, sizeof fixed);
  if (Get32(fixed) != kLocalSignature) throw ZipError("damaged entry " + old.name);
  std::string header(reinterpret_cast<const char*>(fixed), sizeof fixed);
  std::string rest(Get16(fixed + 26) + Get16(fixed + 28), '\0');
  reader->Read(rest.data(), rest.size());
  header += rest;
  writer_->Reserve(header.size());
  if (writer_->offset() > kMax32) throw ZipError("archive offsets past 4 GiB need ZIP64");
  entry.disk = writer_->disk();
  entry.localOffset = static_cast<std::uint32_t>(writer_->offset());
  writer_->Write(header.data(), header.size());
  std::vector<unsigned char> buffer(kChunk);
  std::uint64_t left = old.compressedSize;
  while (left > 0) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
    reader->Read(buffer.data(), n);
    writer_->Write(buffer.data(), n);
    left -= n;
  }
  if (old.flags & 0x0008) {
    std::string descriptor;
    Put32(&descriptor, kDescriptorSignature);
    Put32(&descriptor, old.crc);
    Put32(&descriptor, old.compressedSize);
    Put32(&descriptor, old.size);
    writer_->Write(descriptor.data(), descriptor.size());
  }
  for (Entry& e : entries_)
    if (e.name == old.name && e.disk == old.disk && e.localOffset == old.localOffset) {
      e.disk = entry.disk;
      e.localOffset = entry.localOffset;
    }
}

void Archive::Close() {
  if (!open_) return;
  if (!writer_ && existed_) {  // read or left unchanged: never rewritten
    open_ = false;
    return;
  }
  try {
    StartWriting();
    // The kept entries of the existing archive go into the new set first.
    const std::vector<Entry> kept = oldEntries_;
    std::vector<Entry> fresh;
    for (const Entry& e : entries_) {
      bool isKept = false;
      for (const Entry& k : kept) isKept = isKept || (k.name == e.name && k.disk == e.disk && k.localOffset == e.localOffset);
      if (!isKept) fresh.push_back(e);
    }
    std::unique_ptr<VolumeReader> reader = kept.empty() ? nullptr : OpenReader();
    for (const Entry& e : kept) CopyOldEntry(e, reader.get());
    reader.reset();
    std::vector<Entry> ordered;
    for (const Entry& k : kept) {
      for (const Entry& e : entries_) if (e.name == k.name) { ordered.push_back(e); break; }
    }
    for (const Entry& e : fresh) ordered.push_back(e);

    std::uint16_t cdDisk = 0;
    std::uint64_t cdOffset = 0;
    std::uint64_t cdSize = 0;
    std::uint16_t onLastDisk = 0;
    bool first = true;
    for (const Entry& e : ordered) {
      std::string record;
      Put32(&record, kCentralSignature);
      Put16(&record, 20);  // made by: MS-DOS, 2.0 (DOS attributes)
      Put16(&record, e.versionNeeded);
      Put16(&record, e.flags);
      Put16(&record, e.method);
      Put16(&record, e.dosTime);
      Put16(&record, e.dosDate);
      Put32(&record, e.crc);
      Put32(&record, e.compressedSize);
      Put32(&record, e.size);
      Put16(&record, static_cast<std::uint32_t>(e.storedName.size()));
      Put16(&record, static_cast<std::uint32_t>(e.centralExtra.size()));
      Put16(&record, 0);
      Put16(&record, e.disk);
      Put16(&record, 0);
      Put32(&record, e.externalAttributes);
      Put32(&record, e.localOffset);
      record += e.storedName;
      record += e.centralExtra;
      const std::uint16_t before = writer_->disk();
      writer_->Reserve(record.size());
      if (writer_->disk() != before) onLastDisk = 0;
      if (first) {
        cdDisk = writer_->disk();
        cdOffset = writer_->offset();
        first = false;
      }
      writer_->Write(record.data(), record.size());
      cdSize += record.size();
      ++onLastDisk;
    }
    if (first) {
      writer_->Reserve(22);
      cdDisk = writer_->disk();
      cdOffset = writer_->offset();
    }
    const std::uint16_t before = writer_->disk();
    writer_->Reserve(22);
    if (writer_->disk() != before) onLastDisk = 0;
    if (cdOffset > kMax32 || cdSize > kMax32) throw ZipError("archive offsets past 4 GiB need ZIP64");
    std::string endRecord;
    Put32(&endRecord, kEndSignature);
    Put16(&endRecord, writer_->disk());
    Put16(&endRecord, cdDisk);
    Put16(&endRecord, onLastDisk);
    Put16(&endRecord, static_cast<std::uint32_t>(ordered.size()));
    Put32(&endRecord, static_cast<std::uint32_t>(cdSize));
    Put32(&endRecord, static_cast<std::uint32_t>(cdOffset));
    Put16(&endRecord, 0);
    writer_->Write(endRecord.data(), endRecord.size());
    const std::vector<std::string> temporary = writer_->Finish();

    // Replace the old set: surplus old volumes go, the new ones take the names.
    if (existed_) {
      const std::vector<std::string> old = VolumePaths(diskCount_, false);
      for (std::size_t i = 0; i + 1 < old.size(); ++i) std::remove(old[i].c_str());
    }
    // Volumes of an earlier set under these names must not mix with ours.
    for (std::size_t i = temporary.size();; ++i) {
      const std::string stale = FindVolume(VolumeName(path_, i));
      std::error_code e;
      if (!fs::exists(stale, e)) break;
      std::remove(stale.c_str());
    }
    for (std::size_t i = 0; i < temporary.size(); ++i) {
      const std::string final = i + 1 < temporary.size() ? VolumeName(path_, i + 1) : path_;
      std::error_code e;
      fs::rename(temporary[i], final, e);
#ifdef _WIN32
      if (e) {
        fs::remove(final, e);
        fs::rename(temporary[i], final, e);
      }
#endif
      if (e) throw ZipError("cannot write " + final + ": " + e.message());
    }
    writer_->Release();
    writer_.reset();
    open_ = false;
    existed_ = true;
  } catch (...) {
    Abandon();
    throw;
  }
}

void Archive::Abandon() {
  if (writer_) writer_->Discard();
  writer_.reset();
  open_ = false;
}

}  // namespace zip
