#include "archive/zip/Pipeline.h"

#include <zlib.h>

#include <algorithm>
#include <exception>

#include "archive/zip/Error.h"
#include "archive/zip/Io.h"

namespace zip {
namespace {

constexpr size_t kQueueDepth = 64;
constexpr size_t kDictionary = 32 * 1024;

std::uint64_t PackedBound(std::uint64_t n) { return n + n / 1000 + 64; }

}  // namespace

PackPipeline::PackPipeline(Writer* writer, unsigned threads,
                           std::function<void(std::uint64_t)> onBytes)
    : writer_(writer), onBytes_(std::move(onBytes)), pool_(std::make_unique<PackPool>(threads)) {}

PackPipeline::~PackPipeline() { pool_.reset(); }

void PackPipeline::MakeRoom(std::uint64_t cost) {
  while (!queue_.empty() && (inFlight_ + cost > kBytesInFlight || queue_.size() >= kQueueDepth))
    WriteHead();
}

void PackPipeline::Push(Job job) {
  inFlight_ += job.cost;
  if (job.task) pool_->Submit(job.task);
  queue_.push_back(std::move(job));
}

void PackPipeline::AddFolder(const std::string& name, std::int64_t modified,
                             std::uint32_t dosAttributes) {
  MakeRoom(0);
  Job job{Job::Kind::kFolder, name, std::string(), modified, dosAttributes, 0, 0, nullptr};
  Push(std::move(job));
}

void PackPipeline::AddFile(const std::string& name, const std::string& path, std::uint64_t size,
                           std::int64_t modified, std::uint32_t dosAttributes) {
  if (size > kMax32)
    throw Error(Reason::kTooLarge, {path}, "File too large for ZIP (more than 4 GiB): " + path);
  try {
    InputFile file(path);
    if (size <= kWholeInMemory) {
      MakeRoom(2 * PackedBound(size));
      auto task = std::make_shared<PackTask>();
      // Read to the end, also when the file grew since it was listed.
      task->input.resize(static_cast<size_t>(size) + 1);
      size_t have = 0, got;
      while ((got = file.Read(task->input.data() + have, task->input.size() - have)) > 0) {
        have += got;
        if (have > kMax32)
          throw Error(Reason::kTooLarge, {path},
                      "File too large for ZIP (more than 4 GiB): " + path);
        if (have == task->input.size()) task->input.resize(task->input.size() * 2);
      }
      task->input.resize(have);
      Job job{Job::Kind::kWhole,        name,           path, modified, dosAttributes, 0,
              have + PackedBound(have), std::move(task)};
      Push(std::move(job));
      return;
    }
    // A large file: pieces of one stream. The bound counts what each
    // piece's flush adds, so that the data descriptor is decided rightly.
    std::uint64_t pieces = size / kPieceSize + 1;
    std::uint64_t bound = PackedBound(size) + pieces * 16 + 1024;
    ByteBuffer history;  // the last 32 KiB of the stream's input
    bool first = true;
    for (;;) {
      MakeRoom(2 * PackedBound(kPieceSize) + kDictionary);
      auto task = std::make_shared<PackTask>();
      task->kind = PackTask::Kind::kPiece;
      task->input.resize(kPieceSize);
      size_t got = file.Read(task->input.data(), kPieceSize);
      task->input.resize(got);
      task->last = got < kPieceSize;
      task->dictionary = history;
      history.insert(history.end(), task->input.begin(), task->input.end());
      if (history.size() > kDictionary) history.erase(history.begin(), history.end() - kDictionary);
      Job job{first ? Job::Kind::kFirstPiece : Job::Kind::kPiece,
              name,
              path,
              modified,
              dosAttributes,
              bound,
              got + PackedBound(got) + task->dictionary.size(),
              task};
      first = false;
      Push(std::move(job));
      if (task->last) break;
    }
  } catch (...) {
    // What comes earlier in the archive is written first, so the failure
    // reported is the first in archive order, whatever the threads did.
    std::exception_ptr failure = std::current_exception();
    Finish();
    std::rethrow_exception(failure);
  }
}

void PackPipeline::WriteHead() {
  Job job = std::move(queue_.front());
  queue_.pop_front();
  inFlight_ -= job.cost;
  if (job.kind == Job::Kind::kFolder) {
    writer_->AddFolder(job.name, job.modified, job.attributes);
    return;
  }
  PackTask& t = *job.task;
  pool_->Wait(t);
  if (!t.error.empty()) throw Error(t.error + ": " + job.path);
  if (job.kind == Job::Kind::kWhole) {
    writer_->AddPacked(job.name, t.input.data(), t.input.size(), t.crc, t.output.data(),
                       t.output.size(), t.stored, job.modified, job.attributes);
  } else {
    if (job.kind == Job::Kind::kFirstPiece) {
      writer_->BeginStream(job.name, job.modified, job.attributes, job.bound);
      streamCrc_ = static_cast<std::uint32_t>(crc32(0L, Z_NULL, 0));
      streamSize_ = 0;
    }
    writer_->StreamData(t.output.data(), t.output.size());
    streamCrc_ = static_cast<std::uint32_t>(
        crc32_combine(streamCrc_, t.crc, static_cast<z_off_t>(t.input.size())));
    streamSize_ += t.input.size();
    if (t.last) writer_->EndStream(streamCrc_, streamSize_, job.path);
  }
  if (onBytes_ && !t.input.empty()) onBytes_(t.input.size());
}

void PackPipeline::Finish() {
  while (!queue_.empty()) WriteHead();
}

}  // namespace zip
