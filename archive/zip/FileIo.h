// The engine's file access, behind an interface so that tests can make a
// disk fill up or a file vanish at a chosen moment. Every failure throws
// ZipError with a message naming the file. Paths are UTF-8 native paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace zip {

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to n bytes; returns how many (0 only at the end of the file).
  virtual std::size_t read(void* data, std::size_t n) = 0;
  virtual void seek(std::uint64_t offset) = 0;
  virtual std::uint64_t size() = 0;
  const std::string& path() const { return path_; }

 protected:
  std::string path_;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all n bytes or throws.
  virtual void write(const void* data, std::size_t n) = 0;
  // Overwrites bytes at an earlier offset; the write position afterwards is
  // the end of the file again.
  virtual void patch(std::uint64_t offset, const void* data, std::size_t n) = 0;
  // Flushes and closes; throws when the data did not reach the disk.
  virtual void close() = 0;
  const std::string& path() const { return path_; }

 protected:
  std::string path_;
};

class FileIo {
 public:
  virtual ~FileIo() = default;
  virtual std::unique_ptr<InputFile> openRead(const std::string& path);
  // Creates or truncates.
  virtual std::unique_ptr<OutputFile> create(const std::string& path);
  // Opens an existing file to patch bytes in it.
  virtual std::unique_ptr<OutputFile> openForPatch(const std::string& path);

  // The real file system.
  static FileIo& standard();
};

}  // namespace zip
