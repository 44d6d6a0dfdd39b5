"""Writes the embedded release into N simulated devices at once, one Python thread and one
libvelor session each; exits 0 when every device is done. farm-bench times it for 8 against 1.

Usage: threads.py PORT [PORT ...]"""

import sys
import threading

import velor


def main() -> int:
    image = velor.embedded()
    failures = []

    def write(port: str) -> None:
        try:
            with velor.Session(port, 115200) as s:
                s.write(image)
        except velor.OutcomeError as e:
            failures.append(f"{port}: {e}")

    threads = [threading.Thread(target=write, args=(p,)) for p in sys.argv[1:]]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
