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

bool IsVolumeName(const std::string& archiveName, const std::string& name) {
  std::string stem = Lower(StemOf(archiveName)) + ".z", n = Lower(name);
  return n.size() >= stem.size() + 2 && n.compare(0, stem.size(), stem) == 0 &&
         AllDigits(n, stem.size(), n.size());
}

// A or one of its volumes S.Z<digits>: the names a journal file may extend.
bool IsSetName(const std::string& archiveName, const std::string& name) {
  return Lower(name) == Lower(archiveName) || IsVolumeName(archiveName, name);
}

// Splits name at the last occurrence of suffix (case ignored) into what
// comes before it and the lower-case rest after it; false without one.
bool EndsIn(const std::string& name, const char* suffix, std::string* base, std::string* tail) {
  std::string n = Lower(name);
  size_t at = n.rfind(suffix);
  if (at == std::string::npos || at == 0) return false;
  *base = name.substr(0, at);
  *tail = n.substr(at + std::char_traits<char>::length(suffix));
  return true;
}

bool IsBareName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c == ':') return false;
  return true;
}

bool Exists(const std::string& path) { return fs::Stat(path).exists; }

Error NameClash(const std::string& one, const std::string& other) {
  return Error(
      Reason::kNameClash, {one, other},
      "The names " + one + " and " + other + " differ only in case: the archive is not repaired");
}

// The names in the archive's folder, found without regard to case.
struct Folder {
  Place place;
  std::vector<std::string> names;

  explicit Folder(const std::string& archivePath) : place(Split(archivePath)) { Refresh(); }
  void Refresh() {
    names.clear();
    fs::ListFolder(place.folder.empty() ? "." : place.folder, &names);
  }
  // The path of the entry for name, or empty. Throws when two entries
  // differ only in case: which one is meant cannot be told.
  std::string Find(const std::string& name) const {
    std::string wanted = Lower(name), found;
    for (const std::string& n : names) {
      if (Lower(n) != wanted) continue;
      if (!found.empty()) throw NameClash(place.folder + found, place.folder + n);
      found = n;
    }
    return found.empty() ? found : place.folder + found;
  }
};

// What a plan records: base names in the archive's folder.
struct Plan {
  std::vector<std::string> aside;
  std::vector<std::pair<std::string, std::string>> moves;  // temporary -> final
};

