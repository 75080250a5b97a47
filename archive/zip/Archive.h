// The ZIP engine: one archive at a time, opened for reading and update.
// Every failure throws zip::Error with a message for the user.
//
// Writing never touches the existing archive: additions go into a new set
// of volumes under temporary names beside it, and Close replaces the old
// set with the new one through the crash-safe protocol of Journal.h (a kill
// at any instant leaves the old set or the new one, and the next open of
// the name repairs what was interrupted). An archive that was opened and
// not changed is never rewritten; a failed operation is never committed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/Error.h"
#include "archive/zip/Format.h"

namespace zip {

class ArchiveLock;
class FileVolumes;
class PinnedVolumes;
class VolumeWriter;
class Writer;

class Archive {
 public:
  // Overall progress of a long operation, in percent: 0 when it starts,
  // then each time it has grown by at least one percent, 100 at the end.
  using ProgressHandler = std::function<void(double percent)>;

  // What Open does with the file at the path.
  enum class Mode {
    kUpdate,   // an existing archive is updated (entries not replaced are
               // kept), a missing one created
    kReplace,  // the archive written holds exactly what is added now; an
               // existing file is replaced only when it is a readable,
               // writable archive, anything else is refused untouched
    kRead,     // read only: a missing file fails, nothing is ever written
  };

  Archive();
  ~Archive();  // closes an open archive; errors are dropped
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  void SetProgressHandler(ProgressHandler handler) { progress_ = std::move(handler); }
  // Volumes of at most `size` bytes (at least 65536) for archives written
  // from now on; 0 writes one file.
  void SetVolumeSize(std::int64_t size);
  // The mode of the next Open (kUpdate until set).
  void SetMode(Mode mode) { mode_ = mode; }
  // Threads that compress entries while adding files and check entries
  // before an extraction (0: DefaultThreads()). The archive written is the
  // same whatever the count.
  void SetThreads(unsigned threads) { threads_ = threads; }
  // A check of the entries an extraction chose, run with the other checks
  // before anything is written; it throws zip::Error to refuse them.
  using EntryCheck = std::function<void(const std::vector<const Entry*>& chosen)>;
  void SetEntryCheck(EntryCheck check) { entryCheck_ = std::move(check); }

  // Opens the archive at a UTF-8 path in the mode set: an existing one is
  // read (from its last volume), a missing one will be created (not in
  // kRead). First repairs a replacement of this archive that was
  // interrupted, then holds the archive until Close: shared in kRead, so
  // that no backup replaces it while it is read, else exclusively. Fails
  // when another program holds it in the way (a writer, or for a writer
  // any holder). Throws, changing nothing else, when the file is not a
  // readable archive, cannot be created or, in kReplace, cannot be
  // replaced; every failure names the archive or the volume at fault.
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
  // into destination, creating folders and replacing files. Nothing is
  // written before the whole choice was checked: every name (none may
  // leave the folder), every target (no link, and no file where a folder
  // goes or the reverse), the free space (the growth of the files plus the
  // largest entry) and every entry's data and CRC (Test). Each file is
  // written beside its target and renamed over it, so a failure midway
  // leaves whole files only. Fails when no file entry matches.
  void ExtractFiles(const std::string& destination, const std::string& mask);
  // The same for the entries named: each name is an entry's name exactly as
  // stored ('/' between folders), or a folder's, which stands for every
  // entry below it. A name that is in the archive neither way fails the
  // call before anything is written, naming it.
  void ExtractNamed(const std::string& destination, const std::vector<std::string>& names);
  // Reads every entry and checks its data against its CRC, streaming, with
  // the engine's threads. Throws naming the first damaged entry in archive
  // order; with faults, goes on through every entry and adds the error of
  // each damaged one there, in archive order (the check before a restore
  // passes none: it stops at the first). onBytes: uncompressed bytes
  // checked, on the calling thread.
  void Test(const std::function<void(std::uint64_t)>& onBytes = nullptr,
            std::vector<Error>* faults = nullptr);
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
  void ExtractChosen(const std::string& destination, const std::vector<const Entry*>& chosen);
  void StartWriting();
  void Reset();
  // Shared for a reader, exclusive for a writer (see Open).
  void TakeLock();

  ProgressHandler progress_;
  std::int64_t volumeSize_ = 0;
  Mode mode_ = Mode::kUpdate;
  unsigned threads_ = 0;
  EntryCheck entryCheck_;
  std::unique_ptr<ArchiveLock> lock_;
  bool open_ = false;
  bool failed_ = false;  // a write failed: the new set is not trustworthy
  std::string path_;
  std::shared_ptr<PinnedVolumes> pinned_;  // a reader without the lock
  std::unique_ptr<FileVolumes> source_;
  std::vector<std::string> sourcePaths_;
  std::vector<Entry> entries_;
  std::unique_ptr<VolumeWriter> volumes_;
  std::unique_ptr<Writer> writer_;
};

}  // namespace zip
