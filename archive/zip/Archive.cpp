#include "archive/zip/Archive.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>

#include "archive/zip/Error.h"
#include "archive/zip/Io.h"
#include "archive/zip/Journal.h"
#include "archive/zip/Pipeline.h"
#include "archive/zip/Progress.h"
#include "archive/zip/Reader.h"
#include "archive/zip/Text.h"
#include "archive/zip/Verify.h"
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

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// "E:\" is the root of drive E, while "E:" is drive E's current folder,
// which may be any folder on the key.
bool IsDriveRoot(const std::string& path) {
#ifdef _WIN32
  return path.size() == 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         IsSeparator(path[2]);
#else
  (void)path;
  return false;
#endif
}

std::string TrimSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back()) && !IsDriveRoot(path)) path.pop_back();
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
  if (slash == 0 || IsDriveRoot(path.substr(0, slash + 1))) return path.substr(0, slash + 1);
  return path.substr(0, slash);
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
  std::string archiveFolder;
  std::string archiveName;
  std::vector<std::string> masks;
  std::vector<Item> items;
  std::uint64_t bytes = 0;

  void Folder(const std::string& path, const std::string& prefix) {
    std::vector<std::string> names;
    if (!ListFolder(path, &names))
      throw Error(Reason::kCannotRead, {path}, "Cannot read folder " + path);
    std::sort(names.begin(), names.end());
    // The same folder however either path spells it (Windows ignores case).
    bool archiveHere = fs::SameFile(path, archiveFolder);
    for (const std::string& name : names) {
      std::string child = Join(path, name);
      fs::Info info = fs::Stat(child);
      if (!info.exists) throw Error(Reason::kCannotRead, {child}, "Cannot read " + child);
      if (info.isLink) continue;  // never followed, never stored
      if (info.isFolder) {
        if (AnyMaskMatches(masks, name))
          items.push_back({prefix + name + "/", child, true, 0, info.modified, info.dosAttributes});
        Folder(child, prefix + name + "/");
      } else if (info.isFile) {
        if (archiveHere && IsArchiveFile(archiveName, name)) continue;
        if (IsEngineTemporary(name)) continue;  // a run that was killed left it
        if (!AnyMaskMatches(masks, name)) continue;
        items.push_back(
            {prefix + name, child, false, info.size, info.modified, info.dosAttributes});
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
    if (info.isLink)
      throw Error(Reason::kLinkInTheWay, {path},
                  "Refusing to extract through the symbolic link " + path);
    if (info.isFolder) continue;
    if (info.exists || !fs::MakeFolder(path))
      throw Error(Reason::kCannotCreate, {path}, "Cannot create folder " + path);
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

void Archive::SetVolumeSize(std::int64_t size) { volumeSize_ = size < 65536 ? 65536 : size; }

std::vector<std::string> Archive::volumePaths() const { return sourcePaths_; }

namespace {

Error InUse(const std::string& path) {
  return Error(Reason::kArchiveInUse, {path},
               "The archive " + path + " is in use by another program");
}

}  // namespace

void Archive::TakeLock() {
  const bool reader = mode_ == Mode::kRead;
  lock_ = std::make_unique<ArchiveLock>();
  fs::LockResult result = reader ? lock_->ShareAndRepair(path_) : lock_->LockAndRepair(path_);
  if (result == fs::LockResult::kLocked) return;
  lock_.reset();
  if (result == fs::LockResult::kBusy) throw InUse(path_);
  if (result == fs::LockResult::kNotAFile)
    throw Error(Reason::kForeignFile, {LockPath(path_)},
                "The lock file " + LockPath(path_) + " is not a regular file: it is left alone");
  if (reader) {
    // No lock file can be made here (a read-only medium): the set is read
    // as it stands where that is sound, from volumes held open until Close.
    CheckReadableAsItStands(path_);
    pinned_ = std::make_shared<PinnedVolumes>();
    return;
  }
  if (mode_ == Mode::kReplace || HasLeftovers(path_))
    throw Error(Reason::kFolderReadOnly, {path_},
                "Cannot write in the folder of " + path_ + " (read-only?)");
  // kUpdate in a folder that cannot be written: the archive can still be
  // read; writing fails when it is tried.
}

void Archive::Open(const std::string& path) {
  if (open_) throw Error("An archive is already open");
  if (path.empty()) throw Error("No archive name given");
  Reset();
  path_ = path;
  try {
    if (path.find_first_of("\r\n\t") != std::string::npos)
      throw Error("Invalid archive name: " + path);
    TakeLock();
    fs::Info info = fs::Stat(path);
    if (info.exists && !info.isFile)
      throw Error(Reason::kNotAnArchive, {path}, path + " is not a file");
    if (!info.exists && mode_ == Mode::kRead)
      throw Error(Reason::kArchiveNotFound, {path}, "Archive not found: " + path);
    if (info.exists) {
      if (pinned_) pinned_->Pin(path);
      FileVolumes last({path}, pinned_);
      EndRecord end = ReadEndRecord(last);
      sourcePaths_ = FindVolumes(path, end.thisDisk);
      if (pinned_) {
        for (const std::string& volume : sourcePaths_) pinned_->Pin(volume);
        // A writer moves the archive's own name aside before it places any
        // new volume: while it stands, the volumes held are all of one set.
        if (!pinned_->Find(path)->StillAt(path)) throw InUse(path);
      }
      source_ = std::make_unique<FileVolumes>(sourcePaths_, pinned_);
      entries_ = ReadDirectory(*source_, end);
      if (mode_ == Mode::kReplace) {
        for (const std::string& volume : sourcePaths_) {
          std::FILE* f =
              (fs::Stat(volume).dosAttributes & 0x01) ? nullptr : fs::Open(volume, "r+b");
          if (!f)
            throw Error(Reason::kArchiveReadOnly, {volume},
                        volume + " is read-only: it is not replaced");
          std::fclose(f);
        }
        entries_.clear();  // the new set mirrors what is added, nothing else
        source_.reset();
        StartWriting();
      }
    } else {
      StartWriting();
    }
  } catch (const Error& error) {
    std::string reason = error.what();
    Reset();
    // Every reason names the user's archive (never a temporary file), in
    // the message and in the reason's file, which the windows show.
    Error named = error.NamingFile(path);
    if (reason.find(path) == std::string::npos) throw Error(named, path + ": " + reason);
    throw named;
  } catch (...) {
    Reset();
    throw;
  }
  open_ = true;
}

void Archive::StartWriting() {
  if (writer_) return;
  if (mode_ == Mode::kRead) throw Error("The archive " + path_ + " is open for reading only");
  if (!lock_)
    throw Error(Reason::kFolderReadOnly, {path_},
                "Cannot write in the folder of " + path_ + " (read-only?)");
  volumes_ = std::make_unique<VolumeWriter>(TemporaryPrefix(path_),
                                            static_cast<std::uint64_t>(volumeSize_), path_);
  writer_ = std::make_unique<Writer>(volumes_.get());
}

void Archive::AddFiles(const std::string& baseFolder, const std::vector<std::string>& masks) {
  if (!open_) throw Error("No archive open");
  if (failed_) throw Error("The archive cannot be written after an earlier failure");
  try {
    std::string base = TrimSeparators(baseFolder);
    fs::Info info = fs::Stat(base);
    if (info.isLink) info = fs::Stat(fs::Canonical(base));
    if (!info.isFolder)
      throw Error(Reason::kFolderNotFound, {baseFolder}, "Folder not found: " + baseFolder);
    Scan scan;
    scan.archiveFolder = FolderOf(path_);
    scan.archiveName = path_.substr(
        path_.find_last_of("/\\") == std::string::npos ? 0 : path_.find_last_of("/\\") + 1);
    scan.masks = masks.empty() ? std::vector<std::string>{"*.*"} : masks;
    scan.Folder(base, "");
    StartWriting();
    ProgressMeter meter(progress_, scan.bytes);
    PackPipeline pipeline(writer_.get(), threads_ ? threads_ : DefaultThreads(),
                          [&](std::uint64_t n) { meter.Add(n); });
    for (const Item& item : scan.items) {
      if (item.folder) {
        pipeline.AddFolder(item.entryName, item.modified, item.attributes);
        continue;
      }
      fs::Info now = fs::Stat(item.path);
      if (!now.isFile) {
        pipeline.Finish();  // what comes before it first
        throw Error(Reason::kFileVanished, {item.path},
                    "File vanished while archiving: " + item.path);
      }
      pipeline.AddFile(item.entryName, item.path, now.size, item.modified, item.attributes);
    }
    pipeline.Finish();
    meter.Finish();
  } catch (...) {
    // Nothing of a failed add is ever committed, also not by the destructor.
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
    ProgressMeter meter(progress_, n);
    writer_->AddBuffer(entryName, data, n, static_cast<std::int64_t>(std::time(nullptr)), 0x20);
    meter.Finish();
  } catch (...) {
    failed_ = true;
    throw;
  }
}

namespace {

// What a path below the destination is now.
enum class Kind { kAbsent, kFolder, kFile };

// Checks every target of an extraction before anything is written; returns
// the bytes the files will add beyond those they replace.
class TargetCheck {
 public:
  explicit TargetCheck(std::string root) : root_(std::move(root)) {}

  std::uint64_t growth() const { return growth_; }

  void Entry(const zip::Entry& e) {
    std::string name = e.name;
    bool folder = e.isFolder();
    while (!name.empty() && name.back() == '/') name.pop_back();
    size_t start = 0;
    std::string relative;
    for (;;) {
      size_t slash = name.find('/', start);
      std::string part =
          name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
      bool last = slash == std::string::npos;
      start = last ? name.size() : slash + 1;
      if (part.empty() || part == ".") {
        if (last) break;
        continue;
      }
      relative = relative.empty() ? part : relative + "/" + part;
      Want(relative, last && !folder ? Kind::kFile : Kind::kFolder, last ? e.size : 0);
      if (last) break;
    }
  }

 private:
  void Want(const std::string& relative, Kind want, std::uint64_t size) {
    std::string key = NameKey(relative);
    auto known = planned_.find(key);
    if (known != planned_.end()) {
      if (known->second != want)
        throw Error(Reason::kDamagedArchive, {relative},
                    "The archive holds both a file and a folder named " + relative);
      return;
    }
    planned_[key] = want;
    std::string path = root_ + "/" + relative;
    fs::Info info = fs::Stat(path);
    if (info.isLink)
      throw Error(Reason::kLinkInTheWay, {path},
                  "Refusing to extract through the symbolic link " + path);
    if (want == Kind::kFolder) {
      if (info.exists && !info.isFolder)
        throw Error(Reason::kFileInTheWay, {path}, "A file is in the way of the folder " + path);
      return;
    }
    if (info.isFolder)
      throw Error(Reason::kFolderInTheWay, {path}, "A folder is in the way of " + path);
    if (info.exists && !info.isFile)
      throw Error(Reason::kCannotWrite, {path}, "Cannot replace " + path + " (not a file)");
    if (!info.exists || size > info.size) growth_ += size - (info.exists ? info.size : 0);
  }

  std::string root_;
  std::map<std::string, Kind> planned_;
  std::uint64_t growth_ = 0;
};

// The nearest folder of path that exists (the free space is asked there).
std::string ExistingAncestor(std::string path) {
  while (!path.empty() && !fs::Stat(path).exists) {
    size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    path = slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
  }
  return path.empty() ? "." : path;
}

std::string Megabytes(std::uint64_t bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

}  // namespace

void Archive::Test(const std::function<void(std::uint64_t)>& onBytes, std::vector<Error>* faults) {
  if (!open_) throw Error("No archive open");
  if (!source_) return;  // a new archive holds nothing yet
  std::vector<const Entry*> files;
  for (const Entry& e : entries_)
    if (!e.isFolder()) files.push_back(&e);
  VerifyEntries(sourcePaths_, pinned_, files, threads_ ? threads_ : DefaultThreads(), onBytes,
                faults);
}

void Archive::ExtractFiles(const std::string& destination, const std::string& mask) {
  if (!open_) throw Error("No archive open");
  std::vector<const Entry*> chosen;
  bool byPath = mask.find_first_of("/\\") != std::string::npos;
  for (const Entry& e : entries_) {
    if (MaskMatches(mask, byPath ? e.name : BaseName(e.name))) chosen.push_back(&e);
  }
  ExtractChosen(destination, chosen);
}

void Archive::ExtractNamed(const std::string& destination, const std::vector<std::string>& names) {
  if (!open_) throw Error("No archive open");
  std::set<const Entry*> picked;
  for (std::string name : names) {
    while (!name.empty() && name.back() == '/') name.pop_back();
    bool found = false;
    for (const Entry& e : entries_) {
      std::string own = e.name;
      if (!own.empty() && own.back() == '/') own.pop_back();
      if (!name.empty() && (own == name || e.name.compare(0, name.size() + 1, name + "/") == 0)) {
        picked.insert(&e);
        found = true;
      }
    }
    if (!found) throw Error("Not in the archive: " + name);
  }
  std::vector<const Entry*> chosen;
  for (const Entry& e : entries_)
    if (picked.count(&e)) chosen.push_back(&e);
  ExtractChosen(destination, chosen);
}

void Archive::ExtractChosen(const std::string& destination,
                            const std::vector<const Entry*>& chosen) {
  std::vector<const Entry*> files;
  std::uint64_t total = 0, largest = 0;
  for (const Entry* e : chosen) {
    if (!IsSafeEntryName(e->name))
      throw Error(Reason::kUnsafeName, {e->name}, "Unsafe entry name refused: " + e->name);
    if (e->isFolder()) continue;
    files.push_back(e);
    total += e->size;
    largest = std::max<std::uint64_t>(largest, e->size);
  }
  if (entryCheck_) entryCheck_(chosen);
  if (files.empty())
    throw Error(Reason::kNoFiles, {path_}, "The archive " + path_ + " holds no files to extract");
  std::string root = TrimSeparators(destination);
  if (root.empty()) throw Error("No destination folder given");

  // Everything is checked before the first byte is written.
  fs::Info rootInfo = fs::Stat(root);
  if (rootInfo.isLink) rootInfo = fs::Stat(fs::Canonical(root));
  if (rootInfo.exists && !rootInfo.isFolder)
    throw Error(Reason::kFileInTheWay, {root}, "Not a folder: " + root);
  TargetCheck targets(rootInfo.exists ? fs::Canonical(root) : root);
  for (const Entry* e : chosen) targets.Entry(*e);
  std::int64_t free = fs::FreeSpace(ExistingAncestor(root));
  std::uint64_t needed = targets.growth() + largest;
  if (free >= 0 && needed > static_cast<std::uint64_t>(free))
    throw Error(Reason::kNotEnoughSpace,
                {root, Megabytes(needed), Megabytes(static_cast<std::uint64_t>(free))},
                "Not enough free space in " + root + ": " + Megabytes(needed) + " needed, " +
                    Megabytes(static_cast<std::uint64_t>(free)) + " free");
  // One sweep of the gauge: the check is its first half, the writing the second.
  ProgressMeter meter(progress_, total * 2);
  VerifyEntries(sourcePaths_, pinned_, files, threads_ ? threads_ : DefaultThreads(),
                [&](std::uint64_t n) { meter.Add(n); });

  for (size_t i = 1; i <= root.size(); ++i) {
    if (i < root.size() && root[i] != '/' && root[i] != '\\') continue;
    std::string prefix = root.substr(0, i);
    if (!fs::Stat(prefix).exists && !fs::MakeFolder(prefix))
      throw Error(Reason::kCannotCreate, {prefix}, "Cannot create folder " + prefix);
  }
  std::set<std::string> tidied;
  for (const Entry* e : chosen) {
    if (e->isFolder()) {
      MakeTree(root, e->name);
      continue;
    }
    size_t slash = e->name.find_last_of('/');
    std::string folder = slash == std::string::npos ? std::string() : e->name.substr(0, slash);
    if (!folder.empty()) MakeTree(root, folder);
    std::string target = Join(root, e->name);
    std::string here = folder.empty() ? root : Join(root, folder);
    if (tidied.insert(here).second) {
      // Temporary files of a restore that was killed are not the user's.
      std::vector<std::string> names;
      if (fs::ListFolder(here, &names))
        for (const std::string& n : names)
          if (IsRestoreTemporary(n)) RemoveFile(Join(here, n));
    }
    fs::Info existing = fs::Stat(target);
    if (existing.isFolder)
      throw Error(Reason::kFolderInTheWay, {target}, "A folder is in the way of " + target);
    std::string temporary = RestoreTemporary(target);
    try {
      OutputFile out(temporary, target);
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
      throw Error(Reason::kCannotWrite, {target}, "Cannot replace " + target);
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
    if (e.name == wanted) {
      found = &e;
      break;
    }
  if (!found) {
    for (const Entry& e : entries_)
      if (NameKey(e.name) == NameKey(wanted)) {
        found = &e;
        break;
      }
  }
  if (!found || found->isFolder()) throw Error("Entry not found: " + name);
  std::vector<unsigned char> data;
  data.reserve(std::min<std::uint32_t>(found->size, 64u << 20));
  ReadEntryData(*source_, *found,
                [&](const unsigned char* p, size_t k) { data.insert(data.end(), p, p + k); });
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
    if (!kept.empty()) {
      ProgressMeter meter(progress_, copyBytes);
      for (const Entry* e : kept)
        writer_->CopyEntry(*source_, *e, [&](std::uint64_t n) { meter.Add(n); });
      meter.Finish();
    }
    writer_->Finish();
    std::vector<std::string> temporary = volumes_->Finish();
    source_.reset();
    ReplaceSet(path_, sourcePaths_, temporary);
  } catch (...) {
    Reset();
    throw;
  }
  Reset();
}

void Archive::Reset() {
  writer_.reset();
  if (volumes_) volumes_->Discard();
  volumes_.reset();
  source_.reset();
  pinned_.reset();
  lock_.reset();
  sourcePaths_.clear();
  entries_.clear();
  open_ = false;
  failed_ = false;
  path_.clear();
}

}  // namespace zip
