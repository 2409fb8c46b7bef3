#!/usr/bin/env python3
"""Writes the seeds that lead fuzz_novatel, fuzz_oldformat and fuzz_facade to
the maker's own board (board type 3): one log of every id its parser decodes
(BESTPOS, PSRDOP, REFSTATION, satellites in view 911, observations 912, 913,
RAWEPHEM, VERSION), with bodies of the layouts the decoders read. The
NovAtel-framed logs carry their CRC-32 (reflected polynomial EDB88320, start
0, no final inversion). Input layouts are in each target's source.
Usage: make_q70r_seeds.py CORPUS_FOLDER (the fuzz/corpus folder)"""
import os
import struct
import sys

WEEK, MS = 2062, 345600000


def crc32(data):
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xEDB88320 if crc & 1 else crc >> 1
    return crc


def log(msg_id, body, msg_type=0x02):
    head = struct.pack('<3sBHBBHHBBHIIHH', b'\xaa\x44\x12', 28, msg_id, msg_type, 0x20, len(body), 0, 0, 180,
                       WEEK, MS, 0, 0, 0)
    assert len(head) == 28
    frame = head + body
    return frame + struct.pack('<I', crc32(frame))


def bestpos():
    body = struct.pack('<II3dfI3f4sff6B', 0, 50, 31.5, 121.25, 10.0, 5.5, 61, 0.01, 0.02, 0.03, b'0001', 1.5, 0.0,
                       14, 12, 12, 10, 0, 0)
    return body + bytes([0, 0x37])


def psrdop():
    return struct.pack('<6fI', 1.5, 1.2, 0.8, 1.0, 0.9, 0.174, 0)


def refstation():
    return struct.pack('<I3d', 0, -2850000.0, 4650000.0, 3290000.0) + b'0001' + bytes(8)


def satellites():
    entries = [(5, 300, 40, 1, 45, 38), (145, 90, 60, 0, 41, 0), (70, 10, 5, 1, 30, 30), (32, 181, 12, 1, 33, 29)]
    body = bytes([len(entries)]) + bytes(5)
    for sat, az, el, used, snr1, snr2 in entries:
        body += struct.pack('<BHBBB3BB2B', sat, az, el, used, snr1, 0, 0, 0, snr2, 0, 0)
    return body


def obs_entry(sat, l1, pr, c1, l2, diff, c2):
    return struct.pack('<BBHBBihBBBBhhBB', sat, 45, 270, l1, 47, pr, c1, 0xEE, 0x11, l2, 39, diff, c2, 0xEE, 0x22)


def observations():
    head = struct.pack('<6BiHI', 4, 1, 2, 3, 4, 5, -12345678, 0, 0xCAFEBABE)
    return (head + bytes([0]) + obs_entry(5, 1, 160000000, 256, 1, -42, -512) + bytes([70]) +
            obs_entry(9, 0, 1, 1, 1, 1, 1) + obs_entry(12, 1, 120000000, 0, 0, 99, 99))


def log913():
    return struct.pack('<I', 0x11223344) + bytes(range(0xA0, 0xB8))


def rawephem():
    # Satellite 7, a week and seconds not read, three subframes of ten 24-bit
    # words (the first two the telemetry and handover words).
    subframes = b''
    for k in range(3):
        subframes += bytes((k * 37 + i * 11) & 0xFF for i in range(30))
    return struct.pack('<III', 7, WEEK, 288000) + subframes


def version():
    return struct.pack('<I', 1) + b'GPSCARD'.ljust(108, b'\x00')


LOGS = [(42, bestpos()), (174, psrdop()), (175, refstation()), (911, satellites()), (912, observations()),
        (913, log913()), (41, rawephem()), (37, version())]


def novatel_seed():
    # fuzz_novatel: byte 0 bit 1, the own board; a record per log whose
    # control byte picks the id from kOwnIds (index c % 11) with bit 4 set.
    ids = [37, 41, 42, 43, 48, 174, 175, 911, 912, 913]
    out = b'\x02'
    for msg_id, body in LOGS:
        control = next(c for c in range(0xE0) if c % (len(ids) + 1) == ids.index(msg_id) and c & 0x10)
        out += bytes([control]) + struct.pack('<HBHI', len(body), 0x02, WEEK, MS) + body
    return out


def dollar(letters, payload):
    frame = letters + bytes([0x18, len(payload)]) + payload
    x = 0
    for b in frame:
        x ^= b
    return b'$$' + frame + bytes([x]) + b'\r\n'


def in_rg_frames(data):
    out = b''
    for k in range(0, len(data), 200):
        out += dollar(b'RG', data[k:k + 200])
    return out


def oldformat_seed():
    # fuzz_oldformat: byte 0 = 3, the own board on a serial link. Every log
    # once in "RG" frames (op F3) and once straight from the line (feed ops),
    # then a sentence and noise that is no log.
    out = b'\x03'
    for msg_id, body in LOGS:
        frame = log(msg_id, body)
        for k in range(0, len(frame), 200):
            piece = frame[k:k + 200]
            out += b'\xf3RG' + bytes([len(piece)]) + piece
    for msg_id, body in LOGS:
        frame = log(msg_id, body)
        for k in range(0, len(frame), 200):
            piece = frame[k:k + 200]
            out += bytes([len(piece) - 1]) + piece
    gga = b'$GPGGA,120000.00,3130.0000,N,12115.0000,E,4,12,0.9,10.0,M,5.5,M,1.0,0001*7E\r\n'
    out += b'\xf3RG' + bytes([len(gga)]) + gga
    out += b'\x03\x01\x02\x03\x04\xff'
    return out


def facade_seed():
    # fuzz_facade: the maker's receiver (2) with board type 3; the logs in
    # "RG" frames and straight from the line, fed in pieces of at most 200.
    out = b'\x02\x03'
    stream = b''
    for msg_id, body in LOGS:
        stream += in_rg_frames(log(msg_id, body))
    for msg_id, body in LOGS:
        stream += log(msg_id, body)
    for k in range(0, len(stream), 200):
        piece = stream[k:k + 200]
        out += bytes([len(piece) - 1]) + piece
    return out + b'\xff'


def main():
    corpus = sys.argv[1]
    for target, name, data in [('novatel', 'own-board', novatel_seed()), ('oldformat', 'own-board-logs', oldformat_seed()),
                               ('facade', 'own-board-logs', facade_seed())]:
        with open(os.path.join(corpus, target, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
