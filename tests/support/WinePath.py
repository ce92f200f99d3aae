# The path a Windows program under Wine is given for a Linux path: Wine sees
# the Linux root as drive Z:.
import os


def windows_path(path):
    return "Z:" + os.path.abspath(str(path)).replace("/", "\\")
