#!/usr/bin/env python3
"""Writes crafted preset files of up to 32 MB (floods of elements, comments, references,
attributes, deep nesting, document type declarations, huge text) and measures how long
`orvex-pre check` (the pre-scan and the full read, as Load does) takes on each, and its
peak memory.

    bench/hostile_files.py build/tools/orvex-pre/orvex-pre [work-folder]
"""
import os
import subprocess
import sys
import tempfile

M = 1024 * 1024
HEAD = b'<presetbanks><device name="orvex+"/>'
TAIL = b'</presetbanks>'


def fill(unit, size, pre=HEAD, post=TAIL):
    return pre + unit * ((size - len(pre) - len(post)) // len(unit)) + post


def files():
    hexdata = b'00' * 128
    yield 'empty elements with an attribute, 2 MB', fill(b'<a b="1"/>', 2 * M)
    yield 'empty elements with an attribute, 31 MB', fill(b'<a b="1"/>', 31 * M)
    yield 'empty siblings, 32 MB', fill(b'<a/>', 32 * M - 100)
    yield '100,000 ATTLIST declarations', (b'<!DOCTYPE presetbanks [' + b''.join(
        b'<!ATTLIST a b%d CDATA "x">' % i for i in range(100000)) + b']>' + HEAD + TAIL)
    yield '30,000 attribute defaults', (b'<!DOCTYPE presetbanks [<!ATTLIST preset ' + b''.join(
        b'b%d CDATA "x" ' % i for i in range(30000)) + b'>]>' + HEAD + b'<bank>' + b'<preset/>' * 128 +
        b'</bank>' + TAIL)
    yield 'parameter entity expansion', (b'<!DOCTYPE p [<!ENTITY % pe "' + b''.join(
        b"<!ATTLIST a b%d CDATA 'x'>" % i for i in range(100)) + b'">' + b'%pe;' * 12000 + b']><p/>')
    yield 'internal entity referenced 10 M times', (b'<!DOCTYPE presetbanks [<!ENTITY a "' + b'a' * 4000 +
        b'">]>' + HEAD + b'<bank><preset name="x">' + b'&a;' * (10 * M) + b'</preset></bank>' + TAIL)
    yield 'nesting, 32 MB', fill(b'<x>', 32 * M - 100, post=b'')
    yield 'one attribute of 31 MB', HEAD + b'<bank><preset name="' + b'n' * (31 * M) + b'">' + hexdata + b'</preset></bank>' + TAIL
    yield 'one text of 31 MB', HEAD + b'<bank><preset name="x">' + b'0' * (31 * M) + b'</preset></bank>' + TAIL
    yield 'white space, 31 MB', HEAD + b' ' * (31 * M) + TAIL
    yield 'comments, 31 MB', fill(b'<!---->', 31 * M)
    yield 'processing instructions, 31 MB', fill(b'<?p x?>', 31 * M)
    yield '"&amp;" in a text, 31 MB', HEAD + b'<bank><preset>' + b'&amp;' * (31 * M // 5) + b'</preset></bank>' + TAIL
    yield 'character references in an attribute, 31 MB', (HEAD + b'<bank><preset name="' + b'&#65;' * (31 * M // 5) +
        b'">00</preset></bank>' + TAIL)
    yield '200,000 attributes in one tag, 2 MB', HEAD + b'<a ' + b' '.join(b'a%d="1"' % i for i in range(200000)) + b'/>' + TAIL
    flood = b' '.join(b'b%d="1"' % i for i in range(2500000))
    yield '2.5 M attributes in one tag, 32 MB', HEAD + b'<a ' + flood[:32 * M - 100] + b'/>' + TAIL
    yield '2.5 M attributes on the root, 32 MB', b'<presetbanks ' + flood[:32 * M - 100] + b'>' + TAIL
    yield 'attribute names without values in one tag, 31 MB', HEAD + b'<a ' + b'b ' * (31 * M // 2) + b'/>' + TAIL
    yield '60 attributes per element, 31 MB', fill(b'<a ' + b' '.join(b'a%d="1"' % i for i in range(60)) + b'/>', 31 * M)
    yield 'banks, 31 MB', fill(b'<bank/>', 31 * M)
    yield 'presets in one bank, 31 MB', fill(b'<preset/>', 31 * M, pre=HEAD + b'<bank>', post=b'</bank>' + TAIL)
    yield 'Windows-1252 elements, 31 MB', fill(b'<a b="\xfc"/>', 31 * M)
    yield 'UTF-16 nesting, 30 MB', ('\ufeff' + (HEAD + b'<x>' * (5 * M)).decode()).encode('utf-16-le')


def main():
    tool = sys.argv[1]
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()
    path = os.path.join(work, 'hostile.pre')
    print('%-46s %8s %10s  %s' % ('file', 'seconds', 'peak MB', 'answer'))
    for name, content in files():
        with open(path, 'wb') as f:
            f.write(content)
        run = subprocess.run(['/usr/bin/time', '-f', '%e %M', tool, 'check', path],
                             capture_output=True, text=True, errors='replace')
        lines = run.stderr.strip().splitlines()
        seconds, kb = lines[-1].split()
        answer = (run.stdout.strip() or lines[0].split(': ', 1)[-1])[:40]
        print('%-46s %8s %10.0f  %s' % (name, seconds, int(kb) / 1024, answer))
    os.remove(path)


if __name__ == '__main__':
    main()
