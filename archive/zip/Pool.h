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
#include <utility>
#include <vector>

namespace zip {

// Bytes that resize() leaves uninitialised: the buffers are filled by a
// read or by deflate at once, and zeroing them first would cost as much as
// a copy of every file.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <typename U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using ByteBuffer = std::vector<unsigned char, UninitialisedAllocator<unsigned char>>;

// One piece of work: a whole small file, or one piece of a large file's
// deflate stream.
struct PackTask {
  enum class Kind {
    kWhole,  // a whole file: deflated, or stored when that is smaller
    kPiece,  // part of one stream: ends byte-aligned, or ends the stream
  };
  Kind kind = Kind::kWhole;
  bool last = false;  // kPiece: the stream's final piece
  ByteBuffer input;
  ByteBuffer dictionary;  // kPiece: the 32 KiB before it

  // Filled in by the pool.
  ByteBuffer output;
  std::uint32_t crc = 0;  // of input
  bool stored = false;    // kWhole: output is empty, store input
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
