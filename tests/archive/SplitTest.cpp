// Split volumes: sizes, names, headers that never cross a boundary, updates.
#include <gtest/gtest.h>

#include "archive/zip/ZipArchive.h"
#include "tests/archive/ArchiveTestSupport.h"

namespace {
using namespace archive_test;

std::string Volume(const fixture::TempDir& dir, const std::string& stem, int i) {
  return dir / (stem + ".Z" + (i < 10 ? "0" : "") + std::to_string(i));
}

TEST(Split, ThreeVolumesOfTheBackupSize) {
  fixture::TempDir dir;
  // Incompressible data just over twice the volume size.
  for (int i = 0; i < 11; ++i)
    fixture::WriteFile(dir / ("src/f" + std::to_string(i) + ".bin"), RandomBytes(i, 20 << 20));
  ASSERT_TRUE(Create(dir / "full.qbk", dir / "src", 104857600));
  EXPECT_EQ(fs::file_size(Volume(dir, "full", 1)), 104857600u);
  EXPECT_EQ(fs::file_size(Volume(dir, "full", 2)), 104857600u);
  EXPECT_FALSE(fs::exists(Volume(dir, "full", 3)));
  EXPECT_LT(fs::file_size(dir / "full.qbk"), 104857600u);
  std::string error;
  ASSERT_TRUE(ExtractAll(dir / "full.qbk", dir / "out", &error)) << error;
  EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));
}

TEST(Split, HeadersNeverCrossAVolumeBoundary) {
  fixture::TempDir dir;
  // Many small files with long names: records land near every boundary.
  for (int i = 0; i < 400; ++i)
    fixture::WriteFile(dir / ("src/a-rather-long-folder-name/file-with-a-long-name-" + std::to_string(i) + ".DRT"),
                       fixture::EcuImage(i, 300 + i * 7));
  ASSERT_TRUE(Create(dir / "many.qbk", dir / "src", 1000));  // acts as 65536
  int volumes = 0;
  for (int i = 1; fs::exists(Volume(dir, "many", i)); ++i) {
    EXPECT_LE(fs::file_size(Volume(dir, "many", i)), 65536u);
    ++volumes;
  }
  EXPECT_GE(volumes, 2);
  zip::Archive archive;
  archive.Open(dir / "many.qbk");
  for (const zip::Entry& e : archive.entries()) {
    const std::string volume = e.disk + 1 < volumes + 1 && e.disk < volumes ? Volume(dir, "many", e.disk + 1)
                                                                            : std::string(dir / "many.qbk");
    EXPECT_LE(e.localOffset + 30 + e.storedName.size() + e.localExtra.size(), fs::file_size(volume)) << e.name;
  }
  archive.Abandon();
  std::string error;
  ASSERT_TRUE(ExtractAll(dir / "many.qbk", dir / "out", &error)) << error;
  EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));
}

TEST(Split, VolumesAreFoundWithoutRegardToCase) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "src/x.bin", fixture::EcuImage(3, 300000));
  ASSERT_TRUE(Create(dir / "Case.QBK", dir / "src", 65536));
  for (int i = 1; fs::exists(Volume(dir, "Case", i)); ++i)
    fs::rename(Volume(dir, "Case", i), dir / ("case.z0" + std::to_string(i)));
  std::string error;
  ASSERT_TRUE(ExtractAll(dir / "Case.QBK", dir / "out", &error)) << error;
  EXPECT_EQ(Tree(dir / "out"), Tree(dir / "src"));
}

TEST(Split, MissingVolumeFailsClearly) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "src/x.bin", RandomBytes(4, 300000));
  ASSERT_TRUE(Create(dir / "gap.qbk", dir / "src", 65536));
  fs::remove(Volume(dir, "gap", 2));
  std::string error;
  EXPECT_FALSE(ExtractAll(dir / "gap.qbk", dir / "out", &error));
  EXPECT_NE(error.find("missing volume"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(dir / "out/x.bin"));
}

TEST(Split, RewritingASetReplacesItWhole) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "big/x.bin", fixture::EcuImage(5, 600000));
  ASSERT_TRUE(Create(dir / "s.qbk", dir / "big", 65536));
  ASSERT_TRUE(fs::exists(Volume(dir, "s", 3)));
  // A new, smaller backup under the same name: no old volumes stay behind.
  fs::remove(dir / "s.qbk");
  fixture::WriteFile(dir / "small/y.txt", "small");
  ASSERT_TRUE(Create(dir / "s.qbk", dir / "small", 65536));
  EXPECT_FALSE(fs::exists(Volume(dir, "s", 1)));
  EXPECT_FALSE(fs::exists(Volume(dir, "s", 3)));
  std::string error;
  ASSERT_TRUE(ExtractAll(dir / "s.qbk", dir / "out", &error)) << error;
  EXPECT_EQ(Tree(dir / "out"), Tree(dir / "small"));
}

TEST(Split, BackupWrittenInsideTheTreeLeavesItselfOut) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "key/data.bin", fixture::EcuImage(6, 300000));
  fixture::WriteFile(dir / "key/old.Z01", "an older backup's volume stays a file like any other? no: ours");
  ASSERT_TRUE(Create(dir / "key/self.qbk", dir / "key", 65536));
  zip::Archive archive;
  archive.Open(dir / "key/self.qbk");
  for (const zip::Entry& e : archive.entries()) {
    EXPECT_EQ(e.name.find("self."), std::string::npos) << e.name;
    EXPECT_EQ(e.name.find("qtmp"), std::string::npos) << e.name;
  }
  archive.Abandon();
}

}  // namespace
