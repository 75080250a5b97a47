#!/usr/bin/env bash
# Builds the two libraries the Windows build of the whole program needs and
# Debian does not ship for mingw-w64: a static Qt 6 (qtbase) and SQLite.
# Both come from Debian's own source packages, so the cross-built Qt is the
# version of the host's moc, uic, rcc and lrelease, which the cross build
# runs as they are.
#
# The results live in a cache outside the repository, one folder per source
# version and recipe:
#   ${XDG_CACHE_HOME:-~/.cache}/quorvane-windows/qt6-<version>-<recipe hash>/
#   ${XDG_CACHE_HOME:-~/.cache}/quorvane-windows/sqlite-<version>-<recipe hash>/
# A folder counts only once its stamp is written, the last thing done; one
# without it is what a killed run left behind, and is built again.
#
# Everything a person should read goes to stderr; stdout gets only
#   QT_PREFIX=<folder>
#   SQLITE_PREFIX=<folder>
# for the caller to read. The first run takes 30 to 50 minutes on two cores
# (Qt) and 2.5 GB while it builds; later runs find the stamps and return in
# seconds.
set -Eeuo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Keep stdout for the two result lines.
exec 3>&1 1>&2

current_step="preparation"
error_reported=
step() {
  current_step=$1
  echo "== windows-deps: $1"
}
# shellcheck disable=SC2317  # called by the trap
on_error() {
  # Command substitutions inherit the trap (set -E); the main shell speaks.
  [ "$BASHPID" = "$$" ] && [ -z "$error_reported" ] || return 0
  error_reported=1
  echo "windows-deps: failed during: $current_step"
  echo "windows-deps: rerun ./run windows-test; the cache starts clean"
}
trap on_error ERR
# So that an interrupted build still removes its temporary folder.
trap 'exit 130' INT
trap 'exit 143' TERM

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

# apt-get gives up at once when another apt or dpkg holds its lock (an image
# still being provisioned, unattended upgrades); wait for it instead.
apt_get() {
  local log tries=0
  log=$(mktemp)
  until "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
          apt-get -o DPkg::Lock::Timeout=600 "$@" 2>&1 | tee "$log"; do
    if grep -q -e 'Could not get lock' -e 'Unable to acquire' "$log" && [ $((tries += 1)) -le 90 ]; then
      echo "apt is busy elsewhere; trying again in 10 seconds"
      sleep 10
    else
      rm -f "$log"
      return 1
    fi
  done
  rm -f "$log"
}

# tcl8.6, gcc and make build SQLite's amalgamation on the host.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev
          qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools dpkg-dev tcl8.6
          xz-utils ninja-build cmake gcc make)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  apt_get update
  apt_get install -y "${missing[@]}"
fi

