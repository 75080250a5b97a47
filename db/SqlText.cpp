#include "db/SqlText.h"

std::string SqlValue(const std::string& value) {
  std::string out;
  out.reserve(value.size() + 2);
  for (char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string SqlQuoted(const std::string& value) { return "'" + SqlValue(value) + "'"; }
