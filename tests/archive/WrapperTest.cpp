// The archive wrapper's contract: calling order, results and failure texts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "archive/zip/ZipArchive.h"
#include "tests/archive/ArchiveTestSupport.h"

namespace {
using namespace archive_test;

TEST(Wrapper, NewArchiveIsCreatedAndASecondOpenIsRefused) {
  fixture::TempDir dir;
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(dir / "new.qbk"));
  EXPECT_FALSE(zip.openArchive(dir / "other.qbk"));
  EXPECT_EQ(zip.lastError(), "There is an Archive open.");
  EXPECT_TRUE(zip.closeArchive());
  EXPECT_TRUE(zip.closeArchive());  // nothing open: succeeds
  ASSERT_TRUE(fs::exists(dir / "new.qbk"));
  std::string out;
  EXPECT_EQ(Shell("python3 -c \"import zipfile,sys; assert zipfile.ZipFile(sys.argv[1]).namelist() == []\" " +
                  Quote(dir / "new.qbk"), &out), 0) << out;  // an empty archive, but a valid one
  EXPECT_FALSE(fs::exists(dir / "other.qbk"));
}

TEST(Wrapper, OperationsWithoutArchiveFail) {
  CBrennowZip zip;
  std::vector<unsigned char> buffer(3, 'x');
  EXPECT_FALSE(zip.addStream(L"a", buffer));
  EXPECT_EQ(zip.lastError(), "There is no Archive open.");
  EXPECT_FALSE(zip.addFiles(L"/tmp", L"*.*"));
  EXPECT_FALSE(zip.extractFiles(L"/tmp", L"*.*"));
  EXPECT_FALSE(zip.extractToStream(L"a", &buffer));
  EXPECT_EQ(zip.lastError(), "There is no Archive open.");
}

TEST(Wrapper, StreamEntryRoundTripsWithAttributeAndDate) {
  fixture::TempDir dir;
  const std::vector<unsigned char> ten = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
  const std::time_t before = std::time(nullptr);
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(dir / "12.ori"));
    ASSERT_TRUE(zip.addStream(L"12.ori", ten));
    ASSERT_TRUE(zip.closeArchive());
  }
  zip::Archive archive;
  archive.Open(dir / "12.ori");
  ASSERT_EQ(archive.entries().size(), 1u);
  const zip::Entry& entry = archive.entries()[0];
  EXPECT_EQ(entry.name, "12.ori");
  EXPECT_EQ(entry.size, 10u);
  EXPECT_EQ(entry.method, 8);
  EXPECT_EQ(entry.externalAttributes, 32u);
  std::tm local{};
  localtime_r(&before, &local);
  EXPECT_EQ(entry.dosDate >> 9, local.tm_year - 80);
  EXPECT_EQ((entry.dosDate >> 5) & 15, local.tm_mon + 1);
  archive.Close();

  CBrennowZip reader;
  std::vector<unsigned char> back;
  ASSERT_TRUE(reader.openArchive(dir / "12.ori"));
  ASSERT_TRUE(reader.extractToStream(L"12.ori", &back));
  EXPECT_EQ(back, ten);
  EXPECT_FALSE(reader.extractToStream(L"13.ori", &back));
  EXPECT_EQ(reader.lastError().rfind("Error Extracting Files: ", 0), 0u) << reader.lastError();
  const auto stamp = fs::last_write_time(dir / "12.ori");
  ASSERT_TRUE(reader.closeArchive());
  EXPECT_EQ(fs::last_write_time(dir / "12.ori"), stamp);  // read, never rewritten
  std::string listing;
  ASSERT_EQ(Shell("unzip -p " + Quote(dir / "12.ori") + " 12.ori", &listing), 0);
  EXPECT_EQ(listing, "0123456789");
}

TEST(Wrapper, FailureTexts) {
  fixture::TempDir dir;
  CBrennowZip zip;
  EXPECT_FALSE(zip.openArchive(dir / "missing/folder/x.qbk"));
  EXPECT_EQ(zip.lastError().rfind("Impossibile opening or creating an Archive ", 0), 0u);
  fixture::WriteFile(dir / "bad.qbk", "not an archive at all, really not");
  EXPECT_FALSE(zip.openArchive(dir / "bad.qbk"));
  EXPECT_EQ(fixture::ReadFile(dir / "bad.qbk"), "not an archive at all, really not");
  ASSERT_TRUE(zip.openArchive(dir / "ok.qbk"));
  EXPECT_FALSE(zip.addFiles(CBrennowZip::Wide(dir / "no-such-folder"), L"*.*"));
  EXPECT_EQ(zip.lastError(), "Error Adding File: ");
  EXPECT_NE(zip.lastDetail().find("no-such-folder"), std::string::npos);
}

