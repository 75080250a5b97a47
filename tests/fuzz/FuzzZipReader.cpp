// libFuzzer entry point for the archive reader.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/ReadArchiveInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadArchiveInput(data, size);
  return 0;
}
