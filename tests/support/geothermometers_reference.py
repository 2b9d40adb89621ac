#!/usr/bin/python3
"""The report's quartz_steam_loss, quartz_liquid, excess_enthalpy, na_k_ca_mg and
reservoir_chloride worked apart from zelkfile: the same equations written afresh, the steam
tables from Debian's python3-iapws and the root by plain bisection over 0 to 370 degrees C.
Prints one line per sample of the table below, each value with 10 decimals or "none".

With --all: every column of the report and its notes, for the same samples, as lines of
tab-separated cells: the inputs (name, P bar-g, H, SiO2, Na, K, Mg, Ca, Cl), then the report's
columns from steam_fraction on, in its order, an empty cell for no value."""
import math
import sys

import iapws.iapws97 as if97

ATM = 0.101325  # MPa


def h_liquid_at(t_c):
    t = t_c + 273.15
    if t < if97.Tt:
        return if97._Region1(t, if97._PSat_T(t))["h"]
    return if97.IAPWS97(T=t, x=0).h


def sat(p_mpa):
    liquid, vapour = if97.IAPWS97(P=p_mpa, x=0), if97.IAPWS97(P=p_mpa, x=1)
    return liquid.h, vapour.h


def quartz_fp(s):
    return -42.198 + 0.28831 * s - 3.6686e-4 * s ** 2 + 3.1665e-7 * s ** 3 + 77.034 * math.log10(s)


def fraction(h, p_mpa):
    hl, hv = sat(p_mpa)
    return min(1.0, max(0.0, (h - hl) / (hv - hl)))


def silica_temperature(t):
    return t if t is not None and 0 <= t <= 374 else None


def steam_loss(sio2, p_bar_g, h):
    ps = (p_bar_g + 1.01325) / 10
    if h > 0:
        xs, x100 = fraction(h, ps), fraction(h, ATM)
        if x100 >= 1:
            return None
        s100 = sio2 * (1 - xs) / (1 - x100)
    else:
        hl_s, _ = sat(ps)
        hl_a, hv_a = sat(ATM)
        y = max(0.0, (hl_s - hl_a) / (hv_a - hl_a))
        s100 = sio2 / (1 - y)
    return silica_temperature(1522 / (5.75 - math.log10(s100)) - 273.15)


def quartz_liquid(sio2, p_bar_g):
    hl, hv = sat((p_bar_g + 1.01325) / 10)

    def x(t):
        return min(1.0, max(0.0, (h_liquid_at(t) - hl) / (hv - hl)))

    def g(t):
        left = sio2 * (1 - x(t))
        return t - quartz_fp(left) if left > 0 else math.inf

    lo, hi = 0.0, 370.0
    if g(lo) > 0 or g(hi) < 0:
        return None
    for _ in range(60):
        mid = (lo + hi) / 2
        if g(mid) < 0:
            lo = mid
        else:
            hi = mid
    t = (lo + hi) / 2
    return t, x(t)


def na_k_ca(na, k, ca):
    def t(beta):
        d = math.log10(na / k) + beta * math.log10(math.sqrt(ca) / na) + 2.06 * beta + 2.47
        return 1647 / d - 273.15 if d > 0 else None

    if math.log10(math.sqrt(ca) / na) + 2.06 >= 0:
        t43 = t(4 / 3)
        if t43 is not None and t43 <= 100:
            return t43
    return t(1 / 3)


def mg_corrected(na, k, ca, mg):
    t = na_k_ca(na, k, ca)
    if t is None:
        return None
    r = 100 * (mg / 12.1525) / (mg / 12.1525 + ca / 20.04 + k / 39.098)
    if t < 70 or r < 1.5:
        return t
    if r >= 50:
        return None
    l, tk = math.log10(r), t + 273.15
    if r < 5:
        dt = -1.03 + 59.971 * l + 145.05 * l ** 2 - 36711 * l ** 2 / tk - 1.67e7 * l / tk ** 2
    else:
        dt = (10.66 - 4.7415 * r + 325.87 * l ** 2 - 1.032e5 * l ** 2 / tk - 1.968e7 * l ** 2 / tk ** 2
              + 1.605e7 * l ** 3 / tk ** 2)
    return t - max(dt, 0.0)


