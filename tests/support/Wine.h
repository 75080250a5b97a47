// Whether the test runs under Wine rather than on Windows itself: Wine's
// ntdll exports wine_get_version, Microsoft's does not.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace fixture {

inline bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace fixture
