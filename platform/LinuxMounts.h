// Reading the mounted file systems of a Linux machine as drives. Split out
// of the Linux platform so the parsing can be tested on sample tables.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct MountedDrive {
  char letter = 0;
  std::string mountPoint;
  std::string source;   // device or network source
  std::string fsType;
};

// Unescapes the octal escapes of /proc/self/mountinfo ("\040" for a blank).
std::string UnescapeMountField(const std::string& field);

// Unescapes udev's "\x20" escapes of /dev/disk/by-label names.
std::string UnescapeUdevLabel(const std::string& name);

// The drives of a mountinfo text: "/" is C, the other real file systems
// get D, E, ... in mount-point order (at most up to Z). Pseudo file systems
// and mounts below /proc, /sys, /dev and /run (except /run/media) are left
// out. A text that cannot be parsed gives the drives it could read.
std::vector<MountedDrive> DrivesFromMountInfo(const std::string& mountInfo);

// Drive type for a file-system type and whether its device is removable.
unsigned DriveTypeFor(const std::string& fsType, bool removableDevice);

}  // namespace platform
