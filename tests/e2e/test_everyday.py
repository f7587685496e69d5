#!/usr/bin/env python3
"""Everyday work in the window end to end: downloads, uploads and printing."""
import hashlib
import os
import subprocess

from harness import Session, check, main, wait_for

SIZE = 5 * 1024 * 1024


def pattern(size):
    block = bytes(i % 251 for i in range(251 * 64))
    data = block * (size // len(block) + 1)
    return data[:size]


def download_script(name, cut=None):
    """A start page that turns into a download of SIZE bytes, broken off after `cut` bytes."""
    query = "size=%d&name=%s" % (SIZE, name) + ("&cut=%d" % cut if cut else "")
    return "setTimeout(function () { location.href = '/80417fahuo/download?%s'; }, 300);" % query


def answer_file_dialog(display, caption, path):
    """Types a full path into a Qt file dialog and confirms it, as a user would."""
    dialog = display.wait_box(caption)
    display.key(dialog, "ctrl+a")
    display.run(["xdotool", "type", "--delay", "5", path])
    display.key(dialog, "Return")
    return dialog


def test_download_is_saved_under_the_chosen_name_with_the_exact_bytes(build_dir):
    script = download_script("waybills.bin")
    with Session(build_dir, "download") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        target = os.path.join(s.work, "saved", "waybill-export.bin")
        os.makedirs(os.path.dirname(target))
        answer_file_dialog(s.display, "保存文件", target)
        wait_for("the whole file", lambda: os.path.exists(target) and os.path.getsize(target) == SIZE, timeout=60)
        with open(target, "rb") as f:
            check(hashlib.sha256(f.read()).digest() == hashlib.sha256(pattern(SIZE)).digest(), "bytes differ")
        check(os.listdir(os.path.dirname(target)) == ["waybill-export.bin"], "left over: %r" % os.listdir(os.path.dirname(target)))
        check(client.proc.poll() is None and s.display.windows("客服电话"), "the window went away")


def test_cut_off_download_leaves_no_file_and_says_so(build_dir):
    script = download_script("cut.bin", cut=SIZE // 5)
    with Session(build_dir, "download-cut") as s:
        server, client, win = s.launch(up=[0], start_script=script)
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


UPLOAD_SCRIPT = """
var input = document.createElement('input');
input.type = 'file';
input.id = 'f';
input.style = 'position:fixed;left:0;top:0;width:600px;height:300px;font-size:40px;background:#ffd';
document.body.appendChild(input);
input.addEventListener('change', function () {
  var file = input.files[0];
  if (!file) { report('upload-empty', 1); return; }
  fetch('/80417fahuo/upload?name=' + encodeURIComponent(file.name), {method: 'POST', body: file})
    .then(function () { report('uploaded', file.name); });
});
"""


def click_at(display, win, dx, dy):
    x, y, _, _ = display.geometry(win)
    display.run(["xdotool", "mousemove", str(x + dx), str(y + dy), "click", "1"])


def test_upload_sends_the_chosen_files_bytes(build_dir):
    with Session(build_dir, "upload") as s:
        server, client, win = s.launch(up=[0], start_script=UPLOAD_SCRIPT)
        wait_for("the start page", lambda: server.beacons("loaded"))
        upload = os.path.join(s.work, "manifest.bin")
        data = os.urandom(200 * 1024)
        with open(upload, "wb") as f:
            f.write(data)
        click_at(s.display, win, 100, 100)
        answer_file_dialog(s.display, "选择文件", upload)
        wait_for("the upload", lambda: server.find(path="/80417fahuo/upload"), timeout=60)
        got = server.find(path="/80417fahuo/upload")[0]
        check(got["body_size"] == len(data) and got["body_sha256"] == hashlib.sha256(data).hexdigest(),
              "uploaded %r bytes" % got.get("body_size"))

        # A cancelled choice leaves the input empty.
        click_at(s.display, win, 100, 100)
        dialog = s.display.wait_box("选择文件")
        s.display.key(dialog, "Escape")
        wait_for("the page to see an empty input", lambda: server.beacons("upload-empty"))


def test_window_print_opens_the_print_dialog_and_the_script_goes_on(build_dir):
    script = "setTimeout(function () { window.print(); report('after-print', 1); }, 300);"
    with Session(build_dir, "print") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        dialog = s.display.wait_box("打印")
        s.display.key(dialog, "Escape")
        wait_for("the page's script to go on", lambda: server.beacons("after-print"))
        wait_for("the print dialog to close", lambda: not s.display.windows("打印"))
        check(client.proc.poll() is None, "the client ended")


def test_print_to_pdf_writes_the_pages_text(build_dir):
    script = "document.title = 'Waybill W0001'; setTimeout(function () { window.print(); }, 300);"
    with Session(build_dir, "print-pdf") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        dialog = s.display.wait_box("打印")
        s.display.screenshot(os.path.join(s.work, "print-dialog.png"))
        s.display.key(dialog, "Return")

        def pdfs():
            found = []
            for folder, _, files in os.walk(s.work):
                found += [os.path.join(folder, f) for f in files if f.endswith(".pdf")]
            return [p for p in found if os.path.getsize(p) > 0]
        pdf = wait_for("a PDF file", pdfs, timeout=60)[0]
        text = wait_for("the PDF's text", lambda: subprocess.run(["pdftotext", pdf, "-"], capture_output=True,
                                                                 text=True).stdout.strip() or None, timeout=30)
        check("欢迎使用" in text, "PDF text %r" % text[:200])


def test_cut_off_download_keeps_the_file_it_was_to_replace(build_dir):
    script = download_script("old.bin", cut=SIZE // 5)
    with Session(build_dir, "download-replace") as s:
        server, client, win = s.launch(up=[0], start_script=script)
        folder = os.path.join(s.work, "saved")
        os.makedirs(folder)
        target = os.path.join(folder, "old.bin")
        with open(target, "wb") as f:
            f.write(b"yesterday's export")
        answer_file_dialog(s.display, "保存文件", target)
        # The dialog asks before replacing; the user agrees.
        question = wait_for("the replace question", lambda: [w for w, t in s.display.windows("保存文件").items()
                                                             if t == "保存文件"][1:] or None)
        s.display.key(question[0], "alt+y")
        wait_for("the partial data on disk", lambda: len(os.listdir(folder)) > 1, timeout=60, interval=0.02)
        wait_for("the partial data to go", lambda: os.listdir(folder) == ["old.bin"], timeout=60)
        with open(target, "rb") as f:
            check(f.read() == b"yesterday's export", "the old file was damaged")


if __name__ == "__main__":
    main([
        test_download_is_saved_under_the_chosen_name_with_the_exact_bytes,
        test_cut_off_download_leaves_no_file_and_says_so,
        test_cut_off_download_keeps_the_file_it_was_to_replace,
        test_upload_sends_the_chosen_files_bytes,
        test_window_print_opens_the_print_dialog_and_the_script_goes_on,
        test_print_to_pdf_writes_the_pages_text,
    ])
