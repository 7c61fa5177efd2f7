#!/usr/bin/python3
"""What a screen reader hears: the real program on a private X server and session bus
with the accessibility bus, read through AT-SPI as Orca reads it.

Usage: atspi_readout.py KESTA_BINARY EMPTY_DATABASE

Qt speaks AT-SPI only on the xcb platform: the program runs on an X server of the test's
own, under a session bus of its own (dbus-run-session), and the accessibility bus
(at-spi-bus-launcher, which brings up at-spi2-registryd on it) is started once the
program's window is up.
"""

import os
import random
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time

Timeout = 60


def poll(what, probe, timeout=Timeout):
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            sys.exit("timed out waiting for " + what)
        time.sleep(0.1)


def display_answers(number):
    # The X connection handshake, without authorisation: 1 in the first byte is success.
    for address in ("\0/tmp/.X11-unix/X%d" % number, "/tmp/.X11-unix/X%d" % number):
        with socket.socket(socket.AF_UNIX) as probe:
            try:
                probe.settimeout(5)
                probe.connect(address)
                probe.sendall(b"l\0\x0b\0\0\0\0\0\0\0\0\0")
                return probe.recv(1) == b"\x01"
            except OSError:
                pass
    return False


def start_x_server():
    # A number no server holds. Xvfb's own choice (-displayfd) takes the lock of a server in
    # another process namespace for a stale one; here the lock file alone rules a number out.
    for _ in range(20):
        number = random.randint(200, 999)
        if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
            continue
        server = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1400x1000x24", "-nolisten", "tcp"],
                                  stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + Timeout
        while server.poll() is None and time.monotonic() < deadline:
            if display_answers(number):
                return server, ":%d" % number
            time.sleep(0.1)
        if server.poll() is None:
            server.kill()
    sys.exit("no X server could be started")


def prepare_home(home, template):
    data = os.path.join(home, "Orvalis Data")
    os.makedirs(os.path.join(data, "Data"))
    database = os.path.join(data, "patients.sqlite")
    shutil.copyfile(template, database)
    with sqlite3.connect(database) as db:
        db.execute("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, Sex, DOB, Diagnosis) "
                   "VALUES (1, 'AT-7', 'Ivanova', 'Anna', 'F', '1980-05-17 00:00:00', 'Headache')")
        db.execute("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, Sex) "
                   "VALUES (2, 'AT-8', 'Petrov', 'Boris', 'M')")
    # In the build tree the program reads its settings from the working folder.
    with open(os.path.join(home, "Settings.xml"), "w") as settings:
        settings.write('<?xml version="1.0"?>\n<KestaSettings><Language>en_US</Language>'
                       "<LastPatientId>1</LastPatientId></KestaSettings>\n")


def accessibility_bus_address():
    from gi.repository import Gio, GLib
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    try:
        reply = bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                              GLib.VariantType.new("(s)"), Gio.DBusCallFlags.NO_AUTO_START, 1000, None)
    except GLib.Error:
        return None
    return reply.unpack()[0]


def descendants(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        yield from descendants(node.getChildAtIndex(i), depth + 1)


def find(root, role, name):
    for node in descendants(root):
        if (role is None or node.getRoleName() == role) and node.name == name:
            return node
    return None


def field_text(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def main_in_session(program, template):
    home = tempfile.mkdtemp(prefix="kesta-atspi-")
    x_server, display = start_x_server()
    launcher = kesta = None
    try:
        prepare_home(home, template)
        env = dict(os.environ, DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=home,
                   QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LC_ALL="C.UTF-8")
        env.pop("NO_AT_BRIDGE", None)
        os.environ.update(DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=home)
        import pyatspi

        def window():
            if kesta.poll() is not None:
                sys.exit("the program ended with %d" % kesta.returncode)
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                for j in range(app.childCount if app else 0):
                    frame = app.getChildAtIndex(j)
                    if frame and frame.name.startswith("Orvalis: database"):
                        return frame
            return None

        def window_on_screen():
            if kesta.poll() is not None:
                sys.exit("the program ended with %d" % kesta.returncode)
            tree = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True, text=True)
            return '"Orvalis: database' in tree.stdout

        # The program first, the accessibility bus once its window is up. Qt 5.15 registers
        # once: started with the bus already announced, it may register before its own
        # connection to that bus is up ("Error in contacting registry: Not connected to D-Bus
        # server") and never again. A bus announced later is followed as a screen reader
        # being switched on, connected first, then registered.
        kesta = subprocess.Popen([program], cwd=home, env=env)
        poll("the main window on the screen", window_on_screen)
        launcher = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env)
        poll("the accessibility bus", accessibility_bus_address)
        frame = poll("the main window on the accessibility desktop", window)

        # The rows as the table reads them: each cell by its visible text, the sex icon in words.
        def rows():
            table = find(frame, "table", "Patients")
            if table is None:
                return None
            cells = table.queryTable()
            read = [[cells.getAccessibleAt(r, c).name for c in range(cells.nColumns)]
                    for r in range(cells.nRows)]
            return read if len(read) == 2 else None

        read = poll("the patients table's two rows", rows)
        print("patients table:", read)
        flat = [" | ".join(row) for row in read]
        assert any("Female" in row and "Ivanova Anna" in row for row in flat), flat
        assert any("Male" in row and "Petrov Boris" in row for row in flat), flat

        # The selected patient's card: every field reads as its label.
        def card():
            card = find(frame, None, "Patient card")
            last = card and find(card, "text", "Last name")
            return (card, last) if last and field_text(last) == "Ivanova" else None

        try:
            card, last = poll("the card's last name field", card)
        except SystemExit:
            print([(n.getRoleName(), n.name) for n in descendants(frame) if n.name][:80])
            raise
        born = find(card, "text", "Date of birth")
        assert born is not None and field_text(born) == "1980-05-17", born and field_text(born)
        assert find(card, "text", "ID") is not None
        print("card fields:", sorted({n.name for n in descendants(card)
                                      if n.getRoleName() in ("text", "combo box") and n.name}))
        search = find(frame, "text", "Search patients")
        assert search is not None, "the search field has no name"
        print("AT-SPI readout passed")
    finally:
        for process in (kesta, launcher, x_server):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    if os.environ.get("KESTA_ATSPI_SESSION") != "1":
        # A session bus of its own: the accessibility bus is announced there.
        env = dict(os.environ, KESTA_ATSPI_SESSION="1")
        sys.exit(subprocess.call(["dbus-run-session", "--", sys.executable] + sys.argv, env=env))
    main_in_session(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
