#!/usr/bin/env python3
"""Writes resources/firmware/KALMIRA-5K-2_241004.hex, the release the programs carry.

The text is deterministic: the same script always writes the same bytes. Its layout follows the
device's memory map: a jump to the start-up code at 0000, one interrupt vector at 0008, the
application from 0018 with the release stamp at its end (F0E0), the boot section from FCA8 and
the configuration words at FFF8.

Usage: make-release-hex.py [OUTPUT]
"""

import pathlib
import sys

STAMP = b"241004"
STAMP_ADDRESS = 0xF0E0
APP_START, APP_END = 0x0018, 0xF0E7  # inclusive
BOOT_START, BOOT_END = 0xFCA8, 0xFFC9
CONFIG_START = 0xFFF8


class Lcg:
    """A small fixed generator, so the output never depends on Python's random module."""

    def __init__(self, seed):
        self.state = seed

    def next(self, bound):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % bound


def avr_word(rng):
    """One instruction word of the kinds compiled C code is made of."""
    d, r, k = rng.next(32), rng.next(32), rng.next(256)
    kind = rng.next(12)
    if kind == 0:  # ldi r16..r31, K
        return 0xE000 | ((k & 0xF0) << 4) | ((d & 0x0F) << 4) | (k & 0x0F)
    if kind == 1:  # mov Rd, Rr
        return 0x2C00 | ((r & 0x10) << 5) | (d << 4) | (r & 0x0F)
    if kind == 2:  # rjmp / rcall, short
        return (0xC000 if rng.next(2) else 0xD000) | rng.next(0x1000)
    if kind == 3:  # push / pop
        return (0x920F if rng.next(2) else 0x900F) | (d << 4)
    if kind == 4:  # in / out
        a = rng.next(64)
        return (0xB800 if rng.next(2) else 0xB000) | ((a & 0x30) << 5) | (d << 4) | (a & 0x0F)
    if kind == 5:  # ldd / std Y+q
        q = rng.next(64)
        base = 0x8008 if rng.next(2) else 0x8208
        return base | ((q & 0x20) << 8) | ((q & 0x18) << 7) | (d << 4) | (q & 0x07)
    if kind == 6:  # add / adc / sub / cp
        op = (0x0C00, 0x1C00, 0x1800, 0x1400)[rng.next(4)]
        return op | ((r & 0x10) << 5) | (d << 4) | (r & 0x0F)
    if kind == 7:  # brne / breq
        return (0xF401 if rng.next(2) else 0xF001) | (rng.next(64) << 3)
    if kind == 8:  # andi / ori / cpi
        op = (0x7000, 0x6000, 0x3000)[rng.next(3)]
        return op | ((k & 0xF0) << 4) | ((d & 0x0F) << 4) | (k & 0x0F)
    if kind == 9:
        return (0x9508, 0x9518, 0x0000, 0x94F8, 0x9478)[rng.next(5)]  # ret reti nop cli sei
    if kind == 10:  # lds / sts (the address word follows in the stream as data)
        return (0x9000 if rng.next(2) else 0x9200) | (d << 4)
    return 0x01C0 | (rng.next(16) << 4) | rng.next(16)  # movw


def code_bytes(rng, count):
    out = bytearray()
    while len(out) < count:
        word = avr_word(rng)
        out += bytes((word & 0xFF, word >> 8))
    return bytes(out[:count])


def record(kind, address, data):
    body = bytes((len(data), address >> 8, address & 0xFF, kind)) + data
    checksum = (-sum(body)) & 0xFF
    return ":" + (body + bytes((checksum,))).hex().upper()


def memory_map():
    """(address, bytes) stretches of the release, in address order."""
    rng = Lcg(0x241004)
    app = bytearray(code_bytes(rng, APP_END - APP_START + 1))
    name = b"KALMIRA-5K-2 r."
    tail = name + STAMP + b"\x00\x00"  # name, stamp and terminator end the application
    app[len(app) - len(tail) :] = tail
    assert APP_START + len(app) - 8 == STAMP_ADDRESS
    boot = code_bytes(rng, BOOT_END - BOOT_START + 1)
    start = APP_START // 2
    return [
        (0x0000, bytes((0x0C, 0x94, start & 0xFF, start >> 8))),  # jmp to the start-up code
        (0x0008, bytes((0x18, 0x95))),  # reti: the unused vector
        (APP_START, bytes(app)),
        (BOOT_START, boot),
        (CONFIG_START, bytes((0xFF, 0xD9, 0xFC, 0xFF, 0x1E, 0x96, 0x0A, 0x5A))),
    ]


def record_sizes(address, length):
    """How the boot section is cut: whole 16-byte records, then a 10 and three 8s."""
    if address == BOOT_START:
        sizes = [16] * ((length - 34) // 16) + [10, 8, 8, 8]
        assert sum(sizes) == length
        return sizes
    if length % 16 == 0:
        return [16] * (length // 16)
    return [length]


def release_text():
    lines = [record(0x04, 0x0000, b"\x00\x00")]
    for address, data in memory_map():
        offset = 0
        for size in record_sizes(address, len(data)):
            lines.append(record(0x00, address + offset, data[offset : offset + size]))
            offset += size
    lines.append(":00000001FF")
    return "".join(line + "\r\n" for line in lines)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    default = root / "resources" / "firmware" / "KALMIRA-5K-2_241004.hex"
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    text = release_text()
    target.write_bytes(text.encode("ascii"))
    print(f"{target}: {text.count(chr(10))} lines")


if __name__ == "__main__":
    main()
