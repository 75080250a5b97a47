// File services on Windows: the wide API on UTF-8 paths.
#ifdef _WIN32

#include <windows.h>

#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/utime.h>

#include "platform/Files.h"
#include "platform/Utf8.h"

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
  return MoveFileExW(W(from).c_str(), t.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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

namespace {

bool LockRange(HANDLE h, LockMode mode) {
  OVERLAPPED at{};
  DWORD flags =
      LOCKFILE_FAIL_IMMEDIATELY | (mode == LockMode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  return LockFileEx(h, flags, 0, 1, 0, &at) != 0;
}

void UnlockRange(HANDLE h) {
  OVERLAPPED at{};
  UnlockFileEx(h, 0, 1, 0, &at);
}

constexpr DWORD kNotPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;

}  // namespace

LockResult FileLock::Lock(const std::string& path, LockMode mode) {
  Unlock();
  const std::wstring w = W(path);
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (attempt > 0) Sleep(2);
    // Shared fully: the byte-range lock is the lock, so that readers can
    // hold it together. A reparse point is opened as itself, never followed.
    HANDLE h =
        CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      DWORD error = GetLastError();
      DWORD attributes = GetFileAttributesW(w.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotPlain))
        return LockResult::kNotAFile;
      // A file whose deletion is pending refuses every open: its last
      // holder is letting go of it this moment.
      if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES) continue;
      return LockResult::kFailed;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info) || (info.dwFileAttributes & kNotPlain)) {
      CloseHandle(h);
      return LockResult::kNotAFile;
    }
    if (!LockRange(h, mode)) {
      DWORD error = GetLastError();
      CloseHandle(h);
      if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION) continue;
      return LockResult::kFailed;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
    path_ = path;
    mode_ = mode;
    return LockResult::kLocked;
  }
  return LockResult::kBusy;
}

bool FileLock::Change(LockMode mode) {
  if (handle_ == -1) return false;
  if (mode == mode_) return true;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  UnlockRange(h);
  if (!LockRange(h, mode)) {
    CloseHandle(h);
    handle_ = -1;
    path_.clear();
    return false;
  }
  mode_ = mode;
  return true;
}

void FileLock::Unlock() {
  if (handle_ == -1) return;
  HANDLE h = reinterpret_cast<HANDLE>(handle_);
  // Only a holder that is alone deletes the file; the deletion takes
  // effect when the last handle on it closes.
  bool alone = mode_ == LockMode::kExclusive;
  if (!alone) {
    UnlockRange(h);
    alone = LockRange(h, LockMode::kExclusive);
  }
  if (alone) {
    FILE_DISPOSITION_INFO disposition;
    disposition.DeleteFile = TRUE;
    SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition);
  }
  CloseHandle(h);
  handle_ = -1;
  path_.clear();
}

bool PinnedFile::Open(const std::string& path) {
  Close();
  // No delete sharing: nobody renames or deletes the file while it is held.
  HANDLE h = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(h, &size)) {
    CloseHandle(h);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

bool PinnedFile::StillAt(const std::string&) const { return handle_ != -1; }

void PinnedFile::Close() {
  if (handle_ == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  size_ = 0;
}

bool PinnedFile::ReadAt(std::uint64_t offset, void* data, size_t n) const {
  if (handle_ == -1) return false;
  char* out = static_cast<char*>(data);
  while (n > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n), got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), out, want, &got, &at) || got == 0)
      return false;
    out += got;
    n -= got;
    offset += got;
  }
  return true;
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

// By hand rather than std::filesystem::equivalent: the C runtime's stat
// that it asks first knows neither "E:" nor a trailing separator.
bool SameFile(const std::string& a, const std::string& b) {
  auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    HANDLE h =
        CreateFileW(W(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const bool ok = GetFileInformationByHandle(h, info) != 0;
    CloseHandle(h);
    return ok;
  };
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return identify(a, &ia) && identify(b, &ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

std::wstring SystemToWide(const std::string& text) { return Convert(CP_ACP, text); }
std::string WideToSystem(const std::wstring& text) { return Convert(CP_ACP, text, nullptr); }

bool WideToOem(const std::wstring& text, std::string* oem) {
  // A character the code page lacks becomes '_', as with the CP850 table
  // elsewhere: not '?', which no Windows file name may hold, and never a
  // "best fit" look-alike, which turns a fullwidth solidus into '/' and so
  // gives tools that read only this name a path to another folder.
  oem->clear();
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  int n = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, "_",
                              nullptr);
  oem->resize(static_cast<size_t>(n));
  WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text.data(), length, &(*oem)[0], n, "_",
                      nullptr);
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
