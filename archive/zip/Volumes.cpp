#include "archive/zip/Volumes.h"

#include <cctype>
#include <cstring>

#include "archive/zip/Error.h"
#include "archive/zip/Format.h"
#include "platform/Files.h"

namespace zip {
namespace {

void SplitPath(const std::string& path, std::string* folder, std::string* name) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) {
    *folder = ".";
    *name = path;
  } else {
    *folder = slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
    *name = path.substr(slash + 1);
  }
}

std::string Stem(const std::string& name) {
  size_t dot = name.find_last_of('.');
  return (dot == std::string::npos || dot == 0) ? name : name.substr(0, dot);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string VolumeSuffix(std::uint32_t number) {
  char text[16];
  std::snprintf(text, sizeof text, ".Z%02u", number);
  return text;
}

}  // namespace

std::string VolumePath(const std::string& archivePath, std::uint32_t number) {
  std::string folder, name;
  SplitPath(archivePath, &folder, &name);
  std::string prefix = archivePath.substr(0, archivePath.size() - name.size());
  return prefix + Stem(name) + VolumeSuffix(number);
}

std::vector<std::string> FindVolumes(const std::string& archivePath, std::uint32_t lastDisk) {
  std::vector<std::string> paths;
  if (lastDisk == 0) return {archivePath};
  std::string folder, name;
  SplitPath(archivePath, &folder, &name);
  std::vector<std::string> names;
  platform::files::ListFolder(folder, &names);
  std::string prefix = archivePath.substr(0, archivePath.size() - name.size());
  std::string stem = Lower(Stem(name));
  for (std::uint32_t number = 1; number <= lastDisk; ++number) {
    std::string wanted = stem + Lower(VolumeSuffix(number));
    std::string found;
    for (const std::string& candidate : names) {
      if (Lower(candidate) == wanted) {
        found = candidate;
        if (candidate == Stem(name) + VolumeSuffix(number)) break;  // exact spelling first
      }
    }
    if (found.empty())
      throw Error(Reason::kMissingVolume, {prefix + Stem(name) + VolumeSuffix(number)},
                  "Missing volume " + prefix + Stem(name) + VolumeSuffix(number));
    paths.push_back(prefix + found);
  }
  paths.push_back(archivePath);
  return paths;
}

namespace {

// The length of "S.Znn" at the start of fileName (lower case), or 0.
size_t VolumePrefix(const std::string& archiveName, const std::string& f) {
  std::string stem = Lower(Stem(archiveName)) + ".z";
  if (f.compare(0, stem.size(), stem) != 0) return 0;
  size_t i = stem.size();
  while (i < f.size() && std::isdigit(static_cast<unsigned char>(f[i]))) ++i;
  return i - stem.size() >= 2 ? i : 0;
}

}  // namespace

std::string StemOf(const std::string& name) { return Stem(name); }

bool IsSideFile(const std::string& archiveName, const std::string& fileName) {
  std::string a = Lower(archiveName), f = Lower(fileName);
  if (f.compare(0, a.size() + 2, a + ".~") == 0) return true;
  size_t volume = VolumePrefix(archiveName, f);
  return volume != 0 && f.compare(volume, 2, ".~") == 0;
}

bool IsArchiveFile(const std::string& archiveName, const std::string& fileName) {
  std::string f = Lower(fileName);
  return f == Lower(archiveName) || VolumePrefix(archiveName, f) == f.size() ||
         IsSideFile(archiveName, fileName);
}

void VolumeSource::ReadSpan(std::uint32_t disk, std::uint64_t offset, void* data, size_t n) {
  unsigned char* out = static_cast<unsigned char*>(data);
  while (n > 0) {
    if (disk >= count())
      throw Error(Reason::kMissingVolume, {name(count() - 1)},
                  "The archive ends unexpectedly (missing volume?): " + name(count() - 1));
    std::uint64_t have = size(disk);
    if (offset >= have) {
      offset -= have;
      ++disk;
      continue;
    }
    size_t take = static_cast<size_t>(std::min<std::uint64_t>(have - offset, n));
    ReadAt(disk, offset, out, take);
    out += take;
    n -= take;
    offset += take;
  }
}

bool VolumeSource::Advance(std::uint32_t* disk, std::uint64_t* offset, std::uint64_t n) const {
  std::uint64_t pos = *offset + n;
  while (*disk < count() && pos >= size(*disk) && *disk + 1 < count()) {
    pos -= size(*disk);
    ++*disk;
  }
  *offset = pos;
  return *disk < count() && pos <= size(*disk);
}

PinnedVolumes::PinnedVolumes() = default;
PinnedVolumes::~PinnedVolumes() = default;

