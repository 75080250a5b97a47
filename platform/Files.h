// File services for the archive engine. Paths are UTF-8 on every platform
// (converted to the wide API on Windows), so that entry names and folder
// names never pass through a lossy 8-bit code page inside the engine.
// Nothing here follows a symbolic link unless it says so.
#pragma once

#include <cstdint>
#include <cstddef>
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
  bool isFile = false;     // a regular file
  bool isLink = false;     // a symbolic link (or a Windows reparse point)
  std::uint64_t size = 0;
  std::int64_t modified = 0;     // seconds since the epoch
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

// An exclusive lock between processes, held through a lock file that the
// lock creates and that Unlock deletes. A process that dies loses its lock
// at once (the file may stay; the next holder takes it over).
enum class LockResult { kLocked, kBusy, kFailed };
class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Unlock(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Never waits: kBusy when another process (or another FileLock) holds it,
  // kFailed when the lock file cannot be created (a read-only folder).
  LockResult Lock(const std::string& path);
  // Deletes the lock file and releases the lock; nothing without one.
  void Unlock();
  bool held() const { return handle_ != -1; }

 private:
  std::intptr_t handle_ = -1;
  std::string path_;
};

// Broken-down local time of a moment, and back (mktime semantics).
std::tm LocalTime(std::int64_t moment);
std::int64_t FromLocalTime(std::tm local);

// The folder with links and "." / ".." resolved; the text itself when it
// cannot be resolved.
std::string Canonical(const std::string& path);

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
