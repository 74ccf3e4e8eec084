#!/usr/bin/env python3
"""Checks that a built gpukernelpack needs libc alone and exports its one entry point only.

Usage: library_symbols_check.py --readelf <readelf> <library>
Prints the offending symbols and exits with 1 when the library breaks either rule.
"""

import argparse
import re
import subprocess
import sys
from typing import List, NamedTuple

ENTRY_POINT = "GetOvxGPUKernelBinaryPtr"
# Weak, unversioned hooks that the toolchain's start-up files reference in every shared
# object; they stay unresolved unless a profiler or transactional-memory runtime is loaded.
STARTUP_WEAK_HOOKS = {"__gmon_start__", "_ITM_registerTMCloneTable", "_ITM_deregisterTMCloneTable"}

_SYMBOL_LINE = re.compile(
    r"^\s*\d+:\s+[0-9a-fA-F]+\s+\S+\s+(?P<type>\S+)\s+(?P<bind>\S+)\s+\S+\s+(?P<ndx>\S+)"
    r"(?:\s+(?P<name>\S+))?")
_NEEDED_LINE = re.compile(r"\(NEEDED\)\s+Shared library: \[(?P<library>[^\]]+)\]")


class DynamicSymbol(NamedTuple):
    name: str
    type: str
    bind: str
    undefined: bool


def dynamic_symbols(readelf: str, library: str) -> List[DynamicSymbol]:
    output = subprocess.run([readelf, "--dyn-syms", "--wide", library], check=True,
                            capture_output=True, text=True).stdout
    symbols = []
    for line in output.splitlines():
        match = _SYMBOL_LINE.match(line)
        if match and match.group("name"):
            symbols.append(DynamicSymbol(match.group("name"), match.group("type"),
                                         match.group("bind"), match.group("ndx") == "UND"))
    return symbols


def needed_libraries(readelf: str, library: str) -> List[str]:
    output = subprocess.run([readelf, "--dynamic", "--wide", library], check=True,
                            capture_output=True, text=True).stdout
    return [match.group("library") for match in _NEEDED_LINE.finditer(output)]


def problems(symbols: List[DynamicSymbol], needed: List[str]) -> List[str]:
    found = [f"needs {name}" for name in needed if not re.fullmatch(r"libc\.so\.\d+", name)]
    if not needed:
        found.append("needs no libc")
    for symbol in symbols:
        if symbol.undefined:
            from_libc = "@GLIBC_" in symbol.name
            startup_hook = symbol.bind == "WEAK" and symbol.name in STARTUP_WEAK_HOOKS
            if not (from_libc or startup_hook):
                found.append(f"undefined {symbol.name} does not come from libc")
        elif symbol.bind in ("GLOBAL", "WEAK", "UNIQUE"):
            if symbol.name != ENTRY_POINT or symbol.type != "FUNC":
                found.append(f"exports {symbol.type} {symbol.name}")
    exported = [s for s in symbols if not s.undefined and s.name == ENTRY_POINT]
    if len(exported) != 1:
        found.append(f"exports {ENTRY_POINT} {len(exported)} times")
    return found


def main(argv: List[str]) -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--readelf", required=True)
    parser.add_argument("library")
    args = parser.parse_args(argv)
    found = problems(dynamic_symbols(args.readelf, args.library),
                     needed_libraries(args.readelf, args.library))
    for problem in found:
        print(f"{args.library}: {problem}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
