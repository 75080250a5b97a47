// The Windows machine: the Win32 calls the product's own tools use.
#ifdef _WIN32

#include <windows.h>

#include <process.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Platform.h"

namespace platform {
namespace {

typedef BOOL(WINAPI* EnumProcessesFn)(DWORD*, DWORD, DWORD*);
typedef BOOL(WINAPI* EnumProcessModulesFn)(HANDLE, HMODULE*, DWORD, DWORD*);
typedef DWORD(WINAPI* GetModuleBaseNameFn)(HANDLE, HMODULE, LPSTR, DWORD);

std::string RootOf(const std::string& rootOrDrive) {
  if (rootOrDrive.size() < 2) return rootOrDrive;
  return rootOrDrive.substr(0, 2) + "\\";
}

class WindowsPlatform : public Platform {
 public:
  std::uint32_t LogicalDrives() override { return ::GetLogicalDrives(); }

  bool VolumeLabel(const std::string& root, std::string* label) override {
    char name[101] = {0};
    if (!::GetVolumeInformationA(RootOf(root).c_str(), name, 100, nullptr, nullptr, nullptr,
                                 nullptr, 0))
      return false;
    *label = name;
    return true;
  }

  unsigned DriveType(const std::string& root) override {
    return ::GetDriveTypeA(RootOf(root).c_str());
  }

  std::string DriveFolder(char letter) override {
    int i = (letter >= 'a' && letter <= 'z') ? letter - 'a' : letter - 'A';
    if (i < 0 || i > 25 || !(::GetLogicalDrives() & (1u << i))) return std::string();
    return std::string(1, static_cast<char>('A' + i)) + ":\\";
  }

  std::string DriveDescription(char letter) override {
    std::string label;
    VolumeLabel(std::string(1, letter) + ":\\", &label);
    return label;
  }

  bool IsProcessRunning(const std::string& exeName) override {
    HMODULE psapi = ::LoadLibraryA("psapi.dll");
    if (!psapi) return false;
    bool running = false;
    auto getBaseName = reinterpret_cast<GetModuleBaseNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(psapi, "GetModuleBaseNameA")));
    auto enumProcesses = reinterpret_cast<EnumProcessesFn>(
        reinterpret_cast<void*>(::GetProcAddress(psapi, "EnumProcesses")));
    DWORD ids[1024];
    DWORD bytes = 0;
    if (getBaseName && enumProcesses && enumProcesses(ids, sizeof(ids), &bytes)) {
      auto enumModules = reinterpret_cast<EnumProcessModulesFn>(
          reinterpret_cast<void*>(::GetProcAddress(psapi, "EnumProcessModules")));
      DWORD count = bytes / sizeof(DWORD);
      for (DWORD i = 0; enumModules && i < count && !running; ++i) {
        char name[MAX_PATH] = "unknown";
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
        if (!process) continue;
        HMODULE module;
        DWORD needed = 0;
        if (enumModules(process, &module, sizeof(HMODULE), &needed)) {
          getBaseName(process, module, name, MAX_PATH);
          if (std::strcmp(name, exeName.c_str()) == 0) running = true;
        }
        ::CloseHandle(process);
      }
    }
    ::FreeLibrary(psapi);
    return running;
  }

  StartResult StartProgram(const std::string& nativePath, const std::string& workDir) override {
    if (!workDir.empty()) ::SetCurrentDirectoryA(workDir.c_str());
    // The C library joins the arguments into one command line unquoted: a
    // path with a blank would reach the program as several arguments.
    std::string name = nativePath;
    if (name.find_first_of(" \t") != std::string::npos) name = "\"" + name + "\"";
    intptr_t result = _spawnlp(_P_NOWAIT, nativePath.c_str(), name.c_str(), nullptr);
    return result == -1 ? StartResult::kFailed : StartResult::kStarted;
  }

  bool CheckDisk(const std::string& chkdskCommandLine, const std::string&) override {
    // chkdsk's own answer is the user's to read in its window; only a
    // command interpreter that could not be run is a failure here.
    return RunCommand(chkdskCommandLine) != -1;
  }

  int RunCommand(const std::string& commandLine) override {
    // cmd /c drops the first and the last quote of a line that starts with
    // one: a quoted program followed by quoted arguments would lose its
    // quotes. One more pair around the whole line is what it drops instead.
    return std::system(("\"" + commandLine + "\"").c_str());
  }

  bool FlushDrive(const std::string& drive, std::string* error) override {
    if (drive.size() < 2 || drive[1] != ':') {
      if (error) *error = "invalid drive";
      return false;
    }
    // Flushing a whole volume takes administrator rights; without them the
    // writes stand as Windows keeps them, and removable drives are written
    // through (quick removal) unless the user chose otherwise.
    const std::string volume = "\\\\.\\" + drive.substr(0, 2);
    HANDLE handle =
        ::CreateFileA(volume.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD code = ::GetLastError();
      if (code == ERROR_ACCESS_DENIED) return true;
      if (error) *error = "error " + std::to_string(code);
      return false;
    }
    const bool ok = ::FlushFileBuffers(handle) != 0;
    if (!ok && error) *error = "error " + std::to_string(::GetLastError());
    ::CloseHandle(handle);
    return ok;
  }

  std::string LegacySystemRoot() override { return "C:\\"; }

  std::string ExecutablePath() override {
    char path[MAX_PATH] = {0};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
  }
};

}  // namespace

std::unique_ptr<Platform> CreateNative() { return std::make_unique<WindowsPlatform>(); }

}  // namespace platform

#endif  // _WIN32
