#!/usr/bin/env python3
"""The same 730 events (a year of sunrises and sunsets at 新千歳) computed with PyEphem.
Prints the median microseconds per place-year."""
import statistics
import sys
import time

import ephem


def year_of_events(year=2026):
    place = ephem.Observer()
    place.lat, place.lon = "42:46:31", "141:41:33"
    place.pressure = 0
    place.horizon = "-0:34"
    sun = ephem.Sun()
    out = []
    day = ephem.Date("%d/1/1 00:00" % year) - 9 / 24.0  # midnight JST
    end = ephem.Date("%d/1/1 00:00" % (year + 1)) - 9 / 24.0
    while day < end:
        place.date = day
        out.append(place.next_rising(sun))
        out.append(place.next_setting(sun))
        day += 1
    return out


def main():
    events = year_of_events()
    assert len(events) == 730, len(events)
    first = ephem.Date(events[0] + 9 / 24.0).tuple()
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        year_of_events()
        times.append(time.perf_counter() - start)
    print("%.1f" % (statistics.median(times) * 1e6), "first sunrise JST %02d:%02d" % first[3:5])


if __name__ == "__main__":
    main()
