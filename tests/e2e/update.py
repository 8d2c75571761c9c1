#!/usr/bin/env python3
"""End-to-end tests of the update check and the About window: a build of the program whose version file
lives on this machine's loopback interface, served by the test itself in every way a server can answer."""
import http.client
import http.server
import os
import re
import ssl
import struct
import subprocess
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from commands import click_at, fixed_rows, loaded_modules  # noqa: E402
from run import click, list_controls, open_tray_menu, settings_with  # noqa: E402
from wine_desktop import WINE, check, run, wait_until  # noqa: E402

HTTP_PORT, HTTPS_PORT = 47813, 47814
# The project's version, which the program reports as its own.
OWN_VERSION = re.search(r"project\(Nimbrel VERSION ([0-9.]+)",
                        (Path(__file__).resolve().parents[2] / "CMakeLists.txt").read_text()).group(1)
CHECKING, UP_TO_DATE, FAILED = "正在检查更新...", "Nimbrel 是最新的", "检查新版本时出错"
# The exit while a check runs, from the click to the process gone: measured at 0.11 s under Wine, of
# which the click itself takes 0.1 s.
EXIT_SECONDS = 1.0


def version_file(version):
    return (f"[CurrentVersions]\r\nNimbrel={version}\r\n[DownloadURL]\r\nNimbrel=http://127.0.0.1/d\r\n"
            f"[CurrentHistory]\r\n1=first\r\n").encode()


class Server:
    """Answers GET /version.ini as `mode` says: a version file, an HTTP error, a body of garbage or of
    100 KiB (with or without its length stated), a version file cut short of its stated length,
    silence until released (then nothing, or a version file if `late`). Counts the requests, and for
    TLS the client hellos that reached it."""

    def __init__(self, mode, port=HTTP_PORT, tls=None):
        self.mode, self.requests, self.hellos, self.release = mode, 0, 0, threading.Event()
        self.answered_late = False
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                owner.requests += 1
                kind, _, value = owner.mode.partition(":")
                if kind in ("silent", "late"):
                    owner.release.wait(120)
                    if kind == "silent":
                        return
                    kind, value = "version", "1.6.0.0"
                if kind == "status":
                    self.send_error(int(value))
                    return
                huge = version_file("9.0.0.0") + b";" * (100 * 1024)
                body = {"version": lambda: version_file(value), "garbage": lambda: b"<html>no version</html>",
                        "huge": lambda: huge, "huge-unstated": lambda: huge,
                        "short": lambda: version_file("1.6.0.0")}[kind]()
                self.send_response(200)
                if kind != "huge-unstated":
                    self.send_header("Content-Length", str(len(body) + (100 if kind == "short" else 0)))
                self.end_headers()
                # HTTP/1.0: the connection closes after the body, which ends a body of no stated length.
                owner.answered_late |= owner.release.is_set()
                try:
                    self.wfile.write(body)
                except OSError:
                    pass  # a late answer to a helper that was ended

            def log_message(self, *args):
                pass

        def hello(*args):
            owner.hellos += 1

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
        self.httpd.daemon_threads = True
        if tls:
            # Called for every client hello, whether or not it names a server.
            tls.sni_callback = hello
            self.httpd.socket = tls.wrap_socket(self.httpd.socket, server_side=True)
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.release.set()
        self.httpd.shutdown()
        self.httpd.server_close()


class Proxy:
    """An HTTP proxy on a port of its own: forwards every GET it is sent and records it, and answers a GET
    for its own /proxy.pac with a proxy script that names it."""

    def __init__(self):
        self.forwarded, self.scripts_served = [], 0
        owner = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                host = self.headers.get("Host", "")
                if host == owner.address and self.path == "/proxy.pac":
                    owner.scripts_served += 1
                    self.answer(200, f'function FindProxyForURL(url, host) {{ return "PROXY {owner.address}"; }}'
                                .encode(), "application/x-ns-proxy-autoconfig")
                    return
                # Wine's WinHTTP sends the path alone, not the whole address, when the proxy and the
                # server have the same host name; the Host header still names the server.
                url = self.path if self.path.startswith("http://") else f"http://{host}{self.path}"
                owner.forwarded.append(url)
                server, _, path = url[len("http://"):].partition("/")
                name, _, port = server.partition(":")
                upstream = http.client.HTTPConnection(name, int(port or 80), timeout=30)
                try:
                    upstream.request("GET", "/" + path)
                    answer = upstream.getresponse()
                    self.answer(answer.status, answer.read())
                finally:
                    upstream.close()

            def answer(self, status, body, kind="application/octet-stream"):
                self.send_response(status)
                self.send_header("Content-Type", kind)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.address = f"127.0.0.1:{self.httpd.server_address[1]}"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


