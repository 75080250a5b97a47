#include "archive/zip/Io.h"

#include <cstring>
#include <mutex>

#include "archive/zip/Error.h"
#include "platform/Files.h"

namespace zip {
namespace {

std::mutex& HookLock() {
  static std::mutex lock;
  return lock;
}

IoFaultHook& Hook() {
  static IoFaultHook hook;
  return hook;
}

constexpr size_t kOutputBuffer = 1 << 20;

}  // namespace

void SetIoFaultHook(IoFaultHook hook) {
  std::lock_guard<std::mutex> hold(HookLock());
  Hook() = std::move(hook);
}

bool IoShouldFail(IoOp op, const std::string& path) {
  IoFaultHook hook;
  {
    std::lock_guard<std::mutex> hold(HookLock());
    hook = Hook();
  }
  return hook && hook(op, path);
}

bool RenameFile(const std::string& from, const std::string& to) {
  if (IoShouldFail(IoOp::kRename, from)) return false;
  return platform::files::Rename(from, to);
}

bool RemoveFile(const std::string& path) {
  if (IoShouldFail(IoOp::kRemove, path)) return false;
  return platform::files::Remove(path);
}

bool ListFolder(const std::string& path, std::vector<std::string>* names) {
  if (IoShouldFail(IoOp::kList, path)) return false;
  return platform::files::ListFolder(path, names);
}

bool SyncFolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (IoShouldFail(IoOp::kSync, folder)) return false;
  return platform::files::SyncFolder(folder);
}

InputFile::InputFile(const std::string& path) : path_(path) {
  if (!IoShouldFail(IoOp::kOpenRead, path)) file_ = platform::files::Open(path, "rb");
  if (!file_) throw Error(Reason::kCannotRead, {path}, "Cannot open " + path);
  std::int64_t size = platform::files::Size(file_);
  if (size < 0) {
    std::fclose(file_);
    throw Error(Reason::kCannotRead, {path}, "Cannot read " + path);
  }
  size_ = static_cast<std::uint64_t>(size);
}

InputFile::~InputFile() {
  if (file_) std::fclose(file_);
}

size_t InputFile::Read(void* data, size_t n) {
  if (IoShouldFail(IoOp::kRead, path_))
    throw Error(Reason::kCannotRead, {path_}, "Cannot read " + path_);
  size_t got = std::fread(data, 1, n, file_);
  if (got < n && std::ferror(file_))
    throw Error(Reason::kCannotRead, {path_}, "Cannot read " + path_);
  position_ += got;
  return got;
}

void InputFile::ReadAt(std::uint64_t offset, void* data, size_t n) {
  if (offset > size_ || n > size_ - offset)
    throw Error(Reason::kCannotRead, {path_}, "Unexpected end of " + path_);
  if (offset != position_) {
    if (!platform::files::Seek(file_, static_cast<std::int64_t>(offset)))
      throw Error(Reason::kCannotRead, {path_}, "Cannot read " + path_);
    position_ = offset;
  }
  if (Read(data, n) != n) throw Error(Reason::kCannotRead, {path_}, "Unexpected end of " + path_);
}

OutputFile::OutputFile(const std::string& path, const std::string& shownAs)
    : path_(path), shownAs_(shownAs.empty() ? path : shownAs) {
  if (!IoShouldFail(IoOp::kOpenWrite, path)) file_ = platform::files::Open(path, "w+b");
  if (!file_) throw Error(Reason::kCannotCreate, {shownAs_}, "Cannot create " + shownAs_);
  buffer_.reserve(kOutputBuffer);
}

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
}

void OutputFile::Flush() {
  if (buffer_.empty()) return;
  if (IoShouldFail(IoOp::kWrite, path_) ||
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
    throw Error(Reason::kCannotWrite, {shownAs_}, "Cannot write " + shownAs_ + " (disk full?)");
  buffer_.clear();
  if (writeBackEvery_ && position_ - writtenBack_ >= writeBackEvery_) {
    platform::files::StartWriteback(file_, static_cast<std::int64_t>(writtenBack_),
                                    static_cast<std::int64_t>(position_ - writtenBack_));
    writtenBack_ = position_;
  }
}

void OutputFile::Write(const void* data, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  if (n >= kOutputBuffer) {
    // A large block goes to the file as it is, without a copy.
    Flush();
    if (IoShouldFail(IoOp::kWrite, path_) || std::fwrite(p, 1, n, file_) != n)
      throw Error(Reason::kCannotWrite, {shownAs_}, "Cannot write " + shownAs_ + " (disk full?)");
    position_ += n;
    return;
  }
  while (n > 0) {
    size_t room = kOutputBuffer - buffer_.size();
    size_t take = n < room ? n : room;
    buffer_.insert(buffer_.end(), p, p + take);
    p += take;
    n -= take;
    position_ += take;
    if (buffer_.size() == kOutputBuffer) Flush();
  }
}

void OutputFile::Patch(std::uint64_t offset, const void* data, size_t n) {
  std::uint64_t flushed = position_ - buffer_.size();
  if (offset >= flushed) {
    std::memcpy(buffer_.data() + (offset - flushed), data, n);
    return;
  }
  Flush();
  if (!platform::files::Seek(file_, static_cast<std::int64_t>(offset)) ||
      std::fwrite(data, 1, n, file_) != n ||
      !platform::files::Seek(file_, static_cast<std::int64_t>(position_)))
    throw Error(Reason::kCannotWrite, {shownAs_}, "Cannot write " + shownAs_);
}

void OutputFile::Close(bool durable) {
  if (!file_) return;
  Flush();
  std::FILE* f = file_;
  file_ = nullptr;
  bool synced = !durable || (!IoShouldFail(IoOp::kSync, path_) && platform::files::SyncFile(f));
  if (std::fclose(f) != 0 || !synced)
    throw Error(Reason::kCannotWrite, {shownAs_}, "Cannot write " + shownAs_ + " (disk full?)");
}

}  // namespace zip