# name, P bar-g, H kJ/kg, SiO2, Na, K, Mg, Ca, Cl (mg/kg): the test's table, in its order.
SAMPLES = [
    ("separator, 10 bar-g, H 1130", 10, 1130, 620, 1250, 210, 0.04, 18, 2150),
    ("separator, 10 bar-g, no H", 10, 0, 620, 1250, 210, 0.04, 18, 2150),
    ("separator, 20 bar-g, H 1250", 20, 1250, 700, 9500, 1500, 1.2, 1600, 19000),
    ("separator, 5 bar-g, H 1050", 5, 1050, 450, 1100, 180, 0.03, 5, 1800),
    ("excess enthalpy, 9 bar-g, H 1700", 9, 1700, 690, 900, 150, 0.02, 3, 1100),
    ("excess enthalpy, 15 bar-g, H 2300", 15, 2300, 1100, 700, 120, 0.01, 1, 800),
    ("boiling spring, 0 bar-g", 0, 0, 340, 400, 25, 0.1, 1, 450),
    ("warm spring, 0 bar-g", 0, 0, 150, 70, 3, 0.05, 2, 50),
    ("weir box, 0 bar-g, H 1200", 0, 1200, 700, 950, 160, 0.03, 15, 1650),
    ("Mg, R below 1.5", 0, 0, 250, 650, 70, 0.05, 5, 800),
    ("Mg, R 1.5 to 5", 0, 0, 250, 650, 70, 0.8, 5, 800),
    ("Mg, R 5 to 50", 0, 0, 180, 300, 40, 6, 30, 300),
    ("Mg, R 50 and more", 0, 0, 60, 40, 5, 50, 10, 30),
    ("Mg, Na-K-Ca below 70", 0, 0, 30, 100, 2, 10, 80, 20),
    ("immature water", 0, 0, 90, 50, 10, 20, 25, 40),
    ("silica 1500, 0 bar-g", 0, 0, 1500, 1000, 150, 0.05, 10, 1500),
    ("silica 1500, 10 bar-g, no H", 10, 0, 1500, 1000, 150, 0.05, 10, 1500),
    ("silica 9999999", 0, 0, 9999999, 1000, 150, 0.05, 10, 1500),
]


def show(v):
    return "none" if v is None else "%.10f" % v


def inverse_kelvin(numerator, denominator):
    return numerator / denominator - 273.15 if denominator > 0 else None


def report_row(p, h, sio2, na, k, mg, ca, cl):
    """Every column of the report from steam_fraction to reservoir_chloride, and the notes."""
    no_enthalpy = p > 0 and h <= 0
    x = None if no_enthalpy else (fraction(h, (p + 1.01325) / 10) if h > 0 else 0.0)
    silica = [None] * 6  # quartz, steam loss, chalcedony, alpha, beta, amorphous
    silica[1] = steam_loss(sio2, p, h)
    if x is not None and x < 1:
        s = sio2 * (1 - x)
        l = math.log10(s)
        silica[0] = silica_temperature(quartz_fp(s))
        silica[2] = silica_temperature(inverse_kelvin(1032, 4.69 - l))
        silica[3] = silica_temperature(inverse_kelvin(1000, 4.78 - l))
        silica[4] = silica_temperature(inverse_kelvin(781, 4.51 - l))
        silica[5] = silica_temperature(inverse_kelvin(731, 4.52 - l))
    nak = math.log10(na / k)
    cations = [inverse_kelvin(1217, 1.483 + nak), inverse_kelvin(1390, 1.750 + nak), inverse_kelvin(856, 0.857 + nak),
               inverse_kelvin(4410, 14.00 - math.log10(k * k / mg)), na_k_ca(na, k, ca)]
    mi = 0.315 * math.log10(k * k / mg) - math.log10(k / na)
    maturity = "full equilibrium" if mi >= 2.66 else "partial equilibrium" if mi >= 2.0 else "immature water"
    liquid = quartz_liquid(sio2, p)
    ql = None if liquid is None else liquid[0]
    excess = None if liquid is None or h <= 0 else h - h_liquid_at(liquid[0])
    corrected = mg_corrected(na, k, ca, mg)
    chloride = None if liquid is None or cl <= 0 else cl * (1 - liquid[1])
    notes = []
    if mi < 2.0:
        notes.append("immature water: Na/K and Na-K-Ca do not hold")
    if excess is not None and excess > 50:
        notes.append("excess enthalpy")
    if no_enthalpy:
        notes.append("no enthalpy: total discharge unknown")
    ranged = list(zip(["quartz", "quartz_steam_loss", "chalcedony", "alpha_cristobalite", "beta_cristobalite",
                       "amorphous_silica", "quartz_liquid"], silica + [ql], [330, 250, 250, 250, 250, 250, 330]))
    notes += [name + " above its range" for name, value, limit in ranged if value is not None and value > limit]
    if corrected is not None and cations[4] - corrected >= 1:
        notes.append("Mg correction %d \u00b0C" % round(cations[4] - corrected))
    cells = [x] + silica + cations + [mi, maturity, ql, excess, corrected, chloride]
    return ["" if v is None else v if isinstance(v, str) else repr(v) for v in cells] + ["; ".join(notes)]


if sys.argv[1:] == ["--all"]:
    for sample in SAMPLES:
        print("\t".join([sample[0]] + [repr(v) for v in sample[1:]] + report_row(*sample[1:])))
    sys.exit(0)

for name, p, h, sio2, na, k, mg, ca, cl in SAMPLES:
    liquid = quartz_liquid(sio2, p)
    ql = None if liquid is None else liquid[0]
    excess = None if liquid is None or h <= 0 else h - h_liquid_at(liquid[0])
    chloride = None if liquid is None or cl <= 0 else cl * (1 - liquid[1])
    print(name, "|", " ".join(show(v) for v in (steam_loss(sio2, p, h), ql, excess, mg_corrected(na, k, ca, mg),
                                                   chloride, na_k_ca(na, k, ca))))
