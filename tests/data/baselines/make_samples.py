#!/usr/bin/env python3
"""Writes the sample baseline exports of the importer tests and, for each, the synchronous
baseline file the importer must make of it.

The exports are written from one set of true station coordinates: each baseline is the
difference of two stations plus a little noise, with a realistic covariance (sigmas of a few
millimetres, the strong correlations of geocentric components). Each format prints the
values with its own precision; the expected lines are computed here from the printed values,
the way the record descriptions convert them, independently of the program's code.

    python3 make_samples.py        # rewrites the samples and expected/ in this directory

The expected files exist for the variance factors k = 1 (expected/) and k = 1.7 (expected-k/).
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
K_FACTORS = {"expected": 1.0, "expected-k": 1.7}
LONG = "%16s %16s %15.4f %15.4f %15.4f %20.13f %20.13f %20.13f %20.13f %20.13f %20.13f\n"
SHORT = "%8s %8s %13.4f %13.4f %13.4f %12.6f %12.6f %12.6f %12.6f %12.6f %12.6f\n"

# WGS84
A = 6378137.0
F = 1 / 298.257223563
E2 = F * (2 - F)


def blh_to_xyz(b_deg, l_deg, h):
    b, l = math.radians(b_deg), math.radians(l_deg)
    n = A / math.sqrt(1 - E2 * math.sin(b) ** 2)
    return ((n + h) * math.cos(b) * math.cos(l), (n + h) * math.cos(b) * math.sin(l),
            (n * (1 - E2) + h) * math.sin(b))


# A control network of seven stations near 30.5 N 114.3 E.
STATIONS = {
    "GP01": (30.52170, 114.30571, 25.123),
    "GP02": (30.54415, 114.33702, 31.870),
    "GP03": (30.50288, 114.36245, 22.416),
    "GP04": (30.56910, 114.29133, 40.551),
    "GP05": (30.48733, 114.31950, 19.382),
    "JD07": (30.53602, 114.38814, 28.007),
    "K103": (30.57725, 114.35466, 45.219),
}
XYZ = {name: blh_to_xyz(*blh) for name, blh in STATIONS.items()}


class Baseline:
    """A true baseline: components (m), sigmas (m) and correlations XY, XZ, YZ."""

    def __init__(self, rng, frm, to):
        self.frm, self.to = frm, to
        self.d = [XYZ[to][a] - XYZ[frm][a] + rng.gauss(0, 0.002) for a in range(3)]
        length = math.sqrt(sum(c * c for c in self.d))
        base = 0.0012 + 0.0003 * length / 1000
        self.sigma = [base * rng.uniform(0.8, 1.0), base * rng.uniform(1.3, 1.7), base * rng.uniform(1.0, 1.3)]
        self.rho = [rng.uniform(-0.75, -0.55), rng.uniform(0.45, 0.65), rng.uniform(-0.70, -0.50)]

    def cov(self):
        """The covariance in m²: XX, YY, ZZ, XY, XZ, YZ."""
        s, r = self.sigma, self.rho
        return [s[0] * s[0], s[1] * s[1], s[2] * s[2], s[0] * s[1] * r[0], s[0] * s[2] * r[1], s[1] * s[2] * r[2]]


def sessions():
    rng = random.Random(20240611)
    pairs = [
        [("GP01", "GP02"), ("GP01", "GP03"), ("GP02", "GP03")],
        [("GP02", "GP04"), ("GP02", "K103"), ("GP04", "K103"), ("GP04", "GP01")],
        [("GP03", "GP05"), ("GP03", "JD07"), ("GP05", "GP01")],
    ]
    return [[Baseline(rng, f, t) for f, t in s] for s in pairs]


SESSIONS = sessions()

# Element orders, as indices into XX, YY, ZZ, XY, XZ, YZ.
OUTPUT_ORDER = [0, 1, 2, 3, 4, 5]
UPPER_BY_ROWS = [0, 3, 4, 1, 5, 2]  # XX XY XZ / YY YZ / ZZ
LOWER_BY_ROWS = [0, 3, 1, 4, 5, 2]  # XX / XY YY / XZ YZ ZZ


def ordered(values6, order):
    """The six output-order values listed in a record's order."""
    return [values6[i] for i in order]


