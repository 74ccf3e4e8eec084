#!/usr/bin/env python3
"""Runs a command as a child subreaper.

Usage: run_as_subreaper.py PROGRAM [ARGUMENTS...]

Tests that start daemons mark themselves as child subreapers so that the detached
daemon is re-parented to them and they can wait for its exit status. qemu-user
rejects that prctl with EINVAL, but the flag survives execve: this helper sets it
on the build machine and then becomes the emulator that runs the test.
"""
import ctypes
import os
import sys

PR_SET_CHILD_SUBREAPER = 36


def main() -> None:
    if len(sys.argv) < 2:
        sys.exit("usage: run_as_subreaper.py PROGRAM [ARGUMENTS...]")
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.exit("run_as_subreaper.py: prctl: " + os.strerror(ctypes.get_errno()))
    os.execvp(sys.argv[1], sys.argv[1:])


if __name__ == "__main__":
    main()
