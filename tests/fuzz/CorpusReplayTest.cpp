// Every input the fuzzer keeps is replayed on each test run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/fuzz/FuzzArchive.h"

TEST(FuzzCorpus, EveryKeptInputIsReadWithoutHarm) {
  int replayed = 0;
  for (const auto& file : std::filesystem::directory_iterator(QUOR_FUZZ_CORPUS)) {
    std::ifstream in(file.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(ReadArchiveFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0)
        << file.path();
    ++replayed;
  }
  EXPECT_GE(replayed, 5);
}
