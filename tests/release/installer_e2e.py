#!/usr/bin/env python3
"""The setup program, run silently under Wine in the build's test session:

- installs the program into Program Files, a desktop and a Start-menu
  shortcut that point at it (with its icon), and an uninstall entry with the
  version;
- the program started from the path the shortcut names opens the address
  once and exits with 0;
- a second install over the first upgrades in place: one entry;
- the silent uninstaller removes the program, the shortcuts and the entry,
  and leaves a file of the user's in the program's folder alone.

usage: installer_e2e.py STATE_DIR SETUP VERSION ADDRESS BITS WORK_DIR
"""
import os
import re
import struct
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NAME = 'Tarvel工程管理服务平台'
KEY = r'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
ENTRY = KEY + r'\TarvelLauncher'
SKIP = 77

state, setup, version, address, bits, work = sys.argv[1:7]

# A kernel that refuses 32-bit system calls runs no 32-bit program, setup
# programs included: the harness notes why in the state folder.
_no32 = os.path.join(state, 'no-32bit')
if bits == '32' and os.path.exists(_no32):
    with open(_no32) as f:
        print('SKIPPED: ' + f.read().strip())
    sys.exit(SKIP)
prefix = os.path.join(state, 'prefix')
view = '/reg:%s' % bits
os.makedirs(work, exist_ok=True)
browser_log = os.path.join(work, 'browser.log')
recorder = os.path.join(work, 'record-browser.sh')
with open(recorder, 'w') as f:
    f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % browser_log)
