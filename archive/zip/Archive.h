// The ZIP engine: one archive at a time, opened for reading and update.
// Every failure throws zip::Error with a message for the user.
//
// Writing never touches the existing archive: additions go into a new set
// of volumes under temporary names beside it, and Close replaces the old
// set with the new one (entries not replaced are copied over unchanged).
// An archive that was opened and not changed is never rewritten.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/Format.h"

namespace zip {

class FileVolumes;
class VolumeWriter;
class Writer;

class Archive {
 public:
  // Overall progress of a long operation, in percent: 0 when it starts,
  // then each time it has grown by at least one percent, 100 at the end.
  using ProgressHandler = std::function<void(double percent)>;

  Archive();
  ~Archive();  // closes an open archive; errors are dropped
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }
  // Volumes of at most `size` bytes (at least 65536) for archives written
  // from now on; 0 writes one file.
  void SetVolumeSize(std::int64_t size);

  // Opens the archive at a UTF-8 path: an existing one is read (from its
  // last volume), a missing one will be created. Throws, changing nothing,
  // when the file is not a readable archive or cannot be created.
  void Open(const std::string& path);
  bool IsOpen() const { return open_; }

  // Adds every file below baseFolder whose name matches one of the masks,
  // under its path relative to baseFolder, and a folder entry for every
  // matching folder. Symbolic links are skipped; the archive's own files
  // are never added. Entries of the same name (case ignored) are replaced.
  void AddFiles(const std::string& baseFolder, const std::vector<std::string>& masks);
  // Adds one entry from memory with the archive attribute and the current
  // time. The data is compressed at once: it need not outlive the call.
  void AddBuffer(const std::string& name, const unsigned char* data, size_t n);

  // Extracts the entries of the opened archive whose name matches mask
  // into destination, creating folders. Every name is checked first: an
  // unsafe one fails the whole operation before anything is written.
  void ExtractFiles(const std::string& destination, const std::string& mask);
  // The content of one entry (exact name first, then ignoring case).
  std::vector<unsigned char> ExtractToMemory(const std::string& name);

  // Writes and commits the new set when something was added (or the archive
  // is new); then closes. Does nothing without an open archive.
  void Close();

  // The entries of the archive as it was opened.
  const std::vector<Entry>& entries() const { return entries_; }
  // The volume files of the archive as it was opened (empty when new).
  std::vector<std::string> volumePaths() const;

 private:
  void StartWriting();
  void Commit(const std::vector<std::string>& temporary);
  void Reset();
  void Report(double percent);

  ProgressHandler progress_;
  std::int64_t volumeSize_ = 0;
  bool open_ = false;
  bool isNew_ = false;
  bool failed_ = false;   // a write failed: the new set is not trustworthy
  std::string path_;
  std::unique_ptr<FileVolumes> source_;
  std::vector<std::string> sourcePaths_;
  std::vector<Entry> entries_;
  std::unique_ptr<VolumeWriter> volumes_;
  std::unique_ptr<Writer> writer_;
};

}  // namespace zip
