// File services on Windows: the wide API on UTF-8 paths.
#ifdef _WIN32

#include <windows.h>

#include <sys/stat.h>
#include <sys/types.h>
#include <sys/utime.h>
#include <io.h>
#include <process.h>

#include "platform/Utf8.h"
#include "platform/Files.h"

namespace platform {
namespace files {
namespace {

std::wstring W(const std::string& path) { return utf8::ToWide(path); }

std::wstring Convert(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

std::string Convert(UINT codePage, const std::wstring& text, bool* lossless) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  BOOL* flag = (codePage == CP_UTF8) ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, flag);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                      flag);
  if (lossless) *lossless = !usedDefault;
  return out;
}

std::int64_t FromFileTime(const FILETIME& ft) {
  ULARGE_INTEGER v;
  v.LowPart = ft.dwLowDateTime;
  v.HighPart = ft.dwHighDateTime;
  return static_cast<std::int64_t>(v.QuadPart / 10000000ULL) - 11644473600LL;
}

}  // namespace

Info Stat(const std::string& path) {
  Info info;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(W(path).c_str(), GetFileExInfoStandard, &data)) return info;
  info.exists = true;
  info.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  info.isFolder = !info.isLink && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.isFile = !info.isLink && !info.isFolder;
  info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  info.modified = FromFileTime(data.ftLastWriteTime);
  info.dosAttributes = data.dwFileAttributes & 0xFF;
  return info;
}

bool ListFolder(const std::string& path, std::vector<std::string>* names) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW((W(path) + L"\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return false;
  names->clear();
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names->push_back(utf8::FromWide(name));
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return true;
}

std::FILE* Open(const std::string& path, const char* mode) {
  std::wstring m(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(W(path).c_str(), m.c_str());
}

bool Seek(std::FILE* file, std::int64_t offset) { return _fseeki64(file, offset, SEEK_SET) == 0; }

std::int64_t Size(std::FILE* file) {
  struct _stat64 st;
  if (_fstat64(_fileno(file), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_size);
}

bool MakeFolder(const std::string& path) {
  if (CreateDirectoryW(W(path).c_str(), nullptr)) return true;
  Info info = Stat(path);
  return info.isFolder;
}

bool Remove(const std::string& path) {
  std::wstring w = W(path);
  SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
  return DeleteFileW(w.c_str()) || !Stat(path).exists;
}

bool RemoveFolder(const std::string& path) { return RemoveDirectoryW(W(path).c_str()) != 0; }

bool Rename(const std::string& from, const std::string& to) {
  std::wstring t = W(to);
  SetFileAttributesW(t.c_str(), FILE_ATTRIBUTE_NORMAL);
  return MoveFileExW(W(from).c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool SetTimeAndAttributes(const std::string& path, std::int64_t modified,
                          std::uint32_t dosAttributes) {
  std::wstring w = W(path);
  SetFileAttributesW(w.c_str(), FILE_ATTRIBUTE_NORMAL);
  bool ok = false;
  HANDLE h = CreateFileW(w.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    ULARGE_INTEGER v;
    v.QuadPart = static_cast<ULONGLONG>(modified + 11644473600LL) * 10000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = v.LowPart;
    ft.dwHighDateTime = v.HighPart;
    ok = SetFileTime(h, nullptr, nullptr, &ft) != 0;
    CloseHandle(h);
  }
  DWORD attrs = dosAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                 FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  return SetFileAttributesW(w.c_str(), attrs ? attrs : FILE_ATTRIBUTE_NORMAL) && ok;
}

bool SyncFile(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) != 0;
}

// A hint only; Windows starts writing cached data on its own.
void StartWriteback(std::FILE*, std::int64_t, std::int64_t) {}

// Windows has no flush for a folder; renames are written through instead.
bool SyncFolder(const std::string&) { return true; }

std::int64_t FreeSpace(const std::string& path) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(W(path).c_str(), &available, nullptr, nullptr)) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

LockResult FileLock::Lock(const std::string& path) {
  Unlock();
  // Opened without sharing: the open itself is the lock, and the system
  // deletes the file when its handle closes, also when the process dies.
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? LockResult::kBusy
                                                                           : LockResult::kFailed;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  path_ = path;
  return LockResult::kLocked;
}

void FileLock::Unlock() {
  if (handle_ == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  path_.clear();
}

std::tm LocalTime(std::int64_t moment) {
  std::tm out{};
  __time64_t t = moment;
  _localtime64_s(&out, &t);
  return out;
}

std::int64_t FromLocalTime(std::tm local) {
  local.tm_isdst = -1;
  return static_cast<std::int64_t>(_mktime64(&local));
}

std::string Canonical(const std::string& path) {
  std::wstring w = W(path);
  wchar_t buffer[4096];
  DWORD n = GetFullPathNameW(w.c_str(), 4096, buffer, nullptr);
  if (n == 0 || n >= 4096) return path;
  return utf8::FromWide(std::wstring(buffer, n));
}

std::wstring SystemToWide(const std::string& text) { return Convert(CP_ACP, text); }
std::string WideToSystem(const std::wstring& text) { return Convert(CP_ACP, text, nullptr); }

bool WideToOem(const std::wstring& text, std::string* oem) {
  *oem = Convert(CP_OEMCP, text, nullptr);
  return true;
}

bool OemToWide(const std::string& oem, std::wstring* text) {
  *text = Convert(CP_OEMCP, oem);
  return true;
}

unsigned long ProcessId() { return static_cast<unsigned long>(_getpid()); }

}  // namespace files
}  // namespace platform

#endif
