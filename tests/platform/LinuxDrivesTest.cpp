// The Linux rules for drives on sample mount tables, sysfs trees and udev
// records: which mounts are drives, their letters over time, their types
// and labels.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/LinuxMounts.h"
#include "platform/Platform.h"
#include "tests/support/Files.h"
#ifndef _WIN32
#include "platform/LinuxPlatform.h"
#endif

namespace {

namespace fs = std::filesystem;
using platform::DriveLetters;
using platform::MountedDrive;

MountedDrive Mount(const std::string& mountPoint, unsigned major, unsigned minor) {
  MountedDrive m;
  m.mountPoint = mountPoint;
  m.fsType = "vfat";
  m.source = "/dev/x";
  m.major = major;
  m.minor = minor;
  return m;
}

std::map<std::string, char> Letters(const std::vector<MountedDrive>& drives) {
  std::map<std::string, char> out;
  for (const MountedDrive& d : drives) out[d.mountPoint] = d.letter;
  return out;
}

TEST(LinuxMounts, TopMountOfAFolderWinsAndBindMountsAreNoDrives) {
  const std::string info =
      "22 1 254:0 / / rw - ext4 /dev/vda rw\n"
      // A RAM disk at the key's folder, then the key mounted over it.
      "30 22 0:50 / /media/u/QUORVANE rw - tmpfs tmpfs rw\n"
      "31 30 8:17 / /media/u/QUORVANE rw - vfat /dev/sdb1 rw\n"
      // Part of the key shown again elsewhere.
      "32 22 8:17 /ZKM_Quorvane /srv/zkm rw - vfat /dev/sdb1 rw\n"
      // Listed before the mount it lies under: still the top one.
      "41 40 8:33 / /media/u/OTHER rw - vfat /dev/sdc1 rw\n"
      "40 22 0:51 / /media/u/OTHER rw - tmpfs tmpfs rw\n";
  auto drives = platform::DrivesFromMountInfo(info);
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].mountPoint, "/");
  EXPECT_EQ(drives[1].mountPoint, "/media/u/OTHER");
  EXPECT_EQ(drives[1].fsType, "vfat");
  EXPECT_EQ(drives[2].mountPoint, "/media/u/QUORVANE");
  EXPECT_EQ(drives[2].source, "/dev/sdb1");
  EXPECT_EQ(drives[2].major, 8u);
  EXPECT_EQ(drives[2].minor, 17u);
  EXPECT_TRUE(platform::DriveMounts("").empty());
  EXPECT_TRUE(platform::DriveMounts("1 2 x:y / /a rw - vfat /dev/sdb1 rw\n").empty());
}

TEST(LinuxMounts, LettersStayWithTheirFileSystem) {
  DriveLetters letters;
  const MountedDrive root = Mount("/", 254, 0);
  const MountedDrive key = Mount("/media/u/QUORVANE", 8, 17);
  const MountedDrive backup = Mount("/media/u/BACKUP", 8, 33);
  EXPECT_EQ(Letters(letters.Assign({root, key})),
            (std::map<std::string, char>{{"/", 'C'}, {key.mountPoint, 'D'}}));
  // A second stick sorts before the key: it takes the next letter, the key keeps its own.
  EXPECT_EQ(
      Letters(letters.Assign({root, backup, key})),
      (std::map<std::string, char>{{"/", 'C'}, {backup.mountPoint, 'E'}, {key.mountPoint, 'D'}}));
  // The key is pulled: D names nothing; another stick at the key's folder is another file system.
  EXPECT_EQ(Letters(letters.Assign({root, backup})),
            (std::map<std::string, char>{{"/", 'C'}, {backup.mountPoint, 'E'}}));
  const MountedDrive stranger = Mount("/media/u/QUORVANE", 8, 49);
  EXPECT_EQ(Letters(letters.Assign({root, backup, stranger})),
            (std::map<std::string, char>{
                {"/", 'C'}, {backup.mountPoint, 'E'}, {stranger.mountPoint, 'F'}}));
  // The key's own device at its own folder again is the key.
  EXPECT_EQ(Letters(letters.Assign({root, key})),
            (std::map<std::string, char>{{"/", 'C'}, {key.mountPoint, 'D'}}));
  // Checked and mounted again elsewhere: its letter follows the device, once.
  letters.FollowDevice('D');
  const MountedDrive remounted = Mount("/media/u/QUORVANE1", 8, 17);
  EXPECT_EQ(Letters(letters.Assign({root, remounted})),
            (std::map<std::string, char>{{"/", 'C'}, {remounted.mountPoint, 'D'}}));
  const MountedDrive elsewhere = Mount("/mnt/again", 8, 17);
  EXPECT_EQ(Letters(letters.Assign({root, elsewhere})),
            (std::map<std::string, char>{{"/", 'C'}, {elsewhere.mountPoint, 'G'}}));
}

