#!/usr/bin/python3
"""Shows the "Glyph set" window and the export dialog as a screen reader sees
them over AT-SPI: starts the program on a font, prints each node's role,
name, states and interfaces, then goes to glyphs as a user would (through
the Go to box, by typing in the glyph list) and prints what the screen reader
was told each time.

    tests/app/atspi/walk.py <KELVOR21> <font>

The font is one the program opens, or a PCF font, which pcf2bdf turns into
BDF first: a real font of thousands of glyphs makes a fair check, e.g.
/usr/share/fonts/X11/misc/6x13.pcf.gz. The script starts itself again under
an Xvfb server and a D-Bus session of its own (dbus-run-session),
so no desktop session is touched; the program's settings go to a folder that
is thrown away. Debian packages: xvfb, dbus, at-spi2-core, python3-pyatspi,
and pcf2bdf and xfonts-base for that font.

It is a check to read, not a test: what AT-SPI passes on reaches the script
at its own pace, and a run now and then misses an event that the program
sent. It exits non-zero only when the program or a window did not show up.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

# The glyph list holds thousands of cells: the first of them are shown.
CELLS_SHOWN = 12
WAIT_SECONDS = 30
EVENTS = ["object:state-changed:selected", "object:state-changed:focused",
          "object:property-change:accessible-name", "object:property-change:accessible-description"]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    if os.environ.get("KELVOR_ATSPI_INSIDE") != "1":
        sys.exit(run_inside_session())
    with tempfile.TemporaryDirectory() as folder:
        font = os.path.abspath(sys.argv[2])
        if font.endswith((".pcf", ".pcf.gz")):
            bdf = os.path.join(folder, os.path.basename(font).split(".pcf")[0] + ".bdf")
            subprocess.run(["pcf2bdf", "-o", bdf, font], check=True)
            font = bdf
        walk_program(os.path.abspath(sys.argv[1]), font, folder)


def run_inside_session():
    """Runs this script again on an X server and a D-Bus session bus of its
    own. Xvfb picks a free display itself and says which, so that runs side
    by side do not take the same one."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                              pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as display:
        number = display.readline().strip()
    try:
        if not number:
            return "walk.py: Xvfb did not start"
        environment = dict(os.environ, DISPLAY=":" + number, KELVOR_ATSPI_INSIDE="1")
        return subprocess.call(["dbus-run-session", "--", sys.executable, os.path.abspath(__file__)] + sys.argv[1:],
                               env=environment)
    finally:
        server.terminate()
        server.wait()


def walk_program(program, font, folder):
    import pyatspi

    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                       XDG_CONFIG_HOME=folder)
    process = subprocess.Popen([program, font], env=environment)
    try:
        app = wait_for(process, lambda: application_of(pyatspi, process.pid), "the program on the AT-SPI bus")
        window = wait_for(process, lambda: child_named(app, "Glyph set"), "the glyph set window")
        wait_for(process, lambda: find(window, "table"), "the glyph list")
        print("== The glyph set window")
        print_tree(window)
        use_glyph_list(pyatspi, window)
        button = find(window, "push button", "Export…")
        button.queryAction().doAction(0)
        dialog = wait_for(process, lambda: child_named(app, "Export"), "the export dialog")
        print("\n== The export dialog")
        print_tree(dialog)
    finally:
        process.terminate()
        process.wait()


def wait_for(process, look, what):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline and process.poll() is None:
        found = look()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit("walk.py: %s did not show up" % what)


