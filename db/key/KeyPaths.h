// Where the files that the key's database names are. A name stored in the
// database (NOMEFILE of ORI, MOD and DRIVERS), or looked up for the earlier
// product, is Windows-1252 bytes; the file it names has a native path,
// which is UTF-8 on every system (the Windows file layer takes UTF-8 paths
// to its wide API). Every path formed from such a name is formed here.
//
// A KeyFolders lives for one command: it resolves the key's drive and
// folders once, and each name below them costs one look at the file system
// (plus, for a name not found as spelled, one listing of its folder per
// command).
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace keydb {

// Whether a stored name names a file inside its folder: not empty, not "."
// or "..", and without '\', '/' or ':'. Any other name names no file, so
// nothing outside the folders is ever read or removed on a row's say-so.
bool IsPlainFileName(const std::string& name);

// One folder, resolved already, and the files in it named by stored names.
class Folder {
 public:
  // nativeFolder: a native folder path; empty for a folder that cannot
  // exist (a drive that is not there), in which case every name maps to "".
  explicit Folder(std::string nativeFolder);

  const std::string& path() const { return folder_; }

  // The native path of the file that storedName (Windows-1252) names, tried
  // in this order: the name decoded to UTF-8; on a system that tells case
  // apart, the raw bytes (a FAT key mounted without the utf8 option); the
  // folder's entry whose name equals the name in either form without regard
  // to case (Windows-1252's letters included). A name found in none of
  // these ways gives the decoded name, for a file still to be written.
  // Empty when the name is not a plain file name or the folder is unknown.
  std::string File(const std::string& storedName) const;

  // Whether the folder holds storedName as a regular file, spelled as
  // stored or, on a case-sensitive file system, in any case.
  bool HasFile(const std::string& storedName) const;

 private:
  std::string Join(const std::string& name) const;
  std::string FindWithoutCase(const std::string& storedName) const;

  std::string folder_;
  // The folder's names on disk by their case-folded form, read at the
  // first name that is not found as spelled; the first listed wins when two
  // fold alike.
  mutable std::optional<std::unordered_map<std::u32string, std::string>> entries_;
};

// The key below KeyRoot ("E:\ZKM_Quorvane\"), resolved once per command.
class KeyFolders {
 public:
  explicit KeyFolders(const std::string& keyRoot);

  // Native paths; empty when the key's drive does not exist.
  std::string DatabasePath() const;    // Database\zkm.db
  std::string DatabaseFolder() const;  // Database\ (with its separator)
  const Folder& Originals();           // Database\ORI\ .
  const Folder& Modified();            // Database\MOD\ .
  const Folder& Drivers();             // Database\DRT\ .

  // A driver's file: NOMEFILE + ".DRU" for a user driver, + ".DRT" for the
  // maker's. Empty for a name that is not a plain file name.
  std::string DriverFile(const std::string& nomeFile, bool user);
  // Whether that file exists.
  bool HasDriverFile(const std::string& nomeFile, bool user);

 private:
  const Folder& Below(std::optional<Folder>* folder, const char* relative);

  std::string key_;  // the native folder of KeyRoot
  std::optional<Folder> originals_, modified_, drivers_;
};

}  // namespace keydb
