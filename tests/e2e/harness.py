"""Runs the real client under Xvfb against the stand-in platform server.

Every test gets its own X display with a window manager, its own stand-in
server on 127.0.0.1, its own home folder and its own copy of the executable
(the client keeps qzcfg.dat beside its executable). Waits poll for conditions
with generous time-outs; nothing sleeps for a fixed time.
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SERVER = os.path.join(ROOT, "scripts", "standin_server.py")
CAPTION_MARK = "客服电话："


def wait_for(what, condition, timeout=60.0, interval=0.1):
    """Polls condition() until it returns something truthy; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for: " + what)
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def read_hosts(build_dir):
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            if line.startswith("VANTOR_HOSTS:"):
                return line.split("=", 1)[1].strip().split(";")
    raise RuntimeError("VANTOR_HOSTS not in the build's cache")


class Display:
    def __init__(self, width=1280, height=800):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % (width, height), "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(r)
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.wm = subprocess.Popen(["openbox"],
                                   env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False), timeout=30)

    def run(self, args, check=True):
        p = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30)
        if check and p.returncode != 0:
            raise RuntimeError("%s failed: %s" % (args, p.stderr))
        return p.stdout

    def windows(self, name):
        """Visible windows whose title contains name: {id: title}."""
        out = self.run(["xdotool", "search", "--onlyvisible", "--name", name], check=False)
        result = {}
        for wid in out.split():
            title = self.run(["xdotool", "getwindowname", wid], check=False).rstrip("\n")
            result[wid] = title
        return result

    def viewable_windows(self):
        """Ids of every mapped top-level window (menus and pop-ups included)."""
        out = self.run(["xwininfo", "-root", "-children"], check=False)
        ids = []
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("0x"):
                wid = line.split()[0]
                info = self.run(["xwininfo", "-id", wid], check=False)
                if "Map State: IsViewable" in info:
                    ids.append(wid)
        return ids

    def geometry(self, wid):
        info = self.run(["xwininfo", "-id", wid])
        values = {}
        for line in info.splitlines():
            line = line.strip()
            for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                if line.startswith(key + ":"):
                    values[key] = int(line.split(":")[1])
        return values["Absolute upper-left X"], values["Absolute upper-left Y"], values["Width"], values["Height"]

    def frame_extents(self, wid):
        out = self.run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"], check=False)
        if "=" not in out:
            return None
        return [int(v) for v in out.split("=")[1].split(",")]

    def key(self, wid, *keys):
        self.run(["xdotool", "windowactivate", "--sync", wid], check=False)
        self.run(["xdotool", "key"] + list(keys))

    def box_text(self, wid):
        """The text of a message box: Ctrl+C copies it, the clipboard tells it."""
        def copied():
            self.key(wid, "ctrl+c")
            text = self.run(["xclip", "-o", "-selection", "clipboard"], check=False)
            return text if text.strip() else None
        return wait_for("the box's text on the clipboard", copied, timeout=20, interval=0.5)

    def wait_box(self, caption="提示", timeout=60):
        """A visible window with exactly this caption."""
        def find():
            for wid, title in self.windows(caption).items():
                if title == caption:
                    return wid
            return None
        return wait_for("a box captioned %r" % caption, find, timeout)

    def screenshot(self, path):
        self.run(["import", "-window", "root", path])
        return path

    def close(self):
        for p in (self.wm, self.xvfb):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()


