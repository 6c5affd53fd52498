#!/usr/bin/env python3
"""orvex-pre's MIDI files checked by a MIDI parser that is not the program's own (mido):
events, order and spacing; and a file mido writes reads as its presets. Exits 77 without mido."""
import math
import os
import random
import subprocess
import sys
import tempfile

try:
    import mido
except ImportError:
    print("skipped: python3-mido is not installed (scripts/deps.sh installs it)")
    sys.exit(77)

ORVEX_PRE = sys.argv[1]
PAUSE_MS = 60  # the program's default pause after each write
CABLE_BYTES_PER_SECOND = 3125


def preset_write(preset, bank, rng):
    body = [rng.randrange(128) for _ in range(320)]
    return bytes([0xF0, 0x00, 0x11, 0x22, 0x02, 0, 0, 0, 0, 0x02, preset, bank] + body + [0xF7])


def run(*args):
    done = subprocess.run([ORVEX_PRE, *args], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"orvex-pre {' '.join(args)} failed ({done.returncode}): {done.stderr}")
    return done


def main():
    rng = random.Random(42)
    bank = 1 + rng.randrange(15)
    messages = [preset_write(p, bank, rng) for p in range(128)]
    with tempfile.TemporaryDirectory() as d:
        syx, pre, mid, back = (os.path.join(d, n) for n in ("in.syx", "in.pre", "out.mid", "back.pre"))
        with open(syx, "wb") as f:
            f.write(b"".join(messages))
        run("pre", syx, pre)
        run("mid", pre, mid, "--bank", str(bank))
        # What the module receives: the images the program writes from its own records.
        run("syx", pre, syx, "--bank", str(bank))
        with open(syx, "rb") as f:
            expected = f.read()
        expected = [expected[i:i + 333] for i in range(0, len(expected), 333)]
        assert len(expected) == 128, len(expected)

        midi = mido.MidiFile(mid)
        assert midi.type == 0, midi.type
        assert len(midi.tracks) == 1
        assert midi.ticks_per_beat == 500, midi.ticks_per_beat
        events = list(midi.tracks[0])
        names = [e.name for e in events if e.type == "track_name"]
        assert names and names[0].startswith("Orvex+ Preset Manager") and f"bank {bank + 1}" in names[0], names
        tempos = [e.tempo for e in events if e.type == "set_tempo"]
        assert tempos == [500000], tempos
        sysex = [e for e in events if e.type == "sysex"]
        assert [bytes([0xF0] + list(e.data) + [0xF7]) for e in sysex] == expected, "messages differ"
        assert not [e for e in events if e.type not in ("sysex", "track_name", "set_tempo", "end_of_track")]
        # Ticks are milliseconds at this tempo; each message waits for the one before it.
        step = math.ceil(333 * 1000 / CABLE_BYTES_PER_SECOND) + PAUSE_MS
        assert sysex[0].time == 0
        assert all(e.time == step for e in sysex[1:]), sorted({e.time for e in sysex})
        assert events[-1].type == "end_of_track" and events[-1].time == step
        assert abs(midi.length - 128 * step / 1000) < 1e-6, midi.length

        # Read back, the .mid gives exactly what the .syx of the same presets gives.
        ref = os.path.join(d, "ref.pre")
        run("pre", syx, ref)
        run("pre", mid, back)
        with open(ref, "rb") as a, open(back, "rb") as b:
            assert a.read() == b.read(), "the .mid does not read back as the presets written"

        # A file from another tool: format 1, a tempo track, notes around the SysEx in a
        # second track, split over two tracks. It must read as the same presets.
        other = mido.MidiFile(type=1, ticks_per_beat=96)
        conductor = mido.MidiTrack([mido.MetaMessage("set_tempo", tempo=400000, time=0)])
        tracks = [mido.MidiTrack(), mido.MidiTrack()]
        for i, m in enumerate(expected):
            t = tracks[i % 2]
            t.append(mido.Message("note_on", note=60, velocity=64, time=0))
            t.append(mido.Message("note_off", note=60, velocity=0, time=1))
            t.append(mido.Message("sysex", data=list(m[1:-1]), time=1 if i % 2 == 0 else 3))
        other.tracks = [conductor] + tracks
        foreign = os.path.join(d, "other.mid")
        other.save(foreign)
        done = run("pre", foreign, back)
        assert "MIDI events without SysEx skipped: 256." in done.stderr, done.stderr
        with open(ref, "rb") as a, open(back, "rb") as b:
            assert a.read() == b.read(), "a format 1 file from mido does not read as its presets"
        # The bank sheet as CSV, read by Python's csv module: one row per preset of the bank.
        import csv
        sheet = os.path.join(d, "sheet.csv")
        run("sheet", back, sheet, "--bank", str(bank))
        with open(sheet, encoding="utf-8-sig", newline="") as f:
            rows = list(csv.reader(f, strict=True))
        assert rows[0] == ["bank", "preset", "name", "author", "category"], rows[0]
        assert [(r[0], r[1]) for r in rows[1:]] == [(str(bank + 1), str(p + 1)) for p in range(128)]
    print("ok")


if __name__ == "__main__":
    main()
