"""Measures the program and the bare window under the X server in $DISPLAY.

Both print "servalo-bench <what> <ns>" lines (wall clock) on standard
error: first-paint (once that paint is done), banner1-painted (the upper banner, or the bare window's
repaint after a trigger) and, for the program, speak.
"""
import ctypes
import ctypes.util
import os
import queue
import random
import statistics
import subprocess
import sys
import tempfile
import threading
import time

STARTS = int(os.environ.get("SERVALO_BENCH_STARTS", "15"))
TRIGGERS = 16
CPU_SECONDS = 10


class App:
    def __init__(self, binary):
        self.home = tempfile.mkdtemp(prefix="servalo-bench-")
        env = dict(os.environ, XDG_CONFIG_HOME=self.home, HOME=self.home)
        self.t0 = time.time_ns()
        self.proc = subprocess.Popen([binary], stderr=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     env=env, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stderr:
            parts = line.split()
            if len(parts) == 3 and parts[0] == "servalo-bench":
                self.lines.put((parts[1], int(parts[2])))

    def wait(self, what, after=0, timeout=10.0):
        """The time stamp of the next line of this kind stamped after `after`."""
        end = time.time() + timeout
        while time.time() < end:
            try:
                kind, ns = self.lines.get(timeout=0.05)
            except queue.Empty:
                continue
            if kind == what and ns >= after:
                return ns
        return None

    def cpu_ns(self):
        """CPU time of all threads so far, in ns."""
        total = 0
        task = f"/proc/{self.proc.pid}/task"
        for tid in os.listdir(task):
            try:
                with open(f"{task}/{tid}/schedstat") as f:
                    total += int(f.read().split()[0])
            except OSError:
                pass
        return total

    def cpu_percent(self, seconds):
        a, t = self.cpu_ns(), time.monotonic_ns()
        time.sleep(seconds)
        return 100.0 * (self.cpu_ns() - a) / (time.monotonic_ns() - t)

    def rss_mb(self):
        with open(f"/proc/{self.proc.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
        return float("nan")

    def stop(self):
        self.proc.kill()
        self.proc.wait()


class Keys:
    """Key-down and key-up of Ctrl and Alt as XTEST fake events, the way
    xdotool sends them, but from this process: xdotool itself runs for 70
    to 100 ms and sends the key at some moment inside that, which makes its
    start or end no time reference for a latency of a few tens of ms."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.xt = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XStringToKeysym.restype = ctypes.c_ulong
        self.x.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.xt.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.dpy = self.x.XOpenDisplay(None)
        if not self.dpy:
            sys.exit("cannot open the X display")
        self.codes = [self.x.XKeysymToKeycode(self.dpy, self.x.XStringToKeysym(k)) for k in (b"Control_L", b"Alt_L")]

    def press(self, down):
        for code in self.codes:
            self.xt.XTestFakeKeyEvent(self.dpy, code, 1 if down else 0, 0)
        self.x.XSync(self.dpy, 0)


def xdo(*args):
    return subprocess.run(["xdotool", *args], check=False, capture_output=True, text=True).stdout


def panel_geometry():
    for _ in range(100):
        ids = xdo("search", "--onlyvisible", "--name", "^Servalo$").split()
        if ids:
            info = subprocess.run(["xwininfo", "-id", ids[0]], capture_output=True, text=True).stdout
            vals = {}
            for line in info.splitlines():
                line = line.strip()
                for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
                    if line.startswith(key + ":"):
                        vals[key] = int(line.split(":")[1])
            x, y, h = vals["Absolute upper-left X"], vals["Absolute upper-left Y"], vals["Height"]
            return x, y + h - 85
        time.sleep(0.05)
    sys.exit("the control panel did not appear")


def click(x, y, times=1):
    xdo("mousemove", "--sync", str(x), str(y))
    xdo("click", "--repeat", str(times), "--delay", "30", "1")


def first_paint_ms(binary):
    """One launch: start to the first paint of its window, in ms."""
    app = App(binary)
    painted = app.wait("first-paint")
    app.stop()
    if painted is None:
        sys.exit(f"{binary}: no first paint")
    return (painted - app.t0) / 1e6


def start_to_first_paint(servalo, bare):
    """Medians of STARTS launches of each, alternating, so that a change in
    the machine's load falls on both alike."""
    s_times, b_times = [], []
    for _ in range(STARTS):
        s_times.append(first_paint_ms(servalo))
        time.sleep(0.2)
        b_times.append(first_paint_ms(bare))
        time.sleep(0.2)
    return statistics.median(s_times), statistics.median(b_times)


def trigger_latencies(app):
    keys = Keys()
    result = []
    for _ in range(TRIGGERS):
        time.sleep(random.uniform(1.1, 1.5))  # past the lock-out, at any phase of the poll
        t0 = time.time_ns()
        keys.press(True)
        painted = app.wait("banner1-painted", after=t0, timeout=3)
        time.sleep(0.1)
        keys.press(False)
        if painted is None:
            sys.exit("a trigger was not answered")
        result.append((painted - t0) / 1e6)
    return result


def measure_servalo(binary):
    for tick_sound in (True, False):
        app = App(binary)
        if app.wait("first-paint") is None:
            sys.exit("servalo: no first paint")
        x, top = panel_geometry()
        # 20 tables from whatever the settings gave: one Up, Downs to 1, Ups.
        click(x + 23, top + 44)
        click(x + 23, top + 56, 110)
        click(x + 23, top + 44, 19)
        if tick_sound:
            click(x + 120, top + 55)
        time.sleep(1)
        idle = app.cpu_percent(CPU_SECONDS)
        idle_rss = app.rss_mb()
        t = time.time_ns()
        click(x + 140, top + 23)
        if app.wait("speak", after=t, timeout=3) is None:
            # The box was ticked already and is clear now: again, untouched.
            app.stop()
            continue
        time.sleep(2)
        rss = app.rss_mb()
        calling = app.cpu_percent(CPU_SECONDS)
        lat = trigger_latencies(app)
        app.stop()
        return idle, idle_rss, calling, rss, lat
    sys.exit("servalo: sound could not be switched on")


def measure_bare(binary):
    app = App(binary)
    if app.wait("first-paint") is None:
        sys.exit("bare window: no first paint")
    time.sleep(1)
    idle = app.cpu_percent(CPU_SECONDS)
    rss = app.rss_mb()
    calling = app.cpu_percent(CPU_SECONDS)
    lat = trigger_latencies(app)
    app.stop()
    return idle, rss, calling, rss, lat


def main():
    servalo, bare = sys.argv[1], sys.argv[2]
    s_start, b_start = start_to_first_paint(servalo, bare)
    s_idle, s_idle_rss, s_calling, s_rss, s_lat = measure_servalo(servalo)
    b_idle, b_idle_rss, b_calling, b_rss, b_lat = measure_bare(bare)

    rows = [
        (f"start to first paint, median of {STARTS} alternating (ms)", f"{s_start:.1f}", f"{b_start:.1f}",
         f"<= {1.25 * b_start:.1f} (1.25 x bare)", s_start <= 1.25 * b_start),
        ("resident memory idle before Start (MB)", f"{s_idle_rss:.1f}", f"{b_idle_rss:.1f}",
         f"<= {b_idle_rss + 10:.1f} (bare + 10)", s_idle_rss <= b_idle_rss + 10),
        ("resident memory after Start, sound on (MB)", f"{s_rss:.1f}", f"{b_rss:.1f}",
         f"<= {b_rss + 20:.1f} (bare + 20)", s_rss <= b_rss + 20),
        ("CPU idle, 10 s (% of one core)", f"{s_idle:.3f}", f"{b_idle:.3f}",
         f"<= {max(1.5 * b_idle, 0):.3f} and < 0.5", s_idle <= 1.5 * b_idle and s_idle < 0.5),
        ("CPU calling, 10 s (% of one core)", f"{s_calling:.3f}", f"{b_calling:.3f}", "-", None),
        (f"trigger latency median, {TRIGGERS} triggers (ms)", f"{statistics.median(s_lat):.1f}",
         f"{statistics.median(b_lat):.1f}", "<= 45", statistics.median(s_lat) <= 45),
        (f"trigger latency max, {TRIGGERS} triggers (ms)", f"{max(s_lat):.1f}", f"{max(b_lat):.1f}",
         "<= 80", max(s_lat) <= 80),
    ]
    print("| measure | servalo | bare Qt window | goal | met |")
    print("|---|---|---|---|---|")
    for name, s, b, goal, met in rows:
        print(f"| {name} | {s} | {b} | {goal} | {'-' if met is None else ('yes' if met else 'NO')} |")


if __name__ == "__main__":
    main()
