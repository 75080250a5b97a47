#include "archive/zip/Volumes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "archive/zip/Format.h"
#include "archive/zip/Names.h"
#include "archive/zip/ZipError.h"

namespace fs = std::filesystem;

namespace zip {

const char* const kTempSuffix = ".qtmp";

namespace {

std::string VolumeSuffix(std::uint32_t number) {
  char buf[16];
  std::snprintf(buf, sizeof buf, ".Z%02u", (unsigned)number);
  return buf;
}

// The archive path without its extension (the extension of the file name
// only, not of a folder).
std::string Stem(const std::string& archivePath) {
  fs::path p = fs::u8path(archivePath);
  fs::path stem = p.parent_path() / p.stem();
  if (p.filename().u8string().rfind('.') == 0 && p.extension().empty()) stem = p;
  return stem.u8string();
}

std::string FileName(const std::string& path) { return fs::u8path(path).filename().u8string(); }

}  // namespace

std::string VolumePath(const std::string& archivePath, std::uint32_t index, std::uint32_t count) {
  if (index + 1 >= count) return archivePath;
  return Stem(archivePath) + VolumeSuffix(index + 1);
}

std::string FindIgnoringCase(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::u8path(path);
  if (fs::is_regular_file(p, ec)) return path;
  fs::path dir = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  std::string want = FoldCase(p.filename().u8string());
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (FoldCase(it->path().filename().u8string()) == want && it->is_regular_file(ec))
      return (p.parent_path().empty() ? it->path().filename() : it->path()).u8string();
  }
  return std::string();
}

