# SPDX-License-Identifier: MIT
"""What a screen reader finds in one running program, read through AT-SPI.
Usage: a11y.py <pid> <window id> EN|PL <words file>
The English program leaves the words of its names in the file; the Polish one
must use none of them beyond the words it shows in English or both show.
The exit status is the number of failures."""
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

# Window title, bars in row order, options label, lists' captions, colour
# button, sliders, and the colour previews' descriptions with the defaults.
EXPECTED = {
    "EN": ("System resources monitor", ["Drive used", "Memory used", "Processor load"],
           "Options...", ["Interval", "Drive"], "Colours",
           {"HDD red", "CPU blue", "Alpha (Transparency)"},
           {"red 222, green 0, blue 0", "red 0, green 222, blue 0", "red 0, green 0, blue 222"}),
    "PL": ("Kelvora zasobów systemowych",
           ["Zajęte miejsce na dysku", "Zajęta pamięć", "Obciążenie procesora"], "OPCJE...",
           ["Interval", "Dysk"], "Kolory",
           {"Dysk czerwony", "Procesor niebieski", "Alpha (Przeźroczystość)"},
           {"czerwony 222, zielony 0, niebieski 0", "czerwony 0, zielony 222, niebieski 0",
            "czerwony 0, zielony 0, niebieski 222"}),
}
STRIP_TITLE = "Kelvora zasobów systemowych"
# Shown in English by the Polish program, units, placeholders, and the Polish
# texts the English program shows too.
SHOWN_IN_BOTH = set(
    "interval cpu ram hdd fdd ok alpha r g b kb mb gb ms dused dfree mused mfree pused pfree "
    "wyłączone anuluj kliknij aby zmienić jednostkę kelvora zasobów systemowych".split())
FOLDED, UNFOLDED = 113, 143  # client heights in pixels: 1695 and 2145 twips

pid, window, program, words_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
title, bars, options_name, list_captions, colours_name, slider_names, previews = EXPECTED[program]
failures = 0


def check(what, ok, detail=""):
    global failures
    failures += not ok
    print(f"{'ok  ' if ok else 'FAIL'} [a11y {program}] {what}: {detail}")


def wait_for(probe, seconds=5):
    end = time.monotonic() + seconds
    while not (result := probe()) and time.monotonic() < end:
        time.sleep(0.05)
    return result


def tree(node):
    for child in node:
        yield child
        if child.getRole() != pyatspi.ROLE_COMBO_BOX:  # entries are data
            yield from tree(child)


def find(nodes, role, name=None):
    return [n for n in nodes if n.getRole() == role and name in (None, n.name)]


def box(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def actions(node):
    return [node.queryAction().getName(i) for i in range(node.queryAction().nActions)]


def press(node):
    node.queryAction().doAction(actions(node).index("Press"))


def frames():
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.get_process_id() == pid]
    return [f for a in apps for f in a if f.getState().contains(pyatspi.STATE_SHOWING)]


def client_height(expected):
    wait_for(lambda: box(main).height == expected)
    return box(main).height


def steady(bar):
    """The value and the width the bar shows, read while the value stood still."""
    while True:
        value = bar.queryValue().currentValue
        shown = box(bar).width * bar.getState().contains(pyatspi.STATE_VISIBLE)
        if bar.queryValue().currentValue == value:
            return value, shown


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=False)


def heard(event_name, seconds, meanwhile=lambda: None):
    """The sources of the events of this name that come within `seconds`,
    while `meanwhile` runs once listening has begun."""
    sources = []
    listener = lambda event: sources.append(event.source)  # noqa: E731
    pyatspi.Registry.registerEventListener(listener, event_name)
    GLib.timeout_add(100, lambda: meanwhile() and False)
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop())
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(listener, event_name)
    return sources


def value_events(seconds):
    """Value-change events from progress bars while the bars move, and how
    often their values changed meanwhile (a busy loop helps)."""
    values = []
    busy = subprocess.Popen(["timeout", str(seconds / 2), "sh", "-c", "while :; do :; done"])
    meters = [find(controls, pyatspi.ROLE_PROGRESS_BAR, name)[0] for name in bars]
    GLib.timeout_add(
        100, lambda: values.append([m.queryValue().currentValue for m in meters]) or True)
    sources = heard("object:property-change:accessible-value", seconds)
    busy.wait()
    changes = sum(a != b for a, b in zip(values, values[1:]))
    return [s.getRole() for s in sources].count(pyatspi.ROLE_PROGRESS_BAR), changes


main = wait_for(frames, 10)[0]
check("main window is a frame with its title",
      (main.getRole(), main.name) == (pyatspi.ROLE_FRAME, title), (main.getRoleName(), main.name))
