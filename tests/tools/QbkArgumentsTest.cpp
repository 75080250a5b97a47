// qbk's command line: sizes as the product names them, and every misuse
// named before anything is opened.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/QbkArguments.h"

namespace {

TEST(QbkArguments, VolumeSizesInBytesOrBinaryUnitsWithinWhatAVolumeHolds) {
  const struct {
    const char* text;
    std::int32_t size;
  } good[] = {{"65536", 65536},    {"64k", 65536},     {"64K", 65536},
              {"100M", 104857600}, {"1G", 1073741824}, {"2147483647", 2147483647}};
  for (const auto& g : good) {
    std::int32_t size = 0;
    std::string error;
    EXPECT_TRUE(qbk::ParseVolumeSize(g.text, &size, &error)) << g.text << ": " << error;
    EXPECT_EQ(size, g.size) << g.text;
  }
  for (const char* bad :
       {"65535", "63k", "0", "2G", "99999999999999999999", "10X", "M", "", "-1", "1.5M", "100MB"}) {
    std::int32_t size = 7;
    std::string error;
    EXPECT_FALSE(qbk::ParseVolumeSize(bad, &size, &error)) << bad;
    EXPECT_NE(error.find(std::string("\"") + bad + "\""), std::string::npos) << error;
    EXPECT_EQ(size, 7) << bad;
  }
}

TEST(QbkArguments, CommandsTakeTheirOperandsAndMisusesNameTheArgumentAtFault) {
  qbk::Arguments args;
  std::string error;
  ASSERT_TRUE(
      qbk::ParseArguments({"create", "--volume-size", "100M", "b.qbk", "key"}, &args, &error));
  EXPECT_EQ(args.command, qbk::Command::kCreate);
  EXPECT_EQ(args.volumeSize, 104857600);
  EXPECT_EQ(args.archive, "b.qbk");
  EXPECT_EQ(args.folder, "key");
  ASSERT_TRUE(qbk::ParseArguments({"--help"}, &args, &error));
  EXPECT_EQ(args.command, qbk::Command::kHelp);
  ASSERT_TRUE(qbk::ParseArguments({"-h"}, &args, &error));
  EXPECT_EQ(args.command, qbk::Command::kHelp);
  ASSERT_TRUE(qbk::ParseArguments({"--version"}, &args, &error));
  EXPECT_EQ(args.command, qbk::Command::kVersion);
  ASSERT_TRUE(qbk::ParseArguments({"extract", "b.qbk", "out"}, &args, &error));
  EXPECT_EQ(args.command, qbk::Command::kExtract);
  EXPECT_EQ(args.volumeSize, 0);
  EXPECT_TRUE(args.names.empty());
  ASSERT_TRUE(qbk::ParseArguments({"extract", "b.qbk", "out", "dir/", "a.txt"}, &args, &error));
  EXPECT_EQ(args.folder, "out");
  EXPECT_EQ(args.names, (std::vector<std::string>{"dir/", "a.txt"}));
  ASSERT_TRUE(qbk::ParseArguments({"list", "-v", "b.qbk"}, &args, &error));
  EXPECT_TRUE(args.verbose);

  const struct {
    std::vector<std::string> args;
    const char* named;
  } misuses[] = {
      {{}, "no command"},
      {{"lsit", "b.qbk"}, "\"lsit\""},
      {{"list", "-v2", "b.qbk"}, "\"-v2\""},
      {{"list"}, "needs ARCHIVE"},
      {{"test", "b.qbk", "extra"}, "\"extra\""},
      {{"extract", "b.qbk"}, "needs ARCHIVE and DIR"},
      {{"create", "--volume-size"}, "needs a SIZE"},
      {{"create", "--volume-size", "10", "b.qbk", "key"}, "\"10\""},
      {{"list", "--volume-size", "100M", "b.qbk"}, "\"--volume-size\""},
      {{"--version", "now"}, "\"now\""},
  };
  for (const auto& m : misuses) {
    error.clear();
    EXPECT_FALSE(qbk::ParseArguments(m.args, &args, &error)) << m.named;
    EXPECT_NE(error.find(m.named), std::string::npos) << error;
  }
}

// The wrapper's texts as they come (a lead-in with an empty detail, the
// detail inside the text, the archive in the engine's reason): one line
// each, the archive named once.
TEST(QbkArguments, EachFailureIsOneLineNamingTheArchiveOnce) {
  EXPECT_EQ(qbk::FailureLine("a.qbk", "Error Adding File: ", "Folder not found: key"),
            "qbk: a.qbk: Error Adding File. Folder not found: key");
  EXPECT_EQ(qbk::FailureLine("b.qbk",
                             "Impossibile opening or creating an Archive b.qbk: Not a ZIP archive",
                             "Not a ZIP archive"),
            "qbk: Impossibile opening or creating an Archive b.qbk: Not a ZIP archive");
  EXPECT_EQ(qbk::FailureLine("m.qbk", "Archive not found: m.qbk", ""),
            "qbk: Archive not found: m.qbk");
  EXPECT_EQ(qbk::FailureLine("c.qbk", "CRC error in a.bin\n\nsecond line\n", ""),
            "qbk: c.qbk: CRC error in a.bin second line");
  EXPECT_EQ(qbk::FailureLine("d.qbk", "", ""), "qbk: d.qbk: failed");
}

}  // namespace
