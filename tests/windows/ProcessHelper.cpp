// Plays a running product for the process tests. Writes the folder it was
// started in to "started" beside its own file, then runs until a file
// "stop" appears there (at most a minute, so that a failed test leaves
// nothing behind for long).
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 1) return 2;
  std::error_code ec;
  const fs::path folder = fs::absolute(fs::path(argv[0]), ec).parent_path();
  {
    std::ofstream out(folder / "started.part", std::ios::binary);
    out << fs::current_path(ec).string();
  }
  // Renamed into place so that a reader never sees half a text.
  fs::rename(folder / "started.part", folder / "started", ec);
  for (int i = 0; i < 600; ++i) {
    if (fs::exists(folder / "stop", ec)) return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return 1;
}
