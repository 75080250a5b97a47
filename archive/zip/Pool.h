// Compression on a small pool of threads inside one archive operation. The
// calling thread reads the files and writes the archive; pool threads only
// compress. Each task's output depends on its input alone, so an archive is
// byte for byte the same whatever the number of threads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zip {

// One piece of work: a whole small file, or one piece of a large file's
// deflate stream.
struct PackTask {
  enum class Kind {
    kWhole,  // a whole file: deflated, or stored when that is smaller
    kPiece,  // part of one stream: ends byte-aligned, or ends the stream
  };
  Kind kind = Kind::kWhole;
  bool last = false;                       // kPiece: the stream's final piece
  std::vector<unsigned char> input;
  std::vector<unsigned char> dictionary;   // kPiece: the 32 KiB before it

  // Filled in by the pool.
  std::vector<unsigned char> output;
  std::uint32_t crc = 0;                   // of input
  bool stored = false;                     // kWhole: output is empty, store input
  std::string error;
  bool done = false;
};

// Raw deflate at level 1 of one task, on any thread.
void Pack(PackTask* task);

class PackPool {
 public:
  // threads >= 1 compressing threads; they live as long as the pool.
  explicit PackPool(unsigned threads);
  ~PackPool();  // drops the waiting tasks and joins every thread
  PackPool(const PackPool&) = delete;
  PackPool& operator=(const PackPool&) = delete;

  // Queues a task; tasks start in the order submitted.
  void Submit(std::shared_ptr<PackTask> task);
  // Waits until the task is packed. Only for a task that was submitted.
  void Wait(const PackTask& task);

 private:
  void Work();
  std::mutex lock_;
  std::condition_variable work_, finished_;
  std::deque<std::shared_ptr<PackTask>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace zip
