#!/usr/bin/env python3
"""Start-up cost of the launcher against a plain Win32 program doing the same
job (bench/startup/StartupReference_win.cpp): both run under Wine in one
session, in turns, and the medians of their peak memory (the Wine process's
peak resident set) and CPU time (user + system) are compared.

usage: startup.py [--runs N] [--state DIR] LAUNCHER REFERENCE

Every run must exit with code 0 and hand the address to the browser once
(recorded, no browser starts). The Wine session (display and prefix) is
brought up with cmake/wine-env.sh in DIR unless it is already up; the
programs run under the set-up's Wine 10 (cmake/wine-tree.sh), which starts
them in the process it was started as, so that the process's resource usage
is Wine's running the program (plus the same few mounts for both).
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MEMORY_TARGET = 1.25
CPU_TARGET = 1.2


def run_once(wine, exe, env, log):
    before = os.path.getsize(log) if os.path.exists(log) else 0
    process = subprocess.Popen(wine + [exe], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit('%s exited with %d' % (exe, process.returncode))
    # The shell hands the address over asynchronously.
    deadline = time.monotonic() + 30
    while (os.path.getsize(log) if os.path.exists(log) else 0) == before:
        if time.monotonic() > deadline:
            sys.exit('%s never opened the address' % exe)
        time.sleep(0.05)
    return usage.ru_maxrss / 1024.0, (usage.ru_utime + usage.ru_stime) * 1000.0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--runs', type=int, default=7)
    parser.add_argument('--state', default=os.path.join(tempfile.gettempdir(), 'tarvel-startup-bench'))
    parser.add_argument('launcher')
    parser.add_argument('reference')
    args = parser.parse_args()

    state = os.path.abspath(args.state)
    env_script = os.path.join(ROOT, 'cmake', 'wine-env.sh')
    own_session = not os.path.exists(os.path.join(state, 'display'))
    if own_session:
        subprocess.run([env_script, 'start', state], check=True)
    try:
        work = tempfile.mkdtemp(prefix='startup-bench-')
        log = os.path.join(work, 'browser.log')
        recorder = os.path.join(work, 'record-browser.sh')
        with open(recorder, 'w') as f:
            f.write('#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' % log)
        os.chmod(recorder, 0o755)
        env = dict(os.environ, WINEPREFIX=os.path.join(state, 'prefix'), WINEDEBUG='-all',
                   WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d', BROWSER=recorder)
        env['DISPLAY'] = open(os.path.join(state, 'display')).read().strip()
        for name in ('XDG_CURRENT_DESKTOP', 'DESKTOP_SESSION', 'KDE_FULL_SESSION', 'GNOME_DESKTOP_SESSION_ID'):
            env.pop(name, None)

        programs = {'launcher': os.path.abspath(args.launcher), 'reference': os.path.abspath(args.reference)}
        binds = [ROOT, os.path.dirname(state)] + [os.path.dirname(p) for p in programs.values()]
        wine = [os.path.join(ROOT, 'cmake', 'wine-tree.sh')]
        for folder in binds:
            wine += ['--bind', folder]
        wine += ['--', '/usr/lib/wine/wine64']
        for exe in programs.values():  # warm Wine's caches for both
            run_once(wine, exe, env, log)
        samples = {name: [] for name in programs}
        for i in range(args.runs):
            order = ['reference', 'launcher'] if i % 2 == 0 else ['launcher', 'reference']
            for name in order:
                samples[name].append(run_once(wine, programs[name], env, log))
    finally:
        if own_session:
            subprocess.run([env_script, 'stop', state])

    medians = {name: (statistics.median(m for m, _ in runs), statistics.median(c for _, c in runs))
               for name, runs in samples.items()}
    memory = medians['launcher'][0] / medians['reference'][0]
    cpu = medians['launcher'][1] / medians['reference'][1]
    print('%d runs each, medians:' % args.runs)
    for name in ('launcher', 'reference'):
        print('  %-9s peak memory %6.1f MiB   CPU time %6.0f ms   (%s)' % (
            name, medians[name][0], medians[name][1], os.path.basename(programs[name])))
    print('peak memory ratio %.2f (target at most %.2f): %s' % (
        memory, MEMORY_TARGET, 'met' if memory <= MEMORY_TARGET else 'MISSED'))
    print('CPU time ratio    %.2f (target at most %.2f): %s' % (cpu, CPU_TARGET, 'met' if cpu <= CPU_TARGET else 'MISSED'))


if __name__ == '__main__':
    main()
