// A machine described by a drive table, for tests and the demo: a key can be
// "plugged in" anywhere without root. Program starts and command runs are
// recorded, never carried out.
//
// Table file, one row per line, fields separated by tabs:
//   drive   LETTER  TYPE  LABEL  FOLDER   TYPE: removable fixed network
//                                         cdrom ramdisk unknown noroot;
//                                         LABEL "?" = unreadable label
//   process NAME                          a running executable's base name
//   legacy-c FOLDER                       the earlier product's drive C
// Lines starting with '#' and empty lines are ignored; so are rows that
// cannot be understood. A table that cannot be read gives a machine
// without drives.
#pragma once

#include <map>
#include <mutex>

#include "platform/Platform.h"

namespace platform {

class SimulatedPlatform : public Platform {
 public:
  struct Drive {
    std::string folder;
    std::string label;
    bool labelReadable = true;
    unsigned type = kDriveRemovable;
  };

  SimulatedPlatform() = default;
  // Reads the table file; see above.
  static std::unique_ptr<SimulatedPlatform> FromTable(const std::string& path);

  void AddDrive(char letter, const std::string& folder, const std::string& label, unsigned type,
                bool labelReadable = true);
  void AddProcess(const std::string& exeName);
  void SetLegacySystemRoot(const std::string& folder) { legacyRoot_ = folder; }
  // What StartProgram answers from now on (kStarted by default).
  void SetStartResult(StartResult result) { startResult_ = result; }
  // Makes CheckDisk fail (a key that cannot be unmounted).
  void SetCheckDiskFails(bool fails) { checkDiskFails_ = fails; }
  void SetExecutablePath(const std::string& path) { exePath_ = path; }
  // Makes FlushDrive fail from now on (a key whose writes did not reach it).
  void SetFlushFails(bool fails);
  // The drive texts FlushDrive was asked to flush so far, in order.
  std::vector<std::string> Flushes() const;

  // Starts and command runs so far, in order.
  std::vector<LaunchRecord> Launches() const;

  std::uint32_t LogicalDrives() override;
  bool VolumeLabel(const std::string& root, std::string* label) override;
  unsigned DriveType(const std::string& root) override;
  std::string DriveFolder(char letter) override;
  std::string DriveDescription(char letter) override;
  bool IsProcessRunning(const std::string& exeName) override;
  StartResult StartProgram(const std::string& nativePath, const std::string& workDir) override;
  bool CheckDisk(const std::string& chkdskCommandLine, const std::string& drive) override;
  int RunCommand(const std::string& commandLine) override;
  bool FlushDrive(const std::string& drive, std::string* error) override;
  std::string LegacySystemRoot() override;
  std::string ExecutablePath() override;

 private:
  const Drive* Find(const std::string& rootOrLetter) const;

  std::map<char, Drive> drives_;  // upper-case letters
  std::vector<std::string> processes_;
  std::string legacyRoot_;
  std::string exePath_;
  StartResult startResult_ = StartResult::kStarted;
  bool checkDiskFails_ = false;
  mutable std::mutex mutex_;
  std::vector<LaunchRecord> launches_;
  bool flushFails_ = false;
  std::vector<std::string> flushes_;
};

}  // namespace platform
