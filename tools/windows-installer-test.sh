#!/usr/bin/env bash
# windows-installer-test.sh SETUP VERSION APP-ID: in the Wine prefix of
# WINEPREFIX, installs silently, checks the files, the Start-menu entry and
# the entry in the list of installed programs, starts the installed
# program offscreen and qbk.exe, then uninstalls and waits until all of it
# is gone.
set -euo pipefail
setup=$1 version=$2 app_id=$3
name="ZKM Quorvane Maintenance Tools"
drive_c="$WINEPREFIX/drive_c"
dir="$drive_c/Program Files/$name"
link="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$name.lnk"
key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$app_id"
log=$(mktemp "${TMPDIR:-/tmp}/quorvane-installer-XXXXXX")
program=
cleanup() {
  [ -n "$program" ] && kill -KILL "$program" 2>/dev/null || true
  rm -f "$log"
}
trap cleanup EXIT
fail() { echo "installer test FAILED: $*" >&2; exit 1; }
running() { [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }

wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "the silent installation"
for file in zkm-maintenance.exe qbk.exe uninstall.exe THIRD-PARTY-NOTICES.txt licences/LGPL-3.txt; do
  [ -s "$dir/$file" ] || fail "$file is not installed"
done
[ -s "$link" ] || fail "no Start-menu entry"
wine reg query "$key" /v DisplayName </dev/null 2>/dev/null | grep -qF "$name" || fail "no entry in the installed programs"
wine reg query "$key" /v DisplayVersion </dev/null 2>/dev/null | grep -qF "$version" || fail "the entry has no version"

wine "$dir/qbk.exe" --version </dev/null 2>/dev/null | tr -d '\r' | grep -qxF "qbk $version" || fail "qbk.exe --version"

# Qt's own -platform argument: Wine does not pass QT_QPA_PLATFORM on.
wine "$dir/zkm-maintenance.exe" -platform offscreen </dev/null >"$log" 2>&1 &
program=$!
sleep 5
running "$program" || { cat "$log"; fail "the installed program ended by itself"; }
if grep -E "Qt platform plugin|Cannot load library|not found|err:module" "$log"; then
  fail "the installed program reported an error"
fi
wine taskkill /F /IM zkm-maintenance.exe </dev/null >/dev/null 2>&1 || kill -TERM "$program"
wait "$program" || true
program=

# The uninstaller copies itself away and returns at once: wait for it.
wine "$dir/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the silent uninstallation"
for _ in $(seq 60); do
  [ -e "$dir" ] || break
  sleep 1
done
[ -e "$dir" ] && fail "the program's folder is still there a minute after the uninstaller ran"
[ -e "$link" ] && fail "the Start-menu entry is still there"
wine reg query "$key" </dev/null >/dev/null 2>&1 && fail "the entry in the installed programs is still there"
echo "installer checked: installed, started, uninstalled"
