// CBrennowZip: the one way to ZIP archives. It owns one ZIP engine, fixes the
// settings every archive shares (deflate level 1, no encryption, no ZIP64,
// OEM names with a Unicode name field, relative paths, all subfolders) and
// turns every engine failure into a false result plus a last-error text; no
// operation throws.
//
// Calling order: construct; setVolumeSize only for a split archive;
// openArchive; any number of adds or extracts; closeArchive; destroy.
// Writes go to a temporary set of files that replaces the archive when
// closeArchive succeeds; an archive that was only read is never rewritten.
// After a failed add, closeArchive (or the destructor) leaves the archive as
// it was before openArchive.
//
// Texts: archive paths are 8-bit native paths (UTF-8 on Linux). Entry names,
// folders and masks are wide texts (std::wstring, converted to and from
// UTF-8). Memory buffers are std::string used as bytes.
//
// Progress: during every long operation the engine reports its percentage;
// reportProgress keeps it rounded to hundredths (halves to even) as
// lastProgress() and passes it, truncated to whole percent, to the progress
// sink. The windows register one sink for the whole program with
// setProgressSink; it is called on the thread that runs the operation (the
// worker's or the interface thread), with 0 once at the start of an
// operation, then on each growth of at least one percent, and 100 at the end.
//
// One thread at a time may use a wrapper.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/Format.h"

namespace zip {
class Archive;
}

class CBrennowZip {
 public:
  using ProgressSink = std::function<void(int percent)>;

  // Installs the sink that every wrapper reports to (empty: none). Safe to
  // call from any thread; wrappers pick up the new sink on their next report.
  static void setProgressSink(ProgressSink sink);

  CBrennowZip();
  ~CBrennowZip();  // closes an archive that is still open
  CBrennowZip(const CBrennowZip&) = delete;
  CBrennowZip& operator=(const CBrennowZip&) = delete;

  // Opens the archive for update, or creates a new one where no file exists
  // (written at closeArchive). With an archive open: false, "There is an
  // Archive open.". Failure: "Impossibile opening or creating an Archive " +
  // the engine's message.
  bool openArchive(const std::string& archivePath);
  // Writes the archive when it is new or changed, then closes it; without an
  // archive open does nothing and succeeds. Failure: "Unable to close
  // current archive : " + message.
  bool closeArchive();
  // Adds every file below baseFolder matching the mask or the masks of earlier
  // calls on this wrapper, in all subfolders, under paths relative to
  // baseFolder; folders become folder entries. Symbolic links are not
  // followed, the archive's own volumes are skipped, entries of the same
  // name are replaced. Failure: exactly "Error Adding File: " (the engine's
  // message, which names the file, is in lastErrorDetail()).
  bool addFiles(const std::wstring& baseFolder, const std::wstring& fileMask);
  // Adds one entry named entryName with the buffer's bytes, attribute 32,
  // dated now. The bytes are read during the call. Failure: "Error Adding
  // Stream: " + message.
  bool addStream(const std::wstring& entryName, const std::string& buffer);
  // Extracts every entry matching the mask below destFolder, creating
  // folders and replacing existing files (read-only ones too), then sets
  // the stored dates and attributes. Nothing is extracted when any selected
  // name would leave destFolder. Failure: "Error Extracting Files: " + message.
  bool extractFiles(const std::wstring& destFolder, const std::wstring& fileMask);
  // Replaces buffer's content with the named entry's bytes. Failure:
  // "Error Extracting Files: " + message (buffer then unspecified).
  bool extractToStream(const std::wstring& entryName, std::string& buffer);

  // The text of the last failure; empty before any.
  std::string lastError() const { return lastError_; }
  // The engine's own message of the last failure (also where an addFiles
  // failure names the file); empty when the wrapper itself refused.
  std::string lastErrorDetail() const { return lastDetail_; }
  // Splits archives written after the next openArchive into volumes of
  // `size` bytes (below 65536 act as 65536).
  void setVolumeSize(std::int32_t size);
  // The last progress percentage, in hundredths.
  double lastProgress() const { return lastProgress_; }

  // The engine's progress handler: rounds, stores, reports to the sink.
  void reportProgress(double percent);

  // The archive's entries as opened (empty without an archive open).
  std::vector<zip::EntryRecord> entries() const;
  // Reads every entry and checks its CRC. Failure: "Error Extracting
  // Files: " + message.
  bool testArchive();

  // The engine, for tests that inject I/O failures.
  zip::Archive& engine() { return *engine_; }

 private:
  bool fail(const std::string& text, const std::string& detail);

  std::unique_ptr<zip::Archive> engine_;
  std::string lastError_;
  double lastProgress_ = 0;
  std::string lastDetail_;
  std::vector<std::string> masks_;
};