controls = list(tree(main))
announced, moves = value_events(4)
check("no bar announces its level unasked", announced == 0 and moves > 0,
      f"{announced} value events while the bars moved {moves} times")
scales = find(controls, pyatspi.ROLE_FILLER, "")
for name in bars:
    found = find(controls, pyatspi.ROLE_PROGRESS_BAR, name)
    if not found:
        check(f"bar {name!r}", False, "missing")
        continue
    value, shown = steady(found[0])
    # The scale the bar starts on; a bar at 0 % has no width, and its
    # extents need not start exactly there.
    scale = min(scales, key=lambda s: abs(box(s).x - box(found[0]).x) + abs(box(s).y - box(found[0]).y))
    pixel = 100 / box(scale).width
    check(f"bar {name!r} is {value:.1f} %", abs(value - shown * pixel) <= pixel + 0.01,
          f"shows {shown * pixel:.1f} %")

options = find(controls, pyatspi.ROLE_PUSH_BUTTON, options_name)[0]
check("options label is one object", [c.name for c in controls].count(options_name) == 1)
check("options label takes the focus", options.getState().contains(pyatspi.STATE_FOCUSABLE))
check("options label can be pressed", "Press" in actions(options), actions(options))


def tab_to(node, key):
    xdotool("windowactivate", "--sync", window)
    for _ in range(8):
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            return
        xdotool("key", key)
        time.sleep(0.1)


def expanded():
    state = options.getState()
    return state.contains(pyatspi.STATE_EXPANDABLE) and state.contains(pyatspi.STATE_EXPANDED)


check("options label starts collapsed", not expanded())
press(options)
height = client_height(UNFOLDED)
check("pressing it folds the window out", height == UNFOLDED, height)
check("and reads as expanded", expanded())
lists = find(controls, pyatspi.ROLE_COMBO_BOX)
check("lists describe their current entries", [c.description for c in lists] == ["100 ms", "/"],
      [c.description for c in lists])
tab_to(lists[0], "Tab")
described = [s.description for s in heard("object:property-change:accessible-description", 1,
                                          lambda: xdotool("key", "Down"))]
check("Down on a closed list tells its new entry", "500 ms" in described, described)
tab_to(options, "shift+Tab")

captions = [[r.getTarget(0).name for r in c.getRelationSet()
             if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
            for c in find(controls, pyatspi.ROLE_COMBO_BOX)]
check("lists named by their captions", captions == [[n] for n in list_captions], captions)

# A list's description is its entry: data both programs show alike.
texts = [t for c in controls for t in (c.name, c.description)
         if c.getRole() != pyatspi.ROLE_COMBO_BOX]
press(find(controls, pyatspi.ROLE_PUSH_BUTTON, colours_name)[0])
dialog = list(tree(wait_for(lambda: [f for f in frames() if f != main])[0]))
sliders = [s.name for s in find(dialog, pyatspi.ROLE_SLIDER)]
check("ten slider names of their own",
      len(set(sliders) - {""}) == 10 and slider_names <= set(sliders), sliders)
described = {c.description for c in dialog if c.getState().contains(pyatspi.STATE_FOCUSABLE)}
check("previews say their colours", previews <= described, described)
texts += [t for c in dialog for t in (c.name, c.description)]
press(find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Anuluj")[0])

check("the options label keeps the focus",
      wait_for(lambda: options.getState().contains(pyatspi.STATE_FOCUSED)))
subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", "space"], check=False)
height = client_height(FOLDED)
check("Space folds it in", height == FOLDED, height)
check("and it reads as collapsed", not expanded())

xdotool("mousemove", "--window", window, "300", "5", "click", "--repeat", "2", "--delay", "80", "1")
strip = wait_for(lambda: [f for f in frames() if f.name == STRIP_TITLE and f != main])
check("the strip is a frame with its title",
      bool(strip) and strip[0].getRole() == pyatspi.ROLE_FRAME,
      [(f.getRoleName(), f.name) for f in frames()])
if strip:
    corner = box(strip[0])
    xdotool("mousemove", str(corner.x + 30), str(corner.y + 5),
            "click", "--repeat", "2", "--delay", "80", "1")
    check("and swaps back", wait_for(lambda: main in frames()))

words = {w for t in texts for w in re.findall(r"[^\W\d_]+", t.casefold())} - SHOWN_IN_BOTH
if program == "EN":
    with open(words_file, "w", encoding="utf-8") as out:
        out.write("\n".join(words))
else:
    with open(words_file, encoding="utf-8") as english:
        leaks = sorted(words & set(english.read().split()))
    check("no English beyond what it shows in English", not leaks, leaks)
sys.exit(failures)
