// Compression on several threads: the archive, the file operations and the
// failures are the same whatever the number of threads, and other tools read
// what several threads wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "archive/zip/Archive.h"
#include "archive/zip/Io.h"
#include "archive/zip/Pipeline.h"
#include "tests/archive/ArchiveTestSupport.h"

using archivetest::RandomBytes;
using archivetest::ReadTree;
using archivetest::WriteTree;
using fixture::TempDir;

namespace {

// Small files, compressible and not, and large ones cut into pieces (one of
// exactly a whole number of pieces), some of them compressible.
void MakeTree(const std::string& root) {
  std::map<std::string, std::string> files;
  for (int i = 0; i < 40; ++i)
    files["small/" + std::to_string(i) + ".bin"] =
        i % 3 ? fixture::EcuImage(static_cast<std::uint32_t>(i), 1000 + 7919 * i)
              : RandomBytes(i, 3000 + i);
  files["large/ecu.ori"] = fixture::EcuImage(77, 9 * zip::kPieceSize + 12345);
  files["large/exact.bin"] = fixture::EcuImage(78, 6 * zip::kPieceSize);
  files["large/noise.bin"] = RandomBytes(79, zip::kWholeInMemory + 1);
  files["empty.txt"] = "";
  WriteTree(root, files);
}

// Writes the tree with `threads` threads; the sequence of file operations
// the engine asked for.
std::vector<std::string> Write(
    const std::string& archive, const std::string& tree, unsigned threads, std::int64_t volumeSize,
    std::string* error = nullptr,
    const std::function<bool(zip::IoOp, const std::string&)>& fail = nullptr) {
  std::vector<std::string> operations;
  zip::SetIoFaultHook([&](zip::IoOp op, const std::string& path) {
    operations.push_back(std::to_string(static_cast<int>(op)) + " " + path);
    return fail && fail(op, path);
  });
  try {
    zip::Archive a;
    a.SetThreads(threads);
    a.SetMode(zip::Archive::Mode::kReplace);
    if (volumeSize) a.SetVolumeSize(volumeSize);
    a.Open(archive);
    a.AddFiles(tree, {"*.*"});
    a.Close();
  } catch (const std::exception& e) {
    if (error) *error = e.what();
  }
  zip::SetIoFaultHook(nullptr);
  return operations;
}

TEST(Threads, ArchivesAndFileOperationsAreTheSameWithOneOrManyThreads) {
  TempDir dir;
  MakeTree(dir / "tree");
  for (std::int64_t volumeSize : {std::int64_t{0}, std::int64_t{3} << 20}) {
    std::map<unsigned, std::map<std::string, std::string>> sets;
    std::map<unsigned, std::vector<std::string>> operations;
    for (unsigned threads : {1u, 2u, 8u}) {
      std::string folder =
          dir / ("out" + std::to_string(threads) + "-" + std::to_string(volumeSize));
      std::filesystem::create_directory(folder);
      operations[threads] = Write(folder + "/t.qbk", dir / "tree", threads, volumeSize);
      sets[threads] = ReadTree(folder);
      for (std::string& op : operations[threads])
        if (op.find(folder) != std::string::npos) op.replace(op.find(folder), folder.size(), "OUT");
    }
    ASSERT_GE(sets[1].size(), volumeSize ? 3u : 1u);
    EXPECT_EQ(sets[1], sets[2]) << volumeSize;
    EXPECT_EQ(sets[1], sets[8]) << volumeSize;
    EXPECT_EQ(operations[1], operations[8]) << volumeSize;
  }
#ifndef _WIN32  // What several threads wrote, the host's other tools read back whole.
  using archivetest::Shell;
  std::string joined = dir / "out8-0/t.qbk";
  if (archivetest::HaveTool("unzip")) {
    EXPECT_EQ(Shell("unzip -tq '" + joined + "'"), 0);
  }
  if (archivetest::HaveTool("7z")) {
    EXPECT_EQ(Shell("7z t '" + joined + "'"), 0);
  }
  if (archivetest::HaveTool("python3")) {
    EXPECT_EQ(Shell("python3 -c \"import zipfile,sys; sys.exit(zipfile.ZipFile('" + joined +
                    "').testzip() is not None)\""),
              0);
  }
#endif
  archivetest::Restore(dir / ("out8-" + std::to_string(std::int64_t{3} << 20) + "/t.qbk"),
                       dir / "back");
  EXPECT_EQ(ReadTree(dir / "back"), ReadTree(dir / "tree"));
}

TEST(Threads, FailuresAreTheFirstInArchiveOrderAndLeaveNothing) {
  TempDir dir;
  MakeTree(dir / "tree");
  // An unreadable large file and a full disk later on: each run with one
  // and with eight threads reports the same failure after the same steps.
  auto unreadable = [](zip::IoOp op, const std::string& path) {
    return op == zip::IoOp::kRead && path.find("exact.bin") != std::string::npos;
  };
  int writes = 0;
  auto full = [&writes](zip::IoOp op, const std::string&) {
    return op == zip::IoOp::kWrite && ++writes == 6;
  };
  for (const auto& fail : {std::function<bool(zip::IoOp, const std::string&)>(unreadable),
                           std::function<bool(zip::IoOp, const std::string&)>(full)}) {
    std::string one, eight;
    writes = 0;
    auto stepsOne = Write(dir / "a.qbk", dir / "tree", 1, 3 << 20, &one, fail);
    writes = 0;
    auto stepsEight = Write(dir / "a.qbk", dir / "tree", 8, 3 << 20, &eight, fail);
    EXPECT_FALSE(one.empty());
    EXPECT_EQ(one, eight);
    EXPECT_EQ(stepsOne, stepsEight);
    std::map<std::string, std::string> left = ReadTree(dir.path());
    for (const auto& [name, content] : left) EXPECT_NE(name.rfind("a.", 0), 0u) << name;
  }
}

}  // namespace
