#include "archive/zip/Pool.h"

#include <zlib.h>

#include <exception>

namespace zip {

void Pack(PackTask* t) {
  t->crc =
      static_cast<std::uint32_t>(crc32_z(crc32(0L, Z_NULL, 0), t->input.data(), t->input.size()));
  z_stream z{};
  if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    t->error = "Out of memory for compression";
    return;
  }
  if (!t->dictionary.empty())
    deflateSetDictionary(&z, t->dictionary.data(), static_cast<uInt>(t->dictionary.size()));
  bool finish = t->kind == PackTask::Kind::kWhole || t->last;
  // A piece that does not end the stream ends with a sync flush: its bytes
  // end on a byte boundary and the next piece's simply follow.
  t->output.resize(deflateBound(&z, static_cast<uLong>(t->input.size())) + 16);
  z.next_in = t->input.data();
  z.avail_in = static_cast<uInt>(t->input.size());
  z.next_out = t->output.data();
  z.avail_out = static_cast<uInt>(t->output.size());
  int rc = deflate(&z, finish ? Z_FINISH : Z_SYNC_FLUSH);
  bool ok = finish ? rc == Z_STREAM_END : (rc == Z_OK && z.avail_in == 0 && z.avail_out > 0);
  t->output.resize(t->output.size() - z.avail_out);
  deflateEnd(&z);
  if (!ok) {
    t->error = "Compression failed";
    return;
  }
  if (t->kind == PackTask::Kind::kWhole && t->output.size() >= t->input.size()) {
    t->stored = true;
    ByteBuffer().swap(t->output);
  }
}

PackPool::PackPool(unsigned threads) {
  if (threads == 0) threads = 1;
  threads_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

PackPool::~PackPool() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
    queue_.clear();
  }
  work_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void PackPool::Submit(std::shared_ptr<PackTask> task) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    queue_.push_back(std::move(task));
  }
  work_.notify_one();
}

void PackPool::Wait(const PackTask& task) {
  std::unique_lock<std::mutex> hold(lock_);
  finished_.wait(hold, [&] { return task.done; });
}

void PackPool::Work() {
  for (;;) {
    std::shared_ptr<PackTask> task;
    {
      std::unique_lock<std::mutex> hold(lock_);
      work_.wait(hold, [&] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    try {
      Pack(task.get());
    } catch (const std::exception& e) {  // std::bad_alloc
      task->error = e.what();
    }
    {
      std::lock_guard<std::mutex> hold(lock_);
      task->done = true;
    }
    finished_.notify_all();
  }
}

}  // namespace zip
