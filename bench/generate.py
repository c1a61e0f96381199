#!/usr/bin/env python3
"""Writes the benchmark programs of bench/run-bench into a folder.

Programs:
  largest.vk6      the largest sound program: as many body lines as the
                   9216-byte image holds, all 254 locations in use, 8 tables
                   of 16 fields, every instruction family, every block kind
                   nested, aliases, constants and comments throughout.
  lines_N.vk6      N lines built the same way; they pass every check but the
                   image size (N = 500, 1000, 2000, 4000).
  aliases_N.vk6    1,000 aliases, substituted into every statement.
  consts_N.vk6     2,000 constants used throughout.
  long_N.vk6       lines close to the 510-character limit, full of names.
  nested_N.vk6     blocks nested 100 deep, over and over.
  mix_N.vk6        the plain statement mix: assignments with arithmetic,
                   If/ElseIf/Else, For loops, calls with 1-5 arguments and
                   comments; mix_N.lua and mix_N.c say the same in Lua and C.
Inputs that once cost more than their size, N lines each (N = 500, 2000):
  dupalias_N.vk6   the same alias declared again and again.
  dupconst_N.vk6   the same constant declared again and again.
  manyalias_N.vk6  240 aliases; lines close to the 510-character limit
                   naming many of them, one in two outgrowing it.
  sharedloc_N.vk6  aliases sharing locations, declared out of order.
  subs_N.vk6       many subroutines, each called by name.
  tables_N.vk6     more than eight tables, named by CallTable throughout.
  units_N.vk6      many Units texts, one table of many fields.
  aliasfields_N.vk6  many aliases, one table of many fields after them.
  fieldref_N.vk6   one table of many named fields, its last one read again
                   and again.
  publicref_N.vk6  many public variables, the last one read through Public.
  sendtables_N.vk6 many tables, the last one named by SendData and GOESData.
  varunits_N.vk6   many variables, each with its Units text.
  oobalias_N.vk6   many variables, aliases past the end of the last one.

With --compiler, every program is compiled (-n) and its outcome checked:
largest.vk6 must compile OK, the others OK or failing only on the image
size. The largest program is found by bisection over its body length.
"""

import argparse
import os
import subprocess
import sys

SIZES = (500, 1000, 2000, 4000)
ADVERSARIAL_SIZES = (500, 2000)
TABLES = 8
FIELDS = 16
LOCATIONS = 254
IMAGE_ERROR = "Binary image exceeds max size by"
OUTPUT_KINDS = ("Average({v}, False)", "Maximum({v}, False, 0)",
                "Minimum({v}, False, 0)", "Totalize({v}, False)",
                "StdDev({v}, False)", "Sample({v})")

# Locations taken by the fixed part of every program besides Pad: the named
# variables below plus those the output instructions and PulseCount take
# from the top of the pool. Pad fills the rest, so all 254 are in use.
NAMED = ["PTemp", "Batt", "Flag", "Cnt", "Res", "WS", "WD", "X", "I", "J", "K"]
ARRAYS = [("T", 4), ("Regs", 6), ("Dest", 2), ("Gps", 6), ("Sats", 7),
          ("GSt", 13), ("A", 6)]


