#include "platform/VersionRecord.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>

namespace platform {

bool ReadFileVersion(const std::string& programPath, std::uint32_t* versionMS,
                     std::uint32_t* versionLS) {
  DWORD handle = 0;
  DWORD size = ::GetFileVersionInfoSizeA(programPath.c_str(), &handle);
  if (size == 0) return false;
  std::vector<char> buffer(size);
  if (!::GetFileVersionInfoA(programPath.c_str(), 0, size, buffer.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(buffer.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info)
    return false;
  *versionMS = info->dwFileVersionMS;
  *versionLS = info->dwFileVersionLS;
  return true;
}

}  // namespace platform

#else
#include <elf.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace platform {

bool ReadFileVersion(const std::string& programPath, std::uint32_t* versionMS,
                     std::uint32_t* versionLS) {
  std::ifstream in(programPath, std::ios::binary);
  Elf64_Ehdr header;
  if (!in.read(reinterpret_cast<char*>(&header), sizeof header)) return false;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
    return false;
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  in.seekg(static_cast<std::streamoff>(header.e_shoff));
  if (!in.read(reinterpret_cast<char*>(sections.data()),
               static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr))))
    return false;
  const Elf64_Shdr& names = sections[header.e_shstrndx];
  if (names.sh_size > (1u << 20)) return false;
  std::vector<char> table(names.sh_size + 1, '\0');
  in.seekg(static_cast<std::streamoff>(names.sh_offset));
  if (!in.read(table.data(), static_cast<std::streamsize>(names.sh_size))) return false;
  for (const Elf64_Shdr& s : sections) {
    if (s.sh_name >= names.sh_size) continue;
    if (std::strcmp(&table[s.sh_name], ".quor_version") != 0) continue;
    if (s.sh_size < sizeof(FixedVersion)) return false;
    FixedVersion record;
    in.seekg(static_cast<std::streamoff>(s.sh_offset));
    if (!in.read(reinterpret_cast<char*>(&record), sizeof record)) return false;
    if (record.signature != kVersionSignature) return false;
    *versionMS = record.fileVersionMS;
    *versionLS = record.fileVersionLS;
    return true;
  }
  return false;
}

}  // namespace platform
#endif
