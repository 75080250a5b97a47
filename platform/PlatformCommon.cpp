// Platform selection and the key-path helpers shared by every implementation.
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "platform/Platform.h"
#include "platform/SimulatedPlatform.h"

namespace platform {
namespace fs = std::filesystem;

namespace {

std::mutex g_mutex;
std::unique_ptr<Platform> g_platform;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

[[maybe_unused]] bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::vector<std::string> Components(const std::string& relative) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : relative) {
    if (IsSeparator(c)) {
      if (!part.empty() && part != ".") parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty() && part != ".") parts.push_back(part);
  return parts;
}

}  // namespace

Platform& Current() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (!g_platform) {
    const char* table = std::getenv("QUORVANE_DRIVE_TABLE");
    if (table && *table) {
      g_platform = SimulatedPlatform::FromTable(table);
    } else {
      g_platform = CreateNative();
    }
  }
  return *g_platform;
}

void Install(std::unique_ptr<Platform> platform) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_platform = std::move(platform);
}

std::string ResolveBelow(const std::string& nativeFolder, const std::string& relative) {
  const bool trailing = !relative.empty() && IsSeparator(relative.back());
#ifdef _WIN32
  // Windows file systems ignore case already.
  std::string out = nativeFolder;
  for (const std::string& part : Components(relative)) {
    if (!out.empty() && !IsSeparator(out.back())) out += '\\';
    out += part;
  }
  if (trailing && (out.empty() || !IsSeparator(out.back()))) out += '\\';
  return out;
#else
  std::string start = nativeFolder;
  if (start.empty() && !relative.empty() && IsSeparator(relative[0])) start = "/";
  fs::path current(start);
  bool parentExists = true;
  for (const std::string& part : Components(relative)) {
    fs::path exact = current / part;
    std::error_code ec;
    if (!parentExists || part == ".." || fs::exists(exact, ec)) {
      if (parentExists && !fs::exists(exact, ec)) parentExists = false;
      current = exact;
      continue;
    }
    bool found = false;
    for (fs::directory_iterator it(current.empty() ? fs::path(".") : current, ec), end;
         !ec && it != end; it.increment(ec)) {
      std::string name = it->path().filename().string();
      if (SameIgnoringAsciiCase(name, part)) {
        current /= name;
        found = true;
        break;
      }
    }
    if (!found) {
      current = exact;
      parentExists = false;
    }
  }
  std::string out = current.string();
  if (trailing && (out.empty() || out.back() != '/')) out += '/';
  return out;
#endif
}

std::string NativePath(const std::string& keyText) {
  if (keyText.size() >= 2 && std::isalpha(static_cast<unsigned char>(keyText[0])) &&
      keyText[1] == ':') {
    std::string folder = Current().DriveFolder(keyText[0]);
    if (folder.empty()) return std::string();
    return ResolveBelow(folder, keyText.substr(2));
  }
  return ResolveBelow(std::string(), keyText);
}

std::string NativePath(const std::string& base, const std::string& relative) {
  return NativePath(base + relative);
}

std::string LegacyPath(const std::string& windowsPath) {
  std::string rest = windowsPath;
  if (rest.size() >= 2 && (rest[0] == 'C' || rest[0] == 'c') && rest[1] == ':')
    rest = rest.substr(2);
  std::string root = Current().LegacySystemRoot();
  if (root.empty()) return std::string();
  return ResolveBelow(root, rest);
}

bool FlushDrive(const std::string& keyText, std::string* error) {
  return Current().FlushDrive(keyText, error);
}

bool FileExists(const std::string& nativePath) {
  if (nativePath.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(fs::u8path(nativePath), ec);
}

}  // namespace platform
