#include "archive/zip/Journal.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "archive/zip/Error.h"
#include "archive/zip/Io.h"
#include "archive/zip/Volumes.h"
#include "archive/zip/Writer.h"

namespace zip {
namespace {

namespace fs = platform::files;

const char kLock[] = ".~qbk-lock";
const char kPlan[] = ".~qbk-plan";
const char kDone[] = ".~qbk-done";
const char kNew[] = ".~qbk-new";
const char kOld[] = ".~qbk-old";
const char kRestore[] = ".~qbk";

std::string Lower(const std::string& s) { return NameKey(s); }

bool AllDigits(const std::string& s, size_t from, size_t to) {
  if (from >= to) return false;
  for (size_t i = from; i < to; ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

struct Place {
  std::string folder;  // with its trailing separator, or empty
  std::string name;
};

Place Split(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return {"", path};
  return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// The names in the archive's folder that exist, found without regard to case.
struct Folder {
  Place place;
  std::vector<std::string> names;

  explicit Folder(const std::string& archivePath) : place(Split(archivePath)) {
    fs::ListFolder(place.folder.empty() ? "." : place.folder, &names);
  }
  std::string Find(const std::string& name) const {
    std::string wanted = Lower(name);
    for (const std::string& n : names)
      if (n == name) return place.folder + n;
    for (const std::string& n : names)
      if (Lower(n) == wanted) return place.folder + n;
    return std::string();
  }
};

bool Exists(const std::string& path) { return fs::Stat(path).exists; }

// What a plan records: base names in the archive's folder.
struct Plan {
  std::vector<std::string> aside;
  std::vector<std::pair<std::string, std::string>> moves;  // temporary -> final
};

std::string Crc(const std::string& text) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08lx",
                crc32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
  return hex;
}

std::string PlanText(const Plan& plan) {
  std::string text = "qbk-plan 1\n";
  for (const std::string& a : plan.aside) text += "old\t" + a + "\n";
  for (const auto& m : plan.moves) text += "new\t" + m.first + "\t" + m.second + "\n";
  return text + "end\t" + Crc(text) + "\n";
}

// False when the text is not a whole plan (the run died while writing it).
bool ParsePlan(const std::string& text, Plan* plan) {
  size_t end = text.rfind("end\t");
  if (end == std::string::npos || text.compare(0, 11, "qbk-plan 1\n") != 0) return false;
  if (text.substr(end) != "end\t" + Crc(text.substr(0, end)) + "\n") return false;
  size_t pos = 11;
  while (pos < end) {
    size_t eol = text.find('\n', pos);
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    std::string kind = line.substr(0, tab), rest = line.substr(tab + 1);
    if (kind == "old") {
      plan->aside.push_back(rest);
    } else if (kind == "new") {
      size_t second = rest.find('\t');
      if (second == std::string::npos) return false;
      plan->moves.emplace_back(rest.substr(0, second), rest.substr(second + 1));
    } else {
      return false;
    }
  }
  return true;
}

std::string ReadSmallFile(const std::string& path) {
  std::string text;
  try {
    InputFile in(path);
    if (in.size() > (1u << 20)) return text;
    text.resize(static_cast<size_t>(in.size()));
    if (!text.empty()) in.ReadAt(0, &text[0], text.size());
  } catch (const Error&) {
    text.clear();
  }
  return text;
}

// Puts the old set back: new volumes back to their temporary names, then
// the old ones to theirs. Safe to repeat after an interruption.
bool Undo(const std::string& folder, const Plan& plan) {
  bool ok = true;
  for (auto m = plan.moves.rbegin(); m != plan.moves.rend(); ++m) {
    std::string temporary = folder + m->first, final = folder + m->second;
    if (!Exists(temporary) && Exists(final)) ok = RenameFile(final, temporary) && ok;
  }
  for (const std::string& a : plan.aside) {
    std::string aside = folder + a + kOld;
    if (Exists(aside)) ok = RenameFile(aside, folder + a) && ok;
  }
  return ok;
}

// Volumes that an earlier version of the engine moved aside as X.~bak<pid>:
// put back unless that run got past placing the archive itself.
bool RepairLegacy(const Folder& folder) {
  std::vector<std::pair<std::string, std::string>> backups;  // backup, original
  bool archiveBackedUp = false;
  for (const std::string& n : folder.names) {
    if (!IsSideFile(folder.place.name, n)) continue;
    size_t at = n.rfind(".~bak");
    if (at == std::string::npos || !AllDigits(n, at + 5, n.size())) continue;
    std::string original = n.substr(0, at);
    backups.emplace_back(folder.place.folder + n, folder.place.folder + original);
    if (Lower(original) == Lower(folder.place.name)) archiveBackedUp = true;
  }
  if (backups.empty()) return true;
  bool committed = archiveBackedUp && !folder.Find(folder.place.name).empty();
  if (committed) return true;  // the backups are deleted with the other leftovers
  bool ok = true;
  for (const auto& b : backups) ok = RenameFile(b.first, b.second) && ok;
  return ok;
}

Error RepairFailed(const std::string& archivePath) {
  return Error("The archive " + archivePath +
               " was left half-replaced by an interrupted backup and cannot be repaired here "
               "(is its folder read-only?)");
}

}  // namespace

std::string LockPath(const std::string& archivePath) { return archivePath + kLock; }
std::string TemporaryPrefix(const std::string& archivePath) { return archivePath + kNew; }

bool IsEngineTemporary(const std::string& fileName) {
  std::string f = Lower(fileName);
  size_t at = f.rfind(kRestore);
  if (at != std::string::npos && at > 0) {
    size_t tail = at + sizeof kRestore - 1;
    if (tail < f.size() && (f[tail] == '-' || AllDigits(f, tail, f.size()))) return true;
  }
  // Left by earlier versions of the engine.
  at = f.rfind(".~bak");
  if (at != std::string::npos && at > 0 && AllDigits(f, at + 5, f.size())) return true;
  at = f.rfind(".~tmp");
  if (at != std::string::npos && at > 0) {
    size_t dash = f.find('-', at);
    if (dash != std::string::npos && AllDigits(f, at + 5, dash) && AllDigits(f, dash + 1, f.size()))
      return true;
  }
  return false;
}

std::string RestoreTemporary(const std::string& target) {
  return target + kRestore + std::to_string(fs::ProcessId());
}

bool IsRestoreTemporary(const std::string& fileName) {
  size_t at = Lower(fileName).rfind(kRestore);
  return at != std::string::npos && at > 0 &&
         AllDigits(fileName, at + sizeof kRestore - 1, fileName.size());
}

bool HasLeftovers(const std::string& archivePath) {
  Folder folder(archivePath);
  std::string lock = Lower(folder.place.name + kLock);
  for (const std::string& n : folder.names)
    if (IsSideFile(folder.place.name, n) && Lower(n) != lock) return true;
  return false;
}

bool HasLockFile(const std::string& archivePath) {
  return !Folder(archivePath).Find(Split(archivePath).name + kLock).empty();
}

fs::LockResult ArchiveLock::LockAndRepair(const std::string& archivePath) {
  if (IoShouldFail(IoOp::kLock, archivePath)) return fs::LockResult::kFailed;
  fs::LockResult result = lock_.Lock(LockPath(archivePath));
  if (result != fs::LockResult::kLocked) return result;
  try {
    if (HasLeftovers(archivePath)) RepairInterrupted(archivePath);
  } catch (...) {
    lock_.Unlock();
    throw;
  }
  return result;
}

void RepairInterrupted(const std::string& archivePath) {
  Folder folder(archivePath);
  const std::string& dir = folder.place.folder;
  std::string done = folder.Find(folder.place.name + kDone);
  std::string plan = folder.Find(folder.place.name + kPlan);
  if (done.empty() && !plan.empty()) {
    Plan parsed;
    if (ParsePlan(ReadSmallFile(plan), &parsed) && !Undo(dir, parsed)) throw RepairFailed(archivePath);
    // The plan goes first: once the old set is back, a repeated undo must
    // not take a restored volume for a placed new one.
    if (!RemoveFile(plan)) throw RepairFailed(archivePath);
    SyncFolderOf(archivePath);
  } else if (done.empty() && !RepairLegacy(folder)) {
    throw RepairFailed(archivePath);
  }
  Folder now(archivePath);
  std::string lock = Lower(folder.place.name + kLock), doneName = Lower(folder.place.name + kDone);
  bool ok = true;
  for (const std::string& n : now.names) {
    if (!IsSideFile(folder.place.name, n) || Lower(n) == lock || Lower(n) == doneName) continue;
    ok = RemoveFile(dir + n) && ok;
  }
  if (!ok) throw RepairFailed(archivePath);
  if (!done.empty() && !RemoveFile(done)) throw RepairFailed(archivePath);
  SyncFolderOf(archivePath);
}

void ReplaceSet(const std::string& archivePath, const std::vector<std::string>& old,
                const std::vector<std::string>& temporaries) {
  Place place = Split(archivePath);
  Plan plan;
  std::vector<std::string> keys;
  auto setAside = [&](const std::string& path) {
    std::string name = Split(path).name;
    if (std::find(keys.begin(), keys.end(), Lower(name)) != keys.end() || !Exists(path)) return;
    keys.push_back(Lower(name));
    plan.aside.push_back(name);
  };
  for (const std::string& o : old) setAside(o);
  std::vector<std::string> finals;
  for (size_t i = 0; i + 1 < temporaries.size(); ++i)
    finals.push_back(VolumePath(archivePath, static_cast<std::uint32_t>(i + 1)));
  finals.push_back(archivePath);
  for (const std::string& f : finals) setAside(f);
  for (size_t i = 0; i < temporaries.size(); ++i)
    plan.moves.emplace_back(Split(temporaries[i]).name, Split(finals[i]).name);

  const std::string planPath = archivePath + kPlan, donePath = archivePath + kDone;
  auto discard = [&]() {
    for (const std::string& t : temporaries) RemoveFile(t);
  };
  try {
    if (!SyncFolderOf(archivePath)) throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
    OutputFile out(planPath, archivePath);
    std::string text = PlanText(plan);
    out.Write(text.data(), text.size());
    out.Close(true);
    if (!SyncFolderOf(archivePath)) throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
  } catch (...) {
    RemoveFile(planPath);
    discard();
    throw;
  }
  try {
    for (const std::string& a : plan.aside) {
      std::string path = place.folder + a;
      if (Exists(path) && !RenameFile(path, path + kOld)) throw Error(Reason::kCannotWrite, {archivePath}, "Cannot replace " + archivePath);
    }
    for (size_t i = 0; i < temporaries.size(); ++i)
      if (!RenameFile(temporaries[i], finals[i])) throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
    if (!SyncFolderOf(archivePath) || !RenameFile(planPath, donePath))
      throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
  } catch (...) {
    // Before the commit point: the old set goes back. A plan that cannot
    // be undone now stays for the next open to finish the undo.
    if (Undo(place.folder, plan) && RemoveFile(planPath)) {
      SyncFolderOf(archivePath);
      discard();
    }
    throw;
  }
  // Committed. What remains is tidying; the next open finishes it if this
  // fails.
  SyncFolderOf(archivePath);
  bool tidy = true;
  for (const std::string& a : plan.aside) tidy = RemoveFile(place.folder + a + kOld) && tidy;
  if (tidy) RemoveFile(donePath);
}

}  // namespace zip
