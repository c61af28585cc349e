#!/usr/bin/env python3
"""Peak resident memory of `tolvane render` for a short and a long input.

A render streams its input, output and plot block by block, so its peak memory
should not grow with the length of the input: this script renders a 60 s and a
60 min stereo file (16-bit WAV, a click every second) and prints both peaks.

usage: bench/host/render_memory.py [path/to/tolvane] [--minutes N]
"""
import os
import resource
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 44100


def write_clicks(path, seconds):
    """A stereo 16-bit WAV of silence with a full-scale click every second."""
    silence = bytes(4 * RATE)
    click = struct.pack("<hh", 32767, 32767) + bytes(4 * (RATE - 1))
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        for second in range(seconds):
            out.writeframes(click if second % 2 == 0 else silence)


def peak_rss_mb(command):
    """Peak resident memory of one child run, in megabytes."""
    pid = os.fork()
    if pid == 0:
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, 1)
        os.execv(command[0], command)
    _, status, usage = os.wait4(pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: " + " ".join(command))
    return usage.ru_maxrss / 1024.0


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    tolvane = args[0] if args else "build/host/tolvane"
    minutes = 60
    if "--minutes" in sys.argv:
        minutes = int(sys.argv[sys.argv.index("--minutes") + 1])
    with tempfile.TemporaryDirectory() as folder:
        for seconds in (60, 60 * minutes):
            source = os.path.join(folder, "in.wav")
            write_clicks(source, seconds)
            target = os.path.join(folder, "out.flac")
            plot = os.path.join(folder, "out.png")
            peak = peak_rss_mb([tolvane, "render", source, target, "--plot", plot, "--tail", "5"])
            print(f"render of {seconds // 60} min: peak resident memory {peak:.1f} MB")
            os.remove(source)


if __name__ == "__main__":
    main()
