// Damaged and hostile archives: a false result, a clear text, nothing written.
#include <gtest/gtest.h>

#include "archive/zip/ZipArchive.h"
#include "tests/archive/ArchiveTestSupport.h"

namespace {
using namespace archive_test;

// An archive with the given names, written by Python's zipfile.
void PythonArchive(const std::string& path, const std::vector<std::string>& names) {
  std::string script = "import zipfile\nz = zipfile.ZipFile('" + path + "', 'w')\n";
  for (const std::string& n : names) script += "z.writestr(r'''" + n + "''', 'x')\n";
  script += "z.close()\n";
  fixture::WriteFile(path + ".py", script);
  ASSERT_EQ(Shell("python3 " + Quote(path + ".py")), 0);
}

TEST(Hostile, NamesThatLeaveTheFolderExtractNothing) {
  for (const std::string bad : {"../up.txt", "/abs.txt", "C:/drive.txt", "a/../../up.txt", "a\\..\\..\\w.txt"}) {
    fixture::TempDir dir;
    PythonArchive(dir / "h.zip", {"fine.txt", bad});
    std::string error;
    EXPECT_FALSE(ExtractAll(dir / "h.zip", dir / "out/in", &error)) << bad;
    EXPECT_NE(error.find("outside"), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "out/in/fine.txt")) << bad;
    EXPECT_FALSE(fs::exists(dir / "out/up.txt"));
    EXPECT_FALSE(fs::exists(dir / "up.txt"));
  }
  EXPECT_TRUE(zip::Archive::IsSafeName("a/b..c/d.txt"));
}

TEST(Hostile, CorruptedDataFailsTheCrcOrInflate) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "src/data.bin", fixture::EcuImage(2, 100000));
  ASSERT_TRUE(Create(dir / "c.qbk", dir / "src"));
  std::string bytes = fixture::ReadFile(dir / "c.qbk");
  bytes[bytes.size() / 2] ^= 0x55;
  bytes[bytes.size() / 2 + 100] ^= 0x55;
  fixture::WriteFile(dir / "c.qbk", bytes);
  std::string error;
  EXPECT_FALSE(ExtractAll(dir / "c.qbk", dir / "out", &error));
  EXPECT_EQ(error.rfind("Error Extracting Files: ", 0), 0u) << error;
  EXPECT_FALSE(fs::exists(dir / "out/data.bin"));
}

TEST(Hostile, TruncatedAndGarbageArchivesAreRefusedAtOpen) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "src/data.bin", fixture::EcuImage(2, 10000));
  ASSERT_TRUE(Create(dir / "t.qbk", dir / "src"));
  const std::string bytes = fixture::ReadFile(dir / "t.qbk");
  for (size_t cut : {size_t(0), size_t(10), bytes.size() / 2, bytes.size() - 5}) {
    fixture::WriteFile(dir / "cut.qbk", bytes.substr(0, cut));
    CBrennowZip zip;
    std::vector<unsigned char> out;
    const bool opened = zip.openArchive(dir / "cut.qbk");
    if (opened) EXPECT_FALSE(zip.extractToStream(L"data.bin", &out)) << cut;
    else EXPECT_EQ(zip.lastError().rfind("Impossibile opening or creating an Archive ", 0), 0u);
    // A refused file is never rewritten.
    zip.closeArchive();
    EXPECT_EQ(fixture::ReadFile(dir / "cut.qbk"), bytes.substr(0, cut)) << cut;
  }
}

TEST(Hostile, EntriesBeyondWhatTheFormatHoldsFailClearly) {
  fixture::TempDir dir;
  // 65536 entries need ZIP64.
  for (int i = 0; i < 65536; ++i) {
    const std::string folder = dir / ("src/d" + std::to_string(i / 4096));
    if (i % 4096 == 0) fs::create_directories(folder);
    std::FILE* f = std::fopen((folder + "/" + std::to_string(i)).c_str(), "w");
    std::fclose(f);
  }
  std::string error;
  EXPECT_FALSE(Create(dir / "many.qbk", dir / "src", 0, &error));
  EXPECT_NE(error.find("65535"), std::string::npos) << error;
  EXPECT_FALSE(fs::exists(dir / "many.qbk"));
}

}  // namespace