TEST(Wrapper, ExtractionReplacesReadOnlyFilesAndKeepsOthers) {
  fixture::TempDir dir;
  MakeTree(dir / "src");
  ASSERT_TRUE(Create(dir / "a.qbk", dir / "src"));
  const std::string target = dir / "dst/ZKM_Quorvane/Database/ORI/1.ori";
  fixture::WriteFile(target, "old");
  chmod(target.c_str(), 0444);
  fixture::WriteFile(dir / "dst/untouched.txt", "mine");
  std::string error;
  ASSERT_TRUE(ExtractAll(dir / "a.qbk", dir / "dst", &error)) << error;
  EXPECT_EQ(fixture::ReadFile(target), fixture::EcuImage(1, 200000));
  EXPECT_EQ(fixture::ReadFile(dir / "dst/untouched.txt"), "mine");
  auto tree = Tree(dir / "dst");
  tree.erase("untouched.txt");
  EXPECT_EQ(tree, Tree(dir / "src"));  // hidden, dotless, empty file and empty folder included
}

TEST(Wrapper, UpdateReplacesSameNamesAndKeepsTheRest) {
  fixture::TempDir dir;
  const std::string archive = dir / "u.zip";
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archive));
    ASSERT_TRUE(zip.addStream(L"a.txt", {'o', 'l', 'd'}));
    ASSERT_TRUE(zip.addStream(L"b.txt", {'b'}));
    ASSERT_TRUE(zip.closeArchive());
  }
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(archive));
    ASSERT_TRUE(zip.addStream(L"A.TXT", {'n', 'e', 'w'}));
    ASSERT_TRUE(zip.closeArchive());
  }
  std::string out;
  ASSERT_EQ(Shell("unzip -Z1 " + Quote(archive), &out), 0);
  EXPECT_EQ(out, "b.txt\nA.TXT\n");
  ASSERT_EQ(Shell("unzip -p " + Quote(archive) + " A.TXT b.txt", &out), 0);
  EXPECT_EQ(out, "bnew");  // in archive order
}

TEST(Wrapper, FailedWriteLeavesTheExistingArchiveAsItWas) {
  fixture::TempDir dir;
  MakeTree(dir / "src");
  ASSERT_TRUE(Create(dir / "keep.qbk", dir / "src"));
  const std::string before = fixture::ReadFile(dir / "keep.qbk");
  zip::SetIoFailureHook([](const char* operation, const std::string& path) {
    return !(std::string(operation) == "write" && path.find("qtmp") != std::string::npos);
  });
  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(dir / "keep.qbk"));
  EXPECT_FALSE(zip.addStream(L"more.txt", {'x'}));
  EXPECT_EQ(zip.lastError().rfind("Error Adding Stream: ", 0), 0u);
  EXPECT_NE(zip.lastError().find("No space"), std::string::npos) << zip.lastError();
  zip::SetIoFailureHook(nullptr);
  EXPECT_EQ(fixture::ReadFile(dir / "keep.qbk"), before);
  for (const auto& e : fs::directory_iterator(dir.path()))
    EXPECT_EQ(e.path().filename().string().find("qtmp"), std::string::npos);
}

TEST(Wrapper, ProgressStartsAtZeroGrowsByWholePercentsAndEndsAt100) {
  fixture::TempDir dir;
  for (int i = 0; i < 40; ++i)
    fixture::WriteFile(dir / ("src/f" + std::to_string(i)), fixture::EcuImage(i, 50000));
  std::vector<int> seen;
  CBrennowZip::SetProgressSink([&](int p) { seen.push_back(p); });
  ASSERT_TRUE(Create(dir / "p.qbk", dir / "src"));
  CBrennowZip::SetProgressSink(nullptr);
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), 0);
  EXPECT_EQ(seen.back(), 100);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), 1);
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_GT(seen[i], seen[i - 1]);
}

TEST(Masks, WindowsRules) {
  EXPECT_TRUE(zip::Archive::MatchesMask("README", "*.*"));
  EXPECT_TRUE(zip::Archive::MatchesMask(".hidden", "*"));
  EXPECT_TRUE(zip::Archive::MatchesMask("A.QBK", "*.qbk"));
  EXPECT_FALSE(zip::Archive::MatchesMask("a.qbx", "*.qbk"));
  EXPECT_TRUE(zip::Archive::MatchesMask("12.ori", "1?.ORI"));
}

}  // namespace
