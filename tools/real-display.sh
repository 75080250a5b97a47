#!/usr/bin/env bash
# A virtual X display with a window manager for the window tests whose
# result depends on focus, the caret, painting or window activation:
#   real-display.sh start DIR   starts Xvfb and openbox, writes DIR/display
#   real-display.sh stop DIR    stops them
# DIR/display holds ":N" when the display is up, or the reason why there is
# none; the tests read it and skip with that reason. Starting never fails
# the run: a machine without Xvfb skips those tests instead.
set -u
command=${1:?usage: real-display.sh start|stop DIR}
dir=${2:?usage: real-display.sh start|stop DIR}
mkdir -p "$dir"

stop() {
  if [ -f "$dir/pids" ]; then
    while read -r pid; do kill "$pid" 2>/dev/null; done <"$dir/pids"
    rm -f "$dir/pids"
  fi
}

case "$command" in
  stop)
    stop
    rm -f "$dir/display"
    exit 0
    ;;
  start) ;;
  *)
    echo "usage: real-display.sh start|stop DIR" >&2
    exit 2
    ;;
esac

stop
rm -f "$dir/display" "$dir/number"
if ! command -v Xvfb >/dev/null; then
  echo "no real display: Xvfb is not installed (package xvfb)" >"$dir/display"
  cat "$dir/display"
  exit 0
fi
if ! command -v openbox >/dev/null; then
  echo "no real display: openbox is not installed (package openbox)" >"$dir/display"
  cat "$dir/display"
  exit 0
fi

# Xvfb picks a free display itself and writes its number to the descriptor
# once it accepts connections: no fixed number to collide with, no polling
# of the socket.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/number" >"$dir/xvfb.log" 2>&1 &
echo $! >"$dir/pids"
for _ in $(seq 100); do
  [ -s "$dir/number" ] && break
  kill -0 "$(head -n 1 "$dir/pids")" 2>/dev/null || break
  sleep 0.1
done
if [ ! -s "$dir/number" ]; then
  stop
  echo "no real display: Xvfb did not start within 10 s (see $dir/xvfb.log)" >"$dir/display"
  cat "$dir/display"
  exit 0
fi
display=":$(tr -d '[:space:]' <"$dir/number")"

# The window manager activates the windows and gives them focus; the tests
# wait for that themselves, with their own bound.
DISPLAY=$display openbox --sm-disable >"$dir/openbox.log" 2>&1 &
echo $! >>"$dir/pids"
# Ready once it has announced itself on the root window (bounded: 20 s;
# xprop is in x11-utils, which ./run installs).
command -v xprop >/dev/null && for _ in $(seq 200); do
  DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
echo "$display" >"$dir/display"
echo "real display $display with openbox"
