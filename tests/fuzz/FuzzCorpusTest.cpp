// Replays the fuzzer's corpus through the reader in the normal test run, so
// that every input that once mattered stays harmless.
#include <dirent.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/fuzz/ReadArchiveInput.h"
#include "tests/support/KeyFixture.h"

TEST(FuzzCorpus, EveryInputIsReadWithoutHarm) {
  std::string folder = QUOR_FUZZ_CORPUS;
  DIR* dir = ::opendir(folder.c_str());
  ASSERT_NE(dir, nullptr) << folder;
  int files = 0, readable = 0;
  while (dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    std::string bytes = fixture::ReadFile(folder + "/" + name);
    int good = ReadArchiveInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (name.rfind("valid-", 0) == 0) {
      EXPECT_GT(good, 0) << name;  // the seeds read cleanly
    }
    readable += good > 0;
    ++files;
  }
  ::closedir(dir);
  EXPECT_GE(files, 4);
  EXPECT_GE(readable, 2);
}