os.chmod(recorder, 0o755)
# No menu entries or desktop files outside the prefix, no browser.
env = dict(os.environ, BROWSER=recorder, HOME=work, WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d')
for name in ('XDG_CURRENT_DESKTOP', 'DESKTOP_SESSION', 'KDE_FULL_SESSION', 'GNOME_DESKTOP_SESSION_ID'):
    env.pop(name, None)


def fail(message):
    print('FAIL:', message)
    sys.exit(1)


def wine(*args):
    result = subprocess.run([os.path.join(ROOT, 'cmake', 'wine-run.sh'), state] + list(args), env=env,
                            capture_output=True, text=True, errors='replace')
    if result.returncode == SKIP:
        print(result.stdout.strip())
        sys.exit(SKIP)
    return result.returncode


def unix_path(windows_path):
    drive, rest = windows_path[0].lower(), windows_path[3:]
    return os.path.join(prefix, 'drive_' + drive, *rest.split('\\'))


def wait_for(what, condition, seconds=180):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            fail('waited %d s for %s' % (seconds, what))
        time.sleep(0.2)


def registry():
    """{subkey name: {value name: value}} of the uninstall list (our view)."""
    out = os.path.join(work, 'uninstall.reg')
    if os.path.exists(out):
        os.remove(out)
    if wine('reg', 'export', KEY, 'Z:' + out.replace('/', '\\'), '/y', view) != 0 or not os.path.exists(out):
        fail('reg export of the uninstall list failed')
    text = open(out, 'rb').read().decode('utf-16')
    keys, current = {}, None
    for line in text.splitlines():
        m = re.match(r'^\[(.*)\]$', line)
        if m:
            current = keys.setdefault(m.group(1).rsplit('\\', 1)[-1], {})
        elif current is not None:
            m = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
            if m:
                value = m.group(2)
                if value.startswith('"'):
                    value = value[1:-1].replace('\\\\', '\\').replace('\\"', '"')
                elif value.startswith('dword:'):
                    value = int(value[6:], 16)
                current[m.group(1)] = value
    return keys


def entry():
    return registry().get('TarvelLauncher')


def shortcut_target(path):
    """(target path, icon location) of a shell link file."""
    data = open(path, 'rb').read()
    if struct.unpack_from('<I', data, 0)[0] != 0x4C:
        fail('%s is not a shell link' % path)
    flags = struct.unpack_from('<I', data, 0x14)[0]
    unicode = flags & 0x80
    pos = 0x4C
    if flags & 0x1:  # target ID list
        pos += 2 + struct.unpack_from('<H', data, pos)[0]
    target = None
    if flags & 0x2:  # link info
        size, header, info_flags, _, base = struct.unpack_from('<IIIII', data, pos)
        if info_flags & 1:
            if header >= 0x24:
                start = pos + struct.unpack_from('<I', data, pos + 0x1C)[0]
                end = start
                while data[end:end + 2] != b'\0\0':
                    end += 2
                target = data[start:end].decode('utf-16-le')
            else:
                start = pos + base
                target = data[start:data.index(b'\0', start)].decode('mbcs' if os.name == 'nt' else 'latin-1')
        pos += size
    strings = []
    for bit in (0x4, 0x8, 0x10, 0x20, 0x40):  # name, relative path, working folder, arguments, icon
        if flags & bit:
            count = struct.unpack_from('<H', data, pos)[0]
            width = 2 if unicode else 1
            raw = data[pos + 2:pos + 2 + count * width]
            strings.append(raw.decode('utf-16-le' if unicode else 'latin-1').rstrip('\0'))
            pos += 2 + count * width
        else:
            strings.append(None)
    return target, strings[4]


def shortcuts():
    return [unix_path(r'C:\users\Public\Desktop\%s.lnk' % NAME),
            unix_path(r'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\%s.lnk' % NAME)]


def clean():
    """Leftovers of an interrupted earlier run."""
    found = entry()
    if found and 'InstallLocation' in found:
        for name in ('TarvelLauncher.exe', 'uninstall.exe', 'notes.txt'):
            path = os.path.join(unix_path(found['InstallLocation']), name)
            if os.path.exists(path):
                os.remove(path)
    for path in shortcuts():
        if os.path.exists(path):
            os.remove(path)
    wine('reg', 'delete', ENTRY, '/f', view)


clean()

# --- install ----------------------------------------------------------------
if wine(setup, '/S') != 0:
    fail('the silent install failed')
installed = entry()
if not installed:
    fail('no uninstall entry after the install')
location = installed.get('InstallLocation', '')
program = location + r'\TarvelLauncher.exe'
if not re.match(r'^C:\\Program Files( \(x86\))?\\', location, re.I):
    fail('installed into %r, not into Program Files' % location)
if not os.path.isfile(unix_path(program)):
    fail('no program at %s' % program)
expected = {'DisplayName': NAME, 'DisplayVersion': version, 'Publisher': 'Tarvel',
            'DisplayIcon': program + ',0', 'UninstallString': '"%s\\uninstall.exe"' % location}
for name, value in expected.items():
    if installed.get(name) != value:
        fail('uninstall entry %s is %r, expected %r' % (name, installed.get(name), value))
if not isinstance(installed.get('EstimatedSize'), int) or installed['EstimatedSize'] <= 0:
    fail('uninstall entry has no size: %r' % installed.get('EstimatedSize'))
for link in shortcuts():
    if not os.path.isfile(link):
        fail('no shortcut %s' % link)
    target, icon = shortcut_target(link)
    if (target or '').lower() != program.lower():
        fail('%s points at %r, not at %s' % (link, target, program))
    if not icon or icon.lower() != program.lower():
        fail('%s shows the icon of %r' % (link, icon))
print('installed: %s, shortcuts and entry %s %s' % (program, NAME, version))

# --- the installed program, from the path the shortcut names ----------------
if os.path.exists(browser_log):
    os.remove(browser_log)
target, _ = shortcut_target(shortcuts()[0])
rc = wine(target)
if rc != 0:
    fail('the installed program exited with %d' % rc)
wait_for('the address to reach the browser', lambda: os.path.exists(browser_log) and os.path.getsize(browser_log) > 0)
time.sleep(1)  # a second hand-off would show by now
opened = open(browser_log).read().split()
if len(opened) != 1 or opened[0].rstrip('/') != address.rstrip('/'):
    fail('the browser got %r, expected %s once' % (opened, address))
print('the installed program opened %s once and exited with 0' % address)

# --- reinstall over it ------------------------------------------------------
if wine(setup, '/S') != 0:
    fail('the second silent install failed')
ours = [k for k, v in registry().items() if v.get('DisplayName') == NAME]
if ours != ['TarvelLauncher'] or entry().get('InstallLocation') != location:
    fail('after a second install the uninstall list holds %r' % ours)
print('second install: one entry, same folder')

# --- uninstall --------------------------------------------------------------
notes = unix_path(location + r'\notes.txt')
with open(notes, 'w') as f:
    f.write('kept\n')
uninstaller = re.match(r'^"(.*)"$', entry()['UninstallString']).group(1)
# The uninstaller hands over to a copy of itself and returns at once.
if wine(uninstaller, '/S') != 0:
    fail('the silent uninstall failed')
gone = [unix_path(program), unix_path(uninstaller)] + shortcuts()
wait_for('the files and shortcuts to go', lambda: not any(os.path.exists(p) for p in gone))
wait_for('the uninstall entry to go', lambda: entry() is None)
if not os.path.isfile(notes):
    fail('the uninstaller removed a file it had not installed')
os.remove(notes)
print('PASS: uninstalled: program, shortcuts and entry removed, the user\'s file kept')
