#!/usr/bin/env python3
"""Soak test of the batch conversion: run by hand, not part of `make test`.

Makes FILES small images (device bitmaps, 24- and 32-bit BMPs, PNGs, GIFs), a tenth of
them damaged (cut short, bits flipped, decompression bombs), converts them all with
`zorix-cli convert -j JOBS` and again with `-j 1`, and checks:
  - every good file is converted, byte for byte as the one-job run converts it;
  - every damaged file that does not load is reported with its cause (and its kind,
    where the command reports one); bombs and files cut inside their header never load;
  - the resident memory of the -j JOBS run grows by less than 10 MB from file 1,000 to
    the end, and its open descriptors do not grow;
  - no temporary file is left in the target folders or in TMPDIR.
Usage: bench/soak.py [--build DIR] [--files N] [--jobs N] [--to FORMAT] [--memory-limit-mb M]
"""
import argparse
import json
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

# ---------------------------------------------------------------- good pictures


def device_bitmap(rnd, w, h):
    """A device bitmap: a palette of up to 40 colours in runs of 1 to 12 pixels."""
    colours = [rnd.randrange(1, 65536) for _ in range(rnd.randint(1, 40))]
    rows = []
    for _ in range(h):
        out, x = bytearray(), 0
        while x < w:
            n = min(rnd.randint(1, 12), w - x, 255)
            code = 0 if rnd.random() < 0.1 else rnd.randint(1, len(colours))
            if n < 4:
                out += bytes([code]) * n
            elif code:
                out += bytes([0xFE, code, n])
            else:
                out += bytes([0xFF, n])
            x += n
        rows.append(bytes(out))
    data = struct.pack('<7H', 0x4C52, 0, w, h, len(colours) + 1, h, 0xF81F)
    data += struct.pack('<%dH' % len(colours), *colours)
    for r in rows:
        data += bytes([len(r)]) if len(r) < 255 else struct.pack('>BH', 0xFF, len(r))
    return data + b''.join(rows)