class StandIn:
    def __init__(self, workdir, up, delay_ms=0, lifetime=600, start_script="", start_delay_ms=0):
        self.log = os.path.join(workdir, "requests-%d.log" % int(time.monotonic() * 1000))
        port_file = self.log + ".port"
        args = [sys.executable, SERVER, "--up", ",".join(up), "--lifetime", str(lifetime),
                "--log", self.log, "--port-file", port_file]
        if delay_ms:
            args += ["--delay-ms", str(delay_ms)]
        if start_delay_ms:
            args += ["--start-delay-ms", str(start_delay_ms)]
        if start_script:
            script_file = self.log + ".js"
            with open(script_file, "w", encoding="utf-8") as f:
                f.write(start_script)
            args += ["--start-script", script_file]
        self.proc = subprocess.Popen(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for("the stand-in server", lambda: os.path.exists(port_file), timeout=30)
        with open(port_file) as f:
            self.port = int(f.read())
        self.proxy = "http://127.0.0.1:%d" % self.port

    def requests(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def find(self, path=None, query_has=None, host=None):
        found = []
        for r in self.requests():
            if path is not None and r["path"] != path:
                continue
            if query_has is not None and query_has not in r["query"]:
                continue
            if host is not None and r["host"] != host:
                continue
            found.append(r)
        return found

    def beacons(self, event):
        out = []
        for r in self.find(path="/80417fahuo/beacon", query_has="ev=" + event):
            q = dict(p.split("=", 1) if "=" in p else (p, "") for p in r["query"].split("&"))
            out.append(q)
        return out

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(10)


class Client:
    """One installation of the client: an executable copy, its folder, a home."""

    def __init__(self, build_dir, workdir):
        self.dir = os.path.join(workdir, "install")
        os.makedirs(self.dir, exist_ok=True)
        self.exe = os.path.join(self.dir, "vantor")
        shutil.copy2(os.path.join(build_dir, "vantor"), self.exe)
        self.home = os.path.join(workdir, "home")
        os.makedirs(self.home, exist_ok=True)
        self.config = os.path.join(self.dir, "qzcfg.dat")
        self.proc = None

    def start(self, display, proxy, extra_env=None, wrapper=()):
        env = dict(display.env, HOME=self.home, XDG_DATA_HOME=os.path.join(self.home, "data"),
                   http_proxy=proxy or "", no_proxy="", LANG="C.UTF-8", LC_ALL="C.UTF-8")
        if not proxy:
            env.pop("http_proxy")
        for k in ("HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"):
            env.pop(k, None)
        env.update(extra_env or {})
        self.output = open(os.path.join(self.dir, "output-%d.log" % int(time.monotonic() * 1000)), "wb")
        self.started = time.monotonic()
        self.proc = subprocess.Popen(list(wrapper) + [self.exe], env=env, stdout=self.output,
                                     stderr=subprocess.STDOUT, start_new_session=True, cwd=self.dir)
        return self.proc

    def twin(self):
        """Another start of the same installation: same folder, same home."""
        other = Client.__new__(Client)
        other.__dict__.update(self.__dict__)
        other.proc = None
        return other

    def main_window(self, display, timeout=60):
        return wait_for("the main window", lambda: next(iter(display.windows(CAPTION_MARK)), None), timeout)

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the client did not end within %.1f s" % timeout)

    def output_text(self):
        self.output.flush()
        with open(self.output.name, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def kill(self):
        if self.proc and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(10)


def scramble(text, key=0x2E9D):
    k = key
    out = ""
    for ch in text:
        b = (ord(ch) ^ (k >> 8)) % 256
        k = (22719 - (b + k) * 12691) % 65536
        out += chr(65 + b // 26) + chr(65 + b % 26)
    return out


def unscramble(text, key=0x2E9D):
    k = key
    out = ""
    for i in range(0, len(text) - 1, 2):
        e = ((ord(text[i]) % 256) * 26 + (ord(text[i + 1]) % 256) - 1755) & 0xFFFF
        b = e % 256
        out += chr(b ^ (k >> 8))
        k = (22719 - (b + k) * 12691) % 65536
    return out


def read_login_entry(path):
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip().lower().startswith("loginurl"):
                return line.split("=", 1)[1].strip()
    return None


class Session:
    """Context manager that owns a work folder, a display and cleans up."""

    def __init__(self, build_dir, name):
        self.build_dir = build_dir
        self.work = tempfile.mkdtemp(prefix="vantor-e2e-%s-" % name)
        self.display = Display()
        self.hosts = read_hosts(build_dir)
        self.servers = []
        self.clients = []

    def server(self, up, **kw):
        """A stand-in server; `up` lists indexes into the built-in hosts or host names."""
        up = [self.hosts[h] if isinstance(h, int) else h for h in up]
        s = StandIn(self.work, up, **kw)
        self.servers.append(s)
        return s

    def launch(self, up, window=True, window_timeout=60, **server_kw):
        """A stand-in server, a client started against it and, unless window is
        False, its main window: (server, client, window id or None)."""
        server = self.server(up, **server_kw)
        client = self.client()
        client.start(self.display, server.proxy)
        win = client.main_window(self.display, window_timeout) if window else None
        return server, client, win

    def client(self):
        c = Client(self.build_dir, self.work)
        self.clients.append(c)
        return c

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            try:
                shot = self.display.screenshot(os.path.join(self.work, "failure.png"))
                print("screenshot at failure: " + shot)
            except Exception:
                pass
        for c in self.clients:
            c.kill()
        for s in self.servers:
            s.close()
        if exc_type is not None:
            for c in self.clients:
                if c.proc:
                    print("client output:\n" + c.output_text())
        self.display.close()
        if exc_type is None and not os.environ.get("VANTOR_KEEP_E2E"):
            shutil.rmtree(self.work, ignore_errors=True)
        return False


def main(test_functions):
    """Runs the given tests (callables taking build_dir) and prints a summary."""
    build_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    only = sys.argv[2:]
    passed = failed = 0
    for fn in test_functions:
        if only and fn.__name__ not in only:
            continue
        start = time.monotonic()
        try:
            fn(build_dir)
            passed += 1
            print("PASS %s (%.1f s)" % (fn.__name__, time.monotonic() - start), flush=True)
        except Exception as e:  # noqa: BLE001 - report every failure and go on
            failed += 1
            print("FAIL %s: %s" % (fn.__name__, e), flush=True)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)
