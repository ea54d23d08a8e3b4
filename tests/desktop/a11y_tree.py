#!/usr/bin/python3
"""The program as a screen reader sees it, through AT-SPI (pyatspi).

  a11y_tree.py dump [APP]      every window's tree, one node a line:
                               role "name" [states] value / table size
  a11y_tree.py walk [APP]      shows every tab and every Setup page in turn
                               (as a keyboard user would reach them) and
                               prints one JSON summary of all it met
  a11y_tree.py press NAME [APP]  the first node named NAME: its first action

APP is the application's name on the accessibility bus (default "QGM").
Run it where the program runs: the same session bus and display, with the
accessibility bus launched (at-spi-bus-launcher) and the program started
with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1.
"""
import json
import sys
import time

import pyatspi

# Roles that say nothing of what a node is: a node that takes the focus
# must never have one of these.
GENERIC = {"filler", "unknown", "panel", "invalid", "redundant object"}


def application(name, wait=30.0):
    until = time.time() + wait
    while time.time() < until:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    names = [a.name for a in pyatspi.Registry.getDesktop(0) if a is not None]
    raise SystemExit(f"no application {name!r} on the accessibility bus (there are {names})")


def children(node):
    try:
        return [c for c in node if c is not None]
    except Exception:  # a node gone while walking
        return []


def ancestors(node, most=3):
    out = []
    parent = node.parent
    while parent is not None and len(out) < most:
        out.append(parent)
        parent = parent.parent
    return out


def facts(node):
    """One node as a dict: role, name, description, states, value, table."""
    states = node.getState()
    f = {
        "role": node.getRoleName(),
        "name": node.name or "",
        "description": node.description or "",
        "focusable": states.contains(pyatspi.STATE_FOCUSABLE),
        "within": " / ".join(f"{a.getRoleName()} {a.name!r}" for a in ancestors(node)),
        "showing": states.contains(pyatspi.STATE_SHOWING),
    }
    try:
        value = node.queryValue()
        f["value"] = value.currentValue
        f["min"] = value.minimumValue
        f["max"] = value.maximumValue
    except NotImplementedError:
        pass
    try:
        table = node.queryTable()
        f["rows"] = table.nRows
        f["columns"] = table.nColumns
        f["cells"] = [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
                      for r in range(min(table.nRows, 400))]
    except NotImplementedError:
        pass
    try:
        action = node.queryAction()
        f["actions"] = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        pass
    return f


def walk(node, depth=0, out=None, showing_only=True):
    """Every node below `node` (itself included), as (depth, node, facts)."""
    if out is None:
        out = []
    f = facts(node)
    if showing_only and depth > 1 and not f["showing"]:
        return out
    out.append((depth, node, f))
    for child in children(node):
        walk(child, depth + 1, out, showing_only)
    return out


def line(depth, f):
    extra = ""
    if "value" in f:
        extra += f" value={f['value']:g} ({f['min']:g}..{f['max']:g})"
    if "rows" in f:
        extra += f" table={f['rows']}x{f['columns']}"
    if f.get("actions"):
        extra += " actions=" + ",".join(f["actions"])
    state = " focusable" if f["focusable"] else ""
    desc = f" — {f['description'][:60]}" if f["description"] else ""
    return f"{'  ' * depth}{f['role']} {f['name']!r}{state}{extra}{desc}"


def page_tab_lists(app):
    return [n for _, n, f in walk(app, showing_only=True) if f["role"] == "page tab list"]


def select_tab(tab_list, index):
    tab = tab_list.getChildAtIndex(index)
    action = tab.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            break
    time.sleep(0.4)  # the page lays itself out


def summary_of(app, seen):
    """Adds every showing node of every window to `seen`, keyed by path."""
    for window in children(app):
        for depth, node, f in walk(window):
            key = (window.name, depth, f["role"], f["name"], node.getIndexInParent())
            seen.setdefault(key, f)


def run_walk(app_name):
    app = application(app_name)
    seen = {}
    pages = []
    main = page_tab_lists(app)
    if not main:
        raise SystemExit("no page tab list: is the window shown?")
    tabs = main[0]
    for i in range(tabs.childCount):
        tab = tabs.getChildAtIndex(i)
        if not tab.getState().contains(pyatspi.STATE_VISIBLE):
            continue  # a hidden tab (CallHaven without an account)
        select_tab(tabs, i)
        pages.append(tab.name)
        summary_of(app, seen)
        if tab.name.replace("&", "").lower() == "setup":
            inner = [t for t in page_tab_lists(app) if t != tabs]
            count = inner[0].childCount if inner else 0
            for j in range(count):
                # Found afresh each time: a page change may renew the tabs.
                inner = [t for t in page_tab_lists(app) if t != tabs]
                if inner[0].getChildAtIndex(j).getRoleName() != "page tab":
                    continue  # the tab bar's scroll buttons
                pages.append("Setup/" + inner[0].getChildAtIndex(j).name)
                select_tab(inner[0], j)
                summary_of(app, seen)
    nodes = list(seen.values())
    focusable = [f for f in nodes if f["focusable"]]
    bad = [f for f in focusable if f["role"] in GENERIC or not f["name"].strip()]
    print(json.dumps({
        "pages": pages,
        "nodes": len(nodes),
        "focusable": len(focusable),
        "nameless": sum(1 for f in nodes if not f["name"].strip()),
        "focusable_nameless_or_generic": [{"role": f["role"], "name": f["name"],
                                           "within": f["within"]} for f in bad],
        "progress_bars": [{"name": f["name"], "value": f.get("value"),
                           "description": f["description"], "focusable": f["focusable"]}
                          for f in nodes if f["role"] == "progress bar"],
        "tables": [{"role": f["role"], "name": f["name"], "rows": f["rows"],
                    "description": f["description"]} for f in nodes if "rows" in f],
        "list_items": [f["name"] for f in nodes if f["role"] in ("list item", "tree item")],
        "links": [f["name"] for f in nodes if f["role"] == "link"],
    }, indent=1))


def press(name, app_name):
    app = application(app_name)
    for window in children(app):
        for _, node, f in walk(window, showing_only=False):
            if f["name"].replace("&", "") == name and f.get("actions"):
                node.queryAction().doAction(0)
                print("true")
                return 0
    print("false")
    return 1


def main(argv):
    if len(argv) >= 2 and argv[1] == "dump":
        app = application(argv[2] if len(argv) > 2 else "QGM")
        for window in children(app):
            for depth, _, f in walk(window):
                print(line(depth, f))
        return 0
    if len(argv) >= 2 and argv[1] == "walk":
        run_walk(argv[2] if len(argv) > 2 else "QGM")
        return 0
    if len(argv) >= 3 and argv[1] == "press":
        return press(argv[2], argv[3] if len(argv) > 3 else "QGM")
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