def e3(v, digits=10):
    """A number as the Windows C library prints "%.*e": three exponent digits."""
    s = "%.*e" % (digits, v)
    mantissa, exponent = s.split("e")
    return "%se%s%03d" % (mantissa, exponent[0], abs(int(exponent)))


class Expected:
    """The expected output lines, built from the printed values."""

    def __init__(self):
        self.lines = {key: [] for key in K_FACTORS}

    def elements(self, frm, to, d, elems, fmt=LONG):
        """elems: the six output-order elements, already a function of k (a callable)."""
        for key, k in K_FACTORS.items():
            e = elems(k)
            self.lines[key].append(fmt % (frm, to, d[0], d[1], d[2], e[0], e[1], e[2], e[3], e[4], e[5]))

    def scaled(self, frm, to, d, record_values, order, factor_of_k, fmt=LONG):
        """record_values: the six printed elements in the record's order, each multiplied by
        factor_of_k(k) into its output place."""
        def elems(k):
            factor = factor_of_k(k)
            out = [0.0] * 6
            for j in range(6):
                out[order[j]] = record_values[j] * factor
            return out
        self.elements(frm, to, d, elems, fmt)

    def m2(self, frm, to, d, record_values, order, fmt=LONG):
        self.scaled(frm, to, d, record_values, order, lambda k: 10000.0 * k, fmt)

    def cofactors(self, frm, to, d, s0, q, order):
        self.scaled(frm, to, d, q, order, lambda k: s0 * s0 * 10000.0 * k)

    def cm2(self, frm, to, d, record_values, order, scaled=True):
        self.scaled(frm, to, d, record_values, order, lambda k: k if scaled else 1.0)

    def sigmas(self, frm, to, d, sigma, rho, to_cm, rho_scale):
        def elems(k):
            sx, sy, sz = sigma[0] * to_cm, sigma[1] * to_cm, sigma[2] * to_cm
            return [sx * sx * k, sy * sy * k, sz * sz * k, sx * sy * (rho[0] * rho_scale) * k,
                    sx * sz * (rho[1] * rho_scale) * k, sy * sz * (rho[2] * rho_scale) * k]
        self.elements(frm, to, d, elems)

    def write(self, stem):
        for key, lines in self.lines.items():
            os.makedirs(os.path.join(HERE, key), exist_ok=True)
            with open(os.path.join(HERE, key, stem + ".GPS3DVector_S"), "w", encoding="gbk", newline="\n") as f:
                f.writelines(lines)


def write_export(name, lines, crlf=True):
    with open(os.path.join(HERE, name), "wb") as f:
        for line in lines:
            f.write(line.encode("gbk") + (b"\r\n" if crlf else b"\n"))


def printed(fmt, v):
    """The value as the export prints it, read back."""
    return float(fmt % v)


def pd(fmt, values):
    return [printed(fmt, v) for v in values]


# ---------------------------------------------------------------------------------------------
# Trimble: survey report, data exchange, own TGO list


def trimble_report():
    out, ex = [], Expected()
    out += ["                         Baseline Processing Report", "",
            "Project:  WUHAN-CTRL                    Processed:  2024-06-11  09:42:17",
            "Processing mode:  Static, L1/L2 ionosphere-free fixed", ""]
    for b in SESSIONS[0] + SESSIONS[1]:
        d = pd("%.4f", b.d)
        c = b.cov()
        xx, xy, yy, xz, yz, zz = pd("%.6E", ordered(c, LOWER_BY_ROWS))
        out += ["--------------------------------------------------------------------------",
                "From Station:   %s" % b.frm,
                "   Data file:   %s1631.DAT     Antenna height (meters):   1.4520" % b.frm,
                "To Station:     %s" % b.to,
                "   Data file:   %s1631.DAT     Antenna height (meters):   1.3870" % b.to,
                "Start time:  06/11/2024 01:12:00    Stop time:  06/11/2024 03:42:30",
                "Solution type:  Iono free fixed double difference",
                "Ratio:  12.7   Reference variance:  1.143",
                "Baseline Components (meters):  dx= %12.4f  dy= %12.4f  dz= %12.4f" % tuple(d),
                "Slope distance (meters):  %.4f" % math.sqrt(sum(v * v for v in d)),
                "Aposteriori Covariance Matrix:  %.6E" % xx,
                "                                %.6E  %.6E" % (xy, yy),
                "                                %.6E  %.6E  %.6E" % (xz, yz, zz), ""]
        ex.m2(b.frm, b.to, d, [xx, xy, yy, xz, yz, zz], LOWER_BY_ROWS)
    write_export("trimble-report.asc", out)
    ex.write("trimble-report")