INTERNET_SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
# The values the Internet control panel writes: WinHTTP reads the binary record (Wine's reads nothing
# else), programs of older kinds the plain values.
PROXY_VALUES = [(INTERNET_SETTINGS + r"\Connections", "DefaultConnectionSettings"),
                (INTERNET_SETTINGS, "ProxyEnable"), (INTERNET_SETTINGS, "ProxyServer"),
                (INTERNET_SETTINGS, "ProxyOverride"), (INTERNET_SETTINGS, "AutoConfigURL")]
# Pins the Windows version Nimbrel is told, and with it the way it finds its proxy.
WINDOWS_VERSION = (r"HKCU\Software\Wine\AppDefaults\Nimbrel.exe", "Version")
DIRECT, FIXED_PROXY, PROXY_SCRIPT = 1, 2, 4


def connection_settings(flags, proxy="", bypass="", script=""):
    """The binary record of the Internet control panel's connection settings: a version, a change
    counter, the flags, then three counted strings, then room for the auto-detection state."""
    record = struct.pack("<III", 0x46, 1, flags)
    for text in (proxy, bypass, script):
        record += struct.pack("<I", len(text)) + text.encode("ascii")
    return record + bytes(32)


def read_value(key, name):
    """(type, data) of a registry value as `reg query` shows it, or None when there is none."""
    out = subprocess.run([WINE, "reg", "query", key, "/v", name], capture_output=True, timeout=60)
    for line in out.stdout.decode("utf-8", "replace").replace("\r", "").split("\n"):
        parts = line.strip().split("    ")
        if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
            return parts[1], parts[2] if len(parts) > 2 else ""
    return None


def key_exists(key):
    return subprocess.run([WINE, "reg", "query", key], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=60).returncode == 0


def write_value(key, name, value):
    """Sets (type, data) as read_value gives it, or deletes the value for None."""
    if value is None:
        command = [WINE, "reg", "delete", key, "/v", name, "/f"]
    else:
        command = [WINE, "reg", "add", key, "/v", name, "/t", value[0], "/d", value[1], "/f"]
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def set_proxy_settings(flags, proxy="", bypass="", script=""):
    key, name = PROXY_VALUES[0]
    write_value(key, name, ("REG_BINARY", connection_settings(flags, proxy, bypass, script).hex()))
    write_value(INTERNET_SETTINGS, "ProxyEnable", ("REG_DWORD", "1" if flags & FIXED_PROXY else "0"))
    write_value(INTERNET_SETTINGS, "ProxyServer", ("REG_SZ", proxy) if proxy else None)
    write_value(INTERNET_SETTINGS, "ProxyOverride", ("REG_SZ", bypass) if bypass else None)
    write_value(INTERNET_SETTINGS, "AutoConfigURL", ("REG_SZ", script) if script else None)


def temp_folder(d):
    """The folder the program's GetTempPath names, as Wine sets %TEMP% for its programs."""
    if not hasattr(d, "temp_folder"):
        out = subprocess.run([WINE, "cmd", "/c", "echo", "%TEMP%"], capture_output=True, timeout=60).stdout
        windows = out.decode("utf-8", "replace").strip()
        unix = subprocess.run([WINE, "winepath", "-u", windows], capture_output=True, timeout=60).stdout
        d.temp_folder = Path(unix.decode("utf-8", "replace").strip())
        check(windows.startswith("C:") and d.temp_folder.is_dir(), f"no temporary folder: {windows!r} is "
              f"{d.temp_folder}")
    return d.temp_folder


def temp_files(d):
    return sorted(p.name for p in temp_folder(d).glob("TMP?????"))


def about_controls(d):
    return list_controls(d, "关于")


def update_label(d):
    labels = [c for c in about_controls(d) if c[0] == "NimbrelLinkLabel"]
    return labels[0][1] if labels else None


def show_about(d):
    subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
    menu = open_tray_menu(d)
    click_at(menu[0] + 60, fixed_rows(menu)["About1"])
    check(wait_until(lambda: update_label(d) is not None, 10, 0.3), "关于(&A) did not show the About window")


def hide_about(d):
    click(next(c for c in about_controls(d) if c[1] == "确定")[2])
    check(wait_until(lambda: update_label(d) is None, 10, 0.3), "确定 did not hide the About window")


def settled(d, timeout=15):
    """The label's text once the check has ended."""
    wait_until(lambda: update_label(d) not in (None, CHECKING), timeout, 0.3)
    return update_label(d)