def declarations(pad, extra_aliases=0, constants=0):
    out = ["' Generated benchmark program for the VK617Q logger.",
           "' Declarations: values, arrays, constants, aliases and units.",
           "Public " + ", ".join(NAMED[:8]),
           "Public " + ", ".join(f"{n}({k})" for n, k in ARRAYS),
           "Dim " + ", ".join(NAMED[8:]) + f", F({FIELDS})" + (f", Pad({pad})" if pad > 0 else ""),
           "Const Gain = 0.5",
           "Const Offs = Gain * 2   ' derived from an earlier constant",
           "Const Lim = 25",
           "Alias T(1) = AirT",
           "Alias T(2) = SoilT",
           "Alias T(3) = WaterT",
           "Alias Regs(1) = Reg1",
           "Units PTemp = Deg C",
           "Units AirT = Deg C",
           "Units Batt = Volts"]
    # Several declarations per line, as ':' allows, so that the smaller
    # programs hold them all.
    consts = [f"Const C{n}K = {n % 50} + Lim" for n in range(constants)]
    out += [" : ".join(consts[i:i + 10]) for i in range(0, len(consts), 10)]
    aliases = []
    for n in range(extra_aliases):
        # Four spellings of each element keep every aliased text distinct.
        # Blanks and leading zeros keep every aliased text distinct;
        # variant 0 (the plain element) is left for the named aliases.
        elements = [(a, i + 1) for a, size in ARRAYS + [("F", FIELDS), ("Pad", pad)]
                    for i in range(size)]
        array, index = elements[n % len(elements)]
        variant = n // len(elements) + 1
        zeros = " " * (variant % 4) + "0" * (variant // 4)
        aliases.append(f"Alias {array}({zeros}{index}) = Al{n}")
    out += [" : ".join(aliases[i:i + 8]) for i in range(0, len(aliases), 8)]
    return out


# Fields of the wind and evapotranspiration summaries, kept in the last two
# tables so that every table holds exactly 16 fields.
SPECIAL = {TABLES - 2: ["ETo(AirT, SoilT, WS, Batt, 1, 2, 3, 4)"],  # 5 fields
           TABLES - 1: ["WindVector(WS, WD, False, 0, 0)",           # 3 fields
                        "FieldNames(\"WSpd,WDir,WStd\")",
                        "EToDaily(AirT, SoilT, WS, Batt, 1, 2, 3, 4)"]}  # 9
SPECIAL_FIELDS = {TABLES - 2: 5, TABLES - 1: 12}


def tables():
    out = []
    for t in range(TABLES):
        out.append(f"' Table {t + 1}: summaries of the field block {t + 1}.")
        out.append(f"DataTable(Tab{t + 1}, True, -1)")
        out.append("  DataInterval(0, 1, Day)" if t == TABLES - 1 else
                   f"  DataInterval(0, {t + 1}0, Min)")
        for f in range(FIELDS - SPECIAL_FIELDS.get(t, 0)):
            n = f + 1
            out.append("  " + OUTPUT_KINDS[min(f, len(OUTPUT_KINDS) - 1)].format(v=f"1, F({n})"))
        out += ["  " + line for line in SPECIAL.get(t, [])]
        out.append("EndTable")
    return out


def subs():
    return ["' Scaled result, used from the scan.",
            "Sub Calc",
            "  Res = AirT * Gain + Offs",
            "  If Res > Lim Then ExitSub",
            "EndSub"]


# Every instruction family once; the ones that keep state or may appear
# only once per program are here and not in the repeated body.
ONCE = [
    "' Measurements",
    "PanelTemp(PTemp)",
    "Battery(Batt)",
    "VoltSe(T(), 1, 3, 1.0, 0)",
    "ExDelSE(Res, 1, 1, 1, 2500, 500, Gain, Offs)",
    "ThermPrb(AirT, 1, 4, 1, 1.0, 0)",
    "PeriodAvg(Res, 1, 0, 10, 100, 0, 1.0, 0)",
    "PulseCount(Cnt, 1, 0, 0, 1, 0)",
    "SwBatt(1)",
    "ExciteV(1, 2500)",
    "ScanLEDOff",
    "' Ports, timing and system",
    "PortGet(Flag, 1)",
    "PortSet(1, 1)",
    "Delay(1, 2)",
    "AnalogPortGet(Res, 1)",
    "AnalogPortSet(1, 1)",
    "Randomize(1)",
    "RealTime(Regs)",
    "ClockSet(Regs)",
    "Ticker250ms(1)",
    "RFPortTest(Res)",
    "' Spatial and vector math, print",
    "RectPolar(Regs(1), Regs(3))",
    "AvgSpa(Res, 4, Regs(1))",
    "MaxSpa(Dest, 4, Regs(1))",
    "MinSpa(Dest, 4, Regs(1))",
    "StdDevSpa(Res, 4, Regs(1))",
    "RMSSpa(Res, 4, Regs(1))",
    "CovSpa(Res, 1, 2, Regs(1), Regs(3))",
    "Print(C2, 1200, \"T=\", Res, CHR$(13))",
    "' Network, Modbus, serial and SDI-12",
    "SendGetData(Res, Regs, Regs(2), 2, 1, 4094, 0)",
    "ReadSendGetInfo(Res, 1)",
    "SetValue(Res, Regs, 1, Res, 1, 1, 1, 0)",
    "GetValue(Res, Regs, 1, Res, 1, 1, 1, 0)",
    "SetStatus(RfPwrMode, RF8S_LH)",
    "SendData(1, -1, 5, Public)",
    "ModBusMaster(Res, 1, 9600, 1, 3, Regs(1), 1, 1, 3, 100)",
    "SerialInput(A, 6, 7, \"abc\", 4, 2400)",
    "SDI12Recorder(T, \"0R%2X%!\", A(), 0)",
    "SDI12SensorSetup(1, 1, 0, 10)",
    "SDI12SensorResponse(Regs)",
    "LoggerIdentify(\"ID\", \"ok\")",
    "' Satellite transmitter",
    "GOESSetup(Res, 4660, 10, 195, 300, 7, 100, \"00_01_00_00\", \"00_00_30\", \"01_00_00\")",
    "GOESStatus(GSt, 1)",
    "GOESGPS(Gps, Sats)",
    "ResetTable(Tab1)",
]


def body_unit(k):
    """One repeated group of the scan: every block kind nested, stateless.
    The 32 KB expression area and the 64 KB code buffer must hold 4,000
    lines of it, so about a third of its lines compile expressions."""
    t = k % TABLES + 1
    return [
        f"' Group {k}: scaled readings and limit handling",
        "'   the air reading decides which branch runs",
        "",
        "If AirT > Lim Then",
        "  ' high: count the readings over the limit",
        "  Select Case Flag",
        "    Case 1",
        "      For I = 1 To 3",
        "        Do While J < Lim",
        "          J = J + 1   ' count up",
        "          While K < 2",
        "            K = K + SoilT",
        "          Wend",
        "          Exit Do",
        "        Loop",
        "        ExitFor",
        "      Next I",
        "    Case Else",
        "      ' nothing to count",
        f"      CallTable Tab{t}",
        "  EndSelect",
        "Else",
        "  ' low: keep the scaled value",
        "  Call Calc",
        "EndIf",
        "",
        f"ResetTable(Tab{t})   ' the day's values restart",
        "Call Calc",
        "' end of the group",
        "",
    ]


def filler(k):
    return ("' spare reading, kept for the next upgrade" if k % 2 else
            f"CallTable Tab{k % TABLES + 1}")


def assemble(head, scan_lines, total_lines=None, filler_lines=None, fill=filler):
    """Head, BeginProg, the scan, EndProg; fills the scan up to total_lines."""
    tail = [f"  CallTable Tab{t + 1}" for t in range(TABLES)] + \
           ["NextScan", "EndProg"]
    start = head + ["BeginProg", "StationName(Stn1)", "Scan(10, Sec)"]
    start += ["  " + line for line in ONCE]
    body = ["  " + line for line in scan_lines]
    if total_lines is not None:
        filler_lines = total_lines - len(start) - len(body) - len(tail)
        if filler_lines < 0 and not body:
            sys.exit(f"{total_lines} lines cannot hold the declarations")
        if filler_lines < 0:
            # Drop whole groups (they start at a comment) until it fits.
            while filler_lines < 0:
                cut = max(i for i, l in enumerate(body) if l.startswith("  ' Group"))
                filler_lines += len(body) - cut
                body = body[:cut]
    body += ["  " + fill(k) for k in range(filler_lines or 0)]
    return "\r\n".join(start + body + tail) + "\r\n"


def standard_head(pad, **kw):
    return declarations(pad, **kw) + tables() + subs()


def units_for(lines):
    """Whole body groups, as many as fit in `lines`."""
    out = []
    k = 0
    while len(out) + len(body_unit(k)) <= lines:
        out += body_unit(k)
        k += 1
    return out


def lines_program(pad, n):
    return assemble(standard_head(pad), units_for(n), total_lines=n)


def aliases_program(pad, n):
    def fill(k):
        a, b, c = k * 3 % 1000, (k * 3 + 1) % 1000, (k * 3 + 2) % 1000
        if k % 4 == 0:
            return f"Al{a} = Al{b}   ' copy"
        return f"CallTable Tab{k % TABLES + 1}   ' Al{c} is stored there"
    head = standard_head(pad, extra_aliases=1000)
    return assemble(head, [], total_lines=n, fill=fill)


def consts_program(pad, n):
    def fill(k):
        a, b = k * 2 % 2000, (k * 2 + 1) % 2000
        if k % 4 == 0:
            return f"Res = C{a}K * C{b}K"
        return f"Delay(C{a}K, Sec)   ' constant {a}"
    return assemble(standard_head(pad, constants=2000), [], total_lines=n, fill=fill)


def long_line(k):
    """About 500 characters of names. An expression on one line in eight:
    the expression area must hold them all; table names in ResetTable
    compile to nothing."""
    parts = ["Res = AirT + Reg1 * Gain - SoilT"] if k % 8 == 0 else []
    i = k
    while True:
        stmt = f"ResetTable(Tab{i % TABLES + 1})"
        if len(" : ".join(parts + [stmt])) > 495:
            break
        parts.append(stmt)
        i += 1
    return " : ".join(parts)


def long_program(pad, n):
    return assemble(standard_head(pad), [], total_lines=n, fill=long_line)


def nested_lines(depth=100):
    kinds = [("If Res > {d} Then", "EndIf"), ("For I = 1 To {d}", "Next I"),
             ("Do While J < {d}", "Loop"), ("While K < {d}", "Wend"),
             ("Select Case Flag", "EndSelect")]
    opens, closes = [], []
    for d in range(depth):
        o, c = kinds[d % len(kinds)]
        ind = "  " * d
        if o.startswith("Select"):
            opens += [ind + o, ind + "  Case 1"]
        else:
            opens.append(ind + o.format(d=d + 1))
        closes.insert(0, ind + c)
    middle = ["  " * depth + "Res = AirT + Gain"]
    return opens + middle + closes


def nested_program(pad, n):
    head = standard_head(pad)
    room = n - assemble(head, []).count("\n")
    block = ["' Group: blocks nested 100 deep"] + nested_lines()
    scan = []
    while len(scan) + len(block) <= room:
        scan += block
    return assemble(head, scan, total_lines=n)


# The plain statement mix, one group of lines in three languages: the
# compiler's, Lua and C. The groups differ only in their numbers.
def mix_group(k):
    # The 32 KB expression area must hold 4,000 lines of the mix: numbers
    # given to calls cost it nothing, expressions about 20 bytes each.
    a, b = k % 7 + 1, k % 5 + 2
    vk6 = [f"' Group {k}: scale the readings and keep them in range",
           "Res = AirT * Gain",
           "If Res > Lim Then",
           "  Cnt = Cnt + 1   ' over the limit",
           f"ElseIf Res < {b} Then",
           "  ' under it: count down",
           "  Cnt = Cnt - 1",
           "Else",
           "  ' in range",
           "  Res = Lim",
           "EndIf",
           "' smooth the wind speed",
           f"For I = 1 To {b}",
           f"  PortSet(1, {k % 2})",
           "Next I",
           "SwBatt(1)",
           f"AvgSpa(Res, {b}, Regs(1))",
           f"CovSpa(Res, 1, 2, AirT, SoilT)",
           ""]
    lua = [f"-- Group {k}: scale the readings and keep them in range",
           "Res = AirT * Gain",
           "if Res > Lim then",
           "  Cnt = Cnt + 1   -- over the limit",
           f"elseif Res < {b} then",
           "  -- under it: count down",
           "  Cnt = Cnt - 1",
           "else",
           "  -- in range",
           "  Res = Lim",
           "end",
           "-- smooth the wind speed",
           f"for I = 1, {b} do",
           f"  PortSet(1, {k % 2})",
           "end",
           "SwBatt(1)",
           f"AvgSpa(Res, {b}, Regs[1])",
           f"CovSpa(Res, 1, 2, AirT, SoilT)",
           ""]
    c = [f"  /* Group {k}: scale the readings and keep them in range */",
         "  Res = AirT * Gain;",
         "  if (Res > Lim) {",
         "    Cnt = Cnt + 1;   /* over the limit */",
         f"  }} else if (Res < {b}) {{",
         "    /* under it: count down */",
         "    Cnt = Cnt - 1;",
         "  } else {",
         "    /* in range */",
         "    Res = Lim;",
         "  }",
         "  /* smooth the wind speed */",
         f"  for (I = 1; I <= {b}; I = I + 1)",
         f"    PortSet(1, {k % 2});",
         "",
         "  SwBatt(1);",
         f"  AvgSpa(Res, {b}, Regs[1]);",
         f"  CovSpa(Res, 1, 2, AirT, SoilT);",
         ""]
    return vk6, lua, c


MIX_HEAD = ["' The plain statement mix.",
            "Public AirT, SoilT, Res, Cnt, WS, WD, Batt, I, Regs(6)",
            "Const Gain = 0.5",
            "Const Offs = 2",
            "Const Lim = 25",
            "BeginProg",
            "Scan(10, Sec)"]
MIX_TAIL = ["NextScan", "EndProg"]


def mix_programs(n):
    """The mix in N lines of the compiler's language, and in Lua and C."""
    vk6, lua, c = [], [], []
    k = 0
    while len(MIX_HEAD) + len(vk6) + len(mix_group(k)[0]) + len(MIX_TAIL) <= n:
        group = mix_group(k)
        vk6 += ["  " + line for line in group[0]]
        lua += group[1]
        c += group[2]
        k += 1
    vk6 += ["  ' spare line"] * (n - len(MIX_HEAD) - len(vk6) - len(MIX_TAIL))
    lua_head = ["-- The plain statement mix.",
                "local AirT, SoilT, Res, Cnt, WS, WD, Batt, I = 0, 0, 0, 0, 0, 0, 0, 0",
                "local Regs = {0, 0, 0, 0, 0, 0}",
                "local Gain, Offs, Lim = 0.5, 2, 25",
                "local function SwBatt(a) end",
                "local function PortSet(a, b) end",
                "local function RectPolar(a, b) end",
                "local function AvgSpa(a, b, c) end",
                "local function CovSpa(a, b, c, d, e) end"]
    c_head = ["/* The plain statement mix. */",
              "float fabsf(float);",
              "void SwBatt(int);",
              "void PortSet(int, int);",
              "void RectPolar(float, float);",
              "void AvgSpa(float, int, float);",
              "void CovSpa(float, int, int, float, float);",
              "static const float Gain = 0.5f, Offs = 2, Lim = 25;",
              "float AirT, SoilT, Res, Cnt, WS, WD, Batt, Regs[7];",
              "int I;",
              "void scan(void) {"]
    return ("\r\n".join(MIX_HEAD + vk6 + MIX_TAIL) + "\r\n",
            "\n".join(lua_head + lua) + "\n",
            "\n".join(c_head + c + ["}"]) + "\n")


def adversarial_programs(pad, n):
    """The inputs that once cost more than their size, n lines each."""
    programs = {}
    head = ["Dim A(240)", "Public Z, Res"]
    programs["dupalias"] = head + ["Alias A(1) = Foo"] * (n - 6)
    programs["dupconst"] = head + ["Const K = 1"] * (n - 6)
    # Names shorter than their texts: a line close to the limit outgrows it
    # as they are replaced, one line in two.
    names = [f"N{i}" for i in range(240)]
    aliases = [f"Alias A({i + 1}) = {name}" for i, name in enumerate(names)]
    lines = []
    k = 0
    while len(head) + len(aliases) + len(lines) + 6 < n:
        # One statement per line, as substitution works statement by
        # statement; it is too long for an expression, which is reported.
        line = "Res = Z"
        while len(line) < (500 if len(lines) % 2 else 400):
            line += f" + {names[k % 240]}"
            k += 7
        lines.append("  " + line)
    programs["manyalias"] = head + aliases + ["BeginProg", "Scan(1, Sec)"] + lines
    # Every element named by nine aliases, spelt apart by blanks and
    # zeros; the later elements first.
    spellings = [" " * (v % 3) + "0" * (v // 3) for v in range(9)]
    shared = [f"Alias A({spellings[i % 9]}{240 - i // 9}) = S{i}" for i in range(n - 6)]
    programs["sharedloc"] = head + shared
    count = (n - 6) // 4
    subs = [line for i in range(count)
            for line in (f"Sub Sub{i}", f"  Res = Res + {i}", "EndSub")]
    calls = [f"  Sub{i * 7 % count}" for i in range(n - 6 - len(subs))]
    programs["subs"] = head + subs + ["BeginProg", "Scan(1, Sec)"] + calls
    tables = [line for t in range(12)
              for line in (f"DataTable(Tab{t}, True, -1)", "  Sample(1, Z)", "EndTable")]
    calls = [f"  CallTable Tab{i % 12}" for i in range(n - 6 - len(tables))]
    programs["tables"] = head + tables + ["BeginProg", "Scan(1, Sec)"] + calls
    # Tables far wider than a table may be: the field builder, the field
    # and units lookups still see every field.
    half = (n - 8) // 2
    wide = ["DataTable(Wide, True, -1)"] + ["  Sample(1, Z)"] * half + ["EndTable"]
    programs["units"] = head + [f"Units U{i} = m" for i in range(half)] + wide
    programs["aliasfields"] = head + [
        f"Alias A({' ' * (i // 240)}{i % 240 + 1}) = L{i}" for i in range(half)] + wide
    named = [line for i in range(half // 2)
             for line in ("  Sample(1, Z)", f'  FieldNames("F{i}")')]
    reads = [f"  Res = Wide.F{half // 2 - 1}(1, 1)" for _ in range(half)]
    programs["fieldref"] = head + ["DataTable(Wide, True, -1)"] + named + \
        ["EndTable", "BeginProg", "Scan(1, Sec)"] + reads
    programs["publicref"] = head + [f"Public P{i}" for i in range(half)] + \
        ["BeginProg", "Scan(1, Sec)"] + [f"  Res = Public.P{half - 1}(1, 1)"] * (n - 6 - half)
    count = (n - 6) // 4
    tables = [line for t in range(count)
              for line in (f"DataTable(T{t}, True, -1)", "  Sample(1, Z)", "EndTable")]
    sends = [f"  SendData(1, -1, 5, T{count - 1})", f"  GOESData(Res, T{count - 1}, 0, 0, 0)"]
    programs["sendtables"] = head + tables + ["BeginProg", "Scan(1, Sec)"] + \
        [sends[i % 2] for i in range(n - 6 - len(tables))]
    programs["varunits"] = head + [f"Dim V{i}" for i in range((n - 6) // 2)] + \
        [f"Units V{i} = m" for i in range((n - 6) // 2)]
    # Each alias is refused with the variable named by its location.
    last = (n - 6) // 2 - 1
    programs["oobalias"] = head + [f"Dim V{i}" for i in range(last + 1)] + \
        [f"Alias V{last}({i + 2}) = F{i}" for i in range(last + 1)]
    out = {}
    for name, body in programs.items():
        if "BeginProg" not in body:
            body = body + ["BeginProg", "Scan(1, Sec)"]
        out[f"{name}_{n}.vk6"] = "\r\n".join(body + MIX_TAIL) + "\r\n"
    return out


def compile_outcome(compiler, path):
    proc = subprocess.run([compiler, "-n", path, path + ".txt"],
                          capture_output=True, text=True)
    errors = [l for l in proc.stdout.replace("\r", "").split("\n")
              if l.startswith("line ") or IMAGE_ERROR in l or "Failed" in l]
    errors = [l for l in errors if "Failed" not in l]
    if proc.returncode == 0:
        return "ok", proc.stdout
    if errors and all(IMAGE_ERROR in l for l in errors):
        return "image", proc.stdout
    return "failed", proc.stdout


def write(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w", newline="") as f:
        f.write(text)
    return path


def find_pad(compiler, folder):
    """The Pad size that puts all 254 locations in use."""
    for pad in range(LOCATIONS, -1, -1):
        path = write(folder, "probe.vk6", assemble(standard_head(pad), []))
        if compile_outcome(compiler, path)[0] == "ok":
            os.remove(path)
            os.remove(path + ".txt")
            return pad
    sys.exit("no Pad size compiles")


def largest_program(compiler, folder, pad):
    low, high = 0, 4000  # body lines that fit / do not fit
    head = standard_head(pad)
    while high - low > 1:
        mid = (low + high) // 2
        path = write(folder, "largest.vk6", assemble(head, units_for(mid)[:mid]))
        if compile_outcome(compiler, path)[0] == "ok":
            low = mid
        else:
            high = mid
    return assemble(head, units_for(low)[:low])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--compiler", help="check each program with this compiler")
    parser.add_argument("--pad", type=int, default=None,
                        help="size of the Pad array (found with --compiler)")
    args = parser.parse_args()
    os.makedirs(args.folder, exist_ok=True)
    pad = args.pad
    if pad is None:
        if not args.compiler:
            sys.exit("give --compiler or --pad")
        pad = find_pad(args.compiler, args.folder)
    programs = {}
    if args.compiler:
        programs["largest.vk6"] = largest_program(args.compiler, args.folder, pad)
    for n in SIZES:
        programs[f"lines_{n}.vk6"] = lines_program(pad, n)
        programs[f"aliases_{n}.vk6"] = aliases_program(pad, n)
        programs[f"consts_{n}.vk6"] = consts_program(pad, n)
        programs[f"long_{n}.vk6"] = long_program(pad, n)
        programs[f"nested_{n}.vk6"] = nested_program(pad, n)
        programs[f"mix_{n}.vk6"], lua, c = mix_programs(n)
        write(args.folder, f"mix_{n}.lua", lua)
        write(args.folder, f"mix_{n}.c", c)
    adversarial = {}
    for n in ADVERSARIAL_SIZES:
        adversarial.update(adversarial_programs(pad, n))
    bad = 0
    for name, text in programs.items():
        path = write(args.folder, name, text)
        if args.compiler:
            outcome, out = compile_outcome(args.compiler, path)
            want = ("ok",) if name == "largest.vk6" else ("ok", "image")
            if outcome not in want:
                bad += 1
                print(f"{name}: unexpected outcome\n{out}", file=sys.stderr)
            os.remove(path + ".txt")
    for name, text in adversarial.items():
        write(args.folder, name, text)
    print(f"pad {pad}: wrote {len(programs)} programs and {len(adversarial)} adversarial ones to {args.folder}")
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
