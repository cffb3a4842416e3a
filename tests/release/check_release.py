#!/usr/bin/env python3
"""Checks of the programs as they are handed to users.

check_release.py debug EXE           stripped, at most 4 MB, and its separate
                                     debug file resolves addresses to names
check_release.py imports EXE...      statically imported DLLs are known DLLs
check_release.py manifest EXE VER    the manifest and the version resource
                                     carry VER; the program is DPI-unaware
Tools come from the environment: OBJDUMP, NM, ADDR2LINE.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

MAX_SIZE = 4_000_000

# The system's known DLLs (loaded from the system folder whatever lies beside
# a program) and the core DLLs the loader never looks for elsewhere.
KNOWN_DLLS = {
    'ntdll.dll', 'kernel32.dll', 'kernelbase.dll', 'user32.dll', 'gdi32.dll', 'advapi32.dll',
    'shell32.dll', 'shlwapi.dll', 'ole32.dll', 'oleaut32.dll', 'comdlg32.dll', 'imm32.dll',
    'msvcrt.dll', 'rpcrt4.dll', 'sechost.dll', 'combase.dll', 'setupapi.dll', 'psapi.dll',
    'ws2_32.dll', 'nsi.dll', 'normaliz.dll', 'wldap32.dll', 'imagehlp.dll', 'msctf.dll',
    'clbcatq.dll', 'coml2.dll', 'shcore.dll', 'gdiplus.dll',
}
# Bound by a program's manifest to the system's side-by-side store, never to
# a file beside the program.
SIDE_BY_SIDE = {'comctl32.dll': 'Microsoft.Windows.Common-Controls'}


def tool(name):
    return os.environ.get(name.upper(), name.lower())


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def fail(message):
    print('FAIL:', message)
    sys.exit(1)


class PE:
    def __init__(self, path):
        self.data = data = open(path, 'rb').read()
        pe = struct.unpack_from('<I', data, 0x3c)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            fail('%s: no PE signature' % path)
        _, nsections, _, self.symbol_table, self.nsymbols, optsize = struct.unpack_from('<HHIIIH', data, pe + 4)
        opt = pe + 24
        ddir = opt + (96 if struct.unpack_from('<H', data, opt)[0] == 0x10b else 112)
        self.resource_rva = struct.unpack_from('<I', data, ddir + 16)[0]
        self.sections = {}
        for i in range(nsections):
            s = opt + optsize + 40 * i
            name = data[s:s + 8].rstrip(b'\0').decode()
            if name.startswith('/'):  # long name in the string table
                strings = self.symbol_table + 18 * self.nsymbols
                off = strings + int(name[1:])
                name = data[off:data.index(b'\0', off)].decode()
            vsize, vaddr, rawsize, rawptr = struct.unpack_from('<IIII', data, s + 8)
            self.sections[name] = (vaddr, max(vsize, rawsize), rawptr)

    def offset(self, rva):
        for vaddr, size, raw in self.sections.values():
            if vaddr <= rva < vaddr + size:
                return raw + rva - vaddr
        fail('RVA %#x outside the sections' % rva)

    def resource(self, rtype):
        """Bytes of the first resource of a type."""
        base = self.offset(self.resource_rva)
        node = base
        for key in (rtype, None, None):
            named, ids = struct.unpack_from('<HH', self.data, node + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from('<II', self.data, node + 16 + 8 * i)
                if key is None or name == key:
                    break
            else:
                return None
            node = base + (target & 0x7fffffff)
        rva, size = struct.unpack_from('<II', self.data, node)
        start = self.offset(rva)
        return self.data[start:start + size]


def check_debug(exe):
    pe = PE(exe)
    size = os.path.getsize(exe)
    debug_sections = [n for n in pe.sections if n.startswith(('.debug', '.zdebug'))]
    if debug_sections:
        fail('%s carries debug sections: %s' % (exe, ', '.join(debug_sections)))
    if pe.nsymbols:
        fail('%s carries a symbol table of %d entries' % (exe, pe.nsymbols))
    if size > MAX_SIZE:
        fail('%s is %d bytes, more than %d' % (exe, size, MAX_SIZE))
    if '.gnu_debuglink' not in pe.sections:
        fail('%s has no debug link' % exe)
    debug = exe + '.debug'
    entry = 'WinMain@16' if struct.unpack_from('<H', pe.data, struct.unpack_from('<I', pe.data, 0x3c)[0] + 4)[0] == 0x14c else 'WinMain'
    symbols = run(tool('NM'), debug)
    match = re.search(r'^([0-9a-f]+) T _?%s$' % re.escape(entry), symbols, re.M)
    if not match:
        fail('%s does not name %s' % (debug, entry))
    address = '%#x' % (int(match.group(1), 16) + 2)  # inside the function, not at its start
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, os.path.basename(exe))
        shutil.copy(exe, copy)
        shutil.copy(debug, copy + '.debug')
        with_file = run(tool('ADDR2LINE'), '-f', '-e', copy, address).split('\n')[0]
        os.remove(copy + '.debug')
        without = run(tool('ADDR2LINE'), '-f', '-e', copy, address).split('\n')[0]
    if with_file.split('@')[0] != 'WinMain':
        fail('%s at %s resolves to %r with its debug file' % (exe, address, with_file))
    if without != '??':
        fail('%s at %s resolves to %r without its debug file' % (exe, address, without))
    print('ok: %s, %d bytes, no debug sections or symbols; %s -> WinMain through %s' % (
        os.path.basename(exe), size, address, os.path.basename(debug)))


def check_imports(exes):
    for exe in exes:
        header = run(tool('OBJDUMP'), '-p', exe)
        dlls = sorted({m.lower() for m in re.findall(r'DLL Name: (\S+)', header)})
        if not dlls:
            fail('%s: no import table found' % exe)
        manifest = (PE(exe).resource(24) or b'').decode('utf-8', 'replace')
        unknown = [d for d in dlls if d not in KNOWN_DLLS and not (d in SIDE_BY_SIDE and SIDE_BY_SIDE[d] in manifest)]
        if unknown:
            fail('%s imports DLLs that a file beside it could replace: %s' % (exe, ', '.join(unknown)))
        print('ok: %s imports %s' % (os.path.basename(exe), ', '.join(dlls)))


def check_manifest(exe, version):
    pe = PE(exe)
    text = pe.resource(24)
    if text is None:
        fail('%s has no manifest' % exe)
    root = ET.fromstring(text)
    ns = {'a': 'urn:schemas-microsoft-com:asm.v1'}
    identity = root.find('a:assemblyIdentity', ns)
    four = version + '.0'
    if identity is None or identity.get('version') != four:
        fail('manifest version %r, expected %s' % (identity.get('version') if identity is not None else None, four))
    settings = {el.tag.split('}')[1]: (el.text or '').strip().lower() for el in root.iter()
                if el.tag.split('}')[1] in ('dpiAware', 'dpiAwareness')}
    if settings.get('dpiAware', 'false') != 'false' or settings.get('dpiAwareness', 'unaware') != 'unaware':
        fail('the manifest declares DPI awareness: %s' % settings)
    info = pe.resource(16)
    fixed = info.find(struct.pack('<I', 0xFEEF04BD)) if info else -1
    if fixed < 0:
        fail('no version resource')
    ms, ls = struct.unpack_from('<II', info, fixed + 8)
    file_version = '%d.%d.%d' % (ms >> 16, ms & 0xffff, ls >> 16)
    if file_version != version:
        fail('file version %s, expected %s' % (file_version, version))
    if version.encode('utf-16-le') not in info:
        fail('the version strings do not carry %s' % version)
    print('ok: manifest and version resource carry %s; DPI-unaware (%s)' % (version, settings))


if __name__ == '__main__':
    if len(sys.argv) < 3:
        fail(__doc__)
    command, args = sys.argv[1], sys.argv[2:]
    if command == 'debug':
        check_debug(args[0])
    elif command == 'imports':
        check_imports(args)
    elif command == 'manifest':
        check_manifest(args[0], args[1])
    else:
        fail(__doc__)
