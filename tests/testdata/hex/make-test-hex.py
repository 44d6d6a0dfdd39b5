#!/usr/bin/env python3
"""Writes the generated Intel HEX test inputs beside this script (deterministic).

plain.hex    data records only, lower-case digits, LF line ends, records of 1 to 32 bytes
segment.hex  extended segment address records (02), a start segment record (03), CR LF
linear.hex   extended linear address records (04) over three 64 KiB banks, one record running
             across a bank boundary
"""

import pathlib

HERE = pathlib.Path(__file__).resolve().parent


class Lcg:
    def __init__(self, seed):
        self.state = seed

    def next(self, bound):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % 2**64
        return (self.state >> 33) % bound

    def data(self, n):
        return bytes(self.next(256) for _ in range(n))


def record(kind, address, data=b""):
    body = bytes((len(data), (address >> 8) & 0xFF, address & 0xFF, kind)) + data
    return ":" + (body + bytes(((-sum(body)) & 0xFF,))).hex().upper()


def data_run(rng, start, end, sizes):
    """Data records covering load offsets start..end-1 with sizes drawn from `sizes`."""
    lines, at = [], start
    while at < end:
        n = min(sizes[rng.next(len(sizes))], end - at)
        lines.append(record(0x00, at, rng.data(n)))
        at += n
    return lines


def plain():
    rng = Lcg(1)
    lines = data_run(rng, 0x0000, 0x0300, [1, 3, 16, 32])
    lines += data_run(rng, 0x0500, 0x0580, [16])
    lines += data_run(rng, 0xFF00, 0x10000, [7, 16, 32])
    lines.append(record(0x01, 0))
    return "".join(line.lower() + "\n" for line in lines)


def segment():
    rng = Lcg(2)
    lines = data_run(rng, 0x0000, 0x0100, [16])
    lines.append(record(0x02, 0, bytes((0x20, 0x00))))  # data at 0x20000 + offset
    lines += data_run(rng, 0x0000, 0x0200, [16, 8])
    lines.append(record(0x02, 0, bytes((0x0F, 0xFF))))  # 0xFFF0: runs across the bank boundary
    lines += data_run(rng, 0x0000, 0x0040, [16])
    lines.append(record(0x02, 0, bytes((0x30, 0x00))))
    lines += data_run(rng, 0x8000, 0x8040, [16])
    lines.append(record(0x03, 0, bytes((0x30, 0x00, 0x80, 0x00))))
    lines.append(record(0x01, 0))
    return "".join(line + "\r\n" for line in lines)


def linear():
    rng = Lcg(3)
    lines = [record(0x04, 0, b"\x00\x00")]
    lines += data_run(rng, 0x0000, 0x0100, [16])
    lines += data_run(rng, 0xFFC0, 0xFFF8, [16])
    lines.append(record(0x00, 0xFFF8, rng.data(16)))  # runs on into the next bank
    lines.append(record(0x04, 0, b"\x00\x01"))
    lines += data_run(rng, 0x0008, 0x0400, [16, 32])
    lines.append(record(0x04, 0, b"\x00\x02"))
    lines += data_run(rng, 0x1000, 0x1100, [16])
    lines.append(record(0x01, 0))
    return "".join(line + "\r\n" for line in lines)


def main():
    for name, make in (("plain.hex", plain), ("segment.hex", segment), ("linear.hex", linear)):
        (HERE / name).write_bytes(make().encode("ascii"))


if __name__ == "__main__":
    main()