def application_of(pyatspi, pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def child_named(node, part):
    for child in node:
        if child is not None and part in (child.name or ""):
            return child
    return None


def find(node, role, name=None):
    """The first node of `role` (and `name`) under `node`, not looking into
    lists and tables, whose items are many."""
    if node.getRoleName() == role and (name is None or node.name == name):
        return node
    if node.getRoleName() in ("list", "table"):
        return None
    for child in node:
        if child is not None:
            found = find(child, role, name)
            if found is not None:
                return found
    return None


def describe(node):
    states = sorted(state.value_nick for state in node.getState().getStates())
    text = '%s "%s"' % (node.getRoleName(), node.name or "")
    if node.description:
        text += ' (description "%s")' % node.description
    return text + " [%s] {%s}" % (" ".join(states), " ".join(node.get_interfaces()))


def print_tree(node, depth=0):
    print("  " * depth + describe(node))
    if node.getRoleName() in ("list", "table"):
        print_cells(node, depth + 1)
        return
    for child in node:
        if child is not None:
            print_tree(child, depth + 1)


def print_cells(view, depth):
    indent = "  " * depth
    if "Table" in view.get_interfaces():
        table = view.queryTable()
        print(indent + "%d rows x %d columns" % (table.nRows, table.nColumns))
    print(indent + "%d children, the first:" % view.childCount)
    for i in range(min(view.childCount, CELLS_SHOWN)):
        print(indent + "%d: %s" % (i, describe(view.getChildAtIndex(i))))


def use_glyph_list(pyatspi, window):
    """Goes to glyphs through the Go to box and by typing in the list, as a
    user would with the keyboard (the click on the box only gives the window
    the keyboard, which no window manager does here)."""
    box = find(window, "text", "Go to:")
    table = find(window, "table")
    events = []

    def heard(event):
        if inside(event.source, window):
            source = event.source
            cell = " %d:" % source.getIndexInParent() if source.getRoleName() == "table cell" else ""
            events.append('%s (%d) from %s%s "%s"' % (event.type, event.detail1, source.getRoleName(), cell,
                                                     source.name))

    def go_to(text):
        click(pyatspi, box)
        box.queryEditableText().setTextContents(text)
        pyatspi.Registry.generateKeyboardEvent(0xFF0D, None, pyatspi.KEY_SYM)  # Return

    def type_in_list(text):
        pyatspi.Registry.generateKeyboardEvent(0xFF09, None, pyatspi.KEY_SYM)  # Tab
        pump(0.5)
        pyatspi.Registry.generateKeyboardEvent(0, text, pyatspi.KEY_STRING)

    # The program learns of a listener a moment after it is registered.
    pyatspi.Registry.registerEventListener(heard, *EVENTS)
    pump(1)
    for what, action in (('"K" and Enter in the Go to box', lambda: go_to("K")),
                         ('"U+1F600" and Enter in the Go to box', lambda: go_to("U+1F600")),
                         ('Tab into the glyph list, then "a" typed', lambda: type_in_list("a"))):
        del events[:]
        action()
        pump(1.5)
        print("\n== After %s" % what)
        print(describe(box))
        print(describe(find(window, "status bar")))
        print("events:")
        for event in events:
            print("  " + event)
        cells = table.queryTable()
        for row in range(cells.nRows):
            for column in range(cells.nColumns):
                if cells.isSelected(row, column):
                    print("selected: row %d, column %d: %s" % (row, column, describe(cells.getAccessibleAt(row, column))))
    pyatspi.Registry.deregisterEventListener(heard, *EVENTS)


def click(pyatspi, node):
    x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    pyatspi.Registry.generateMouseEvent(x + width // 2, y + height // 2, "b1c")
    time.sleep(0.3)


def pump(seconds):
    """Hands over the events that came meanwhile."""
    from gi.repository import GLib
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.02)


def inside(node, window):
    # Nodes of the main window's grids come and go while the program draws;
    # one that is gone by the time it is asked about is no node of this one.
    try:
        while node is not None:
            if node == window:
                return True
            node = node.parent
    except Exception:
        pass
    return False


if __name__ == "__main__":
    if not shutil.which("Xvfb") or not shutil.which("dbus-run-session"):
        sys.exit("walk.py needs Xvfb and dbus-run-session (Debian packages xvfb, dbus)")
    main()
