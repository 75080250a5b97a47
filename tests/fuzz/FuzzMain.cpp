// libFuzzer entry point for the archive reader.
#include "tests/fuzz/FuzzArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return ReadArchiveFuzzInput(data, size);
}
