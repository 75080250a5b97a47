#include "archive/zip/Archive.h"

#include <algorithm>
#include <ctime>

#include "archive/zip/Error.h"
#include "archive/zip/Io.h"
#include "archive/zip/Progress.h"
#include "archive/zip/Reader.h"
#include "archive/zip/Text.h"
#include "archive/zip/Volumes.h"
#include "archive/zip/Writer.h"
#include "platform/Files.h"

namespace zip {
namespace {

namespace fs = platform::files;

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  return (last == '/' || last == '\\') ? folder + name : folder + "/" + name;
}

std::string TrimSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return path;
}

std::string BaseName(const std::string& entryName) {
  std::string name = entryName;
  while (!name.empty() && name.back() == '/') name.pop_back();
  size_t slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

bool AnyMaskMatches(const std::vector<std::string>& masks, const std::string& name) {
  for (const std::string& m : masks)
    if (MaskMatches(m, name)) return true;
  return false;
}

// What a scan of the base folder found, in archive order.
struct Item {
  std::string entryName;
  std::string path;
  bool folder = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  std::uint32_t attributes = 0;
};

struct Scan {
  std::string archiveFolder;  // canonical
  std::string archiveName;
  std::vector<std::string> masks;
  std::vector<Item> items;
  std::uint64_t bytes = 0;

  void Folder(const std::string& path, const std::string& prefix) {
    std::vector<std::string> names;
    if (!fs::ListFolder(path, &names)) throw Error("Cannot read folder " + path);
    std::sort(names.begin(), names.end());
    bool archiveHere = fs::Canonical(path) == archiveFolder;
    for (const std::string& name : names) {
      std::string child = Join(path, name);
      fs::Info info = fs::Stat(child);
      if (!info.exists) throw Error("Cannot read " + child);
      if (info.isLink) continue;  // never followed, never stored
      if (info.isFolder) {
        if (AnyMaskMatches(masks, name))
          items.push_back({prefix + name + "/", child, true, 0, info.modified, info.dosAttributes});
        Folder(child, prefix + name + "/");
      } else if (info.isFile) {
        if (archiveHere && IsArchiveFile(archiveName, name)) continue;
        if (!AnyMaskMatches(masks, name)) continue;
        items.push_back({prefix + name, child, false, info.size, info.modified, info.dosAttributes});
        bytes += info.size;
      }
    }
  }
};

// Creates the folders of a relative path below root, refusing to pass
// through a symbolic link or a file.
void MakeTree(const std::string& root, const std::string& relative) {
  std::string path = root;
  size_t start = 0;
  while (start < relative.size()) {
    size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    std::string part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    path = Join(path, part);
    fs::Info info = fs::Stat(path);
    if (info.isLink) throw Error("Refusing to extract through the symbolic link " + path);
    if (info.isFolder) continue;
    if (info.exists || !fs::MakeFolder(path)) throw Error("Cannot create folder " + path);
  }
}

}  // namespace

Archive::Archive() = default;

Archive::~Archive() {
  try {
    Close();
  } catch (...) {
  }
}

void Archive::SetVolumeSize(std::int64_t size) {
  volumeSize_ = size < 65536 ? 65536 : size;
}

std::vector<std::string> Archive::volumePaths() const { return sourcePaths_; }

void Archive::Report(double percent) {
  if (progress_) progress_(percent);
}

void Archive::Open(const std::string& path) {
  if (open_) throw Error("An archive is already open");
  if (path.empty()) throw Error("No archive name given");
  Reset();
  fs::Info info = fs::Stat(path);
  if (info.exists && !info.isFile) throw Error(path + " is not a file");
  path_ = path;
  try {
    if (info.exists) {
      FileVolumes last({path});
      EndRecord end = ReadEndRecord(last);
      sourcePaths_ = FindVolumes(path, end.thisDisk);
      source_ = std::make_unique<FileVolumes>(sourcePaths_);
      entries_ = ReadDirectory(*source_, end);
    } else {
      isNew_ = true;
      StartWriting();
    }
  } catch (...) {
    Reset();
    throw;
  }
  open_ = true;
}

