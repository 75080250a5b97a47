// A split archive's set of volumes: their names, the writer that never lets
// a header cross a volume boundary, and the reader that follows data across
// volumes. Paths are UTF-8 native paths.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/FileIo.h"

namespace zip {

// Path of volume `index` (0-based) of a set of `count` volumes: the archive's
// own path for the last one, otherwise the path with its extension replaced
// by ".Z01", ".Z02", ...
std::string VolumePath(const std::string& archivePath, std::uint32_t index, std::uint32_t count);

// The existing file in the same folder whose name equals that of `path`
// without regard to case (the exact name first); empty when there is none.
std::string FindIgnoringCase(const std::string& path);

// Suffix of the files an update writes before it replaces the archive.
extern const char* const kTempSuffix;

// Whether `fileName` (in the archive's own folder) is one of the archive's
// volumes or temporary files: the archive name, NAME.Znn, with or without
// the temporary suffix, compared without regard to case.
bool IsArchiveVolumeName(const std::string& archivePath, const std::string& fileName);

class VolumeWriter {
 public:
  // volumeSize 0 writes one file; otherwise volumes of at most volumeSize
  // bytes (at least 65536). Everything goes to temporary names until commit.
  VolumeWriter(FileIo& io, const std::string& archivePath, std::uint64_t volumeSize);
  ~VolumeWriter();  // discards an uncommitted set

  std::uint32_t disk() const { return disk_; }
  std::uint64_t offset() const { return offset_; }

  // Writes a record that must stay in one volume, starting the next volume
  // first when it would not fit. Returns the record's disk and offset.
  void writeRecord(const std::string& bytes, std::uint32_t* disk, std::uint64_t* offset);
  // Writes file data, which may cross volume boundaries.
  void writeData(const char* data, std::size_t n);
  // Overwrites bytes of an earlier record.
  void patch(std::uint32_t disk, std::uint64_t offset, const std::string& bytes);

  // Closes the last volume and moves the set to its final names, replacing
  // an earlier set and deleting its surplus volumes (oldVolumes: the paths
  // of the set being replaced).
  void commit(const std::vector<std::string>& oldVolumes);
  // Removes every temporary volume.
  void discard();

 private:
  void openVolume();
  void nextVolume();
  std::string tempPath(std::uint32_t index) const;

  FileIo& io_;
  std::string archivePath_;
  std::uint64_t volumeSize_;
  std::unique_ptr<OutputFile> out_;
  std::uint32_t disk_ = 0;
  std::uint64_t offset_ = 0;
  std::vector<std::string> temps_;
  bool done_ = false;
};

class VolumeReader {
 public:
  // Opens nothing yet but learns every volume's size; throws when one is
  // missing or unreadable.
  VolumeReader(FileIo& io, std::vector<std::string> volumes);

  std::uint32_t count() const { return (std::uint32_t)volumes_.size(); }
  std::uint64_t volumeSize(std::uint32_t disk) const { return sizes_[disk]; }
  const std::string& volume(std::uint32_t disk) const { return volumes_[disk]; }

  // Throws when the position lies outside the set.
  void seek(std::uint32_t disk, std::uint64_t offset);
  // Reads up to n bytes, continuing into the following volumes.
  std::size_t read(void* data, std::size_t n);
  // Reads exactly n bytes or throws "unexpected end".
  void readExact(void* data, std::size_t n);

 private:
  void openCurrent();

  FileIo& io_;
  std::vector<std::string> volumes_;
  std::vector<std::uint64_t> sizes_;
  std::unique_ptr<InputFile> in_;
  std::uint32_t disk_ = 0;
  std::uint64_t offset_ = 0;
  std::uint32_t openDisk_ = 0xFFFFFFFF;
};

}  // namespace zip
