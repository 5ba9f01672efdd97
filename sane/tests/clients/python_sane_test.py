#!/usr/bin/python3
"""The backend under Debian's python3-sane, in this process: the options as
a program sees them, a scan equal to scanimage's, and cancels (while rows
are read, and while sane_start waits for the lock) after which the same
open device scans again."""

import threading

from clientsupport import (ClientTest, Config, expected_image, main, read_page, read_pnm,
                           run_with_backend_environment, scanimage)

HEALTHY = "vivaro:emulator:0"
WAITING = "vivaro:emulator:1"
SANE_INFO_INEXACT = 1


class PythonSaneTest(ClientTest):
    @classmethod
    def setUpClass(cls):
        import sane
        cls.sane = sane
        sane.init()
        cls.page = read_page(CONFIG.page)
        cls.config = CONFIG

    def setUp(self):
        self.device = self.open(HEALTHY)

    def open(self, name):
        device = self.sane.open(name)
        self.addCleanup(device.close)
        return device

    def snap(self):
        self.device.start()
        data, width, height, samples, bits = self.device.dev.snap(False, False, None)
        return bytes(data), width, height

    def test_the_options_with_their_activity(self):
        names = {o[1] for o in self.device.get_options()}
        self.assertLessEqual({"mode", "resolution", "source", "preview", "tl-x", "tl-y", "br-x", "br-y",
                              "brightness", "contrast", "threshold"}, names)
        self.assertFalse(self.device["threshold"].is_active())
        self.device.mode = "Lineart"  # reloads the options
        self.assertTrue(self.device["threshold"].is_active())
        self.assertFalse(self.device["brightness"].is_active())
        info = self.device.dev.set_option(self.device["resolution"].index, 180)
        self.assertTrue(info & SANE_INFO_INEXACT)
        self.assertEqual(self.device.resolution, 200)

    def test_a_scan_equals_scanimages(self):
        # scanimage first: the device is open here, and a second process is told it is busy.
        self.device.close()
        scans = {mode: scanimage(self.config, HEALTHY, "--mode", mode, "--resolution", "150", "-y", "8")
                 for mode in ("Color", "Lineart")}
        self.device = self.open(HEALTHY)
        for mode, result in scans.items():
            with self.subTest(mode=mode):
                self.device.mode = mode
                self.device.resolution = 150
                self.device.br_y = 8.0
                data, width, height = self.snap()
                self.assertEqual(result.returncode, 0, result.stderr)
                _, columns, rows, pixels = read_pnm(result.stdout)
                self.assertEqual((width, height), (columns, rows))
                # python3-sane unpacks line art to a byte per pixel; scanimage keeps SANE's bits.
                if mode == "Lineart":
                    pixels = bytes(0 if pixels[y * ((columns + 7) // 8) + x // 8] & (0x80 >> x % 8) else 255
                                   for y in range(rows) for x in range(columns))
                self.assertTrue(data == pixels, "python3-sane's scan differs from scanimage's")

    def test_a_cancelled_scan_is_followed_by_a_whole_one(self):
        # A front end that cancels without reading on sets options at once.
        self.device.start()
        self.device.cancel()
        self.device.resolution = 150
        self.device.start()

        def cancel_at_row_200(done, total):
            if done == 200:
                self.device.cancel()

        with self.assertRaisesRegex(self.sane._sane.error, "cancel"):
            self.device.dev.snap(False, False, cancel_at_row_200)
        self.device.br_y = 8.0
        data, width, height = self.snap()
        self.assertEqual((width, height, data), expected_image(self.page, "Color", 150, height=8))

    def test_a_cancel_ends_the_wait_for_the_lock(self):
        waiting = self.open(WAITING)
        threading.Timer(0.5, waiting.cancel).start()
        with self.assertRaisesRegex(self.sane._sane.error, "cancel"):
            waiting.start()


if __name__ == "__main__":
    CONFIG = Config("python-sane", [None, "not-locked = 4\n"])
    run_with_backend_environment(CONFIG.dir)
    main()