def exchange_lines(baselines, order, header="[GENERAL]"):
    """A data-exchange text; covariance elements printed in the given record order."""
    out = [header, "Source=TGO", "ProjName=WUHAN-CTRL",
           "ProjCoordinateSystem=China/CGCS2000", "GPSVectors=MarkToMark", "CoordinateUnits=meters",
           "MissingValue=?", "Separator=:", "", "", "[STATIONS]"]
    for name, (b, l, h) in STATIONS.items():
        out.append("Station=2:?:%s:%.9fN:%.9fE:%.4f:?:?:?:0:0:0:?:?" % (name, b, l, h))
    out += ["", "", "[GPS]"]
    rows = []
    for bl in baselines:
        d = pd("%.4f", bl.d)
        rec = [float(e3(v)) for v in ordered(bl.cov(), order)]
        out.append("Vector=1:?:%s:%s:%.4f:%.4f:%.4f:%s:1.4520:1.3870:PostProcessed:?:0.011:?:"
                   "11 06 2024:01 12 00.0:11 06 2024:03 42 30.0:E:Static:Static:Fixed:L2"
                   % (bl.frm, bl.to, d[0], d[1], d[2], ":".join(e3(v) for v in ordered(bl.cov(), order))))
        rows.append((bl.frm, bl.to, d, rec))
    out += ["", "", "[Terrestrial]", "", "", "[Level Run]", ""]
    return out, rows


def trimble_exchange():
    out, rows = exchange_lines(SESSIONS[1], UPPER_BY_ROWS)
    ex = Expected()
    for frm, to, d, rec in rows:
        ex.m2(frm, to, d, rec, UPPER_BY_ROWS, SHORT)
    write_export("trimble-exchange.asc", out)
    ex.write("trimble-exchange")


def trimble_own():
    out, ex = ["VEMOGPS FOR TGO", "* from to dX dY dZ XX YY ZZ XY XZ YZ (m, m2)"], Expected()
    for b in SESSIONS[2]:
        d = pd("%.4f", b.d)
        c = pd("%.9e", b.cov())
        frm = b.frm.lower() if b.frm == "GP05" else b.frm  # names are kept as they stand
        out.append("%s %s %.4f %.4f %.4f %s" % (frm, b.to, d[0], d[1], d[2], " ".join("%.9e" % v for v in c)))
        ex.m2(frm, b.to, d, c, OUTPUT_ORDER)
    write_export("trimble-own.asc", out)
    ex.write("trimble-own")


# ---------------------------------------------------------------------------------------------
# Ashtech: version 3.1, version 5.2.00, own solution list


def ashtech(version31):
    ex = Expected()
    if version31:
        out = ["VERSION: 3.1", "GPPS  BASELINE SOLUTION   SESSION 1631A", "",
               "SIGMA X (M)    9.9999", ""]  # outside a solution block: ignored
    else:
        out = ["GPPS-2   Version 5.2.00   Baseline Solution   Session 1632A", "",
               "Sigma  X  9.9999  m", ""]
    for b in SESSIONS[1]:
        d = pd("%.4f", b.d)
        s = pd("%.4f", b.sigma)
        r = pd("%.4f", b.rho)
        if version31:
            out += ["THE FIXED DOUBLE DIFFERENCE SOLUTION",
                    "STATION NAMES",
                    "[%s] [%s]" % (b.frm, b.to),
                    "NUMBER OF EPOCHS  300   RMS (M)  0.0061",
                    "SIGMA X (M)    %.4f" % s[0],
                    "SIGMA Y (M)    %.4f" % s[1],
                    "SIGMA Z (M)    %.4f" % s[2],
                    "CORRELATION MATRIX",
                    "X   1.0000",
                    "Y   %.4f   1.0000" % r[0],
                    "Z   %.4f Z %.4f   1.0000" % (r[1], r[2]),
                    "SLOPE DISTANCE (M)  %.4f" % math.sqrt(sum(v * v for v in d)),
                    "BASELINE VECTOR:  %.4f  %.4f  %.4f" % tuple(d), ""]
        else:
            out += ["The fixed double difference solution of session 1632A",
                    "Station    Site         Antenna height",
                    "1 [%s] 2 [%s]" % (b.frm.lower(), b.to),
                    "Ratio  8.31    RMS  0.0058 m",
                    "Sigma  X  %.4f  m" % s[0],
                    "Sigma  Y  %.4f  m" % s[1],
                    "Sigma  Z  %.4f  m" % s[2],
                    "Correlations",
                    "Y  %.4f" % r[0],
                    "Z  %.4f  Z  %.4f" % (r[1], r[2]),
                    "Baseline Vector:  %.4f  %.4f  %.4f" % tuple(d), ""]
        ex.sigmas(b.frm, b.to, d, s, r, 100.0, 1.0)
    name = "o1631a.31" if version31 else "o1632a.520"
    write_export(name, out)
    ex.write(name.split(".")[0])


