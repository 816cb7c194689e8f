#!/usr/bin/env bash
# Prints where the shipped i686 installer's own bytes go: its sections (the package subtracted from
# the one that holds it), the data built into it, and its largest functions and objects. The
# shipped file carries no symbols, so this links the same objects once more without stripping,
# with a linker map, into build/i686/size-report/ (the shipped file is left as it is).
#
#   scripts/size-report.sh [symbols]      (default: the 30 largest)
#
# VM_I686_BUILD_DIR names the i686 build folder (default build/i686).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
top=${1:-30}
build=${VM_I686_BUILD_DIR:-$root/build/i686}
cd "$root"
[ -f "$build/build.ninja" ] || cmake --preset i686 -B "$build" >/dev/null
cmake --build "$build" --target VelmoraSetup >/dev/null

out="$build/size-report"
mkdir -p "$out"
# The link command as the build runs it, without its -s and its post-build stamp, into $out.
link=$(cd "$build" && ninja -t commands installer/VelmoraSetup.exe | tail -n 1)
link=${link#: && }; link=${link%% && cd *}
link=${link/ -s / }
link=${link/-o installer\/VelmoraSetup.exe/-o $out/VelmoraSetup.exe -Wl,-Map=$out/VelmoraSetup.map}
link=${link/-Wl,--out-implib,installer\/libVelmoraSetup.dll.a/}
(cd "$build" && eval "$link")

shipped="$build/installer/VelmoraSetup.exe"
package=$(sed -n 's/^VM_PACKAGE_ZIP:[A-Z]*=//p' "$build/CMakeCache.txt")
python3 - "$shipped" "$out/VelmoraSetup.exe" "$out/VelmoraSetup.map" "$package" "$top" <<'EOF'
import os, re, struct, subprocess, sys
from collections import Counter

shipped, unstripped, map_file, package, top = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], int(sys.argv[5])
package_size = os.path.getsize(package)

def sections(path):
    data = open(path, 'rb').read()
    pe = struct.unpack_from('<I', data, 0x3C)[0]
    count = struct.unpack_from('<H', data, pe + 6)[0]
    optional = struct.unpack_from('<H', data, pe + 20)[0]
    table = pe + 24 + optional
    for i in range(count):
        name, _, _, raw_size = struct.unpack_from('<8sIII', data, table + 40 * i)
        yield name.rstrip(b'\0').decode(), raw_size
    yield '(headers)', struct.unpack_from('<I', data, pe + 24 + 60)[0]  # SizeOfHeaders

size = os.path.getsize(shipped)
print(f'VelmoraSetup.exe {size:,} bytes; package {package_size:,}; added by the installer {size - package_size:,}')
print('\n== Sections of the shipped file (bytes in the file; .rdata without the package)')
own = [(name, raw - package_size if raw >= package_size else raw) for name, raw in sections(shipped)]
for name, raw in sorted(own, key=lambda s: -s[1]):
    if raw:
        print(f'  {raw:>9,}  {name}')

print('\n== Data built into it (embedded files)')
embedded = Counter()
for line in open(map_file):
    m = re.match(r'^\s+\S*\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+\S*embed_(\w+)\.S\.obj', line)
    if m:
        embedded[m.group(2)] += int(m.group(1), 16)
for name, n in embedded.most_common():
    if name != 'vm_payload_archive':
        print(f'  {n:>9,}  {name}')

rows = []
nm = subprocess.run(['i686-w64-mingw32-nm', '--size-sort', '-S', '-C', unstripped], check=True,
                    capture_output=True, text=True).stdout
for line in nm.splitlines():
    parts = line.split(' ', 3)
    if len(parts) == 4 and parts[2] in 'tTrRdDbB' and not parts[3].startswith('.'):
        rows.append((int(parts[1], 16), parts[2], parts[3]))
code = [r for r in rows if r[1] in 'tT']
print(f'\n== Functions: {len(code)}, {sum(r[0] for r in code):,} bytes of code; grouped by class or namespace')
groups = Counter()
for n, _, name in code:
    head = re.sub(r'\(.*', '', name.replace('(anonymous namespace)', '{anonymous}'))
    head = re.sub(r'<.*', '<>', head)
    groups[head.rsplit('::', 1)[0] if '::' in head else '(free functions)'] += n
for name, n in groups.most_common(15):
    print(f'  {n:>9,}  {name[:100]}')
print(f'\n== The {top} largest functions and objects (package left out)')
for n, kind, name in sorted((r for r in rows if r[2] != 'vm_payload_archive'), reverse=True)[:top]:
    print(f'  {n:>9,}  {"code" if kind in "tT" else "data"}  {name[:110]}')
EOF
