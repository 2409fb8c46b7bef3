#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_novatel (input layout in fuzz_novatel.cpp)
from the NovAtel OEMV capture of the test data: one seed per message id of
the capture, each holding that id's first logs, plus seeds for the logs the
parser decodes that the capture does not hold, with bodies of the size the
decoders read. Usage: make_novatel_seeds.py CAPTURE OUTPUT_FOLDER"""
import os
import struct
import sys

IDS = [7, 37, 41, 42, 43, 48, 140, 174, 175, 241, 726, 1047]
ANY_ID = len(IDS)  # the choice that takes the id from the input


def record(msg_id, msg_type, week, ms, body):
    choice = IDS.index(msg_id) if msg_id in IDS else ANY_ID
    # The control byte picks the id by its remainder modulo 13; bit 4 set
    # makes the header carry the body length.
    control = next(c for c in range(0xE0) if c % (len(IDS) + 1) == choice and c & 0x10)
    out = bytes([control])
    if choice == ANY_ID:
        out += struct.pack('<H', msg_id)
    return out + struct.pack('<HBHI', len(body), msg_type, week, ms) + body


def logs(capture):
    i = 0
    while True:
        j = capture.find(b'\xaa\x44\x12', i)
        if j < 0 or j + 28 > len(capture):
            return
        hl = capture[j + 3]
        msg_id, = struct.unpack_from('<H', capture, j + 4)
        body_len, = struct.unpack_from('<H', capture, j + 8)
        end = j + hl + body_len + 4
        if hl != 28 or end > len(capture):
            i = j + 3
            continue
        week, ms = struct.unpack_from('<HI', capture, j + 14)
        yield msg_id, capture[j + 6], week, ms, capture[j + hl:j + hl + body_len]
        i = end


def main():
    capture = open(sys.argv[1], 'rb').read()
    folder = sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    by_id = {}
    for msg_id, msg_type, week, ms, body in logs(capture):
        by_id.setdefault(msg_id, [])
        if len(by_id[msg_id]) < 3:
            by_id[msg_id].append(record(msg_id, msg_type, week, ms, body))
    for msg_id, records in sorted(by_id.items()):
        with open(os.path.join(folder, 'capture-%d' % msg_id), 'wb') as f:
            f.write(b'\x00' + b''.join(records))
    # Logs the capture lacks: a GPS week and time of its era, and a body of
    # the size each decoder reads (RANGE with two observations).
    week, ms = 1461, 345600000
    sizes = {7: 224, 37: 4 + 108, 43: 4 + 2 * 44, 174: 28 + 2 * 4, 175: 40, 241: 112, 726: 80, 1047: 224}
    for msg_id, size in sorted(sizes.items()):
        if msg_id in by_id:
            continue
        body = bytearray(size)
        if msg_id in (43, 174):
            struct.pack_into('<I', body, 0 if msg_id == 43 else 24, 2)
        with open(os.path.join(folder, 'made-%d' % msg_id), 'wb') as f:
            f.write(b'\x01' + record(msg_id, 0, week, ms, bytes(body)))


if __name__ == '__main__':
    main()
