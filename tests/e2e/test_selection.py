#!/usr/bin/env python3
"""Server selection end to end: the remembered host, the draws, and the messages."""
import os
import shutil
import subprocess
import time

from harness import Session, check, main, read_login_entry, scramble, unscramble, wait_for

HEALTH = "/80417fahuo/estar/client/checkwebx.htm"


def file_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def test_first_start_remembers_the_host_and_the_next_start_probes_only_it(build_dir):
    with Session(build_dir, "remember") as s:
        server, client, win = s.launch(up=[1])
        wait_for("the start page", lambda: server.beacons("loaded"))
        entry = read_login_entry(client.config)
        check(entry is not None and unscramble(entry) == s.hosts[1], "entry %r" % entry)
        check(len(entry) == 2 * len(s.hosts[1]) and entry.isupper(), "entry %r" % entry)
        before = file_bytes(client.config)
        s.display.key(win, "alt+F4")
        check(client.wait_exit(10) == 0, "exit code")

        probes = len(server.find(path=HEALTH))
        client.start(s.display, server.proxy)
        client.main_window(s.display)
        wait_for("the second start page", lambda: len(server.beacons("loaded")) >= 2)
        second = server.find(path=HEALTH)[probes:]
        check([r["host"] for r in second] == [s.hosts[1]], "second start probed %r" % [r["host"] for r in second])
        check(file_bytes(client.config) == before, "the file changed although the remembered host answered")


def test_all_hosts_down_shows_the_splash_then_the_message_and_exits_0(build_dir):
    with Session(build_dir, "all-down") as s:
        server = s.server(up=[])
        client = s.client()
        with open(client.config, "wb") as f:
            f.write(b"; kept\r\n[System]\r\nloginurl=" + scramble("old.vantor.example").encode() + b"\r\n")
        before = file_bytes(client.config)
        client.start(s.display, server.proxy)
        wait_for("the splash window", lambda: s.display.windows("Vantor"), timeout=30)
        box = s.display.wait_box(timeout=60)
        elapsed = time.monotonic() - client.started
        text = s.display.box_text(box)
        check("无法连接服务器,请检查网络!" in text, "box said %r" % text)
        check(not s.display.windows("客服电话"), "the main window was shown")
        probes = server.find(path=HEALTH)
        check(len(probes) == 11 and probes[0]["host"] == "old.vantor.example",
              "%d probes (remembered host + 10 draws)" % len(probes))
        s.display.key(box, "Return")
        check(client.wait_exit(10) == 0, "exit code")
        check(file_bytes(client.config) == before, "the configuration file changed")
        print("all hosts down: message after %.1f s" % elapsed)


def network_namespace_wrapper():
    for wrapper in (["unshare", "-n"], ["unshare", "-rn"]):
        if subprocess.run(wrapper + ["true"], capture_output=True).returncode == 0:
            return wrapper
    return None


def test_no_network_tells_the_user_before_any_request(build_dir):
    wrapper = network_namespace_wrapper()
    if wrapper is None:
        print("SKIP no network namespace available")
        return
    with Session(build_dir, "no-network") as s:
        server = s.server(up=[0, 1, 2])
        client = s.client()
        # A network namespace with no interface up, and no proxy configured.
        client.start(s.display, None, wrapper=wrapper)
        box = s.display.wait_box(timeout=60)
        text = s.display.box_text(box)
        check("无法连接服务器,请检查网络连接!" in text, "box said %r" % text)
        s.display.key(box, "Return")
        check(client.wait_exit(10) == 0, "exit code")
        check(server.requests() == [], "requests were sent: %r" % server.requests())
        check(not os.path.exists(client.config), "a configuration file was written")


def test_check_host_command(build_dir):
    with Session(build_dir, "check-host") as s:
        server = s.server(up=[2])
        exe = os.path.join(build_dir, "vantor")
        env = dict(os.environ, http_proxy=server.proxy)
        env.pop("DISPLAY", None)
        ok = subprocess.run([exe, "--check-host", s.hosts[2]], env=env, capture_output=True, text=True, timeout=30)
        check(ok.returncode == 0 and ok.stdout.strip() == "TestOK", "check of an answering host: %r" % (ok,))
        bad = subprocess.run([exe, "--check-host", s.hosts[0]], env=env, capture_output=True, text=True, timeout=30)
        check(bad.returncode == 1 and bad.stdout.startswith('{"status":"500"'), "check of a silent host: %r" % (bad,))


if __name__ == "__main__":
    main([
        test_first_start_remembers_the_host_and_the_next_start_probes_only_it,
        test_all_hosts_down_shows_the_splash_then_the_message_and_exits_0,
        test_no_network_tells_the_user_before_any_request,
        test_check_host_command,
    ])
