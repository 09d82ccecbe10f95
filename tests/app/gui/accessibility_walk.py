"""Walks the program's windows through AT-SPI as a screen reader does: the main window,
the editor (opened by its button) and the viewer (by View). Fails on a control without a
name, a top-level window that is not a frame or dialog, and due items that read alike.
Usage: accessibility_walk.py APP-NAME"""
import sys
import time

import pyatspi

CONTROLS = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SCROLL_BAR,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE,
}
WINDOWS = {pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW}
failures = []


def until(what, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = what()
        if found:
            return found
        time.sleep(0.2)
    return None


def application(name):
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        return None
    return until(find)


def showing(acc):
    return acc.getState().contains(pyatspi.STATE_SHOWING)


def descendants(acc):
    for child in acc:
        if child is None:
            continue
        yield child
        # A list's rows are its items; their cells hold nothing more to name.
        if child.getRole() != pyatspi.ROLE_LIST_ITEM:
            yield from descendants(child)


def shown_windows(app):
    return [w for w in app if w is not None and showing(w)]


def check_window(window):
    title = window.name or "(no title)"
    if window.getRole() not in WINDOWS:
        failures.append(f"{title}: a {window.getRoleName()}, not a window")
    seen = 0
    for acc in descendants(window):
        if acc.getRole() not in CONTROLS or not showing(acc):
            continue
        seen += 1
        if not acc.name.strip():
            parent = acc.parent
            failures.append(f"{title}: a {acc.getRoleName()} without a name"
                            f" (in {parent.getRoleName()} {parent.name!r})")
    print(f"{title}: {seen} controls", flush=True)


def due_items(window):
    lists = [a for a in descendants(window) if a.getRole() == pyatspi.ROLE_LIST]
    return [item.name for lst in lists for item in lst if item is not None]


def press(window, name):
    for acc in descendants(window):
        if acc.getRole() == pyatspi.ROLE_PUSH_BUTTON and acc.name == name:
            acc.queryAction().doAction(0)
            return
    failures.append(f"no button {name!r}")


def main():
    app = application(sys.argv[1])
    if app is None:
        sys.exit("FAIL: the program did not appear on the accessibility bus")
    main_window = until(lambda: next(iter(shown_windows(app)), None))
    check_window(main_window)
    items = due_items(main_window)
    print("due items:", items)
    if len(items) < 2 or len(set(items)) != len(items):
        failures.append(f"due items read alike or are missing: {items}")

    press(main_window, "Editor...")
    editor = until(lambda: [w for w in shown_windows(app) if w.name != main_window.name])
    if editor:
        check_window(editor[0])
    else:
        failures.append("the editor did not open")
    press(main_window, "View")
    viewer = until(lambda: [w for w in shown_windows(app) if w.name.startswith("Today's")])
    if viewer:
        check_window(viewer[0])
    else:
        failures.append("the viewer did not open")
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


main()
