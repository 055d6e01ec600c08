#!/usr/bin/env python3
"""Writes whole_game.script: a session of a few minutes that wins the game.

The player clicks "Start" at 0 and keeps a manual going (A every 500 ms) on the
flat; in every ramp flight a one-pose trick is asked for on the first descending
step when it can close before the landing; between two ramps a bunny hop carries
a trick: one-pose tricks first, secret trick 4 once unlocked, and on the bike
"03" secret tricks 2 and 3 and the flips when their timer lets them close.

Every time is computed from the game's rules with no fall and no crash: course
step s runs at 40 * ceil(s / 2); the n-th ramp meets the rider on step
354 + 395 n, starts the descent on 395 + 395 n (Timer5 set to 130, to 180 after
step 408, to 130 and 180 on step 409) and lands on 434 + 395 n. Timers tick
every Interval from their last change. The only times read back from a run of
the simulator are the two "New Bike!" boxes (PROMOTIONS) and the first tick of
a dump showing Label5 (secret trick 4 unlocked, UNLOCK4), which depend on the points made; running this
again with the times of the previous run gives the same script.

Usage: make_whole_game.py > whole_game.script
"""

PROMOTIONS = (93501, 186701)  # the Timer4 ticks that open the two "New Bike!" boxes
UNLOCK4 = 156000  # the first of the dumps each second that shows Label5
END = 270000

BASIC = "QWEDFGYUI"


def step_time(s):
    return 40 * ((s + 1) // 2)


def flights():
    n = 0
    while True:
        yield (step_time(354 + 395 * n), step_time(395 + 395 * n),
               step_time(408 + 395 * n), step_time(409 + 395 * n),
               step_time(434 + 395 * n))
        n += 1


def ticks(schedule, start, end):
    """Tick times of a timer in (start, end]; schedule: [(from, interval)]."""
    out = []
    for i, (origin, interval) in enumerate(schedule):
        until = schedule[i + 1][0] if i + 1 < len(schedule) else end
        t = origin + interval
        while t <= until:
            if start < t <= end:
                out.append(t)
            t += interval
    return out


def bike_schedule(first, second, third):
    return [(0, first), (PROMOTIONS[0], second), (PROMOTIONS[1], third)]


TIMER1 = bike_schedule(200, 210, 220)
TIMER3 = bike_schedule(200, 190, 182)
TIMER7 = bike_schedule(70, 67, 65)
TIMER8 = bike_schedule(170, 165, 162)


def timer5_schedule():
    changes = [(0, 180)]
    for _, descent, s408, s409, _ in flights():
        if descent > END:
            break
        changes += [(descent, 130), (s408, 180), (s409, 180)]
    changes += [(PROMOTIONS[0], 173), (PROMOTIONS[1], 167)]
    return sorted(changes)


TIMER5 = timer5_schedule()


def next_tick(schedule, t):
    return ticks(schedule, t, t + 1000)[0]


def main():
    keys = []  # (time, key)
    quiet = []  # intervals with no A press: (from, to)
    basic = 0
    flat = 0
    for contact, descent, _, _, landing in flights():
        if contact > END:
            break
        # A one-pose trick in the descent, if Timer3 lets it close in the air.
        press = descent + 3
        closing = ticks(TIMER3, press, press + 1000)[3]
        if closing < landing and press not in PROMOTIONS:
            keys.append((press, BASIC[basic % len(BASIC)]))
            basic += 1
        # A hop between this landing and the next ramp.
        hop_from = landing + 1500
        bike = 1 if hop_from < PROMOTIONS[0] else 2 if hop_from < PROMOTIONS[1] else 3
        if bike == 3:
            trick = "XCRZT"[flat % 5]
        elif hop_from > UNLOCK4:
            trick = "V"
        else:
            trick = BASIC[(basic + 4) % len(BASIC)]
        chosen = None
        for h in range(hop_from, hop_from + 2500, 10):
            t1 = next_tick(TIMER1, h)
            period = dict(TIMER1)[max(o for o, _ in TIMER1 if o < t1)]
            air_end = t1 + 6 * period
            press = t1 + 2
            if trick in "RZT":
                f = next_tick(TIMER5, press)
                ok = f + 7 * 180 < air_end and f - t1 < 60
            else:
                sched = {"X": TIMER8, "C": TIMER8, "V": TIMER7}.get(trick, TIMER3)
                steps = {"X": 8, "C": 8, "V": 16}.get(trick, 4)
                closing = ticks(sched, press, press + 2000)[steps - 1]
                ok = closing < air_end
            if ok and h not in PROMOTIONS and press not in PROMOTIONS:
                chosen = (h, press, air_end)
                break
        if chosen is None:
            continue
        h, press, air_end = chosen
        keys += [(h, "H"), (press, trick)]
        quiet.append((contact, air_end + 50))  # the manual ends before the hop
        flat += 1
        if trick in BASIC:
            basic += 1

    lines = ["# The whole game, won by scripted play: written by make_whole_game.py",
             "# (see there how every time was found). Bike \"02\" at the first New",
             "# Bike! box, \"03\" at the second; all four secret tricks unlocked.",
             "0 click Command1"]
    events = [(t, "key " + k) for t, k in keys]
    for t in range(50, END, 500):
        if not any(a <= t < b for a, b in quiet):
            events.append((t, "key A"))
    for p in (p for p in PROMOTIONS if p < END):
        events += [(p - 1, "dump"), (p, "close"), (p + 1, "dump")]
    for t in range(1000, END + 1, 1000):
        events.append((t, "dump"))
    for t, text in sorted((e for e in events if e[0] < END), key=lambda e: e[0]):
        lines.append(f"{t} {text}")
    lines.append(f"{END} end")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
