"""Writes the release into three devices at once, one thread each, and prints a CSV line per
device: port,outcome,reason,seconds,failed_attempts,message.

Usage: python3 three_devices.py PORT1 PORT2 PORT3 [BAUD]"""

import csv
import sys
import threading
import time

import velor


def write_one(port: str, baud: int, image: velor.Image, rows: dict) -> None:
    start = time.monotonic()
    try:
        with velor.Session(port, baud) as session:
            outcome = session.write(image)
    except velor.OutcomeError as e:
        outcome = e.outcome
    rows[port] = [
        port,
        outcome.kind_name,
        outcome.reason_name,
        f"{time.monotonic() - start:.1f}",
        outcome.failed_attempts,
        " ".join(outcome.message.split()),
    ]


def main() -> int:
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    ports = sys.argv[1:4]
    baud = int(sys.argv[4]) if len(sys.argv) > 4 else 115200
    image = velor.embedded()
    rows: dict = {}
    threads = [threading.Thread(target=write_one, args=(p, baud, image, rows)) for p in ports]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    out = csv.writer(sys.stdout, lineterminator="\n")
    out.writerow(["port", "outcome", "reason", "seconds", "failed_attempts", "message"])
    for port in ports:
        out.writerow(rows[port])
    return 0 if all(rows[p][1] == "done" for p in ports) else 1


if __name__ == "__main__":
    sys.exit(main())
