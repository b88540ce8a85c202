#!/usr/bin/env python3
"""A source that builds as it is, and is refused by the compiler once a
macro is defined, with the given words in the error.

Usage: check_refused.py <source> <macro> <expected words> <c++ compiler> <flags>...
"""
import subprocess
import sys


def compile_source(compiler, flags, source, extra):
    run = subprocess.run([compiler, '-std=c++20', '-fsyntax-only', *flags, *extra, source],
                         capture_output=True, text=True)
    return run.returncode == 0, run.stderr


def main():
    source, macro, expected, compiler = sys.argv[1:5]
    flags = sys.argv[5:]
    built, errors = compile_source(compiler, flags, source, [])
    if not built:
        print(f'{source} does not build as it is:\n{errors[:2000]}')
        return 1
    built, errors = compile_source(compiler, flags, source, ['-D' + macro])
    if built:
        print(f'{source} still builds with {macro}')
        return 1
    if expected not in errors:
        print(f'{source} with {macro} fails, but not over "{expected}":\n{errors[:2000]}')
        return 1
    print(f'{source}: builds, and with {macro} is refused over "{expected}"')
    return 0


if __name__ == '__main__':
    sys.exit(main())
