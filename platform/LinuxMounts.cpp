#include "platform/LinuxMounts.h"

#include <algorithm>
#include <set>
#include <sstream>

#include "platform/Platform.h"

namespace platform {

std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() &&
        field[i + 1] >= '0' && field[i + 1] <= '7' && field[i + 2] >= '0' &&
        field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out += static_cast<char>((field[i + 1] - '0') * 64 +
                               (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

std::string UnescapeUdevLabel(const std::string& name) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
        hex(name[i + 2]) >= 0 && hex(name[i + 3]) >= 0) {
      out += static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3]));
      i += 3;
    } else {
      out += name[i];
    }
  }
  return out;
}

namespace {

bool IsPseudo(const std::string& fsType) {
  static const std::set<std::string> kPseudo = {
      "proc",      "sysfs",     "devtmpfs",   "devpts",    "cgroup",
      "cgroup2",   "securityfs", "pstore",    "bpf",       "tracefs",
      "debugfs",   "mqueue",    "hugetlbfs",  "fusectl",   "configfs",
      "autofs",    "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",
      "fuse.gvfsd-fuse", "fuse.portal", "squashfs"};
  return kPseudo.count(fsType) != 0;
}

bool Below(const std::string& path, const std::string& folder) {
  return path == folder || path.compare(0, folder.size() + 1, folder + "/") == 0;
}

}  // namespace

std::vector<MountedDrive> DrivesFromMountInfo(const std::string& mountInfo) {
  std::vector<MountedDrive> mounts;
  std::set<std::string> seen;
  bool haveRoot = false;
  MountedDrive root;
  std::istringstream lines(mountInfo);
  std::string line;
  while (std::getline(lines, line)) {
    // id parent major:minor root mountpoint options [optional...] - type source superopts
    std::istringstream in(line);
    std::vector<std::string> f;
    std::string w;
    while (in >> w) f.push_back(w);
    auto dash = std::find(f.begin(), f.end(), "-");
    if (f.size() < 5 || dash == f.end() || f.end() - dash < 3) continue;
    MountedDrive m;
    m.mountPoint = UnescapeMountField(f[4]);
    m.fsType = *(dash + 1);
    m.source = UnescapeMountField(*(dash + 2));
    if (m.mountPoint == "/") {
      root = m;
      root.letter = 'C';
      haveRoot = true;
      continue;
    }
    if (IsPseudo(m.fsType)) continue;
    if (Below(m.mountPoint, "/proc") || Below(m.mountPoint, "/sys") ||
        Below(m.mountPoint, "/dev") ||
        (Below(m.mountPoint, "/run") && !Below(m.mountPoint, "/run/media")))
      continue;
    if (!seen.insert(m.mountPoint).second) continue;  // stacked mounts
    mounts.push_back(m);
  }
  std::sort(mounts.begin(), mounts.end(),
            [](const MountedDrive& a, const MountedDrive& b) {
              return a.mountPoint < b.mountPoint;
            });
  std::vector<MountedDrive> drives;
  if (haveRoot) drives.push_back(root);
  char letter = 'D';
  for (MountedDrive& m : mounts) {
    if (letter > 'Z') break;
    m.letter = letter++;
    drives.push_back(m);
  }
  return drives;
}

unsigned DriveTypeFor(const std::string& fsType, bool removableDevice) {
  if (fsType == "nfs" || fsType == "nfs4" || fsType == "cifs" ||
      fsType == "smb3" || fsType == "smbfs" || fsType.rfind("fuse.sshfs", 0) == 0)
    return kDriveRemote;
  if (fsType == "iso9660" || fsType == "udf") return kDriveCdRom;
  if (fsType == "tmpfs" || fsType == "ramfs") return kDriveRamDisk;
  return removableDevice ? kDriveRemovable : kDriveFixed;
}

}  // namespace platform
