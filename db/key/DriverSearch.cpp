#include "db/key/DriverSearch.h"

#include "db/key/KeyDatabase.h"
#include "dbwindow/Hash_algorithms.h"

namespace keydb {

bool RangeDigestMatches(const unsigned char* data, std::uint64_t size, std::int64_t start,
                        std::int64_t end, const std::string& md5) {
  if (start < 0 || end <= start || static_cast<std::uint64_t>(end) > size) return false;
  return TUEDC16::HashBuffer(data + start, static_cast<std::size_t>(end - start)) == md5;
}

int SearchDriverRows(KeyDatabase& db, const DriverFilter& filter, const unsigned char* data,
                     std::uint64_t size, const std::function<bool(const DriverRow*)>& onRow) {
  int found = 0;
  SearchDrivers(db, filter, [&](const DriverRow& row) {
    const bool matches = filter.manual || (row.hasRange && RangeDigestMatches(data, size, row.start,
                                                                              row.end, row.md5));
    if (!matches) return onRow(nullptr);
    ++found;
    DriverRow match = row;
    match.available = row.downloaded && db.folders().HasDriverFile(row.name, row.user);
    return onRow(&match);
  });
  return found;
}

}  // namespace keydb
