#include "tools/QbkArguments.h"

#include <cctype>

namespace qbk {

const char kUsage[] =
    "usage: qbk list [-v] ARCHIVE\n"
    "       qbk test ARCHIVE\n"
    "       qbk extract ARCHIVE DIR [NAME...]\n"
    "       qbk create [--volume-size SIZE] ARCHIVE DIR\n"
    "       qbk COMMAND -q ...     no progress line (shown only on a terminal)\n"
    "       qbk -h | --help\n"
    "       qbk --version\n"
    "SIZE: bytes, or with k, M or G (binary), from 64k to 2G - 1; 100M is the product's.\n"
    "Exit status: 0 all good, 1 the archive or a file is at fault, 2 a usage error.\n";

bool ParseVolumeSize(const std::string& text, std::int32_t* size, std::string* error) {
  auto refuse = [&](const std::string& why) {
    *error = "bad volume size \"" + text + "\": " + why;
    return false;
  };
  std::size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
  if (digits == 0) return refuse("not a number");
  const std::string suffix = text.substr(digits);
  int shift = 0;
  if (suffix == "k" || suffix == "K")
    shift = 10;
  else if (suffix == "M")
    shift = 20;
  else if (suffix == "G")
    shift = 30;
  else if (!suffix.empty())
    return refuse("the suffix must be k, M or G");
  std::int64_t value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxVolumeSize) return refuse("more than 2G - 1 bytes");
  }
  value <<= shift;
  if (value > kMaxVolumeSize) return refuse("more than 2G - 1 bytes");
  if (value < kMinVolumeSize) return refuse("less than 64k (65536 bytes)");
  *size = static_cast<std::int32_t>(value);
  return true;
}

bool ParseArguments(const std::vector<std::string>& args, Arguments* out, std::string* error) {
  *out = Arguments();
  if (args.empty()) {
    *error = "no command given";
    return false;
  }
  const std::string& command = args[0];
  if (command == "-h" || command == "--help" || command == "--version") {
    if (args.size() > 1) {
      *error = "unexpected argument \"" + args[1] + "\" after " + command;
      return false;
    }
    out->command = command == "--version" ? Command::kVersion : Command::kHelp;
    return true;
  }
  std::vector<std::string> operands;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (command == "create" && arg == "--volume-size") {
      if (i + 1 == args.size()) {
        *error = "--volume-size needs a SIZE";
        return false;
      }
      if (!ParseVolumeSize(args[++i], &out->volumeSize, error)) return false;
    } else if (command == "list" && arg == "-v" && operands.empty()) {
      out->verbose = true;
    } else if (arg == "-q" && operands.empty()) {
      out->quiet = true;
    } else if (arg.size() > 1 && arg[0] == '-' && operands.empty()) {
      *error = "unknown option \"" + arg + "\" for " + command;
      return false;
    } else {
      operands.push_back(arg);
    }
  }
  std::size_t wanted = 0;
  if (command == "list") {
    out->command = Command::kList;
    wanted = 1;
  } else if (command == "test") {
    out->command = Command::kTest;
    wanted = 1;
  } else if (command == "extract") {
    out->command = Command::kExtract;
    wanted = 2;
  } else if (command == "create") {
    out->command = Command::kCreate;
    wanted = 2;
  } else {
    *error = "unknown command \"" + command + "\"";
    return false;
  }
  if (operands.size() < wanted) {
    *error = command + " needs " + (wanted == 1 ? "ARCHIVE" : std::string("ARCHIVE and DIR"));
    return false;
  }
  if (out->command == Command::kExtract) {
    out->names.assign(operands.begin() + 2, operands.end());
    operands.resize(2);
  }
  if (operands.size() > wanted) {
    *error = "unexpected argument \"" + operands[wanted] + "\" for " + command;
    return false;
  }
  out->archive = operands[0];
  if (wanted == 2) out->folder = operands[1];
  return true;
}

namespace {

// text on one line, without empty lines or what ends a sentence's lead-in.
std::string OneLine(const std::string& text) {
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(start, end - start);
    while (!part.empty() && (part.back() == '\r' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) line += (line.empty() ? "" : " ") + part;
    start = end + 1;
  }
  while (!line.empty() && (line.back() == ':' || line.back() == ' ')) line.pop_back();
  return line;
}

}  // namespace

std::string FailureLine(const std::string& archive, const std::string& text,
                        const std::string& detail) {
  std::string message = OneLine(text);
  const std::string more = OneLine(detail);
  if (!more.empty() && message.find(more) == std::string::npos)
    message = message.empty() ? more : message + ". " + more;
  if (message.empty()) message = "failed";
  if (archive.empty() || message.find(archive) != std::string::npos) return "qbk: " + message;
  return "qbk: " + archive + ": " + message;
}

}  // namespace qbk
