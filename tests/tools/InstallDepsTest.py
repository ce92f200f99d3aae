#!/usr/bin/python3
"""tools/install-deps against stand-ins for apt-get, dpkg, dpkg-query, sudo
and id on PATH, one row a day the package manager can have: everything there
already, a mirror in mid-sync (one index fails), an install refused until the
release's own suite is preferred, an install refused for good, no network, and
a normal user with and without sudo. Each row says what must be printed, what
the status is, and which calls the package manager saw; nothing is installed.

    InstallDepsTest.py
"""
import os
import shutil
import subprocess
import tempfile
import textwrap
import unittest
from pathlib import Path

SCRIPT = Path(__file__).resolve().parents[2] / "tools" / "install-deps"

# The stand-ins read what the row wants from the environment and write every
# call they take to calls.txt, so a row can say what was asked and in what
# order.
STANDINS = {
    "dpkg": """
        echo "dpkg $*" >>"$STANDIN/calls.txt"
        case "$1" in
            --print-foreign-architectures) [ -e "$STANDIN/i386" ] && echo i386; exit 0 ;;
            --add-architecture) touch "$STANDIN/i386"; exit 0 ;;
        esac
        exit 2
        """,
    "dpkg-query": """
        package=${@: -1}
        if [ "$INSTALLED" = all ] || grep -qx "$package" "$STANDIN/installed" 2>/dev/null; then
            echo -n "install ok installed"
        else
            echo "dpkg-query: no packages found matching $package" >&2
            exit 1
        fi
        """,
    "apt-get": """
        echo "apt-get $*" >>"$STANDIN/calls.txt"
        case "$*" in
        update)
            case "$UPDATE" in
            ok) echo "Hit:1 http://deb.example/debian bookworm InRelease" ;;
            partly)
                echo "Get:1 http://deb.example/debian bookworm/main amd64 Packages [8682 kB]"
                echo "Err:6 http://deb.example/debian-security bookworm-security/main i386 Packages"
                echo "  File has unexpected size (374820 != 376004). Mirror sync in progress?"
                echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size"
                echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
                exit 100 ;;
            offline)
                echo "Err:1 http://deb.example/debian bookworm InRelease"
                echo "  Temporary failure resolving 'deb.example'"
                echo "W: Failed to fetch http://deb.example/debian/dists/bookworm/InRelease  Temporary failure resolving 'deb.example'"
                echo "W: Some index files failed to download. They have been ignored, or old ones used instead."
                exit 100 ;;
            esac ;;
        *install*)
            case "$INSTALL" in
            ok) exit 0 ;;
            suite)
                case "$*" in *"-t bookworm"*) exit 0 ;; esac
                echo "E: Unable to correct problems, you have held broken packages."
                exit 100 ;;
            never)
                echo "Reading package lists..."
                echo "E: Unable to locate package wine32:i386"
                exit 100 ;;
            esac ;;
        esac
        """,
    "sudo": """
        echo "sudo $1" >>"$STANDIN/calls.txt"
        exec "$@"
        """,
    "id": """
        echo "$USER_ID"
        """,
}

# What the script itself runs besides the stand-ins, taken from this machine,
# so that PATH holds nothing else (no real sudo or apt-get can answer).
TOOLS = ["bash", "env", "grep", "sed", "sort", "paste", "cut", "mktemp", "cat", "rm", "touch"]

INSTALL = "apt-get install -y --no-install-recommends"

