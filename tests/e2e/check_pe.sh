#!/usr/bin/env bash
# check_pe.sh EXE i386|x86-64: the program is a GUI-subsystem PE of that
# machine type with a manifest, a version resource, an icon and the main
# form's stored layout embedded.
set -euo pipefail
exe=$1 machine=$2
header=$(objdump -p "$exe")
case $machine in
  i386)   grep -q 'file format pei-i386' <<<"$header" || { echo "not a 32-bit PE"; exit 1; } ;;
  x86-64) grep -q 'file format pei-x86-64' <<<"$header" || { echo "not a 64-bit PE"; exit 1; } ;;
esac
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$header" || { echo "not a GUI-subsystem program"; exit 1; }
python3 - "$exe" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
pe = struct.unpack_from('<I', data, 0x3c)[0]
assert data[pe:pe + 4] == b'PE\0\0', 'no PE signature'
machine, nsections = struct.unpack_from('<HH', data, pe + 4)
optsize = struct.unpack_from('<H', data, pe + 20)[0]
opt = pe + 24
magic = struct.unpack_from('<H', data, opt)[0]
ddir = opt + (96 if magic == 0x10b else 112)
rva, size = struct.unpack_from('<II', data, ddir + 2 * 8)  # resource directory
sections = []
for i in range(nsections):
    s = opt + optsize + 40 * i
    vsize, vaddr, rawsize, rawptr = struct.unpack_from('<IIII', data, s + 8)
    sections.append((vaddr, max(vsize, rawsize), rawptr))
def off(r):
    for vaddr, vs, raw in sections:
        if vaddr <= r < vaddr + vs:
            return raw + r - vaddr
    raise SystemExit('resource RVA outside sections')
base = off(rva)
def entries(o):
    named, ids = struct.unpack_from('<HH', data, o + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from('<II', data, o + 16 + 8 * i)
        if name & 0x80000000:
            p = base + (name & 0x7fffffff)
            n = struct.unpack_from('<H', data, p)[0]
            key = data[p + 2:p + 2 + 2 * n].decode('utf-16-le')
        else:
            key = name
        yield key, target
types = {}
for key, target in entries(base):
    names = [k for k, _ in entries(base + (target & 0x7fffffff))] if target & 0x80000000 else []
    types[key] = names
need = {3: 'icon', 14: 'icon group', 16: 'version', 24: 'manifest'}
for t, what in need.items():
    assert t in types, 'no %s resource' % what
assert 'TFORMMAIN' in types.get(10, []), 'no TFORMMAIN layout resource'
print('resources:', sorted(str(k) for k in types))
PY
echo "ok: $machine GUI program with icon, version, manifest and layout"
