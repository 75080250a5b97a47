// The Linux machine: drives are the mounted file systems.
#ifndef _WIN32

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#ifdef QUOR_WITH_BLKID
#include <blkid/blkid.h>
#endif

#include "platform/LinuxMounts.h"
#include "platform/LinuxPlatform.h"

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

// The block device a mount lives on: the number mountinfo gives, or, for
// file systems that report an anonymous number (FUSE, btrfs), the device
// their source names. False when it is on no block device.
bool BlockDeviceOf(const MountedDrive& d, unsigned* major_, unsigned* minor_) {
  if (d.major != 0) {
    *major_ = d.major;
    *minor_ = d.minor;
    return true;
  }
  struct stat st;
  if (d.source.empty() || d.source[0] != '/' || stat(d.source.c_str(), &st) != 0 ||
      !S_ISBLK(st.st_mode))
    return false;
  *major_ = major(st.st_rdev);
  *minor_ = minor(st.st_rdev);
  return true;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && path[0] == '/' && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

#ifdef QUOR_WITH_BLKID
// The label written in the file system on a device or image file; false
// when it cannot be read (no rights, not a file system blkid knows).
bool LabelFromDevice(const std::string& path, std::string* label) {
  blkid_probe probe = blkid_new_probe_from_filename(path.c_str());
  if (!probe) return false;
  blkid_probe_enable_superblocks(probe, 1);
  blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_TYPE);
  bool found = false;
  if (blkid_do_safeprobe(probe) == 0) {
    const char* value = nullptr;
    size_t length = 0;
    found = true;
    if (blkid_probe_lookup_value(probe, "LABEL", &value, &length) == 0 && value) {
      *label = std::string(value, strnlen(value, length));
    } else {
      label->clear();
    }
  }
  blkid_free_probe(probe);
  return found;
}
#endif

class LinuxPlatform : public Platform {
 public:
  explicit LinuxPlatform(LinuxSystem system) : system_(std::move(system)) {}

  std::uint32_t LogicalDrives() override {
    std::uint32_t mask = 0;
    for (const MountedDrive& d : Drives()) mask |= 1u << (d.letter - 'A');
    return mask;
  }

  bool VolumeLabel(const std::string& root, std::string* label) override {
    MountedDrive d;
    return Find(root, &d) && LabelOf(d, label);
  }

  unsigned DriveType(const std::string& root) override {
    MountedDrive d;
    if (!Find(root, &d)) return kDriveNoRootDir;
    bool removable = false;
    unsigned major_ = 0, minor_ = 0;
    if (BlockDeviceOf(d, &major_, &minor_)) {
      removable = IsRemovableBlockDevice(system_.sysRoot, major_, minor_);
    } else if (IsFuse(d.fsType)) {
      removable = IsRegularFile(d.source);  // an image: like a loop device
    }
    return DriveTypeFor(d.fsType, removable);
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
    if (LabelOf(d, &label) && !label.empty()) return label + " (" + d.mountPoint + ")";
    return "(" + d.mountPoint + ")";
  }

  bool FlushDrive(const std::string& drive, std::string* error) override {
    MountedDrive d;
    if (!Find(drive, &d)) {
      if (error) *error = std::strerror(ENODEV);
      return false;
    }
    const int folder = open(d.mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
      if (error) *error = std::strerror(errno);
      return false;
    }
    // syncfs also reports a write that failed earlier on this file system.
    const bool ok = syncfs(folder) == 0;
    if (!ok && error) *error = std::strerror(errno);
    close(folder);
    return ok;
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
    // A FUSE driver has no device of its own to unmount; its mount goes.
    const std::string unmount =
        IsFuse(d.fsType)
            ? std::string(geteuid() == 0 ? "umount " : "fusermount -u ") + ShellQuote(d.mountPoint)
            : "udisksctl unmount -b " + device;
    {
      // udisks may mount it again elsewhere: the key's letter goes with it.
      std::lock_guard<std::mutex> lock(mutex_);
      letters_.FollowDevice(d.letter);
    }
    if (RunCommand(unmount + " >/dev/null 2>&1") != 0) return false;
    const std::string fsck = std::string(geteuid() == 0 ? "" : "pkexec ") + "fsck -V " + device;
    const std::string inTerminal = fsck + "; echo; echo 'Premere Invio per chiudere.'; read answer";
    RunCommand("x-terminal-emulator -e sh -c " + ShellQuote(inTerminal));
    RunCommand("udisksctl mount -b " + device + " >/dev/null 2>&1");
    return true;
  }

  int RunCommand(const std::string& commandLine) override {
    if (system_.runCommand) return system_.runCommand(commandLine);
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
  std::vector<MountedDrive> Drives() {
    std::vector<MountedDrive> mounts = DriveMounts(ReadWholeFile(system_.mountInfo));
    // A FUSE mount of a device is told apart by that device, so that its
    // letter can follow the device when it is mounted again.
    for (MountedDrive& m : mounts) {
      unsigned major_ = 0, minor_ = 0;
      if (m.major == 0 && BlockDeviceOf(m, &major_, &minor_)) {
        m.major = major_;
        m.minor = minor_;
      }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return letters_.Assign(std::move(mounts));
  }

  bool Find(const std::string& rootOrLetter, MountedDrive* out) {
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

  // udev's record of the device, then the device itself, then by-label.
  bool LabelOf(const MountedDrive& d, std::string* label) {
    unsigned major_ = 0, minor_ = 0;
    const bool onDevice = BlockDeviceOf(d, &major_, &minor_);
    if (onDevice) {
      const std::string record = ReadWholeFile(system_.udevData + "/b" + std::to_string(major_) +
                                               ":" + std::to_string(minor_));
      if (LabelFromUdevRecord(record, label)) return true;
    }
    std::string node;
    if (!d.source.empty() && d.source[0] == '/') {
      struct stat st;
      if (stat(d.source.c_str(), &st) == 0 && (S_ISBLK(st.st_mode) || S_ISREG(st.st_mode)))
        node = d.source;
    }
#ifdef QUOR_WITH_BLKID
    if (!node.empty() && LabelFromDevice(node, label)) return true;
#endif
    if (node.empty()) return false;
    const std::string device = RealPath(node);
    DIR* dir = opendir(system_.byLabel.c_str());
    if (!dir) return false;
    bool found = false;
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      if (RealPath(system_.byLabel + "/" + name) == device) {
        *label = UnescapeUdevLabel(name);
        found = true;
        break;
      }
    }
    closedir(dir);
    return found;
  }

  static std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
      if (c == '\'')
        out += "'\\''";
      else
        out += c;
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
  static int Spawn(const std::vector<std::string>& args, const std::string& workDir, bool wait) {
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

  const LinuxSystem system_;
  std::mutex mutex_;  // the letters: the worker thread reaches them too
  DriveLetters letters_;
};

}  // namespace

std::unique_ptr<Platform> CreateLinux(LinuxSystem system) {
  return std::make_unique<LinuxPlatform>(std::move(system));
}

std::unique_ptr<Platform> CreateNative() { return CreateLinux(LinuxSystem()); }

}  // namespace platform

#endif  // !_WIN32
