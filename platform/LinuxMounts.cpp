#include "platform/LinuxMounts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "platform/Platform.h"

namespace platform {

std::string UnescapeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '7' &&
        field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
      out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                               (field[i + 3] - '0'));
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
    if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(name[i + 2]) >= 0 &&
        hex(name[i + 3]) >= 0) {
      out += static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3]));
      i += 3;
    } else {
      out += name[i];
    }
  }
  return out;
}

namespace {

namespace fs = std::filesystem;

bool IsPseudo(const std::string& fsType) {
  static const std::set<std::string> kPseudo = {"proc",        "sysfs",       "devtmpfs",
                                                "devpts",      "cgroup",      "cgroup2",
                                                "securityfs",  "pstore",      "bpf",
                                                "tracefs",     "debugfs",     "mqueue",
                                                "hugetlbfs",   "fusectl",     "configfs",
                                                "autofs",      "binfmt_misc", "efivarfs",
                                                "rpc_pipefs",  "nsfs",        "fuse.gvfsd-fuse",
                                                "fuse.portal", "squashfs"};
  return kPseudo.count(fsType) != 0;
}

bool Below(const std::string& path, const std::string& folder) {
  return path == folder || path.compare(0, folder.size() + 1, folder + "/") == 0;
}

// One line of mountinfo:
//   id parent major:minor root mountpoint options [optional...] - type source superopts
struct MountLine {
  std::string id;
  std::string parent;
  std::string root;
  MountedDrive drive;
};

bool ParseMountLine(const std::string& line, MountLine* out) {
  std::istringstream in(line);
  std::vector<std::string> f;
  std::string w;
  while (in >> w) f.push_back(w);
  auto dash = std::find(f.begin(), f.end(), "-");
  if (f.size() < 6 || dash == f.end() || dash - f.begin() < 6 || f.end() - dash < 3) return false;
  unsigned major = 0, minor = 0;
  char colon = 0;
  std::istringstream number(f[2]);
  if (!(number >> major >> colon >> minor) || colon != ':') return false;
  out->id = f[0];
  out->parent = f[1];
  out->root = UnescapeMountField(f[3]);
  out->drive.mountPoint = UnescapeMountField(f[4]);
  out->drive.fsType = *(dash + 1);
  out->drive.source = UnescapeMountField(*(dash + 2));
  out->drive.major = major;
  out->drive.minor = minor;
  return true;
}

std::string ReadSmallFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  std::getline(in, text);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

}  // namespace

std::vector<MountedDrive> DriveMounts(const std::string& mountInfo) {
  std::vector<MountLine> lines;
  std::istringstream text(mountInfo);
  std::string line;
  while (std::getline(text, line)) {
    MountLine m;
    if (ParseMountLine(line, &m)) lines.push_back(m);
  }
  // A folder shows its top mount: of the mounts at one folder, the one no
  // other was mounted over (the last listed, should the table disagree).
  std::map<std::string, const MountLine*> top;
  for (const MountLine& m : lines) {
    bool covered = false;
    for (const MountLine& other : lines)
      covered = covered || (other.parent == m.id && other.drive.mountPoint == m.drive.mountPoint);
    auto it = top.find(m.drive.mountPoint);
    if (!covered || it == top.end()) top[m.drive.mountPoint] = &m;
  }
  std::vector<MountedDrive> drives;
  const MountedDrive* root = nullptr;
  for (const auto& [mountPoint, m] : top) {  // map order: mount-point order
    if (mountPoint == "/") {
      root = &m->drive;
      continue;
    }
    if (IsPseudo(m->drive.fsType) || m->root != "/") continue;
    if (Below(mountPoint, "/proc") || Below(mountPoint, "/sys") || Below(mountPoint, "/dev") ||
        (Below(mountPoint, "/run") && !Below(mountPoint, "/run/media")))
      continue;
    drives.push_back(m->drive);
  }
  if (root) drives.insert(drives.begin(), *root);
  return drives;
}

std::vector<MountedDrive> DrivesFromMountInfo(const std::string& mountInfo) {
  DriveLetters letters;
  return letters.Assign(DriveMounts(mountInfo));
}

