#!/usr/bin/env python3
"""Compiles every source of the library, the hosts and the installer for syntax
only, with the build's own flags (warnings as errors), and prints what the
compiler reports. Usage: warnings.py compile_commands.json

It checks in seconds what the long stages would otherwise find only after
minutes of building; warnings that need the optimiser are still caught there,
since every preset treats warnings as errors."""
import concurrent.futures
import json
import os
import shlex
import subprocess
import sys


def syntax_only(entry):
    args = shlex.split(entry["command"])
    kept = []
    skip = False
    for arg in args:
        if skip:
            skip = False
        elif arg == "-o":
            skip = True
        else:
            kept.append(arg)
    kept.insert(1, "-fsyntax-only")
    result = subprocess.run(kept, cwd=entry["directory"], capture_output=True, text=True)
    return result.returncode, result.stderr


def main():
    with open(sys.argv[1]) as commands:
        entries = json.load(commands)
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        results = list(pool.map(syntax_only, entries))
    failed = [stderr for code, stderr in results if code != 0]
    for stderr in failed:
        sys.stdout.write(stderr)
    print(f"{len(entries)} files compiled, {len(failed)} with warnings or errors")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
