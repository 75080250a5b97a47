// Adding files to an archive with compression on a pool of threads. Files
// are read on the calling thread in archive order and written strictly in
// that order; pool threads only compress. Files up to kWholeInMemory are
// compressed whole; larger ones in pieces of kPieceSize joined into one
// deflate stream (each piece primed with the 32 KiB before it). What the
// calling thread does (reads, writes, the progress) depends only on the
// files' sizes, never on the number of threads or their timing, and at most
// kBytesInFlight of input and output wait at any time.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "archive/zip/Pool.h"
#include "archive/zip/Writer.h"

namespace zip {

constexpr std::uint64_t kWholeInMemory = 4 << 20;
constexpr size_t kPieceSize = 1 << 20;
constexpr std::uint64_t kBytesInFlight = 32 << 20;

class PackPipeline {
 public:
  // onBytes: input bytes whose entry data has been written, on the calling
  // thread, in archive order.
  PackPipeline(Writer* writer, unsigned threads, std::function<void(std::uint64_t)> onBytes);
  // Joins the pool; what was not written yet is dropped.
  ~PackPipeline();

  void AddFolder(const std::string& name, std::int64_t modified, std::uint32_t dosAttributes);
  // Reads the file at path (its size as listed: `size`) and queues it.
  void AddFile(const std::string& name, const std::string& path, std::uint64_t size,
               std::int64_t modified, std::uint32_t dosAttributes);
  // Writes everything queued. Throws the first failure in archive order.
  void Finish();

 private:
  struct Job {
    enum class Kind { kFolder, kWhole, kFirstPiece, kPiece } kind;
    std::string name, path;
    std::int64_t modified = 0;
    std::uint32_t attributes = 0;
    std::uint64_t bound = 0;  // kFirstPiece: the most the stream can take
    std::uint64_t cost = 0;   // bytes held in flight
    std::shared_ptr<PackTask> task;
  };
  void Push(Job job);
  void MakeRoom(std::uint64_t cost);
  void WriteHead();

  Writer* writer_;
  std::function<void(std::uint64_t)> onBytes_;
  std::unique_ptr<PackPool> pool_;
  std::deque<Job> queue_;
  std::uint64_t inFlight_ = 0;
  // The stream being written: its CRC and size so far.
  std::uint32_t streamCrc_ = 0;
  std::uint64_t streamSize_ = 0;
};

}  // namespace zip
