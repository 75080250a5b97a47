// Feeds arbitrary bytes to the archive reader as a ZIP archive: it must
// answer with an error or the entries, never crash, hang or write outside
// its scratch folder. Shared by the fuzzer and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

int ReadArchiveFuzzInput(const std::uint8_t* data, std::size_t size);
