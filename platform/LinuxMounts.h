// Reading the mounted file systems of a Linux machine as drives. Split out
// of the Linux platform so the rules can be tested on sample tables, sample
// sysfs trees and sample udev records.
//
// Which mounts are drives: "/" is C; every other real file system mounted
// at a folder outside /proc, /sys, /dev and /run (except /run/media) is a
// drive, with three exceptions: pseudo file systems, bind mounts (a mount
// whose root inside its file system is not "/": it shows part of a drive
// that is listed already), and mounts hidden under a later mount at the
// same folder (the top one of a folder is what its files show).
//
// Types, the declared mapping onto the Windows drive types:
//   nfs, cifs, smb, sshfs              network (4)
//   iso9660, udf                       CD-ROM (5)
//   tmpfs, ramfs                       RAM disk (6)
//   on a block device:
//     reached over USB                 removable (2)
//     an SD or MMC card slot (mmc,
//       except built-in eMMC)          removable
//     a loop device backed by a file   removable
//     the device's removable flag set  removable
//     anything else (SATA, NVMe,
//       virtio, device mapper, ...)    fixed (3)
//   FUSE: the type of its source; a source that is a block device counts
//     as above, a source that is a plain file (an image) like a loop
//     device, anything else as fixed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace platform {

struct MountedDrive {
  char letter = 0;  // 0 until DriveLetters gives it one
  std::string mountPoint;
  std::string source;  // device, image file or network source
  std::string fsType;
  // The file system's device number: the block device for a disk (for a
  // FUSE mount of a block device, that device once ResolveFuseDevice has
  // run), an anonymous number otherwise. With the mount point it tells one
  // file system from another.
  unsigned major = 0;
  unsigned minor = 0;
};

// Unescapes the octal escapes of /proc/self/mountinfo ("\040" for a blank).
std::string UnescapeMountField(const std::string& field);

// Unescapes udev's "\x20" escapes of /dev/disk/by-label names and of
// ID_FS_LABEL_ENC values.
std::string UnescapeUdevLabel(const std::string& name);

// The mounts of a mountinfo text that are drives (see above), "/" first,
// the others in mount-point order, without letters. Lines that cannot be
// parsed are skipped; an empty or unreadable table gives no drives.
std::vector<MountedDrive> DriveMounts(const std::string& mountInfo);

// DriveMounts with the letters a fresh DriveLetters gives them: C for "/",
// D, E, ... in mount-point order, none past Z.
std::vector<MountedDrive> DrivesFromMountInfo(const std::string& mountInfo);

// Whether the file system is a FUSE one ("fuse", "fuseblk", "fuse.*").
bool IsFuse(const std::string& fsType);

// Drive type for a file-system type and whether its device counts as
// removable (see the mapping above).
unsigned DriveTypeFor(const std::string& fsType, bool removableDevice);

// Whether block device major:minor counts as removable, read below a sysfs
// root ("/sys"). A device that sysfs does not know counts as fixed.
bool IsRemovableBlockDevice(const std::string& sysRoot, unsigned major, unsigned minor);

// The label a udev database record ("/run/udev/data/b8:17") gives, from
// ID_FS_LABEL_ENC (exact) or else ID_FS_LABEL. False when the record holds
// neither; *label is then left alone.
bool LabelFromUdevRecord(const std::string& record, std::string* label);

// Letters that stay with their file system. A mount, told by its device
// number and mount point, keeps its letter while it stays mounted; a new
// mount takes the lowest letter never given before (the first table gives
// D, E, ... in mount-point order); a letter whose mount is gone names no
// drive and is never given to another file system, except that the same
// device mounted again at the same folder gets its letter back. C is "/".
// Not thread-safe: the platform holds a lock around it.
class DriveLetters {
 public:
  // The current drives (as DriveMounts gives them) with their letters;
  // drives left without a letter (past Z) are dropped.
  std::vector<MountedDrive> Assign(std::vector<MountedDrive> mounts);

  // The drive with this letter is about to be unmounted and mounted again,
  // possibly elsewhere: the next new mount of its device takes the letter.
  void FollowDevice(char letter);

 private:
  struct Slot {
    unsigned major = 0;
    unsigned minor = 0;
    std::string mountPoint;
    bool followDevice = false;
  };
  std::map<char, Slot> slots_;
};

}  // namespace platform
