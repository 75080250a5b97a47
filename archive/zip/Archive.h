// The ZIP engine: one archive at a time, opened for update. Writing goes to
// a temporary set of volumes that replaces the archive only when close()
// succeeds, so a failure never damages what was there; an archive that is
// opened and not changed is never rewritten. Data streams through bounded
// buffers. Every failure throws ZipError; names and paths are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/Directory.h"
#include "archive/zip/FileIo.h"
#include "archive/zip/Format.h"

namespace zip {

class VolumeWriter;
class Deflater;

class Archive {
 public:
  // Overall progress of a long operation in percent: 0 when it starts, then
  // whenever it has grown by at least one percent, 100 when it ends.
  using ProgressHandler = std::function<void(double percent)>;

  Archive();
  ~Archive();  // closes an open archive (commits it unless a write failed)
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  void setProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }
  // Tests replace the file system; nullptr restores the real one.
  void setFileIo(FileIo* io) { io_ = io ? io : &FileIo::standard(); }
  // 0: one file. Otherwise volumes of at most n bytes (n below 65536 acts as
  // 65536) for archives written after the next open().
  void setVolumeSize(std::int64_t n);

  // Opens an existing archive (its directory is read at once) or prepares a
  // new one at a path that does not exist yet (written by close()).
  void open(const std::string& archivePath);
  bool isOpen() const { return open_; }
  // Writes the archive when it is new or was changed, then closes it. After
  // a failed add nothing is written, the old archive stays, and close throws.
  void close();
  // Closes without writing anything.
  void abandon();

  // Adds every file below baseFolder whose name matches one of the masks,
  // and an entry for every folder, under paths relative to baseFolder.
  // Symbolic links are not followed; the archive's own volumes and
  // temporary files are skipped. Entries of the same name are replaced.
  void addFiles(const std::string& baseFolder, const std::vector<std::string>& masks);
  // Adds one entry from memory, attribute archive (32), dated now.
  void addBuffer(const std::string& name, const void* data, std::size_t size);

  // Extracts the entries matching the mask below folder. Every name is
  // checked first: nothing is extracted when one would leave the folder.
  void extractFiles(const std::string& folder, const std::string& mask);
  // The content of the named entry (exact name first, then ignoring case).
  std::string extractToMemory(const std::string& name);
  // Reads every entry and checks its CRC.
  void verify();

  // The entries as the archive held them when it was opened.
  const std::vector<EntryRecord>& entries() const { return dir_.entries; }
  const std::string& path() const { return path_; }

 private:
  struct Tracker;
  void startWriting();
  void writeEntry(EntryRecord e, const std::string& sourcePath, const void* data,
                  std::size_t size, Tracker& tracker);
  void checkEntryCount(std::size_t adding) const;
  const EntryRecord* findEntry(const std::string& name) const;
  // Streams an entry's uncompressed content to sink, checking size and CRC.
  void readEntry(const EntryRecord& e, const std::function<void(const char*, std::size_t)>& sink,
                 Tracker* tracker);
  void dropSession();

  FileIo* io_;
  ProgressHandler progress_;
  std::uint64_t volumeSize_ = 0;
  bool open_ = false;
  bool existed_ = false;
  bool failed_ = false;
  std::string path_;
  ArchiveDirectory dir_;
  std::unique_ptr<VolumeWriter> writer_;
  std::vector<EntryRecord> added_;
  std::unique_ptr<Deflater> deflater_;
};

}  // namespace zip