def ashtech_solution():
    out, ex = ["VEMOGPS FOR SOLUTION", "from to dX dY dZ sX sY sZ rXY rXZ rYZ"], Expected()
    for b in SESSIONS[0]:
        d, s, r = pd("%.4f", b.d), pd("%.5f", b.sigma), pd("%.4f", b.rho)
        out.append("%s %s %.4f %.4f %.4f %.5f %.5f %.5f %.4f %.4f %.4f" % ((b.frm.lower(), b.to) + tuple(d + s + r)))
        ex.sigmas(b.frm, b.to, d, s, r, 100.0, 1.0)
    write_export("o1633a.sol", out)
    ex.write("o1633a")


# ---------------------------------------------------------------------------------------------
# Leica and South: "@" records, and South's exchange text


def lgo(name, order, south=False):
    out = ["@%Unit: m", "@%Coordinate type: Cartesian", "@%Reference ellipsoid: WGS 1984",
           "@%Project: WUHAN-CTRL", ""]
    ex = Expected()
    stations = sorted({b.frm for b in SESSIONS[0] + SESSIONS[2]} | {b.to for b in SESSIONS[0] + SESSIONS[2]})
    for s in stations:
        out.append("@#%-8s %15.4f %15.4f %15.4f" % ((s,) + XYZ[s]))
    out.append("")
    current = None
    for b in SESSIONS[0] + SESSIONS[2]:
        if b.frm != current:
            out.append("@+%-8s %15.4f %15.4f %15.4f" % ((b.frm,) + XYZ[b.frm]))
            current = b.frm
        d = pd("%.4f", b.d)
        s0 = printed("%.5f", 0.0010 + 0.0002 * (len(out) % 4))
        q = pd("%.6f", [v / (s0 * s0) for v in ordered(b.cov(), order)])
        out.append("@-%-8s %15.4f %15.4f %15.4f" % ((b.to,) + tuple(d)))
        out.append("@= %.5f %s" % (s0, " ".join("%.6f" % v for v in q)))
        ex.cofactors(b.frm, b.to, d, s0, q, order)
    write_export(name, out)
    ex.write(name.split(".")[0])


def south_tgo():
    out, rows = exchange_lines(SESSIONS[0], LOWER_BY_ROWS, header="[General]")
    ex = Expected()
    for frm, to, d, rec in rows:
        ex.m2(frm, to, d, rec, LOWER_BY_ROWS, SHORT)
    write_export("south-tgo.asc", out)
    ex.write("south-tgo")


# ---------------------------------------------------------------------------------------------
# Sokkia, Lip, Novatel: upper triangle over three rows in m²


def rows3(c_upper):
    xx, xy, xz, yy, yz, zz = c_upper
    return ["X   %.6e   %.6e   %.6e" % (xx, xy, xz), "Y   %.6e   %.6e" % (yy, yz), "Z   %.6e" % zz]


def sokkia():
    out = ["Sokkia  -  Baseline Processing Report", "",
           "Float solution", "Sta. ID   GP99   GP98", "",
           "Fixed double difference solution", ""]
    ex = Expected()
    for b in SESSIONS[0]:
        d = pd("%.4f", b.d)
        c = pd("%.6e", ordered(b.cov(), UPPER_BY_ROWS))
        out += ["Sta. ID   %s   %s" % (b.frm, b.to), "Ratio   15.2    RMS  0.0047 m"]
        for a, axis in enumerate("XYZ"):
            out.append("WGS84_%s  %15.4f  %15.4f  m  d%s  =  %12.4f  m"
                       % (axis, XYZ[b.frm][a], XYZ[b.to][a], axis, d[a]))
        out += ["Variance covariance matrix (m*m)",
                "          X               Y               Z"] + rows3(c) + [""]
        ex.m2(b.frm, b.to, d, c, UPPER_BY_ROWS)
    write_export("sokkia-1631.rep", out)
    ex.write("sokkia-1631")


