#!/usr/bin/env bash
# Cross-builds the core (everything below the windows that needs no SQLite)
# for 64-bit Windows with mingw-w64 and runs its tests under Wine, in a Wine
# prefix of its own that is thrown away afterwards. The prefix gets key
# drives besides Wine's own C: and Z:, which are fixed and unlabelled:
#   Q:  removable, label QUORVANE, with the key's database   (the key)
#   R:  RAM disk,  label quorvane, with a database           (wrong case)
#   N:  network,   label ZARIVIRE, with a database           (the other label)
# The tests learn them from QUORVANE_WINE_DRIVES.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          libz-mingw-w64-dev googletest wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

build=${QUOR_WINDOWS_BUILD:-build-windows}
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/tools/mingw-w64-posix.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOR_CORE_ONLY=ON -DQUOR_WITH_SQLITE=OFF >/dev/null
cmake --build "$build" -j2

scratch=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-wine-XXXXXX")
export WINEPREFIX="$scratch/prefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT

echo "preparing the Wine prefix in $WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w

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
wineserver -k
wineserver -w
export QUORVANE_WINE_DRIVES="q:floppy:QUORVANE;r:ramdisk:quorvane;n:network:ZARIVIRE"

# One server for the whole run instead of one per test program, with
# Wine's own background services started now: started by the first test
# program, they would keep its output open and stall GoogleTest's listing.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