def start(d):
    (d.folder / "Nimbrel.Settings").write_bytes(settings_with())
    d.start_and_wait_ready()


def answers(d):
    """Every way a server answers; the label says what the check found. A failed check is tried again at
    the next showing, an answered one only after a new start."""
    failures = ["status:404", "status:500", "garbage", "version:1.6b", "huge", "huge-unstated", "short"]
    answered = [("version:1.6.0.0", "<link>Nimbrel 1.6 可供下载</link>"), ("version:2.0", "<link>Nimbrel 2.0 可供下载</link>"),
                (f"version:{OWN_VERSION}", UP_TO_DATE), ("version:0.9.9.9", UP_TO_DATE)]
    before = temp_files(d)
    server = Server("garbage")
    try:
        start(d)
        for mode in failures:
            server.mode = mode
            show_about(d)
            got = settled(d)
            d.screenshot(f"about-{mode.replace(':', '-')}.png")
            check(got == FAILED, f"{mode}: the label shows {got!r}")
            hide_about(d)
        for mode, want in answered:
            server.mode = mode
            show_about(d)
            got = settled(d)
            d.screenshot(f"about-{mode.replace(':', '-')}.png")
            check(got == want, f"{mode}: the label shows {got!r}, not {want!r}")
            # The download ran in a helper that is gone, its libraries with it.
            check(wait_until(lambda: not d.nimbrel_pids(helpers=True), 5), "the download's helper still runs")
            check("winhttp.dll" not in loaded_modules(d), "the program loaded the HTTP library itself")
            hide_about(d)
            served = server.requests
            show_about(d)
            time.sleep(1.5)
            check(server.requests == served, "showing the About window after an answer downloaded again")
            hide_about(d)
            d.end_session()
            d.start_and_wait_ready()
    finally:
        server.close()
    d.end_session()
    check(temp_files(d) == before, f"temporary files left behind: {temp_files(d)}")


def closed_port_and_silent_server(d):
    before = temp_files(d)
    start(d)
    show_about(d)
    check(settled(d) == FAILED, f"a closed port shows {update_label(d)!r}")
    hide_about(d)

    server = Server("late")
    try:
        show_about(d)
        began = time.monotonic()
        check(update_label(d) == CHECKING, f"the label shows {update_label(d)!r} while the check runs")
        d.screenshot("about-checking.png")
        got = settled(d, 20)
        check(got == FAILED and time.monotonic() - began < 15, f"a silent server shows {got!r} after "
              f"{time.monotonic() - began:.0f} s")
        # The helper of a check that ran out of time is ended, and removes no file but its own; an answer
        # after the deadline changes nothing.
        check(wait_until(lambda: not d.nimbrel_pids(helpers=True), 5), "the helper still runs after the deadline")
        server.release.set()
        check(wait_until(lambda: server.answered_late, 10), "the late answer was not sent")
        time.sleep(1)
        check(update_label(d) == FAILED, f"the late answer changed the label to {update_label(d)!r}")
        check(temp_files(d) == before, f"the late answer left temporary files: {temp_files(d)}")
        hide_about(d)

        # The exit command while the server holds a check ends the program at once, settings saved.
        server.mode, server.release = "silent", threading.Event()
        show_about(d)
        check(update_label(d) == CHECKING, "no check runs")
        (d.folder / "Nimbrel.Settings").write_bytes(b"")
        subprocess.run(["xdotool", "mousemove", "500", "300"], check=True)
        menu = open_tray_menu(d)
        row = fixed_rows(menu)["Close1"]
        began = time.monotonic()
        click_at(menu[0] + 60, row)
        check(wait_until(lambda: not d.nimbrel_pids(), 10, 0.05), "the exit waited for the check")
        took = time.monotonic() - began
        check(wait_until(lambda: not d.nimbrel_pids(helpers=True), 5), "the helper outlived the program")
        print(f"the exit took {took:.2f} s")
        check(took < EXIT_SECONDS, f"the exit took {took:.2f} s")
        check(b"RedPercent=90" in (d.folder / "Nimbrel.Settings").read_bytes(), "the exit saved no settings")
        check(temp_files(d) == before, f"temporary files left behind: {temp_files(d)}")
    finally:
        server.close()


def untrusted_certificate(d):
    folder = d.artifacts
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                    "/CN=127.0.0.1", "-keyout", str(folder / "key.pem"), "-out", str(folder / "cert.pem")],
                   check=True, capture_output=True, timeout=60)
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(folder / "cert.pem", folder / "key.pem")
    before = temp_files(d)
    server = Server("version:1.6.0.0", HTTPS_PORT, tls)
    try:
        start(d)
        show_about(d)
        check(settled(d) == FAILED, f"an untrusted certificate shows {update_label(d)!r}")
        # Failed for the certificate: the program spoke TLS to the server, and asked for nothing.
        check(server.hellos >= 1, "no TLS client hello reached the server")
        check(server.requests == 0, f"the server got {server.requests} requests over TLS")
        d.end_session()
    finally:
        server.close()
    check(temp_files(d) == before, f"temporary files left behind: {temp_files(d)}")


