#!/usr/bin/env python3
"""Compiles every source of the tree (the library, the hosts, the installer,
the tests, the fuzz targets and the benchmarks) for syntax only, with the
build's own flags (warnings as errors), and prints what the compiler reports.
Usage: warnings.py [--jobs N] [--cache FILE] compile_commands.json

It checks in seconds what the long stages would otherwise find only after
minutes of building: a warning, an error, an include of a file that does not
exist. Warnings that need the optimiser are still caught there, since every
preset treats warnings as errors. Sources from outside the tree (GoogleTest's)
are left out, and a file compiled the same way for two targets is compiled
once. N compiles run at a time (default: one per core).

With --cache, FILE remembers each compile that passed without a word and the
files it read (the compiler's dependency list, system headers included, with
their times and sizes); the next run compiles again only what is new, what
failed, and what reads a file that has changed or gone since."""
import argparse
import concurrent.futures
import json
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

SOURCE_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def syntax_only_command(entry):
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
    return kept


def in_tree(entry):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    return os.path.commonpath([path, SOURCE_ROOT]) == SOURCE_ROOT


def stamp(path):
    try:
        status = os.stat(path)
    except OSError:
        return None
    return [status.st_mtime_ns, status.st_size]


def read_dependencies(depfile, directory):
    # Make syntax: "target: first second \<newline> third"; a space in a path
    # is written "\ ".
    with open(depfile) as text:
        body = text.read().replace("\\\n", " ")
    body = body[body.index(":") + 1:] if ":" in body else ""
    paths = []
    current = ""
    i = 0
    while i < len(body):
        c = body[i]
        if c == "\\" and body[i + 1:i + 2] == " ":
            current += " "
            i += 2
            continue
        if c.isspace():
            if current:
                paths.append(current)
            current = ""
        else:
            current += c
        i += 1
    if current:
        paths.append(current)
    return [os.path.normpath(os.path.join(directory, path)) for path in paths]


def still_passes(record):
    return record is not None and all(stamp(path) == seen for path, seen in record)


def compile_once(job):
    directory, command, depfile = job
    arguments = list(command)
    if depfile:
        arguments += ["-MD", "-MF", depfile]
    started = time.time_ns()
    result = subprocess.run(arguments, cwd=directory, capture_output=True, text=True)
    record = None
    if depfile and result.returncode == 0 and not result.stderr:
        compiler = shutil.which(arguments[0], path=os.environ.get("PATH")) or arguments[0]
        paths = [os.path.realpath(compiler)] + read_dependencies(depfile, directory)
        record = [[path, stamp(path)] for path in paths]
        # A file missing, or changed while (or just before) it was read, is
        # read again next time.
        if any(seen is None or seen[0] >= started - 1_000_000_000 for _, seen in record):
            record = None
    return result.returncode, result.stderr, record


def load_cache(path):
    try:
        with open(path) as cache:
            return {tuple(json.loads(key)): record for key, record in json.load(cache).items()}
    except (OSError, ValueError):
        return {}


def save_cache(path, passed):
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    with tempfile.NamedTemporaryFile("w", dir=folder, delete=False) as cache:
        json.dump({json.dumps(key): record for key, record in passed.items()}, cache)
    os.replace(cache.name, path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--jobs", type=int, default=os.cpu_count())
    parser.add_argument("--cache")
    parser.add_argument("commands")
    options = parser.parse_args()
    if options.jobs < 1:
        parser.error("--jobs must be at least 1")
    with open(options.commands) as commands:
        entries = json.load(commands)

    keys = list(dict.fromkeys((entry["directory"], *syntax_only_command(entry))
                              for entry in entries if in_tree(entry)))
    cached = load_cache(options.cache) if options.cache else {}
    passed = {key: cached[key] for key in keys if still_passes(cached.get(key))}
    todo = [key for key in keys if key not in passed]

    with tempfile.TemporaryDirectory() as depfiles:
        jobs = [(key[0], key[1:], os.path.join(depfiles, f"{n}.d") if options.cache else None)
                for n, key in enumerate(todo)]
        with concurrent.futures.ThreadPoolExecutor(options.jobs) as pool:
            results = list(pool.map(compile_once, jobs))
    failed = 0
    for key, (code, stderr, record) in zip(todo, results):
        sys.stdout.write(stderr)
        if code != 0:
            failed += 1
        elif record is not None:
            passed[key] = record
    if options.cache:
        save_cache(options.cache, passed)
    print(f"{len(keys)} files, {len(todo)} compiled ({len(keys) - len(todo)} unchanged since"
          f" they passed), {failed} with warnings or errors")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
