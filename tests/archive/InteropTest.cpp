// Our archives read by tools nobody here wrote, and theirs read by us.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "archive/zip/Archive.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::HaveTool;
using archivetest::ReadTree;
using archivetest::Shell;
using archivetest::VolumeFiles;
using archivetest::WriteTree;
using fixture::TempDir;

namespace {

const char kOdd[] =
    "Citt\xC3\xA0/\xC3\x9C"
    "ber \xC3\xA9t\xC3\xA9.txt";  // non-ASCII, CP850 has it

std::map<std::string, std::string> Tree() {
  return {{"Database/zkm.db", archivetest::RandomBytes(11, 90000)},
          {"Database/ORI/1.ori", fixture::EcuImage(3, 200000)},
          {"Database/MOD/", ""},
          {kOdd, "accented"},
          {"README", "plain"}};
}

bool Tools() {
  return HaveTool("zip") && HaveTool("unzip") && HaveTool("7z") && HaveTool("python3");
}

// Python's zipfile knows no Unicode path field: the script reads it itself
// and prints name and MD5 of every file entry, as our tree shows them.
std::string PythonListing(const std::string& archive, const std::string& out) {
  std::string script = out + ".py";
  std::ofstream(script) << R"(import sys, zipfile, hashlib, struct, zlib
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
rows = []
for i in z.infolist():
    name = i.filename
    e, p = i.extra, 0
    while p + 4 <= len(e):
        tag, n = struct.unpack('<HH', e[p:p+4])
        if tag == 0x7075 and e[p+4] == 1:
            name = e[p+9:p+4+n].decode('utf-8')
        p += 4 + n
    if not name.endswith('/'):
        rows.append(name + ' ' + hashlib.md5(z.read(i)).hexdigest())
open(sys.argv[2], 'w', encoding='utf-8').write('\n'.join(sorted(rows)))
)";
  if (Shell("python3 " + script + " '" + archive + "' '" + out + "'") != 0) return "python failed";
  return fixture::ReadFile(out);
}

std::string ExpectedListing(const std::string& folder) {
  std::string script = folder + ".md5.py";
  std::ofstream(script) << R"(import sys, os, hashlib
rows = []
for root, dirs, files in os.walk(sys.argv[1]):
    for f in files:
        p = os.path.join(root, f)
        rows.append(os.path.relpath(p, sys.argv[1]) + ' ' + hashlib.md5(open(p, 'rb').read()).hexdigest())
open(sys.argv[2], 'w', encoding='utf-8').write('\n'.join(sorted(rows)))
)";
  Shell("python3 " + script + " '" + folder + "' '" + folder + ".md5'");
  return fixture::ReadFile(folder + ".md5");
}

TEST(Interop, SingleArchiveReadByUnzipSevenZipAndPython) {
  if (!Tools()) GTEST_SKIP() << "zip, unzip, 7z or python3 missing";
  TempDir dir;
  WriteTree(dir / "src", Tree());
  ASSERT_TRUE(archivetest::Backup(dir / "k.qbk", dir / "src"));
  EXPECT_EQ(Shell("unzip -t '" + dir / "k.qbk" + "'"), 0);
  EXPECT_EQ(Shell("7z t '" + dir / "k.qbk" + "'"), 0);
  EXPECT_EQ(Shell("cd '" + dir.path() + "' && mkdir u && cd u && unzip -q ../k.qbk"), 0);
  EXPECT_EQ(ReadTree(dir / "u"), ReadTree(dir / "src"));
  EXPECT_EQ(PythonListing(dir / "k.qbk", dir / "py.txt"), ExpectedListing(dir / "src"));
}

