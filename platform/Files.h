// File services for the archive engine. Paths are UTF-8 on every platform
// (converted to the wide API on Windows), so that entry names and folder
// names never pass through a lossy 8-bit code page inside the engine.
// Nothing here follows a symbolic link unless it says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace platform {
namespace files {

// What lstat (never following a link) tells about a path.
struct Info {
  bool exists = false;
  bool isFolder = false;
  bool isFile = false;  // a regular file
  bool isLink = false;  // a symbolic link (or a Windows reparse point)
  std::uint64_t size = 0;
  std::int64_t modified = 0;        // seconds since the epoch
  std::uint32_t dosAttributes = 0;  // read-only 1, hidden 2, system 4, folder 16, archive 32
};

// Information on a path without following a final symbolic link.
Info Stat(const std::string& path);

// Names in a folder, without "." and "..". False when it cannot be read.
bool ListFolder(const std::string& path, std::vector<std::string>* names);

// fopen on a UTF-8 path ("rb", "wb", "r+b").
std::FILE* Open(const std::string& path, const char* mode);
// 64-bit positioning; false on failure.
bool Seek(std::FILE* file, std::int64_t offset);
std::int64_t Size(std::FILE* file);

// Creates one folder; true when it exists as a folder afterwards.
bool MakeFolder(const std::string& path);
// Removes a file, also a read-only one. True when it is gone.
bool Remove(const std::string& path);
// Removes an empty folder.
bool RemoveFolder(const std::string& path);
// Renames, replacing an existing file at `to` even when it is read-only.
bool Rename(const std::string& from, const std::string& to);
// Sets the modification time and the DOS attributes that the platform has
// (on POSIX read-only clears the write permissions, else they are set).
bool SetTimeAndAttributes(const std::string& path, std::int64_t modified,
                          std::uint32_t dosAttributes);

// Pushes what was written to a file down to the device (fflush, then fsync
// or FlushFileBuffers). False when the system reports a failure.
bool SyncFile(std::FILE* file);
// Asks the system to start writing a file's bytes [offset, offset + length)
// to the device now, without waiting, so that a later SyncFile has little
// left to wait for. Only a hint: systems without it do nothing.
void StartWriteback(std::FILE* file, std::int64_t offset, std::int64_t length);
// Pushes a folder's entries (files created, renamed or removed in it) down
// to the device. Systems that cannot flush a folder answer true.
bool SyncFolder(const std::string& path);

// Bytes that this user may still write on the file system holding path;
// -1 when it cannot be told.
std::int64_t FreeSpace(const std::string& path);

// A lock between processes, shared (readers) or exclusive (a writer), held
// through a lock file that the lock creates. A process that dies loses its
// lock at once (the file may stay; the next holder takes it over).
// The lock file is never followed through a link: a path that holds
// anything but a regular file (a symbolic link, a folder, a device; on
// Windows a reparse point) is refused and left as it is.
enum class LockResult { kLocked, kBusy, kFailed, kNotAFile };
enum class LockMode { kShared, kExclusive };
class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Unlock(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Never waits: kBusy when another holder is in the way (any holder for an
  // exclusive lock, an exclusive one for a shared lock), kFailed when the
  // lock file cannot be made (a read-only folder), kNotAFile as above.
  LockResult Lock(const std::string& path, LockMode mode = LockMode::kExclusive);
  // Changes the mode of the held lock without waiting. Not atomic: the lock
  // is let go for a moment, so false (another holder came in between or is
  // in the way) leaves no lock held at all.
  bool Change(LockMode mode);
  // Releases the lock; the lock file is deleted only when no other holder
  // has it (the lock can be taken exclusively first), else only closed.
  void Unlock();
  bool held() const { return handle_ != -1; }
  LockMode mode() const { return mode_; }

 private:
  std::intptr_t handle_ = -1;
  std::string path_;
  LockMode mode_ = LockMode::kExclusive;
};

// A file opened for reading and held open until Close. On Windows it cannot
// be renamed or deleted meanwhile (no delete sharing); on POSIX a rename
// over its name does not change what the held descriptor reads. ReadAt may
// be called from several threads at once.
class PinnedFile {
 public:
  PinnedFile() = default;
  ~PinnedFile() { Close(); }
  PinnedFile(const PinnedFile&) = delete;
  PinnedFile& operator=(const PinnedFile&) = delete;
  // False when the file cannot be opened (then nothing is held). Raises the
  // process's limit of open files when it is what stands in the way.
  bool Open(const std::string& path);
  void Close();
  std::uint64_t size() const { return size_; }
  // Reads exactly n bytes at offset; false on a failure or a short read.
  bool ReadAt(std::uint64_t offset, void* data, size_t n) const;
  // Whether path still names the held file (always so on Windows, where
  // it cannot be moved while held).
  bool StillAt(const std::string& path) const;

 private:
  std::intptr_t handle_ = -1;
  std::uint64_t size_ = 0;
};

// Broken-down local time of a moment, and back (mktime semantics).
std::tm LocalTime(std::int64_t moment);
std::int64_t FromLocalTime(std::tm local);

// The folder with links and "." / ".." resolved; the text itself when it
// cannot be resolved.
std::string Canonical(const std::string& path);

// Whether two paths lead to one and the same file or folder (links
// followed): the same device and file number, on Windows the same volume
// and file index, so that names in another case, short names and other
// spellings count as the same. False when either cannot be reached.
bool SameFile(const std::string& a, const std::string& b);

// The system's 8-bit texts (UTF-8 on Linux, the ANSI code page on Windows)
// to and from wide text.
std::wstring SystemToWide(const std::string& text);
std::string WideToSystem(const std::wstring& text);

// Entry names in the OEM code page of the system. Only Windows has one of
// its own: elsewhere these return false and callers use CP850.
bool WideToOem(const std::wstring& text, std::string* oem);
bool OemToWide(const std::string& oem, std::wstring* text);

// Process id, for unique temporary names.
unsigned long ProcessId();

}  // namespace files
}  // namespace platform
