#include "tests/archive/ArchiveTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace archivetest {
namespace fs = std::filesystem;

void WriteTree(const std::string& root, const std::map<std::string, std::string>& files) {
  for (const auto& [relative, content] : files) {
    if (!relative.empty() && relative.back() == '/') {
      fs::create_directories(fs::u8path(root + "/" + relative));
      continue;
    }
    fixture::WriteFile(root + "/" + relative, content);
  }
}

std::map<std::string, std::string> ReadTree(const std::string& root) {
  std::map<std::string, std::string> out;
  const fs::path top = fs::u8path(root);
  std::error_code ec;
  if (!fs::is_directory(top, ec)) return out;
  // The iterator does not descend into linked folders unless told to.
  for (auto it = fs::recursive_directory_iterator(top); it != fs::recursive_directory_iterator();
       ++it) {
    const std::string rel = it->path().lexically_relative(top).generic_u8string();
    const fs::file_status status = it->symlink_status();
    if (fs::is_symlink(status)) {
      out[rel] = "<link>";
    } else if (fs::is_directory(status)) {
      out[rel + "/"] = "";
    } else if (fs::is_regular_file(status)) {
      out[rel] = fixture::ReadFile(it->path().u8string());
    }
  }
  return out;
}

void MakeReadOnly(const std::string& path) {
  fs::permissions(fs::u8path(path),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

bool IsReadOnly(const std::string& path) {
  return (fs::status(fs::u8path(path)).permissions() & fs::perms::owner_write) == fs::perms::none;
}

#ifndef _WIN32
int Shell(const std::string& command) {
  int rc = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

bool HaveTool(const std::string& name) { return Shell("command -v " + name) == 0; }
#endif

bool Backup(const std::string& archive, const std::string& folder, std::int32_t volumeSize,
            std::string* error) {
  CBrennowZip zip;
  if (volumeSize) zip.setVolumeSize(volumeSize);
  bool ok = zip.openArchive(archive) && zip.addFiles(CBrennowZip::Wide(folder), L"*.*") &&
            zip.closeArchive();
  if (!ok && error) *error = zip.lastError() + " / " + zip.lastDetail();
  return ok;
}

bool Restore(const std::string& archive, const std::string& folder, std::string* error) {
  CBrennowZip zip;
  bool ok = zip.openArchive(archive) && zip.extractFiles(CBrennowZip::Wide(folder), L"*.*") &&
            zip.closeArchive();
  if (!ok && error) *error = zip.lastError() + " / " + zip.lastDetail();
  return ok;
}

std::vector<std::string> VolumeFiles(const std::string& archive) {
  std::vector<std::string> out;
  std::string stem = archive.substr(0, archive.find_last_of('.'));
  for (int i = 1;; ++i) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".Z%02d", i);
    if (!Exists(stem + suffix)) break;
    out.push_back(stem + suffix);
  }
  out.push_back(archive);
  return out;
}

}  // namespace archivetest