void PinnedVolumes::Pin(const std::string& path) {
  if (Find(path)) return;
  auto file = std::make_unique<platform::files::PinnedFile>();
  if (IoShouldFail(IoOp::kOpenRead, path) || !file->Open(path)) {
    if (!platform::files::Stat(path).exists)
      throw Error(Reason::kMissingVolume, {path}, "Missing volume " + path);
    throw Error(Reason::kCannotRead, {path}, "Cannot open " + path);
  }
  files_.emplace_back(path, std::move(file));
}

const platform::files::PinnedFile* PinnedVolumes::Find(const std::string& path) const {
  for (const auto& f : files_)
    if (f.first == path) return f.second.get();
  return nullptr;
}

FileVolumes::FileVolumes(std::vector<std::string> paths,
                         std::shared_ptr<const PinnedVolumes> pinned)
    : paths_(std::move(paths)), pinned_(std::move(pinned)) {
  for (const std::string& p : paths_) {
    if (pinned_) {
      const platform::files::PinnedFile* held = pinned_->Find(p);
      if (!held) throw Error(Reason::kCannotRead, {p}, "Cannot open " + p);
      held_.push_back(held);
      sizes_.push_back(held->size());
      continue;
    }
    platform::files::Info info = platform::files::Stat(p);
    if (!info.exists || info.isFolder)
      throw Error(Reason::kMissingVolume, {p}, "Missing volume " + p);
    sizes_.push_back(info.size);
  }
}

void FileVolumes::ReadAt(std::uint32_t volume, std::uint64_t offset, void* data, size_t n) {
  if (pinned_) {
    const std::string& path = paths_[volume];
    if (IoShouldFail(IoOp::kRead, path) || offset > sizes_[volume] || n > sizes_[volume] - offset ||
        !held_[volume]->ReadAt(offset, data, n))
      throw Error(Reason::kCannotRead, {path}, "Cannot read " + path);
    return;
  }
  if (!open_ || openIndex_ != volume) {
    open_.reset();
    open_ = std::make_unique<InputFile>(paths_[volume]);
    openIndex_ = volume;
  }
  open_->ReadAt(offset, data, n);
}

void MemoryVolume::ReadAt(std::uint32_t, std::uint64_t offset, void* data, size_t n) {
  if (offset > size_ || n > size_ - offset)
    throw Error(Reason::kMissingVolume, {}, "The archive ends unexpectedly");
  std::memcpy(data, data_ + offset, n);
}

VolumeWriter::VolumeWriter(std::string tempPrefix, std::uint64_t volumeSize, std::string shownAs)
    : tempPrefix_(std::move(tempPrefix)), volumeSize_(volumeSize), shownAs_(std::move(shownAs)) {
  NextVolume();
  if (split()) {
    unsigned char marker[4];
    Put32(marker, kSplitSignature);
    Write(marker, 4);
  }
}

VolumeWriter::~VolumeWriter() {
  if (!finished_) Discard();
}

void VolumeWriter::NextVolume() {
  // Most of a full volume has been written out while it was filled (see
  // WriteBackEvery), so forcing it to the device here waits little.
  if (!files_.empty()) files_.back()->Close(true);
  if (files_.size() >= 0xFFFF) throw Error("Too many volumes for a ZIP archive");
  std::string path = tempPrefix_ + std::to_string(files_.size());
  paths_.push_back(path);
  files_.push_back(std::make_unique<OutputFile>(path, shownAs_));
  files_.back()->WriteBackEvery(8u << 20);
}

void VolumeWriter::Write(const void* data, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  while (n > 0) {
    size_t take = n;
    if (split()) {
      std::uint64_t room = volumeSize_ - offset();
      if (room == 0) {
        NextVolume();
        continue;
      }
      if (take > room) take = static_cast<size_t>(room);
    }
    files_.back()->Write(p, take);
    p += take;
    n -= take;
  }
}

void VolumeWriter::KeepTogether(size_t n) {
  if (split() && offset() + n > volumeSize_) NextVolume();
}

void VolumeWriter::PatchCurrent(std::uint64_t offset, const void* data, size_t n) {
  files_.back()->Patch(offset, data, n);
}

std::vector<std::string> VolumeWriter::Finish() {
  if (split() && files_.size() == 1) {
    unsigned char marker[4];
    Put32(marker, kSingleSegmentMarker);
    files_.back()->Patch(0, marker, 4);
  }
  files_.back()->Close(true);
  finished_ = true;
  return paths_;
}

void VolumeWriter::Discard() {
  files_.clear();
  for (const std::string& p : paths_) RemoveFile(p);
  paths_.clear();
  finished_ = true;
}

}  // namespace zip
