#!/usr/bin/env python3
"""Fails when a portable file includes a header of the Win32 shell.

The rooms file names each folder portable or shell. A portable folder may
hold files of the shell too (a program's Win32 side beside its core); the
rooms file lists them by name pattern after the folder. A portable file
must include no Windows header, no "*_win.h" and no header that is the
shell's; the shell may include anything.

Usage: check-includes.py ROOT ROOMS_FILE
"""

import fnmatch
import os
import re
import sys

SOURCE_ENDINGS = (".h", ".hpp", ".c", ".cc", ".cpp", ".inc")

# The platform's headers that only a Win32 build can include.
WINDOWS_HEADERS = {
    "windows.h", "windef.h", "winbase.h", "winuser.h", "wingdi.h", "winnt.h", "winerror.h", "winreg.h",
    "winsock.h", "winsock2.h", "ws2tcpip.h", "windns.h", "iphlpapi.h", "commctrl.h", "commdlg.h", "richedit.h",
    "windowsx.h", "winspool.h", "shlobj.h", "shellapi.h", "shlwapi.h", "objbase.h", "ole2.h", "oleauto.h",
    "netfw.h", "ddeml.h", "mmsystem.h", "tlhelp32.h", "winioctl.h", "setupapi.h", "psapi.h", "process.h",
    "io.h", "tchar.h", "sti.h", "usbscan.h", "comdef.h", "wincrypt.h", "winver.h", "icm.h",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def read_rooms(path):
    """[(folder, kind, shell patterns)], longest folder first."""
    rooms = []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if len(words) < 2 or words[1] not in ("portable", "shell") or (words[1] == "shell" and len(words) > 2):
                sys.exit(f"{path}:{number}: expected 'FOLDER portable [SHELL-FILE-PATTERN...]' or 'FOLDER shell'")
            rooms.append((words[0].strip("/"), words[1], words[2:]))
    return sorted(rooms, key=lambda room: len(room[0]), reverse=True)


def room_of(relative, rooms):
    for room in rooms:
        if relative == room[0] or relative.startswith(room[0] + "/"):
            return room
    return None


def is_shell(relative, rooms):
    folder, kind, patterns = room_of(relative, rooms)
    if kind == "shell":
        return True
    name = os.path.basename(relative)
    if re.search(r"_win(32)?\.[a-z]+$", name):
        return True
    inside = relative[len(folder) + 1:]
    return any(fnmatch.fnmatchcase(inside, pattern) or fnmatch.fnmatchcase(name, pattern) for pattern in patterns)


def collect(root, rooms):
    files = []
    for folder, _, _ in rooms:
        for directory, _, names in os.walk(os.path.join(root, folder)):
            for name in names:
                if name.endswith(SOURCE_ENDINGS):
                    relative = os.path.relpath(os.path.join(directory, name), root).replace(os.sep, "/")
                    if room_of(relative, rooms)[0] == folder:
                        files.append(relative)
    return sorted(files)


def resolve(including, included, by_name):
    """The files a quoted include may name: beside the includer first."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), included)).replace(os.sep, "/")
    if beside in by_name.get(os.path.basename(included), []):
        return [beside]
    candidates = [path for path in by_name.get(os.path.basename(included), []) if path.endswith(included)]
    program = including.split("/", 1)[0]
    same_program = [path for path in candidates if path.split("/", 1)[0] == program]
    return same_program or candidates


def violations(root, rooms):
    files = collect(root, rooms)
    by_name = {}
    for path in files:
        by_name.setdefault(os.path.basename(path), []).append(path)
    found = []
    for path in files:
        if is_shell(path, rooms):
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, included = match.groups()
                name = os.path.basename(included)
                if name.lower() in WINDOWS_HEADERS:
                    found.append(f"{path}:{number}: includes the Windows header <{included}>")
                elif re.search(r"_win(32)?\.h(pp)?$", name):
                    found.append(f"{path}:{number}: includes the shell header \"{included}\"")
                elif bracket == '"':
                    targets = resolve(path, included, by_name)
                    if targets and all(is_shell(target, rooms) for target in targets):
                        found.append(f"{path}:{number}: includes \"{included}\" of the shell ({targets[0]})")
    return found


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1])
    root, rooms_file = sys.argv[1], sys.argv[2]
    rooms = read_rooms(rooms_file)
    for folder, _, _ in rooms:
        if not os.path.isdir(os.path.join(root, folder)):
            sys.exit(f"{rooms_file}: no folder {folder}")
    found = violations(root, rooms)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} includes of the shell from portable files")
        return 1
    print("no portable file includes the shell")
    return 0


if __name__ == "__main__":
    sys.exit(main())
