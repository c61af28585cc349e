#!/usr/bin/env python3
"""Speed of the whole `tolvane render` of a 60 s stereo 44.1 kHz file.

Times the whole process (start, component, file reading and writing, summary)
with and without --plot, several runs each, and prints the median real-time
factor (seconds of audio per second of wall-clock time) and the median time
of each phase as `tolvane render --timings` reports it. Each run writes to a
fresh file name, so that no run pays for the one before it.

usage: bench/host/render_speed.py [--tolvane PATH] [--component BUNDLE] [--runs N]
                                  [--seconds S] [--tail S]
"""
import argparse
import math
import os
import re
import statistics
import struct
import subprocess
import sys
import tempfile
import time
import wave

RATE = 44100


def write_input(path, seconds):
    """A stereo 16-bit WAV: decaying tones, a hit every half second."""
    frames = bytearray()
    period = RATE // 2
    one_period = bytearray()
    for i in range(period):
        env = math.exp(-8.0 * i / period)
        left = int(20000 * env * math.sin(2 * math.pi * 220 * i / RATE))
        right = int(20000 * env * math.sin(2 * math.pi * 330 * i / RATE))
        one_period += struct.pack("<hh", left, right)
    for _ in range(int(seconds * 2)):
        frames += one_period
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


def run_once(command):
    """Wall-clock seconds, CPU seconds (user + system) and the --timings lines."""
    start = time.perf_counter()
    before = os.times()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    wall = time.perf_counter() - start
    after = os.times()
    if done.returncode != 0:
        sys.exit("failed: " + " ".join(command) + "\n" + done.stderr)
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    phases = {}
    for line in done.stderr.splitlines():
        match = re.match(r"(.*?)\s+([0-9.]+) ms$", line)
        if match:
            phases[match.group(1)] = float(match.group(2))
    return wall, cpu, phases


def measure(label, base_command, folder, runs, audio_seconds, plot, timings):
    walls, cpus, phase_runs = [], [], []
    for run in range(runs):
        out = os.path.join(folder, f"out_{label}_{run}.wav")
        command = base_command + [out] + (["--timings"] if timings else [])
        if plot:
            command += ["--plot", os.path.join(folder, f"out_{label}_{run}.png")]
        wall, cpu, phases = run_once(command)
        walls.append(wall)
        cpus.append(cpu)
        phase_runs.append(phases)
        os.remove(out)
    wall = statistics.median(walls)
    cpu = statistics.median(cpus)
    print(f"{label}: median {wall * 1e3:.1f} ms wall = {audio_seconds / wall:.0f}x real time "
          f"(CPU {cpu * 1e3:.1f} ms; fastest {min(walls) * 1e3:.1f} ms, slowest {max(walls) * 1e3:.1f} ms)")
    names = []
    for phases in phase_runs:
        for name in phases:
            if name not in names:
                names.append(name)
    for name in names:
        values = [phases.get(name, 0.0) for phases in phase_runs]
        print(f"    {name:<32} {statistics.median(values):8.2f} ms")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tolvane", default="build/host/tolvane")
    parser.add_argument("--component", help="the TolvaneDelay.component bundle to load")
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--tail", default="0", help="--tail for the render (default 0)")
    args = parser.parse_args()
    with open("/proc/loadavg") as load:
        print("load average before:", " ".join(load.read().split()[:3]))
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in.wav")
        write_input(source, args.seconds)
        command = [args.tolvane, "render", source, "--tail", args.tail]
        if args.component:
            command += ["--component", args.component]
        # One run first, so that the program and the input are in the page cache.
        run_once(command + [os.path.join(folder, "warm.wav")])
        # A build from before --timings is timed as a whole.
        usage = subprocess.run([args.tolvane, "render", "--help"], capture_output=True, text=True)
        timings = "--timings" in usage.stdout
        audio_seconds = args.seconds + float(args.tail)
        measure("render", command, folder, args.runs, audio_seconds, False, timings)
        measure("render --plot", command, folder, args.runs, audio_seconds, True, timings)
    with open("/proc/loadavg") as load:
        print("load average after:", " ".join(load.read().split()[:3]))


if __name__ == "__main__":
    main()
