// Writing entries into a volume set: local headers, deflated data (zlib
// level 1, stored when deflate does not shrink), data descriptors for
// entries streamed at unknown size, the central directory and end record.
// Refuses (zip::Error) anything the format cannot hold without ZIP64.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/zip/Format.h"
#include "archive/zip/Io.h"
#include "archive/zip/Volumes.h"

namespace zip {

class Writer {
 public:
  explicit Writer(VolumeWriter* out) : out_(out) {}

  // A folder entry (name ends with '/').
  void AddFolder(const std::string& name, std::int64_t modified, std::uint32_t dosAttributes);
  // One whole entry compressed beforehand (see Pack): deflated output, or
  // the data itself when stored.
  void AddPacked(const std::string& name, const unsigned char* data, size_t size, std::uint32_t crc,
                 const unsigned char* packed, size_t packedSize, bool stored, std::int64_t modified,
                 std::uint32_t dosAttributes);
  // An entry whose deflated data arrives in pieces: the local header (with a
  // data descriptor when the data may not fit the current volume, judged by
  // bound, the most the pieces can take), the pieces, then its end.
  void BeginStream(const std::string& name, std::int64_t modified, std::uint32_t dosAttributes,
                   std::uint64_t bound);
  void StreamData(const unsigned char* data, size_t n);
  void EndStream(std::uint32_t crc, std::uint64_t size, const std::string& path);
  // One entry from memory; deflated even when that does not shrink it,
  // unless mayStore.
  void AddBuffer(const std::string& name, const unsigned char* data, size_t n,
                 std::int64_t modified, std::uint32_t dosAttributes, bool mayStore = false);
  // Copies an entry of another archive without recompressing it.
  void CopyEntry(VolumeSource& from, const Entry& entry,
                 const std::function<void(std::uint64_t)>& onBytes);
  // Drops the entry written under this name before (it has been replaced).
  // Returns whether there was one.
  bool Forget(const std::string& name);
  // Names (case ignored) written so far.
  bool Has(const std::string& name) const;

  // The central directory and the end record.
  void Finish();
  // The live entries (replaced ones left out), in the order written.
  std::vector<Entry> entries() const;

 private:
  Entry Prepare(const std::string& name, std::int64_t modified, std::uint32_t dosAttributes);
  void WriteLocalHeader(Entry* entry);
  void Register(Entry entry);
  VolumeWriter* out_;
  Entry stream_;  // the entry being streamed
  std::uint64_t streamed_ = 0;
  std::vector<Entry> entries_;  // every entry written; replaced ones are dead
  std::vector<bool> live_;
  std::unordered_map<std::string, size_t> byName_;  // NameKey -> live index
};

// Lower-case key for comparing entry names as Windows compares file names.
std::string NameKey(const std::string& name);

}  // namespace zip
