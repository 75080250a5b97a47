// The one exception type of the ZIP engine: every failure (I/O, damaged
// archive, format limit) carries a message that names the file concerned.
#pragma once

#include <stdexcept>
#include <string>

namespace zip {

class ZipError : public std::runtime_error {
 public:
  explicit ZipError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zip
