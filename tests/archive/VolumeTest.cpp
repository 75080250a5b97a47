// Split archives: volume sizes and names, records that never cross a
// boundary, reading from the last volume.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::ReadTree;
using archivetest::VolumeFiles;
using archivetest::WriteTree;
using fixture::TempDir;
namespace fs = std::filesystem;

namespace {

std::uint32_t U32(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | (static_cast<unsigned char>(s[at + 1]) << 8) |
         (static_cast<unsigned char>(s[at + 2]) << 16) |
         (static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24);
}
std::uint16_t U16(const std::string& s, size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) |
                                    (static_cast<unsigned char>(s[at + 1]) << 8));
}

// Checks, with a parser of its own, that every local header, central record
// and the end record lie wholly inside one volume, and that volumes are full
// wherever a boundary falls inside file data.
void ExpectRecordsWithinVolumes(const std::vector<std::string>& files, size_t volumeSize) {
  std::vector<std::string> v;
  for (const std::string& f : files) v.push_back(fixture::ReadFile(f));
  for (size_t i = 0; i + 1 < v.size(); ++i) EXPECT_LE(v[i].size(), volumeSize) << files[i];
  EXPECT_LE(v.back().size(), volumeSize);
  if (v.size() > 1) {
    EXPECT_EQ(U32(v[0], 0), 0x08074b50u);
  }
  const std::string& last = v.back();
  size_t end = last.rfind(std::string("PK\x05\x06", 4));
  ASSERT_NE(end, std::string::npos);
  ASSERT_EQ(end + 22, last.size());
  EXPECT_EQ(U16(last, end + 4), v.size() - 1);
  size_t disk = U16(last, end + 6), at = U32(last, end + 16);
  size_t count = U16(last, end + 10);
  std::vector<std::pair<size_t, size_t>> locals;
  for (size_t i = 0; i < count; ++i) {
    ASSERT_LT(disk, v.size());
    if (at == v[disk].size()) {
      ++disk;
      at = 0;
    }
    ASSERT_LE(at + 46, v[disk].size()) << "central record " << i << " crosses a volume";
    ASSERT_EQ(U32(v[disk], at), 0x02014b50u);
    size_t len = 46 + U16(v[disk], at + 28) + U16(v[disk], at + 30) + U16(v[disk], at + 32);
    ASSERT_LE(at + len, v[disk].size()) << "central record " << i << " crosses a volume";
    locals.push_back({U16(v[disk], at + 34), U32(v[disk], at + 42)});
    at += len;
  }
  for (const auto& [d, offset] : locals) {
    ASSERT_LE(offset + 30, v[d].size()) << "local header crosses a volume";
    ASSERT_EQ(U32(v[d], offset), 0x04034b50u);
    ASSERT_LE(offset + 30 + U16(v[d], offset + 26) + U16(v[d], offset + 28), v[d].size());
  }
}

TEST(Volumes, SplitSetHasFullVolumesNamedZ01AndReadsBackCaseBlind) {
  TempDir dir;
  std::map<std::string, std::string> tree;
  tree["random.bin"] = archivetest::RandomBytes(3, 200000);  // crosses boundaries
  // Many long names: headers keep landing on boundaries.
  for (int i = 0; i < 300; ++i)
    tree["folder/" + std::string(150, 'n') + std::to_string(i) + ".txt"] =
        archivetest::RandomBytes(100 + i, 500 + i * 3);
  WriteTree(dir / "src", tree);
  std::string archive = dir / "set/back.qbk";
  fs::create_directory(dir / "set");
  std::string error;
  ASSERT_TRUE(archivetest::Backup(archive, dir / "src", 1000, &error)) << error;  // acts as 65536
  std::vector<std::string> files = VolumeFiles(archive);
  ASSERT_GE(files.size(), 5u);
  EXPECT_EQ(files[0], dir / "set/back.Z01");
  EXPECT_EQ(files[1], dir / "set/back.Z02");
  ExpectRecordsWithinVolumes(files, 65536);
  // The random file's data crosses at least one boundary: that volume is full.
  bool someFull = false;
  for (size_t i = 0; i + 1 < files.size(); ++i)
    someFull |= fixture::ReadFile(files[i]).size() == 65536;
  EXPECT_TRUE(someFull);
  bool someShort = false;  // and a header moved at least one volume on early
  for (size_t i = 0; i + 1 < files.size(); ++i)
    someShort |= fixture::ReadFile(files[i]).size() < 65536;
  EXPECT_TRUE(someShort);

  fs::rename(files[0], dir / "set/back.z01");
  ASSERT_TRUE(archivetest::Restore(archive, dir / "dst", &error)) << error;
  EXPECT_EQ(ReadTree(dir / "dst"), ReadTree(dir / "src"));

  ASSERT_TRUE(fs::remove(files[2]));  // a volume goes missing
  CBrennowZip zip;
  EXPECT_FALSE(zip.openArchive(archive));
  EXPECT_NE(zip.lastError().find("back.Z03"), std::string::npos) << zip.lastError();
}

TEST(Volumes, UpdateOfASplitSetReplacesItAndDeletesSurplusVolumes) {
  TempDir dir;
  WriteTree(dir / "src", {{"r.bin", archivetest::RandomBytes(5, 400000)}});
  std::string archive = dir / "s.qbk";
  ASSERT_TRUE(archivetest::Backup(archive, dir / "src", 65536));
  size_t volumesBefore = VolumeFiles(archive).size();
  ASSERT_GE(volumesBefore, 7u);
  // Smaller content under the same name: fewer volumes, none left over.
  WriteTree(dir / "src", {{"r.bin", "tiny now"}});
  ASSERT_TRUE(archivetest::Backup(archive, dir / "src", 65536));
  EXPECT_EQ(VolumeFiles(archive).size(), 1u);
  EXPECT_FALSE(archivetest::Exists(dir / "s.Z02"));
  std::string content = fixture::ReadFile(archive);
  EXPECT_EQ(U32(content, 0), 0x30304b50u);  // one segment of a split write
  std::string error;
  ASSERT_TRUE(archivetest::Restore(archive, dir / "dst", &error)) << error;
  EXPECT_EQ(fixture::ReadFile(dir / "dst/r.bin"), "tiny now");
}

TEST(Volumes, ThreeVolumesOfAHundredMegabytes) {
  TempDir dir;
  std::map<std::string, std::string> tree;
  for (int i = 0; i < 5; ++i)
    tree["ecu/image" + std::to_string(i) + ".bin"] = archivetest::RandomBytes(50 + i, 50u << 20);
  WriteTree(dir / "src", tree);
  tree.clear();
  std::string archive = dir / "20240101_Quorvane.qbk";
  std::string error;
  ASSERT_TRUE(archivetest::Backup(archive, dir / "src", 104857600, &error)) << error;
  std::vector<std::string> files = VolumeFiles(archive);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0], dir / "20240101_Quorvane.Z01");
  EXPECT_EQ(files[1], dir / "20240101_Quorvane.Z02");
  EXPECT_EQ(fs::file_size(files[0]), 104857600u);
  EXPECT_EQ(fs::file_size(files[1]), 104857600u);
  EXPECT_GT(fs::file_size(archive), 0u);
  EXPECT_LT(fs::file_size(archive), 104857600u);
  zip::Archive a;
  a.Open(archive);
  ASSERT_EQ(a.entries().size(), 6u);  // the folder and five images
  std::vector<unsigned char> image = a.ExtractToMemory("ecu/image3.bin");
  EXPECT_EQ(std::string(image.begin(), image.end()), archivetest::RandomBytes(53, 50u << 20));
}

}  // namespace
