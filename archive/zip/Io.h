// Buffered file access for the engine, with a seam through which tests make
// any open, read, write or rename fail (a full disk, a vanished file).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace zip {

enum class IoOp { kOpenRead, kRead, kOpenWrite, kWrite, kRename, kRemove, kSync, kLock, kList };

// Returns true to make the operation on that path fail. One process-wide
// hook; empty (no failures) by default. For tests.
using IoFaultHook = std::function<bool(IoOp op, const std::string& path)>;
void SetIoFaultHook(IoFaultHook hook);
bool IoShouldFail(IoOp op, const std::string& path);

// Renames, removes and flushes a folder through the fault seam.
bool RenameFile(const std::string& from, const std::string& to);
bool RemoveFile(const std::string& path);
bool SyncFolderOf(const std::string& path);  // the folder holding path
bool ListFolder(const std::string& path, std::vector<std::string>* names);

// A file read from the start or at given offsets. Throws zip::Error with a
// message naming the file on any failure.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::uint64_t size() const { return size_; }
  const std::string& path() const { return path_; }
  // Reads up to n bytes from the current position; returns the count (0 at
  // the end).
  size_t Read(void* data, size_t n);
  // Reads exactly n bytes at offset.
  void ReadAt(std::uint64_t offset, void* data, size_t n);

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  std::uint64_t size_ = 0;
  std::uint64_t position_ = 0;
};

// A file written sequentially through a buffer, with seek-back patching of
// bytes already written. Throws zip::Error naming the file on failure.
class OutputFile {
 public:
  // Creates or truncates path; failures name shownAs (default: path), so
  // that a temporary file is reported under the name the user knows.
  explicit OutputFile(const std::string& path, const std::string& shownAs = std::string());
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(const void* data, size_t n);
  // Overwrites bytes at an earlier offset.
  void Patch(std::uint64_t offset, const void* data, size_t n);
  std::uint64_t position() const { return position_; }
  // From now on, asks the system to start writing every `every` bytes to
  // the device as they are written, so that a durable Close waits little.
  void WriteBackEvery(std::uint64_t every) { writeBackEvery_ = every; }
  // Flushes, and with durable also forces the data down to the device;
  // throws when the data did not reach the file.
  void Close(bool durable = false);
  const std::string& path() const { return path_; }

 private:
  void Flush();
  std::string path_;
  std::string shownAs_;
  std::FILE* file_ = nullptr;
  std::vector<unsigned char> buffer_;
  std::uint64_t position_ = 0;
  std::uint64_t writeBackEvery_ = 0;
  std::uint64_t writtenBack_ = 0;  // bytes before this offset were handed on
};

}  // namespace zip
