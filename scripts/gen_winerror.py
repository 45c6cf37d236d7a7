#!/usr/bin/env python3
"""Generates framework/generated/WinErrorNomes.inc from mingw-w64's winerror.h.

The failure trace names facilities, system error codes and HRESULTs with the Windows SDK's
symbolic names. Those names come from the winerror.h that Debian's mingw-w64-common package
installs, never from a hand-typed table.

Usage:
  python3 scripts/gen_winerror.py [--header winerror.h] [--output file.inc]

The output is an X-macro list in three blocks, each sorted by value and emitted only when the
including file defines the block's macro:
  ZQ_WIN_FACILITY(number, "FACILITY_...")  facilities 0-4, 7-26, 31-42, 48-58, 60, 61, 80-84
  ZQ_WIN_ERROR(number, "ERROR_...")        system error codes 0..3000
  ZQ_WIN_HRESULT(0xXXXXXXXX, "NAME")       S_OK, E_UNEXPECTED, E_NOTIMPL, E_NOINTERFACE,
                                           E_POINTER, E_ABORT, E_FAIL and the CO_E_, RPC_E_,
                                           DISP_E_, TYPE_E_, STG_E_, DRAGDROP_E_, CTL_E_,
                                           CERT_E_, TRUST_E_, DIGSIG_E_, PERSIST_E_ families
When a value has several names, the first definition in the header wins. Range markers
(..._FIRST, ..._LAST) are not names of a result. The output does not depend on where the header
was read from, so a check can compare it byte for byte with the committed file.
"""

import argparse
import os
import re
import sys

DEFAULT_HEADER = "/usr/share/mingw-w64/include/winerror.h"
DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                              "framework", "generated", "WinErrorNomes.inc")

# The facility numbers the trace names after the SDK; a facility of the header outside this set
# (FACILITY_AUDCLNT, 2185, for one) is not one of them.
FACILITY_RANGES = [(0, 4), (7, 26), (31, 42), (48, 58), (60, 61), (80, 84)]
FACILITIES = sorted({n for a, b in FACILITY_RANGES for n in range(a, b + 1)})

ERROR_MAX = 3000

HRESULT_SINGLES = {"S_OK", "E_UNEXPECTED", "E_NOTIMPL", "E_NOINTERFACE", "E_POINTER", "E_ABORT",
                   "E_FAIL"}
HRESULT_FAMILIES = ["CO", "RPC", "DISP", "TYPE", "STG", "DRAGDROP", "CTL", "CERT", "TRUST",
                    "DIGSIG", "PERSIST"]
HRESULT_FAMILY_RE = re.compile(r"^(?:%s)_E_\w+$" % "|".join(HRESULT_FAMILIES))
RANGE_MARKER_RE = re.compile(r"_(?:FIRST|LAST)$")

DEFINE_RE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)\s+(.+?)\s*$")
# The value forms winerror.h uses for plain numbers: 5, 5L, 0x5L, __MSABI_LONG(5),
# _HRESULT_TYPEDEF_(0x80004005L), ((HRESULT)0x00000000L), with optional outer parentheses.
NUMBER_RE = re.compile(r"^(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*$")
WRAPPERS = [re.compile(r"^__MSABI_LONG\((.*)\)$"),
            re.compile(r"^_HRESULT_TYPEDEF_\((.*)\)$"),
            re.compile(r"^\(\s*\(\s*HRESULT\s*\)\s*(.*)\)$"),
            re.compile(r"^\(\s*HRESULT\s*\)\s*(.*)$"),
            re.compile(r"^\((.*)\)$")]


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def parse_value(expr):
    """The integer a #define's body denotes, or None when it is not a plain number."""
    expr = expr.strip()
    for _ in range(8):
        m = NUMBER_RE.match(expr)
        if m:
            return int(m.group(1), 0)
        for wrapper in WRAPPERS:
            w = wrapper.match(expr)
            if w:
                expr = w.group(1).strip()
                break
        else:
            return None
    return None


def read_defines(path):
    """(name, value) for every numeric #define, in header order, first definition of a name."""
    with open(path, encoding="latin-1") as f:
        text = strip_comments(f.read())
    seen = set()
    out = []
    for line in text.splitlines():
        m = DEFINE_RE.match(line)
        if not m:
            continue
        name, body = m.groups()
        if name in seen:
            continue
        value = parse_value(body)
        if value is None:
            continue
        seen.add(name)
        out.append((name, value))
    return out


def first_by_value(pairs):
    table = {}
    for name, value in pairs:
        table.setdefault(value, name)
    return sorted(table.items())


def generate(header):
    defines = read_defines(header)
    facilities = first_by_value(
        (n, v) for n, v in defines
        if n.startswith("FACILITY_") and n != "FACILITY_NT_BIT" and v in FACILITIES)
    errors = first_by_value(
        (n, v) for n, v in defines if n.startswith("ERROR_") and 0 <= v <= ERROR_MAX)
    hresults = first_by_value(
        (n, v & 0xFFFFFFFF) for n, v in defines
        if (n in HRESULT_SINGLES or HRESULT_FAMILY_RE.match(n)) and not RANGE_MARKER_RE.search(n))

    named = {v for v, _ in facilities}
    missing_facilities = [n for n in FACILITIES if n not in named]
    present_families = {f for f in HRESULT_FAMILIES
                        if any(name.startswith(f + "_E_") for _, name in hresults)}
    missing_families = [f + "_E_" for f in HRESULT_FAMILIES if f not in present_families]

    lines = [
        "// generated by scripts/gen_winerror.py \u2014 do not edit",
        "// Source: winerror.h of mingw-w64 (Debian package mingw-w64-common).",
        "// Blocks are sorted by value; define the block's macro before including this file.",
        "// %d facility names, %d system error names, %d HRESULT names." % (
            len(facilities), len(errors), len(hresults)),
        "// SDK facility numbers this header does not name: %s." % (
            ", ".join(str(n) for n in missing_facilities) or "none"),
        "// HRESULT families this header does not define: %s." % (
            ", ".join(missing_families) or "none"),
        "",
        "#ifdef ZQ_WIN_FACILITY",
    ]
    lines += ['ZQ_WIN_FACILITY(%d, "%s")' % (v, n) for v, n in facilities]
    lines += ["#endif", "", "#ifdef ZQ_WIN_ERROR"]
    lines += ['ZQ_WIN_ERROR(%d, "%s")' % (v, n) for v, n in errors]
    lines += ["#endif", "", "#ifdef ZQ_WIN_HRESULT"]
    lines += ['ZQ_WIN_HRESULT(0x%08X, "%s")' % (v, n) for v, n in hresults]
    lines += ["#endif", ""]
    return "\n".join(lines)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--header", default=DEFAULT_HEADER)
    parser.add_argument("--output", default=os.path.normpath(DEFAULT_OUTPUT))
    args = parser.parse_args(argv)
    text = generate(args.header)
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