def through_the_users_proxy(d):
    """The user's proxy as the Internet control panel sets it, a fixed one or a proxy script: the check
    goes through it; with none it goes direct. Windows 7, where the user's settings are applied by the
    program; and Windows 10, where the system's automatic proxy is (Wine then goes direct: it takes the
    automatic proxy and applies no setting at all)."""
    values = PROXY_VALUES + [WINDOWS_VERSION]
    saved = [(key, name, read_value(key, name)) for key, name in values]
    new_keys = [key for key in dict.fromkeys(key for key, _ in values) if not key_exists(key)]
    before = temp_files(d)
    server, proxy = Server("version:1.6.0.0"), Proxy()
    announcement = "<link>Nimbrel 1.6 可供下载</link>"

    def check_once(what):
        requests, forwarded = server.requests, len(proxy.forwarded)
        start(d)
        show_about(d)
        got = settled(d)
        d.screenshot(f"about-{what}.png")
        d.end_session()
        check(got == announcement, f"{what}: the label shows {got!r}")
        check(server.requests > requests, f"{what}: the server got no request")
        return len(proxy.forwarded) - forwarded

    try:
        write_value(*WINDOWS_VERSION, ("REG_SZ", "win7"))
        # WinHTTP leaves the loopback interface out of any proxy unless told "<-loopback>".
        set_proxy_settings(DIRECT | FIXED_PROXY, proxy.address, "<-loopback>")
        check(check_once("fixed-proxy") >= 1, "the check did not go through the fixed proxy")
        check(proxy.forwarded[-1] == "http://127.0.0.1:47813/version.ini", f"the proxy got {proxy.forwarded}")

        set_proxy_settings(DIRECT | PROXY_SCRIPT, script=f"http://{proxy.address}/proxy.pac")
        scripts = proxy.scripts_served
        check(check_once("proxy-script") >= 1, "the check did not go through the proxy the script names")
        check(proxy.scripts_served > scripts, "the proxy script was not read")

        set_proxy_settings(DIRECT)
        check(check_once("no-proxy") == 0, "the check went through a proxy the user does not have")

        write_value(*WINDOWS_VERSION, ("REG_SZ", "win10"))
        set_proxy_settings(DIRECT | FIXED_PROXY, proxy.address, "<-loopback>")
        check_once("automatic-proxy")
    finally:
        for key, name, value in saved:
            write_value(key, name, value)
        for key in new_keys:
            subprocess.run([WINE, "reg", "delete", key, "/f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=60)
        proxy.close()
        server.close()
    check(temp_files(d) == before, f"temporary files left behind: {temp_files(d)}")


def donation_line_goes_after_a_click(d):
    start(d)
    show_about(d)
    frame = next(c for c in about_controls(d) if c[0] == "TFrmNimbrelMain")[2]
    d.screenshot("about-with-donation.png")
    donate = next(c for c in about_controls(d) if c[1] == "<link>捐助 Nimbrel 的开发</link>")
    # The link starts at the label's left edge; the label is wider than its text.
    click_at(donate[2][0] + 12, (donate[2][1] + donate[2][3]) // 2)
    time.sleep(1)
    d.end_session()
    check(b"ClickedDonation=1" in (d.folder / "Nimbrel.Settings").read_bytes(), "the donation click was not saved")
    d.start_and_wait_ready()
    show_about(d)
    after = next(c for c in about_controls(d) if c[0] == "TFrmNimbrelMain")[2]
    d.screenshot("about-after-donation.png")
    check(after[3] - after[1] == 270, f"the About window is {after[3] - after[1]} pixels high, not 270")
    check(after[3] - after[1] < frame[3] - frame[1], "the About window did not shrink")
    check(not any("捐助" in c[1] for c in about_controls(d)), "the donation link still shows")
    d.end_session()


TESTS = {
    "update_answers": answers,
    "update_closed_and_silent": closed_port_and_silent_server,
    "update_untrusted_certificate": untrusted_certificate,
    "update_through_proxy": through_the_users_proxy,
    "about_donation": donation_line_goes_after_a_click,
}

if __name__ == "__main__":
    os.environ.setdefault("NO_PROXY", "127.0.0.1")
    sys.exit(run(TESTS))