# apt-get source needs a deb-src entry, which Debian's images leave out. The
# one added here mirrors the machine's own main entry, so the sources match
# the installed packages; it is written once and left in place.
ensure_deb_src() {
  local own=/etc/apt/sources.list.d/quorvane-deb-src.sources
  local main=/etc/apt/sources.list.d/debian.sources
  apt-get source --print-uris qt6-base >/dev/null 2>&1 && return 0
  if [ ! -e "$own" ]; then
    if [ ! -r "$main" ]; then
      echo "apt has no deb-src entry and there is no $main to derive one from;"
      echo "add a deb-src line for Debian's main archive by hand"
      return 1
    fi
    # The first deb entry of debian.sources is the main archive (the others
    # are updates and security); a field may go on over indented lines.
    local fields
    fields=$(awk 'BEGIN { RS = "" }
      /(^|\n)Types:[^\n]*[[:space:]]deb([[:space:]]|\n|$)/ {
        n = split($0, line, "\n")
        for (i = 1; i <= n; i++) {
          if (line[i] ~ /^#/) continue
          if (line[i] ~ /^[^[:space:]]/) keep = (line[i] ~ /^(URIs|Suites|Components|Signed-By):/)
          if (keep) print line[i]
        }
        exit
      }' "$main")
    if ! grep -q '^URIs:' <<<"$fields" || ! grep -q '^Suites:' <<<"$fields"; then
      echo "found no deb entry in $main to derive a deb-src entry from"
      return 1
    fi
    printf 'Types: deb-src\n%s\n' "$fields" | "${sudo[@]}" tee "$own" >/dev/null
    echo "windows-deps: added $own (deb-src for apt-get source, from $main):"
    sed 's/^/  /' "$own"
  fi
  apt_get update
  if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
    echo "apt-get source still finds no sources after adding $own"
    return 1
  fi
}

# The version apt-get source would fetch, from the name of its .dsc.
source_version() {  # source_version PACKAGE
  apt-get source --print-uris "$1" 2>/dev/null |
    awk -v p="$1_" '$2 ~ /\.dsc$/ && index($2, p) == 1 {
      v = substr($2, length(p) + 1); sub(/\.dsc$/, "", v); print v; exit }'
}

short_hash() { printf '%s\n' "$@" | sha256sum | cut -c1-12; }

# The cross-built Qt must be the host tools' version: configure checks it,
# and a mismatch shows only after the download.
upstream() {  # upstream DEBIAN-VERSION: without epoch and Debian revision
  local v=${1#*:}
  v=${v%-*}
  echo "${v%%+*}"
}

step "looking up the source packages"
qt_version=$(source_version qt6-base)
if [ -z "$qt_version" ]; then
  ensure_deb_src
  qt_version=$(source_version qt6-base)
fi
sqlite_version=$(source_version sqlite3)
if [ -z "$qt_version" ] || [ -z "$sqlite_version" ]; then
  echo "apt-get source knows no qt6-base or sqlite3"
  false
fi
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
if [ "$(upstream "$qt_version")" != "$(upstream "$host_qt")" ]; then
  echo "apt-get source would fetch qt6-base $qt_version, but the host tools are $host_qt;"
  echo "upgrade qt6-base-dev-tools (apt-get install qt6-base-dev-tools) so that they match"
  false
fi

# --- The recipe. Everything that decides what gets built is hashed into the
# --- folder names, so changing any of it builds afresh.

# Only the modules the program uses (Core, Gui, Widgets, Xml, Test) and the
# windows and offscreen platforms. These flags are the ones that were tried;
# a change needs the whole build tried again.
# - OpenGL off takes three switches, or dynamic OpenGL stays on.
# - Debian's tarball drops wintab, hence no tablet events.
# - zlib is mingw-w64's archive, so that no zlib1.dll is needed.
qt_flags=(
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DFEATURE_static_runtime=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
  -DFEATURE_vulkan=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF -DFEATURE_jpeg=OFF -DFEATURE_testlib=ON
  -DFEATURE_system_zlib=ON -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
)
# Qt 6.4 with direct2d off still compiles the DirectWrite font database's
# use but not its constructor, so every GUI program fails to link.
qt_patch_file=src/plugins/platforms/windows/qwindowsintegration.cpp
qt_patch='s/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/'
qt_patch_count=2
qt_toolchain="$here/tools/mingw-qt.cmake"

# The flags of debian/rules (3.40.1-2), with the FTS4 and FTS5 its configure
# options add, so that the Windows library behaves as the Linux one.
sqlite_cflags=(-O2 -fno-strict-aliasing
  -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA
  -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS
  -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1
  -DSQLITE_ENABLE_UNLOCK_NOTIFY
  -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB
  -DSQLITE_ALLOW_ROWID_IN_VIEW
  -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1
  -DSQLITE_ENABLE_LOAD_EXTENSION
  -DSQLITE_ENABLE_JSON1
  -DSQLITE_LIKE_DOESNT_MATCH_BLOBS
  -DSQLITE_THREADSAFE=1
  -DSQLITE_ENABLE_FTS3_TOKENIZER=1
  -DSQLITE_USE_URI=1
  -DSQLITE_MAX_SCHEMA_RETRY=25
  -DSQLITE_ENABLE_PREUPDATE_HOOK
  -DSQLITE_ENABLE_SESSION
  -DSQLITE_ENABLE_STMTVTAB
  -DSQLITE_MAX_VARIABLE_NUMBER=250000
  -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5
)

gxx_version="$(dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix) $(x86_64-w64-mingw32-g++-posix --version | head -n1)"
gcc_version="$(dpkg-query -W -f='${Version}' gcc-mingw-w64-x86-64-posix) $(x86_64-w64-mingw32-gcc-posix --version | head -n1)"
qt_hash=$(short_hash "${qt_flags[@]}" "$qt_patch_file" "$qt_patch" "$qt_patch_count" \
                     "$(cat "$qt_toolchain")" "$gxx_version")
sqlite_hash=$(short_hash "${sqlite_cflags[@]}" "$gcc_version")

cache=${XDG_CACHE_HOME:-$HOME/.cache}/quorvane-windows
qt_dir=$cache/qt6-$qt_version-$qt_hash
sqlite_dir=$cache/sqlite-$sqlite_version-$sqlite_hash

report() {
  printf 'QT_PREFIX=%s\nSQLITE_PREFIX=%s\n' "$qt_dir" "$sqlite_dir" >&3
  exit 0
}
[ -e "$qt_dir/stamp" ] && [ -e "$sqlite_dir/stamp" ] && report

# One build at a time: a second run waits here and then finds the stamps.
mkdir -p "$cache"
exec 9>"$cache/lock"
if ! flock -n 9; then
  echo "windows-deps: another run is building in $cache; waiting for it"
  flock 9
fi
[ -e "$qt_dir/stamp" ] && [ -e "$sqlite_dir/stamp" ] && report

# Under the lock nothing else builds: whatever has no stamp was left by a
# run that was killed before its trap could clean up.
rm -rf "$cache"/build.*
[ -e "$qt_dir/stamp" ] || rm -rf "$qt_dir"
[ -e "$sqlite_dir/stamp" ] || rm -rf "$sqlite_dir"

tmp=$(mktemp -d "$cache/build.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# Written last, so that a folder with a stamp is complete.
write_stamp() {  # write_stamp FOLDER SOURCE-PACKAGE VERSION HASH
  printf 'source %s %s\nrecipe %s\nbuilt %s\n' "$2" "$3" "$4" "$(date -u +%FT%TZ)" >"$1/stamp.new"
  mv "$1/stamp.new" "$1/stamp"
}

download() {  # download PACKAGE VERSION: the source package's files, into $tmp
  step "download of sources ($1 $2)"
  # As root, apt warns that it cannot download as _apt into this folder.
  (cd "$tmp" && apt-get source --download-only "$1=$2")
}

# SQLite first: two minutes, and a failure shows before Qt's hour.
if [ ! -e "$sqlite_dir/stamp" ]; then
  download sqlite3 "$sqlite_version"
  step "SQLite build"
  # dpkg-source applies Debian's patches; the amalgamation is made on the
  # host, where its generators run, and only compiled for Windows.
  dpkg-source -x "$tmp/sqlite3_${sqlite_version#*:}.dsc" "$tmp/sqlite-src"
  mkdir "$tmp/sqlite-host"
  (cd "$tmp/sqlite-host" && nice -n 19 ../sqlite-src/configure --disable-tcl && nice -n 19 make sqlite3.c)
  (cd "$tmp/sqlite-host" &&
     nice -n 19 x86_64-w64-mingw32-gcc-posix "${sqlite_cflags[@]}" -c sqlite3.c -o sqlite3.o)
  stage="$tmp/sqlite-stage"
  mkdir -p "$stage/lib" "$stage/include"
  x86_64-w64-mingw32-ar rcs "$stage/lib/libsqlite3.a" "$tmp/sqlite-host/sqlite3.o"
  cp "$tmp/sqlite-host/sqlite3.h" "$tmp/sqlite-src/src/sqlite3ext.h" "$stage/include/"
  rm -rf "$tmp/sqlite-src" "$tmp/sqlite-host"
  mv "$stage" "$sqlite_dir"
  write_stamp "$sqlite_dir" sqlite3 "$sqlite_version" "$sqlite_hash"
fi

if [ ! -e "$qt_dir/stamp" ]; then
  download qt6-base "$qt_version"
  step "Qt configure"
  # Debian's orig tarball as it is: the recipe was tried without Debian's
  # patches, which are for its Linux packages.
  orig=("$tmp"/qt6-base_*.orig.tar.xz)
  tar -C "$tmp" -xf "${orig[0]}"
  src=$(find "$tmp" -mindepth 1 -maxdepth 1 -type d -name 'qtbase-*')
  if [ "$(grep -c "^#if QT_CONFIG(directwrite3)\$" "$src/$qt_patch_file")" != "$qt_patch_count" ]; then
    echo "the directwrite3 fix does not apply to $qt_patch_file: has Qt changed?"
    false
  fi
  sed -i "$qt_patch" "$src/$qt_patch_file"
  grep -q -F '#if QT_CONFIG(directwrite3) && QT_CONFIG(direct2d)' "$src/$qt_patch_file"
  # Installed with DESTDIR under the temporary folder and then moved: the
  # paths Qt writes into its CMake files are the final ones.
  nice -n 19 cmake -G Ninja -S "$src" -B "$tmp/qt-build" \
    -DCMAKE_TOOLCHAIN_FILE="$qt_toolchain" -DCMAKE_INSTALL_PREFIX="$qt_dir" "${qt_flags[@]}"
  step "Qt build"
  nice -n 19 ninja -C "$tmp/qt-build" -j2
  step "Qt install"
  DESTDIR="$tmp/qt-stage" cmake --install "$tmp/qt-build" >/dev/null
  # Called without QT_CHAINLOAD_TOOLCHAIN_FILE, qt.toolchain.cmake loads the
  # toolchain Qt was built with: a copy inside the install, not this
  # checkout's, which may be gone by then.
  cmake_dir="$tmp/qt-stage$qt_dir/lib/cmake/Qt6"
  cp "$qt_toolchain" "$cmake_dir/mingw-qt.cmake"
  sed -i "s|\"$qt_toolchain\"|\"\${CMAKE_CURRENT_LIST_DIR}/mingw-qt.cmake\"|" "$cmake_dir/qt.toolchain.cmake"
  # shellcheck disable=SC2016  # the text CMake expands, not the shell
  grep -q -F '"${CMAKE_CURRENT_LIST_DIR}/mingw-qt.cmake"' "$cmake_dir/qt.toolchain.cmake"
  # The build tree is some 2.3 GB; the install is about 100 MB.
  rm -rf "$tmp/qt-build" "$src"
  mv "$tmp/qt-stage$qt_dir" "$qt_dir"
  write_stamp "$qt_dir" qt6-base "$qt_version" "$qt_hash"
fi

report
