#include "tests/archive/ArchiveTestSupport.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace archivetest {

void WriteTree(const std::string& root, const std::map<std::string, std::string>& files) {
  for (const auto& [relative, content] : files) {
    std::string path = root;
    size_t start = 0, slash;
    while ((slash = relative.find('/', start)) != std::string::npos) {
      path = root + "/" + relative.substr(0, slash);
      ::mkdir(path.c_str(), 0777);
      start = slash + 1;
    }
    if (!relative.empty() && relative.back() == '/') continue;
    fixture::WriteFile(root + "/" + relative, content);
  }
}

namespace {
void Walk(const std::string& root, const std::string& prefix, std::map<std::string, std::string>* out) {
  DIR* dir = ::opendir((root + "/" + prefix).c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* e = ::readdir(dir)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  ::closedir(dir);
  for (const std::string& n : names) {
    std::string rel = prefix + n;
    struct stat st;
    if (::lstat((root + "/" + rel).c_str(), &st) != 0) continue;
    if (S_ISDIR(st.st_mode)) {
      (*out)[rel + "/"] = "";
      Walk(root, rel + "/", out);
    } else if (S_ISREG(st.st_mode)) {
      (*out)[rel] = fixture::ReadFile(root + "/" + rel);
    } else if (S_ISLNK(st.st_mode)) {
      (*out)[rel] = "<link>";
    }
  }
}
}  // namespace

std::map<std::string, std::string> ReadTree(const std::string& root) {
  std::map<std::string, std::string> out;
  Walk(root, "", &out);
  return out;
}

int Shell(const std::string& command) {
  int rc = std::system((command + " >/dev/null 2>&1").c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

bool HaveTool(const std::string& name) { return Shell("command -v " + name) == 0; }

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
