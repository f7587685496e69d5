#!/usr/bin/env python3
"""The main window end to end: placement, caption, start page, pop-ups, close, cookies."""
import os
import subprocess
import time

from harness import Session, check, main, wait_for

START = "/80417fahuo/index.html"


def colours_in(path):
    out = subprocess.run(["identify", "-format", "%k", path], capture_output=True, text=True, timeout=60)
    return int(out.stdout.strip() or 0)


def test_window_covers_work_area_and_shows_start_page(build_dir):
    with Session(build_dir, "window") as s:
        server, client, win = s.launch(up=[0])
        wait_for("the start page's onload", lambda: server.beacons("loaded"))
        # The page's title ("Vantor 工作台") never reaches the main window's caption.
        title = s.display.windows("客服电话")[win]
        check(title == "Vantor 物流协同平台(www.vantor-freight.example)      客服电话：400-000-0000",
              "caption was %r" % title)
        pages = server.find(path=START)
        check(pages and pages[0]["host"] == s.hosts[0], "start page came from %r" % pages)
        check(pages[0]["line"].startswith("GET http://%s%s " % (s.hosts[0], START)), pages[0]["line"])

        # Frame top-left at (0, 0), frame included the size of the work area.
        def placed():
            ext = s.display.frame_extents(win)
            if not ext:
                return None
            x, y, w, h = s.display.geometry(win)
            left, right, top, bottom = ext
            return (x - left, y - top, w + left + right, h + top + bottom)
        wait_for("the window to cover the work area", lambda: placed() == (0, 0, 1280, 800), timeout=30)

        shot = s.display.screenshot(os.path.join(s.work, "main.png"))
        check(colours_in(shot) > 50, "the screenshot looks blank")


def test_popup_opens_and_closes_without_ending_the_program(build_dir):
    script = "setTimeout(function () { window.open('/80417fahuo/popup.html?autoclose', 'pop', 'width=500,height=400'); }, 200);"
    with Session(build_dir, "popup") as s:
        server, client, _ = s.launch(up=[0, 1, 2], start_script=script)
        wait_for("the pop-up's page", lambda: server.beacons("popup-loaded"))
        # It closes itself with window.close(); its title was on its own window.
        wait_for("the pop-up window to go", lambda: not s.display.windows("运单详情"), timeout=30)
        check(client.proc.poll() is None, "the program ended with the pop-up")
        check(s.display.windows("客服电话"), "the main window went away")


def test_close_ends_with_exit_code_0_and_keeps_the_session_cookie(build_dir):
    with Session(build_dir, "close") as s:
        server, client, win = s.launch(up=[0])
        wait_for("the start page", lambda: server.beacons("loaded"))
        first = server.find(path=START)[0]
        check(not any(k.lower() == "cookie" for k, _ in first["headers"]), "a cookie before the first visit")

        started = time.monotonic()
        s.display.key(win, "alt+F4")
        code = client.wait_exit(10)
        took = time.monotonic() - started
        check(code == 0, "exit code %r" % code)
        # The exit watchdog fires after 1.5 s; a margin keeps a busy machine from failing this.
        check(took < 4.0, "closing took %.2f s" % took)
        print("closed in %.2f s" % took)

        client.start(s.display, server.proxy)
        client.main_window(s.display)
        wait_for("the second start page", lambda: len(server.find(path=START)) >= 2)
        second = server.find(path=START)[1]
        cookies = [v for k, v in second["headers"] if k.lower() == "cookie"]
        check(cookies and "vsession=" in cookies[0], "the session cookie was lost: %r" % second["headers"])
        visits = wait_for("the second onload", lambda: [b["visits"] for b in server.beacons("loaded")][1:])
        check(visits == ["2"], "local storage was lost: visits %r" % visits)


def test_close_while_the_page_is_still_loading(build_dir):
    with Session(build_dir, "close-loading") as s:
        # The start page comes 5 s late: the window is up long before the page.
        server, client, win = s.launch(up=[0], start_delay_ms=5000)
        check(not server.beacons("loaded"), "the page had already loaded")
        started = time.monotonic()
        s.display.key(win, "alt+F4")
        code = client.wait_exit(10)
        check(code == 0, "exit code %r" % code)
        took = time.monotonic() - started
        check(took < 4.0, "closing during the load took %.2f s" % took)
        print("closed during the load in %.2f s" % took)


def test_termination_signal_ends_the_loop_with_exit_code_0(build_dir):
    with Session(build_dir, "sigterm") as s:
        server, client, _ = s.launch(up=[0])
        wait_for("the start page", lambda: server.beacons("loaded"))
        client.proc.terminate()
        check(client.wait_exit(10) == 0, "exit code after SIGTERM")
        check(client.output_text() == "", "the client wrote output: %r" % client.output_text()[:500])


def test_closing_one_instance_leaves_another_running(build_dir):
    with Session(build_dir, "two-instances") as s:
        server, first, win = s.launch(up=[0])
        wait_for("the first start page", lambda: server.beacons("loaded"))
        # A second start of the same installation: same configuration file, same cache folder.
        second = first.twin()
        second.start(s.display, server.proxy)
        s.clients.append(second)
        wait_for("the second window", lambda: len(s.display.windows("客服电话")) == 2)
        wait_for("the second start page", lambda: len(server.beacons("loaded")) >= 2)
        s.display.key(win, "alt+F4")
        check(first.wait_exit(10) == 0, "exit code of the first instance")
        check(second.proc.poll() is None, "the second instance ended with the first")
        check(len(s.display.windows("客服电话")) == 1, "the second window went away")


if __name__ == "__main__":
    main([
        test_window_covers_work_area_and_shows_start_page,
        test_popup_opens_and_closes_without_ending_the_program,
        test_close_ends_with_exit_code_0_and_keeps_the_session_cookie,
        test_close_while_the_page_is_still_loading,
        test_termination_signal_ends_the_loop_with_exit_code_0,
        test_closing_one_instance_leaves_another_running,
    ])
