#include "dbwindow/DriverSearch.h"

#include "db/KeyPaths.h"
#include "dbwindow/Hash_algorithms.h"

bool RangeDigestMatches(const unsigned char* data, std::uint64_t size, std::int64_t start,
                        std::int64_t end, const std::string& md5) {
  if (start < 0 || end <= start || static_cast<std::uint64_t>(end) > size) return false;
  return TUEDC16::HashBuffer(data + start, static_cast<std::size_t>(end - start)) == md5;
}

int SearchDriverRows(DbConnection& db, const catalogue::DriverFilter& filter,
                     const unsigned char* data, std::uint64_t size, const std::string& keyRoot,
                     const std::function<bool(const catalogue::DriverRow*, bool)>& onRow) {
  int found = 0;
  keypaths::KeyFolders folders(keyRoot);
  catalogue::SearchDrivers(db, filter, [&](const catalogue::DriverRow& row) {
    const bool matches = filter.manual ||
                         (row.hasRange && RangeDigestMatches(data, size, row.start, row.end, row.md5));
    if (!matches) return onRow(nullptr, false);
    ++found;
    return onRow(&row, row.downloaded && folders.HasDriverFile(row.name, row.user));
  });
  return found;
}
