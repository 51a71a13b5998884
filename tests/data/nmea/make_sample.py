#!/usr/bin/env python3
"""Writes walk_1hz.nmea: a synthetic receiver log of a slow walk round a field.

One epoch per second: GPGGA, GPGSA, GPGSV (3 messages), GPRMC, plus what a real mixed
receiver sends besides: the GLONASS satellites (GLGSV, and a GNGSA that follows the GPGSA
when no GSV comes between them) and sentences the program does not use (GPVTG, a
proprietary $PSRFTXT). Coordinates in NMEA ddmm.mmmm / dddmm.mmmm, west longitudes.
"""
import math

def nmea(body):
    cs = 0
    for ch in body:
        cs ^= ord(ch)
    return "$%s*%02X\r\n" % (body, cs)

def lat_field(lat):
    d = int(abs(lat)); m = (abs(lat) - d) * 60
    return "%02d%07.4f" % (d, m), "N" if lat >= 0 else "S"

def lon_field(lon):
    d = int(abs(lon)); m = (abs(lon) - d) * 60
    return "%03d%07.4f" % (d, m), "E" if lon >= 0 else "W"

sats = [(5, 62, 301, 44), (7, 41, 88, 40), (9, 12, 205, 31), (13, 75, 140, 46),
        (16, 27, 45, 38), (20, 8, 330, 0), (23, 55, 250, 42), (30, 19, 110, 35),
        (120, 38, 190, 37), (131, 31, 225, 36)]
used = [5, 7, 9, 13, 16, 23, 30, 120]

lines = []
lat0, lon0 = 40.416800, -3.703800
for t in range(120):
    a = 2 * math.pi * t / 120
    lat = lat0 + 0.00040 * math.sin(a)
    lon = lon0 + 0.00055 * math.cos(a)
    hh, mm, ss = 10, 15 + (t // 60), t % 60
    tm = "%02d%02d%02d.00" % (hh, mm, ss)
    la, ns = lat_field(lat); lo, ew = lon_field(lon)
    hdop = 0.8 + 0.1 * (t % 5)
    alt = 655.0 + 0.3 * math.sin(a)
    lines.append(nmea("GPGGA,%s,%s,%s,%s,%s,1,%02d,%.1f,%.1f,M,51.6,M,," % (tm, la, ns, lo, ew, len(used), hdop, alt)))
    prns = [str(p) for p in used] + [""] * (12 - len(used))
    lines.append(nmea("GPGSA,A,3,%s,%.1f,%.1f,%.1f" % (",".join(prns), hdop + 0.6, hdop, 1.1)))
    if t % 5 == 0:
        for m in range(3):
            group = sats[4 * m:4 * m + 4]
            body = "GPGSV,3,%d,%02d" % (m + 1, len(sats))
            for (p, el, az, snr) in group:
                body += ",%02d,%02d,%03d,%s" % (p, el, az, ("%02d" % snr) if snr else "")
            lines.append(nmea(body))
        lines.append(nmea("GLGSV,1,1,02,65,34,120,39,72,51,280,41"))
    lines.append(nmea("GNGSA,A,3,65,72,,,,,,,,,,,%.1f,%.1f,1.1" % (hdop + 0.6, hdop)))
    course = (math.degrees(math.atan2(math.cos(a), -math.sin(a))) + 360) % 360
    lines.append(nmea("GPRMC,%s,A,%s,%s,%s,%s,2.1,%.1f,150324,1.2,W" % (tm, la, ns, lo, ew, course)))
    lines.append(nmea("GPVTG,%.1f,T,,M,2.1,N,3.9,K,A" % course))
    if t % 30 == 0:
        lines.append(nmea("PSRFTXT,Synthetic walk log"))

with open("walk_1hz.nmea", "w", newline="") as f:
    f.writelines(lines)
