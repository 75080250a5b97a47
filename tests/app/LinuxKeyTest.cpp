// Finding and keeping the key on a Linux machine: the real Linux platform
// over a sample mount table, sysfs tree and udev database whose mount
// points are folders of the test.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <filesystem>

#include "app/Main.h"
#include "app/kit/Texts.h"
#include "platform/LinuxPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Main.h"

namespace {

namespace fs = std::filesystem;

class LinuxKey : public ::testing::Test {
 protected:
  LinuxKey() {
    fs::create_directories(dir_ / "sys/dev/block");
    fs::create_directories(dir_ / "udev");
    platform::LinuxSystem system;
    system.mountInfo = dir_ / "mountinfo";
    system.sysRoot = dir_ / "sys";
    system.udevData = dir_ / "udev";
    system.byLabel = dir_ / "by-label";
    system.runCommand = [](const std::string&) { return 0; };
    platform::Install(platform::CreateLinux(system));
  }
  ~LinuxKey() override { platform::Install(nullptr); }

  // A device known to sysfs below devicePath, with a udev record giving
  // its label; returns the folder its file system is mounted at.
  std::string Device(const std::string& number, const std::string& devicePath,
                     const std::string& label, const std::string& folderName) {
    const fs::path disk = fs::path(dir_.path()) / "sys/devices" / devicePath;
    fs::create_directories(disk);
    fixture::WriteFile(disk / "removable", "0\n");
    fs::create_symlink(disk, fs::path(dir_.path()) / "sys/dev/block" / number);
    fixture::WriteFile(dir_ / ("udev/b" + number), "E:ID_FS_LABEL=" + label + "\n");
    const std::string folder = dir_ / ("media/" + folderName);
    fs::create_directories(folder);
    return folder;
  }
  // The mount table: one "number folder" pair per mount, after "/".
  void Mounted(const std::vector<std::pair<std::string, std::string>>& mounts) {
    std::string table = "22 1 254:0 / / rw - ext4 /dev/vda rw\n";
    int id = 30;
    for (const auto& [number, folder] : mounts)
      table += std::to_string(id++) + " 22 " + number + " / " + folder + " rw - vfat /dev/x rw\n";
    fixture::WriteFile(dir_ / "mountinfo", table);
  }
  void Choose(TForm1& form, char letter) {
    form.ui()->Button7->click();
    QComboBox* box = form.ui()->CB_Quor;
    for (int i = 0; i < box->count(); ++i) {
      if (box->itemText(i).startsWith(QString(QChar(letter)) + ":")) {
        box->setCurrentIndex(i);
        return;
      }
    }
    FAIL() << "drive " << letter << " not listed";
  }

  fixture::TempDir dir_;
  ScriptedPrompts prompts_;
};

TEST_F(LinuxKey, TwoKeysWithOneLabelAreBothFoundAndTheLowerLetterWins) {
  const std::string first = Device("8:17", "usb1/1-1/block/sdb", "QUORVANE", "A");
  const std::string second = Device("8:33", "usb1/1-2/block/sdc", "QUORVANE", "B");
  fixture::KeyBuilder secondKey(second);
  Mounted({{"8:17", first}, {"8:33", second}});
  {
    // The first has the label but no key tree: the scan goes on to the second.
    TForm1 form;
    form.ui()->Button6->click();
    EXPECT_EQ(form.driveRoot(), "E:\\");
    EXPECT_EQ(platform::NativePath(form.keyRoot(), ""), second + "/ZKM_Quorvane/");
  }
  fixture::KeyBuilder firstKey(first);
  TForm1 form;
  form.ui()->Button6->click();
  EXPECT_EQ(form.driveRoot(), "D:\\");
  EXPECT_TRUE(prompts_.messages.isEmpty());
}

TEST_F(LinuxKey, SataAndNvmeDisksAreRefusedByHandSdCardsAccepted) {
  const std::string sata = Device("8:1", "pci0/ata1/host0/block/sda", "QUORVANE", "sata");
  const std::string nvme = Device("259:1", "pci0/nvme/nvme0/nvme0n1", "QUORVANE", "nvme");
  const std::string sd = Device("179:0", "platform/mmc0/mmc0:aaaa/block/mmcblk0", "", "sd");
  fs::create_directories(dir_ / "sys/devices/platform/mmc0/mmc0:aaaa/block/mmcblk0/device");
  fixture::WriteFile(dir_ / "sys/devices/platform/mmc0/mmc0:aaaa/block/mmcblk0/device/type",
                     "SD\n");
  for (const std::string& folder : {sata, nvme, sd}) fixture::KeyBuilder key(folder);
  Mounted({{"8:1", sata}, {"259:1", nvme}, {"179:0", sd}});  // nvme D, sata E, sd F

  TForm1 form;
  for (char fixedDrive : {'d', 'e'}) {
    Choose(form, fixedDrive);
    form.ui()->Button3->click();
    EXPECT_TRUE(form.keyRoot().empty());
  }
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1007), Msg(1007)}));
  Choose(form, 'f');
  EXPECT_EQ(form.ui()->CB_Quor->currentText().toStdString(), "f: (" + sd + ")");
  form.ui()->Button3->click();
  EXPECT_EQ(form.keyRoot(), "f:\\ZKM_Quorvane\\");
  EXPECT_FALSE(form.ui()->Panel1->isHidden());
  EXPECT_EQ(prompts_.messages.size(), 2);
}

TEST_F(LinuxKey, TheKeyKeepsItsLetterAndAPulledKeyIsNeverAnotherDrive) {
  const std::string keyFolder = Device("8:17", "usb1/1-1/block/sdb", "QUORVANE", "QUORVANE");
  fixture::KeyBuilder key(keyFolder);
  Mounted({{"8:17", keyFolder}});
  TForm1 form;
  form.ui()->Button6->click();
  ASSERT_EQ(form.keyRoot(), "D:\\ZKM_Quorvane\\");

  // A second stick, mounted at a folder that sorts before the key's.
  const std::string backup = Device("8:33", "usb1/1-2/block/sdc", "BACKUP", "BACKUP");
  fixture::KeyBuilder other(backup);
  Mounted({{"8:33", backup}, {"8:17", keyFolder}});
  EXPECT_EQ(platform::NativePath(form.keyRoot(), ""), keyFolder + "/ZKM_Quorvane/");
  EXPECT_EQ(platform::NativePath(form.driveRoot(), ""), keyFolder + "/");
  EXPECT_EQ(platform::Current().DriveFolder('E'), backup);

  // The key is pulled and another stick lands at its folder: the key's
  // commands say so and touch nothing.
  Mounted({{"8:33", backup}, {"8:49", keyFolder}});
  EXPECT_EQ(platform::NativePath(form.keyRoot(), ""), "");
  form.ui()->BTN_Bck->click();
  form.ui()->BTN_SP->click();
  EXPECT_EQ(prompts_.messages, QStringList({Msg(1091), Msg(1091)}));
  EXPECT_TRUE(prompts_.saveProposals.isEmpty());
  EXPECT_TRUE(prompts_.openFilters.isEmpty());

  // The key itself back at its folder is the key again.
  Mounted({{"8:33", backup}, {"8:17", keyFolder}});
  EXPECT_EQ(platform::NativePath(form.keyRoot(), ""), keyFolder + "/ZKM_Quorvane/");
}

}  // namespace
