#!/usr/bin/env python3
"""The floors hold: every include in src/ names its path from src/, and a
floor's include root lets it reach exactly the floors it stands on.

Usage: check_floors.py <source dir> <floor roots dir> <c++ compiler> [-I dir]...
The -I dirs are the include directories outside src/ (the hook library, the
watchdog, the generated version header) that any floor may use.
"""
import os
import re
import subprocess
import sys
import tempfile

# Each floor and the floors it may reach, itself included; written here
# apart from the build files, so that a build file that lets a floor climb
# is caught.
FLOORS = {
    'quillow_base': ['base'],
    'quillow_win': ['base', 'win'],
    'quillow_app': ['base', 'win', 'app'],
    'quillow_settings': ['base', 'win', 'app', 'settings'],
    'quillow_actions': ['base', 'win', 'app', 'actions'],
    'quillow_update': ['base', 'win', 'app', 'update'],
    'quillow_themed': ['base', 'win', 'ui/themed'],
    'quillow_ui': ['base', 'win', 'app', 'settings', 'actions', 'update', 'ui/themed', 'ui'],
    'quillow_threads': ['base', 'win', 'app', 'settings', 'actions', 'update', 'ui/themed', 'ui',
                        'threads'],
}
FOLDERS = FLOORS['quillow_threads']
# The floor whose own folder a folder is.
FLOORS_BY_FOLDER = {folders[-1]: floor for floor, folders in FLOORS.items()}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    """The floor folder a path from src/ lies in (ui/themed before ui)."""
    for folder in sorted(FOLDERS, key=len, reverse=True):
        if path.startswith(folder + '/'):
            return folder
    return None


def scan_includes(src, outside_dirs):
    """Every include in src/ is a path from src/ into a floor, res/, or a
    header of the hook library, the watchdog or the build; none climbs."""
    faults = []
    outside = {name for d in outside_dirs if os.path.isdir(d) for name in os.listdir(d)}
    outside.add('QuillowVersion.h')
    for dirpath, _, files in os.walk(src):
        for name in files:
            if not name.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(dirpath, name)
            own = folder_of(os.path.relpath(path, src)) or '.'
            for included in INCLUDE.findall(open(path, encoding='utf-8').read()):
                where = os.path.relpath(path, src)
                if '..' in included.split('/'):
                    faults.append(f'{where}: "{included}" climbs with ..')
                elif included.startswith('res/') or included in outside:
                    continue
                elif folder_of(included) is None:
                    faults.append(f'{where}: "{included}" does not name its path from src/')
                elif not os.path.exists(os.path.join(src, included)):
                    faults.append(f'{where}: "{included}" does not exist')
                elif own != '.' and own in FLOORS_BY_FOLDER and \
                        folder_of(included) not in FLOORS[FLOORS_BY_FOLDER[own]]:
                    faults.append(f'{where}: "{included}" is on a floor {own}/ does not stand on')
    return faults



def first_header(src, folder):
    names = sorted(n for n in os.listdir(os.path.join(src, folder)) if n.endswith('.h'))
    return f'{folder}/{names[0]}'


def compiles(compiler, flags, header):
    with tempfile.NamedTemporaryFile('w', suffix='.cpp', delete=False) as probe:
        probe.write(f'#include "{header}"\n')
    try:
        run = subprocess.run([compiler, '-std=c++20', '-fsyntax-only', '-DUNICODE', '-D_UNICODE',
                              '-DWIN32_LEAN_AND_MEAN', '-DNOMINMAX', *flags, probe.name],
                             capture_output=True, text=True)
        return run.returncode == 0, run.stderr
    finally:
        os.unlink(probe.name)


def check_roots(src, roots, compiler, outside_flags):
    """From each floor's root, one header of every floor: the ones it stands
    on compile, every other one is not found."""
    faults = []
    for floor, reachable in FLOORS.items():
        root = os.path.join(roots, floor)
        if not os.path.isdir(root):
            faults.append(f'{floor}: no include root at {root}')
            continue
        for folder in FOLDERS:
            header = first_header(src, folder)
            ok, errors = compiles(compiler, ['-I' + root, *outside_flags], header)
            if folder in reachable and not ok:
                faults.append(f'{floor} cannot include {header}:\n{errors[:600]}')
            if folder not in reachable and (ok or 'No such file' not in errors):
                faults.append(f'{floor} reaches {header}, a floor it does not stand on')
    return faults


def main():
    src, roots, compiler = sys.argv[1:4]
    outside_flags = sys.argv[4:]
    outside_dirs = [flag[2:] for flag in outside_flags if flag.startswith('-I')]
    faults = scan_includes(src, outside_dirs) + check_roots(src, roots, compiler, outside_flags)
    for fault in faults:
        print(fault)
    print(f'{len(faults)} fault(s) in the floors')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
