#!/usr/bin/python3
"""The backend under Debian's scanimage: listing, every mode at every
resolution exactly as the emulator scans the page, a crop, a feeder batch,
an interrupted scan, and each device fault as its status. Arguments name
the test classes to run (ScanimageTest, SilentDeviceTest)."""

import signal
import subprocess
import time

from clientsupport import (MAGIC, ClientTest, Config, expected_image, fitted_image, main, read_page, scanimage)

HEALTHY = "vivaro:emulator:0"
# 8 mm down the page: enough rows to cross the codec's row boundaries at
# every resolution while the scans stay quick.
STRIP = ("-l", "0", "-t", "0", "-x", "215.9", "-y", "8")

# scanimage exits with the SANE status of a failed sane_start or sane_read.
JAMMED, NO_DOCS, COVER_OPEN, IO_ERROR, CANCELLED = 6, 7, 8, 9, 2


class ScanimageTest(ClientTest):
    @classmethod
    def setUpClass(cls):
        cls.config = Config("scanimage", [None], extra_lines=["usb 0x7a70", "scanner please"])
        cls.page = read_page(cls.config.page)

    def test_lists_the_device_and_skips_bad_configuration_lines(self):
        result = scanimage(self.config, HEALTHY, "-L", debug=1)
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"device `vivaro:emulator:0' is a ARVEL NORVANE Vivaro 5320MF multi-function peripheral",
                      result.stdout)
        self.assertIn(b'line 1 skipped: "usb 0x7a70"', result.stderr)
        self.assertIn(b'line 2 skipped: "scanner please"', result.stderr)

    def test_every_mode_at_every_resolution_is_the_page(self):
        for mode in ("Color", "Gray", "Lineart"):
            for resolution in (150, 300, 600):
                with self.subTest(mode=mode, resolution=resolution):
                    result = scanimage(self.config, HEALTHY, "--mode", mode, "--resolution", str(resolution),
                                       *STRIP)
                    self.assertEqual(result.returncode, 0, result.stderr)
                    self.assertImage(result.stdout, expected_image(self.page, mode, resolution, height=8),
                                     MAGIC[mode])

    def test_a_resolution_the_device_does_not_scan_is_fitted_on_the_way(self):
        for mode, resolution in (("Color", 50), ("Gray", 400), ("Lineart", 400)):
            with self.subTest(mode=mode, resolution=resolution):
                result = scanimage(self.config, HEALTHY, "--mode", mode, "--resolution", str(resolution), *STRIP)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertImage(result.stdout, fitted_image(self.page, mode, resolution, height=8), MAGIC[mode])

    def test_a_geometry_is_that_crop(self):
        result = scanimage(self.config, HEALTHY, "--mode", "Gray", "--resolution", "300", "-l", "20.5", "-t",
                           "30", "-x", "50.8", "-y", "12.7")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertImage(result.stdout, expected_image(self.page, "Gray", 300, 20.5, 30, 50.8, 12.7), "P5")

    def test_a_threshold_moves_the_line_art(self):
        result = scanimage(self.config, HEALTHY, "--mode", "Lineart", "--threshold", "90", "--resolution", "150",
                           *STRIP)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertImage(result.stdout, expected_image(self.page, "Lineart", 150, height=8, threshold=90), "P4")

    def test_a_feeder_batch_ends_when_the_feeder_is_empty(self):
        config = Config("scanimage-batch", ["feeder-pages = 3\n"])
        pattern = config.path("sheet%d.pnm")
        result = scanimage(config, HEALTHY, "--batch=" + pattern, "--source", "ADF", "--mode", "Gray",
                           "--resolution", "150", *STRIP)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"Batch terminated, 3 pages scanned", result.stderr)
        expected = expected_image(self.page, "Gray", 150, height=8)
        for sheet in (1, 2, 3):
            with open(pattern % sheet, "rb") as f:
                self.assertImage(f.read(), expected, "P5")

    def test_an_interrupted_scan_stops_the_device_and_the_next_scan_works(self):
        # A letter page in colour fills the pipe long before it ends, so the
        # interrupt always comes while rows are still being read.
        with subprocess.Popen(["scanimage", "-d", HEALTHY, "--resolution", "150"],
                              env=self.config.environment(debug=2), stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE) as process:
            process.stdout.read(65536)
            process.send_signal(signal.SIGINT)
            process.stdout.read()
            stderr = process.stderr.read()
            self.assertEqual(process.wait(timeout=60), CANCELLED, stderr)
        self.assertIn(b"[vivaro] stopping the scan", stderr)
        self.assertIn(b"scan ended: engine result 103, cancelled", stderr)
        result = scanimage(self.config, HEALTHY, "--mode", "Color", "--resolution", "150", *STRIP)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertImage(result.stdout, expected_image(self.page, "Color", 150, height=8), "P6")

    def test_device_faults_give_their_status(self):
        cases = [
            ("jam = lock\n", (), JAMMED),
            ("jam = block 2\n", (), JAMMED),
            ("feeder = empty\n", ("--source", "ADF"), NO_DOCS),
            ("feeder = absent\n", ("--source", "ADF"), NO_DOCS),
            ("cover = open\n", ("--source", "ADF"), COVER_OPEN),
            ("feeder = unit-open\n", ("--source", "ADF"), COVER_OPEN),
            ("feeder = cover-open\n", ("--source", "ADF"), COVER_OPEN),
            ("garbage-header = block 1\n", (), IO_ERROR),
            ("overlong-payload = block 1\n", (), IO_ERROR),
            ("disconnect-at = 3000\n", (), IO_ERROR),
            ("disconnect-at = 8\n", ("--source", "ADF"), IO_ERROR),  # gone at the feeder query
        ]
        config = Config("scanimage-faults", [fault for fault, _, _ in cases])
        for n, (fault, arguments, status) in enumerate(cases):
            with self.subTest(fault=fault.strip()):
                result = scanimage(config, "vivaro:emulator:%d" % n, "--resolution", "150", *arguments, *STRIP)
                self.assertEqual(result.returncode, status, result.stderr)

    def test_the_lamp_is_waited_for_inside_start(self):
        config = Config("scanimage-warming", ["warming = 1.5\n"])
        began = time.monotonic()
        result = scanimage(config, HEALTHY, "--resolution", "150", *STRIP, debug=1)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertGreaterEqual(time.monotonic() - began, 1.5)
        self.assertIn(b"waiting for the scanner to take the lock: the lamp is warming up", result.stderr)
        self.assertImage(result.stdout, expected_image(self.page, "Color", 150, height=8), "P6")

    def test_an_interrupt_ends_the_lock_wait(self):
        config = Config("scanimage-lock-wait", ["not-locked = 4\n"])
        with subprocess.Popen(["scanimage", "-d", HEALTHY, *STRIP], env=config.environment(debug=1),
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE) as process:
            line = process.stderr.readline()
            while line and b"waiting for the scanner" not in line:
                line = process.stderr.readline()
            process.send_signal(signal.SIGINT)
            stderr = process.stderr.read()
            self.assertEqual(process.wait(timeout=60), CANCELLED, stderr)
        self.assertIn(b"sane_start: Operation was canceled", stderr)

    def test_a_second_process_is_told_the_device_is_busy(self):
        with subprocess.Popen(
                ["/usr/bin/python3", "-c",
                 "import sane, sys; sane.init(); d = sane.open('%s'); print('open', flush=True); sys.stdin.read()"
                 % HEALTHY], env=self.config.environment(), stdin=subprocess.PIPE, stdout=subprocess.PIPE) as holder:
            self.assertEqual(holder.stdout.readline(), b"open\n")
            result = scanimage(self.config, HEALTHY, *STRIP)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn(b"open of device vivaro:emulator:0 failed: Device busy", result.stderr)
            holder.stdin.close()
            self.assertEqual(holder.wait(timeout=60), 0)


class SilentDeviceTest(ClientTest):
    """A silent device is waited for (the engine gives up after 30 seconds),
    so these run as a test of their own beside the others."""

    def test_a_device_that_stops_answering_is_an_io_error(self):
        config = Config("scanimage-silent", ["timeout-at = 3000\n"])
        result = scanimage(config, HEALTHY, "--resolution", "150", *STRIP)
        self.assertEqual(result.returncode, IO_ERROR, result.stderr)

    def test_stale_bytes_and_a_stall_do_not_spoil_the_scan(self):
        config = Config("scanimage-stall", ["leftover = 100\nstall = 2 at 5000\n"])
        result = scanimage(config, HEALTHY, "--resolution", "150", *STRIP)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertImage(result.stdout, expected_image(read_page(config.page), "Color", 150, height=8), "P6")


if __name__ == "__main__":
    main()
