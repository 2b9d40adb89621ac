#!/usr/bin/env python3
"""Writes the transcript cases: for every case its answers and the console bytes, output file
and exit status that the dialogue must give for them.

The expectations come from a model of the dialogue assembled here from its texts, layouts and
conversion rules; this script never runs the program. `generate.py` rewrites every case folder,
`generate.py --check` only says whether the folders on disk are what it would write.
"""

import math
import os
import re
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------------------------
# Numbers: single precision as held, double precision while evaluated.


def f32(x):
    """The single-precision value nearest to the double x (infinite beyond the range)."""
    try:
        return struct.unpack("f", struct.pack("f", x))[0]
    except OverflowError:
        return math.copysign(math.inf, x)


# Constants of the conversions, as single-precision literals widened to double.
C_0_001 = f32(0.001)
C_1E_9 = f32(1.0e-9)
C_1E_20 = f32(1.0e-20)
C_R = f32(0.082056)
C_T = f32(298.15)
C_100 = f32(100.0)
C_55_51 = f32(55.51)
C_0_05551 = f32(0.05551)
C_1E6 = f32(1000000.0)

NAMES = ["CO2", "H2S", "NH3", "H2", "O2", "CH4", "N2", "B", "SiO2", "Na", "K", "Mg", "Ca", "F",
         "Cl", "SO4", "Al", "Fe"]
WEIGHTS = [44010.0, 34080.0, 17030.0, 2020.0, 32000.0, 16040.0, 28010.0, 10810.0, 60090.0,
           22990.0, 39100.0, 24310.0, 40080.0, 19000.0, 35450.0, 96060.0, 26980.0, 55850.0]


def nam(i):
    return NAMES[i - 1].ljust(9)


def w(i):
    return WEIGHTS[i - 1]


# ---------------------------------------------------------------------------------------------
# Fields.


def render_f(value, width, digits):
    if value == 0:
        value = 0.0
    if math.isinf(value) or math.isnan(value):
        text = ("-" if value < 0 else "") + ("inf" if math.isinf(value) else "nan")
        return text.rjust(width) if len(text) <= width else "*" * width
    magnitude = "%.*f" % (digits, abs(value))
    negative = value < 0 and any(c not in "0." for c in magnitude)
    text = ("-" if negative else "") + magnitude
    if len(text) <= width:
        return text.rjust(width)
    if len(text) == width + 1 and magnitude.startswith("0"):
        return ("-" if negative else "") + magnitude[1:]
    return "*" * width


def render_i(value, width):
    text = str(value)
    return text.rjust(width) if len(text) <= width else "*" * width


def render_aw(text, width):
    return text.rjust(width) if width > len(text) else text[:width]


F15_FORM = re.compile(r"([+-]?)(\d*)(?:\.(\d*))?(?:[EeDd]([+-]?\d+)|([+-]\d+))?")


def read_f15(line):
    """The value of an F15.0 field, or None for an input error."""
    field = line[:15].replace(" ", "").replace("\t", "")
    field = field.split(",", 1)[0]
    if field in ("", "+", "-", "."):
        return 0.0
    match = F15_FORM.fullmatch(field)
    if not match:
        return None
    sign, whole, fraction, exponent1, exponent2 = match.groups()
    if not whole and not fraction:
        return 0.0 if fraction is not None or not (exponent1 or exponent2) else None
    exponent = exponent1 or exponent2 or "0"
    return f32(float(sign + (whole or "0") + "." + (fraction or "") + "e" + exponent))


def read_i(line, width):
    """The value of an Iw field, or None for an input error."""
    field = line[:width].lstrip(" \t")
    field = field.split(",", 1)[0].replace(" ", "").replace("\t", "")
    if field in ("", "+", "-"):
        return 0
    if not re.fullmatch(r"[+-]?\d+", field):
        return None
    return int(field)


def read_a(line, length):
    return line[:length].ljust(length)


ERROR = "\n\x07\0\0\0 ERROR IN INPUT DATA. TRY THIS AGAIN.\x07\0\0\0\n\n"
CORRECTION = ("\n\n Do you wish to correct any of these items?\n\n Type item number, or\n"
              " <RETURN> if no                  :  ")


def self_check():
    """The worked examples of the field rules, so that the model itself is known right."""
    assert render_f(f32(0.5), 16, 8) == "      0.50000000"
    assert render_f(f32(1234567.0), 16, 8) == "1234567.00000000"
    assert render_f(f32(12345678.0), 16, 8) == "*" * 16
    assert render_f(read_f15("7.3"), 15, 6) == "       7.300000"
    assert render_f(read_f15("7.3"), 20, 10) == "        7.3000001907"
    assert render_f(read_f15("123.456"), 15, 6) == "     123.456001"
    assert render_f(0.5, 5, 4) == ".5000" and render_f(-0.5, 6, 4) == "-.5000"
    assert render_f(-0.5, 5, 4) == "*****"
    assert render_f(f32(-0.00001), 10, 4) == "    0.0000"
    assert render_f(f32(1.0e9), 15, 6) == "*" * 15
    assert render_f(-0.0, 16, 8) == "      0.00000000"
    assert render_f(f32(-123456.0), 16, 8) == "-123456.00000000"
    assert render_f(f32(-1234567.0), 16, 8) == "*" * 16
    assert read_f15("1 5") == 15 and read_f15("1,5") == 1 and read_f15("12abc") is None
    assert read_f15("1.5-3") == f32(0.0015) and read_f15("2E3") == 2000 and read_f15("12-3") == f32(0.012)
    assert read_f15("-") == 0 and read_f15(".") == 0 and read_f15("1e") is None
    assert read_i("12345", 4) == 1234 and read_i("-", 4) == 0 and read_i("x", 5) is None
    assert read_f15("1\t") == 1 and read_f15("\t1\t5") == 15 and read_i("\t1", 4) == 1
    assert read_i("123456", 5) == 12345 and read_i("  3  ", 5) == 3 and read_i("1.5", 4) is None
    assert f32(w(1) * 1.0 * C_0_001 / 1.0) == f32(44.0100021)
    assert render_f(f32(w(1) * 1.0 * C_0_001), 15, 6) == "      44.010002"
    assert render_f(f32(w(1) * 2.5 * C_0_001), 15, 6) == "     110.025002"


# ---------------------------------------------------------------------------------------------
# The dialogue.


class EndOfInput(Exception):
    pass


class Run:
    def __init__(self, answers, ends_with_feed):
        self.answers = answers
        self.ends_with_feed = ends_with_feed
        self.at = 0
        self.out = []
        self.blocks = []
        self.ends = []  # the answer lines that completed each sample

    def write(self, text):
        self.out.append(text)

    def prompt(self, text):
        self.out.append(text)

    def read(self):
        # A last answer without its line feed counts as the end of input.
        last = self.at == len(self.answers) - 1 and not self.ends_with_feed
        if self.at >= len(self.answers) or last:
            raise EndOfInput
        self.at += 1
        # A carriage return before the line feed is part of the line end.
        line = self.answers[self.at - 1]
        return line[:-1] if line.endswith("\r") else line


