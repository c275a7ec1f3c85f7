"""Neighbouring doubles of a point, for reference tables that probe both
sides of every switch in an evaluation."""
import math


def neighbours(x, count=3):
    """x and the count nearest doubles on each side of it."""
    out = [x]
    up = down = x
    for _ in range(count):
        up = math.nextafter(up, math.inf)
        down = math.nextafter(down, -math.inf)
        out += [up, down]
    return out
