#!/usr/bin/python3
"""The backend shared by Debian's saned and scanned through SANE's net
backend: the image over the network protocol equals the local one.

saned listens on SANE's port, which the net backend cannot be told to
change, so the test runs in a network namespace of its own with nothing
but a loopback interface: no traffic leaves it and nothing else listens
there. Without root or namespaces the test reports itself skipped."""

import os
import shutil
import signal
import socket
import subprocess
import sys
import time

from clientsupport import ClientTest, Config, backend_environment, main, scanimage

SKIPPED = 77
SANE_PORT = 6566


def enter_own_network_namespace():
    if os.environ.get("VIVARO_OWN_NETNS") == "1":
        subprocess.run(["ip", "link", "set", "lo", "up"], check=True)
        return
    if os.geteuid() != 0 or not shutil.which("unshare") or \
            subprocess.run(["unshare", "--net", "true"], capture_output=True).returncode != 0:
        print("network namespaces are not available here: skipped")
        sys.exit(SKIPPED)
    env = dict(os.environ, VIVARO_OWN_NETNS="1")
    os.execvpe("unshare", ["unshare", "--net", sys.executable] + sys.argv, env)


class SanedTest(ClientTest):
    @classmethod
    def setUpClass(cls):
        cls.server = Config("saned-server", [None])
        with open(cls.server.path("saned.conf"), "w") as f:
            f.write("127.0.0.1\n")
        cls.client = Config("saned-client", [], backends=("net",))
        with open(cls.client.path("net.conf"), "w") as f:
            f.write("connect_timeout = 10\n127.0.0.1\n")
        cls.saned = subprocess.Popen(["saned", "-l", "-b", "127.0.0.1", "-p", str(SANE_PORT), "-e", "-d", "1"],
                                     env=backend_environment(cls.server.dir), stdout=subprocess.DEVNULL,
                                     stderr=open(cls.server.path("saned.log"), "wb"), start_new_session=True)
        deadline = time.monotonic() + 30
        while True:
            try:
                socket.create_connection(("127.0.0.1", SANE_PORT), timeout=1).close()
                break
            except OSError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.1)

    @classmethod
    def tearDownClass(cls):
        # saned starts a child per connection: the whole group it leads goes.
        os.killpg(cls.saned.pid, signal.SIGTERM)
        cls.saned.wait(timeout=30)

    def test_a_scan_over_the_network_equals_the_local_one(self):
        for mode in ("Color", "Lineart"):
            with self.subTest(mode=mode):
                arguments = ("--mode", mode, "--resolution", "150", "-y", "8")
                local = scanimage(self.server, "vivaro:emulator:0", *arguments)
                remote = scanimage(self.client, "net:127.0.0.1:vivaro:emulator:0", *arguments)
                self.assertEqual(local.returncode, 0, local.stderr)
                self.assertEqual(remote.returncode, 0, remote.stderr)
                self.assertTrue(remote.stdout == local.stdout, "the scan over saned differs from the local one")

    def test_the_network_lists_the_device(self):
        result = subprocess.run(["scanimage", "-L"], env=self.client.environment(), capture_output=True,
                                timeout=60)
        self.assertIn(b"device `net:127.0.0.1:vivaro:emulator:0' is a ARVEL NORVANE Vivaro 5320MF", result.stdout)


if __name__ == "__main__":
    enter_own_network_namespace()
    main()