TEST(Interop, SplitSetJoinedByInfoZipAndTestedBySevenZip) {
  if (!Tools()) GTEST_SKIP() << "zip, unzip, 7z or python3 missing";
  TempDir dir;
  // Info-ZIP's join (zip -s 0, version 3.0) mangles any entry spanning more
  // than two volumes, its own included: here every entry is smaller than a
  // volume. 7-Zip checks a set with a long spanning entry.
  std::map<std::string, std::string> tree = {
      {kOdd, "accented"}, {"README", "plain"}, {"Database/MOD/", ""}};
  for (int i = 0; i < 6; ++i)
    tree["Database/ORI/" + std::to_string(i) + ".ori"] = archivetest::RandomBytes(20 + i, 40000);
  WriteTree(dir / "src", tree);
  WriteTree(dir / "long", {{"r.bin", archivetest::RandomBytes(9, 300000)}, {kOdd, "x"}});
  ASSERT_TRUE(archivetest::Backup(dir / "long.qbk", dir / "long", 65536));
  ASSERT_EQ(
      Shell("cd '" + dir.path() +
            "' && for f in long.Z*; do cp \"$f\" \"L.z${f#long.Z}\"; done && cp long.qbk L.zip"),
      0);
  EXPECT_EQ(Shell("7z t '" + dir / "L.zip" + "'"), 0);

  std::string archive = dir / "set/b.qbk";
  ::mkdir((dir / "set").c_str(), 0777);
  ASSERT_TRUE(archivetest::Backup(archive, dir / "src", 65536));
  std::vector<std::string> files = VolumeFiles(archive);
  ASSERT_GE(files.size(), 3u);
  // Info-ZIP and 7-Zip want NAME.zip with NAME.z01 ...
  ::mkdir((dir / "iz").c_str(), 0777);
  for (size_t i = 0; i + 1 < files.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/iz/b.z%02zu", i + 1);
    fixture::WriteFile(dir.path() + name, fixture::ReadFile(files[i]));
  }
  fixture::WriteFile(dir / "iz/b.zip", fixture::ReadFile(archive));
  EXPECT_EQ(Shell("7z t '" + dir / "iz/b.zip" + "'"), 0);
  ASSERT_EQ(Shell("cd '" + dir / "iz" + "' && zip -s 0 b.zip --out J.zip"), 0);
  EXPECT_EQ(Shell("unzip -t '" + dir / "iz/J.zip" + "'"), 0);
  EXPECT_EQ(Shell("cd '" + dir.path() + "' && mkdir u && cd u && unzip -q ../iz/J.zip"), 0);
  EXPECT_EQ(ReadTree(dir / "u"), ReadTree(dir / "src"));
  EXPECT_EQ(PythonListing(dir / "iz/J.zip", dir / "py.txt"), ExpectedListing(dir / "src"));
}

TEST(Interop, InfoZipArchivesSingleAndSplitAreReadByUs) {
  if (!Tools()) GTEST_SKIP() << "zip, unzip, 7z or python3 missing";
  TempDir dir;
  WriteTree(dir / "src", Tree());
  ASSERT_EQ(Shell("cd '" + dir / "src" + "' && zip -1 -r -q ../one.zip ."), 0);
  std::string error;
  ASSERT_TRUE(archivetest::Restore(dir / "one.zip", dir / "a", &error)) << error;
  EXPECT_EQ(ReadTree(dir / "a"), ReadTree(dir / "src"));

  ::mkdir((dir / "sp").c_str(), 0777);
  ASSERT_EQ(Shell("cd '" + dir / "src" + "' && zip -1 -r -q -s 64k ../sp/t.zip ."), 0);
  // Renamed to our names: .z01 -> .Z01, the last volume as .qbk.
  ASSERT_EQ(Shell("cd '" + dir / "sp" +
                  "' && for f in t.z[0-9]*; do mv \"$f\" \"t.Z${f#t.z}\"; done && mv t.zip t.qbk"),
            0);
  ASSERT_GE(VolumeFiles(dir / "sp/t.qbk").size(), 3u);
  ASSERT_TRUE(archivetest::Restore(dir / "sp/t.qbk", dir / "b", &error)) << error;
  EXPECT_EQ(ReadTree(dir / "b"), ReadTree(dir / "src"));
}

}  // namespace
