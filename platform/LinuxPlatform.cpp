// The Linux machine: drives are the mounted file systems.
#ifndef _WIN32

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/LinuxMounts.h"
#include "platform/Platform.h"


namespace platform {
namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string RealPath(const std::string& path) {
  char buffer[PATH_MAX];
  if (!realpath(path.c_str(), buffer)) return path;
  return buffer;
}

// Whether the block device (or the disk it is a partition of) is removable:
// its removable flag, or a device path that runs over USB.
bool IsRemovableDevice(const std::string& device) {
  struct stat st;
  if (stat(device.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) return false;
  std::string sys = "/sys/dev/block/" + std::to_string(major(st.st_rdev)) + ":" +
                    std::to_string(minor(st.st_rdev));
  std::string real = RealPath(sys);
  if (real.find("/usb") != std::string::npos) return true;
  for (const std::string& candidate : {real + "/removable", real + "/../removable"}) {
    std::string flag = ReadWholeFile(candidate);
    if (!flag.empty()) return flag[0] == '1';
  }
  return false;
}

class LinuxPlatform : public Platform {
 public:
  std::uint32_t LogicalDrives() override {
    std::uint32_t mask = 0;
    for (const MountedDrive& d : Drives()) mask |= 1u << (d.letter - 'A');
    return mask;
  }

  bool VolumeLabel(const std::string& root, std::string* label) override {
    MountedDrive d;
    if (!Find(root, &d)) return false;
    std::string device = RealPath(d.source);
    DIR* dir = opendir("/dev/disk/by-label");
    if (!dir) return false;
    bool found = false;
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      if (RealPath("/dev/disk/by-label/" + name) == device) {
        *label = UnescapeUdevLabel(name);
        found = true;
        break;
      }
    }
    closedir(dir);
    return found;
  }

  unsigned DriveType(const std::string& root) override {
    MountedDrive d;
    if (!Find(root, &d)) return kDriveNoRootDir;
    return DriveTypeFor(d.fsType, IsRemovableDevice(d.source));
  }

  std::string DriveFolder(char letter) override {
    MountedDrive d;
    if (!Find(std::string(1, letter), &d)) return std::string();
    return d.mountPoint;
  }

  std::string DriveDescription(char letter) override {
    MountedDrive d;
    if (!Find(std::string(1, letter), &d)) return std::string();
    std::string label;
    std::string root = std::string(1, d.letter) + ":\\";
    if (VolumeLabel(root, &label) && !label.empty()) return label + " (" + d.mountPoint + ")";
    return "(" + d.mountPoint + ")";
  }

  bool IsProcessRunning(const std::string& exeName) override {
    DIR* dir = opendir("/proc");
    if (!dir) return false;
    bool running = false;
    while (dirent* e = readdir(dir)) {
      if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
      std::string cmdline = ReadWholeFile(std::string("/proc/") + e->d_name + "/cmdline");
      std::string first = cmdline.substr(0, cmdline.find('\0'));
      size_t cut = first.find_last_of("/\\");
      std::string base = cut == std::string::npos ? first : first.substr(cut + 1);
      if (!base.empty() && base == exeName) {
        running = true;
        break;
      }
    }
    closedir(dir);
    return running;
  }

  StartResult StartProgram(const std::string& nativePath, const std::string& workDir) override {
    std::string lower = nativePath;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto endsWith = [&](const std::string& e) {
      return lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0;
    };
    std::vector<std::string> argv = {nativePath};
    if (endsWith(".exe") || endsWith(".bat") || endsWith(".cmd")) {
      // The product and its service packs are Windows programs.
      std::string wine = FindOnPath("wine");
      if (wine.empty()) return StartResult::kNoInterpreter;
      argv = endsWith(".exe") ? std::vector<std::string>{wine, nativePath}
                              : std::vector<std::string>{wine, "cmd", "/c", nativePath};
    }
    return Spawn(argv, workDir, false) >= 0 ? StartResult::kStarted : StartResult::kFailed;
  }

  bool CheckDisk(const std::string&, const std::string& drive) override {
    MountedDrive d;
    if (!Find(drive, &d) || d.source.rfind("/dev/", 0) != 0 || d.mountPoint == "/") return false;
    const std::string device = ShellQuote(d.source);
    if (RunCommand("udisksctl unmount -b " + device + " >/dev/null 2>&1") != 0) return false;
    const std::string fsck = std::string(geteuid() == 0 ? "" : "pkexec ") + "fsck -V " + device;
    const std::string inTerminal =
        fsck + "; echo; echo 'Premere Invio per chiudere.'; read answer";
    RunCommand("x-terminal-emulator -e sh -c " + ShellQuote(inTerminal));
    RunCommand("udisksctl mount -b " + device + " >/dev/null 2>&1");
    return true;
  }

  int RunCommand(const std::string& commandLine) override {
    return Spawn({"/bin/sh", "-c", commandLine}, std::string(), true);
  }

  std::string LegacySystemRoot() override {
    const char* prefix = std::getenv("WINEPREFIX");
    std::string base;
    if (prefix && *prefix) {
      base = prefix;
    } else {
      const char* home = std::getenv("HOME");
      if (!home) return std::string();
      base = std::string(home) + "/.wine";
    }
    return base + "/drive_c";
  }

  std::string ExecutablePath() override { return RealPath("/proc/self/exe"); }

 private:
  static std::vector<MountedDrive> Drives() {
    return DrivesFromMountInfo(ReadWholeFile("/proc/self/mountinfo"));
  }

  static bool Find(const std::string& rootOrLetter, MountedDrive* out) {
    if (rootOrLetter.empty()) return false;
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rootOrLetter[0])));
    for (const MountedDrive& d : Drives()) {
      if (d.letter == letter) {
        *out = d;
        return true;
      }
    }
    return false;
  }

  static std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
      if (c == '\'') out += "'\\''";
      else out += c;
    }
    return out + "'";
  }

  static std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return std::string();
    std::istringstream in(path);
    std::string dir;
    while (std::getline(in, dir, ':')) {
      std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
      if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::string();
  }

  // Starts argv; waits for it when wait is set and returns its exit code,
  // otherwise returns its pid. -1 when it could not be started.
  static int Spawn(const std::vector<std::string>& args, const std::string& workDir,
                   bool wait) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
      if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(127);
      if (!wait) setsid();
      execvp(argv[0], argv.data());
      _exit(127);
    }
    if (!wait) return pid;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

}  // namespace

std::unique_ptr<Platform> CreateNative() { return std::make_unique<LinuxPlatform>(); }

}  // namespace platform

#endif  // !_WIN32
