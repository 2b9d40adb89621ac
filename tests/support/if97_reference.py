#!/usr/bin/python3
"""Saturation temperature and enthalpies of both phases from Debian's python3-iapws, on a grid
of pressures from the triple point to the critical point: one line per pressure,
"p_MPa T_K h_liquid h_vapour", each number written so that it reads back exactly.
With --temperatures: the saturated liquid's enthalpy on a grid of temperatures from 0 degrees C
to the critical point, "T_K h_liquid"."""
import sys

import iapws.iapws97 as if97

if sys.argv[1:] == ["--temperatures"]:
    temperatures = [273.15 + t for t in range(0, 374)] + [623.15 * (1 - 1e-12), 623.15 * (1 + 1e-12), 647.0]
    for t in temperatures:
        if t < if97.Tt:
            # 0 degrees C lies 0.01 K below the triple point; the module's region 1 holds there.
            print(repr(t), repr(if97._Region1(t, if97._PSat_T(t))["h"]))
        else:
            print(repr(t), repr(if97.IAPWS97(T=t, x=0).h))
    sys.exit(0)

TRIPLE = 611.213e-6
CRITICAL = 22.064
STEPS = 400

pressures = [TRIPLE * (CRITICAL / TRIPLE) ** (k / STEPS) for k in range(STEPS)]
# Either side of 623.15 K, where the saturated phases leave regions 1 and 2 for region 3,
# the pressures of everyday separators, and the two ends exactly.
pressures += [if97.Ps_623 * (1 - 1e-9), if97.Ps_623 * (1 + 1e-9), 0.101325, 0.5, 1.0, 2.0, CRITICAL]
for p in sorted(pressures):
    if p < if97.Pt:
        # Below the triple point's 611.657 Pa the module takes no (P, x), but the same
        # equations hold down to 273.15 K.
        t = if97._TSat_P(p)
        print(repr(p), repr(t), repr(if97._Region1(t, p)["h"]), repr(if97._Region2(t, p)["h"]))
        continue
    liquid = if97.IAPWS97(P=p, x=0)
    vapour = if97.IAPWS97(P=p, x=1)
    print(repr(p), repr(liquid.T), repr(liquid.h), repr(vapour.h))
