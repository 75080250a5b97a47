#!/usr/bin/env python3
"""progress-check.py QBK: qbk's progress line on a terminal (a pseudo-
terminal here), silenced by -q, and absent when stderr is not a terminal."""
import os
import pty
import subprocess
import sys
import tempfile

qbk = sys.argv[1]


def on_terminal(args):
    """Runs qbk with stderr on a pseudo-terminal; (exit code, what it wrote there)."""
    controller, terminal = pty.openpty()
    process = subprocess.Popen([qbk] + args, stdout=subprocess.DEVNULL, stderr=terminal)
    os.close(terminal)
    written = b""
    while True:
        try:
            chunk = os.read(controller, 4096)
        except OSError:  # the terminal's other end is closed
            break
        if not chunk:
            break
        written += chunk
    os.close(controller)
    return process.wait(), written.decode()


def check(condition, what):
    if not condition:
        print("FAILED:", what)
        sys.exit(1)


with tempfile.TemporaryDirectory() as work:
    data = os.path.join(work, "data")
    os.makedirs(os.path.join(data, "sub"))
    for i in range(4):
        with open(os.path.join(data, "sub" if i % 2 else "", "f%d.bin" % i), "wb") as f:
            f.write(os.urandom(1 << 20))
    archive = os.path.join(work, "set.qbk")

    code, shown = on_terminal(["create", "--volume-size", "1M", archive, data])
    check(code == 0, "create on a terminal: exit %d, %r" % (code, shown))
    check(shown.startswith("\rqbk: ") and "MB/s" in shown and shown.endswith("\n"),
          "create shows one progress line: %r" % shown)
    check(shown.count("\n") == 1 and "100%" in shown, "it ends at 100%% on one line: %r" % shown)

    code, shown = on_terminal(["test", archive])
    check(code == 0 and "100%" in shown and shown.count("\n") == 1, "test's progress: %r" % shown)

    code, shown = on_terminal(["extract", archive, os.path.join(work, "out")])
    check(code == 0 and "100%" in shown, "extract's progress: %r" % shown)

    code, shown = on_terminal(["test", "-q", archive])
    check(code == 0 and shown == "", "-q silences it: %r" % shown)

    piped = subprocess.run([qbk, "test", archive], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    check(piped.returncode == 0 and piped.stderr == b"", "nothing when stderr is a pipe: %r" % piped.stderr)
print("progress checked")
