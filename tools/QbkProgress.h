// qbk's progress line on stderr: percent and MB/s, one line rewritten in
// place at most ten times a second, and ended with a newline. Shown only
// when asked to (stderr is a terminal and -q was not given).
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace qbk {

class Progress {
 public:
  // total: the bytes the run will handle (0 when unknown: no percent).
  Progress(std::uint64_t total, bool show, std::FILE* out = stderr);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void AddBytes(std::uint64_t n);  // n more bytes handled
  void SetPercent(int percent);    // the run's own count, when it gives bytes none

 private:
  void Show(bool last);

  std::uint64_t total_, done_ = 0;
  bool show_, shown_ = false;
  std::FILE* out_;
  std::chrono::steady_clock::time_point start_, lastShown_;
};

// Whether stderr is a terminal, where a progress line belongs.
bool StderrIsTerminal();

}  // namespace qbk
