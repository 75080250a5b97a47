#include "tests/fuzz/ReadArchiveInput.h"

#include "archive/zip/Error.h"
#include "archive/zip/Reader.h"
#include "archive/zip/Text.h"
#include "archive/zip/Volumes.h"

int ReadArchiveInput(const std::uint8_t* data, std::size_t size) {
  int good = 0;
  try {
    zip::MemoryVolume volume(data, size);
    zip::EndRecord end = zip::ReadEndRecord(volume);
    std::vector<zip::Entry> entries = zip::ReadDirectory(volume, end);
    for (const zip::Entry& e : entries) {
      zip::IsSafeEntryName(e.name);
      zip::Utf8ToWide(e.name);
      if (e.size > (1u << 20)) continue;  // keeps each run short
      try {
        std::size_t total = 0;
        zip::ReadEntryData(volume, e, [&](const unsigned char*, std::size_t n) { total += n; });
        ++good;
      } catch (const zip::Error&) {
      }
    }
  } catch (const zip::Error&) {
  }
  return good;
}
