// Paths compared as the system compares them: the same text on POSIX; on
// Windows, where either separator works and names ignore case, without
// regard to either.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace fixture {

inline ::testing::AssertionResult SamePath(const std::string& actual, const std::string& expected) {
#ifdef _WIN32
  auto key = [](std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path;
  };
  const bool same = key(actual) == key(expected);
#else
  const bool same = actual == expected;
#endif
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\n  actual:   " << actual << "\n  expected: " << expected;
}

}  // namespace fixture