class Item:
    """One item of a screen: label, optional line above it, reading and listing."""

    def __init__(self, label, get, put, show, head=None, text=0):
        self.label, self.get, self.put, self.show, self.head, self.text = label, get, put, show, head, text

    def ask(self, run):
        if self.head is not None:
            run.write("      " + self.head + "\n")
        run.prompt("      " + self.label)
        line = run.read()
        if self.text:
            self.put(read_a(line, self.text))
            return True
        value = read_f15(line)
        if value is None:
            return False
        self.put(value)
        return True

    def list_line(self, number):
        line = render_i(number, 3) + " : "
        if self.head is not None:
            line += self.head + "\n      "
        value = self.get()
        return line + self.label + (value if isinstance(value, str) else render_f(value, *self.show)) + "\n"


def real_item(label, values, index, show, head=None):
    return Item(label, lambda: values[index], lambda value: values.__setitem__(index, value), show, head)


def first_pass(run, items, start=None):
    while True:
        if start:
            start()
        if all(item.ask(run) for item in items):
            return
        run.write(ERROR)


def correction_screen(run, items, list_lead, start=None):
    """The common screen: first pass, then item list and re-entries until RETURN."""
    first_pass(run, items, start)
    corrections(run, items, list_lead)


def corrections(run, items, list_lead):
    """Item list, correction question and re-entry, until a number outside the items."""
    while True:
        run.write("\n" * list_lead)
        run.write("".join(item.list_line(k) for k, item in enumerate(items, 1)))
        run.prompt(CORRECTION)
        number = read_i(run.read(), 5)
        if number is None:
            run.write(ERROR)
            continue
        if not 1 <= number <= len(items):
            return
        run.write("\n")
        if not items[number - 1].ask(run):
            run.write(ERROR)


def total_steam_screen(run, items):
    """The total-steam dialogue: at most 100 correction passes, three empty lines apart; an
    input error starts a fresh correction phase."""
    first_pass(run, items)
    number, passes = 0, 100
    while passes > 0:
        passes -= 1
        run.write("\n\n\n")
        if 1 <= number <= len(items) and not items[number - 1].ask(run):
            run.write(ERROR)
            number, passes = 0, 100
            continue
        run.write("\n\n\n")
        run.write("".join(item.list_line(k) for k, item in enumerate(items, 1)))
        run.prompt(CORRECTION)
        number = read_i(run.read(), 5)
        if number is None:
            run.write(ERROR)
            number, passes = 0, 100
        elif not 1 <= number <= len(items):
            return


def new_record():
    return {
        "sampleNumber": " " * 16, "sampleLocation": " " * 60,
        "samplingTemperature": 0.0, "samplingPressure": 0.0, "fluidEnthalpy": 0.0, "discharge": 0.0,
        "waterPh": 0.0, "waterPhTemperature": 0.0, "totalSolids": 0.0,
        "waterConc": [0.0] * 19, "gasVolume": [0.0] * 8, "gasPerCondensate": 0.0, "gasTemperature": 0.0,
        "steamConc": [0.0] * 4, "condensatePh": 0.0, "condensatePhTemperature": 0.0,
        "condensateConc": [0.0] * 5,
    }


def askgen(run, r):
    def text_item(label, key, length, shown):
        return Item(label, lambda: r[key][:shown], lambda v: r.__setitem__(key, v), None, text=length)

    def number_item(label, key):
        return Item(label, lambda: r[key], lambda v: r.__setitem__(key, v), (10, 4))

    items = [
        text_item("Sample number              :  ", "sampleNumber", 16, 16),
        text_item("Sample location            :  ", "sampleLocation", 60, 42),
        number_item("Sampling temperature (\xb0C)  :  ", "samplingTemperature"),
        number_item("Sampling pressure (bar-g)  :  ", "samplingPressure"),
        number_item("Fluid enthalpy (kJ/kg)     :  ", "fluidEnthalpy"),
        number_item("Discharge (kg/s)           :  ", "discharge"),
    ]
    correction_screen(run, items, 7)


WATER_LIS = [1, 2, 3, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18]


def scalar(r, key):
    box = [r[key]]

    def sync():
        r[key] = box[0]
    return box, sync


def askwa1(run, r):
    conc = r["waterConc"]
    items = [real_item(render_aw(nam(c), 4) + " in water (mg/kg)      :  ", conc, c, (20, 10)) for c in WATER_LIS]
    for label, key in (("Total solids  (mg/kg)      :  ", "totalSolids"), ("Water phase pH             :  ", "waterPh"),
                       ("pH temperature (\xb0C)        :  ", "waterPhTemperature")):
        items.append(Item(label, lambda k=key: r[k], lambda v, k=key: r.__setitem__(k, v), (20, 10)))

    def clear_gases():
        for i in range(4, 8):
            conc[i] = 0.0
    run.write("\n\n\n")
    correction_screen(run, items, 5, clear_gases)


def askwa2(run, r):
    conc = r["waterConc"]
    mmol = [0.0] * 19
    density = [0.0]
    first = [True]

    def convert(c):
        conc[c] = f32(w(c) * mmol[c] * C_0_001 / density[0])

    def put_density(v):
        density[0] = 1.0 if abs(v) <= C_1E_9 else v
        # Left open by the rules; the program converts all fourteen again with a corrected density.
        if not first[0]:
            for c in WATER_LIS:
                convert(c)

    def put_solids(v):
        r["totalSolids"] = f32(v / density[0]) if first[0] else v

    density_item = Item("Water phase density (kg/l) :  ", lambda: density[0], put_density, (20, 10))
    items = [Item(render_aw(nam(c), 4) + " in water (m-mole/l)   :  ", lambda c=c: mmol[c],
                  lambda v, c=c: (mmol.__setitem__(c, v), convert(c)), (20, 10)) for c in WATER_LIS]
    items.append(Item("Total solids (mg/kg)       :  ", lambda: r["totalSolids"], put_solids, (20, 10)))
    for label, key in (("Water phase pH             :  ", "waterPh"), ("pH temperature (\xb0C)        :  ", "waterPhTemperature")):
        items.append(Item(label, lambda k=key: r[k], lambda v, k=key: r.__setitem__(k, v), (20, 10)))
    items.append(density_item)

    run.write("\n\n\n")
    while True:  # first pass: the density, two empty lines, then items 1 to 17
        for i in range(4, 8):
            conc[i] = 0.0
        if density_item.ask(run):
            run.write("\n\n")
            if all(item.ask(run) for item in items[:17]):
                break
        run.write(ERROR)
    first[0] = False
    corrections(run, items, 3)


