#!/usr/bin/env python3
"""Writes a C++ source with every non-ASCII character spelled as octal escapes of its
Shift-JIS (CP932) bytes: what g++ makes of it with -fexec-charset=CP932, for compilers
that only know UTF-8 (clang, for the fuzzing build).

    sjis_escape.py IN.cpp OUT.cpp
"""
import os
import sys

source = open(sys.argv[1], encoding="utf-8").read()
out = "".join(ch if ord(ch) < 0x80 else "".join("\\%03o" % b for b in ch.encode("cp932"))
              for ch in source)
os.makedirs(os.path.dirname(os.path.abspath(sys.argv[2])), exist_ok=True)
open(sys.argv[2], "w", encoding="ascii").write(out)