TEST(LinuxMounts, LettersEndAtZAndAreNeverGivenTwice) {
  DriveLetters letters;
  std::vector<MountedDrive> many;
  for (unsigned i = 0; i < 30; ++i) many.push_back(Mount("/m/" + std::to_string(100 + i), 8, i));
  auto drives = letters.Assign(many);
  ASSERT_EQ(drives.size(), 23u);  // D..Z
  EXPECT_EQ(drives.back().letter, 'Z');
  // All gone, new ones come: no letter left that never named another drive.
  EXPECT_TRUE(letters.Assign({Mount("/m/new", 9, 1)}).empty());
}

TEST(LinuxMounts, UdevRecordsGiveTheExactLabel) {
  std::string label = "untouched";
  EXPECT_TRUE(platform::LabelFromUdevRecord(
      "S:disk/by-label/MY\\x20KEY\nE:ID_FS_LABEL=MY_KEY\nE:ID_FS_LABEL_ENC=MY\\x20KEY\n", &label));
  EXPECT_EQ(label, "MY KEY");
  EXPECT_TRUE(platform::LabelFromUdevRecord("E:ID_FS_TYPE=vfat\nE:ID_FS_LABEL=QUORVANE\n", &label));
  EXPECT_EQ(label, "QUORVANE");
  label = "untouched";
  EXPECT_FALSE(
      platform::LabelFromUdevRecord("E:ID_FS_TYPE=vfat\nE:ID_FS_UUID=1234-ABCD\n", &label));
  EXPECT_FALSE(platform::LabelFromUdevRecord("", &label));
  EXPECT_EQ(label, "untouched");
}

#ifndef _WIN32

// A sysfs tree as the kernel lays it out: /sys/dev/block/M:m links to the
// device's folder; partitions sit in their disk's folder.
class SysfsTree {
 public:
  explicit SysfsTree(const fs::path& root) : root_(root) {
    fs::create_directories(root_ / "dev" / "block");
  }
  // Adds a disk at devicePath (below devices/) with a partition when
  // partition is not empty; returns the partition's (or disk's) folder.
  fs::path Add(const std::string& number, const std::string& devicePath,
               const std::string& partition, const std::string& removableFlag) {
    const fs::path disk = root_ / "devices" / devicePath;
    fs::create_directories(disk);
    fixture::WriteFile(disk / "removable", removableFlag + "\n");
    fs::path target = disk;
    if (!partition.empty()) {
      target = disk / partition;
      fs::create_directories(target);
      fixture::WriteFile(target / "partition", "1\n");
    }
    fs::create_symlink(fs::relative(target, root_ / "dev" / "block"),
                       root_ / "dev" / "block" / number);
    return disk;
  }

 private:
  fs::path root_;
};