def lip():
    out = ["   LIP GPS Post-processing   Baseline Report", ""]
    ex = Expected()
    for b in SESSIONS[1]:
        d = pd("%.4f", b.d)
        c = pd("%.6e", ordered(b.cov(), UPPER_BY_ROWS))
        out += ["   Fixed double difference solution",
                "     Sta. name   %s   %s" % (b.frm, b.to),
                "     Epochs  600   Ratio  9.6"]
        for a, axis in enumerate("XYZ"):
            out.append("     WGS84_%s  %15.4f m  %15.4f m  d%s  %12.4f m" % (axis, XYZ[b.frm][a], XYZ[b.to][a], axis, d[a]))
        out += ["     Variance covariance matrix (m^2)", "               X              Y              Z"]
        out += ["     " + r for r in rows3(c)] + [""]
        ex.m2(b.frm, b.to, d, c, UPPER_BY_ROWS)
    write_export("lip-1632.txt", out)
    ex.write("lip-1632")


def novatel():
    out = ["Novatel  Baseline output  WUHAN-CTRL", ""]
    ex = Expected()
    for b in SESSIONS[2]:
        d = pd("%.4f", b.d)
        c = pd("%.6e", ordered(b.cov(), UPPER_BY_ROWS))
        out += [" BASELINE %s-%s  FIXED" % (b.frm, b.to),
                " DXYZ  %s  %s  %.4f  %.4f  %.4f" % ((b.frm, b.to) + tuple(d)),
                " COVARIANCE (m^2)"] + [" " + r for r in rows3(c)] + [""]
        ex.m2(b.frm, b.to, d, c, UPPER_BY_ROWS)
    write_export("novatel-1633.iob", out)
    ex.write("novatel-1633")


# ---------------------------------------------------------------------------------------------
# The system's own format, Javad


def vemogps():
    out = ["# VemoGPS synchronous baselines, session 1631", "from to dX dY dZ XX YY ZZ XY XZ YZ"]
    ex = Expected()
    for b in SESSIONS[0]:
        d = pd("%.4f", b.d)
        c = pd("%.10f", [v * 10000.0 for v in b.cov()])
        out.append("%s\t%s %.4f %.4f %.4f %s" % ((b.frm.lower(), b.to) + tuple(d) + (" ".join("%.10f" % v for v in c),)))
        ex.cm2(b.frm, b.to, d, c, OUTPUT_ORDER, scaled=False)
    write_export("vemo-1631.txt", out)
    ex.write("vemo-1631")


def javad(chinese):
    out = ["Pinnacle   Baseline Processing Report", "Project: WUHAN-CTRL", ""]
    out.append(" 从 - 到          dX(m)        dY(m)        dZ(m)    长度(m)  σX(mm) σY(mm) σZ(mm)  ρXY(%)  ρXZ(%)  ρYZ(%)"
               if chinese else
               " From - To        dX(m)        dY(m)        dZ(m)    Length(m)  sX(mm) sY(mm) sZ(mm)  rXY(%)  rXZ(%)  rYZ(%)")
    out.append(" " + "-" * 110)
    ex = Expected()
    for n, b in enumerate(SESSIONS[1], 1):
        d = pd("%.4f", b.d)
        s = pd("%.1f", [v * 1000 for v in b.sigma])
        r = pd("%.1f", [v * 100 for v in b.rho])
        length = math.sqrt(sum(v * v for v in d))
        out.append(" %2d  %s-%s  %12.4f %12.4f %12.4f %12.4f  %5.1f  %5.1f  %5.1f  %6.1f  %6.1f  %6.1f"
                   % ((n, b.frm, b.to) + tuple(d) + (length,) + tuple(s + r)))
        ex.sigmas(b.frm, b.to, d, s, r, 0.1, 0.01)
    out += [" " + "-" * 110, " %d baselines" % len(SESSIONS[1]), ""]
    name = "javad-cn-1632.txt" if chinese else "javad-1632.txt"
    write_export(name, out)
    ex.write(name[:-4])