bool IsArchiveVolumeName(const std::string& archivePath, const std::string& fileName) {
  std::string name = FoldCase(fileName);
  std::string suffix = FoldCase(kTempSuffix);
  if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
    name.erase(name.size() - suffix.size());
  if (name == FoldCase(FileName(archivePath))) return true;
  std::string stem = FoldCase(FileName(Stem(archivePath))) + ".z";
  if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) return false;
  return std::all_of(name.begin() + stem.size(), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

// ---------------------------------------------------------------- writer

VolumeWriter::VolumeWriter(FileIo& io, const std::string& archivePath, std::uint64_t volumeSize)
    : io_(io), archivePath_(archivePath), volumeSize_(volumeSize) {
  if (volumeSize_ != 0 && volumeSize_ < 65536) volumeSize_ = 65536;
  openVolume();
  if (volumeSize_) {
    std::string sig;
    Put32(sig, kSingleSplitSignature);
    out_->write(sig.data(), sig.size());
    offset_ = sig.size();
  }
}

VolumeWriter::~VolumeWriter() {
  if (!done_) discard();
}

std::string VolumeWriter::tempPath(std::uint32_t index) const {
  if (!volumeSize_) return archivePath_ + kTempSuffix;
  return Stem(archivePath_) + VolumeSuffix(index + 1) + kTempSuffix;
}

void VolumeWriter::openVolume() {
  temps_.push_back(tempPath(disk_));
  out_ = io_.create(temps_.back());
  offset_ = 0;
}

void VolumeWriter::nextVolume() {
  if (!volumeSize_) throw ZipError("internal: volume change in a single-file archive");
  if (disk_ + 1 >= 0xFFFF)
    throw ZipError("the archive " + archivePath_ + " would need more than 65535 volumes");
  out_->close();
  out_.reset();
  if (disk_ == 0) {
    // The set really spans volumes now: mark the first one as split.
    std::string sig;
    Put32(sig, kSplitSignature);
    patch(0, 0, sig);
  }
  ++disk_;
  openVolume();
}

void VolumeWriter::writeRecord(const std::string& bytes, std::uint32_t* disk, std::uint64_t* offset) {
  if (volumeSize_) {
    if (bytes.size() > volumeSize_ - 4)
      throw ZipError("a header does not fit into one volume of " + archivePath_);
    if (offset_ + bytes.size() > volumeSize_) nextVolume();
  }
  if (disk) *disk = disk_;
  if (offset) *offset = offset_;
  out_->write(bytes.data(), bytes.size());
  offset_ += bytes.size();
}

void VolumeWriter::writeData(const char* data, std::size_t n) {
  while (n > 0) {
    std::size_t chunk = n;
    if (volumeSize_) {
      if (offset_ >= volumeSize_) nextVolume();
      chunk = (std::size_t)std::min<std::uint64_t>(n, volumeSize_ - offset_);
    }
    out_->write(data, chunk);
    offset_ += chunk;
    data += chunk;
    n -= chunk;
  }
}

void VolumeWriter::patch(std::uint32_t disk, std::uint64_t offset, const std::string& bytes) {
  if (disk == disk_ && out_) {
    out_->patch(offset, bytes.data(), bytes.size());
    return;
  }
  auto f = io_.openForPatch(temps_.at(disk));
  f->patch(offset, bytes.data(), bytes.size());
  f->close();
}

void VolumeWriter::commit(const std::vector<std::string>& oldVolumes) {
  out_->close();
  out_.reset();
  std::uint32_t count = (std::uint32_t)temps_.size();
  std::vector<std::string> finals;
  for (std::uint32_t i = 0; i < count; ++i) finals.push_back(VolumePath(archivePath_, i, count));
  // The volumes first, the last one (which holds the directory) at the end,
  // so that the archive's own name changes only once the set is in place.
  for (std::uint32_t i = 0; i < count; ++i) {
    std::error_code ec;
    // An old volume that differs only in case would stay beside the new one.
    std::string existing = FindIgnoringCase(finals[i]);
    if (!existing.empty() && existing != finals[i]) fs::remove(fs::u8path(existing), ec);
    fs::rename(fs::u8path(temps_[i]), fs::u8path(finals[i]), ec);
    if (ec) {
      // Clear a read-only archive file and try once more.
      fs::permissions(fs::u8path(finals[i]), fs::perms::owner_write, fs::perm_options::add, ec);
      ec.clear();
      fs::rename(fs::u8path(temps_[i]), fs::u8path(finals[i]), ec);
      if (ec) {
        discard();
        throw ZipError("cannot replace " + finals[i] + ": " + ec.message());
      }
    }
  }
  done_ = true;
  for (const auto& old : oldVolumes) {
    if (std::find(finals.begin(), finals.end(), old) != finals.end()) continue;
    std::error_code ec;
    fs::remove(fs::u8path(old), ec);
  }
}

void VolumeWriter::discard() {
  out_.reset();
  for (const auto& t : temps_) {
    std::error_code ec;
    fs::remove(fs::u8path(t), ec);
  }
  temps_.clear();
  done_ = true;
}

// ---------------------------------------------------------------- reader

VolumeReader::VolumeReader(FileIo& io, std::vector<std::string> volumes)
    : io_(io), volumes_(std::move(volumes)) {
  for (const auto& v : volumes_) sizes_.push_back(io_.openRead(v)->size());
}

void VolumeReader::seek(std::uint32_t disk, std::uint64_t offset) {
  if (disk >= volumes_.size() || offset > sizes_[disk])
    throw ZipError("an entry points outside the archive (volume " + std::to_string(disk + 1) +
                   ", offset " + std::to_string(offset) + ")");
  disk_ = disk;
  offset_ = offset;
  if (openDisk_ == disk_) in_->seek(offset_);
}

void VolumeReader::openCurrent() {
  if (openDisk_ != disk_) {
    in_ = io_.openRead(volumes_[disk_]);
    openDisk_ = disk_;
    in_->seek(offset_);
  }
}

std::size_t VolumeReader::read(void* data, std::size_t n) {
  std::size_t total = 0;
  char* p = (char*)data;
  while (n > 0) {
    if (offset_ >= sizes_[disk_]) {
      if (disk_ + 1 >= volumes_.size()) break;
      ++disk_;
      offset_ = 0;
    }
    openCurrent();
    std::size_t want = (std::size_t)std::min<std::uint64_t>(n, sizes_[disk_] - offset_);
    std::size_t got = in_->read(p, want);
    if (got == 0) throw ZipError("cannot read " + volumes_[disk_] + ": file shorter than expected");
    offset_ += got;
    p += got;
    n -= got;
    total += got;
  }
  return total;
}

void VolumeReader::readExact(void* data, std::size_t n) {
  if (read(data, n) != n) throw ZipError("unexpected end of archive in " + volumes_.back());
}

}  // namespace zip
