// Crash-safe replacement of an archive's volume set, and the repair of a
// replacement that a killed process or a power loss interrupted.
//
// The protocol, for the archive A (volumes S.Z01, S.Z02, ... and A itself):
//  1. The writer holds an OS lock on A.~qbk-lock from open to close; a live
//     writer is never disturbed by another open of A.
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
// Every open of A first repairs, under the lock: with A.~qbk-done the run
// is completed (step 6); with a valid plan it is undone; with a damaged
// plan (the run died while writing it, before any rename) or none, only the
// temporaries are deleted. Leftovers of earlier versions of the engine
// (A.~tmp<pid>-<n>, X.~bak<pid>) are repaired the same way.
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

// Holds the archive's lock for a writer, or for a reader that repairs.
class ArchiveLock {
 public:
  // kLocked after the repair of an interrupted run; kBusy when another
  // writer is live; kFailed when the lock file cannot be made (a read-only
  // folder). Throws zip::Error when the repair fails.
  platform::files::LockResult LockAndRepair(const std::string& archivePath);
  void Unlock() { lock_.Unlock(); }
  bool held() const { return lock_.held(); }

 private:
  platform::files::FileLock lock_;
};

// Whether the archive's folder holds side files of the archive other than a
// lock file (an interrupted run, or a live writer's temporaries).
bool HasLeftovers(const std::string& archivePath);
// Whether the folder holds the archive's lock file.
bool HasLockFile(const std::string& archivePath);

// Repairs an interrupted run. The caller holds the lock. Throws zip::Error
// naming the archive when a rename or deletion fails.
void RepairInterrupted(const std::string& archivePath);

// Steps 3 to 6 above: replaces the existing volumes `old` (may be empty) by
// the complete, flushed `temporaries` (volume order, the archive last). The
// caller holds the lock. Throws zip::Error naming the archive on a failure
// before the commit point, after undoing the run; failures after it are
// left to the next open's repair.
void ReplaceSet(const std::string& archivePath, const std::vector<std::string>& old,
                const std::vector<std::string>& temporaries);

}  // namespace zip