# ---------------------------------------------------------------------------------------------
# GAMIT O-file and Q-file


def place(width, fields):
    line = [" "] * width
    for pos, text in fields:
        line[pos:pos + len(text)] = list(text)
    return "".join(line).rstrip()


def gamit_o():
    out = ["VEMOGPS FOR GAMIT O-FILE", "",
           "       USER  SOLN  DIFF  PHASE CONSTRAINTS BIASES       PARAMETERS      H-FILE",
           " Ephemeris and survey data files          (qwuhan.163      2024/ 6/11  10:02:11)", "",
           " Baseline vector summary", ""]
    ex = Expected()
    for b in SESSIONS[0] + SESSIONS[1]:
        d = pd("%.4f", b.d)
        s = pd("%.4f", b.sigma)
        r = pd("%.5f", b.rho)
        length = math.sqrt(sum(v * v for v in d))
        out.append("%4s_%4s 2024.163R X%14.4f +-%9.4f Y%14.4f +-%9.4f Z%14.4f +-%9.4f L%14.4f +-%9.4f"
                   "  Correlations (X-Y,X-Z,Y-Z) = %10.5f%10.5f%10.5f"
                   % (b.frm, b.to, d[0], s[0], d[1], s[1], d[2], s[2], length, s[0], r[0], r[1], r[2]))
        out.append("%4s_%4s 2024.163R N%14.4f +-%9.4f E%14.4f +-%9.4f U%14.4f +-%9.4f L%14.4f +-%9.4f"
                   "  Correlations (N-E,N-U,E-U) = %10.5f%10.5f%10.5f"
                   % (b.frm, b.to, d[1], s[1], d[0], s[0], d[2], s[2], length, s[0], -0.1, 0.2, 0.1))
        ex.sigmas(b.frm, b.to, d, s, r, 100.0, 1.0)
    write_export("gamit-o1631.txt", out, crlf=False)
    ex.write("gamit-o1631")


def gamit_q():
    out = ["VEMOGPS FOR GAMIT Q-FILE", "", " Solution summary   qwuhan.163", ""]
    ex = Expected()
    for n, b in enumerate(SESSIONS[2]):
        d = pd("%.4f", b.d)
        s = pd("%.4f", b.sigma)
        r = pd("%.5f", b.rho)
        out += [place(60, [(1, "Baseline vector (m ):"), (23, b.frm), (27, "( %d)" % (2 * n + 1)), (33, "to"),
                           (47, b.to), (51, "( %d)" % (2 * n + 2))]),
                place(60, [(0, "X"), (2, "%15.4f" % d[0]), (19, "Y"), (22, "%15.4f" % d[1]), (37, "Z"),
                           (39, "%15.4f" % d[2])]),
                place(60, [(1, "Sigma"), (8, "%9.4f" % s[0]), (28, "%9.4f" % s[1]), (45, "%9.4f" % s[2])]),
                place(62, [(1, "Correlations (X-Y,X-Z,Y-Z)"), (30, "%10.5f" % r[0]), (40, "%10.5f" % r[1]),
                           (50, "%10.5f" % r[2])]),
                ""]
        ex.sigmas(b.frm, b.to, d, s, r, 100.0, 1.0)
    write_export("gamit-q1633.txt", out, crlf=False)
    ex.write("gamit-q1633")


# ---------------------------------------------------------------------------------------------
# Zhonghaida and Huace


def zhonghaida_vector():
    out = ["中海达 数据处理软件   基线向量输出", "[Project]", "Name=WUHAN-CTRL", "[Vector]"]
    ex = Expected()
    for b in SESSIONS[2]:
        d = pd("%.4f", b.d)
        c = [float(e3(v, 8)) for v in ordered(b.cov(), UPPER_BY_ROWS)]
        cs = [e3(v, 8) for v in ordered(b.cov(), UPPER_BY_ROWS)]
        cs[3] = "*" + cs[3]  # the writer puts a mark before YY
        out.append("Vector=1:?:%s:%s:%.4f:%.4f:%.4f:%s:1.452:1.387:Fixed" % ((b.frm, b.to) + tuple(d) + (":".join(cs),)))
        ex.m2(b.frm, b.to, d, c, UPPER_BY_ROWS)
    write_export("zhonghaida-1633.vec", out)
    ex.write("zhonghaida-1633")