std::string Crc(const std::string& text) {
  char hex[16];
  std::snprintf(
      hex, sizeof hex, "%08lx",
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

// Whether a whole plan names the archive's own set and nothing else.
bool NamesOnlyTheSet(const std::string& archiveName, const Plan& plan) {
  if (plan.moves.empty()) return false;
  const std::string archive = Lower(archiveName);
  for (size_t i = 0; i < plan.moves.size(); ++i) {
    const std::string& temporary = plan.moves[i].first;
    const std::string& final = plan.moves[i].second;
    if (!IsBareName(temporary) || !IsBareName(final)) return false;
    if (Lower(temporary) != archive + kNew + std::to_string(i)) return false;
    std::string expected = i + 1 < plan.moves.size()
                               ? VolumePath(archiveName, static_cast<std::uint32_t>(i + 1))
                               : archiveName;
    if (Lower(final) != Lower(expected)) return false;
  }
  std::vector<std::string> seen;
  for (const std::string& old : plan.aside) {
    if (!IsBareName(old) || !IsSetName(archiveName, old)) return false;
    if (std::find(seen.begin(), seen.end(), Lower(old)) != seen.end()) return false;
    seen.push_back(Lower(old));
  }
  return true;
}

enum class PlanState { kDamaged, kValid, kForeign };

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

PlanState ReadPlan(const std::string& planPath, const std::string& archiveName, Plan* plan) {
  if (!ParsePlan(ReadSmallFile(planPath), plan)) return PlanState::kDamaged;
  return NamesOnlyTheSet(archiveName, *plan) ? PlanState::kValid : PlanState::kForeign;
}

Error Foreign(const std::string& path) {
  return Error(Reason::kForeignFile, {path},
               "The file " + path +
                   " beside the archive was not written by this program: "
                   "nothing is repaired or read until it is removed");
}

// Fails before anything is renamed when a name of the plan is ambiguous.
void CheckNoClash(const Folder& folder, const Plan& plan) {
  for (const auto& m : plan.moves) {
    folder.Find(m.first);
    folder.Find(m.second);
  }
  for (const std::string& a : plan.aside) {
    folder.Find(a);
    folder.Find(a + kOld);
  }
}

// Puts the old set back: new volumes back to their temporary names, then
// the old ones to theirs. Safe to repeat after an interruption.
bool Undo(Folder& folder, const Plan& plan) {
  bool ok = true;
  folder.Refresh();
  auto setAside = [&](const std::string& name) {
    for (const std::string& a : plan.aside)
      if (Lower(a) == Lower(name)) return true;
    return false;
  };
  for (auto m = plan.moves.rbegin(); m != plan.moves.rend(); ++m) {
    std::string final = folder.Find(m->second);
    if (final.empty() || !folder.Find(m->first).empty()) continue;
    // New volumes are placed only after every old one was moved aside: a
    // final name that had an old file and has no .~qbk-old beside it still
    // holds the old file (its temporary may have been deleted meanwhile).
    if (setAside(m->second) && folder.Find(m->second + kOld).empty()) continue;
    ok = RenameFile(final, folder.place.folder + m->first) && ok;
  }
  folder.Refresh();
  for (const std::string& a : plan.aside) {
    std::string aside = folder.Find(a + kOld);
    if (aside.empty()) continue;
    std::string back = folder.Find(a);
    if (back.empty()) back = aside.substr(0, aside.size() - (sizeof kOld - 1));
    ok = RenameFile(aside, back) && ok;
  }
  return ok;
}

// The earlier engine's backups of the set's volumes (X.~bak<pid>), with
// the names to put them back under; empty when that run got past placing
// the archive itself (its backups are then only leftovers).
std::vector<std::pair<std::string, std::string>> LegacyBackupsToPutBack(const Folder& folder) {
  std::vector<std::pair<std::string, std::string>> backups;  // backup, original
  bool archiveBackedUp = false;
  for (const std::string& n : folder.names) {
    std::string base, tail;
    if (!EndsIn(n, ".~bak", &base, &tail) || !AllDigits(tail, 0, tail.size())) continue;
    if (!IsSetName(folder.place.name, base)) continue;
    backups.emplace_back(folder.place.folder + n, folder.place.folder + base);
    if (Lower(base) == Lower(folder.place.name)) archiveBackedUp = true;
  }
  if (archiveBackedUp && !folder.Find(folder.place.name).empty()) backups.clear();
  return backups;
}

Error RepairFailed(const std::string& archivePath) {
  return Error(Reason::kFolderReadOnly, {archivePath},
               "The archive " + archivePath +
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

bool IsJournalFile(const std::string& archiveName, const std::string& fileName) {
  std::string base, tail;
  const std::string archive = Lower(archiveName), name = Lower(fileName);
  if (name == archive + kPlan || name == archive + kDone) return true;
  if (EndsIn(fileName, kNew, &base, &tail) && Lower(base) == archive &&
      AllDigits(tail, 0, tail.size()))
    return true;
  if (EndsIn(fileName, kOld, &base, &tail) && tail.empty() && IsSetName(archiveName, base))
    return true;
  // Left by earlier versions of the engine.
  if (EndsIn(fileName, ".~bak", &base, &tail) && AllDigits(tail, 0, tail.size()) &&
      IsSetName(archiveName, base))
    return true;
  if (EndsIn(fileName, ".~tmp", &base, &tail) && Lower(base) == archive) {
    size_t dash = tail.find('-');
    return dash != std::string::npos && AllDigits(tail, 0, dash) &&
           AllDigits(tail, dash + 1, tail.size());
  }
  return false;
}

bool HasLeftovers(const std::string& archivePath) {
  Folder folder(archivePath);
  for (const std::string& n : folder.names)
    if (IsJournalFile(folder.place.name, n)) return true;
  return false;
}

fs::LockResult ArchiveLock::LockAndRepair(const std::string& archivePath) {
  if (IoShouldFail(IoOp::kLock, archivePath)) return fs::LockResult::kFailed;
  fs::LockResult result = lock_.Lock(LockPath(archivePath), fs::LockMode::kExclusive);
  if (result != fs::LockResult::kLocked) return result;
  try {
    if (HasLeftovers(archivePath)) RepairInterrupted(archivePath);
  } catch (...) {
    lock_.Unlock();
    throw;
  }
  return result;
}

fs::LockResult ArchiveLock::ShareAndRepair(const std::string& archivePath) {
  if (IoShouldFail(IoOp::kLock, archivePath)) return fs::LockResult::kFailed;
  fs::LockResult result = lock_.Lock(LockPath(archivePath), fs::LockMode::kShared);
  if (result != fs::LockResult::kLocked || !HasLeftovers(archivePath)) return result;
  // An interrupted run: repaired alone, then shared again. Going back to
  // shared is not atomic, so a writer may have come in meanwhile.
  if (!lock_.Change(fs::LockMode::kExclusive)) return fs::LockResult::kBusy;
  try {
    if (HasLeftovers(archivePath)) RepairInterrupted(archivePath);
  } catch (...) {
    lock_.Unlock();
    throw;
  }
  if (!lock_.Change(fs::LockMode::kShared)) return fs::LockResult::kBusy;
  if (HasLeftovers(archivePath)) {
    lock_.Unlock();
    return fs::LockResult::kBusy;
  }
  return result;
}

void CheckReadableAsItStands(const std::string& archivePath) {
  Folder folder(archivePath);
  const std::string& name = folder.place.name;
  if (!folder.Find(name + kDone).empty()) return;  // committed: the new set stands
  Error unfinished(Reason::kUnfinishedReadOnly, {archivePath},
                   "An interrupted backup left the archive " + archivePath +
                       " unfinished; the medium must be writable to repair it");
  std::string planPath = folder.Find(name + kPlan);
  if (!planPath.empty()) {
    Plan plan;
    PlanState state = ReadPlan(planPath, name, &plan);
    if (state == PlanState::kForeign) throw Foreign(planPath);
    if (state == PlanState::kValid) throw unfinished;
  }
  if (!LegacyBackupsToPutBack(folder).empty()) throw unfinished;
}

void RepairInterrupted(const std::string& archivePath) {
  Folder folder(archivePath);
  const std::string& name = folder.place.name;
  std::string done = folder.Find(name + kDone);
  std::string planPath = folder.Find(name + kPlan);
  if (done.empty() && !planPath.empty()) {
    Plan plan;
    PlanState state = ReadPlan(planPath, name, &plan);
    if (state == PlanState::kForeign) throw Foreign(planPath);
    if (state == PlanState::kValid) {
      CheckNoClash(folder, plan);
      if (!Undo(folder, plan)) throw RepairFailed(archivePath);
    }
    // The plan goes first: once the old set is back, a repeated undo must
    // not take a restored volume for a placed new one.
    if (!RemoveFile(planPath)) throw RepairFailed(archivePath);
    SyncFolderOf(archivePath);
  } else if (done.empty()) {
    bool ok = true;
    for (const auto& b : LegacyBackupsToPutBack(folder)) ok = RenameFile(b.first, b.second) && ok;
    if (!ok) throw RepairFailed(archivePath);
  }
  Folder now(archivePath);
  const std::string doneName = Lower(name + kDone);
  bool ok = true;
  for (const std::string& n : now.names) {
    if (!IsJournalFile(name, n) || Lower(n) == doneName) continue;
    ok = RemoveFile(now.place.folder + n) && ok;
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
    if (!SyncFolderOf(archivePath))
      throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
    OutputFile out(planPath, archivePath);
    std::string text = PlanText(plan);
    out.Write(text.data(), text.size());
    out.Close(true);
    if (!SyncFolderOf(archivePath))
      throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
  } catch (...) {
    RemoveFile(planPath);
    discard();
    throw;
  }
  try {
    for (const std::string& a : plan.aside) {
      std::string path = place.folder + a;
      if (Exists(path) && !RenameFile(path, path + kOld))
        throw Error(Reason::kCannotWrite, {archivePath}, "Cannot replace " + archivePath);
    }
    for (size_t i = 0; i < temporaries.size(); ++i)
      if (!RenameFile(temporaries[i], finals[i]))
        throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
    if (!SyncFolderOf(archivePath) || !RenameFile(planPath, donePath))
      throw Error(Reason::kCannotWrite, {archivePath}, "Cannot write " + archivePath);
  } catch (...) {
    // Before the commit point: the old set goes back. A plan that cannot
    // be undone now stays for the next open to finish the undo.
    bool undone = false;
    try {
      Folder folder(archivePath);
      undone = Undo(folder, plan);
    } catch (const Error&) {
    }
    if (undone && RemoveFile(planPath)) {
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