def steam_entry(r):
    r["gasTemperature"] = f32(25.0)
    r["condensatePh"] = r["condensatePhTemperature"] = 0.0
    r["condensateConc"] = [0.0] * 5


def residual_sum(values):
    total = 0.0
    for v in values:
        total = f32(total + v)
    return total


def residual_percentages(r, amounts, total):
    r["gasVolume"][1:4] = [0.0, 0.0, 0.0]
    for i, n in zip(range(4, 8), amounts):
        r["gasVolume"][i] = f32(n * C_100 / total) if total >= C_1E_20 else 0.0


def askst(run, r, form):
    steam_entry(r)
    e = [0.0] * 9
    head = None
    if form == 1:
        label = lambda i: render_aw(nam(i), 3) + " in total steam (mg/kg) :  "
    elif form == 2:
        label = lambda i: render_aw(nam(i), 3) + " in steam (m-mole/kg)   :  "
    elif form == 3:
        label = lambda i: "     (m-mole gas/mole H2O) :  "
        head = lambda i: render_aw(nam(i), 3) + " in total steam"
    else:
        suffix = " in steam (mole-%)      :  " if form == 4 else " in steam (weight-%)    :  "
        label = lambda i: (render_aw(nam(i), 3) if i <= 7 else "H2O") + suffix
    count = 8 if form >= 4 else 7
    items = [real_item(label(i), e, i, (20, 10), head=head(i) if head else None) for i in range(1, count + 1)]
    total_steam_screen(run, items)

    sc, gv = r["steamConc"], r["gasVolume"]
    if form == 1:
        for i in (1, 2, 3):
            sc[i] = e[i]
        n = [f32(e[i] / w(i)) for i in range(4, 8)]
        total = residual_sum(n)
        r["gasPerCondensate"] = f32(total * C_R * C_T)
        residual_percentages(r, n, total)
    elif form in (2, 3):
        for i in (1, 2, 3):
            sc[i] = f32(w(i) * e[i] * C_0_001) if form == 2 else f32(w(i) * f32(e[i] * C_0_001) * C_55_51)
        total = residual_sum(e[4:8])
        residual_percentages(r, e[4:8], total)
        factor = (C_0_001,) if form == 2 else (C_0_05551,)
        r["gasPerCondensate"] = f32(total * factor[0] * C_R * C_T)
    else:
        h = e[8]
        if h <= C_1E_20:
            h = 100.0
            for i in range(1, 8):
                h -= e[i]
            h = f32(h)
        if form == 4:
            for i in (1, 2, 3):
                sc[i] = f32(w(i) * e[i] * C_55_51 / h)
            total = residual_sum(e[4:8])
            residual_percentages(r, e[4:8], total)
            r["gasPerCondensate"] = f32(total * C_55_51 * C_R * C_T / h)
        else:
            for i in (1, 2, 3):
                sc[i] = f32(e[i] * C_1E6 / h)
            total = 0.0
            for i in range(4, 8):
                total = f32(total + f32(e[i] * C_1E6) / w(i))
            gv[1:4] = [0.0, 0.0, 0.0]
            for i in range(4, 8):
                gv[i] = f32(f32(e[i] * C_100 * C_1E6) / (w(i) * total)) if total >= C_1E_20 else 0.0
            r["gasPerCondensate"] = f32(total * C_R * C_T / h)


GAS_LABEL = " in gas (volume %)      :  "
LITERS = "Liters gas/kg condensate   :  "
GAS_TEMPERATURE = "Gas temperature (\xb0C)       :  "


def askgs1(run, r):
    r["steamConc"] = [0.0] * 4
    gv = r["gasVolume"]
    items = [real_item(render_aw(nam(i), 3) + GAS_LABEL, gv, i, (15, 6)) for i in range(1, 8)]
    items.append(Item(LITERS, lambda: r["gasPerCondensate"], lambda v: r.__setitem__("gasPerCondensate", v), (15, 6)))
    items.append(Item(GAS_TEMPERATURE, lambda: r["gasTemperature"], lambda v: r.__setitem__("gasTemperature", v), (15, 6)))
    correction_screen(run, items, 3)


def askgs(run, r, in_mmol):
    r["condensatePh"] = r["condensatePhTemperature"] = 0.0
    r["condensateConc"] = [0.0] * 5
    sc, gv = r["steamConc"], r["gasVolume"]
    mmol = [0.0] * 4
    suffix = " in steam (m-mole/kg)   :  " if in_mmol else " in total steam (mg/kg) :  "

    def steam_item(i):
        if not in_mmol:
            return real_item(render_aw(nam(i), 3) + suffix, sc, i, (15, 6))

        def put(v):
            mmol[i] = v
            sc[i] = f32(w(i) * v * C_0_001)
        return Item(render_aw(nam(i), 3) + suffix, lambda: mmol[i], put, (15, 6))

    items = [steam_item(i) for i in (1, 2, 3)]
    items += [real_item(render_aw(nam(i), 3) + GAS_LABEL, gv, i, (15, 6)) for i in range(4, 8)]
    items.append(Item(LITERS, lambda: r["gasPerCondensate"], lambda v: r.__setitem__("gasPerCondensate", v), (15, 6)))
    items.append(Item(GAS_TEMPERATURE, lambda: r["gasTemperature"], lambda v: r.__setitem__("gasTemperature", v), (15, 6)))
    # Elements 1 to 3 of the gas volumes are cleared after the steam items; no answer can change
    # them later, so clearing them at the start of each pass gives the same record.
    correction_screen(run, items, 3, lambda: gv.__setitem__(slice(1, 4), [0.0, 0.0, 0.0]))


def askcd(run, r, in_mmol):
    cc = r["condensateConc"]
    mmol = [0.0] * 5
    unit = "(m-mole/l)  :  " if in_mmol else "(mg/kg)     :  "
    components = {1: 1, 2: 2, 3: 3, 4: 10}
    first = [True]

    def conc_item(k, name):
        label = "Condensate " + name + " " + unit
        if not in_mmol:
            return real_item(label, cc, k, (15, 6))

        def put(v):
            mmol[k] = v
            if not first[0]:
                cc[k] = f32(w(components[k]) * v * C_0_001)
        return Item(label, lambda: mmol[k], put, (15, 6))

    items = [
        Item("Condensate phase pH        :  ", lambda: r["condensatePh"], lambda v: r.__setitem__("condensatePh", v), (15, 6)),
        Item("Condensate pH temp. (\xb0C)   :  ", lambda: r["condensatePhTemperature"],
             lambda v: r.__setitem__("condensatePhTemperature", v), (15, 6)),
    ] + [conc_item(k, name) for k, name in ((1, "CO2"), (2, "H2S"), (3, "NH3"), (4, "Na "))]

    def notice():
        if in_mmol:
            run.write(" Condensate phase density assumed 1.000 kg/l.\n\n")
    first_pass(run, items, notice)
    if in_mmol:
        for k in range(1, 5):
            cc[k] = f32(w(components[k]) * mmol[k] * C_0_001)
    first[0] = False
    corrections(run, items, 3)


