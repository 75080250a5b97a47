// The engine reports every failure by throwing zip::Error: a message in
// English for logs and the wrapper's last-error text, and a reason, a kind
// with its arguments (a file, an entry, a volume), from which the windows
// say the same in the user's language.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace zip {

enum class Reason : int {
  kOther = 0,            // English message only
  kArchiveNotFound,      // archive
  kNotAnArchive,         // archive
  kUnsupported,          // archive or entry (ZIP64, encryption, method)
  kDamagedArchive,       // archive or entry
  kDamagedEntry,         // entry (data or CRC)
  kMissingVolume,        // volume
  kArchiveInUse,         // archive
  kFolderReadOnly,       // archive (its folder cannot be written)
  kArchiveReadOnly,      // volume
  kCannotRead,           // file or folder
  kCannotCreate,         // file or folder
  kCannotWrite,          // file (disk full?)
  kFolderNotFound,       // folder
  kFileVanished,         // file
  kFileChanged,          // file
  kUnsafeName,           // entry
  kLinkInTheWay,         // path
  kFolderInTheWay,       // path
  kFileInTheWay,         // path
  kNotEnoughSpace,       // folder, MB needed, MB free
  kNoFiles,              // archive
  kTooLarge,             // file or entry (4 GiB)
  kTooManyEntries,       // (65535)
  kDatabaseExportGiven,  // archive: a database export where a full backup belongs
  kFullBackupGiven,      // archive: a full backup where a database export belongs
  kForeignFile,          // file: a side file of the archive that the engine did not write
  kUnfinishedReadOnly,   // archive: an interrupted backup to repair on a read-only medium
  kNameClash,            // two files whose names differ only in case
};

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
  Error(Reason reason, std::vector<std::string> args, const std::string& message)
      : std::runtime_error(message), reason_(reason), args_(std::move(args)) {}
  // The same reason with another English message.
  Error(const Error& other, const std::string& message)
      : std::runtime_error(message), reason_(other.reason_), args_(other.args_) {}

  // The same error naming file where it named nothing (a reader's reasons
  // do not know the archive they are reading).
  Error NamingFile(const std::string& file) const {
    Error named(*this);
    if (named.args_.empty())
      named.args_.push_back(file);
    else if (named.args_[0].empty())
      named.args_[0] = file;
    return named;
  }

  Reason reason() const { return reason_; }
  const std::vector<std::string>& args() const { return args_; }

 private:
  Reason reason_ = Reason::kOther;
  std::vector<std::string> args_;
};

}  // namespace zip
