#!/usr/bin/env python3
"""Frame figures from frame_watch's log and the game's recording of the ride.

    frame_figures.py WATCH_LOG RECORDING GROUND_ROW

Frames: the painted rectangles that reached the X server within a millisecond
of one another. Lateness: for each course tick, from the moment it fell due
to the end of the first frame after it that reaches the ground (GROUND_ROW, a
row of the window below the ground line: the course moves the ground tiles at
every tick, nothing else paints there). The game's clock is found from the
recording, which stamps every key with the millisecond the game had when the
key arrived: the watch knows when it sent each key, so the game's time 0 is
known to within half a millisecond, given one key of the ride that reached the
game at once (how much later the slowest came is printed). Course ticks fall
due every 40 ms from the click on Start.

Prints `name: value` lines.
"""

import statistics
import sys

COURSE_MS = 40
KEY_CODES = {"h": 72, "q": 81, "a": 65}


def read_watch(path):
    click, keys, damage, marks = None, [], [], {}
    with open(path) as log:
        for line in log:
            field = line.split()
            if not field:
                continue
            if field[0] == "click":
                click = int(field[1])
            elif field[0] == "key":
                keys.append((field[1], int(field[2])))
            elif field[0] == "damage":
                damage.append((int(field[1]), int(field[3]), int(field[5])))
            elif field[0] in ("on", "off"):
                marks[field[0]] = int(field[1])
    return click, keys, damage, marks


def read_recording(path):
    click, keys = None, []
    with open(path) as script:
        for line in script:
            field = line.split()
            if len(field) == 3 and field[1] == "click" and field[2] == "Command1" and click is None:
                click = int(field[0])
            elif len(field) == 3 and field[1] == "key":
                keys.append((int(field[0]), int(field[2])))
    return click, keys


def frames_of(damage):
    """Groups of rectangles: (first ns, last ns, lowest row reached)."""
    frames = []
    for at, top, height in sorted(damage):
        if frames and at - frames[-1][1] <= 1_000_000:
            first, _, bottom = frames[-1]
            frames[-1] = (first, at, max(bottom, top + height))
        else:
            frames.append((at, at, top + height))
    return frames


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(share * len(ordered)))]


def main():
    watch_log, recording, ground_row = sys.argv[1], sys.argv[2], int(sys.argv[3])
    _, sent, damage, marks = read_watch(watch_log)
    game_click, stamped = read_recording(recording)
    frames = frames_of(damage)
    if "on" in marks and "off" in marks:
        measured = [f for f in frames if marks["on"] <= f[0] <= marks["off"]]
        print(f"frames_measured: {len(measured)}")
        print(f"seconds_measured: {(marks['off'] - marks['on']) / 1e9:.3f}")

    # The game's time 0 on the monotonic clock: each key was stamped with the
    # whole milliseconds the game had reached when it arrived.
    ours = [code for code in (KEY_CODES[letter] for letter, _ in sent)]
    theirs = [(t, code) for t, code in stamped if code in KEY_CODES.values()]
    if game_click is None or len(theirs) < len(ours) or not ours:
        print("lateness: unknown (the recording does not hold the ride's keys)")
        return
    theirs = theirs[-len(ours):]
    if [code for _, code in theirs] != ours:
        print("lateness: unknown (the recording's keys are not the ride's)")
        return
    # A key reached the game a little after it was sent (never before), and was
    # stamped with the whole milliseconds reached then: time 0 lies at most a
    # millisecond after the latest of (sent - stamp - 1 ms), if one of the keys
    # reached the game at once; the key that came quickest tells.
    low = max(ns - (t + 1) * 1_000_000 for (_, ns), (t, _) in zip(sent, theirs))
    origin = low + 500_000
    slowest = max(ns - t * 1_000_000 for (_, ns), (t, _) in zip(sent, theirs)) - min(
        ns - t * 1_000_000 for (_, ns), (t, _) in zip(sent, theirs))
    print(f"keys_matched: {len(theirs)}")
    print(f"key_delay_spread_ms: {slowest / 1e6:.2f}")

    first_tick = origin + (game_click + COURSE_MS) * 1_000_000
    last = frames[-1][1] if frames else first_tick
    late = []
    due = first_tick + 1_000_000_000  # from a second into the ride
    course = [f for f in frames if f[2] > ground_row]
    index = 0
    while due < last - 500_000_000:
        while index < len(course) and course[index][0] < due:
            index += 1
        if index == len(course):
            break
        late.append((course[index][1] - due) / 1e6)
        due += COURSE_MS * 1_000_000
    if not late:
        print("lateness: no course frames")
        return
    print(f"course_ticks_timed: {len(late)}")
    print(f"frame_lateness_ms_median: {statistics.median(late):.2f}")
    print(f"frame_lateness_ms_p99: {percentile(late, 0.99):.2f}")
    print(f"frame_lateness_ms_max: {max(late):.2f}")
    print(f"frames_later_than_a_course_tick: {sum(1 for value in late if value > COURSE_MS)}")
    ride = [f for f in frames if f[0] >= first_tick]
    seconds = (last - first_tick) / 1e9
    print(f"frames_per_second: {len(ride) / seconds:.2f}" if seconds > 0 else "frames_per_second: 0")


if __name__ == "__main__":
    main()