def integer_block(marker, b):
    """The integer-solution block: the marker line, two lines, the components, eleven lines,
    the three covariance rows in cm²."""
    d = pd("%.4f", b.d)
    c = pd("%.8f", [v * 10000.0 for v in ordered(b.cov(), UPPER_BY_ROWS)])
    length = math.sqrt(sum(v * v for v in d))
    lines = [marker,
             "  解类型：      固定解",
             "  历元数：      600",
             "  基线分量  (m)   %.4f   %.4f   %.4f" % tuple(d),
             "  基线长度(m)   %.4f" % length,
             "  Ratio：       11.82",
             "  RMS(m)：      0.0052",
             "  PDOP：        2.1",
             "  中误差(cm)    %.3f   %.3f   %.3f" % tuple(math.sqrt(v * 10000) for v in b.cov()[:3]),
             "  相对误差：    1/%d" % int(length / 0.005),
             "",
             "  方差-协方差阵(cm^2)",
             "                 X               Y               Z",
             "  ----------------------------------------------",
             "",
             "  XX   %.8f   %.8f   %.8f" % tuple(c[0:3]),
             "  YY   %.8f   %.8f" % tuple(c[3:5]),
             "  ZZ   %.8f" % c[5]]
    return lines, d, c


def zhonghaida_block():
    out = ["中海达 基线解算报告", "", "项目：WUHAN-CTRL"]
    ex = Expected()
    for b in SESSIONS[0]:
        out += ["", "站　名：   %s    %s" % (b.frm, b.to), "时段：  1631"]
        lines, d, c = integer_block("  双差整数解", b)
        out += lines
        ex.cm2(b.frm, b.to, d, c, UPPER_BY_ROWS)
    write_export("zhonghaida-1631.rpt", out)
    ex.write("zhonghaida-1631")


def huace():
    out = ["华测  基线处理报告", "Project: WUHAN-CTRL"]
    ex = Expected()
    for b in SESSIONS[1]:
        out += ["", "Station:  %s  %s" % (b.frm, b.to), "Session:  1632"]
        lines, d, c = integer_block("  解算结果：整数解", b)
        out += lines
        ex.cm2(b.frm, b.to, d, c, UPPER_BY_ROWS)
    write_export("huace-1632.isb", out)
    ex.write("huace-1632")


# ---------------------------------------------------------------------------------------------
# The real exports (copied unmodified into real/): their expected synchronous files


def real_exchange(name):
    ex = Expected()
    with open(os.path.join(HERE, "real", name), encoding="latin-1", newline="") as f:
        for line in f.read().split("\n"):
            line = line.rstrip("\r")
            if not line.startswith("Vector=1:?:"):
                continue
            parts = line[11:].split(":")
            frm, to = parts[0], parts[1]
            d = [float(v) for v in parts[2:5]]
            c = [float(v) for v in parts[5:11]]
            ex.m2(frm, to, d, c, UPPER_BY_ROWS, SHORT)
    ex.write(name.rsplit(".", 1)[0])


def real_gamit(name):
    ex = Expected()
    with open(os.path.join(HERE, "real", name), "rb") as f:
        for raw in f.read().split(b"\n"):
            line = raw.split(b"\0")[0].decode("latin-1")
            if len(line) > 159 and line[146:159] == "(X-Y,X-Z,Y-Z)":
                col = lambda p, n: float(line[p:p + n])
                d = [col(21, 14), col(49, 14), col(77, 14)]
                s = [col(38, 9), col(66, 9), col(94, 9)]
                r = [col(162, 10), col(172, 10), col(182, 10)]
                ex.sigmas(line[0:4], line[5:9], d, s, r, 100.0, 1.0)
    ex.write(name.rsplit(".", 1)[0])


def main():
    trimble_report()
    trimble_exchange()
    trimble_own()
    ashtech(True)
    ashtech(False)
    ashtech_solution()
    lgo("leica-1631.asc", UPPER_BY_ROWS)
    lgo("south-lgo.asc", LOWER_BY_ROWS, south=True)
    south_tgo()
    sokkia()
    lip()
    novatel()
    vemogps()
    javad(False)
    javad(True)
    gamit_o()
    gamit_q()
    zhonghaida_vector()
    zhonghaida_block()
    huace()
    real_exchange("myrtleford.asc")
    real_exchange("small.asc")
    real_gamit("olamba.020.excerpt")


if __name__ == "__main__":
    main()
