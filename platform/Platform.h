// The only door to the operating system. Everything the tool asks of the
// machine (drives, labels, drive types, the process list, starting programs,
// running commands, the earlier product's drive C) goes through Platform, so
// that the windows and the archive and database code never include an
// operating-system header, and tests can replace the machine with a table.
//
// Drive letters everywhere: each implementation gives every drive a letter
// and a native root folder (Windows its own; Linux C for "/" and D, E, ...
// for the other mounted file systems, in mount-point order at first; the
// simulated table one letter per row). Key paths keep the Windows form
// ("E:\..."). A letter stays with its file system: while the program runs
// it never comes to name another one, so a path formed from KeyRoot reaches
// the key it was accepted on or nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The values GetDriveTypeA answers.
enum DriveKind : unsigned {
  kDriveUnknown = 0,
  kDriveNoRootDir = 1,
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdRom = 5,
  kDriveRamDisk = 6,
};

// What became of a program start.
enum class StartResult {
  kStarted,        // the program runs
  kFailed,         // it could not be started
  kNoInterpreter,  // a Windows program, and nothing here can run one (no Wine)
};

// One program start or command run, as a recording implementation keeps it.
struct LaunchRecord {
  std::string kind;     // "start" or "command"
  std::string program;  // native path of the program, or the command line
  std::string workDir;  // current folder for the start (may be empty)
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Bit i is set when the drive with letter 'A' + i exists. 0 when the
  // drive list cannot be read.
  virtual std::uint32_t LogicalDrives() = 0;

  // Volume label of the drive whose root is given as "E:\". Returns false
  // (and leaves *label alone) when the label cannot be read.
  virtual bool VolumeLabel(const std::string& root, std::string* label) = 0;

  // Kind of the drive whose root or drive text is given ("E:\" or "e:").
  virtual unsigned DriveType(const std::string& root) = 0;

  // Native folder that a drive letter (either case) stands for; empty when
  // the drive does not exist. On Windows "E:\".
  virtual std::string DriveFolder(char letter) = 0;

  // Text shown for a drive in a drive selector after "e: ": the label and,
  // where the platform has one, the native mount point.
  virtual std::string DriveDescription(char letter) = 0;

  // Whether a process whose executable base name equals exeName exactly
  // (case-sensitive) runs. False when the process list cannot be read.
  virtual bool IsProcessRunning(const std::string& exeName) = 0;

  // Starts the program (or batch file) at a native path with workDir as its
  // current folder, without waiting for it.
  virtual StartResult StartProgram(const std::string& nativePath, const std::string& workDir) = 0;

  // Runs a command line through the command interpreter and waits for it.
  // Returns its exit code, or -1 when it could not be run.
  virtual int RunCommand(const std::string& commandLine) = 0;

  // The key's disk check. On Windows runs chkdskCommandLine ("chkdsk e: /f
  // /v") through the command interpreter and waits. Elsewhere a mounted FAT
  // key must not be repaired in place: the drive's device is unmounted, its
  // file system checked in a terminal window where the user answers the
  // checker's questions, then mounted again. False when the check could not
  // be run (the key could not be unmounted, say); nothing was run then.
  virtual bool CheckDisk(const std::string& chkdskCommandLine, const std::string& drive) = 0;

  // Makes what was written to the drive (given as "E:\", "e:" or any key
  // text that starts with its letter) reach the device, so that the key
  // can be pulled out safely. False, with a reason in *error when error is
  // not null, when the drive does not exist or its writes could not be
  // completed.
  virtual bool FlushDrive(const std::string& drive, std::string* error) = 0;

  // Native folder that plays the earlier product's drive C ("C:\").
  virtual std::string LegacySystemRoot() = 0;

  // Full native path of the running program's own file.
  virtual std::string ExecutablePath() = 0;
};

// The platform in use. Created on first use: the simulated drive table when
// the environment variable QUORVANE_DRIVE_TABLE names one, otherwise the
// native implementation of this operating system.
Platform& Current();

// Replaces the platform in use (tests, the demo). Takes ownership.
void Install(std::unique_ptr<Platform> platform);

// The native implementation of the operating system the tool was built for.
std::unique_ptr<Platform> CreateNative();

// Native path for a key text in Windows form: "E:\ZKM_Quorvane\Database\x",
// "e:" + "\ZKM_Quorvane\", "e:Zkm_Quorvane.bat" (a file in the drive's root).
// Each existing component is matched without regard to case on a file
// system that distinguishes case; missing components keep their spelling.
// Texts without a drive are treated as native paths with '\' as separator.
// Returns an empty text when the drive does not exist.
std::string NativePath(const std::string& keyText);

// NativePath(base + relative): the form used by every caller that appends a
// relative path to KeyRoot or DriveRoot.
std::string NativePath(const std::string& base, const std::string& relative);

// Native path of a file of the earlier product, given in its "C:\..." form.
std::string LegacyPath(const std::string& windowsPath);

// Resolves each component of a relative path ('\' or '/' separated) below a
// native folder without regard to case. Shared by the helpers above.
std::string ResolveBelow(const std::string& nativeFolder, const std::string& relative);

// Current().FlushDrive: called before a command that wrote to the key says
// it succeeded.
bool FlushDrive(const std::string& keyText, std::string* error = nullptr);

// Whether a file (not a folder) exists at a native path.
bool FileExists(const std::string& nativePath);

}  // namespace platform
