// The whole-set check that comes before anything is written from an
// archive: every entry's data read, inflated and checked against its sizes
// and CRC, on several threads when the machine has them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/zip/Error.h"
#include "archive/zip/Format.h"

namespace zip {

class PinnedVolumes;

// Reads every entry of `entries` from the volume files `volumePaths` (each
// thread opens its own handles, or reads the pinned ones when given) on up
// to `threads` threads. onBytes is told
// the uncompressed bytes checked, only ever on the calling thread, and
// every call returns only when no thread is left. Throws the zip::Error of
// the first damaged entry in the order given, whatever the thread count;
// with `faults`, checks every entry instead and adds the error of each
// damaged one there, in the order given, throwing only for what is not one
// entry's fault (volumes that cannot be opened, a handler's exception).
void VerifyEntries(const std::vector<std::string>& volumePaths,
                   const std::shared_ptr<const PinnedVolumes>& pinned,
                   const std::vector<const Entry*>& entries, unsigned threads,
                   const std::function<void(std::uint64_t)>& onBytes,
                   std::vector<Error>* faults = nullptr);

// The threads an archive operation uses unless told otherwise: the
// machine's cores, at most 8, or what SetDefaultThreads chose (0: back to
// the cores). For benchmarks and tests.
unsigned DefaultThreads();
void SetDefaultThreads(unsigned threads);

}  // namespace zip
