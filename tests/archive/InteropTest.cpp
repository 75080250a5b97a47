// Our archives read by tools nobody here wrote, and theirs read by us.
#include <gtest/gtest.h>

#include "tests/archive/ArchiveTestSupport.h"

namespace {
using namespace archive_test;

class Interop : public ::testing::Test {
 protected:
  void SetUp() override { MakeTree(dir_ / "src"); }
  fixture::TempDir dir_;
};

TEST_F(Interop, InfoZipSevenZipAndPythonReadOurArchive) {
  ASSERT_TRUE(Create(dir_ / "ours.qbk", dir_ / "src"));
  fs::copy_file(dir_ / "ours.qbk", dir_ / "ours.zip");
  std::string out;
  EXPECT_EQ(Shell("unzip -t " + Quote(dir_ / "ours.zip"), &out), 0) << out;
  ASSERT_EQ(Shell("cd " + Quote(dir_.path()) + " && mkdir -p by-unzip && unzip -q ours.zip -d by-unzip", &out), 0) << out;
  EXPECT_EQ(Tree(dir_ / "by-unzip"), Tree(dir_ / "src"));
  EXPECT_EQ(Shell("7z t " + Quote(dir_ / "ours.zip"), &out), 0) << out;
  ASSERT_EQ(Shell("python3 -c \"import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); "
                "assert z.testzip() is None; print('\\n'.join(sorted(z.namelist())))\" " +
                    Quote(dir_ / "ours.zip"), &out), 0) << out;
  EXPECT_NE(out.find("ZKM_Quorvane/Database/DRT/Citroën C3.DRT"), std::string::npos) << out;
  EXPECT_NE(out.find("ZKM_Quorvane/Empty/"), std::string::npos) << out;
}

TEST_F(Interop, SplitSetJoinedByInfoZipAndTestedBy7Zip) {
  // Several 64 KiB volumes. Info-ZIP 3.0 cannot join an entry that spans
  // more than two volumes (its own sets included), so each stays smaller.
  for (int i = 0; i < 8; ++i) fixture::WriteFile(dir_ / ("src/part" + std::to_string(i)), RandomBytes(i, 40000));
  ASSERT_TRUE(Create(dir_ / "set.qbk", dir_ / "src", 65536));
  ASSERT_TRUE(fs::exists(dir_ / "set.Z01"));
  int volumes = 0;
  for (int i = 1; fs::exists(dir_ / ("set.Z" + std::string(i < 10 ? "0" : "") + std::to_string(i))); ++i) {
    const std::string name = "set.Z" + std::string(i < 10 ? "0" : "") + std::to_string(i);
    EXPECT_LE(fs::file_size(dir_ / name), 65536u);
    fs::copy_file(dir_ / name, dir_ / ("their.z" + std::string(i < 10 ? "0" : "") + std::to_string(i)));
    ++volumes;
  }
  ASSERT_GE(volumes, 2);
  fs::copy_file(dir_ / "set.qbk", dir_ / "their.zip");
  std::string out;
  ASSERT_EQ(Shell("cd " + Quote(dir_.path()) + " && zip -q -s 0 their.zip --out joined.zip", &out), 0) << out;
  EXPECT_EQ(Shell("unzip -t " + Quote(dir_ / "joined.zip"), &out), 0) << out;
  ASSERT_EQ(Shell("cd " + Quote(dir_.path()) + " && mkdir j && unzip -q joined.zip -d j", &out), 0) << out;
  EXPECT_EQ(Tree(dir_ / "j"), Tree(dir_ / "src"));
  EXPECT_EQ(Shell("7z t " + Quote(dir_ / "their.zip"), &out), 0) << out;
  EXPECT_EQ(Shell("python3 -c \"import zipfile,sys; assert zipfile.ZipFile(sys.argv[1]).testzip() is None\" " +
                    Quote(dir_ / "joined.zip"), &out), 0) << out;
}

TEST_F(Interop, WeReadInfoZipArchivesSingleAndSplit) {
  std::string out;
  ASSERT_EQ(Shell("cd " + Quote(dir_ / "src") + " && zip -q -1 -r ../theirs.zip .", &out), 0) << out;
  std::string error;
  ASSERT_TRUE(ExtractAll(dir_ / "theirs.zip", dir_ / "a", &error)) << error;
  EXPECT_EQ(Tree(dir_ / "a"), Tree(dir_ / "src"));

  fixture::WriteFile(dir_ / "src/big.bin", fixture::EcuImage(9, 300000));
  ASSERT_EQ(Shell("cd " + Quote(dir_ / "src") + " && zip -q -1 -r -s 64k ../split.zip .", &out), 0) << out;
  // Our names: .Z01 ... and the last under the archive's name.
  for (int i = 1; fs::exists(dir_ / ("split.z0" + std::to_string(i))); ++i)
    fs::rename(dir_ / ("split.z0" + std::to_string(i)), dir_ / ("split.Z0" + std::to_string(i)));
  fs::rename(dir_ / "split.zip", dir_ / "split.qbk");
  ASSERT_TRUE(fs::exists(dir_ / "split.Z01"));
  ASSERT_TRUE(ExtractAll(dir_ / "split.qbk", dir_ / "b", &error)) << error;
  EXPECT_EQ(Tree(dir_ / "b"), Tree(dir_ / "src"));
}

}  // namespace