def nostm(r):
    r["gasVolume"] = [0.0] * 8
    r["gasPerCondensate"] = r["gasTemperature"] = 0.0
    r["steamConc"] = [0.0] * 4
    r["condensatePh"] = r["condensatePhTemperature"] = 0.0
    r["condensateConc"] = [0.0] * 5


BANNER = ("\n\n\n MORVANTIS\n\n Program ZELK, version 1.2,  April 2002.\n\n"
          " Prompts the user for input data to the program KAVIX\n and writes it to the file KAVIX.IN\n\n\n"
          " Output file (default kavix.in)  : ")
ANOTHER = "\n\n Another sample?\n\n If so, type y,\n <RETURN> if no                  :  "
WATER_MENU = ("\n" * 6 + " WATER PHASE CONCENTRATIONS\n\n  1 : in mg/kg\n  2 : in m-mole/l\n\n"
              " Type item number, default is 1  :  ")
FORMS = [
    "Total steam, mg gas/kg H2O", "Total steam, m-mole gas/kg H2O", "Total steam, m-mole gas/mole H2O",
    "Total steam, mole-% gas including H2O", "Total steam, weight-% gas including H2O",
    "Volume-% dry gas and mg gas/kg condensate", "Volume-% dry gas and m-mole gas/kg condensate",
    "Volume-% residual gas and CO2, H2S, and NH3 in total steam, mg/kg",
    "Volume-% residual gas and CO2, H2S, and NH3 in total steam, m-mole/kg",
]
STEAM_MENU = ("\n" * 6 + " STEAM PHASE GAS DATA AS\n\n" + "".join("\n  %d : %s\n" % (k, t) for k, t in enumerate(FORMS, 1))
              + "\n\n Type item number, or\n <RETURN> if no steam phase      :  ")


def heading(run, text):
    run.write("\n\n\n" + text + "\n\n")


def menu(run, text):
    while True:
        run.prompt(text)
        value = read_i(run.read(), 4)
        if value is not None:
            return value
        run.write(ERROR)


def block(r):
    def numbers(*values):
        return "".join(render_f(v, 16, 8) for v in values) + "\n"
    wc, gv, sc, cc = r["waterConc"], r["gasVolume"], r["steamConc"], r["condensateConc"]
    return "".join([
        "Program KAVIX input. Concentrations in mg/kg, unless otherwise specified.\n",
        "\n< Sample number><       Sample location or other description               >\n",
        r["sampleNumber"] + r["sampleLocation"] + "\n",
        "\n<Temperature \xb0C><Pressure bar-g><Enthalpy kJ/kg><Discharge kg/s>\n",
        numbers(r["samplingTemperature"], r["samplingPressure"], r["fluidEnthalpy"], r["discharge"]),
        "\n<Water phase pH><  pH temp. \xb0C >< CO2 in water >< H2S in water >\n",
        numbers(r["waterPh"], r["waterPhTemperature"], wc[1], wc[2]),
        "\n< NH3 in water >< H2  in water >< O2  in water >< CH4 in water >< N2  in water >\n",
        numbers(wc[3], wc[4], wc[5], wc[6], wc[7]),
        "\n<SiO2 in water ><  B  in water ><  Al in water ><  Fe in water >\n",
        numbers(wc[9], wc[8], wc[17], wc[18]),
        "\n<  Na in water ><  K  in water ><  Mg in water ><  Ca in water >\n",
        numbers(wc[10], wc[11], wc[12], wc[13]),
        "\n<  F  in water ><  Cl in water >< SO4 in water >< TDS in water >\n",
        numbers(wc[14], wc[15], wc[16], r["totalSolids"]),
        "\n<Gas CO2, vol %><Gas H2S, vol %><Gas NH3, vol %><Gas H2,  vol %><Gas O2,  vol %>\n",
        numbers(gv[1], gv[2], gv[3], gv[4], gv[5]),
        "\n<Gas CH4, vol %><Gas N2,  vol %><L gas/kg cond.><Gas  coll.  \xb0C>\n",
        numbers(gv[6], gv[7], r["gasPerCondensate"], r["gasTemperature"]),
        "\n<  Steam  CO2  ><  Steam  H2S  ><  Steam  NH3  ><Condensate  pH><Cd. pH temp.\xb0C>\n",
        numbers(sc[1], sc[2], sc[3], r["condensatePh"], r["condensatePhTemperature"]),
        "\n<Condensate CO2><Condensate H2S><Condensate NH3><Condensate Na >\n",
        numbers(cc[1], cc[2], cc[3], cc[4]),
    ])


def steam_phase(run, r, form):
    if 1 <= form <= 5:
        heading(run, " TOTAL STEAM COMPOSITION")
        askst(run, r, form)
    elif form in (6, 7):
        heading(run, " DRY GAS COMPOSITION")
        askgs1(run, r)
        heading(run, " CONDENSATE COMPOSITION")
        askcd(run, r, form == 7)
    elif form in (8, 9):
        heading(run, " GAS AND STEAM COMPOSITION")
        askgs(run, r, form == 9)
    else:
        nostm(r)


def output_name(answer):
    name = read_a(answer, 30)
    if name[:8] == " " * 8:
        name = "kavix.in" + name[8:]
    return name.rstrip(" ")


def dialogue(answers, ends_with_feed=True):
    """(console bytes, output file name or None, file bytes, status) of a run."""
    run = Run(answers, ends_with_feed)
    name = None
    status = 0
    try:
        run.prompt(BANNER)
        name = output_name(run.read())
        if "/" in name:
            # Each case runs in an empty folder, so a name in a subfolder cannot be created.
            return "".join(run.out), None, "", 2, run
        r = new_record()
        entered = False
        while True:
            if entered:
                run.prompt(ANOTHER)
                if read_a(run.read(), 1) not in "yY":
                    break
            run.write("\n\n\n\n SUNDRY DATA\n\n\n")
            askgen(run, r)
            unit = menu(run, WATER_MENU)
            (askwa2 if unit == 2 else askwa1)(run, r)
            entered = True
            steam_phase(run, r, menu(run, STEAM_MENU))
            run.blocks.append(block(r))
            run.ends.append(run.at)
    except EndOfInput:
        status = 2
    return "".join(run.out), name, "".join(run.blocks), status, run


