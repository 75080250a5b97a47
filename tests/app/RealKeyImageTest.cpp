// The real Linux layer against a real FAT file system: a disk image labelled
// QUORVANE with a key tree, attached to a loop device and mounted (by the
// kernel's vfat, or else by the FUSE driver fusefat), found by the scan,
// accepted by hand, keeping its letter while a second image comes and goes.
// The disk check's commands are recorded, not run.
//
// It needs root (loop devices, mounting) and dosfstools, mtools and vfat or
// fusefat; where the machine lacks one, the test says which and is skipped.
// Everything it mounts or attaches is undone, also when a check fails.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QComboBox>
#include <QPushButton>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/Main.h"
#include "app/kit/Texts.h"
#include "platform/LinuxPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Main.h"

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs a shell command; its exit code, and what it printed in *output.
int Shell(const std::string& command, std::string* output = nullptr) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::string text;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
  const int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Have(const std::string& program) { return Shell("command -v " + program) == 0; }

// A FAT image attached to a loop device and mounted; undone by the
// destructor in reverse order.
class MountedImage {
 public:
  // Makes the image (label, and the files of treeFolder when not empty),
  // attaches and mounts it at mountPoint. Empty *failure on success.
  MountedImage(const std::string& image, const std::string& label, const std::string& treeFolder,
               const std::string& mountPoint, std::string* failure)
      : image_(image), mountPoint_(mountPoint) {
    std::string out;
    fs::create_directories(mountPoint);
    if (Shell("mkfs.vfat -C -n " + label + " " + Quote(image) + " 16384", &out) != 0) {
      *failure = "mkfs.vfat failed: " + out;
      return;
    }
    if (!treeFolder.empty() &&
        Shell("mcopy -s -i " + Quote(image) + " " + Quote(treeFolder) + "/* ::/", &out) != 0) {
      *failure = "mcopy failed: " + out;
      return;
    }
    if (Shell("losetup -f --show " + Quote(image), &out) != 0 || out.rfind("/dev/loop", 0) != 0) {
      *failure = "no loop device could be attached (losetup: " + out + ")";
      return;
    }
    device_ = out.substr(0, out.find('\n'));
    std::string kernelOut, fuseOut;
    if (Shell("mount -t vfat " + Quote(device_) + " " + Quote(mountPoint), &kernelOut) == 0) {
      driver_ = "vfat";
    } else if (Have("fusefat") && fs::exists("/dev/fuse") &&
               Shell("fusefat -o rw+,fsname=" + device_ + " " + Quote(device_) + " " +
                         Quote(mountPoint) + " >/dev/null",
                     &fuseOut) == 0) {
      driver_ = "fusefat";
    } else {
      *failure = "no FAT driver could mount it: the kernel's vfat said \"" + kernelOut +
                 "\", and fusefat " + (Have("fusefat") ? "said \"" + fuseOut + "\"" : "is missing");
      return;
    }
    mounted_ = true;
  }
  ~MountedImage() { Unmount(); }

  void Unmount() {
    if (mounted_ && Shell("umount " + Quote(mountPoint_)) != 0)
      Shell("umount -l " + Quote(mountPoint_));
    mounted_ = false;
    if (!device_.empty()) Shell("losetup -d " + Quote(device_));
    device_.clear();
    std::error_code ec;
    fs::remove(image_, ec);
  }

  const std::string& device() const { return device_; }
  const std::string& driver() const { return driver_; }

 private:
  std::string image_;
  std::string mountPoint_;
  std::string device_;
  std::string driver_;
  bool mounted_ = false;
};

char LetterOf(const std::string& mountPoint) {
  platform::Platform& machine = platform::Current();
  const std::uint32_t drives = machine.LogicalDrives();
  for (int i = 0; i < 26; ++i) {
    const char letter = static_cast<char>('A' + i);
    if ((drives & (1u << i)) && machine.DriveFolder(letter) == mountPoint) return letter;
  }
  return 0;
}

#define SKIP_BECAUSE(reason)                                               \
  do {                                                                     \
    std::cout << "real key image test skipped: " << (reason) << std::endl; \
    GTEST_SKIP() << (reason);                                              \
  } while (0)

