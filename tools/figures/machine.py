"""The machine the figures were taken on: processor, system, compilers and
the measuring tools' versions, so that a figure is never read without them.
"""
import datetime
import os
import platform
import subprocess
from pathlib import Path

from Markdown import heading, table

TARGETS = {}


def first_line(command):
    try:
        out = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True).stdout
        return out.strip().splitlines()[0] if out.strip() else "?"
    except OSError:
        return "not installed"


def section():
    model = next((line.split(":", 1)[1].strip() for line in Path("/proc/cpuinfo").read_text().splitlines()
                  if line.startswith("model name")), "?")
    info = {
        "CPU": model,
        "Cores": str(os.cpu_count()),
        "System": f"{platform.system()} {platform.release()}, {first_line(['sh', '-c', '. /etc/os-release; echo $PRETTY_NAME'])}",
        "Native compiler": first_line(["clang++", "--version"]),
        "Module compiler": first_line(["i686-w64-mingw32-g++-posix", "--version"]),
        "Google Benchmark": first_line(["dpkg-query", "-W", "-f=${Version}", "libbenchmark-dev"]),
        "Valgrind": first_line(["valgrind", "--version"]),
        "Wine": first_line(["wine", "--version"]),
        "Date": datetime.datetime.now().strftime("%Y-%m-%d %H:%M"),
    }
    return heading("Machine") + table(["", ""], list(info.items())) + [""]
