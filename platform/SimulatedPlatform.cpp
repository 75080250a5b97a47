#include "platform/SimulatedPlatform.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  if (!line.empty() && line.back() == '\t') fields.emplace_back();
  return fields;
}

bool ParseType(const std::string& name, unsigned* type) {
  static const std::map<std::string, unsigned> kTypes = {
      {"unknown", kDriveUnknown}, {"noroot", kDriveNoRootDir}, {"removable", kDriveRemovable},
      {"fixed", kDriveFixed},     {"network", kDriveRemote},   {"cdrom", kDriveCdRom},
      {"ramdisk", kDriveRamDisk}};
  auto it = kTypes.find(name);
  if (it == kTypes.end()) return false;
  *type = it->second;
  return true;
}

}  // namespace

std::unique_ptr<SimulatedPlatform> SimulatedPlatform::FromTable(const std::string& path) {
  auto machine = std::make_unique<SimulatedPlatform>();
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (in && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f = SplitTabs(line);
    if (f[0] == "drive" && f.size() == 5 && f[1].size() == 1 &&
        std::isalpha(static_cast<unsigned char>(f[1][0]))) {
      unsigned type;
      if (!ParseType(f[2], &type)) continue;
      bool readable = f[3] != "?";
      machine->AddDrive(f[1][0], f[4], readable ? f[3] : "", type, readable);
    } else if (f[0] == "process" && f.size() == 2) {
      machine->AddProcess(f[1]);
    } else if (f[0] == "legacy-c" && f.size() == 2) {
      machine->SetLegacySystemRoot(f[1]);
    }
  }
  return machine;
}

void SimulatedPlatform::AddDrive(char letter, const std::string& folder, const std::string& label,
                                 unsigned type, bool labelReadable) {
  Drive d;
  d.folder = folder;
  d.label = label;
  d.labelReadable = labelReadable;
  d.type = type;
  drives_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = d;
}

void SimulatedPlatform::AddProcess(const std::string& exeName) { processes_.push_back(exeName); }

std::vector<LaunchRecord> SimulatedPlatform::Launches() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return launches_;
}

const SimulatedPlatform::Drive* SimulatedPlatform::Find(const std::string& rootOrLetter) const {
  if (rootOrLetter.empty()) return nullptr;
  char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rootOrLetter[0])));
  auto it = drives_.find(letter);
  return it == drives_.end() ? nullptr : &it->second;
}

std::uint32_t SimulatedPlatform::LogicalDrives() {
  std::uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_) {
    if (letter >= 'A' && letter <= 'Z') mask |= 1u << (letter - 'A');
  }
  return mask;
}

bool SimulatedPlatform::VolumeLabel(const std::string& root, std::string* label) {
  const Drive* d = Find(root);
  if (!d || !d->labelReadable) return false;
  *label = d->label;
  return true;
}

unsigned SimulatedPlatform::DriveType(const std::string& root) {
  const Drive* d = Find(root);
  return d ? d->type : kDriveNoRootDir;
}

std::string SimulatedPlatform::DriveFolder(char letter) {
  const Drive* d = Find(std::string(1, letter));
  return d ? d->folder : std::string();
}

std::string SimulatedPlatform::DriveDescription(char letter) {
  const Drive* d = Find(std::string(1, letter));
  if (!d) return std::string();
  return d->label.empty() ? "(" + d->folder + ")" : d->label + " (" + d->folder + ")";
}

bool SimulatedPlatform::IsProcessRunning(const std::string& exeName) {
  for (const std::string& p : processes_) {
    if (p == exeName) return true;
  }
  return false;
}

StartResult SimulatedPlatform::StartProgram(const std::string& nativePath,
                                            const std::string& workDir) {
  std::lock_guard<std::mutex> lock(mutex_);
  launches_.push_back({"start", nativePath, workDir});
  return startResult_;
}

bool SimulatedPlatform::CheckDisk(const std::string& chkdskCommandLine, const std::string&) {
  if (checkDiskFails_) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  launches_.push_back({"command", chkdskCommandLine, ""});
  return true;
}

int SimulatedPlatform::RunCommand(const std::string& commandLine) {
  std::lock_guard<std::mutex> lock(mutex_);
  launches_.push_back({"command", commandLine, ""});
  return 0;
}

void SimulatedPlatform::SetFlushFails(bool fails) {
  std::lock_guard<std::mutex> lock(mutex_);
  flushFails_ = fails;
}

std::vector<std::string> SimulatedPlatform::Flushes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return flushes_;
}

bool SimulatedPlatform::FlushDrive(const std::string& drive, std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  flushes_.push_back(drive);
  if (!Find(drive)) {
    if (error) *error = "No such device";
    return false;
  }
  if (flushFails_) {
    if (error) *error = "Input/output error";
    return false;
  }
  return true;
}

std::string SimulatedPlatform::LegacySystemRoot() { return legacyRoot_; }

std::string SimulatedPlatform::ExecutablePath() {
  return exePath_.empty() ? CreateNative()->ExecutablePath() : exePath_;
}

}  // namespace platform
