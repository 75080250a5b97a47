// The one way to ZIP archives. Owns one engine with the settings every
// archive of the tool shares (deflate level 1, no encryption, no ZIP64,
// paths relative to the base folder, every file attribute, volumes only
// after setVolumeSize) and turns every engine failure into a false result
// and a kept error text: nothing ever throws.
//
// Calling order: construct; setVolumeSize (split archives only);
// openArchive; adds or extracts; closeArchive; destroy. Destroying the
// wrapper with an archive still open drops its unwritten changes and leaves
// the archive on disk as it was.
//
// Wide texts carry names, folders and masks (UTF-8 on Linux, the ANSI code
// page on Windows, when narrowed); openArchive takes the 8-bit native path.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zip {
class Archive;
}

class CBrennowZip {
 public:
  CBrennowZip();
  ~CBrennowZip();
  CBrennowZip(const CBrennowZip&) = delete;
  CBrennowZip& operator=(const CBrennowZip&) = delete;

  // Opens the archive (its last volume for a split set) for update, or
  // creates it when missing. "There is an Archive open." when one is.
  bool openArchive(const std::string& archivePath);
  // Writes the archive's changes and closes it; with none open, succeeds.
  bool closeArchive();
  // Adds every file below baseFolder whose name matches mask ("*.*" all),
  // in all subfolders, under its relative path. Masks of earlier calls on
  // this wrapper apply too. A failure leaves "Error Adding File: " alone;
  // lastDetail() says which file.
  bool addFiles(const std::wstring& baseFolder, const std::wstring& mask);
  // Adds one entry (attribute 32, dated now) holding the buffer's bytes.
  bool addStream(const std::wstring& entryName, const std::vector<unsigned char>& buffer);
  // Extracts every entry matching mask below destinationFolder. Nothing is
  // extracted when any entry's name would leave that folder.
  bool extractFiles(const std::wstring& destinationFolder, const std::wstring& mask);
  // Replaces *buffer with the content of the named entry.
  bool extractToStream(const std::wstring& entryName, std::vector<unsigned char>* buffer);

  const std::string& lastError() const { return lastError_; }
  // The engine's own text of the last failure.
  const std::string& lastDetail() const { return lastDetail_; }
  // Splits archives written from now on into volumes of size bytes (below
  // 65536 act as 65536).
  void setVolumeSize(std::int32_t size);
  // Percentage of the running operation, to two decimals (halves to even).
  double lastProgress() const { return lastProgress_; }

  // The progress handler: keeps the percentage rounded to hundredths and
  // hands its whole part to the progress sink.
  void reportProgress(double percent);

  // One sink for the whole program (the main window's): called with the
  // whole percent on the thread that runs the archive operation.
  using ProgressSink = std::function<void(int percent)>;
  static void SetProgressSink(ProgressSink sink);

  static std::wstring Wide(const std::string& text);
  static std::string Narrow(const std::wstring& text);

 private:
  bool Fail(const std::string& prefix, const std::string& detail, bool withDetail = true);

  std::unique_ptr<zip::Archive> engine_;
  std::string lastError_;
  std::string lastDetail_;
  double lastProgress_ = 0;
  std::vector<std::string> masks_;
};
