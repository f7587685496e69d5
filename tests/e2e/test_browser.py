#!/usr/bin/env python3
"""The browser client end to end: load-error page, page dialogs, context menu."""
import os
import signal
import socket
import time

from harness import Session, check, main, wait_for


def page_text(display, win):
    """Everything the page shows, as a user would copy it: Ctrl+A, Ctrl+C."""
    def copied():
        display.key(win, "ctrl+a")
        display.key(win, "ctrl+c")
        text = display.run(["xclip", "-o", "-selection", "clipboard"], check=False)
        return text if text.strip() else None
    return wait_for("the page's text on the clipboard", copied, timeout=30, interval=0.5)


def click_page(display, win, button=1):
    x, y, w, h = display.geometry(win)
    display.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2 + 100), "click", str(button)])


def closed_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
        return sock.getsockname()[1]


def test_unreachable_address_shows_our_error_page(build_dir):
    port = closed_port()
    script = "setTimeout(function () { location.href = 'http://127.0.0.1:%d/unreachable?a=<b>&c'; }, 300);" % port
    with Session(build_dir, "error-page") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        wait_for("the start page", lambda: server.beacons("loaded"))

        def error_page():
            text = page_text(s.display, win)
            return text if "Failed to load URL" in text else None
        text = wait_for("our load-error page", error_page, timeout=60)
        expected = ("Failed to load URL http://127.0.0.1:%d/unreachable?a=%%3Cb%%3E&c with error "
                    "net::ERR_CONNECTION_REFUSED (-102)." % port)
        check(text.strip() == expected, "page text %r" % text)


def test_http_error_status_shows_the_servers_own_page(build_dir):
    script = "setTimeout(function () { location.href = '/80417fahuo/missing.html'; }, 300);"
    with Session(build_dir, "http-404") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        wait_for("the 404 page to be requested", lambda: server.find(path="/80417fahuo/missing.html"))
        text = wait_for("the server's 404 page", lambda: "404 页面不存在" in page_text(s.display, win) or None)
        check("Failed to load" not in page_text(s.display, win), "our error page replaced a 404 page")


def test_alert_is_a_box_captioned_tishi_and_the_script_goes_on(build_dir):
    script = ("setTimeout(function () { alert('运单已保存 100% %s <b>x</b>'); report('after-alert', 1); }, 200);")
    with Session(build_dir, "alert") as s:
        server, client, _ = s.launch(up=[0], start_script=script, window=False)
        box = s.display.wait_box()
        text = s.display.box_text(box)
        check("运单已保存 100% %s <b>x</b>" in text, "alert text %r" % text)
        check(not server.beacons("after-alert"), "the script went on before the box was closed")
        s.display.key(box, "Return")
        wait_for("the script to go on", lambda: server.beacons("after-alert"))


def test_confirm_answers_true_for_ok_and_false_for_escape(build_dir):
    script = ("setTimeout(function () { report('c1', confirm('确认发货吗？')); "
              "report('c2', confirm('第二次确认')); }, 200);")
    with Session(build_dir, "confirm") as s:
        server, client, _ = s.launch(up=[0], start_script=script, window=False)
        box = s.display.wait_box()
        check("确认发货吗？" in s.display.box_text(box), "first confirm text")
        s.display.key(box, "Return")
        wait_for("the first answer", lambda: server.beacons("c1"))

        def second_box():
            b = s.display.wait_box()
            return b if "第二次确认" in s.display.box_text(b) else None
        box = wait_for("the second confirm", second_box)
        s.display.key(box, "Escape")
        wait_for("the second answer", lambda: server.beacons("c2"))
        answers = (server.beacons("c1")[0]["value"], server.beacons("c2")[0]["value"])
        check(answers == ("true", "false"), "confirm answers %r" % (answers,))


def test_prompt_uses_the_runtimes_own_dialog(build_dir):
    script = "setTimeout(function () { report('p', prompt('请输入运单号', 'W0001')); }, 200);"
    with Session(build_dir, "prompt") as s:
        server, client, _ = s.launch(up=[0], start_script=script)
        before = set(s.display.viewable_windows())
        wait_for("the prompt dialog", lambda: [w for w in s.display.viewable_windows() if w not in before])
        check(not s.display.windows("提示") or all(t != "提示" for t in s.display.windows("提示").values()),
              "the prompt was shown as a message box")
        s.display.run(["xdotool", "key", "Return"])
        wait_for("the prompt's answer", lambda: server.beacons("p"))
        check(server.beacons("p")[0]["value"] == "W0001", "prompt answer %r" % server.beacons("p"))


def test_right_click_shows_no_menu(build_dir):
    script = "document.addEventListener('contextmenu', function () { report('ctx', 1); });"
    with Session(build_dir, "context-menu") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        wait_for("the start page", lambda: server.beacons("loaded"))
        before = set(s.display.viewable_windows())
        click_page(s.display, win, button=3)
        wait_for("the page to see the right-click", lambda: server.beacons("ctx"))
        # A menu would be mapped right after the page handled the click; look for a while.
        deadline = time.monotonic() + 2.0
        while time.monotonic() < deadline:
            extra = set(s.display.viewable_windows()) - before
            check(not extra, "a window appeared after the right-click: %r" % extra)
            time.sleep(0.2)


def renderer_pids(root_pid):
    """Renderer processes of the client: the engine forks them from its zygote."""
    procs = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                args = f.read().split(b"\0")
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        procs[int(entry)] = (int(fields[1]), int(fields[3]), args)  # parent, session, arguments
    zygotes = {pid for pid, (_, sid, args) in procs.items() if sid == root_pid and b"--type=zygote" in args}
    return [pid for pid, (ppid, sid, args) in procs.items() if sid == root_pid and ppid in zygotes]


def test_crashed_renderer_is_reloaded_and_the_user_told(build_dir):
    with Session(build_dir, "renderer-crash") as s:
        server, client, _ = s.launch(up=[0])
        wait_for("the start page", lambda: server.beacons("loaded"))
        pids = wait_for("the renderer process", lambda: renderer_pids(client.proc.pid))
        for pid in pids:
            os.kill(pid, signal.SIGKILL)
        box = s.display.wait_box()
        check("页面意外终止" in s.display.box_text(box), "no notice of the crash")
        wait_for("the page to load again", lambda: len(server.beacons("loaded")) >= 2)
        s.display.key(box, "Return")
        check(client.proc.poll() is None and s.display.windows("客服电话"), "the window went down with the renderer")


if __name__ == "__main__":
    main([
        test_unreachable_address_shows_our_error_page,
        test_http_error_status_shows_the_servers_own_page,
        test_alert_is_a_box_captioned_tishi_and_the_script_goes_on,
        test_confirm_answers_true_for_ok_and_false_for_escape,
        test_prompt_uses_the_runtimes_own_dialog,
        test_right_click_shows_no_menu,
        test_crashed_renderer_is_reloaded_and_the_user_told,
    ])
