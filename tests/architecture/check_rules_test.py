#!/usr/bin/env python3
"""The architecture check on small trees of its own: it must refuse a file at the root of platform/, an include
between launcher/ and app/ either way (even with a reason given), and a loop between platform's rooms."""
import os
import shutil
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "architecture.py")
DOC = "# Graph\n\n<!-- folder graph: drawn by scripts/architecture.py, do not edit by hand -->\n<!-- end of folder graph -->\n"


def check(files):
    """Runs the check on a tree of the given files ({path under src: text}); returns (exit code, messages)."""
    root = tempfile.mkdtemp(prefix="zorvel-architecture-")
    try:
        os.makedirs(os.path.join(root, "scripts"))
        os.makedirs(os.path.join(root, "docs"))
        shutil.copy(SCRIPT, os.path.join(root, "scripts", "architecture.py"))
        with open(os.path.join(root, "docs", "architecture.md"), "w") as f:
            f.write(DOC)
        for path, text in files.items():
            full = os.path.join(root, "src", path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w") as f:
                f.write(text)
        script = os.path.join(root, "scripts", "architecture.py")
        subprocess.run([sys.executable, script], capture_output=True, text=True)  # draw first
        done = subprocess.run([sys.executable, script, "--check"], capture_output=True, text=True)
        return done.returncode, done.stdout + done.stderr
    finally:
        shutil.rmtree(root)


failures = []
cases = 0


def expect(name, files, ok, words=""):
    global cases
    cases += 1
    code, said = check(files)
    if (code == 0) != ok or (words and words not in said):
        failures.append(f"{name}: exit {code}, said: {said.strip()!r}")


base = {"platform/host/a.h": "", "platform/window/w.h": '#include "platform/host/a.h"\n',
        "game/g.h": '#include "platform/window/w.h"\n'}
expect("a tree that keeps the rules", base, True)
expect("a file at the root of platform/", {**base, "platform/backend.h": '#include "platform/window/w.h"\n'},
       False, "root of platform/")
expect("the launcher including the game's program",
       {**base, "app/a.h": '#include "game/g.h"\n', "launcher/l.h": '#include "app/a.h"  // upward: a reason\n'},
       False, "launcher/ includes app/")
expect("the game's program including the launcher",
       {**base, "launcher/l.h": "", "app/a.h": '#include "launcher/l.h"  // upward: a reason\n'},
       False, "app/ includes launcher/")
# A room that includes one above it (and so closes a loop) is refused, by name.
expect("a loop between platform's rooms",
       {**base, "platform/timer/t.h": '#include "platform/window/w.h"\n',
        "platform/host/b.h": '#include "platform/timer/t.h"  // upward: would hide nothing\n',
        "platform/window/x.h": '#include "platform/timer/t.h"\n'},
       False, "window/")
expect("the backend contract below every room",
       {**base, "platform/backend/backend.h": "", "platform/host/c.h": '#include "platform/backend/backend.h"\n'},
       True)

for f in failures:
    print("FAIL", f)
print(f"architecture rules: {cases} cases checked, {len(failures)} failed")
sys.exit(1 if failures else 0)
