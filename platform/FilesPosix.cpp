// File services on POSIX systems.
#ifndef _WIN32

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Files.h"
#include "platform/Utf8.h"

namespace platform {
namespace files {

Info Stat(const std::string& path) {
  Info info;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return info;
  info.exists = true;
  info.isFolder = S_ISDIR(st.st_mode);
  info.isFile = S_ISREG(st.st_mode);
  info.isLink = S_ISLNK(st.st_mode);
  info.size = static_cast<std::uint64_t>(st.st_size);
  info.modified = static_cast<std::int64_t>(st.st_mtime);
  std::uint32_t attrs = info.isFolder ? 0x10 : 0x20;
  if (!(st.st_mode & S_IWUSR)) attrs |= 0x01;
  info.dosAttributes = attrs;
  return info;
}

bool ListFolder(const std::string& path, std::vector<std::string>* names) {
  DIR* dir = ::opendir(path.c_str());
  if (!dir) return false;
  names->clear();
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name != "." && name != "..") names->push_back(name);
  }
  ::closedir(dir);
  return true;
}

std::FILE* Open(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool Seek(std::FILE* file, std::int64_t offset) {
  return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::int64_t Size(std::FILE* file) {
  struct stat st;
  if (::fstat(::fileno(file), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Remove(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return true;
  struct stat st;
  return ::lstat(path.c_str(), &st) != 0;
}

bool RemoveFolder(const std::string& path) { return ::rmdir(path.c_str()) == 0; }

bool Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool SetTimeAndAttributes(const std::string& path, std::int64_t modified,
                          std::uint32_t dosAttributes) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return false;
  mode_t mode = st.st_mode & 07777;
  if (dosAttributes & 0x01)
    mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else
    mode |= S_IWUSR;
  bool ok = ::chmod(path.c_str(), mode) == 0;
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(modified);
  times[0].tv_nsec = 0;
  times[1] = times[0];
  return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 && ok;
}

bool SyncFile(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0; }

void StartWriteback(std::FILE* file, std::int64_t offset, std::int64_t length) {
#ifdef __linux__
  if (std::fflush(file) == 0)
    ::sync_file_range(::fileno(file), static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
#else
  (void)file, (void)offset, (void)length;
#endif
}

bool SyncFolder(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

std::int64_t FreeSpace(const std::string& path) {
  struct statvfs vfs;
  if (::statvfs(path.c_str(), &vfs) != 0) return -1;
  return static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
}

namespace {

int FlockOperation(LockMode mode) {
  return (mode == LockMode::kShared ? LOCK_SH : LOCK_EX) | LOCK_NB;
}

// Whether the path names the file open at fd now (its holder may have
// deleted it between our open and our lock).
bool StillAtPath(int fd, const std::string& path) {
  struct stat held, now;
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
         held.st_ino == now.st_ino;
}

}  // namespace

LockResult FileLock::Lock(const std::string& path, LockMode mode) {
  Unlock();
  // A holder that lets go deletes the file after taking it exclusively for
  // a moment: the lock counts only when it is on the file now at the path,
  // and a busy answer is asked again a few times to ride out that moment.
  int busy = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    // No link is followed and nothing but a regular file is used: a lock
    // file planted as a link must not make us create or open its target,
    // and O_NONBLOCK keeps a planted FIFO from stalling the open.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0) {
      if (errno == ELOOP || errno == EISDIR || errno == ENXIO) return LockResult::kNotAFile;
      return LockResult::kFailed;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return LockResult::kNotAFile;
    }
    if (::flock(fd, FlockOperation(mode)) != 0) {
      int error = errno;
      bool moved = !StillAtPath(fd, path);
      ::close(fd);
      if (error != EWOULDBLOCK) return LockResult::kFailed;
      if (moved) continue;
      if (++busy > 3) return LockResult::kBusy;
      ::usleep(2000);
      continue;
    }
    if (StillAtPath(fd, path)) {
      handle_ = fd;
      path_ = path;
      mode_ = mode;
      return LockResult::kLocked;
    }
    ::close(fd);
  }
  return LockResult::kFailed;
}

bool FileLock::Change(LockMode mode) {
  if (handle_ == -1) return false;
  if (mode == mode_) return true;
  if (::flock(static_cast<int>(handle_), FlockOperation(mode)) != 0) {
    // flock may have dropped the old lock before refusing the new one.
    ::close(static_cast<int>(handle_));
    handle_ = -1;
    path_.clear();
    return false;
  }
  mode_ = mode;
  return true;
}

void FileLock::Unlock() {
  if (handle_ == -1) return;
  int fd = static_cast<int>(handle_);
  // Only a holder that is alone deletes the file: another reader may still
  // hold it, and its lock must stay on the file at the path.
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillAtPath(fd, path_)) ::unlink(path_.c_str());
  ::close(fd);
  handle_ = -1;
  path_.clear();
}

bool PinnedFile::Open(const std::string& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == EMFILE) {
    // A split set of a large key holds hundreds of volumes.
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
      limit.rlim_cur = limit.rlim_max;
      ::setrlimit(RLIMIT_NOFILE, &limit);
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
  }
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return true;
}

bool PinnedFile::StillAt(const std::string& path) const {
  return handle_ != -1 && StillAtPath(static_cast<int>(handle_), path);
}

void PinnedFile::Close() {
  if (handle_ == -1) return;
  ::close(static_cast<int>(handle_));
  handle_ = -1;
  size_ = 0;
}

bool PinnedFile::ReadAt(std::uint64_t offset, void* data, size_t n) const {
  if (handle_ == -1) return false;
  char* out = static_cast<char*>(data);
  while (n > 0) {
    ssize_t got = ::pread(static_cast<int>(handle_), out, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    n -= static_cast<size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
  return true;
}

std::tm LocalTime(std::int64_t moment) {
  std::tm out{};
  time_t t = static_cast<time_t>(moment);
  ::localtime_r(&t, &out);
  return out;
}

std::int64_t FromLocalTime(std::tm local) {
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&local));
}

std::string Canonical(const std::string& path) {
  char buffer[PATH_MAX];
  if (::realpath(path.c_str(), buffer)) return buffer;
  return path;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::wstring SystemToWide(const std::string& text) { return utf8::ToWide(text); }
std::string WideToSystem(const std::wstring& text) { return utf8::FromWide(text); }

bool WideToOem(const std::wstring&, std::string*) { return false; }
bool OemToWide(const std::string&, std::wstring*) { return false; }

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace files
}  // namespace platform

#endif
