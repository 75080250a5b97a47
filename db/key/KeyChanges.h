// Every change to the key's data: registering an original or a modified
// file with its stored file, deleting either with its file, reserving a
// driver's download, and giving a user driver another catalogue entry or
// deleting it with its file. Each is one call on the command's KeyDatabase
// that returns one outcome; the statements, the transactions and the
// order of file and row stay here.
//
// A registration stores the bytes it hashed: the file is read again and
// must still have the MD5 text it had when the user chose it; the archive
// is written and read back before its row is inserted, and a row that
// cannot be inserted takes its archive along. A file that already stood
// where the archive goes is never opened, changed or removed. The archive
// step runs on the calling thread and reports through onProgress, where
// the caller may hand the event queue a turn (and must then keep other
// commands out).
//
// Texts are the database's Windows-1252 bytes. Unless an outcome says
// otherwise, a failure of the database throws DbException.
#pragma once

#include <string>

#include "db/key/StoredFiles.h"

namespace keydb {

class KeyDatabase;

// The file the user chose: its native path and the MD5 text of its whole
// content when it was chosen.
struct ChosenFile {
  std::string path;
  std::string md5;
};

enum class Registration {
  kRegistered,         // the stored archive holds the bytes and the row is committed
  kAlreadyRegistered,  // (originals) one with this MD5 is registered; nothing written
  kOriginalGone,       // (modified files) the chosen original is no longer registered
                       // with the id and MD5 it was chosen with; nothing written
  kNoId,               // the table has no new id; nothing written
  kNotStored,          // the file vanished, changed or cannot be read, something stands
                       // at the archive's path, or an archive step failed; nothing
                       // of this registration is left
  kNotInserted,        // the row could not be inserted: rolled back, archive removed
};

// A new ORI row and its stored file "Database\ORI\<id>.ori".
struct NewOriginal {
  ChosenFile file;
  std::string driver;    // the chosen driver's NOMEFILE
  std::string note;      // CR LF between lines
  std::string fileName;  // PATH: the file's own name, without folder
};
Registration RegisterOriginal(KeyDatabase& db, const NewOriginal& original,
                              const Progress& onProgress);

// A new MOD row and its stored file "Database\MOD\<id>.mod", tied to the
// original the user chose: that ORI row must still hold this id and MD5
// text, before the archive is written and again in the insert itself.
struct NewModified {
  ChosenFile file;
  std::string originalId;   // ID_ORI as the list showed it
  std::string originalMd5;  // the original's MD5 text as the list had it
  std::string note;
  std::string fileName;
};
Registration RegisterModified(KeyDatabase& db, const NewModified& modified,
                              const Progress& onProgress);

enum class Deletion {
  kDeleted,   // the row and its file are gone
  kFileKept,  // the row is gone for good; its file could not be removed
  kInUse,     // still referred to (an original by modified files, a user
              // driver by originals), counted now; nothing changed
  kFailed,    // the delete failed and was rolled back (user drivers)
};
// Deletes the row with this id (text), then its stored file; *keptFile
// names the file of kFileKept. An original is deleted only while no
// modified file refers to it. A row that is already gone is kDeleted.
Deletion DeleteOriginal(KeyDatabase& db, const std::string& originalId, std::string* keptFile);
Deletion DeleteModified(KeyDatabase& db, const std::string& modifiedId, std::string* keptFile);
// Deletes the user driver's row (FLAG_USER "True") unless an original
// refers to it, then its NOMEFILE.DRU.
Deletion DeleteUserDriver(KeyDatabase& db, const std::string& nomefile, std::string* keptFile);

// Gives the driver a new brand, model and description in one transaction.
// False when the change failed and was rolled back.
bool RecatalogueDriver(KeyDatabase& db, const std::string& nomefile, const std::string& brand,
                       const std::string& model, const std::string& description);

enum class Reservation {
  kReserved,        // a new pending DRV_DOWNLOAD row was committed
  kAlreadyPending,  // the driver had a pending reservation; nothing written
  kNoId,            // no request id is left; nothing written
  kFailed,          // the insert failed and was rolled back
};
Reservation ReserveDriver(KeyDatabase& db, const std::string& driver);

}  // namespace keydb
