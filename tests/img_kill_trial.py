#!/usr/bin/env python3
"""Kills `zam img` at random moments and fills the disk under it.

Kill trial: each trial copies an archive made by zamgen, starts one change
(put that fits a hole, put that grows to the end, add, delete before the
last record, rename, rename of a record whose name crosses a disk sector,
rebuild; on version 2 archives and version 1 pairs), kills it with SIGKILL
after a random delay within the change's measured run time, lets the next
start of `zam` finish what it left (journals, temporaries), and checks that
the archive is the old one or the new one, every other entry intact, and
that no temporary file, journal or note is left.

Full-disk trial: the same changes on a small tmpfs (or, where it cannot be
mounted, under a file size limit) with the free space cut to every size from
nothing to what the change needs: each change succeeds or fails with a
message, and the archive is the old or the new one.

Usage: tests/img_kill_trial.py TOOLS_DIR [--trials N] [--no-full-disk] [--seed S]
"""

import argparse
import hashlib
import os
import random
import resource
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SECTOR = 2048


def read_state(img):
    """The archive's entries in order, as (name, place, sha1 of their sectors)."""
    base, ext = os.path.splitext(img)
    with open(img, 'rb') as data:
        head = data.read(8)
        if head[:4].lower() == b'ver2':
            count = struct.unpack('<I', head[4:8])[0]
            records = data.read(32 * count)
        else:
            with open(base + '.dir', 'rb') as d:
                records = d.read()
            count = len(records) // 32
        if len(records) < 32 * count:
            return None
        state = []
        for i in range(count):
            offset, size = struct.unpack('<II', records[32 * i:32 * i + 8])
            name = records[32 * i + 8:32 * i + 32].split(b'\0')[0]
            data.seek(offset * SECTOR)
            state.append((name, offset, size, hashlib.sha1(data.read(size * SECTOR)).hexdigest()))
        return tuple(state)


class Trial:
    def __init__(self, tools, root):
        self.zam = os.path.join(tools, 'zam')
        self.gen = os.path.join(tools, 'zamgen')
        self.root = root
        self.env = dict(os.environ, TMPDIR=os.path.join(root, 'tmp'), XDG_STATE_HOME=os.path.join(root, 'state'))
        os.makedirs(self.env['TMPDIR'], exist_ok=True)
        self.notes = os.path.join(root, 'state', 'zam', 'temporaries')

    def run(self, *args, check=True, **kw):
        result = subprocess.run(list(args), env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)
        if check and result.returncode != 0:
            raise RuntimeError('%s failed: %s' % (' '.join(args), result.stderr.decode(errors='replace')))
        return result

    def leftovers(self, folder):
        found = [n for n in os.listdir(folder) if n.startswith('.zam-')]
        found += os.listdir(self.env['TMPDIR'])
        if os.path.isdir(self.notes):
            found += os.listdir(self.notes)
        return found