void Archive::StartWriting() {
  if (writer_) return;
  std::string prefix = path_ + ".~tmp" + std::to_string(fs::ProcessId()) + "-";
  volumes_ = std::make_unique<VolumeWriter>(prefix, static_cast<std::uint64_t>(volumeSize_));
  writer_ = std::make_unique<Writer>(volumes_.get());
}

void Archive::AddFiles(const std::string& baseFolder, const std::vector<std::string>& masks) {
  if (!open_) throw Error("No archive open");
  if (failed_) throw Error("The archive cannot be written after an earlier failure");
  std::string base = TrimSeparators(baseFolder);
  fs::Info info = fs::Stat(base);
  if (info.isLink) info = fs::Stat(fs::Canonical(base));
  if (!info.isFolder) throw Error("Folder not found: " + baseFolder);
  Scan scan;
  scan.archiveFolder = fs::Canonical(FolderOf(path_));
  scan.archiveName = path_.substr(path_.find_last_of("/\\") == std::string::npos
                                      ? 0 : path_.find_last_of("/\\") + 1);
  scan.masks = masks.empty() ? std::vector<std::string>{"*.*"} : masks;
  scan.Folder(base, "");
  try {
    StartWriting();
    ProgressMeter meter(progress_, scan.bytes);
    for (const Item& item : scan.items) {
      if (item.folder) {
        writer_->AddFolder(item.entryName, item.modified, item.attributes);
        continue;
      }
      fs::Info now = fs::Stat(item.path);
      if (!now.isFile) throw Error("File vanished while archiving: " + item.path);
      InputFile file(item.path);
      writer_->AddFile(item.entryName, file, item.modified, item.attributes,
                       [&](std::uint64_t n) { meter.Add(n); });
    }
    meter.Finish();
  } catch (...) {
    failed_ = true;
    throw;
  }
}

void Archive::AddBuffer(const std::string& name, const unsigned char* data, size_t n) {
  if (!open_) throw Error("No archive open");
  if (failed_) throw Error("The archive cannot be written after an earlier failure");
  std::string entryName = name;
  std::replace(entryName.begin(), entryName.end(), '\\', '/');
  if (entryName.empty() || entryName.back() == '/') throw Error("Invalid entry name");
  try {
    StartWriting();
    writer_->AddBuffer(entryName, data, n, static_cast<std::int64_t>(std::time(nullptr)), 0x20);
  } catch (...) {
    failed_ = true;
    throw;
  }
}

void Archive::ExtractFiles(const std::string& destination, const std::string& mask) {
  if (!open_) throw Error("No archive open");
  std::vector<const Entry*> chosen;
  bool byPath = mask.find_first_of("/\\") != std::string::npos;
  for (const Entry& e : entries_) {
    if (MaskMatches(mask, byPath ? e.name : BaseName(e.name))) chosen.push_back(&e);
  }
  std::uint64_t total = 0;
  for (const Entry* e : chosen) {
    if (!IsSafeEntryName(e->name)) throw Error("Unsafe entry name refused: " + e->name);
    total += e->size;
  }
  std::string root = TrimSeparators(destination);
  if (root.empty()) throw Error("No destination folder given");
  for (size_t i = 1; i <= root.size(); ++i) {
    if (i < root.size() && root[i] != '/' && root[i] != '\\') continue;
    std::string prefix = root.substr(0, i);
    if (!fs::Stat(prefix).exists && !fs::MakeFolder(prefix))
      throw Error("Cannot create folder " + prefix);
  }
  if (!fs::Stat(fs::Canonical(root)).isFolder) throw Error("Not a folder: " + root);
  ProgressMeter meter(progress_, total);
  for (const Entry* e : chosen) {
    if (e->isFolder()) {
      MakeTree(root, e->name);
      continue;
    }
    size_t slash = e->name.find_last_of('/');
    if (slash != std::string::npos) MakeTree(root, e->name.substr(0, slash));
    std::string target = Join(root, e->name);
    fs::Info existing = fs::Stat(target);
    if (existing.isFolder) throw Error("A folder is in the way of " + target);
    std::string temporary = target + ".~qbk" + std::to_string(fs::ProcessId());
    try {
      OutputFile out(temporary);
      ReadEntryData(*source_, *e, [&](const unsigned char* p, size_t k) {
        out.Write(p, k);
        meter.Add(k);
      });
      out.Close();
    } catch (...) {
      fs::Remove(temporary);
      throw;
    }
    if (!RenameFile(temporary, target)) {
      fs::Remove(temporary);
      throw Error("Cannot replace " + target);
    }
    fs::SetTimeAndAttributes(target, e->modified(), e->dosAttributes());
  }
  meter.Finish();
}

