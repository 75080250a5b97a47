// Our ZIP engine: PKWARE APPNOTE archives without ZIP64, deflate at zlib's
// level 1, optionally split into volumes (NAME.Z01, NAME.Z02, ..., the last
// under NAME itself). Every failure is thrown as ZipError with a text that
// names the file concerned; nothing is written outside the given folders.
//
// Writing is transactional: an archive that gets new entries is written as
// a complete new set under temporary names, which replaces the old set only
// when Close succeeds. An archive that is only read is never rewritten.
// Paths and entry names are 8-bit native texts (UTF-8 on Linux); entry names
// use '/' between folders.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace zip {

class VolumeReader;

class ZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Entry {
  std::string name;          // UTF-8, '/' separated, folders end with '/'
  std::string storedName;    // the name bytes as stored in the archive
  std::string localExtra;    // extra field of the local header
  std::string centralExtra;  // extra field of the central record
  std::uint16_t versionNeeded = 20;
  std::uint16_t flags = 0;
  std::uint16_t method = 8;
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = 0;
  std::uint32_t crc = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t size = 0;
  std::uint32_t externalAttributes = 0;
  std::uint16_t disk = 0;          // volume of the local header
  std::uint32_t localOffset = 0;   // offset of the local header in that volume
  bool isFolder() const { return !name.empty() && name.back() == '/'; }
};

// Test hook: called before each file operation with its kind ("open",
// "read", "write") and native path; returning false makes it fail as the
// operating system would (a full disk, a vanished file).
using IoFailureHook = std::function<bool(const char* operation, const std::string& path)>;
void SetIoFailureHook(IoFailureHook hook);

class Archive {
 public:
  using Progress = std::function<void(double percent)>;

  Archive();
  ~Archive();  // abandons unwritten changes; the existing archive stays

  // Called with the overall percentage: 0 at the start of a long operation,
  // whenever it has grown by a whole percent, and 100 at its end.
  void SetProgress(Progress progress) { progress_ = std::move(progress); }
  // 0: one file. Otherwise the size of every volume but the last (at least
  // 65536).
  void SetVolumeSize(std::int64_t size);

  // Opens the archive at path (the last volume of a split set), or notes a
  // new one when no file is there. A file that is not a readable archive is
  // an error and stays untouched.
  void Open(const std::string& path);
  bool IsOpen() const { return open_; }
  // Writes the changes (if any) and closes.
  void Close();
  // Closes without writing; pending changes are dropped.
  void Abandon();

  // Adds every file below baseFolder whose name matches one of the masks,
  // under its path relative to baseFolder, and every folder. Never adds the
  // archive's own volumes or temporary files, nor follows symbolic links.
  void AddFiles(const std::string& baseFolder, const std::vector<std::string>& masks);
  // Adds one entry with the given content, attribute 32 and the current
  // local time. The content is copied.
  void AddBuffer(const std::string& name, const unsigned char* data, std::size_t size);
  // Extracts every entry whose file name matches the mask below folder,
  // creating folders and replacing existing files (read-only ones too).
  // Every name is checked before anything is written.
  void Extract(const std::string& folder, const std::string& mask);
  // The content of the entry named so (without regard to case).
  std::vector<unsigned char> ExtractToMemory(const std::string& name);

  // Reads every entry through its CRC check without writing anything;
  // throws at the first damaged one. checked is told of each good entry.
  void Verify(const std::function<void(const Entry&)>& checked);

  const std::vector<Entry>& entries() const { return entries_; }
  // Whether a name matches a Windows-style mask ("*.*" and "*" match all).
  static bool MatchesMask(const std::string& name, const std::string& mask);
  // Whether an entry name stays inside the folder it is extracted into.
  static bool IsSafeName(const std::string& name);

 private:
  class Writer;
  struct Source;

  void ReadDirectory();
  void StartWriting();
  void WriteEntry(Entry entry, Source& source);
  void CopyOldEntry(const Entry& entry, VolumeReader* reader);
  std::vector<std::string> VolumePaths(std::size_t count, bool temporary) const;
  void Report(double done, double total, bool force = false);
  std::unique_ptr<VolumeReader> OpenReader() const;

  std::string path_;
  bool open_ = false;
  bool existed_ = false;
  std::uint16_t diskCount_ = 0;  // volumes of the existing archive
  std::int64_t volumeSize_ = 0;
  std::vector<Entry> entries_;     // the archive's entries as they stand now
  std::vector<Entry> oldEntries_;  // entries of the existing archive still kept
  std::unique_ptr<Writer> writer_;
  Progress progress_;
  double lastReported_ = -1;
  std::uint64_t progressDone_ = 0;
  std::uint64_t progressTotal_ = 0;
};

}  // namespace zip
