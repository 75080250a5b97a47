// qbk list -v: one line per entry as `unzip -v` shows it (method, size,
// packed size, ratio, date and time as stored, CRC-32, name) and a totals
// line with both sizes.
#pragma once

#include <string>
#include <vector>

#include "archive/zip/Format.h"

namespace qbk {

std::string VerboseListing(const std::vector<zip::Entry>& entries);

}  // namespace qbk
