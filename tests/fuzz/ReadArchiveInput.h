// Feeds arbitrary bytes to the archive reader as one archive: the end
// record, the directory, names and every small entry's data. Must never
// crash, hang or read out of bounds, whatever the bytes.
#pragma once

#include <cstddef>
#include <cstdint>

// Returns the number of entries whose data read back with a good CRC.
int ReadArchiveInput(const std::uint8_t* data, std::size_t size);
