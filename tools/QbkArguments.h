// qbk's command line, read into what to do or a usage error. Nothing here
// touches a file; qbk.cpp carries the commands out.
//   qbk -h | --help
//   qbk --version
//   qbk list [-v] ARCHIVE
//   qbk test ARCHIVE
//   qbk extract ARCHIVE DIR [NAME...]
//   qbk create [--volume-size SIZE] ARCHIVE DIR
// SIZE is a number of bytes, or of KiB, MiB or GiB with the suffix k, M or
// G (binary: 100M is 104,857,600, the product's own volume size); at least
// 64 KiB, at most 2 GiB - 1, the most a volume can hold. -q before the
// operands of any command silences the progress line qbk shows on a
// terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qbk {

enum class Command { kHelp, kVersion, kList, kTest, kExtract, kCreate };

struct Arguments {
  Command command = Command::kHelp;
  std::string archive;
  std::string folder;              // extract's destination, create's source
  std::vector<std::string> names;  // extract: only these entries (and folders' subtrees)
  std::int32_t volumeSize = 0;     // create: 0 is one file
  bool verbose = false;            // list -v
  bool quiet = false;              // -q: no progress line
};

// The usage text, for --help (stdout) and after a usage error (stderr).
extern const char kUsage[];

// The smallest and largest volume sizes create accepts.
constexpr std::int64_t kMinVolumeSize = 64 * 1024;
constexpr std::int64_t kMaxVolumeSize = 0x7FFFFFFF;

// Reads a SIZE as above; false, with *error naming it, when it is not one.
bool ParseVolumeSize(const std::string& text, std::int32_t* size, std::string* error);

// Reads the arguments after the program's name; false, with *error naming
// the argument at fault (or what is missing), on a usage error.
bool ParseArguments(const std::vector<std::string>& args, Arguments* out, std::string* error);

// The one line qbk prints for a failure on archive: the wrapper's text and
// its detail (either may be empty, or hold the other) as sentences, the
// archive named once, no empty line; "qbk: " in front, no newline at the end.
std::string FailureLine(const std::string& archive, const std::string& text,
                        const std::string& detail);

}  // namespace qbk