def steam_record(form, entries, screen=None):
    """The record after one total-steam screen given these entries and RETURN."""
    r = new_record()
    run = Run(entries + [""] * 20, True)
    (screen or (lambda run, r: askst(run, r, form)))(run, r)
    return r


def check_worked_values():
    """The conversions' worked examples, within the digits they are given to."""
    def near(a, b, digits):
        assert abs(a - b) <= 0.5 * 10 ** -digits * max(1, abs(b)), (a, b)
    r = steam_record(1, ["1000", "100", "10", "20.2", "0", "16.04", "28.01"])
    assert r["steamConc"][1:] == [1000, 100, 10] and r["gasTemperature"] == 25
    for got, want in zip(r["gasVolume"][1:], [0, 0, 0, 83.33333, 0, 8.333333, 8.333333]):
        near(got, want, 5)
    near(r["gasPerCondensate"], 0.29358, 4)
    near(steam_record(1, ["", "", "", "2.02"])["gasPerCondensate"], 0.024465, 5)
    near(steam_record(1, ["", "", "", "-2.02"])["gasPerCondensate"], -0.024465, 5)
    r = steam_record(2, ["20", "3", "0.5", "1", "0", "0.5", "0.5"])
    assert r["gasVolume"][1:] == [0, 0, 0, 50, 0, 25, 25]
    for got, want in zip(r["steamConc"][1:], [880.2, 102.24, 8.515]):
        near(got, want, 4)
    near(r["gasPerCondensate"], 0.048930, 5)
    r = steam_record(3, ["20", "3", "0.5", "1", "0", "0.5", "0.5"])
    for got, want in zip(r["steamConc"][1:], [48859.90, 5675.342, 472.6677]):
        near(got, want, 6)
    near(r["gasPerCondensate"], 2.71610, 5)
    for h2o in ("", "99.4"):
        r = steam_record(4, ["0.5", "0.05", "0.01", "0.02", "0", "0.01", "0.01", h2o])
        for got, want in zip(r["steamConc"][1:], [12288.71, 951.6000, 95.10415]):
            near(got, want, 6)
        assert r["gasVolume"][1:] == [0, 0, 0, 50, 0, 25, 25]
        near(r["gasPerCondensate"], 0.54650, 4)
    r = steam_record(5, ["1", "0.1", "0.01", "0.001", "0", "0.001", "0.002", ""])
    for got, want in zip(r["steamConc"][1:], [10112.66, 1011.266, 101.1265]):
        near(got, want, 6)
    for got, want in zip(r["gasVolume"][4:], [78.72966, 0, 9.914832, 11.35551]):
        near(got, want, 6)
    near(r["gasPerCondensate"], 0.155568, 5)
    r = steam_record(9, ["1", "2.5", "1"], lambda run, r: askgs(run, r, True))
    assert render_f(r["steamConc"][1], 15, 6) == "      44.010002" and render_f(r["steamConc"][3], 15, 6) == "      17.030001"
    r = steam_record(7, ["", "", "2", "", "", "1"], lambda run, r: askcd(run, r, True))
    assert r["condensateConc"][1] == f32(88.020004) and r["condensateConc"][4] == f32(22.990002)
    r = steam_record(0, ["0.5", "1", "", "", "", "", "", "", "", "", "", "", "", "", "", "1000"],
                     lambda run, r: askwa2(run, r))
    assert r["waterConc"][1] == f32(88.020004) and r["totalSolids"] == 2000


# ---------------------------------------------------------------------------------------------
# Answers: small builders for the usual screens, then the cases.

def gen(number="", location="", temperature="", pressure="", enthalpy="", discharge="", fix=("",)):
    return [number, location, temperature, pressure, enthalpy, discharge] + list(fix)


def values(count, given=(), fix=("",)):
    """count answers, the first ones as given and the rest empty, then the corrections."""
    given = list(given)
    assert len(given) <= count
    return given + [""] * (count - len(given)) + list(fix)


def wa1(given=(), fix=("",)):
    return ["1"] + values(17, given, fix)


def wa2(density="", given=(), fix=("",)):
    return ["2", density] + values(17, given, fix)


def steam(form, *screens):
    lines = [str(form)]
    for screen in screens:
        lines += screen
    return lines


def quick(number="S1", form="", water=None, steam_lines=None):
    """One sample with few answers: a number, empty water items, and a steam form."""
    lines = gen(number) + (water if water is not None else wa1())
    return lines + (steam_lines if steam_lines is not None else [form])


FORM_SCREEN_COUNTS = {1: 7, 2: 7, 3: 7, 4: 8, 5: 8}

TYPICAL_WATER = ["176.2", "88.5", "0.31", "1.23", "612.0", "212.4", "35.7", "0.004", "0.61", "1.1", "195.2",
                 "31.9", "1.9", "0.02", "1320", "9.31", "21.5"]

CASES = []


def case(name, answers, ends_with_feed=True, needs=(), ends=False):
    CASES.append((name, answers, ends_with_feed, set(needs), ends))


# The start: banner and the output file's name.
case("name_default_all_empty", [""] + gen() + wa1() + [""] + [""])
case("name_eight_blanks_then_x", ["        x"] + quick() + ["n"])
case("name_seven_blanks_then_x", ["       x"] + quick() + ["n"])
case("name_leading_blanks", ["  out.dat"] + quick() + ["n"])
case("name_trailing_blanks", ["out.dat        "] + quick() + ["n"])
case("name_longer_than_30", ["abcdefghijklmnopqrstuvwxyz0123456789.txt"] + quick() + ["n"])
case("name_default_tail_kept", ["          .bak"] + quick() + ["n"])
case("end_of_input_at_name", [])
case("end_of_input_in_first_sample", ["", "NJ-11", "Nesjavellir well 11"])
case("end_of_input_after_one_sample", [""] + quick())
case("last_answer_without_line_feed", [""] + quick() + ["n"], ends_with_feed=False)

