"""The Python package against velor-devsim: loads and their refusals, identify, a stop from
another thread, a progress callback that raises. Usage: python_package_test.py DEVSIM"""

import subprocess
import sys
import threading
import unittest

import velor

DEVSIM = sys.argv.pop(1)


class Device:
    def __init__(self, *args: str) -> None:
        self.process = subprocess.Popen(
            [DEVSIM, *args], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True
        )
        self.path = self.process.stdout.readline().strip()

    def __enter__(self) -> "Device":
        return self

    def __exit__(self, *exc: object) -> None:
        self.process.terminate()
        self.process.wait()


class ImageTest(unittest.TestCase):
    def test_the_embedded_release_has_its_digest(self) -> None:
        image = velor.embedded()
        self.assertEqual(len(image.sha256), 64)
        self.assertEqual(image.size, 65536)

    def test_a_refused_text_raises_with_line_and_message(self) -> None:
        with self.assertRaises(velor.ImageError) as caught:
            velor.Image.from_text(":0400000001020304F2\r\n:0400040005060708DD\r\n:00000001FF\r\n")
        self.assertEqual(caught.exception.line, 2)
        self.assertTrue(caught.exception.text.startswith("Помилка контрольної суми"))

    def test_a_missing_file_raises_with_its_name(self) -> None:
        with self.assertRaises(velor.ImageError) as caught:
            velor.Image.load("/nonexistent/release.hex")
        self.assertIn("/nonexistent/release.hex", caught.exception.text)
        self.assertEqual(caught.exception.line, 0)

    def test_a_rate_the_device_lacks_is_refused(self) -> None:
        with self.assertRaises(velor.VelorError) as caught:
            velor.Session("/dev/null", 12345)
        self.assertEqual(caught.exception.status, -7)


class SessionTest(unittest.TestCase):
    def test_identify_then_a_stop_from_another_thread(self) -> None:
        with Device("--geometry", "32:255:64") as device, velor.Session(device.path) as s:
            info = s.identify()
            self.assertEqual((info.pages, info.blocks_per_page, info.block_size), (64, 32, 255))
            self.assertFalse(s.stop())
            started = threading.Event()
            seen = []

            def progress(p: velor.Progress) -> None:
                seen.append(p.bytes)
                if p.bytes > 0:
                    started.set()

            stopper = threading.Thread(target=lambda: started.wait(30) and s.stop())
            stopper.start()
            with self.assertRaises(velor.OutcomeError) as caught:
                s.write(velor.embedded(), on_progress=progress)
            stopper.join()
            outcome = caught.exception.outcome
            self.assertEqual(outcome.kind_name, "stopped")
            self.assertEqual(caught.exception.number, 9)
            self.assertGreater(outcome.bytes, 0)
            self.assertLess(outcome.bytes, outcome.bytes_total)
            self.assertTrue(caught.exception.text)

    def test_a_progress_callback_that_raises_stops_the_write_and_raises_here(self) -> None:
        with Device("--geometry", "32:255:16") as device, velor.Session(device.path) as s:
            def progress(p: velor.Progress) -> None:
                if p.pages_done >= 1:
                    raise ValueError("enough")

            with self.assertRaises(ValueError):
                s.write(velor.embedded(), on_progress=progress)
            self.assertEqual(s.outcome().kind_name, "stopped")
            done = s.write(velor.embedded())
            self.assertTrue(done.done)
            self.assertIn("Мікропрограма успішно завантажена в ", done.message)

    def test_a_newer_release_is_refused_with_its_reason(self) -> None:
        with Device("--geometry", "32:255:8", "--description", "241005") as device:
            with velor.Session(device.path) as s:
                with self.assertRaises(velor.OutcomeError) as caught:
                    s.write(velor.embedded())
                self.assertEqual(caught.exception.outcome.reason_name, "newer-release")
                self.assertIn("новіша версія", caught.exception.text)


if __name__ == "__main__":
    unittest.main()
