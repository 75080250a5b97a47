// qbk: backup archives from the command line, through the same engine the
// program uses (the command line itself: tools/QbkArguments.h).
//   list     the entries; -v as unzip -v shows them
//   test     the check a restore makes before writing: every entry read, its
//            CRC; names every damaged entry (a restore stops at the first)
//   extract  all or nothing, as a restore; or only the entries named
//   create   a new archive of DIR, replacing an existing archive of that name
// list, test and extract never create or change an archive. Exit status:
// 0 all good, 1 the archive or a file is at fault, 2 a usage error.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "archive/Brennowzip.h"
#include "archive/zip/Archive.h"
#include "archive/zip/Error.h"
#include "tools/QbkArguments.h"
#include "tools/QbkListing.h"
#include "tools/QbkProgress.h"

namespace {

int Failed(const std::string& archive, const CBrennowZip& zip) {
  std::fprintf(stderr, "%s\n",
               qbk::FailureLine(archive, zip.lastError(), zip.lastDetail()).c_str());
  return 1;
}

std::uint64_t BytesOf(const zip::Archive& archive) {
  std::uint64_t total = 0;
  for (const zip::Entry& e : archive.entries()) total += e.size;
  return total;
}

// A run of the wrapper with its progress shown as it goes (total: the bytes
// it handles, 0 when unknown); the progress line ends before a failure is
// printed.
int ThroughWrapper(const std::string& archive, const CBrennowZip& zip, std::uint64_t total,
                   bool show, const std::function<bool()>& run) {
  bool done = false;
  {
    qbk::Progress progress(total, show);
    CBrennowZip::SetProgressSink([&](int percent) { progress.SetPercent(percent); });
    done = run();
    CBrennowZip::SetProgressSink(nullptr);
  }
  return done ? 0 : Failed(archive, zip);
}

// Listing and testing need the entries themselves, which only the engine
// shows. Both only read: a missing archive is an error, never created.
int ListOrTest(const std::string& path, bool test, bool verbose, bool showProgress) {
  try {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(path);
    if (verbose) {
      std::fputs(qbk::VerboseListing(archive.entries()).c_str(), stdout);
      archive.Close();
      return 0;
    }
    const std::uint64_t total = BytesOf(archive);
    if (!test) {
      for (const zip::Entry& e : archive.entries())
        std::printf("%10u %10u  %s\n", e.size, e.compressedSize, e.name.c_str());
      if (archive.entries().empty()) std::printf("(empty archive)\n");
    }
    if (test) {
      // The check a restore runs before writing, through every entry.
      std::vector<zip::Error> faults;
      {
        qbk::Progress progress(total, showProgress);
        archive.Test([&](std::uint64_t n) { progress.AddBytes(n); }, &faults);
      }
      if (!faults.empty()) {
        for (const zip::Error& fault : faults)
          std::fprintf(stderr, "%s\n", qbk::FailureLine(path, fault.what(), "").c_str());
        std::fprintf(stderr, "qbk: %s: %zu damaged entr%s\n", path.c_str(), faults.size(),
                     faults.size() == 1 ? "y" : "ies");
        archive.Close();
        return 1;
      }
    }
    std::printf("%zu entries, %llu bytes, %zu volume(s)%s\n", archive.entries().size(),
                static_cast<unsigned long long>(total), archive.volumePaths().size(),
                test ? ", no errors" : "");
    archive.Close();
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", qbk::FailureLine(path, error.what(), "").c_str());
    return 1;
  }
}

// The bytes below folder, for the rate of a backup of it.
std::uint64_t BytesBelow(const std::string& folder) {
  namespace fs = std::filesystem;
  std::uint64_t total = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(fs::u8path(folder), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code sizeError;
    if (it->is_regular_file(sizeError)) total += it->file_size(sizeError);
  }
  return total;
}

// The bytes an archive holds, for the rate of its extraction; 0 when it
// cannot be read (the extraction then says why).
std::uint64_t BytesIn(const std::string& path) {
  try {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(path);
    const std::uint64_t total = BytesOf(archive);
    archive.Close();
    return total;
  } catch (const std::exception&) {
    return 0;
  }
}

// Only the entries named, with a restore's checks on them: all or nothing.
int ExtractNamed(const qbk::Arguments& args, bool showProgress) {
  try {
    zip::Archive archive;
    archive.SetMode(zip::Archive::Mode::kRead);
    archive.Open(args.archive);
    qbk::Progress progress(BytesOf(archive), showProgress);
    archive.SetProgressHandler(
        [&](double percent) { progress.SetPercent(static_cast<int>(percent)); });
    archive.ExtractNamed(args.folder, args.names);
    archive.Close();
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", qbk::FailureLine(args.archive, error.what(), "").c_str());
    return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  qbk::Arguments args;
  std::string error;
  if (!qbk::ParseArguments(std::vector<std::string>(argv + 1, argv + argc), &args, &error)) {
    std::fprintf(stderr, "qbk: %s\n%s", error.c_str(), qbk::kUsage);
    return 2;
  }
  const bool showProgress = !args.quiet && qbk::StderrIsTerminal();
  switch (args.command) {
    case qbk::Command::kHelp: std::fputs(qbk::kUsage, stdout); return 0;
    case qbk::Command::kVersion: std::printf("qbk %s\n", QUOR_VERSION); return 0;
    case qbk::Command::kList:
    case qbk::Command::kTest:
      return ListOrTest(args.archive, args.command == qbk::Command::kTest, args.verbose,
                        showProgress);
    case qbk::Command::kExtract: {
      if (!args.names.empty()) return ExtractNamed(args, showProgress);
      CBrennowZip zip;
      zip.setOpenMode(CBrennowZip::OpenMode::kReadOnly);
      return ThroughWrapper(
          args.archive, zip, showProgress ? BytesIn(args.archive) : 0, showProgress, [&] {
            return zip.openArchive(args.archive) &&
                   zip.extractFiles(CBrennowZip::Wide(args.folder), L"*.*") && zip.closeArchive();
          });
    }
    case qbk::Command::kCreate: {
      CBrennowZip zip;
      if (args.volumeSize > 0) zip.setVolumeSize(args.volumeSize);
      zip.setOpenMode(CBrennowZip::OpenMode::kReplace);
      return ThroughWrapper(
          args.archive, zip, showProgress ? BytesBelow(args.folder) : 0, showProgress, [&] {
            return zip.openArchive(args.archive) &&
                   zip.addFiles(CBrennowZip::Wide(args.folder), L"*.*") && zip.closeArchive();
          });
    }
  }
  return 2;
}
