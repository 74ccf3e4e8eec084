"""Reads the kernel table: which kernels each kernel-binary type holds, in order."""

import re
from dataclasses import dataclass
from typing import List, Tuple

_BRACE_GROUP = re.compile(r"\{([^{}]*)\}")
_NAME = re.compile(r"[A-Za-z0-9_]+")


class TableError(Exception):
    """The table text does not describe a valid kernel table."""


@dataclass(frozen=True)
class KernelType:
    number: int
    kernels: Tuple[str, ...]


def expand_names(pattern: str) -> List[str]:
    """Expands the brace groups of one name, leftmost group outermost."""
    match = _BRACE_GROUP.search(pattern)
    if match is None:
        if not _NAME.fullmatch(pattern):
            raise TableError(f"invalid kernel name {pattern!r}")
        return [pattern]
    head, tail = pattern[: match.start()], pattern[match.end():]
    names = []
    for alternative in match.group(1).split(","):
        if not alternative:
            raise TableError(f"empty alternative in {pattern!r}")
        names.extend(expand_names(head + alternative + tail))
    return names


@dataclass
class _PendingType:
    number: int
    declared_count: int
    line_number: int
    patterns: List[str]

    def finish(self) -> KernelType:
        names = [name for pattern in self.patterns for name in expand_names(pattern)]
        if len(names) != self.declared_count:
            raise TableError(
                f"line {self.line_number}: type {self.number} declares "
                f"{self.declared_count} kernels but lists {len(names)}")
        if len(set(names)) != len(names):
            raise TableError(f"line {self.line_number}: type {self.number} repeats a kernel")
        return KernelType(self.number, tuple(names))


def _parse_int(text: str, line_number: int) -> int:
    if not text.isdigit():
        raise TableError(f"line {line_number}: expected a number, found {text!r}")
    return int(text)


def parse_table(text: str) -> List[KernelType]:
    """Parses the table text into its types, numbered 0, 1, 2, ... without gaps."""
    pending: List[_PendingType] = []
    for line_number, line in enumerate(text.splitlines(), start=1):
        content = line.split("#", 1)[0]
        fields = content.split()
        if not fields:
            continue
        if content[0].isspace():
            if not pending:
                raise TableError(f"line {line_number}: continuation before the first type")
            pending[-1].patterns.extend(fields)
            continue
        if len(fields) < 3:
            raise TableError(f"line {line_number}: expected '<type> <count> <names>'")
        number = _parse_int(fields[0], line_number)
        if number != len(pending):
            raise TableError(f"line {line_number}: type {number} where {len(pending)} belongs")
        count = _parse_int(fields[1], line_number)
        pending.append(_PendingType(number, count, line_number, fields[2:]))
    if not pending:
        raise TableError("the table declares no types")
    return [entry.finish() for entry in pending]


def read_table(path: str) -> List[KernelType]:
    with open(path, encoding="ascii") as table_file:
        return parse_table(table_file.read())