TEST(RealKeyImage, FoundLabelledRemovableAcceptedAndKeepsItsLetter) {
  if (geteuid() != 0) SKIP_BECAUSE("needs root to attach loop devices and mount them");
  for (const char* tool : {"mkfs.vfat", "mcopy", "losetup", "mount", "umount"})
    if (!Have(tool)) SKIP_BECAUSE(std::string(tool) + " is missing (dosfstools, mtools, mount)");
  // Its own mount table, when the kernel allows: nothing it mounts shows on
  // the machine's desktop or in another program's drive list.
  const bool ownTable =
      unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  std::cout << (ownTable ? "mounting in a mount table of its own"
                         : "mounting in the machine's mount table")
            << std::endl;

  fixture::TempDir dir;
  const std::string tree = dir / "tree";
  fs::create_directories(tree);
  fixture::KeyBuilder key(tree);
  // The key's folder sorts after the second image's, which would take its
  // letter if letters went by mount-point order.
  const std::string keyFolder = dir / "media/QUORVANE";
  const std::string otherFolder = dir / "media/BACKUP";

  std::string failure;
  MountedImage keyImage(dir / "key.img", "QUORVANE", tree, keyFolder, &failure);
  if (!failure.empty()) SKIP_BECAUSE(failure);
  std::cout << "key image: " << keyImage.device() << " mounted at " << keyFolder << " by "
            << keyImage.driver() << std::endl;

  std::vector<std::string> commands;
  platform::LinuxSystem system;
  system.runCommand = [&](const std::string& line) {
    commands.push_back(line);
    return 0;
  };
  platform::Install(platform::CreateLinux(system));
  struct Uninstall {
    ~Uninstall() { platform::Install(nullptr); }
  } uninstall;
  ScriptedPrompts prompts;

  // The scan finds it by its label and database.
  TForm1 scanned;
  scanned.ui()->Button6->click();
  const char letter = LetterOf(keyFolder);
  ASSERT_NE(letter, 0) << "the mounted image is no drive";
  ASSERT_EQ(scanned.driveRoot(), std::string(1, letter) + ":\\");
  EXPECT_EQ(platform::NativePath(scanned.keyRoot(), "Database\\zkm.db"),
            keyFolder + "/ZKM_Quorvane/Database/zkm.db");
  std::string label;
  EXPECT_TRUE(platform::Current().VolumeLabel(scanned.driveRoot(), &label));
  EXPECT_EQ(label, "QUORVANE");
  EXPECT_EQ(platform::Current().DriveType(scanned.driveRoot()), platform::kDriveRemovable);

  // Accepted by hand, with every command.
  TForm1 byHand;
  byHand.ui()->Button7->click();
  QComboBox* box = byHand.ui()->CB_Quor;
  const QString prefix = QString(QChar(letter).toLower()) + ":";
  for (int i = 0; i < box->count(); ++i)
    if (box->itemText(i).startsWith(prefix)) box->setCurrentIndex(i);
  EXPECT_EQ(
      box->currentText().toStdString(),
      std::string(1, static_cast<char>(std::tolower(letter))) + ": QUORVANE (" + keyFolder + ")");
  byHand.ui()->Button3->click();
  EXPECT_EQ(byHand.keyRoot(),
            std::string(1, static_cast<char>(std::tolower(letter))) + ":\\ZKM_Quorvane\\");
  EXPECT_TRUE(byHand.ui()->BTN_DbMng->isEnabled());
  EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();

  // A second stick comes and goes: the key keeps its letter throughout.
  {
    MountedImage other(dir / "other.img", "BACKUP", std::string(), otherFolder, &failure);
    ASSERT_TRUE(failure.empty()) << failure;
    const char otherLetter = LetterOf(otherFolder);
    EXPECT_NE(otherLetter, 0);
    EXPECT_NE(otherLetter, letter);
    EXPECT_EQ(LetterOf(keyFolder), letter);
    EXPECT_EQ(platform::NativePath(scanned.keyRoot(), ""), keyFolder + "/ZKM_Quorvane/");
    EXPECT_TRUE(platform::Current().VolumeLabel(std::string(1, otherLetter) + ":\\", &label));
    EXPECT_EQ(label, "BACKUP");
    other.Unmount();
    EXPECT_EQ(platform::Current().DriveFolder(otherLetter), "");
  }
  EXPECT_EQ(LetterOf(keyFolder), letter);

  // What the key's file system holds reaches the device.
  fixture::WriteFile(keyFolder + "/ZKM_Quorvane/written.txt", "on the key");
  std::string error;
  EXPECT_TRUE(platform::FlushDrive(scanned.keyRoot(), &error)) << error;

  // The disk check: recorded, not run.
  byHand.ui()->BTN_Impdrv->click();
  EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
  ASSERT_EQ(commands.size(), 3u);
  for (const std::string& command : commands)
    std::cout << "the disk check would run: " << command << std::endl;
  const std::string unmount = keyImage.driver() == "vfat"
                                  ? "udisksctl unmount -b " + Quote(keyImage.device())
                                  : "umount " + Quote(keyFolder);
  EXPECT_EQ(commands[0].rfind(unmount, 0), 0u) << commands[0];
  EXPECT_NE(commands[1].find("fsck -V '\\''" + keyImage.device() + "'\\''"), std::string::npos)
      << commands[1];
  EXPECT_EQ(commands[2].rfind("udisksctl mount -b " + Quote(keyImage.device()), 0), 0u)
      << commands[2];
  EXPECT_EQ(LetterOf(keyFolder), letter);
}

}  // namespace
