#include "platform/FileSystem.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <system_error>

namespace platform {

#ifdef _WIN32

namespace {
std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
  std::wstring w(n, L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &w[0], n);
  return w;
}
std::int64_t FromFileTime(const FILETIME& ft) {
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  return (std::int64_t)(u.QuadPart / 10000000ULL) - 11644473600LL;
}
}  // namespace

bool GetDosAttributes(const std::string& path, unsigned* attributes) {
  DWORD a = ::GetFileAttributesW(Wide(path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = a & 0xFFFF;
  return true;
}

bool SetDosAttributes(const std::string& path, unsigned attributes) {
  DWORD a = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                          FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  return ::SetFileAttributesW(Wide(path).c_str(), a ? a : FILE_ATTRIBUTE_NORMAL) != 0;
}

bool GetModificationTime(const std::string& path, std::int64_t* seconds) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return false;
  *seconds = FromFileTime(data.ftLastWriteTime);
  return true;
}

bool SetModificationTime(const std::string& path, std::int64_t seconds) {
  HANDLE h = ::CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ULARGE_INTEGER u;
  u.QuadPart = (ULONGLONG)(seconds + 11644473600LL) * 10000000ULL;
  FILETIME ft;
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  BOOL ok = ::SetFileTime(h, nullptr, nullptr, &ft);
  ::CloseHandle(h);
  return ok != 0;
}

void MakeWritable(const std::string& path) {
  std::wstring w = Wide(path);
  DWORD a = ::GetFileAttributesW(w.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesW(w.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
}

std::tm LocalTime(std::time_t t) {
  std::tm out{};
  localtime_s(&out, &t);
  return out;
}

bool SystemOemFromUtf8(const std::string& utf8, std::string* oem, bool* exact) {
  std::wstring w = Wide(utf8);
  BOOL usedDefault = FALSE;
  int n = ::WideCharToMultiByte(CP_OEMCP, 0, w.data(), (int)w.size(), nullptr, 0, nullptr,
                                &usedDefault);
  std::string out(n, '\0');
  if (n) ::WideCharToMultiByte(CP_OEMCP, 0, w.data(), (int)w.size(), &out[0], n, nullptr,
                               &usedDefault);
  *oem = out;
  *exact = !usedDefault;
  return true;
}

bool SystemOemToUtf8(const std::string& oem, std::string* utf8) {
  int n = ::MultiByteToWideChar(CP_OEMCP, 0, oem.data(), (int)oem.size(), nullptr, 0);
  std::wstring w(n, L'\0');
  if (n) ::MultiByteToWideChar(CP_OEMCP, 0, oem.data(), (int)oem.size(), &w[0], n);
  int m = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string out(m, '\0');
  if (m) ::WideCharToMultiByte(CP_UTF8, 0, w.data(), (int)w.size(), &out[0], m, nullptr, nullptr);
  *utf8 = out;
  return true;
}

#else

bool GetDosAttributes(const std::string& path, unsigned* attributes) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return false;
  unsigned a = 0;
  if (S_ISDIR(st.st_mode)) a |= kAttrDirectory; else a |= kAttrArchive;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) a |= kAttrReadOnly;
  std::string::size_type slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() > 1 && name[0] == '.' && name != "..") a |= kAttrHidden;
  *attributes = a;
  return true;
}

bool SetDosAttributes(const std::string& path, unsigned attributes) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  mode_t mode = st.st_mode & 07777;
  if (attributes & kAttrReadOnly) {
    mode &= ~(mode_t)(S_IWUSR | S_IWGRP | S_IWOTH);
  } else if ((mode & S_IWUSR) == 0) {
    mode |= S_IWUSR;
  }
  return ::chmod(path.c_str(), mode) == 0;
}

bool GetModificationTime(const std::string& path, std::int64_t* seconds) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  *seconds = (std::int64_t)st.st_mtime;
  return true;
}

bool SetModificationTime(const std::string& path, std::int64_t seconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = (time_t)seconds;
  times[1].tv_nsec = 0;
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

void MakeWritable(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0)
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
}

std::tm LocalTime(std::time_t t) {
  std::tm out{};
  ::localtime_r(&t, &out);
  return out;
}

bool SystemOemFromUtf8(const std::string&, std::string*, bool*) { return false; }
bool SystemOemToUtf8(const std::string&, std::string*) { return false; }

#endif

}  // namespace platform
