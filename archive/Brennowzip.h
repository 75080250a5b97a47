// The one door to ZIP archives. CBrennowZip owns a ZIP engine with the
// settings every archive of the tool shares (deflate level 1, no password,
// no ZIP64, OEM names with a UTF-8 copy) and turns every engine failure
// into a false result and a last-error text: nothing here throws.
//
// Calling order: construct; setVolumeSize only for a split archive;
// openArchive; any number of adds and extracts; closeArchive; destroy.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zip {
class Archive;
}

class CBrennowZip {
 public:
  // What openArchive does with the file at the path. kUpdate is what every
  // caller gets unless it chooses otherwise before openArchive.
  enum class OpenMode {
    kUpdate,    // an existing archive is updated, a missing one created
    kReplace,   // backups: the archive holds exactly what is added now; a
                // file that is not a readable, writable archive is refused
                // and left untouched; nothing is left of a failed run
    kReadOnly,  // restores and checks: never creates or changes the archive
  };

  // What a restore expects to find in the archive it extracts.
  enum class Expected {
    kAnything,
    kFullBackup,      // the key's root: a database export is refused
    kDatabaseExport,  // the Database folder: a full backup is refused
  };

  // Why the last operation failed, as a kind (zip::Reason, 0 for none of
  // the known ones) with its arguments, for the windows to say in the
  // user's language. Set with lastError().
  struct Reason {
    int kind = 0;
    std::vector<std::string> args;
  };

  CBrennowZip();
  ~CBrennowZip();  // closes an archive still open (committing what was added)
  CBrennowZip(const CBrennowZip&) = delete;
  CBrennowZip& operator=(const CBrennowZip&) = delete;

  // Opens an existing archive (8-bit native path; from its last volume) for
  // update, or prepares a new one when the file is missing (see OpenMode);
  // an interrupted replacement of the archive is repaired first. Fails with
  // "There is an Archive open." when one is, and with "Impossibile opening
  // or creating an Archive " + the reason when the file is not a readable
  // archive; the file is left untouched then.
  bool openArchive(const std::string& archivePath);
  // Writes what was added (a new set of volumes replacing the old one) and
  // closes. An archive opened and not changed is not rewritten. Succeeds
  // with no archive open. Fails with "Unable to close current archive : ".
  bool closeArchive();
  // Adds every file below baseFolder (all subfolders) matching this mask or
  // the masks of earlier calls, under paths relative to baseFolder; entries
  // of the same name are replaced. Fails with exactly "Error Adding File: "
  // (the reason is in lastDetail()).
  bool addFiles(const std::wstring& baseFolder, const std::wstring& mask);
  // Adds one entry named entryName holding the whole buffer, with attribute
  // 32 and the current local time. The buffer is compressed during the
  // call, so it may change or go away afterwards. Fails with
  // "Error Adding Stream: " + the reason.
  bool addStream(const std::wstring& entryName, const std::vector<unsigned char>& buffer);
  // Extracts the entries matching mask below destinationFolder, creating
  // folders, replacing existing files (also read-only ones) and setting the
  // stored date and attributes. Refuses, before writing anything, entries
  // whose names would leave the folder. Fails with "Error Extracting Files: ".
  bool extractFiles(const std::wstring& destinationFolder, const std::wstring& mask);
  // Replaces *buffer with the content of the named entry. Fails with
  // "Error Extracting Files: " + the reason, leaving *buffer unchanged.
  bool extractToStream(const std::wstring& entryName, std::vector<unsigned char>* buffer);

  // The text of the last failure; never cleared by a success.
  std::string lastError() const { return lastError_; }
  // The engine's own message of the last failure (also for addFiles).
  std::string lastDetail() const { return lastDetail_; }
  const Reason& lastReason() const { return lastReason_; }
  // What extractFiles expects (kAnything until set). A full backup holds
  // entries below ZKM_Quorvane/; a database export holds zkm.db at its top
  // and nothing below ZKM_Quorvane/ (names compared without regard to case).
  // The other kind is refused before anything is written.
  void setExpected(Expected expected) { expected_ = expected; }
  // Splits archives written after this call into volumes of `size` bytes
  // (below 65536: 65536), named .Z01, .Z02, ... with the last under the
  // archive's own name.
  void setVolumeSize(std::int32_t size);
  // The mode of the next openArchive.
  void setOpenMode(OpenMode mode);
  // Checks every entry of the open archive against its CRC, streaming.
  // Fails with "Error Extracting Files: " + the first fault.
  bool testArchive();
  // Percentage of the running operation to hundredths; 0 at construction.
  double lastProgress() const { return lastProgress_; }
  // The engine's progress handler: keeps the percentage rounded to
  // hundredths (halves to even) and hands the process-wide sink that value
  // truncated to a whole percent.
  void reportProgress(double percent);

  // 8-bit text of the system (UTF-8 on Linux, the ANSI code page on
  // Windows) to wide text, and back.
  static std::wstring Wide(const std::string& text);
  static std::string Narrow(const std::wstring& text);

  // The progress sink the windows register: called with the whole percent p
  // on the thread that runs the archive operation. One process-wide sink.
  using ProgressSink = std::function<void(int percent)>;
  static void SetProgressSink(ProgressSink sink);
  // This wrapper's own progress handler, called after the process-wide sink
  // with the same whole percent, on the same thread; empty for none.
  void setProgressHandler(ProgressSink handler) { handler_ = std::move(handler); }

 private:
  bool Fail(const std::string& text, const std::string& detail);
  bool Fail(const std::string& text, const std::string& detail, Reason reason);
  template <typename Op>
  bool Run(Op op, const std::string& prefix, bool withDetail);
  std::unique_ptr<zip::Archive> engine_;
  std::string lastError_;
  std::string lastDetail_;
  Reason lastReason_;
  std::string archivePath_;  // as given to openArchive
  Expected expected_ = Expected::kAnything;
  double lastProgress_ = 0.0;
  ProgressSink handler_;
  std::vector<std::string> masks_;
};