# (row, environment of the stand-ins, status, what must be printed, calls the package manager saw)
ROWS = [
    ("everything there already: nothing asked, nothing printed",
     dict(INSTALLED="all", I386="1", UPDATE="ok", INSTALL="ok"), 0,
     [], ["dpkg --print-foreign-architectures"]),
    ("a fresh machine: the architecture added, the lists updated once, all installed at once",
     dict(UPDATE="ok", INSTALL="ok"), 0,
     ["Adding the i386 architecture for 32-bit Wine ... done", "Updating the package lists ... done",
      "Installing "],
     ["dpkg --print-foreign-architectures", "dpkg --add-architecture i386", "apt-get update", INSTALL]),
    ("a mirror in mid-sync: the failed index named in one line, and on",
     dict(I386="1", UPDATE="partly", INSTALL="ok"), 0,
     ["Updating the package lists ... done, but for an index that failed (a mirror in mid-sync?), going on "
      "without it: http://deb.example/debian-security bookworm-security/main i386 Packages"],
     ["dpkg --print-foreign-architectures", "apt-get update", INSTALL]),
    ("an install refused until the release's own suite is preferred: said in one line, then done",
     dict(I386="1", UPDATE="partly", INSTALL="suite"), 0,
     ["failed; trying once more preferring bookworm's own packages (-t bookworm)",
      "from bookworm ... done"],
     ["dpkg --print-foreign-architectures", "apt-get update", INSTALL, INSTALL + " -t bookworm"]),
    ("an install refused for good: the package manager's reason and the log, and a failure",
     dict(I386="1", UPDATE="ok", INSTALL="never"), 1,
     ["from bookworm ... failed", "  E: Unable to locate package wine32:i386",
      "The package manager's output is in "],
     ["dpkg --print-foreign-architectures", "apt-get update", INSTALL, INSTALL + " -t bookworm"]),
    ("no network: no index at all, stopped before any install",
     dict(I386="1", UPDATE="offline", INSTALL="ok"), 1,
     ["Updating the package lists ... failed", "No package index could be fetched: is the network reachable?",
      "The package manager's output is in "],
     ["dpkg --print-foreign-architectures", "apt-get update"]),
    ("a normal user with sudo: every change through it",
     dict(I386="1", USER_ID="1000", SUDO="1", UPDATE="ok", INSTALL="ok"), 0,
     ["Installing "],
     ["dpkg --print-foreign-architectures", "sudo apt-get", "apt-get update", "sudo env", INSTALL]),
    ("a normal user without sudo: what is missing and how to get it, and a failure",
     dict(I386="1", USER_ID="1000", UPDATE="ok", INSTALL="ok"), 1,
     ["installing them needs root", "run this again as root, or install sudo"],
     ["dpkg --print-foreign-architectures"]),
]


class InstallDepsTest(unittest.TestCase):
    def run_row(self, env):
        with tempfile.TemporaryDirectory() as folder:
            folder = Path(folder)
            bin_ = folder / "bin"
            bin_.mkdir()
            for name, body in STANDINS.items():
                if name == "sudo" and not env.get("SUDO"):
                    continue
                path = bin_ / name
                path.write_text("#!/bin/bash\n" + textwrap.dedent(body))
                path.chmod(0o755)
            for tool in TOOLS:
                (bin_ / tool).symlink_to(shutil.which(tool))
            if env.get("I386"):
                (folder / "i386").touch()
            (folder / "os-release").write_text("ID=debian\nVERSION_CODENAME=bookworm\n")
            result = subprocess.run(
                [str(bin_ / "bash"), str(SCRIPT)], capture_output=True, text=True, timeout=60,
                env={"PATH": str(bin_), "STANDIN": str(folder), "USER_ID": env.get("USER_ID", "0"),
                     "INSTALLED": env.get("INSTALLED", ""), "UPDATE": env["UPDATE"],
                     "INSTALL": env["INSTALL"], "LUMIVANE_DEPS_LOG": str(folder / "install.log"),
                     "LUMIVANE_OS_RELEASE": str(folder / "os-release"), "TMPDIR": str(folder)})
            calls = (folder / "calls.txt").read_text() if (folder / "calls.txt").exists() else ""
            return result, calls

    def test_rows(self):
        for row, env, status, printed, calls in ROWS:
            with self.subTest(row):
                result, seen = self.run_row(env)
                said = result.stdout + result.stderr
                self.assertEqual(result.returncode, status, said)
                for text in printed:
                    self.assertIn(text, said)
                if not printed:
                    self.assertEqual(said, "")
                # In order, each call once at least; nothing installed after a refusal for good.
                position = 0
                for call in calls:
                    found = seen.find(call, position)
                    self.assertGreaterEqual(found, 0, f"{call!r} not asked (in order) of:\n{seen}")
                    position = found + len(call)
                self.assertEqual(seen.count("apt-get install"), sum(INSTALL in c for c in calls), seen)


if __name__ == "__main__":
    unittest.main()
