#!/usr/bin/env python3
"""Stand-in for the platform's servers, for the demo and the tests.

Listens on 127.0.0.1 only and acts as the HTTP proxy through which the client
reaches the built-in host names (the client finds it through http_proxy).
Hosts named with --up answer the health page with "TestOK"; other hosts have
their connections dropped. Every request is logged as one JSON line. The
server stops by itself after --lifetime seconds.
"""
import argparse
import hashlib
import html
import json
import os
import socketserver
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler

HEALTH = "/80417fahuo/estar/client/checkwebx.htm"
START = "/80417fahuo/index.html"

START_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Vantor 工作台</title>
<style>
 body {{ font-family: sans-serif; margin: 0; background: #f3f6fa; }}
 header {{ background: #1f5fa8; color: white; padding: 14px 24px; font-size: 20px; }}
 main {{ padding: 24px; }}
 button, a.btn {{ margin: 6px; padding: 8px 14px; font-size: 15px; }}
 #state {{ margin-top: 16px; padding: 12px; background: white; border: 1px solid #ccd; }}
</style></head>
<body>
<header>Vantor 货运协同平台 · 演示服务器 ({host})</header>
<main>
<p>欢迎使用。此页由本地演示服务器提供。</p>
<div>
<button id="alert" onclick="alert('运单已保存')">alert</button>
<button id="confirm" onclick="report('confirm', confirm('确认发货吗？'))">confirm</button>
<button id="prompt" onclick="report('prompt', prompt('请输入运单号', 'W0001'))">prompt</button>
<button id="popup" onclick="window.open('/80417fahuo/popup.html', 'pop', 'width=640,height=480')">pop-up</button>
<a class="btn" id="broken" href="http://127.0.0.1:47/unreachable">broken link</a>
<a class="btn" id="missing" href="/80417fahuo/missing.html">404 page</a>
</div>
<div id="state">session cookie sent with this page: <b id="cookie">{cookie}</b><br>
local storage visits: <b id="visits">?</b></div>
</main>
<script>
function report(what, value) {{
  fetch('/80417fahuo/beacon?ev=' + what + '&value=' + encodeURIComponent(String(value)));
}}
var n = parseInt(localStorage.getItem('visits') || '0') + 1;
localStorage.setItem('visits', String(n));
document.getElementById('visits').textContent = n;
window.addEventListener('load', function () {{
  fetch('/80417fahuo/beacon?ev=loaded&visits=' + n + '&value=' + encodeURIComponent(document.title));
}});
</script>
<script>{script}</script>
</body></html>
"""

POPUP_PAGE = """<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>运单详情</title></head>
<body><h3>运单详情 (pop-up)</h3>
<button id="close" onclick="window.close()">关闭</button>
<script>
window.addEventListener('load', function () {
  fetch('/80417fahuo/beacon?ev=popup-loaded');
  if (location.search.indexOf('autoclose') >= 0) setTimeout(function () { window.close(); }, 300);
});
</script></body></html>
"""


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def make_handler(opts, log, log_lock):
    up = set(h.strip().lower() for h in opts.up.split(",") if h.strip())
    start_script = ""
    if opts.start_script:
        with open(opts.start_script, encoding="utf-8") as f:
            start_script = f.read()

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"
        timeout = 30

        def log_message(self, fmt, *args):
            pass

        def target(self):
            parsed = urllib.parse.urlsplit(self.path)
            if parsed.scheme:
                return (parsed.hostname or "").lower(), parsed.path or "/", parsed.query
            host = (self.headers.get("Host") or "").split(":")[0].lower()
            return host, parsed.path, parsed.query

        def record(self, host, path, query, status):
            entry = {
                "t": time.time(),
                "method": self.command,
                "line": self.requestline,
                "host": host,
                "path": path,
                "query": query,
                "headers": [[k, v] for k, v in self.headers.items()],
                "status": status,
            }
            body = getattr(self, "body", None)
            if body is not None:
                entry["body_size"] = len(body)
                entry["body_sha256"] = hashlib.sha256(body).hexdigest()
            with log_lock:
                log.write(json.dumps(entry, ensure_ascii=False) + "\n")
                log.flush()

        def send(self, status, body, ctype="text/html; charset=utf-8", extra=()):
            data = body.encode("utf-8") if isinstance(body, str) else body
            if opts.delay_ms:
                time.sleep(opts.delay_ms / 1000.0)
            self.send_response(status)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(data)))
            self.send_header("Cache-Control", "no-store")
            for k, v in extra:
                self.send_header(k, v)
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(data)

        def do_GET(self):
            self.body = None
            host, path, query = self.target()
            if host not in up:
                self.record(host, path, query, "dropped")
                self.close_connection = True
                return
            if path == "/80417fahuo/download":
                self.record(host, path, query, 200)
                self.download(urllib.parse.parse_qs(query))
                return
            status, body, ctype, extra = self.route(host, path, query)
            self.record(host, path, query, status)
            self.send(status, body, ctype, extra)

        def download(self, params):
            """An attachment of `size` bytes (byte i is i % 251); `cut` stops after that many."""
            size = int(params.get("size", ["1024"])[0])
            cut = int(params.get("cut", [str(size)])[0])
            name = params.get("name", ["waybills.bin"])[0]
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Disposition", 'attachment; filename="%s"' % name)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            pattern = bytes(i % 251 for i in range(251 * 64))
            sent = 0
            while sent < cut:
                chunk = pattern[:min(len(pattern), cut - sent)]
                # Keep byte i = i % 251 across chunks (the pattern's length is a multiple of 251).
                self.wfile.write(chunk)
                sent += len(chunk)
                if cut < size and sent >= cut:
                    break
            self.close_connection = True

        do_POST = do_GET
        do_HEAD = do_GET

        def route(self, host, path, query):
            params = urllib.parse.parse_qs(query)
            if self.command == "POST":
                length = int(self.headers.get("Content-Length") or 0)
                self.body = self.rfile.read(min(length, 64 * 1024 * 1024))
            if path == HEALTH:
                return 200, "TestOK", "text/html", ()
            if path == START:
                if opts.start_delay_ms:
                    time.sleep(opts.start_delay_ms / 1000.0)
                cookie = self.headers.get("Cookie") or ""
                extra = []
                if "vsession=" not in cookie:
                    extra.append(("Set-Cookie", "vsession=%x; Path=/" % int(time.time() * 1000)))
                page = START_PAGE.format(host=html.escape(host), cookie=html.escape(cookie or "(none)"),
                                         script=start_script)
                return 200, page, "text/html; charset=utf-8", extra
            if path == "/80417fahuo/popup.html":
                return 200, POPUP_PAGE, "text/html; charset=utf-8", ()
            if path == "/80417fahuo/upload":
                return 200, "received %d bytes" % len(self.body or b""), "text/plain", ()
            if path == "/80417fahuo/beacon":
                return 200, "ok", "text/plain", ()
            if path == "/80417fahuo/page":
                # A page made of the given script, for tests: /page?js=...
                js = params.get("js", [""])[0]
                title = params.get("title", ["test page"])[0]
                body = ("<!DOCTYPE html><html><head><meta charset='utf-8'><title>%s</title></head>"
                        "<body><p id='text'>%s</p><script>function report(w,v){fetch('/80417fahuo/beacon?ev='"
                        "+w+'&value='+encodeURIComponent(String(v)));}\n%s</script></body></html>"
                        % (html.escape(title), html.escape(params.get("text", [""])[0]), js))
                return 200, body, "text/html; charset=utf-8", ()
            return 404, "<html><body><h1>404 页面不存在</h1></body></html>", "text/html; charset=utf-8", ()

    return Handler


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--up", default="", help="comma-separated hosts that answer")
    ap.add_argument("--lifetime", type=float, default=600.0, help="seconds until the server stops")
    ap.add_argument("--log", default="-", help="request log file (JSON lines)")
    ap.add_argument("--port-file", default="", help="write the listening port here")
    ap.add_argument("--start-script", default="", help="file with JavaScript added to the start page")
    ap.add_argument("--start-delay-ms", type=int, default=0, help="answer the start page this late")
    ap.add_argument("--delay-ms", type=int, default=0, help="answer every request this late")
    opts = ap.parse_args()

    log = sys.stdout if opts.log == "-" else open(opts.log, "a", encoding="utf-8")
    server = Server(("127.0.0.1", opts.port), make_handler(opts, log, threading.Lock()))
    port = server.server_address[1]
    if opts.port_file:
        tmp = opts.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(str(port))
        os.replace(tmp, opts.port_file)
    print("listening on 127.0.0.1:%d" % port, file=sys.stderr, flush=True)
    stopper = threading.Timer(opts.lifetime, server.shutdown)
    stopper.daemon = True
    stopper.start()
    server.serve_forever(poll_interval=0.2)
    server.server_close()


if __name__ == "__main__":
    main()