std::vector<unsigned char> Archive::ExtractToMemory(const std::string& name) {
  if (!open_) throw Error("No archive open");
  std::string wanted = name;
  std::replace(wanted.begin(), wanted.end(), '\\', '/');
  const Entry* found = nullptr;
  for (const Entry& e : entries_)
    if (e.name == wanted) { found = &e; break; }
  if (!found) {
    for (const Entry& e : entries_)
      if (NameKey(e.name) == NameKey(wanted)) { found = &e; break; }
  }
  if (!found || found->isFolder()) throw Error("Entry not found: " + name);
  std::vector<unsigned char> data;
  data.reserve(std::min<std::uint32_t>(found->size, 64u << 20));
  ReadEntryData(*source_, *found, [&](const unsigned char* p, size_t k) {
    data.insert(data.end(), p, p + k);
  });
  return data;
}

void Archive::Close() {
  if (!open_) return;
  if (failed_) {
    Reset();
    throw Error("The archive was left unchanged because adding to it failed");
  }
  if (!writer_) {  // opened and not changed: never rewritten
    Reset();
    return;
  }
  try {
    std::uint64_t copyBytes = 0;
    std::vector<const Entry*> kept;
    for (const Entry& e : entries_) {
      if (!writer_->Has(e.name)) {
        kept.push_back(&e);
        copyBytes += e.compressedSize;
      }
    }
    ProgressMeter meter(progress_, copyBytes);
    for (const Entry* e : kept)
      writer_->CopyEntry(*source_, *e, [&](std::uint64_t n) { meter.Add(n); });
    writer_->Finish();
    std::vector<std::string> temporary = volumes_->Finish();
    source_.reset();
    Commit(temporary);
    meter.Finish();
  } catch (...) {
    Reset();
    throw;
  }
  Reset();
}

void Archive::Commit(const std::vector<std::string>& temporary) {
  std::vector<std::string> finals;
  for (size_t i = 0; i + 1 < temporary.size(); ++i)
    finals.push_back(VolumePath(path_, static_cast<std::uint32_t>(i + 1)));
  finals.push_back(path_);

  std::vector<std::string> replaced = sourcePaths_;
  for (const std::string& f : finals)
    if (std::find(replaced.begin(), replaced.end(), f) == replaced.end()) replaced.push_back(f);

  const std::string backupSuffix = ".~bak" + std::to_string(fs::ProcessId());
  std::vector<std::string> movedAside, placed;
  auto rollback = [&]() {
    for (size_t i = 0; i < placed.size(); ++i) RenameFile(placed[i], temporary[i]);
    for (const std::string& p : movedAside) RenameFile(p + backupSuffix, p);
    for (const std::string& t : temporary) fs::Remove(t);
  };
  for (const std::string& p : replaced) {
    if (!fs::Stat(p).exists) continue;
    if (!RenameFile(p, p + backupSuffix)) {
      rollback();
      throw Error("Cannot replace " + p);
    }
    movedAside.push_back(p);
  }
  for (size_t i = 0; i < temporary.size(); ++i) {
    if (!RenameFile(temporary[i], finals[i])) {
      rollback();
      throw Error("Cannot write " + finals[i]);
    }
    placed.push_back(finals[i]);
  }
  for (const std::string& p : movedAside) fs::Remove(p + backupSuffix);
}

void Archive::Reset() {
  writer_.reset();
  if (volumes_) volumes_->Discard();
  volumes_.reset();
  source_.reset();
  sourcePaths_.clear();
  entries_.clear();
  open_ = false;
  isNew_ = false;
  failed_ = false;
  path_.clear();
}

}  // namespace zip
