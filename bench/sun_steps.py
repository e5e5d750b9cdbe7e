#!/usr/bin/env python3
"""The sun-time steps written plainly in Python: a year of sunrises and sunsets (730 events) for
one place, timed as the C++ benchmark times them. Prints the median seconds per place-year."""
import math
import statistics
import sys
import time

RAD = 3.14159 / 180.0
HALF_PI = 1.5708
EVENT_SINE = 0.01576549
TERMS = [(0.0003, 241.2, -44.43), (0.0003, 349.6, 1079.97), (0.0004, 18.1, 720.02),
         (0.0004, 233.8, 229.3), (0.0004, 264.8, 315.56), (0.0005, 99.1, -22.81),
         (0.0005, 10.1, -1.5), (0.0006, 239.1, 337.18), (0.0007, 12.1, -30.35),
         (0.0007, 53.5, 90.38), (0.0008, 208.0, 659.29), (0.0013, 211.1, 225.18),
         (0.0015, 242.4, 450.37), (0.0018, 293.7, -0.2), (0.0018, 334.2, -4452.67),
         (0.002, 285.0, 329.64), (0.0048, 68.64, -19.341), (0.02, 353.06, 719.981)]


def reduce360(x):
    return x - 360.0 * math.floor(x / 360.0)


def day_number(year, month, day):
    q = (year - 1900) / 4.0
    j = math.floor((month + 7) / 10.0)
    leap = math.floor(1.0 - (q - math.floor(q)))
    return int(math.floor(1461.0 * q) + 31.0 * month + day + leap * (j - 1.0)
               - j * math.floor((month + 4.4) * 0.44) - 27424.0)


def event_time(year, month, day, phi, lam, sunrise):
    k = day_number(year, month, day)
    u = (6.0 if sunrise else 18.0) - lam / 15.0
    t = k / 365.25 + u / 8766.0
    tp = t + 100.0 * ((0.8 * year - 1534.2) * 3.169e-10)
    f = u / 24.0
    eps = (23.44253 - 0.00013 * tp + 0.00256 * math.cos((249.0 - 19.3 * tp) * RAD)
           - 0.00015 * math.cos((720.0 * tp + 198.0) * RAD))
    theta = reduce360(360.00769 * t + 99.0359 + 360.0 * f
                      + 0.0044 * math.sin((68.64 - 19.34 * t) * RAD)
                      + 0.0003 * math.sin((720.0 * t + 18.0) * RAD))
    mean = reduce360(360.00769 * tp)
    terms = 0.0
    for amplitude, phase, rate in TERMS:
        terms += amplitude * math.sin((rate * tp + phase) * RAD)
    lon = reduce360(mean + 279.0358
                    + (1.9159 - 0.00005 * tp) * math.sin((359.991 * tp + 356.531) * RAD) + terms)
    lon_rad = lon * RAD
    alpha = math.atan(math.cos(eps * RAD) * math.tan(lon_rad)) / RAD
    if lon_rad >= 1.5 * math.pi:
        alpha += 360.0
    elif lon_rad >= 0.5 * math.pi:
        alpha += 180.0
    g = theta - alpha
    while g < 0.0:
        g += 360.0
    s = math.sin(eps * RAD) * math.sin(lon_rad)
    delta = math.atan(s / math.sqrt(1.0 - s * s)) / RAD
    e = g / 15.0 - u - 12.0
    if e <= -23.0:
        e += 24.0
    p = math.tan(delta * RAD) * math.tan(phi * RAD)
    x = -(EVENT_SINE / math.cos(phi * RAD) / math.cos(delta * RAD) + p)
    if not abs(x) < 1.0:
        return "----"
    h = (HALF_PI - math.atan(x / math.sqrt(1.0 - x * x))) / RAD
    if not sunrise:
        h = -h
    tt = 12.0 - h / 15.0 - e - lam / 15.0 + 9.0
    if tt < 0.0:
        tt += 24.0
    hours = math.floor(tt)
    minutes = math.floor((tt - hours) * 60.0 + 0.5)
    while minutes >= 60.0:
        minutes -= 60.0
        hours += 1
    return "%02d%02d" % (hours, minutes)


def year_of_events(phi, lam, year=2026):
    import datetime
    day = datetime.date(year, 1, 1)
    out = []
    while day.year == year:
        out.append(event_time(year, day.month, day.day, phi, lam, True))
        out.append(event_time(year, day.month, day.day, phi, lam, False))
        day += datetime.timedelta(days=1)
    return out


def main():
    # 新千歳 as the catalogue stores it (424631, 1414133), single precision as in C++.
    import struct
    single = lambda v: struct.unpack("f", struct.pack("f", v))[0]
    phi = single(42 + 46 / 60 + 31 / 3600)
    lam = single(141 + 41 / 60 + 33 / 3600)
    events = year_of_events(phi, lam)
    assert len(events) == 730 and events[0:2] == ["0703", "1610"], events[0:2]
    repetitions = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    times = []
    for _ in range(repetitions):
        start = time.perf_counter()
        year_of_events(phi, lam)
        times.append(time.perf_counter() - start)
    print("%.1f" % (statistics.median(times) * 1e6))


if __name__ == "__main__":
    main()
