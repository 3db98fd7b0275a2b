#!/usr/bin/python3
# Measures how far each song's last note plays from its time on the song's tempo map, as
# mido (an independent reader) computes it: for every corpus song that lumaroth-cli plays,
# the time of the last note-on in `lumaroth-cli timeline` against mido's, plus the 5 ms
# at which the song starts. Prints one line per song off by more than the bound, then a
# summary.
#   bench/tempo_map_check.py build/lumaroth-cli [CORPUS_DIR] [BOUND_MS]
import os
import subprocess
import sys

import mido

cli = sys.argv[1]
corpus = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.path.dirname(__file__), "../../shared/corpus")
bound = float(sys.argv[3]) if len(sys.argv) > 3 else 2.0


def last_note_by_mido(path):
    song = mido.MidiFile(path, clip=True)
    if song.ticks_per_beat <= 0:
        return None  # mido has no SMPTE time: it would count frames as beats
    last, now = None, 0.0
    for message in song:
        now += message.time
        if message.type == "note_on" and message.velocity > 0:
            last = now
    return None if last is None else last * 1000 + 5


def last_note_by_cli(path):
    run = subprocess.run([cli, "timeline", path], capture_output=True)
    if run.returncode != 0:
        return None
    last = None
    for line in run.stdout.decode("latin-1").splitlines()[1:]:
        fields = line.split("\t")
        data = fields[2].split()
        if data[0][0] == "9" and data[2] != "00":
            last = int(fields[1])
    return last


songs, worst, off = 0, 0.0, 0
for folder, _, files in sorted(os.walk(corpus)):
    for name in sorted(files):
        path = os.path.join(folder, name)
        if not name.lower().endswith((".mid", ".midi", ".kar")) or os.path.getsize(path) > 65536:
            continue
        try:
            expected = last_note_by_mido(path)
        except Exception:
            continue  # a file mido cannot read is no reference
        played = last_note_by_cli(path)
        if expected is None or played is None:
            continue
        songs += 1
        error = played - expected
        worst = max(worst, abs(error))
        if abs(error) > bound:
            off += 1
            print(f"{os.path.relpath(path, corpus)}\t{error:+.2f} ms")
print(f"{songs} songs, {off} off by more than {bound} ms, largest difference {worst:.2f} ms")
