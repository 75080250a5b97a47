#include "tools/QbkProgress.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace qbk {

Progress::Progress(std::uint64_t total, bool show, std::FILE* out)
    : total_(total), show_(show), out_(out), start_(std::chrono::steady_clock::now()) {}

Progress::~Progress() {
  if (shown_) Show(true);
}

void Progress::AddBytes(std::uint64_t n) {
  done_ += n;
  Show(false);
}

void Progress::SetPercent(int percent) {
  if (total_ > 0) done_ = total_ * static_cast<std::uint64_t>(percent) / 100;
  Show(false);
}

void Progress::Show(bool last) {
  if (!show_) return;
  const auto now = std::chrono::steady_clock::now();
  if (!last && shown_ && now - lastShown_ < std::chrono::milliseconds(100)) return;
  lastShown_ = now;
  shown_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(done_) / (1024.0 * 1024.0) / seconds : 0;
  const int percent = total_ > 0 ? static_cast<int>(done_ * 100 / total_) : 0;
  std::fprintf(out_, "\rqbk: %3d%%  %7.1f MB/s", percent > 100 ? 100 : percent, rate);
  if (last) std::fputc('\n', out_);
  std::fflush(out_);
}

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

}  // namespace qbk