TEST(LinuxMounts, DeclaredTypeMappingOfBlockDevices) {
  fixture::TempDir dir;
  const std::string sys = dir / "sys";
  SysfsTree tree(sys);
  tree.Add("8:17", "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/host6/target6:0:0/6:0:0:0/block/sdb",
           "sdb1", "1");
  tree.Add("8:1", "pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda", "sda1", "0");
  tree.Add("259:1", "pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0/nvme0n1", "nvme0n1p1", "0");
  const fs::path sd =
      tree.Add("179:1", "platform/sdhci/mmc_host/mmc0/mmc0:aaaa/block/mmcblk0", "mmcblk0p1", "0");
  fs::create_directories(sd / "device");
  fixture::WriteFile(sd / "device" / "type", "SD\n");
  const fs::path emmc =
      tree.Add("179:8", "platform/emmc/mmc_host/mmc1/mmc1:0001/block/mmcblk1", "", "0");
  fs::create_directories(emmc / "device");
  fixture::WriteFile(emmc / "device" / "type", "MMC\n");
  const fs::path loop = tree.Add("7:0", "virtual/block/loop0", "", "0");
  fs::create_directories(loop / "loop");
  fixture::WriteFile(loop / "loop" / "backing_file", "/home/u/quorvane.img\n");
  tree.Add("7:1", "virtual/block/loop1", "", "0");  // no file behind it
  tree.Add("8:32", "pci0000:00/0000:00:1f.2/card/host9/block/sdc", "", "1");

  auto removable = [&](unsigned major, unsigned minor) {
    return platform::IsRemovableBlockDevice(sys, major, minor);
  };
  EXPECT_TRUE(removable(8, 17));    // USB
  EXPECT_FALSE(removable(8, 1));    // SATA
  EXPECT_FALSE(removable(259, 1));  // NVMe
  EXPECT_TRUE(removable(179, 1));   // SD card slot
  EXPECT_FALSE(removable(179, 8));  // soldered eMMC
  EXPECT_TRUE(removable(7, 0));     // image file on a loop device
  EXPECT_FALSE(removable(7, 1));
  EXPECT_TRUE(removable(8, 32));   // removable flag of another bus
  EXPECT_FALSE(removable(8, 99));  // unknown to sysfs
  EXPECT_FALSE(platform::IsRemovableBlockDevice(dir / "nosys", 8, 17));

  EXPECT_EQ(platform::DriveTypeFor("vfat", removable(8, 17)), platform::kDriveRemovable);
  EXPECT_EQ(platform::DriveTypeFor("ext4", removable(259, 1)), platform::kDriveFixed);
  EXPECT_EQ(platform::DriveTypeFor("fuse.sshfs", false), platform::kDriveRemote);
  EXPECT_EQ(platform::DriveTypeFor("iso9660", true), platform::kDriveCdRom);
}

// The Linux platform itself on a sample machine.
TEST(LinuxPlatform, LabelsPerDeviceTypesAndFuseSourcesOnASampleMachine) {
  fixture::TempDir dir;
  const std::string sys = dir / "sys";
  SysfsTree tree(sys);
  tree.Add("8:17", "pci0/usb1/1-1/host1/block/sdb", "sdb1", "1");
  tree.Add("8:33", "pci0/usb1/1-2/host2/block/sdc", "sdc1", "1");
  tree.Add("259:1", "pci0/nvme/nvme0/nvme0n1", "nvme0n1p1", "0");
  fs::create_directories(dir / "udev");
  fixture::WriteFile(dir / "udev/b8:17", "E:ID_FS_TYPE=vfat\nE:ID_FS_LABEL=QUORVANE\n");
  fixture::WriteFile(dir / "udev/b8:33", "E:ID_FS_LABEL_ENC=QUORVANE\n");
  fixture::WriteFile(dir / "udev/b259:1", "E:ID_FS_TYPE=ext4\n");
  fixture::WriteFile(dir / "key.img", "not really a file system");
  const std::string image = dir / "key.img";
  fixture::WriteFile(dir / "mountinfo",
                     "22 1 259:1 / / rw - ext4 /dev/nvme0n1p1 rw\n"
                     "30 22 8:17 / /media/u/QUORVANE rw - vfat /dev/sdb1 rw\n"
                     "31 22 8:33 / /media/u/QUORVANE1 rw - vfat /dev/sdc1 rw\n"
                     "32 22 0:60 / /mnt/image rw - fuse.fusefat " +
                         image +
                         " rw\n"
                         "33 22 0:61 / /mnt/fuse rw - fuse.something something rw\n");
  platform::LinuxSystem system;
  system.mountInfo = dir / "mountinfo";
  system.sysRoot = sys;
  system.udevData = dir / "udev";
  system.byLabel = dir / "by-label";
  auto machine = platform::CreateLinux(system);

  // Mount-point order: D /media/u/QUORVANE, E /media/u/QUORVANE1, F /mnt/fuse, G /mnt/image.
  EXPECT_EQ(machine->LogicalDrives(), 0b11111u << 2);
  std::string label;
  // Two keys with one label: each device has its own record.
  EXPECT_TRUE(machine->VolumeLabel("D:\\", &label));
  EXPECT_EQ(label, "QUORVANE");
  label.clear();
  EXPECT_TRUE(machine->VolumeLabel("E:\\", &label));
  EXPECT_EQ(label, "QUORVANE");
  label = "untouched";
  EXPECT_FALSE(machine->VolumeLabel("C:\\", &label));  // no label in the record, no device here
  EXPECT_EQ(label, "untouched");
  EXPECT_EQ(machine->DriveFolder('d'), "/media/u/QUORVANE");
  EXPECT_EQ(machine->DriveDescription('e'), "QUORVANE (/media/u/QUORVANE1)");
  EXPECT_EQ(machine->DriveType("C:\\"), platform::kDriveFixed);
  EXPECT_EQ(machine->DriveType("d:"), platform::kDriveRemovable);
  EXPECT_EQ(machine->DriveType("F:\\"), platform::kDriveFixed);  // FUSE, nothing behind it known
  EXPECT_EQ(machine->DriveType("G:\\"), platform::kDriveRemovable);  // FUSE over an image file
  EXPECT_EQ(machine->DriveType("H:\\"), platform::kDriveNoRootDir);

  // An unreadable mount table: no drives, nothing to flush.
  system.mountInfo = dir / "missing";
  auto blind = platform::CreateLinux(system);
  EXPECT_EQ(blind->LogicalDrives(), 0u);
  EXPECT_EQ(blind->DriveFolder('C'), "");
  std::string error;
  EXPECT_FALSE(blind->FlushDrive("E:\\", &error));
  EXPECT_FALSE(error.empty());
}

