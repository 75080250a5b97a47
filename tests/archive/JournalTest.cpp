// The repair that every open of an archive runs touches the archive's own
// set and nothing else: a plan or lock file planted beside it (a stick
// that came from elsewhere) changes no file, while the plans the engine
// itself leaves are still undone; on a medium that cannot be written the
// set is read as it stands where that is sound.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "archive/Brennowzip.h"
#include "archive/zip/Error.h"
#include "archive/zip/Io.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::Backup;
using archivetest::Exists;
using archivetest::FaultHook;
using archivetest::RandomBytes;
using archivetest::ReadTree;
using archivetest::WriteTree;
using fixture::TempDir;
using Tree = std::map<std::string, std::string>;
namespace fs = std::filesystem;

namespace {

// A plan with a correct CRC, as the engine writes one.
std::string PlanText(const std::vector<std::string>& old,
                     const std::vector<std::pair<std::string, std::string>>& moves) {
  std::string text = "qbk-plan 1\n";
  for (const std::string& o : old) text += "old\t" + o + "\n";
  for (const auto& m : moves) text += "new\t" + m.first + "\t" + m.second + "\n";
  char crc[16];
  std::snprintf(
      crc, sizeof crc, "%08lx",
      crc32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
  return text + "end\t" + crc + "\n";
}

struct Opened {
  bool ok;
  int reason;
  std::string error;
};

Opened Open(const std::string& archive, CBrennowZip::OpenMode mode) {
  CBrennowZip zip;
  zip.setOpenMode(mode);
  if (mode == CBrennowZip::OpenMode::kReplace) zip.setVolumeSize(65536);
  bool ok = zip.openArchive(archive);
  Opened out{ok, zip.lastReason().kind, zip.lastError()};
  zip.closeArchive();
  return out;
}

// The names in a folder, for failure messages (the contents are binary).
std::string Names(const std::string& folder) {
  std::string names;
  for (const auto& [name, content] : ReadTree(folder)) names += name + " ";
  return names;
}

constexpr int kForeign = static_cast<int>(zip::Reason::kForeignFile);

TEST(Journal, PlantedPlansAndLockFilesChangeNoFileAndNameTheirFile) {
  struct Case {
    const char* what;
    std::function<void(const std::string& dir)> plant;  // dir: the test's root
    const char* named;                                  // the file the failure names
    int reason;
  };
  const std::string temp0 = "b.qbk.~qbk-new0";
  auto plan = [](const std::string& dir, const std::string& text) {
    fixture::WriteFile(dir + "/sets/b.qbk.~qbk-plan", text);
  };
  std::vector<Case> cases = {
      {"a customer file as the final name",
       [&](const std::string& d) {
         plan(d, PlanText({}, {{temp0, "customer.doc"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"a file above through ..",
       [&](const std::string& d) {
         plan(d, PlanText({}, {{temp0, "../above.txt"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"an absolute path",
       [&](const std::string& d) {
         plan(d, PlanText({}, {{temp0, d + "/above.txt"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"a file in a subfolder",
       [&](const std::string& d) {
         plan(d, PlanText({}, {{temp0, "sub/inner.txt"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"another archive's volumes",
       [&](const std::string& d) {
         plan(d, PlanText({"other.qbk"}, {{"other.qbk.~qbk-new0", "other.qbk"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"the archive moved out as a temporary",
       [&](const std::string& d) {
         plan(d, PlanText({}, {{"../moved", "b.qbk"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"an old entry over a customer file",
       [&](const std::string& d) {
         fixture::WriteFile(d + "/sets/customer.doc.~qbk-old", "planted");
         plan(d, PlanText({"customer.doc"}, {{temp0, "b.qbk"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
      {"volumes out of order",
       [&](const std::string& d) {
         plan(d, PlanText({}, {{"b.qbk.~qbk-new1", "b.qbk"}}));
       },
       "b.qbk.~qbk-plan", kForeign},
  };
#ifndef _WIN32
  // Not on Windows: making a link needs a privilege users lack, and names
  // that differ only in case are one and the same file there.
  cases.push_back({"a link as lock file",
                   [&](const std::string& d) {
                     fs::create_symlink(d + "/made-by-link", d + "/sets/b.qbk.~qbk-lock");
                   },
                   "b.qbk.~qbk-lock", kForeign});
  cases.push_back({"a valid plan over names that differ only in case",
                   [&](const std::string& d) {
                     fixture::WriteFile(d + "/sets/b.qbk.~qbk-old", "one");
                     fixture::WriteFile(d + "/sets/B.QBK.~qbk-old", "the other one");
                     plan(d, PlanText({"b.qbk"}, {{temp0, "b.qbk"}}));
                   },
                   "B.QBK.~qbk-old", static_cast<int>(zip::Reason::kNameClash)});
#endif
  for (const Case& c : cases) {
    for (auto mode : {CBrennowZip::OpenMode::kReadOnly, CBrennowZip::OpenMode::kReplace}) {
      TempDir dir;
      WriteTree(dir / "key", {{"a.bin", RandomBytes(1, 150000)}});
      fs::create_directory(dir / "sets");
      ASSERT_TRUE(Backup(dir / "sets/b.qbk", dir / "key", 65536));
      WriteTree(dir.path(), {{"above.txt", "above"},
                             {"sets/customer.doc", "the customer's"},
                             {"sets/sub/inner.txt", "inner"},
                             {"sets/other.qbk", "another archive"},
                             {"sets/" + temp0, "a temporary"}});
      c.plant(dir.path());
      const Tree before = ReadTree(dir.path());

      Opened opened = Open(dir / "sets/b.qbk", mode);
      std::string label = std::string(c.what) +
                          (mode == CBrennowZip::OpenMode::kReadOnly ? ", reading" : ", writing");
      EXPECT_FALSE(opened.ok) << label;
      EXPECT_EQ(opened.reason, c.reason) << label << ": " << opened.error;
      EXPECT_NE(opened.error.find(c.named), std::string::npos) << label << ": " << opened.error;
      EXPECT_EQ(ReadTree(dir.path()), before) << label;
      EXPECT_FALSE(Exists(dir / "made-by-link")) << label;
    }
  }
}

// A replacement of a 10-volume set by a 2-volume one whose renames fail
// for good midway, so that its own undo fails too and the plan stays.
struct StuckReplacement {
  TempDir dir;
  std::string archive = dir / "sets/b.qbk";
  Tree oldSet;

  StuckReplacement() {
    fs::create_directory(dir / "sets");
    WriteTree(dir / "old", {{"a.bin", RandomBytes(1, 600000)}});
    WriteTree(dir / "new", {{"a.bin", RandomBytes(2, 70000)}});
    EXPECT_TRUE(Backup(archive, dir / "old", 65536));
    oldSet = ReadTree(dir / "sets");
    EXPECT_EQ(oldSet.size(), 10u);
    int renames = 0;
    FaultHook hook([&](zip::IoOp op, const std::string&) {
      return op == zip::IoOp::kRename && ++renames > 6;
    });
    EXPECT_FALSE(Backup(archive, dir / "new", 65536));
    EXPECT_TRUE(Exists(dir / "sets/b.qbk.~qbk-plan"));
  }
};

TEST(Journal, PlansTheEngineLeftAreUndoneAlsoWrittenInAnotherCase) {
  {
    StuckReplacement r;
    Opened opened = Open(r.archive, CBrennowZip::OpenMode::kReadOnly);
    EXPECT_TRUE(opened.ok) << opened.error;
    EXPECT_TRUE(ReadTree(r.dir / "sets") == r.oldSet) << Names(r.dir / "sets");
  }
  {
    // A FAT key: the plan names the set as the user typed it, B.QBK.
    StuckReplacement r;
    std::string text = fixture::ReadFile(r.dir / "sets/b.qbk.~qbk-plan"), upper;
    std::vector<std::string> old;
    std::vector<std::pair<std::string, std::string>> moves;
    size_t pos = text.find('\n') + 1;
    auto up = [](std::string s) {
      for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      return s;
    };
    while (text.compare(pos, 4, "end\t") != 0) {
      size_t eol = text.find('\n', pos);
      std::string line = text.substr(pos, eol - pos);
      pos = eol + 1;
      size_t a = line.find('\t'), b = line.find('\t', a + 1);
      if (line.compare(0, a, "old") == 0)
        old.push_back(up(line.substr(a + 1)));
      else
        moves.emplace_back(up(line.substr(a + 1, b - a - 1)), up(line.substr(b + 1)));
    }
    fixture::WriteFile(r.dir / "sets/b.qbk.~qbk-plan", PlanText(old, moves));
    Opened opened = Open(r.archive, CBrennowZip::OpenMode::kReadOnly);
    EXPECT_TRUE(opened.ok) << opened.error;
    EXPECT_TRUE(ReadTree(r.dir / "sets") == r.oldSet) << Names(r.dir / "sets");
  }
}

TEST(Journal, AReadOnlyMediumIsReadAsItStandsUnlessARunDiedMidRename) {
  TempDir dir;
  const std::string set = dir / "sets";
  // No lock file can be made there and nothing renamed, deleted or created.
  auto readOnly = [&](zip::IoOp op, const std::string& path) {
    bool there = path.compare(0, set.size(), set) == 0;
    return op == zip::IoOp::kLock ||
           (there &&
            (op == zip::IoOp::kRename || op == zip::IoOp::kRemove || op == zip::IoOp::kOpenWrite));
  };
  auto restore = [](const std::string& archive, const std::string& out, std::string* error) {
    CBrennowZip zip;
    zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
    bool ok = zip.openArchive(archive) && zip.extractFiles(CBrennowZip::Wide(out), L"*.*") &&
              zip.closeArchive();
    *error = zip.lastError();
    return ok ? 0 : zip.lastReason().kind;
  };
  const Tree key = {{"a.bin", RandomBytes(3, 150000)}};
  WriteTree(dir / "key", key);
  fs::create_directory(dir / "sets");
  ASSERT_TRUE(Backup(dir / "sets/b.qbk", dir / "key", 65536));
  const std::vector<std::pair<const char*, Tree>> sound = {
      {"temporaries only", {{"b.qbk.~qbk-new0", "half"}, {"b.qbk.~tmp77-0", "older"}}},
      {"a damaged plan",
       {{"b.qbk.~qbk-new0", "whole"}, {"b.qbk.~qbk-plan", "qbk-plan 1\nold\tb.qbk\n"}}},
      {"a done marker",
       {{"b.qbk.~qbk-done", PlanText({"b.qbk"}, {{"b.qbk.~qbk-new0", "b.qbk"}})},
        {"b.qbk.~qbk-old", "the set before"}}},
  };
  for (const auto& [what, leftovers] : sound) {
    WriteTree(set, leftovers);
    const Tree before = ReadTree(set);
    std::string error;
    {
      FaultHook hook(readOnly);
      EXPECT_EQ(restore(dir / "sets/b.qbk", dir / (std::string("out-") + what), &error), 0)
          << what << ": " << error;
    }
    EXPECT_EQ(ReadTree(dir / (std::string("out-") + what)), key) << what;
    EXPECT_EQ(ReadTree(set), before) << what;  // the read-only branch deleted nothing
    for (const auto& [name, content] : leftovers) fs::remove(set + "/" + name);
  }

  // A plan of its own, the run having died during its renames.
  WriteTree(set, {{"b.qbk.~qbk-new0", "new"},
                  {"b.qbk.~qbk-plan", PlanText({"b.qbk"}, {{"b.qbk.~qbk-new0", "b.qbk"}})}});
  const Tree before = ReadTree(set);
  std::string error;
  {
    FaultHook hook(readOnly);
    EXPECT_EQ(restore(dir / "sets/b.qbk", dir / "out-plan", &error),
              static_cast<int>(zip::Reason::kUnfinishedReadOnly))
        << error;
  }
  EXPECT_NE(error.find(dir / "sets/b.qbk"), std::string::npos) << error;
  EXPECT_FALSE(Exists(dir / "out-plan"));
  EXPECT_EQ(ReadTree(set), before);
}

}  // namespace
