#include "archive/zip/FileIo.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "archive/zip/ZipError.h"

namespace zip {
namespace {

std::string Reason() {
  int e = errno;
  return e ? std::string(": ") + std::strerror(e) : std::string();
}

class StdInput : public InputFile {
 public:
  explicit StdInput(const std::string& path) {
    path_ = path;
    errno = 0;
    if (!buf_.open(std::filesystem::u8path(path), std::ios::in | std::ios::binary))
      throw ZipError("cannot open " + path + Reason());
    auto end = buf_.pubseekoff(0, std::ios::end, std::ios::in);
    if (end == std::streampos(-1)) throw ZipError("cannot read " + path + Reason());
    size_ = (std::uint64_t)(std::streamoff)end;
    buf_.pubseekpos(0, std::ios::in);
  }
  std::size_t read(void* data, std::size_t n) override {
    errno = 0;
    std::streamsize got = buf_.sgetn((char*)data, (std::streamsize)n);
    if (got < 0) throw ZipError("cannot read " + path_ + Reason());
    if (got == 0 && n > 0 && errno != 0) throw ZipError("cannot read " + path_ + Reason());
    return (std::size_t)got;
  }
  void seek(std::uint64_t offset) override {
    if (buf_.pubseekpos((std::streamoff)offset, std::ios::in) == std::streampos(-1))
      throw ZipError("cannot seek in " + path_);
  }
  std::uint64_t size() override { return size_; }

 private:
  std::filebuf buf_;
  std::uint64_t size_ = 0;
};

class StdOutput : public OutputFile {
 public:
  StdOutput(const std::string& path, bool truncate) {
    path_ = path;
    errno = 0;
    auto mode = std::ios::out | std::ios::binary;
    if (!truncate) mode |= std::ios::in;
    else mode |= std::ios::trunc;
    if (!buf_.open(std::filesystem::u8path(path), mode))
      throw ZipError("cannot create " + path + Reason());
    buf_.pubseekoff(0, std::ios::end, std::ios::out);
  }
  ~StdOutput() override {
    if (buf_.is_open()) buf_.close();
  }
  void write(const void* data, std::size_t n) override {
    errno = 0;
    if (buf_.sputn((const char*)data, (std::streamsize)n) != (std::streamsize)n)
      throw ZipError("cannot write " + path_ + Reason());
  }
  void patch(std::uint64_t offset, const void* data, std::size_t n) override {
    if (buf_.pubseekpos((std::streamoff)offset, std::ios::out) == std::streampos(-1))
      throw ZipError("cannot seek in " + path_);
    write(data, n);
    buf_.pubseekoff(0, std::ios::end, std::ios::out);
  }
  void close() override {
    errno = 0;
    if (buf_.pubsync() != 0 || !buf_.close())
      throw ZipError("cannot write " + path_ + Reason());
  }

 private:
  std::filebuf buf_;
};

}  // namespace

std::unique_ptr<InputFile> FileIo::openRead(const std::string& path) {
  return std::make_unique<StdInput>(path);
}
std::unique_ptr<OutputFile> FileIo::create(const std::string& path) {
  return std::make_unique<StdOutput>(path, true);
}
std::unique_ptr<OutputFile> FileIo::openForPatch(const std::string& path) {
  return std::make_unique<StdOutput>(path, false);
}

FileIo& FileIo::standard() {
  static FileIo io;
  return io;
}

}  // namespace zip
