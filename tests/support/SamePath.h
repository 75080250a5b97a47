// Paths compared as the system compares them: the same text on POSIX; on
// Windows, where either separator works and names ignore case (accented
// letters too), the same file when both exist, else the same text without
// regard to separators and ASCII case.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

namespace fixture {

inline ::testing::AssertionResult SamePath(const std::string& actual, const std::string& expected) {
#ifdef _WIN32
  auto key = [](std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return path;
  };
  std::error_code ec;
  const bool same = key(actual) == key(expected) ||
                    std::filesystem::equivalent(std::filesystem::u8path(actual),
                                                std::filesystem::u8path(expected), ec);
#else
  const bool same = actual == expected;
#endif
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "\n  actual:   " << actual << "\n  expected: " << expected;
}

}  // namespace fixture
