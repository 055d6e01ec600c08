#!/usr/bin/env python3
"""Writes a random player's session as a torvin-sim script.

Usage: make_random_play.py SEED MINUTES > random-SEED.script

The player presses the trick keys, H, the manual keys and now and then any key
code at all, in quick presses, bursts of auto-repeat and rests; clicks "Start"
and "How to" now and then and closes message boxes. The same seed always gives
the same script. Before "Start" the player never hops: a hop then would leave
its mark on every later hop of the game.
"""
import random
import sys


def main():
    seed, minutes = int(sys.argv[1]), float(sys.argv[2])
    rng = random.Random(seed)
    end = int(minutes * 60000)
    keys = "HQWERTDFGYUIASZXCV"
    lines = [f"# Random play, seed {seed}, {minutes:g} minutes: make_random_play.py"]
    t = rng.randrange(3000)
    started = False
    while t < end:
        roll = rng.randrange(1000)
        if roll < 3:
            action = "click Command1"
        elif roll < 5:
            action = "click Command2"
        elif roll < 60:
            action = "close"
        elif roll < 80:
            action = f"key {rng.randrange(65536)}"
        elif roll < 120:
            action = "key H"
        elif roll < 135:
            action = "dump"
        else:
            action = "key " + rng.choice(keys)
        if action == "click Command1":
            started = True
        elif not started and action in ("key H", "key h", "key 72"):
            action = "key J"
        lines.append(f"{t} {action}")
        gap = rng.randrange(100)
        t += 33 if gap < 10 else 40 + rng.randrange(400) if gap < 90 else 1000 + rng.randrange(4000)
    lines.append(f"{end} dump")
    print("\n".join(lines))


if __name__ == "__main__":
    main()