TEST(LinuxPlatform, FlushesTheFileSystemOfAMountedDrive) {
  fixture::TempDir dir;
  fs::create_directories(dir / "key");
  fixture::WriteFile(dir / "mountinfo",
                     "30 22 8:17 / " + (dir / "key") + " rw - vfat /dev/sdb1 rw\n");
  platform::LinuxSystem system;
  system.mountInfo = dir / "mountinfo";
  auto machine = platform::CreateLinux(system);
  std::string error;
  EXPECT_TRUE(machine->FlushDrive("d:\\ZKM_Quorvane\\", &error)) << error;
  fs::remove_all(dir / "key");  // its folder is gone: nothing to flush
  EXPECT_FALSE(machine->FlushDrive("D:\\", &error));
}

TEST(LinuxPlatform, DiskCheckUnmountsChecksInATerminalAndMountsAgain) {
  fixture::TempDir dir;
  std::vector<std::string> commands;
  platform::LinuxSystem system;
  system.mountInfo = dir / "mountinfo";
  system.runCommand = [&](const std::string& line) {
    commands.push_back(line);
    return 0;
  };
  fixture::WriteFile(dir / "mountinfo",
                     "22 1 254:0 / / rw - ext4 /dev/vda rw\n"
                     "30 22 8:17 / /media/u/QUO\\040RVANE rw - vfat /dev/sdb1 rw\n"
                     "31 22 0:40 / /mnt/share rw - cifs //srv/share rw\n");
  auto machine = platform::CreateLinux(system);
  EXPECT_FALSE(machine->CheckDisk("chkdsk c: /f /v", "c:"));  // never the system's disk
  EXPECT_FALSE(machine->CheckDisk("chkdsk e: /f /v", "e:"));  // no device to check
  EXPECT_TRUE(commands.empty());
  ASSERT_TRUE(machine->CheckDisk("chkdsk d: /f /v", "d:"));
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[0], "udisksctl unmount -b '/dev/sdb1' >/dev/null 2>&1");
  EXPECT_NE(commands[1].find("x-terminal-emulator -e sh -c "), std::string::npos);
  EXPECT_NE(commands[1].find("fsck -V '\\''/dev/sdb1'\\''"), std::string::npos);
  EXPECT_EQ(commands[2], "udisksctl mount -b '/dev/sdb1' >/dev/null 2>&1");

  // udisks mounted it again at another folder: D is still the key.
  fixture::WriteFile(dir / "mountinfo",
                     "22 1 254:0 / / rw - ext4 /dev/vda rw\n"
                     "31 22 0:40 / /mnt/share rw - cifs //srv/share rw\n"
                     "35 22 8:17 / /media/u/QUORVANE rw - vfat /dev/sdb1 rw\n");
  EXPECT_EQ(machine->DriveFolder('D'), "/media/u/QUORVANE");

  // A key that cannot be unmounted: nothing else runs.
  commands.clear();
  system.runCommand = [&](const std::string& line) {
    commands.push_back(line);
    return 1;
  };
  auto stubborn = platform::CreateLinux(system);
  EXPECT_FALSE(stubborn->CheckDisk("chkdsk d: /f /v", "d:"));
  EXPECT_EQ(commands.size(), 1u);
}

#endif  // !_WIN32

}  // namespace
