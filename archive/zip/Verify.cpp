#include "archive/zip/Verify.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "archive/zip/Error.h"
#include "archive/zip/Reader.h"
#include "archive/zip/Volumes.h"

namespace zip {

namespace {
std::atomic<unsigned> g_defaultThreads{0};
}  // namespace

unsigned DefaultThreads() {
  unsigned n = g_defaultThreads.load();
  if (n == 0) n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : (n > 8 ? 8 : n);
}

void SetDefaultThreads(unsigned threads) { g_defaultThreads = threads; }

void VerifyEntries(const std::vector<std::string>& volumePaths,
                   const std::shared_ptr<const PinnedVolumes>& pinned,
                   const std::vector<const Entry*>& entries, unsigned threads,
                   const std::function<void(std::uint64_t)>& onBytes, std::vector<Error>* faults) {
  if (entries.empty()) return;
  if (threads <= 1 || entries.size() == 1) {
    FileVolumes volumes(volumePaths, pinned);
    for (const Entry* e : entries) {
      try {
        ReadEntryData(volumes, *e, [&](const unsigned char*, size_t n) {
          if (onBytes) onBytes(n);
        });
      } catch (const Error& error) {
        if (!faults) throw;
        faults->push_back(error);
      }
    }
    return;
  }
  if (threads > entries.size()) threads = static_cast<unsigned>(entries.size());

  std::atomic<size_t> next{0};
  std::atomic<std::uint64_t> checked{0};
  std::mutex lock;
  std::condition_variable changed;
  size_t failedAt = entries.size();  // index of the first failure found so far
  Error failure("");
  std::vector<std::pair<size_t, Error>> found;  // with faults: every damaged entry
  unsigned running = threads;

  auto work = [&]() {
    try {
      FileVolumes volumes(volumePaths, pinned);
      for (;;) {
        size_t i = next.fetch_add(1);
        {
          std::lock_guard<std::mutex> hold(lock);
          if (i >= entries.size() || i > failedAt) break;
        }
        try {
          ReadEntryData(volumes, *entries[i], [&](const unsigned char*, size_t n) {
            checked.fetch_add(n, std::memory_order_relaxed);
          });
        } catch (const Error& error) {
          std::lock_guard<std::mutex> hold(lock);
          if (faults) {
            found.emplace_back(i, error);
          } else if (i < failedAt) {
            failedAt = i;
            failure = error;
          }
        } catch (const std::exception& error) {
          std::lock_guard<std::mutex> hold(lock);
          if (faults) {
            found.emplace_back(i, Error(error.what()));
          } else if (i < failedAt) {
            failedAt = i;
            failure = Error(error.what());
          }
        }
      }
    } catch (const Error& error) {
      std::lock_guard<std::mutex> hold(lock);
      if (failedAt == entries.size()) {
        failedAt = 0;
        failure = error;
      }
    } catch (const std::exception& error) {
      std::lock_guard<std::mutex> hold(lock);
      if (failedAt == entries.size()) {
        failedAt = 0;
        failure = Error(error.what());
      }
    }
    std::lock_guard<std::mutex> hold(lock);
    --running;
    changed.notify_all();
  };

  std::vector<std::thread> pool;
  pool.reserve(threads);
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work);
  std::uint64_t reported = 0;
  std::exception_ptr handlerFailure;
  {
    std::unique_lock<std::mutex> hold(lock);
    while (running > 0) {
      changed.wait_for(hold, std::chrono::milliseconds(40));
      std::uint64_t now = checked.load(std::memory_order_relaxed);
      if (onBytes && now > reported && !handlerFailure) {
        hold.unlock();
        try {
          onBytes(now - reported);
        } catch (...) {
          handlerFailure = std::current_exception();
        }
        reported = now;
        hold.lock();
        if (handlerFailure) failedAt = 0;  // the threads take no more work
      }
    }
  }
  for (std::thread& t : pool) t.join();
  if (handlerFailure) std::rethrow_exception(handlerFailure);
  if (failedAt != entries.size()) throw failure;
  if (faults) {
    std::sort(found.begin(), found.end(),
              [](const std::pair<size_t, Error>& a, const std::pair<size_t, Error>& b) {
                return a.first < b.first;
              });
    for (auto& f : found) faults->push_back(std::move(f.second));
  }
  std::uint64_t now = checked.load();
  if (onBytes && now > reported) onBytes(now - reported);
}

}  // namespace zip
