"""tools/mutate's parts: the C++ reader (lexer, structure), the fault
operators, the rooms and the equivalents list, the scratch trees, the runner
that builds and tests each fault, and the reports. Standard library only:
it must run on Debian's python3 with nothing installed beside it.
"""
