#!/usr/bin/env bash
# check-package.sh BUILD MAKE-DEMO-KEY VERSION
# Makes the .deb from BUILD, checks it with lintian (errors fail), unpacks
# it into a throwaway root and runs what it installed from there.
set -euo pipefail
build=$1 make_demo_key=$2 version=$3

for tool in dpkg-deb dpkg-shlibdeps cpack lintian; do
  if ! command -v "$tool" >/dev/null; then
    echo "test skipped: $tool is missing (./run test installs dpkg-dev and lintian)"
    exit 0
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quorvane-package-XXXXXX")
program=
cleanup() {
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
# Whether a child still runs: an ended one stays a zombie until waited for.
running() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# No lintian errors; warnings are shown.
lintian --fail-on error "$deb" || fail "lintian reports errors"

# Every file and folder is root's.
owners=$(dpkg-deb --fsys-tarfile "$deb" | tar -tvf - | awk '{print $2}' | sort -u)
[ "$owners" = "root/root" ] || fail "owners in the package: $owners"
dpkg-deb -f "$deb" Depends | grep -q "qt6-qpa-plugins" || fail "no dependency on the platform plugins"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "no dependency found by dpkg-shlibdeps"

root="$work/root"
dpkg-deb -x "$deb" "$root"
for doc in copyright changelog.Debian.gz; do
  [ -s "$root/usr/share/doc/zkm-maintenance/$doc" ] || fail "no $doc"
done
for binary in "$root/usr/bin/zkm-maintenance" "$root/usr/bin/qbk"; do
  file "$binary" | grep -q ", stripped" || fail "$binary is not stripped"
  if ldd "$binary" | grep -q "not found"; then
    ldd "$binary"
    fail "$binary needs a library that is not there"
  fi
done

# qbk from the package: its version and a round trip.
"$root/usr/bin/qbk" --version | grep -qF "$version" || fail "qbk --version does not give $version"
mkdir -p "$work/data/sub"
head -c 300000 /dev/urandom >"$work/data/sub/a.bin"
printf 'text\n' >"$work/data/b.txt"
"$root/usr/bin/qbk" create --volume-size 65536 "$work/set.qbk" "$work/data" >/dev/null
"$root/usr/bin/qbk" test "$work/set.qbk" >/dev/null || fail "qbk test of what qbk made"
"$root/usr/bin/qbk" extract "$work/set.qbk" "$work/back"
diff -r "$work/data" "$work/back" || fail "the round trip changed the files"

# The program from the package, offscreen on the demo key: up for 5
# seconds with no plugin, library or sanitizer error (./run asan), and gone
# when told to end.
"$make_demo_key" "$work/key/E" "$work/key/samples" >/dev/null
printf 'drive\tE\tremovable\tQUORVANE\t%s\n' "$work/key/E" >"$work/drives.tab"
QT_QPA_PLATFORM=offscreen QUORVANE_DRIVE_TABLE="$work/drives.tab" "$root/usr/bin/zkm-maintenance" >"$work/program.log" 2>&1 &
program=$!
sleep 5
running "$program" || { cat "$work/program.log"; fail "the program ended by itself"; }
kill -TERM "$program"
for _ in $(seq 50); do
  running "$program" || break
  sleep 0.1
done
running "$program" && fail "the program did not end when told to"
wait "$program" || true
program=
if grep -E "Qt platform plugin|error while loading shared libraries|cannot open shared object|Cannot load library|Sanitizer|runtime error:" "$work/program.log"; then
  fail "the program reported a plugin, library or sanitizer error"
fi
echo "package checked"
