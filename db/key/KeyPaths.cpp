#include "db/key/KeyPaths.h"

#include <filesystem>
#include <system_error>

#include "db/Cp1252.h"
#include "platform/Platform.h"

namespace keydb {
namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr bool kCaseSensitiveFiles = false;
constexpr char kSeparator = '\\';
#else
constexpr bool kCaseSensitiveFiles = true;
constexpr char kSeparator = '/';
#endif

bool Exists(const std::string& nativePath) {
  std::error_code ec;
  return fs::exists(fs::u8path(nativePath), ec);
}

// Lower case for the letters Windows-1252 holds, as the key's file system
// compares them.
char32_t Folded(char32_t c) {
  if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  switch (c) {
    case 0x0160: return 0x0161;  // Š
    case 0x0152: return 0x0153;  // Œ
    case 0x017D: return 0x017E;  // Ž
    case 0x0178: return 0x00FF;  // Ÿ
    default: return c;
  }
}

// A name as the key's file system compares it: UTF-8 names by their
// characters, names that are not UTF-8 as Windows-1252 bytes.
std::u32string FoldedName(const std::string& name) {
  std::u32string characters;
  if (!cp1252::DecodeUtf8(name, &characters)) cp1252::DecodeUtf8(cp1252::ToUtf8(name), &characters);
  for (char32_t& c : characters) c = Folded(c);
  return characters;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("\\/:") == std::string::npos;
}

Folder::Folder(std::string nativeFolder) : folder_(std::move(nativeFolder)) {}

std::string Folder::Join(const std::string& name) const {
  const char last = folder_.back();
  return last == '/' || last == '\\' ? folder_ + name : folder_ + kSeparator + name;
}

std::string Folder::File(const std::string& storedName) const {
  if (folder_.empty() || !IsPlainFileName(storedName)) return std::string();
  const std::string decoded = Join(cp1252::ToUtf8(storedName));
  if (!kCaseSensitiveFiles || Exists(decoded)) return decoded;
  const std::string raw = Join(storedName);
  if (raw != decoded && Exists(raw)) return raw;
  const std::string found = FindWithoutCase(storedName);
  return found.empty() ? decoded : Join(found);
}

std::string Folder::FindWithoutCase(const std::string& storedName) const {
  if (!entries_) {
    entries_.emplace();
    std::error_code ec;
    for (fs::directory_iterator it(fs::u8path(folder_), ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::string name = it->path().filename().u8string();
      entries_->emplace(FoldedName(name), name);
    }
  }
  const auto found = entries_->find(FoldedName(cp1252::ToUtf8(storedName)));
  return found == entries_->end() ? std::string() : found->second;
}

bool Folder::HasFile(const std::string& storedName) const {
  // One look at the disk for a name found as spelled: lists check
  // thousands of names.
  if (folder_.empty() || !IsPlainFileName(storedName)) return false;
  const std::string decoded = Join(cp1252::ToUtf8(storedName));
  if (platform::FileExists(decoded)) return true;
  if (!kCaseSensitiveFiles) return false;
  const std::string raw = Join(storedName);
  if (raw != decoded && platform::FileExists(raw)) return true;
  const std::string found = FindWithoutCase(storedName);
  return !found.empty() && platform::FileExists(Join(found));
}

KeyFolders::KeyFolders(const std::string& keyRoot) : key_(platform::NativePath(keyRoot)) {}

std::string KeyFolders::DatabasePath() const {
  if (key_.empty()) return std::string();
  return platform::ResolveBelow(key_, "Database\\zkm.db");
}

std::string KeyFolders::DatabaseFolder() const {
  if (key_.empty()) return std::string();
  return platform::ResolveBelow(key_, "Database\\");
}

const Folder& KeyFolders::Below(std::optional<Folder>* folder, const char* relative) {
  if (!*folder)
    folder->emplace(key_.empty() ? std::string() : platform::ResolveBelow(key_, relative));
  return **folder;
}

const Folder& KeyFolders::Originals() { return Below(&originals_, "Database\\ORI\\"); }
const Folder& KeyFolders::Modified() { return Below(&modified_, "Database\\MOD\\"); }
const Folder& KeyFolders::Drivers() { return Below(&drivers_, "Database\\DRT\\"); }

std::string KeyFolders::DriverFile(const std::string& nomeFile, bool user) {
  if (!IsPlainFileName(nomeFile)) return std::string();
  return Drivers().File(nomeFile + (user ? ".DRU" : ".DRT"));
}

bool KeyFolders::HasDriverFile(const std::string& nomeFile, bool user) {
  return IsPlainFileName(nomeFile) && Drivers().HasFile(nomeFile + (user ? ".DRU" : ".DRT"));
}

}  // namespace keydb
