// The qbk tool from outside, as a technician uses it.
#include <gtest/gtest.h>

#include "tests/archive/ArchiveTestSupport.h"

namespace {
using namespace archive_test;

TEST(Qbk, CreateListTestExtractAndDetectDamage) {
  fixture::TempDir dir;
  MakeTree(dir / "src");
  fixture::WriteFile(dir / "src/data.bin", RandomBytes(3, 200000));
  const std::string qbk = QBK_PATH;
  std::string out;
  ASSERT_EQ(Shell(qbk + " create --volume-size 65536 " + Quote(dir / "b.qbk") + " " + Quote(dir / "src"), &out), 0) << out;
  EXPECT_TRUE(fs::exists(dir / "b.Z01"));
  ASSERT_EQ(Shell(qbk + " list " + Quote(dir / "b.qbk"), &out), 0) << out;
  EXPECT_NE(out.find("ZKM_Quorvane/Database/DRT/Citroën C3.DRT"), std::string::npos) << out;
  ASSERT_EQ(Shell(qbk + " test " + Quote(dir / "b.qbk"), &out), 0) << out;
  EXPECT_NE(out.find("all intact"), std::string::npos);
  ASSERT_EQ(Shell(qbk + " extract " + Quote(dir / "b.qbk") + " " + Quote(dir / "out"), &out), 0) << out;
  EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));

  std::string volume = fixture::ReadFile(dir / "b.Z02");
  volume[1000] ^= 0x01;
  fixture::WriteFile(dir / "b.Z02", volume);
  EXPECT_EQ(Shell(qbk + " test " + Quote(dir / "b.qbk"), &out), 1);
  EXPECT_TRUE(out.find("CRC error") != std::string::npos || out.find("damaged") != std::string::npos) << out;
  EXPECT_EQ(Shell(qbk + " frobnicate x", &out), 2);
}

}  // namespace
