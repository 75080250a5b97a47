// The engine reports every failure by throwing zip::Error with a message
// meant for the user; the wrapper turns it into a false result.
#pragma once

#include <stdexcept>
#include <string>

namespace zip {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zip