def make_sources(trial, folder, entries):
    """Packages and archives from zamgen: a version 2 archive of `entries`
    entries with holes and a version 1 pair of half as many, and files to
    put and add."""
    g = trial.gen
    small = os.path.join(folder, 'small.ifp')
    trial.run(g, 'package', small)                       # 7396 bytes: 4 sectors
    big = os.path.join(folder, 'big.ifp')
    trial.run(g, 'package', '--large', big)              # grows any entry
    v2 = os.path.join(folder, 'base2.img')
    trial.run(g, 'large-img', v2, str(entries), '40' if entries >= 300 else '10')
    # Holes, for puts that fit and for the rebuild to close.
    for i in range(0, entries, 7 if entries >= 300 else 20):
        trial.run(trial.zam, 'img', 'put', v2, 'e%05u.ifp' % i, small)
    listing = []
    for name, *_ in read_state(v2):
        listing.append(name.decode() + '=' + small)
    v1 = os.path.join(folder, 'base1.img')
    trial.run(g, 'img', '--v1', v1, *listing[:entries // 2])
    for i in range(0, entries // 2, 9 if entries >= 300 else 20):
        trial.run(trial.zam, 'img', 'put', v1, 'e%05u.ifp' % i, small)
    return {'small': small, 'big': big, 2: v2, 1: v1}


OPERATIONS = [
    ('put-fits', lambda s: ['put', '{a}', 'e00030.ifp', s['small']]),
    ('put-grows', lambda s: ['put', '{a}', 'e00010.ifp', s['big']]),
    ('add', lambda s: ['add', '{a}', s['big'], 'added.ifp']),
    ('delete', lambda s: ['delete', '{a}', 'e00003.ifp']),
    ('rename', lambda s: ['rename', '{a}', 'e00020.ifp', 'renamed.ifp']),
    ('rename-crossing', lambda s: ['rename', '{a}', 'e00015.ifp', 'crossing-a-sector.ifp']),
    ('rebuild', lambda s: ['rebuild', '{a}']),
]


def copy_archive(source, version, target):
    shutil.copyfile(source, target)
    if version == 1:
        shutil.copyfile(os.path.splitext(source)[0] + '.dir', os.path.splitext(target)[0] + '.dir')


def kill_trials(trial, sources, count, rng):
    folder = os.path.join(trial.root, 'kill')
    os.makedirs(folder)
    archive = os.path.join(folder, 'x.img')
    cases = [(op, v) for op in OPERATIONS for v in (2, 1)]
    expected = {}
    for (name, make), version in cases:
        copy_archive(sources[version], version, archive)
        old = read_state(archive)
        args = [a.replace('{a}', archive) for a in make(sources)]
        times = []
        for _ in range(3 if count >= 50 else 1):
            copy_archive(sources[version], version, archive)
            start = time.perf_counter()
            trial.run(trial.zam, 'img', *args)
            times.append(time.perf_counter() - start)
        expected[(name, version)] = (old, read_state(archive), args, sorted(times)[len(times) // 2])
    tally = {}
    failures = 0
    for i in range(count):
        (name, _), version = cases[i % len(cases)]
        old, new, args, duration = expected[(name, version)]
        copy_archive(sources[version], version, archive)
        process = subprocess.Popen([trial.zam, 'img'] + args, env=trial.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        time.sleep(rng.uniform(0, duration * 1.1))
        process.send_signal(signal.SIGKILL)
        status = process.wait()
        left_by_kill = bool(trial.leftovers(folder))
        trial.run(trial.zam, 'img', 'list', archive)  # a start: finishes journals, removes temporaries
        state = read_state(archive)
        outcome = 'old' if state == old else 'new' if state == new else 'NEITHER'
        left = trial.leftovers(folder)
        key = '%s v%d' % (name, version)
        row = tally.setdefault(key, {'killed': 0, 'finished': 0, 'cleaned': 0, 'old': 0, 'new': 0, 'bad': 0})
        row['killed' if status == -signal.SIGKILL else 'finished'] += 1
        row['cleaned'] += left_by_kill
        if outcome == 'NEITHER' or left:
            row['bad'] += 1
            failures += 1
            print('  FAIL %s: archive %s, left %s' % (key, outcome, left))
        else:
            row[outcome] += 1
    print('kill trial: %d kills' % count)
    # cleaned: the kill left a temporary, journal or note that the next start dealt with.
    print('  %-22s %7s %9s %8s %5s %5s %5s' % ('change', 'killed', 'finished', 'cleaned', 'old', 'new', 'bad'))
    for key, row in tally.items():
        print('  %-22s %7d %9d %8d %5d %5d %5d' %
              (key, row['killed'], row['finished'], row['cleaned'], row['old'], row['new'], row['bad']))
    return failures


def mount_small_disk(path, size):
    os.makedirs(path, exist_ok=True)
    return subprocess.run(['mount', '-t', 'tmpfs', '-o', 'size=%d' % size, 'tmpfs', path],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def full_disk_trials(trial, sources, rng):
    """Each change with free space from none up to what it needs, in steps."""
    mount = os.path.join(trial.root, 'disk')
    archive_bytes = os.path.getsize(sources[2]) + os.path.getsize(sources['big'])
    size = archive_bytes * 3
    tmpfs = mount_small_disk(mount, size)
    print('full-disk trial on %s' % ('a tmpfs of %d KB' % (size // 1024) if tmpfs else 'a file size limit'))
    failures = 0
    runs = 0
    try:
        archive = os.path.join(mount, 'x.img')
        for (name, make), version in [(op, v) for op in OPERATIONS for v in (2, 1)]:
            for step in range(12):
                for n in os.listdir(mount):
                    os.remove(os.path.join(mount, n))
                copy_archive(sources[version], version, archive)
                old = read_state(archive)
                args = [a.replace('{a}', archive) for a in make(sources)]
                room = step * step * 8 * SECTOR + rng.randrange(SECTOR)
                limit = None
                if tmpfs:
                    free = shutil.disk_usage(mount).free
                    with open(os.path.join(mount, 'filler'), 'wb') as f:
                        f.truncate(0)
                        f.write(b'\0' * max(0, free - room))
                else:
                    limit = os.path.getsize(archive) + room

                def limited():
                    if limit is not None:
                        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
                        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, resource.RLIM_INFINITY))

                result = subprocess.run([trial.zam, 'img'] + args, env=trial.env, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, preexec_fn=limited)
                runs += 1
                if os.path.exists(os.path.join(mount, 'filler')):
                    os.remove(os.path.join(mount, 'filler'))
                trial.run(trial.zam, 'img', 'list', archive)
                state = read_state(archive)
                done = result.returncode == 0
                said = result.stderr.decode(errors='replace').strip()
                ok = (state == old and not done and said) or (done and state != old)
                left = trial.leftovers(mount)
                if not ok or left or state is None:
                    failures += 1
                    print('  FAIL %s v%d with %d bytes free: status %d, %s, left %s' %
                          (name, version, room, result.returncode, said, left))
    finally:
        if tmpfs:
            subprocess.run(['umount', mount])
    print('full-disk trial: %d runs, %d failed' % (runs, failures))
    return failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('tools')
    parser.add_argument('--trials', type=int, default=200)
    parser.add_argument('--no-full-disk', action='store_true')
    parser.add_argument('--seed', type=int, default=None)
    options = parser.parse_args()
    seed = options.seed if options.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    print('seed %d' % seed)
    root = tempfile.mkdtemp(prefix='zam-kill-')
    try:
        trial = Trial(options.tools, root)
        # A few kills (the test command's) on smaller archives, to be quick.
        sources = make_sources(trial, root, 300 if options.trials >= 50 else 80)
        failures = kill_trials(trial, sources, options.trials, rng)
        if not options.no_full_disk:
            failures += full_disk_trials(trial, sources, rng)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    print('img kill trial: %d failed' % failures)
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
