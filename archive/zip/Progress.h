// Turns byte counts into the percentages an operation reports: 0 at the
// start, then each time the value has grown by a whole percent, 100 at the end.
#pragma once

#include <cstdint>
#include <functional>

namespace zip {

class ProgressMeter {
 public:
  ProgressMeter(const std::function<void(double)>& handler, std::uint64_t total)
      : handler_(handler), total_(total) {
    Emit(0.0);
  }
  void Add(std::uint64_t bytes) {
    done_ += bytes;
    if (total_ == 0) return;
    double percent = 100.0 * static_cast<double>(done_) / static_cast<double>(total_);
    if (percent > 100.0) percent = 100.0;
    if (percent < 100.0 && percent >= last_ + 1.0) Emit(percent);
  }
  void Finish() { Emit(100.0); }

 private:
  void Emit(double percent) {
    last_ = percent;
    if (handler_) handler_(percent);
  }
  const std::function<void(double)>& handler_;
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  double last_ = 0.0;
};

}  // namespace zip