bool IsFuse(const std::string& fsType) {
  return fsType == "fuse" || fsType == "fuseblk" || fsType.rfind("fuse.", 0) == 0;
}

unsigned DriveTypeFor(const std::string& fsType, bool removableDevice) {
  if (fsType == "nfs" || fsType == "nfs4" || fsType == "cifs" || fsType == "smb3" ||
      fsType == "smbfs" || fsType.rfind("fuse.sshfs", 0) == 0)
    return kDriveRemote;
  if (fsType == "iso9660" || fsType == "udf") return kDriveCdRom;
  if (fsType == "tmpfs" || fsType == "ramfs") return kDriveRamDisk;
  return removableDevice ? kDriveRemovable : kDriveFixed;
}

bool IsRemovableBlockDevice(const std::string& sysRoot, unsigned major, unsigned minor) {
  std::error_code ec;
  const fs::path device = fs::canonical(
      fs::path(sysRoot) / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor)),
      ec);
  if (ec) return false;
  if (device.generic_string().find("/usb") != std::string::npos) return true;
  const fs::path disk = fs::exists(device / "partition", ec) ? device.parent_path() : device;
  const std::string name = disk.filename().string();
  if (name.rfind("loop", 0) == 0) return !ReadSmallFile(disk / "loop" / "backing_file").empty();
  // An SD card slot; a soldered eMMC says "MMC" and is a fixed disk.
  if (name.rfind("mmcblk", 0) == 0) return ReadSmallFile(disk / "device" / "type") != "MMC";
  return ReadSmallFile(disk / "removable") == "1";
}

bool LabelFromUdevRecord(const std::string& record, std::string* label) {
  std::istringstream lines(record);
  std::string line, plain, encoded;
  bool havePlain = false, haveEncoded = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("E:ID_FS_LABEL_ENC=", 0) == 0) {
      encoded = line.substr(18);
      haveEncoded = true;
    } else if (line.rfind("E:ID_FS_LABEL=", 0) == 0) {
      plain = line.substr(14);
      havePlain = true;
    }
  }
  if (haveEncoded) {
    *label = UnescapeUdevLabel(encoded);
  } else if (havePlain) {
    *label = plain;
  } else {
    return false;
  }
  return true;
}

std::vector<MountedDrive> DriveLetters::Assign(std::vector<MountedDrive> mounts) {
  std::set<char> taken;
  auto same = [](const Slot& s, const MountedDrive& m) {
    return s.major == m.major && s.minor == m.minor;
  };
  // The same file system keeps its letter.
  for (MountedDrive& m : mounts) {
    m.letter = 0;
    if (m.mountPoint == "/") {
      m.letter = 'C';
      continue;
    }
    for (auto& [letter, slot] : slots_) {
      if (!taken.count(letter) && same(slot, m) && slot.mountPoint == m.mountPoint) {
        m.letter = letter;
        slot.followDevice = false;
        taken.insert(letter);
        break;
      }
    }
  }
  // A device mounted again after a disk check takes its letter wherever it is.
  for (MountedDrive& m : mounts) {
    if (m.letter) continue;
    for (auto& [letter, slot] : slots_) {
      if (slot.followDevice && !taken.count(letter) && same(slot, m)) {
        m.letter = letter;
        slot.mountPoint = m.mountPoint;
        slot.followDevice = false;
        taken.insert(letter);
        break;
      }
    }
  }
  // New file systems take letters never given before.
  for (MountedDrive& m : mounts) {
    if (m.letter) continue;
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
      if (slots_.count(letter)) continue;
      m.letter = letter;
      slots_[letter] = Slot{m.major, m.minor, m.mountPoint, false};
      break;
    }
  }
  mounts.erase(std::remove_if(mounts.begin(), mounts.end(),
                              [](const MountedDrive& m) { return m.letter == 0; }),
               mounts.end());
  return mounts;
}

void DriveLetters::FollowDevice(char letter) {
  auto it = slots_.find(letter);
  if (it != slots_.end()) it->second.followDevice = true;
}

}  // namespace platform