def pixels(rnd, w, h):
    """Smooth RGBA pixels with a few blocks, so that palettes stay modest."""
    base = [rnd.randrange(256) for _ in range(4)]
    out = bytearray(w * h * 4)
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 4
            out[i] = (base[0] + x * 7) & 0xF0
            out[i + 1] = (base[1] + y * 5) & 0xF0
            out[i + 2] = (base[2] + ((x // 4 + y // 4) & 1) * 96) & 0xF0
            out[i + 3] = 255 if (x + y) % 11 else 0
    return out


def bmp(rnd, w, h, bits):
    px = pixels(rnd, w, h)
    stride = (w * bits // 8 + 3) & ~3
    bgra = bytearray(px)
    bgra[0::4], bgra[2::4] = px[2::4], px[0::4]
    if bits == 24:
        del bgra[3::4]
    row_bytes = w * bits // 8
    body = b''.join(bytes(bgra[y * row_bytes:(y + 1) * row_bytes]) + bytes(stride - row_bytes)
                    for y in range(h - 1, -1, -1))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(body), 2835, 2835, 0, 0)
    return b'BM' + struct.pack('<IHHI', 14 + 40 + len(body), 0, 0, 54) + header + bytes(body)


def png_chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack(
        '>I', zlib.crc32(kind + data) & 0xFFFFFFFF)


def png(rnd, w, h, raw=None):
    px = pixels(rnd, w, h)
    if raw is None:
        raw = b''.join(b'\0' + bytes(px[y * w * 4:(y + 1) * w * 4]) for y in range(h))
    return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
            + png_chunk(b'IDAT', zlib.compress(raw, 9)) + png_chunk(b'IEND', b''))


def gif(rnd, w, h, screen=None):
    """A GIF whose LZW stream restarts its table before it grows past 9-bit codes."""
    colours = [bytes(rnd.randrange(256) for _ in range(3)) for _ in range(256)]
    indices = [(x // 3 + y // 2 + rnd.randrange(2)) & 0xFF for y in range(h) for x in range(w)]
    codes = []
    for i, index in enumerate(indices):
        if i % 250 == 0:
            codes.append(256)
        codes.append(index)
    codes.append(257)
    acc, nbits, stream = 0, 0, bytearray()
    for code in codes:
        acc |= code << nbits
        nbits += 9
        while nbits >= 8:
            stream.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        stream.append(acc & 0xFF)
    blocks = b''.join(bytes([len(stream[i:i + 255])]) + stream[i:i + 255]
                      for i in range(0, len(stream), 255)) + b'\0'
    sw, sh = screen or (w, h)
    return (b'GIF89a' + struct.pack('<HHBBB', sw, sh, 0xF7, 0, 0) + b''.join(colours)
            + b',' + struct.pack('<HHHHB', 0, 0, w, h, 0) + b'\x08' + blocks + b';')


GOOD = [  # (extension, maker, share)
    ('bmp', lambda r, w, h: device_bitmap(r, w, h), 40),
    ('bmp', lambda r, w, h: bmp(r, w, h, 24), 20),
    ('bmp', lambda r, w, h: bmp(r, w, h, 32), 10),
    ('png', lambda r, w, h: png(r, w, h), 20),
    ('gif', lambda r, w, h: gif(r, w, h), 10),
]

# ---------------------------------------------------------------- damaged pictures


ZEROS_MB = zlib.compress(b'\0' * (1 << 20), 9)


def bomb(rnd, kind):
    """Small files that declare or inflate to far more than they hold."""
    if kind == 0:  # a device bitmap of 65535 x 65535 with a few bytes of rows
        return struct.pack('<7H', 0x4C52, 0, 65535, 65535, 2, 65535, 0xF81F) + b'\x1f\x00' + b'\x00' * 64, 'bmp'
    if kind == 1:  # a PNG of 60000 x 60000 pixels whose data inflates from a kilobyte
        raw = ZEROS_MB
        return (b'\x89PNG\r\n\x1a\n' + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 60000, 60000, 8, 6, 0, 0, 0))
                + png_chunk(b'IDAT', raw) + png_chunk(b'IEND', b'')), 'png'
    if kind == 2:  # a GIF of 65535 x 65535 screen and frame
        return gif(rnd, 4, 4, screen=(65535, 65535)).replace(
            b',' + struct.pack('<HHHH', 0, 0, 4, 4), b',' + struct.pack('<HHHH', 0, 0, 65535, 65535), 1), 'gif'
    # a BMP of 50000 x 50000 with no pixels
    return bmp(rnd, 2, 2, 24).replace(struct.pack('<ii', 2, 2), struct.pack('<ii', 50000, 50000), 1), 'bmp'


def damage(rnd, data, ext):
    """Returns (bytes, extension, kind, must_fail)."""
    choice = rnd.randrange(3)
    if choice == 0:
        cut = rnd.randrange(0, min(len(data), 20))  # inside the header
        if rnd.random() < 0.5:
            return data[:cut], ext, 'cut-header', True
        return data[:rnd.randrange(20, len(data))], ext, 'cut', False
    if choice == 1:
        flipped = bytearray(data)
        for _ in range(rnd.randint(1, 8)):
            flipped[rnd.randrange(len(flipped))] ^= 1 << rnd.randrange(8)
        return bytes(flipped), ext, 'bit-flip', False
    made, bomb_ext = bomb(rnd, rnd.randrange(4))
    return made, bomb_ext, 'bomb', True

# ---------------------------------------------------------------- running


def make_inputs(folder, count, bad_share, seed):
    rnd = random.Random(seed)
    weights = [g[2] for g in GOOD]
    files = []
    for i in range(count):
        ext, maker, _ = rnd.choices(GOOD, weights)[0]
        w, h = rnd.randint(1, 48), rnd.randint(1, 48)
        data = maker(rnd, w, h)
        kind, must_fail = 'good', False
        if rnd.random() < bad_share:
            data, ext, kind, must_fail = damage(rnd, data, ext)
        path = os.path.join(folder, 'f%05d.%s' % (i, ext))
        with open(path, 'wb') as f:
            f.write(data)
        files.append({'path': path, 'kind': kind, 'must_fail': must_fail})
    return files


def sample(pid, samples, progress, stop):
    """Records (files reported, RSS in kB, open descriptors) every 20 ms."""
    while not stop.is_set():
        try:
            with open('/proc/%d/status' % pid) as f:
                rss = next(int(l.split()[1]) for l in f if l.startswith('VmRSS:'))
            fds = len(os.listdir('/proc/%d/fd' % pid))
        except (OSError, StopIteration):
            break
        samples.append((progress[0], rss, fds))
        time.sleep(0.02)


def convert(cli, files, out, jobs, fmt, tmp):
    os.makedirs(out)
    env = dict(os.environ, TMPDIR=tmp)
    start = time.time()
    proc = subprocess.Popen([cli, 'convert', '--json', '--quiet', '--no-copy', '--to', fmt,
                             '-j', str(jobs), '-d', out] + [f['path'] for f in files],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, text=True)
    samples, progress, stop = [], [0], threading.Event()
    watcher = threading.Thread(target=sample, args=(proc.pid, samples, progress, stop))
    watcher.start()
    lines = []
    for line in proc.stdout:
        lines.append(json.loads(line))
        progress[0] = len(lines)
    proc.wait()
    stop.set()
    watcher.join()
    return lines, samples, time.time() - start


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def check(files, one, many, out_one, out_many, failures):
    if len(one) != len(files) or len(many) != len(files):
        failures.append('reports: %d files, %d and %d lines' % (len(files), len(one), len(many)))
        return {}
    counts = {}
    for f, a, b in zip(files, one, many):
        key = (f['kind'], 'ok' if b['ok'] else 'failed')
        counts[key] = counts.get(key, 0) + 1
        name = os.path.basename(f['path'])
        if a['status'] != b['status']:
            failures.append('%s: %s with one job, %s with several' % (name, a['status'], b['status']))
        if f['kind'] == 'good' and not b['ok']:
            failures.append('%s (good): %s: %s' % (name, b['status'], b['reason']))
        if f['must_fail'] and b['ok']:
            failures.append('%s (%s) converted' % (name, f['kind']))
        if not b['ok'] and (not b['reason'] or ('error' in b and not b['error'])):
            failures.append('%s: failure without its cause: %s' % (name, b))
        if b['ok'] and a['ok']:
            ta, tb = a['target'], b['target']
            if read(ta) != read(tb):
                failures.append('%s: the two runs wrote different files' % name)
    for out, lines in ((out_one, one), (out_many, many)):
        expected = {os.path.basename(l['target']) for l in lines if l['ok']}
        present = set(os.listdir(out))
        if present != expected:
            failures.append('%s: extra %s, missing %s' % (
                out, sorted(present - expected)[:5], sorted(expected - present)[:5]))
    return counts


def memory_report(samples, mark, failures, limit_kb, jobs):
    before = [s for s in samples if s[0] <= mark]
    after = [s for s in samples if s[0] > mark]
    if not before or not after:
        print('  memory: too few samples (%d) to judge' % len(samples))
        return
    peak_before = max(s[1] for s in before)
    at_mark = before[-1][1]
    peak_after = max(s[1] for s in after)
    growth = peak_after - peak_before
    fds_mark, fds_peak = before[-1][2], max(s[2] for s in after)
    print('  memory: RSS at file %d %.1f MB, peak to then %.1f MB, peak after %.1f MB, '
          'growth %+.1f MB; descriptors %d then, at most %d after (%d samples)' % (
              mark, at_mark / 1024, peak_before / 1024, peak_after / 1024, growth / 1024,
              fds_mark, fds_peak, len(samples)))
    if limit_kb and growth >= limit_kb:
        failures.append('memory grew by %.1f MB after file %d' % (growth / 1024, mark))
    # Each worker may hold a source and a target open when sampled; a leak grows beyond.
    if fds_peak > max(s[2] for s in before) + jobs:
        failures.append('descriptors grew from %d to %d' % (fds_mark, fds_peak))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--build', default='build')
    parser.add_argument('--files', type=int, default=10000)
    parser.add_argument('--bad', type=float, default=0.10, help='share of damaged files')
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--to', default='rle', choices=['rle', 'bmp24', 'bmp32', 'png', 'jpg'])
    parser.add_argument('--seed', type=int, default=26)
    parser.add_argument('--keep', action='store_true', help='keep the scratch folder')
    parser.add_argument('--memory-limit-mb', type=float, default=10,
                        help='allowed growth after the first tenth (0: not judged, as for '
                        'a sanitizer build, whose quarantine holds freed memory)')
    args = parser.parse_args()
    cli = os.path.abspath(os.path.join(args.build, 'bin', 'zorix-cli'))
    scratch = tempfile.mkdtemp(prefix='zorix-soak.')
    failures = []
    try:
        src, tmp = os.path.join(scratch, 'in'), os.path.join(scratch, 'tmp')
        os.makedirs(src)
        os.makedirs(tmp)
        started = time.time()
        files = make_inputs(src, args.files, args.bad, args.seed)
        print('soak: %d files (%d damaged) made in %.1f s' % (
            len(files), sum(f['kind'] != 'good' for f in files), time.time() - started))
        one, _, t1 = convert(cli, files, os.path.join(scratch, 'one'), 1, args.to, tmp)
        many, samples, tn = convert(cli, files, os.path.join(scratch, 'many'), args.jobs,
                                    args.to, tmp)
        print('  -j 1: %.1f s; -j %d: %.1f s' % (t1, args.jobs, tn))
        counts = check(files, one, many, os.path.join(scratch, 'one'),
                       os.path.join(scratch, 'many'), failures)
        for (kind, outcome), n in sorted(counts.items()):
            print('  %-10s %-6s %6d' % (kind, outcome, n))
        memory_report(samples, min(1000, args.files // 10), failures,
                      args.memory_limit_mb * 1024, args.jobs)
        if os.listdir(tmp):
            failures.append('left in TMPDIR: %s' % os.listdir(tmp)[:5])
    finally:
        if args.keep:
            print('  scratch kept in', scratch)
        else:
            shutil.rmtree(scratch, ignore_errors=True)
    for failure in failures[:40]:
        print('FAIL:', failure)
    print('soak: %s (%d problems)' % ('FAILED' if failures else 'passed', len(failures)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