# Sundry data.
case("sundry_values", [""] + gen("NJ-11", "Nesjavellir well 11, separator", "100", "5", "1000", "20") + wa1() + ["", "n"])
case("sundry_texts_cut", [""] + gen("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "L" * 50 + "0123456789abcdefghij", "", "", "", "") + wa1() + ["", "n"])
case("sundry_list_asterisks", [""] + gen("X", "", "123456", "-12345", "-9999.5", "100000") + wa1() + ["", "n"])
case("sundry_file_widths", [""] + gen("W", "", "12345678", "-1234567", "-123456", "-0") + wa1() + ["", "n"])
case("sundry_first_pass_error", [""] + ["A1", "first try", "100", "5", "abc", "A2", "second try", "101", "6", "1001", "21", ""]
     + wa1() + ["", "n"])
case("sundry_corrections", [""] + gen("S", "somewhere", "10", "2", "900", "3",
                                      fix=["2", "elsewhere", "  3  ", "12a", "x", "4", "2.5", "4", "2.75", "1", "S-2", "7"])
     + wa1() + ["", "n"])
case("sundry_correction_ends", [""] + gen("E1", fix=["0"]) + wa1() + ["", "y"] + gen("E2", fix=["-1"]) + wa1() + ["", "y"]
     + gen("E3", fix=["123456"]) + wa1() + ["", "y"] + gen("E4", fix=["6,5", "12", ""]) + wa1() + ["", "n"])

# Field reading, through the water screen in mg/kg.
case("field_reading_f15", [""] + gen("F") + wa1(["1 5", "1,5", "1.5-3", "2E3", "2d-1", "-", ".", "+", "12-3",
                                                   "123456789012345678901", "  7.3  ", "-0", "1.E2", "-.25", "+3D+2",
                                                   "1e-2,junk", "7.3"]) + ["", "n"])
case("field_errors_restart_water", [""] + gen("F") + ["1"] + ["1", "2", "3", "12abc"] + ["9"] * 16 + ["1e"]
     + ["5"] * 17 + ["", "", "n"])
case("water_mgkg_values", [""] + gen("W1") + wa1(TYPICAL_WATER) + ["", "n"])
case("water_mgkg_list_asterisks", [""] + gen("W") + wa1(["999999999", "-99999999", "-100000000", "1e9", "123456789"]) + ["", "n"])
case("water_mgkg_corrections", [""] + gen("W") + wa1(TYPICAL_WATER, fix=["1", "12a", "1", "7.3", "17", "25", "x", "16", "-", "0"])
     + ["", "n"])
case("water_mgkg_item_numbers_end", [""] + gen("W") + wa1(["1"], fix=["18"]) + [""] + ["y"] + gen("W2") + wa1(["2"], fix=["99"])
     + ["", "y"] + gen("W3") + wa1(["3"], fix=["-1"]) + ["", "n"])
case("water_mgkg_error_at_last_item", [""] + gen("W") + ["1"] + ["4"] * 16 + ["2x"] + ["6"] * 17 + ["", "", "n"])

# Menus.
case("water_menu_answers", [""] + gen("M1") + ["3"] + values(17, ["1"]) + [""] + ["y"] + gen("M2") + ["0"] + values(17) + [""]
     + ["y"] + gen("M3") + ["-2"] + values(17) + [""] + ["y"] + gen("M4") + [""] + values(17) + [""] + ["n"])
case("water_menu_errors", [""] + gen("M") + ["x", "1.5", "1"] + values(17) + ["", "n"])
case("steam_menu_no_steam", [""] + quick("N1", "") + ["y"] + quick("N2", "0") + ["y"] + quick("N3", "10") + ["y"]
     + quick("N4", "-1") + ["y"] + quick("N5", "12345") + ["n"])
case("steam_menu_errors", [""] + gen("N") + wa1() + ["x", "1.5", "a", ""] + ["n"])

# The another-sample question.
case("another_sample_continues", [""] + quick("A1") + ["y"] + quick("A2") + ["Y"] + quick("A3") + ["yes"] + quick("A4")
     + ["Yes"] + quick("A5") + ["n"])
for answer, tag in (("n", "n"), ("", "empty"), (" y", "blank_y"), ("ok", "ok")):
    case("another_sample_ends_" + tag, [""] + quick("B1") + [answer, "y"] + quick("B2") + ["n"])

# Records are never cleared between samples.
case("record_not_cleared", [""] + gen("R1", "first", "1", "2", "3", "4") + wa1(TYPICAL_WATER) + [""] + ["y"]
     + gen("R2") + wa1() + ["", "n"])

# Total steam, forms 1 to 5.
WORKED_1 = ["1000", "100", "10", "20.2", "0", "16.04", "28.01"]
WORKED_2 = ["20", "3", "0.5", "1", "0", "0.5", "0.5"]
WORKED_4 = ["0.5", "0.05", "0.01", "0.02", "0", "0.01", "0.01"]
WORKED_5 = ["1", "0.1", "0.01", "0.001", "0", "0.001", "0.002"]
case("form1_worked_values", [""] + quick("T1", steam_lines=steam(1, values(7, WORKED_1))) + ["n"], needs={"steam"})
case("form1_empty_and_h2_only", [""] + quick("T1", steam_lines=steam(1, values(7))) + ["y"]
     + quick("T2", steam_lines=steam(1, values(7, ["", "", "", "2.02"]))) + ["y"]
     + quick("T3", steam_lines=steam(1, values(7, ["", "", "", "-2.02"]))) + ["n"], needs={"steam"})
case("form1_corrections", [""] + quick("T", steam_lines=steam(1, values(7, WORKED_1, fix=["3", "25", "x", "2", "12a", "1", "7.3", "8"])))
     + ["n"], needs={"steam"})
case("form1_correction_ends", [""] + quick("T1", steam_lines=steam(1, values(7, ["1"], fix=["0"]))) + ["y"]
     + quick("T2", steam_lines=steam(1, values(7, ["2"], fix=["-1"]))) + ["y"]
     + quick("T3", steam_lines=steam(1, values(7, ["3"], fix=["8"]))) + ["n"], needs={"steam"})
case("form1_first_pass_error", [""] + quick("T", steam_lines=steam(1, ["1", "2", "3", "4", "5x"] + values(7, WORKED_1))) + ["n"],
     needs={"steam"})
case("form1_pass_limit", [""] + quick("T", steam_lines=steam(1, values(7, ["1"], fix=["1"] + ["%d" % k for p in range(2, 101)
                                                                                  for k in (p, 1)])))
     + ["n"], needs={"steam"})
case("form1_pass_limit_restarts", [""] + quick("T", steam_lines=steam(1, values(7, fix=["2"] + ["5", "2"] * 60 + ["x"]
                                                                              + ["3"] + ["7", "3"] * 60 + [""]))) + ["n"],
     needs={"steam"})
case("form2_worked_values", [""] + quick("T", steam_lines=steam(2, values(7, WORKED_2, fix=["8"]))) + ["y"]
     + quick("T0", steam_lines=steam(2, values(7))) + ["n"], needs={"steam"})
case("form3_worked_values", [""] + quick("T", steam_lines=steam(3, values(7, WORKED_2))) + ["y"]
     + quick("T0", steam_lines=steam(3, values(7))) + ["n"], needs={"steam"})
case("form3_two_line_items", [""] + quick("T", steam_lines=steam(3, values(6, WORKED_2[:6], fix=[]) + ["1q"] + values(7, WORKED_2, fix=["2", "4.5", "8"])))
     + ["n"], needs={"steam"})
case("form4_worked_values", [""] + quick("T1", steam_lines=steam(4, values(8, WORKED_4))) + ["y"]
     + quick("T2", steam_lines=steam(4, values(8, WORKED_4 + ["99.4"]))) + ["y"]
     + quick("T3", steam_lines=steam(4, values(8, WORKED_4 + ["-5"]))) + ["n"], needs={"steam"})
case("form4_h2o_typed_and_corrected", [""] + quick("T", steam_lines=steam(4, values(8, ["0.4", "0.3", "0.2", "0.1", "", "", "", "50"],
                                                                                 fix=["8", "", "9"]))) + ["n"], needs={"steam"})
case("form5_worked_values", [""] + quick("T", steam_lines=steam(5, values(8, WORKED_5, fix=["8", "98.886", "9"]))) + ["y"]
     + quick("T0", steam_lines=steam(5, values(8, WORKED_5))) + ["n"], needs={"steam"})

# Dry gas and condensate, forms 6 and 7; residual gas, forms 8 and 9.
DRY_GAS = ["80", "1.5", "0.1", "2.2", "0.3", "1.1", "5", "12.5", "20"]
CONDENSATE = ["4.5", "20", "150.2", "12.3", "3.4", "0.5"]
RESIDUAL = ["1200.5", "150", "3.2", "10", "0", "0", "30", "0.85", "22"]
case("form6_values", [""] + quick("G", steam_lines=steam(6, values(9, DRY_GAS), values(6, CONDENSATE))) + ["n"], needs={"gas"})
case("form6_errors_and_corrections", [""] + quick("G", steam_lines=steam(
    6, ["1", "2", "3", "4", "5", "6", "7", "8", "20 C"] + values(9, DRY_GAS, fix=["8", "14", "x", "9", "9o", "10"]),
    ["7", "25", "-", "abc"] + values(6, CONDENSATE, fix=["1", "4.25", "x", "7"]))) + ["n"], needs={"gas"})
case("form6_list_widths", [""] + quick("G", steam_lines=steam(6, values(9, ["12345678", "99999999", "-1234567", "-0.0000004"]),
                                                               values(6, ["12345678", "1e8"]))) + ["n"], needs={"gas"})
case("form7_condensate_mmol", [""] + quick("G", steam_lines=steam(7, values(9, DRY_GAS, fix=["0"]),
                                                                   values(6, ["5.1", "21", "2", "1", "0.5", "1"], fix=["3", "2.5", "-1"]))) + ["n"],
     needs={"gas"})
case("form7_condensate_error_repeats_notice", [""] + quick("G", steam_lines=steam(7, values(9),
                                                                                   ["1", "2", "3", "4", "5", "6x"] + values(6, CONDENSATE))) + ["n"],
     needs={"gas"})
case("form8_values", [""] + quick("G", steam_lines=steam(8, values(9, RESIDUAL, fix=["5", "0.5", "-1"]))) + ["n"], needs={"gas"})
case("form8_first_pass_error", [""] + quick("G", steam_lines=steam(8, RESIDUAL[:8] + ["22x"] + values(9, RESIDUAL))) + ["n"],
     needs={"gas"})
case("form9_steam_mmol", [""] + quick("G", steam_lines=steam(9, values(9, ["1", "2.5", "1", "10", "", "", "30", "0.85", "22"],
                                                                   fix=["2", "3", "2", "1.5x", "99"]))) + ["n"], needs={"gas"})

# Water in m-mole/l.
case("water_mmol_density_one", [""] + gen("D") + wa2("", ["1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "1", "500", "7.3", "20"])
     + ["", "n"], needs={"water2"})
case("water_mmol_density_half", [""] + gen("D") + wa2("0.5", ["1", "2"] + [""] * 12 + ["1000"], fix=["15", "1000", "1", "3", ""])
     + ["", "n"], needs={"water2"})
case("water_mmol_density_limits", [""] + gen("D1") + wa2("1e-10", ["1"]) + [""] + ["y"] + gen("D2") + wa2("2e-9", ["1"]) + [""] + ["y"]
     + gen("D3") + wa2("-1", ["1", "", "", "", "", "", "", "", "", "", "", "", "", "", "100"]) + ["", "n"], needs={"water2"})
case("water_mmol_errors", [""] + gen("D") + ["2", "0.8", "1", "2", "3"] + [""] * 12 + ["x7"]
     + wa2("0.8", TYPICAL_WATER)[1:-1] + ["x", "18", "", "18", "1e-9", "19"] + ["", "n"], needs={"water2"})
case("water_mmol_item_numbers", [""] + gen("D") + wa2("1", ["1"], fix=["0"]) + ["", "y"] + gen("D2") + wa2("", ["2"], fix=["19"])
     + ["", "y"] + gen("D3") + wa2("", ["3"], fix=["-1"]) + ["", "n"], needs={"water2"})
case("water_unit_menu_leading_blanks", [""] + gen("D") + ["   2", ""] + values(17) + ["", "n"], needs={"water2"})

# The error paths not met above, one screen after another.
case("error_paths_more_screens", [""] + quick("E1", water=wa2("0.5", ["1"], fix=["1", "2..5", "18", "-", "1", "3", ""]),
                                              steam_lines=steam(6, values(9, DRY_GAS), values(6, CONDENSATE, fix=["3", "12a", "x", ""])))
     + ["y"] + quick("E2", steam_lines=steam(7, values(9), values(6, ["7", "20", "1", "1", "1", "1"], fix=["x", "6", "1e", "6", "2", ""])))
     + ["y"] + quick("E3", steam_lines=steam(8, values(9, RESIDUAL, fix=["x", "1", "1.2.3", "1", "15", ""])))
     + ["y"] + quick("E4", steam_lines=steam(9, ["1", "2", "y"] + values(9, RESIDUAL, fix=["x", "3", "0.25", ""]))) + ["n"])


# Bytes that are not what a form expects.
case("name_in_missing_folder", ["no such folder/kavix.in"] + quick() + ["n"])
# A carriage return before the line feed (an answer file saved on Windows) ends the line, and
# a tab in a number counts as a blank (pasted from a spreadsheet); a NUL or a byte above 127
# in a number is an input error.
case("odd_bytes_in_answers", [""] + ["\xe9", "x", "100\r", "\xe9\xb0-1\t", "x", "1\t2", "S", "x", "1", "2", "3\x00",
                                     "\xe9\xb0-1\t", "tab\there, degree \xb0, nul \0 end", "100", "5", "1000\t", "\t20\r", ""]
     + wa1() + ["", "n"])
case("water_menu_more_answers", [""] + gen("M1") + ["+2"] + values(18) + [""] + ["y"] + gen("M2") + ["2,5"] + values(18) + [""]
     + ["y"] + gen("M3") + ["02"] + values(18) + [""] + ["y"] + gen("M4") + ["12345"] + values(17) + [""] + ["y"]
     + gen("M5") + ["22"] + values(17) + [""] + ["n"])
case("steam_menu_more_answers", [""] + quick("N1", steam_lines=steam("+9", values(9))) + ["y"]
     + quick("N2", steam_lines=steam(" 8 ", values(9))) + ["y"] + quick("N3", steam_lines=steam("6,1", values(9), values(6)))
     + ["y"] + quick("N4", "- ") + ["n"])

# Values beyond the list fields, and mixtures of percentages that make no sense.
case("list_limits_gas_screens", [""] + quick("L1", steam_lines=steam(9, values(9, ["1e8", "12345678", "-1e7", "99999999"])))
     + ["y"] + quick("L2", steam_lines=steam(7, values(9, ["", "", "", "", "", "", "", "1e8", "-9999999"]),
                                                  values(6, ["1e8", "", "1e8", "12345678"])))
     + ["y"] + quick("L3", steam_lines=steam(1, values(7, ["1e9", "-1e8", "999999999", "-99999999"]))) + ["n"])
case("form4_gases_above_100", [""] + quick("H1", steam_lines=steam(4, values(8, ["60", "", "", "", "", "", "50"]))) + ["y"]
     + quick("H2", steam_lines=steam(5, values(8, ["60", "", "", "20", "", "", "30", "-1"]))) + ["n"])
case("steam_fields_cleared_between_forms", [""] + quick("C1", steam_lines=steam(6, values(9, DRY_GAS), values(6, CONDENSATE)))
     + ["y"] + quick("C2", steam_lines=steam(2, values(7, WORKED_2))) + ["y"]
     + quick("C3", steam_lines=steam(7, values(9, DRY_GAS), values(6, CONDENSATE))) + ["y"]
     + quick("C4", steam_lines=steam(9, values(9, RESIDUAL))) + ["y"] + quick("C5", "") + ["n"])


# Runs that change form from sample to sample.
case("mixed_forms_run", [""] + quick("S1", steam_lines=steam(8, values(9, RESIDUAL))) + ["y"] + quick("S2", "") + ["y"]
     + quick("S3", steam_lines=steam(8, values(9, RESIDUAL))) + ["y"]
     + quick("S4", steam_lines=steam(6, values(9, DRY_GAS), values(6, CONDENSATE))) + ["y"]
     + quick("S5", steam_lines=steam(9, values(9, ["1", "2", "3", "4", "5", "6", "7", "8", "9"]))) + ["y"]
     + quick("S6", water=wa1(TYPICAL_WATER), steam_lines=steam(1, values(7, WORKED_1))) + ["n"], needs={"steam", "gas"})
def every_form():
    """Nine samples, one per steam form, the water unit alternating."""
    lines = [""]
    for form in range(1, 10):
        if form > 1:
            lines.append("y")
        water = wa2("", ["1"]) if form % 2 else wa1(["2"])
        if form <= 5:
            count = 7 if form < 4 else 8
            screens = [values(count, ["1", "2", "3", "4", "5", "6", "7", "50"][:count])]
        elif form <= 7:
            screens = [values(9, DRY_GAS), values(6, CONDENSATE)]
        else:
            screens = [values(9, RESIDUAL)]
        lines += quick("F%d" % form, water=water, steam_lines=steam(form, *screens))
    return lines + ["no"]


case("mixed_forms_all_nine", every_form(), needs={"steam", "gas", "water2"})


def three_samples():
    """Three samples in mixed forms, for the test that cuts the answers after every line."""
    if "steam" in PENDING or "gas" in PENDING or "water2" in PENDING:
        return ([""] + quick("S1", "", water=wa1(TYPICAL_WATER, fix=["3", "2.5", ""])) + ["y"]
                + gen("S2", "second", "1", "2", "3", "4", fix=["x", ""]) + ["x", "1"] + values(17, ["5"]) + ["0"] + ["yes"]
                + quick("S3", "10") + ["no thanks"])
    return ([""] + quick("S1", water=wa2("0.9", ["1", "2"]), steam_lines=steam(7, values(9, DRY_GAS), values(6, CONDENSATE, fix=["3", "4", ""])))
            + ["y"] + gen("S2", "second", "1", "2", "3", "4", fix=["x", ""]) + wa1(TYPICAL_WATER) + ["x", ""] + ["yes"]
            + quick("S3", steam_lines=steam(4, values(8, WORKED_4, fix=["8", "99", ""]))) + ["no thanks"])


# ---------------------------------------------------------------------------------------------
# Writing the folders.

# What is not in the program yet; cases that need it are not written.
PENDING = set()


def folder_files(answers, ends_with_feed, ends):
    out, name, kavix, status, run = dialogue(answers, ends_with_feed)
    text = "\n".join(answers) + ("\n" if ends_with_feed and answers else "")
    files = {"answers": text, "expected.out": out}
    if name is not None:
        files["expected.kavix"] = kavix
        if name != "kavix.in":
            files["name"] = name
    if status:
        files["status"] = "%d\n" % status
    if ends:
        files["sample_ends"] = "".join("%d\n" % line for line in run.ends)
    return {k: v.encode("latin-1") for k, v in files.items()}


def main():
    case("end_of_input_three_samples", three_samples(), ends=True)
    self_check()
    check_worked_values()
    for name, answers, ends_with_feed, needs, ends in CASES:
        dialogue(answers, ends_with_feed)  # pending cases too, so that the model is tried on them
    check = "--check" in sys.argv[1:]
    wanted = {}
    for name, answers, ends_with_feed, needs, ends in CASES:
        if needs & PENDING:
            continue
        assert name not in wanted, name
        wanted[name] = folder_files(answers, ends_with_feed, ends)
    stale = []
    present = sorted(d for d in os.listdir(HERE) if os.path.isdir(os.path.join(HERE, d)))
    for name in present:
        if name not in wanted:
            stale.append(name)
            if not check:
                shutil.rmtree(os.path.join(HERE, name))
    for name, files in sorted(wanted.items()):
        folder = os.path.join(HERE, name)
        on_disk = {}
        if os.path.isdir(folder):
            for f in os.listdir(folder):
                if not f.endswith(".received"):
                    with open(os.path.join(folder, f), "rb") as handle:
                        on_disk[f] = handle.read()
        if on_disk != files:
            stale.append(name)
            if not check:
                os.makedirs(folder, exist_ok=True)
                for f in on_disk:
                    if f not in files:
                        os.remove(os.path.join(folder, f))
                for f, data in files.items():
                    with open(os.path.join(folder, f), "wb") as handle:
                        handle.write(data)
    if check:
        if stale:
            print("transcript cases out of date (run tests/transcripts/generate.py):", " ".join(sorted(set(stale))))
            return 1
        print("%d transcript cases up to date" % len(wanted))
        return 0
    print("%d transcript cases written, %d changed" % (len(wanted), len(set(stale))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
