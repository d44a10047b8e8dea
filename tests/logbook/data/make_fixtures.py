#!/usr/bin/env python3
# Writes the old-version log fixtures of the log-file tests (run once; the outputs are committed).
import struct

def sstr(s, cap):
    b = s.encode('latin-1')[:cap]
    return bytes([len(b)]) + b + bytes(cap - len(b))

def rec_f(call, minutes1, date, band, mode, award, rst_r=59, rst_s=59, state=0, iota='', tenten=0,
          county=0, grid='', qsl_sent=0, route=0, sat=0, group=0, seq=0, exch='', country=0, zone=0, flags=0):
    b = sstr(call, 12) + struct.pack('<HHBBIHHB', minutes1, date, band, mode, award, rst_r, rst_s, state)
    b += sstr(iota, 5) + struct.pack('<iH', tenten, county) + sstr(grid, 4)
    b += struct.pack('<HBBBH', qsl_sent, route, sat, group, seq) + sstr(exch, 4)
    b += struct.pack('<HBB', country, zone, flags)
    assert len(b) == 61, len(b)
    return b

def head(version, groups=(), sels=0, header=None):
    b = sstr('MERXLOG' + version, 8)
    if header is not None:
        b += struct.pack('<i', header)
    b += struct.pack('<H', len(groups)) + b''.join(sstr(g, 25) for g in groups)
    b += struct.pack('<H', sels)
    return b

def notes(items):
    b = struct.pack('<i', len(items))
    for call, text in items:
        b += sstr(call, 12) + bytes([len(text)]) + text.encode('latin-1')
    return b

DAY = 36500  # 5 February 2000

# Version B, 52-byte records: award bits 28/29 dropped; band 12 -> 15; flags from award bits;
# the 10-10 number on 10 m becomes custom award 1010 with bits 22/23 -> submitted/credited.
b1 = rec_f('W1AW', 601, DAY, 12, 2, (1 << 0) | (1 << 26) | (1 << 30) | (1 << 28) | (1 << 29) | 0x4,
           exch='XX', country=77, zone=9)[:52]
b2 = rec_f('DL1ABC', 602, DAY, 9, 1, (1 << 22) | (1 << 23) | (1 << 1), tenten=1234)[:52]
open('LOG_B.KVL', 'wb').write(head('B', groups=('Contest',)) + struct.pack('<i', 2) + b1 + b2
                              + notes([('W1AW', 'old note')]))

# Version E, 60-byte records: flags rebuilt from bits 0, 1, 30, 31, 26 (27 dropped).
e1 = rec_f('G3XYZ', 1, DAY, 5, 3, 0x3 | (1 << 30) | (1 << 31) | (1 << 26) | (1 << 27) | 0x10, country=5, zone=14)[:60]
open('LOG_E.KVL', 'wb').write(head('E') + struct.pack('<i', 1) + e1 + notes([]))

# Version F, 61-byte records with a note each: three QSOs in minute 10:00 of one day, then one
# in the same minute of the next day; satellite mode 0 becomes 1.
def f_with_note(r, note):
    return r + bytes([len(note)]) + note.encode('latin-1')
fq = [
    f_with_note(rec_f('K1AA', 601, DAY, 5, 2, 0, sat=0), 'first'),
    f_with_note(rec_f('K1AB', 601, DAY, 5, 2, 0), ''),
    f_with_note(rec_f('K1AC', 601, DAY, 5, 2, 0), ''),
    f_with_note(rec_f('K1AA', 601, DAY + 1, 5, 2, 0), ''),
]
open('LOG_F.KVL', 'wb').write(head('F') + struct.pack('<i', len(fq)) + b''.join(fq) + notes([('K1AA', 'Bob')]))

# Version G, 75-byte records (current layout), header longint and SWL records; old mode numbers
# 1, 2, 3 become 14, 4, 13 and an unknown 7 stays.
def rec_h(call, time, date, band, mode):
    b = sstr(call, 12) + struct.pack('<iHBBIHHB', time, date, band, mode, 0, 59, 59, 0)
    b += sstr('', 5) + struct.pack('<H', 0) + sstr('', 6) + struct.pack('<HBBBH', 0, 0, 1, 0, 0) + sstr('', 4)
    b += struct.pack('<HBB', 0, 0, 0x20) + sstr('', 4) + sstr('', 8)
    assert len(b) == 75, len(b)
    return b + b'\x00'
gq = [rec_h('JA1A', 3600, DAY, 5, 1), rec_h('JA1B', 3601, DAY, 5, 2), rec_h('JA1C', 3602, DAY, 5, 3),
      rec_h('JA1D', 3603, DAY, 5, 7)]
swl = sstr('ONL123', 12) + struct.pack('<HiBB', DAY, 100, 5, 4) + b'\x01\x02'
open('LOG_G.KVL', 'wb').write(head('G', header=4242) + struct.pack('<i', len(gq)) + b''.join(gq) + notes([])
                              + struct.pack('<i', 1) + swl)
