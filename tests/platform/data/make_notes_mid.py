#!/usr/bin/env python3
"""Writes notes.mid: four piano notes, half a second each, format 0, 480 ticks a beat.

Run it from this directory to rebuild the file the sound tests play and render.
"""
import struct


def var_len(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def main():
    ticks_per_beat = 480
    events = bytearray()
    events += var_len(0) + bytes([0xFF, 0x51, 0x03]) + (500000).to_bytes(3, "big")  # 120 bpm
    events += var_len(0) + bytes([0xC0, 0x00])  # acoustic grand piano
    for note in (60, 64, 67, 72):
        events += var_len(0) + bytes([0x90, note, 100])
        events += var_len(ticks_per_beat) + bytes([0x80, note, 0])
    events += var_len(0) + bytes([0xFF, 0x2F, 0x00])
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks_per_beat)
    track = b"MTrk" + struct.pack(">I", len(events)) + bytes(events)
    with open("notes.mid", "wb") as f:
        f.write(header + track)


if __name__ == "__main__":
    main()
