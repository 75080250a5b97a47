// The Linux machine, with the system files it reads named, so that tests
// can run the real rules on a sample mount table, sysfs tree and udev
// database, and record the commands of a disk check instead of running them.
#pragma once
#ifndef _WIN32

#include <functional>
#include <memory>
#include <string>

#include "platform/Platform.h"

namespace platform {

struct LinuxSystem {
  std::string mountInfo = "/proc/self/mountinfo";
  std::string sysRoot = "/sys";
  std::string udevData = "/run/udev/data";  // records named b<major>:<minor>
  std::string byLabel = "/dev/disk/by-label";
  // Runs a command line and answers its exit code (-1: could not run).
  // Empty: through /bin/sh -c, waiting for it.
  std::function<int(const std::string&)> runCommand;
};

// Drives are the mounted file systems (see LinuxMounts.h for which, their
// types and their letters). Labels come from udev's database, then from
// the device itself through libblkid where this build has it and the
// device can be read, then from the by-label links; otherwise the label is
// unreadable. An unreadable system file means no drive or no label.
std::unique_ptr<Platform> CreateLinux(LinuxSystem system);

}  // namespace platform

#endif  // !_WIN32
