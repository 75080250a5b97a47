// CBrennowZip: calling order, results and texts, progress, stream entries.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cmath>
#include <ctime>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::Bytes;
using fixture::TempDir;

namespace {

const std::vector<unsigned char> kTen = Bytes("0123456789");

TEST(Wrapper, NewArchiveIsCreatedEmptyAndClosesAtOnce) {
  TempDir dir;
  std::string path = dir / "new.qbk";
  CBrennowZip zip;
  EXPECT_EQ(zip.lastError(), "");
  EXPECT_EQ(zip.lastProgress(), 0.0);
  ASSERT_TRUE(zip.openArchive(path));
  ASSERT_TRUE(zip.closeArchive());
  zip::Archive check;
  check.Open(path);
  EXPECT_TRUE(check.entries().empty());
  EXPECT_EQ(fixture::ReadFile(path).size(), 22u);  // the end record alone
}

TEST(Wrapper, CallingOrderFailuresKeepTheirTexts) {
  TempDir dir;
  CBrennowZip zip;
  std::vector<unsigned char> out;
  EXPECT_FALSE(zip.addStream(L"x", kTen));
  EXPECT_EQ(zip.lastError(), "There is no Archive open.");
  EXPECT_FALSE(zip.addFiles(CBrennowZip::Wide(dir.path()), L"*.*"));
  EXPECT_EQ(zip.lastError(), "There is no Archive open.");
  EXPECT_FALSE(zip.extractFiles(CBrennowZip::Wide(dir.path()), L"*.*"));
  EXPECT_FALSE(zip.extractToStream(L"x", &out));
  EXPECT_EQ(zip.lastError(), "There is no Archive open.");
  EXPECT_TRUE(zip.closeArchive());                          // nothing open: succeeds
  EXPECT_EQ(zip.lastError(), "There is no Archive open.");  // success keeps the text

  ASSERT_TRUE(zip.openArchive(dir / "a.qbk"));
  EXPECT_FALSE(zip.openArchive(dir / "b.qbk"));
  EXPECT_EQ(zip.lastError(), "There is an Archive open.");
  ASSERT_TRUE(zip.addStream(L"x", kTen));  // the first stays open
  ASSERT_TRUE(zip.closeArchive());
  EXPECT_TRUE(archivetest::Exists(dir / "a.qbk"));
  EXPECT_FALSE(archivetest::Exists(dir / "b.qbk"));
}

TEST(Wrapper, StreamEntryIsDeflatedWithArchiveAttributeAndCurrentTime) {
  TempDir dir;
  std::string path = dir / "12.zip";
  std::time_t before = std::time(nullptr);
  {
    CBrennowZip zip;
    ASSERT_TRUE(zip.openArchive(path));
    std::vector<unsigned char> buffer = kTen;
    ASSERT_TRUE(zip.addStream(L"12.ori", buffer));
    buffer.assign(10, 'x');  // compressed already: changing it does not matter
    ASSERT_TRUE(zip.closeArchive());
  }
  zip::Archive check;
  check.Open(path);
  ASSERT_EQ(check.entries().size(), 1u);
  const zip::Entry& e = check.entries()[0];
  EXPECT_EQ(e.name, "12.ori");
  EXPECT_EQ(e.size, 10u);
  EXPECT_EQ(e.method, 8);
  EXPECT_EQ(e.externalAttributes, 32u);
  EXPECT_LE(std::llabs(e.modified() - before), 3);
  check.Close();

  CBrennowZip zip;
  ASSERT_TRUE(zip.openArchive(path));
  std::vector<unsigned char> out = Bytes("old");
  ASSERT_TRUE(zip.extractToStream(L"12.ori", &out));
  EXPECT_EQ(out, kTen);
  std::vector<unsigned char> untouched = Bytes("keep");
  EXPECT_FALSE(zip.extractToStream(L"13.ori", &untouched));
  EXPECT_EQ(zip.lastError().rfind("Error Extracting Files: ", 0), 0u) << zip.lastError();
  EXPECT_GT(zip.lastError().size(), std::string("Error Extracting Files: ").size());
  EXPECT_EQ(untouched, Bytes("keep"));
  EXPECT_TRUE(zip.closeArchive());
}

TEST(Wrapper, FailureTextsOfOpenAndAddFiles) {
  TempDir dir;
  std::string junk = dir / "junk.qbk";
  fixture::WriteFile(junk, "this is not an archive at all, just text");
  CBrennowZip zip;
  EXPECT_FALSE(zip.openArchive(junk));
  EXPECT_EQ(zip.lastError().rfind("Impossibile opening or creating an Archive ", 0), 0u);
  EXPECT_GT(zip.lastError().size(),
            std::string("Impossibile opening or creating an Archive ").size());
  EXPECT_EQ(fixture::ReadFile(junk), "this is not an archive at all, just text");

  EXPECT_FALSE(zip.openArchive(dir / "no/such/folder/a.qbk"));
  EXPECT_EQ(zip.lastError().rfind("Impossibile opening or creating an Archive ", 0), 0u);

  ASSERT_TRUE(zip.openArchive(dir / "ok.qbk"));
  EXPECT_FALSE(zip.addFiles(CBrennowZip::Wide(dir / "missing"), L"*.*"));
  EXPECT_EQ(zip.lastError(), "Error Adding File: ");
  EXPECT_NE(zip.lastDetail().find("missing"), std::string::npos);
  EXPECT_FALSE(zip.closeArchive());  // a failed add is discarded, never committed
  EXPECT_FALSE(archivetest::Exists(dir / "ok.qbk"));
}

TEST(Wrapper, ProgressIsKeptToHundredthsAndSentAsWholePercent) {
  std::vector<int> sent;
  CBrennowZip::SetProgressSink([&](int p) { sent.push_back(p); });
  CBrennowZip zip;
  zip.reportProgress(99.996);
  EXPECT_DOUBLE_EQ(zip.lastProgress(), 100.0);
  zip.reportProgress(49.994);
  EXPECT_DOUBLE_EQ(zip.lastProgress(), 49.99);
  zip.reportProgress(0.125);  // a half: to even
  EXPECT_DOUBLE_EQ(zip.lastProgress(), 0.12);
  zip.reportProgress(57.0);
  EXPECT_EQ(sent, (std::vector<int>{100, 49, 0, 57}));

  // A real backup: 0 first, 100 last, rising in whole-percent steps.
  TempDir dir;
  std::map<std::string, std::string> tree;
  for (int i = 0; i < 40; ++i)
    tree["f" + std::to_string(i) + ".bin"] = archivetest::RandomBytes(i, 50000);
  archivetest::WriteTree(dir / "src", tree);
  std::vector<double> values;
  sent.clear();
  CBrennowZip::SetProgressSink([&](int p) {
    sent.push_back(p);
    values.push_back(zip.lastProgress());
  });
  ASSERT_TRUE(zip.openArchive(dir / "p.qbk"));
  ASSERT_TRUE(zip.addFiles(CBrennowZip::Wide(dir / "src"), L"*.*"));
  CBrennowZip::SetProgressSink(nullptr);
  ASSERT_TRUE(zip.closeArchive());
  ASSERT_GE(values.size(), 3u);
  EXPECT_EQ(values.front(), 0.0);
  EXPECT_EQ(values.back(), 100.0);
  EXPECT_EQ(std::count(values.begin(), values.end(), 0.0), 1);
  for (size_t i = 1; i + 1 < values.size(); ++i) EXPECT_GE(values[i] - values[i - 1], 1.0 - 1e-9);
}

TEST(Wrapper, WideAndNarrowRoundTrip) {
#ifdef _WIN32
  // The system's 8-bit text there is the ANSI code page: Windows-1252 on the
  // Western European systems the tool is used on, and in Wine.
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is not Windows-1252";
  std::string text = fixture::ToCp1252("Citt\xC3\xA0 \xE2\x82\xAC key");
#else
  std::string text = "Citt\xC3\xA0 \xE2\x82\xAC key";  // UTF-8
#endif
  std::wstring wide = CBrennowZip::Wide(text);
  EXPECT_EQ(wide, L"Citt\u00E0 \u20AC key");
  EXPECT_EQ(CBrennowZip::Narrow(wide), text);
  std::string broken = "bad\xFFname";  // not UTF-8: still comes back on either system
  EXPECT_EQ(CBrennowZip::Narrow(CBrennowZip::Wide(broken)), broken);
}

TEST(Wrapper, ExtractReplacesReadOnlyFilesAndRestoresAttributes) {
  TempDir dir;
  archivetest::WriteTree(dir / "src",
                         {{"a.txt", "new a"}, {"sub/b.txt", "new b"}, {"ro.txt", "locked"}});
  archivetest::MakeReadOnly(dir / "src/ro.txt");
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "src"));
  archivetest::WriteTree(dir / "dst",
                         {{"a.txt", "old a old a"}, {"sub/b.txt", "old"}, {"other", "stays"}});
  archivetest::MakeReadOnly(dir / "dst/a.txt");
  archivetest::MakeReadOnly(dir / "dst/sub/b.txt");
  std::string error;
  ASSERT_TRUE(archivetest::Restore(dir / "k.qbk", dir / "dst", &error)) << error;
  EXPECT_EQ(fixture::ReadFile(dir / "dst/a.txt"), "new a");
  EXPECT_EQ(fixture::ReadFile(dir / "dst/sub/b.txt"), "new b");
  EXPECT_EQ(fixture::ReadFile(dir / "dst/other"), "stays");
  EXPECT_TRUE(archivetest::IsReadOnly(dir / "dst/ro.txt"));  // read-only came back
  EXPECT_FALSE(archivetest::IsReadOnly(dir / "dst/a.txt"));  // writable as archived
  // Replacing a read-only file again works too.
  ASSERT_TRUE(archivetest::Restore(dir / "k.qbk", dir / "dst", &error)) << error;
}

}  // namespace
