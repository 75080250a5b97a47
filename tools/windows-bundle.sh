#!/usr/bin/env bash
# windows-bundle.sh BUILD: from a finished Windows build, the portable zip,
# the relink kit that the statically linked Qt's licence asks for, and the
# NSIS installer, all in BUILD/package/. Prints the installer's path.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
app_id=$(sed -n 's/^set(QUOR_APP_ID \(.*\))$/\1/p' "$here/CMakeLists.txt")
[ -n "$version" ] && [ -n "$app_id" ] || { echo "windows-bundle: no version or id in $build" >&2; exit 1; }

out="$build/package"
name="zkm-maintenance-$version-windows-x64"
bundle="$out/$name"
rm -rf "$out"
mkdir -p "$bundle/licences"
for exe in app/zkm-maintenance.exe tools/qbk.exe; do
  x86_64-w64-mingw32-strip -o "$bundle/$(basename "$exe")" "$build/$exe"
done
cp "$here/packaging/windows/THIRD-PARTY-NOTICES.txt" "$bundle/"
for licence in LGPL-3 GPL-3; do cp "/usr/share/common-licenses/$licence" "$bundle/licences/$licence.txt"; done
(cd "$out" && zip -qr9 "$name.zip" "$name")

# The relink kit: the program's own objects and libraries and its link
# command, with the Qt they were linked against replaced by $QT_PREFIX.
kit="$out/$name-relink"
mkdir -p "$kit/objects"
link=$(ninja -C "$build" -t commands app/zkm-maintenance.exe | tail -n 1)
qt_prefix=$(sed -n 's/^Qt6_DIR:PATH=\(.*\)\/lib\/cmake\/Qt6$/\1/p' "$build/CMakeCache.txt")
args=()
command=${link#*&& }
command=${command% && :}
for word in $command; do
  case "$word" in
    -Wl,--out-implib,*) ;;
    -*) args+=("$word") ;;
    "$qt_prefix"/*) args+=("\$QT_PREFIX${word#"$qt_prefix"}") ;;
    *.obj | *.res | *.a)
      if [ -e "$build/$word" ]; then
        mkdir -p "$kit/objects/$(dirname "$word")"
        cp "$build/$word" "$kit/objects/$word"
        args+=("objects/$word")
      else
        mkdir -p "$kit/objects/system"
        cp "$word" "$kit/objects/system/"
        args+=("objects/system/$(basename "$word")")
      fi
      ;;
    app/zkm-maintenance.exe) args+=(zkm-maintenance.exe) ;;
    *) args+=("$word") ;;
  esac
done
{
  echo '#!/bin/sh'
  echo '# Links zkm-maintenance.exe again, with the static Qt 6.4 for mingw-w64 in'
  echo '# $QT_PREFIX (built as tools/windows-deps.sh builds it, from a modified'
  echo '# source if you wish). Run it in this folder.'
  echo 'set -e'
  echo ': "${QT_PREFIX:?set QT_PREFIX to your Qt build}"'
  printf '%s \\\n' "${args[@]}" | sed '$ s/ \\$//'
} >"$kit/relink.sh"
chmod +x "$kit/relink.sh"
(cd "$out" && zip -qr9 "$name-relink.zip" "$name-relink")

makensis -V2 -DVERSION="$version" -DAPP_ID="$app_id" -DBUNDLE="$bundle" \
  -DICON="$build/resources/icons/$app_id.ico" -DOUTFILE="$out/$name-setup.exe" \
  "$here/packaging/windows/installer.nsi" >&2
echo "$out/$name-setup.exe"
