"""What a screen reader finds in one running program, read through AT-SPI.

Usage: a11y.py <pid> <window id> EN|PL <words file>
The English program writes the words of its accessible names and descriptions
to the words file; the Polish program, run after it, must use none of them
beyond the words it shows in English or both programs show.
Prints one line per check; the exit status is the number of failures.
"""
import re
import subprocess
import sys
import time

import pyatspi

EXPECTED = {
    "EN": {
        "bars": ["Drive used", "Memory used", "Processor load"],
        "options": "Options...",
        "lists": ["Interval", "Drive"],
        "colours": "Colours",
        "slider": "HDD red",
        "opacity": "Alpha (Transparency)",
    },
    "PL": {
        "bars": ["Zajęte miejsce na dysku", "Zajęta pamięć", "Obciążenie procesora"],
        "options": "OPCJE...",
        "lists": ["Interval", "Dysk"],
        "colours": "Kolory",
        "slider": "Dysk czerwony",
        "opacity": "Alpha (Przeźroczystość)",
    },
}
# The words the Polish program shows in English, the units of the readouts and
# the lists, the readouts' placeholders, and the Polish texts the English
# program shows too.
SHOWN_IN_BOTH = set(
    "interval cpu ram hdd fdd ok alpha r g b kb mb gb ms dused dfree mused mfree pused pfree "
    "wyłączone anuluj kliknij aby zmienić jednostkę kelvora zasobów systemowych".split()
)
# Client heights in pixels, folded and unfolded (1695 and 2145 twips).
FOLDED, UNFOLDED = 113, 143

pid, window, program, words_file = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
expected = EXPECTED[program]
failures = 0


def check(what, ok, detail=""):
    global failures
    failures += not ok
    print(f"{'ok  ' if ok else 'FAIL'} [a11y {program}] {what}{': ' + str(detail) if detail else ''}")


def wait_for(probe, seconds=5):
    """The first true result of probe() within the time, else the last one."""
    end = time.monotonic() + seconds
    while True:
        result = probe()
        if result or time.monotonic() > end:
            return result
        time.sleep(0.05)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def showing_frames(app):
    return [f for f in app if f.getState().contains(pyatspi.STATE_SHOWING)]


def descendants(node):
    for child in node:
        yield child
        # A list's entries are data, the same in both programs.
        if child.getRole() != pyatspi.ROLE_COMBO_BOX:
            yield from descendants(child)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def press(node):
    action = node.queryAction()
    action.doAction(actions(node).index("Press"))


def named(nodes, name, role=None):
    return next((n for n in nodes if n.name == name and role in (None, n.getRole())), None)


def level_against_width(bar, frames):
    """Percent shown and percent of the frame the bar covers, read while the
    value stood still."""
    box = extents(bar)
    frame = next(f for f in frames if (extents(f).x, extents(f).y) == (box.x, box.y))
    for _ in range(20):
        before = bar.queryValue().currentValue
        width = extents(bar).width if bar.getState().contains(pyatspi.STATE_VISIBLE) else 0
        if bar.queryValue().currentValue == before:
            break
    return before, 100 * width / extents(frame).width, 100 / extents(frame).width


app = wait_for(application, 10)
if app is None:
    check("program on the accessibility bus", False)
    sys.exit(failures)
main = wait_for(lambda: showing_frames(app))[0]
controls = list(descendants(main))

# The bars carry their level as a value; the width they show is that share
# of their frame, within a pixel.
unnamed = [c for c in controls if c.getRole() == pyatspi.ROLE_FILLER and not c.name]
for name in expected["bars"]:
    bar = named(controls, name, pyatspi.ROLE_PROGRESS_BAR)
    if bar is None:
        check(f"bar {name!r}", False, "missing")
        continue
    value, shown, pixel = level_against_width(bar, unnamed)
    check(f"bar {name!r} {value:.1f} % shows {shown:.1f} %", abs(value - shown) <= pixel + 0.01)

options = named(controls, expected["options"], pyatspi.ROLE_PUSH_BUTTON)
check("options label is a button", options is not None)
if options is None:
    sys.exit(failures)
check("options label takes the focus", options.getState().contains(pyatspi.STATE_FOCUSABLE))
check("options label can be pressed", "Press" in actions(options), actions(options))
press(options)
height = wait_for(lambda: extents(main).height == UNFOLDED and UNFOLDED) or extents(main).height
check("pressing it folds the window out", height == UNFOLDED, f"client height {height}")

lists = [c for c in controls if c.getRole() == pyatspi.ROLE_COMBO_BOX]
captions = [
    [r.getTarget(0).name for r in c.getRelationSet()
     if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
    for c in lists
]
check("lists named by their captions", captions == [[n] for n in expected["lists"]], captions)

names = [t for c in controls for t in (c.name, c.description)]
colours = named(controls, expected["colours"], pyatspi.ROLE_PUSH_BUTTON)
check("colour button", colours is not None and "Press" in actions(colours))
if colours is not None:
    press(colours)
    dialog = wait_for(lambda: [f for f in showing_frames(app) if f != main])
    parts = list(descendants(dialog[0])) if dialog else []
    sliders = [p.name for p in parts if p.getRole() == pyatspi.ROLE_SLIDER]
    check(
        "ten slider names of their own",
        len(set(sliders)) == 10 and "" not in sliders
        and {expected["slider"], expected["opacity"]} <= set(sliders),
        sliders,
    )
    names += [t for p in parts for t in (p.name, p.description)]
    cancel = named(parts, "Anuluj", pyatspi.ROLE_PUSH_BUTTON)
    if cancel is not None:
        press(cancel)
    check("the dialog closes", wait_for(lambda: len(showing_frames(app)) == 1))

# The keyboard folds the row back in, the focus still on the options label.
check("options label has the focus", wait_for(
    lambda: options.getState().contains(pyatspi.STATE_FOCUSED)))
subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", "space"], check=False)
height = wait_for(lambda: extents(main).height == FOLDED and FOLDED) or extents(main).height
check("Space folds the window in", height == FOLDED, f"client height {height}")

words = {w for text in names for w in re.findall(r"[^\W\d_]+", text.casefold())}
if program == "EN":
    with open(words_file, "w", encoding="utf-8") as out:
        out.write("\n".join(sorted(words - SHOWN_IN_BOTH)))
else:
    with open(words_file, encoding="utf-8") as english:
        leaks = words & set(english.read().split())
    check("no English beyond the texts shown in English", not leaks, sorted(leaks))
sys.exit(failures)
