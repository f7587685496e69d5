#!/usr/bin/env python3
"""Everyday work in the window end to end: downloads, uploads and printing."""
import hashlib
import os

from harness import Session, check, main, wait_for

SIZE = 5 * 1024 * 1024


def pattern(size):
    block = bytes(i % 251 for i in range(251 * 64))
    data = block * (size // len(block) + 1)
    return data[:size]


def answer_file_dialog(display, caption, path):
    """Types a full path into a Qt file dialog and confirms it, as a user would."""
    dialog = display.wait_box(caption)
    display.key(dialog, "ctrl+a")
    display.run(["xdotool", "type", "--delay", "5", path])
    display.key(dialog, "Return")
    return dialog


def start_with(s, script, hosts=(0,)):
    server = s.server(up=list(hosts), start_script=script)
    client = s.client()
    client.start(s.display, server.proxy)
    win = client.main_window(s.display)
    return server, client, win


def test_download_is_saved_under_the_chosen_name_with_the_exact_bytes(build_dir):
    script = "setTimeout(function () { location.href = '/80417fahuo/download?size=%d&name=waybills.bin'; }, 300);" % SIZE
    with Session(build_dir, "download") as s:
        server, client, win = start_with(s, script)
        target = os.path.join(s.work, "saved", "waybill-export.bin")
        os.makedirs(os.path.dirname(target))
        answer_file_dialog(s.display, "保存文件", target)
        wait_for("the whole file", lambda: os.path.exists(target) and os.path.getsize(target) == SIZE, timeout=60)
        with open(target, "rb") as f:
            check(hashlib.sha256(f.read()).digest() == hashlib.sha256(pattern(SIZE)).digest(), "bytes differ")
        check(os.listdir(os.path.dirname(target)) == ["waybill-export.bin"], "left over: %r" % os.listdir(os.path.dirname(target)))
        check(client.proc.poll() is None and s.display.windows("客服电话"), "the window went away")


def test_cut_off_download_leaves_no_file_and_says_so(build_dir):
    script = ("setTimeout(function () { location.href = "
              "'/80417fahuo/download?size=%d&cut=%d&name=cut.bin'; }, 300);" % (SIZE, SIZE // 5))
    with Session(build_dir, "download-cut") as s:
        server, client, win = start_with(s, script)
        folder = os.path.join(s.work, "saved")
        os.makedirs(folder)
        target = os.path.join(folder, "cut.bin")
        answer_file_dialog(s.display, "保存文件", target)
        wait_for("the download to be requested", lambda: server.find(path="/80417fahuo/download"))

        # Data arrives on disk, then the download breaks off and nothing is left.
        wait_for("the partial data on disk", lambda: os.listdir(folder), timeout=60, interval=0.02)
        wait_for("no file left", lambda: not os.listdir(folder), timeout=60)
        s.display.screenshot(os.path.join(s.work, "cut.png"))
        check(client.proc.poll() is None, "the client ended")


if __name__ == "__main__":
    main([
        test_download_is_saved_under_the_chosen_name_with_the_exact_bytes,
        test_cut_off_download_leaves_no_file_and_says_so,
    ])
