// Crash-safe replacement of an archive's volume set, the repair of a
// replacement that a killed process or a power loss interrupted, and the
// lock that keeps readers and writers of one archive apart.
//
// The protocol, for the archive A (volumes S.Z01, S.Z02, ... and A itself):
//  1. The writer holds A.~qbk-lock exclusively from open to close; a reader
//     holds it shared from open to close. A writer that finds a reader, or
//     a reader that finds a writer, fails at once and changes nothing.
//  2. The new volumes are written as A.~qbk-new0, A.~qbk-new1, ... and each
//     is forced to the device when it is complete; then the folder.
//  3. The plan A.~qbk-plan lists the volumes to move aside (the old set and
//     whatever stands at a new volume's name) and the temporary -> final
//     pairs, closed by its own CRC; it is forced to the device.
//  4. The old volumes are renamed X -> X.~qbk-old, then the new ones into
//     place, the archive's own name last; the folder is forced.
//  5. The plan is renamed to A.~qbk-done: the commit point.
//  6. The .~qbk-old files and A.~qbk-done are deleted.
// A failure before step 5 undoes the run (new volumes back to their
// temporary names, old ones back to theirs, temporaries deleted): the old
// set stands byte for byte and nothing else is left.
//
// Every open of A first repairs, under the exclusive lock: with A.~qbk-done
// the run is completed (step 6); with a valid plan it is undone; with a
// damaged plan (the run died while writing it, before any rename) or none,
// only the temporaries are deleted. Leftovers of earlier versions of the
// engine (A.~tmp<pid>-<n>, X.~bak<pid>) are repaired the same way. A reader
// then goes on under the shared lock.
//
// What a repair may touch. The journal files of A are exactly: A.~qbk-plan,
// A.~qbk-done, A.~qbk-new<digits>, X.~qbk-old, and the earlier engine's
// A.~tmp<digits>-<digits> and X.~bak<digits>, where X is A or S.Z<digits>
// (any case); never the lock file. A plan is valid only when its CRC holds
// and every name in it is a bare file name (no / or \, not . or .., no
// colon, not empty, no control character); its new lines are, in order,
// A.~qbk-new<i> -> the i-th final, counted from 0, the finals being
// S.Z01, S.Z02, ... as the engine names volumes and then A, each once; its
// old lines are A or S.Z<digits> of this archive's stem, each once. Any
// other plan is foreign: the open fails naming the plan file, and nothing
// is renamed or deleted. Names are compared without regard to ASCII case;
// every rename and deletion acts on the entry that the folder listing
// holds for the name, and two entries that differ only in case fail the
// open, naming both. A plan that names only the set's own files can undo
// that set, whoever wrote it: that is the protocol.
//
// The lock file is never followed through a link (see FileLock). Where it
// cannot be made (a read-only medium), a reader goes on without it: the set
// is read as it stands when the folder holds only temporaries, a damaged
// plan or a done marker (the .~qbk-old files are not volumes); a valid
// plan (the run died during its renames) fails, since only a writable
// medium can be repaired. Such a reader keeps every volume open until it
// closes (see PinnedVolumes), so that a writer elsewhere cannot change what
// it reads.
#pragma once

#include <string>
#include <vector>

#include "platform/Files.h"

namespace zip {

// The side files of the archive at archivePath.
std::string LockPath(const std::string& archivePath);
std::string TemporaryPrefix(const std::string& archivePath);  // + volume index

// Whether a file name is one of the engine's temporary or side files (of any
// archive, or a restore's temporary file): never archived.
bool IsEngineTemporary(const std::string& fileName);
// The name of a restore's temporary file for target, and whether a file name
// is one (left by a restore that was killed).
std::string RestoreTemporary(const std::string& target);
bool IsRestoreTemporary(const std::string& fileName);

// Whether a file name is one of the journal files of the archive named
// archiveName (above); the lock file is not one.
bool IsJournalFile(const std::string& archiveName, const std::string& fileName);

// Holds the archive's lock: exclusively for a writer, shared for a reader.
class ArchiveLock {
 public:
  // For a writer: kLocked after the repair of an interrupted run; kBusy
  // when another program holds the lock; kFailed when the lock file cannot
  // be made (a read-only folder); kNotAFile when the lock file is not a
  // regular file. Throws zip::Error when the repair fails or is refused.
  platform::files::LockResult LockAndRepair(const std::string& archivePath);
  // For a reader: the same answers, holding the lock shared. A repair runs
  // under the exclusive lock first; kBusy also when a writer came in while
  // the lock went back to shared.
  platform::files::LockResult ShareAndRepair(const std::string& archivePath);
  void Unlock() { lock_.Unlock(); }
  bool held() const { return lock_.held(); }

 private:
  platform::files::FileLock lock_;
};

// Whether the archive's folder holds journal files of the archive (an
// interrupted run, or a live writer's temporaries).
bool HasLeftovers(const std::string& archivePath);

// For a reader that could not make the lock file: throws zip::Error when
// the set cannot be read as it stands (a valid plan, or the earlier
// engine's backups of the set: kUnfinishedReadOnly; a foreign plan:
// kForeignFile). Changes nothing.
void CheckReadableAsItStands(const std::string& archivePath);

// Repairs an interrupted run. The caller holds the lock exclusively.
// Throws zip::Error naming the archive when a rename or deletion fails, the
// plan file when the plan is foreign, both files of a case clash.
void RepairInterrupted(const std::string& archivePath);

// Steps 3 to 6 above: replaces the existing volumes `old` (may be empty) by
// the complete, flushed `temporaries` (volume order, the archive last). The
// caller holds the lock. Throws zip::Error naming the archive on a failure
// before the commit point, after undoing the run; failures after it are
// left to the next open's repair.
void ReplaceSet(const std::string& archivePath, const std::vector<std::string>& old,
                const std::vector<std::string>& temporaries);

}  // namespace zip
