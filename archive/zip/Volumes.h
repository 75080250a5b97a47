// The files of one archive. A single archive is one file; a split archive
// is NAME.Z01, NAME.Z02, ... and the last volume under the archive's own
// name, read as one byte sequence and addressed by (disk, offset) pairs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/Io.h"
#include "platform/Files.h"

namespace zip {

// Path of volume `number` (1-based) of the split archive at archivePath:
// the extension replaced by ".Z" + at least two digits.
std::string VolumePath(const std::string& archivePath, std::uint32_t number);

// The existing files of the archive at archivePath: its volumes found in
// its folder without regard to case, then the archive itself. Only the
// volumes 1..lastDisk are looked up (lastDisk = the last volume's number).
// Throws zip::Error naming the first missing volume.
std::vector<std::string> FindVolumes(const std::string& archivePath, std::uint32_t lastDisk);

// Whether a file in the archive's folder belongs to the archive: the archive
// itself, one of its volumes (any number, any case) or one of the engine's
// temporary or backup files beside it.
bool IsArchiveFile(const std::string& archiveName, const std::string& fileName);
// Whether it is one of those side files: "A.~..." or "S.Znn.~..." (any case).
bool IsSideFile(const std::string& archiveName, const std::string& fileName);
// The name without its extension.
std::string StemOf(const std::string& name);

// Random access to the volumes of an archive, read as a whole.
class VolumeSource {
 public:
  virtual ~VolumeSource() = default;
  virtual std::uint32_t count() const = 0;
  virtual std::uint64_t size(std::uint32_t volume) const = 0;
  virtual void ReadAt(std::uint32_t volume, std::uint64_t offset, void* data, size_t n) = 0;
  virtual std::string name(std::uint32_t volume) const = 0;

  // Reads n bytes from (disk, offset) on, continuing into the following
  // volumes. Throws zip::Error when the set ends first.
  void ReadSpan(std::uint32_t disk, std::uint64_t offset, void* data, size_t n);
  // Moves (disk, offset) forward by n bytes across volume ends.
  bool Advance(std::uint32_t* disk, std::uint64_t* offset, std::uint64_t n) const;
};

// Volumes held open from the moment they are pinned until this is
// destroyed, for a reader that holds no lock (platform::files::PinnedFile):
// what it reads cannot change under it. Reads may come from several
// threads at once.
class PinnedVolumes {
 public:
  PinnedVolumes();
  ~PinnedVolumes();
  // Opens the volume unless it is held already. Throws zip::Error naming it.
  void Pin(const std::string& path);
  // The held file of path, or null.
  const platform::files::PinnedFile* Find(const std::string& path) const;

 private:
  std::vector<std::pair<std::string, std::unique_ptr<platform::files::PinnedFile>>> files_;
};

// Volumes on disk; at most one is open at a time, unless they are pinned
// (every path must then be pinned already).
class FileVolumes : public VolumeSource {
 public:
  explicit FileVolumes(std::vector<std::string> paths,
                       std::shared_ptr<const PinnedVolumes> pinned = nullptr);
  std::uint32_t count() const override { return static_cast<std::uint32_t>(paths_.size()); }
  std::uint64_t size(std::uint32_t volume) const override { return sizes_[volume]; }
  void ReadAt(std::uint32_t volume, std::uint64_t offset, void* data, size_t n) override;
  std::string name(std::uint32_t volume) const override { return paths_[volume]; }
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  std::vector<std::string> paths_;
  std::vector<std::uint64_t> sizes_;
  std::shared_ptr<const PinnedVolumes> pinned_;
  std::vector<const platform::files::PinnedFile*> held_;
  std::unique_ptr<InputFile> open_;
  std::uint32_t openIndex_ = 0;
};

// One archive held in memory (the fuzzer's input).
class MemoryVolume : public VolumeSource {
 public:
  MemoryVolume(const unsigned char* data, size_t n) : data_(data), size_(n) {}
  std::uint32_t count() const override { return 1; }
  std::uint64_t size(std::uint32_t) const override { return size_; }
  void ReadAt(std::uint32_t volume, std::uint64_t offset, void* data, size_t n) override;
  std::string name(std::uint32_t) const override { return "memory"; }

 private:
  const unsigned char* data_;
  size_t size_;
};

// Writes the bytes of an archive into volumes of at most volumeSize bytes
// (0: one file without limit). Files are created under temporary names
// (tempPrefix + index); the system is asked to write them out as they grow,
// and each is forced to the device when it is complete. Finish returns them in volume order.
// Failures name shownAs (the archive).
class VolumeWriter {
 public:
  VolumeWriter(std::string tempPrefix, std::uint64_t volumeSize, std::string shownAs);
  ~VolumeWriter();  // removes the files unless Finish succeeded

  // Appends bytes; file data may run on into the next volume.
  void Write(const void* data, size_t n);
  // Makes the next n bytes fit into one volume, starting the next volume
  // early when they would not (headers and records never cross).
  void KeepTogether(size_t n);
  // Overwrites bytes earlier in the current volume.
  void PatchCurrent(std::uint64_t offset, const void* data, size_t n);

  std::uint32_t disk() const { return static_cast<std::uint32_t>(files_.size() - 1); }
  std::uint64_t offset() const { return files_.back()->position(); }
  bool split() const { return volumeSize_ != 0; }
  std::uint64_t volumeSize() const { return volumeSize_; }

  // Closes the last volume. A split set that needed only one volume gets
  // the single-segment marker instead of the split signature.
  std::vector<std::string> Finish();
  // Deletes every file written so far.
  void Discard();

 private:
  void NextVolume();
  std::string tempPrefix_;
  std::uint64_t volumeSize_;
  std::string shownAs_;
  std::vector<std::unique_ptr<OutputFile>> files_;
  std::vector<std::string> paths_;
  bool finished_ = false;
};

}  // namespace zip
