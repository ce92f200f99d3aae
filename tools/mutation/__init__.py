"""tools/mutate's parts: the C++ reader (cpp), the fault operators and the
mutants' ids (operators), the rooms, the equivalents list and what a run
takes (catalogue), the scratch trees and the builds and tests of each fault
(runner), and the reports. Standard library only: it must run on Debian's
python3 with nothing installed beside it.
"""
