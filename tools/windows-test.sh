#!/usr/bin/env bash
# Builds the program for 64-bit Windows with mingw-w64 and runs its tests
# under Wine, in a Wine prefix of its own that is thrown away afterwards.
#   windows-test.sh        the whole program: Qt and SQLite are built once
#                          into a cache (tools/windows-deps.sh), then the
#                          program, qbk and every test; GUI tests run
#                          offscreen, Wine itself on a virtual X display
#   windows-test.sh core   the quick path: only the core below the windows
#                          that needs neither Qt nor SQLite
#   windows-test.sh package  the whole program's portable zip, relink kit and
#                          installer (tools/windows-bundle.sh), no tests
# The whole run also installs, starts and uninstalls the installer under Wine.
# The prefix gets key drives besides Wine's own C: and Z:, which are fixed
# and unlabelled:
#   Q:  removable, label QUORVANE, with the key's database   (the key)
#   R:  RAM disk,  label quorvane, with a database           (wrong case)
#   N:  network,   label ZARIVIRE, with a database           (the other label)
#   T:  fixed, empty, for the test of a key given by its root
# The tests learn them from QUORVANE_WINE_DRIVES.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

mode=${1:-all}
case "$mode" in
  all | core | package) ;;
  *)
    echo "usage: ./run windows-test [core]   or   ./run windows-package" >&2
    exit 2
    ;;
esac

failed() {  # failed STEP HOW-TO-RETRY
  echo "windows-test: failed during: $1" >&2
  echo "windows-test: $2" >&2
  exit 1
}

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          libz-mingw-w64-dev googletest wine wine64 xvfb librsvg2-bin icoutils nsis zip)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" ||
    failed "installing ${missing[*]}" "check the network and apt's sources, then run ./run windows-test again"
fi

if [ "$mode" = core ]; then
  build=${QUOR_WINDOWS_BUILD:-build-windows}
  cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/tools/mingw-w64-posix.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOR_CORE_ONLY=ON -DQUOR_WITH_SQLITE=OFF >/dev/null
  cmake --build "$build" -j2 || failed "building the core" "fix the build, then run ./run windows-test core again"
else
  # Qt and SQLite for mingw: built once (30 to 50 minutes), then cached.
  prefixes=$(bash tools/windows-deps.sh) ||
    failed "building Qt or SQLite for mingw (see above)" "run ./run windows-test again; a half-built cache is never used"
  eval "$prefixes"
  build=${QUOR_WINDOWS_BUILD:-build-windows-gui}
  cmake -S . -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$here/tools/mingw-w64-posix.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSQLite3_INCLUDE_DIR="$SQLITE_PREFIX/include" -DSQLite3_LIBRARY="$SQLITE_PREFIX/lib/libsqlite3.a" \
    >/dev/null || failed "configuring the Windows build" "see the CMake messages above"
  cmake --build "$build" -j2 || failed "building the program for Windows" "fix the build, then run ./run windows-test again"
  # The portable zip, the relink kit and the installer.
  setup=$(bash tools/windows-bundle.sh "$build") ||
    failed "making the Windows bundle and installer" "see the messages above, then run it again"
  if [ "$mode" = package ]; then
    ls -l "$build/package"/*.zip "$setup"
    exit 0
  fi
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-wine-XXXXXX")
export WINEPREFIX="$scratch/prefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  bash tools/real-display.sh stop "$scratch/display" >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT

if [ "$mode" = all ]; then
  # Wine needs an X display even for programs that draw nothing.
  bash tools/real-display.sh start "$scratch/display" >/dev/null
  display=$(cat "$scratch/display/display")
  case "$display" in
    :*) export DISPLAY=$display ;;
    *) failed "starting a virtual display for Wine: $display" "install xvfb, then run ./run windows-test again" ;;
  esac
fi

echo "preparing the Wine prefix in $WINEPREFIX"
wineboot -i >/dev/null 2>&1 || failed "starting Wine (wineboot)" "check that wine and wine64 run: wine cmd /c ver"
wineserver -w
# A crashing test program must fail at once, not wait for a crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

add_drive() {  # add_drive LETTER WINE-TYPE LABEL
  local letter=$1 type=$2 label=$3 folder="$scratch/drive-$1"
  mkdir -p "$folder/ZKM_Quorvane/DataBase"
  : >"$folder/ZKM_Quorvane/DataBase/zkm.db"
  printf '%s\n' "$label" >"$folder/.windows-label"
  ln -s "$folder" "$WINEPREFIX/dosdevices/$letter:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d "$type" /f >/dev/null 2>&1
}
add_drive q floppy QUORVANE
add_drive r ramdisk quorvane
add_drive n network ZARIVIRE
# A spare fixed drive, empty, that one test uses as a key given by its root.
mkdir -p "$scratch/drive-t"
ln -s "$scratch/drive-t" "$WINEPREFIX/dosdevices/t:"
wine reg add 'HKLM\Software\Wine\Drives' /v "t:" /t REG_SZ /d hd /f >/dev/null 2>&1
wineserver -k
wineserver -w
export QUORVANE_WINE_DRIVES="q:floppy:QUORVANE;r:ramdisk:quorvane;n:network:ZARIVIRE"
export QUORVANE_WINE_SPARE_DRIVE=t

# One server for the whole run instead of one per test program, with
# Wine's own background services started now: started by the first test
# program, they would keep its output open and stall GoogleTest's listing.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null || failed "starting Wine's services" "run ./run windows-test again"
status=0
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300 || status=$?
if [ "$mode" = all ]; then
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  app_id=$(sed -n 's/^set(QUOR_APP_ID \(.*\))$/\1/p' CMakeLists.txt)
  bash tools/windows-installer-test.sh "$setup" "$version" "$app_id" || status=1
fi
# Every skipped test with its reason, as GoogleTest printed it.
echo "skipped tests:"
awk '{ sub(/\r$/, "") }
     /^\[ RUN      \]/ { test = $4 }
     /: Skipped$/ { reason = 1; next }
     reason && NF { print "  " test ": " $0; reason = 0 }
     /test skipped:/ { sub(/.*test skipped: /, ""); print "  " test ": " $0 }' \
  "$build"/Testing/Temporary/LastTest.log 2>/dev/null | sort -u || true
exit "$status"
