#!/usr/bin/env python3
"""Generates framework/generated/WinErrorNomes.inc from Debian's transcriptions of the Windows SDK.

The failure trace names facilities, system error codes and HRESULTs with the Windows SDK's
symbolic names. Those names come from SDK headers that Debian packages install, never from a
hand-typed table. No single package has them all, so three files are read, in this order:
  1. winerror.h of mingw-w64 (package mingw-w64-common): the base of every block;
  2. olectl.h of mingw-w64 (same package): the CTL_E_ family, which winerror.h leaves out;
  3. winerror.rs of the winapi crate (package librust-winapi-dev): a full transcription of the
     SDK's winerror.h, for the facilities, error codes and HRESULTs mingw-w64 does not name.

Usage:
  python3 scripts/gen_winerror.py [--mingw DIR] [--winapi winerror.rs] [--output file.inc]

The output is an X-macro list in three blocks, each sorted by value and emitted only when the
including file defines the block's macro:
  ZQ_WIN_FACILITY(number, "FACILITY_...")  facilities 0-4, 7-26, 31-42, 48-58, 60, 61, 80-84
  ZQ_WIN_ERROR(number, "ERROR_...")        system error codes 0..3000
  ZQ_WIN_HRESULT(0xXXXXXXXX, "NAME")       S_OK, E_UNEXPECTED, E_NOTIMPL, E_NOINTERFACE,
                                           E_POINTER, E_ABORT, E_FAIL and the CO_E_, RPC_E_,
                                           DISP_E_, TYPE_E_, STG_E_, DRAGDROP_E_, CTL_E_,
                                           CERT_E_, TRUST_E_, DIGSIG_E_, PERSIST_E_ families
When a value has several names, the name the trace itself uses wins (FACILITY_MBN for 84, not
FACILITY_POWERSHELL); otherwise the first file above that names the value wins, and within a
file its first definition. Range markers (..._FIRST, ..._LAST) and aliases of another name are
not names of a result. The output does not depend on where the files were read from, so a check
can compare it byte for byte with the committed file.

Exits with status 77 when a source file is missing, naming the package that installs it.
"""

import argparse
import glob
import os
import re
import sys

DEFAULT_MINGW = "/usr/share/mingw-w64/include"
WINAPI_GLOB = "/usr/share/cargo/registry/winapi-0.3.*/src/shared/winerror.rs"
DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir,
                              "framework", "generated", "WinErrorNomes.inc")
EXIT_MISSING = 77

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

# Names the trace's own description uses; they beat any other name of the same value.
TRACE_NAMES = {"FACILITY_NULL", "FACILITY_RPC", "FACILITY_WIN32", "FACILITY_MBN",
               "ERROR_SUCCESS"} | HRESULT_SINGLES

DEFINE_RE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)\s+(.+?)\s*$")
MACRO_RE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)\(([^)]*)\)\s+(.+?)\s*$")
CALL_RE = re.compile(r"^([A-Za-z_]\w*)\s*\((.*)\)$")
RUST_CONST_RE = re.compile(r"\bpub\s+const\s+([A-Za-z_]\w*)\s*:\s*\w+\s*=\s*([^;]+);")
# The value forms the headers use for plain numbers: 5, 5L, 0x5L, __MSABI_LONG(5),
# _HRESULT_TYPEDEF_(0x80004005L), ((HRESULT)0x00000000L), with optional outer parentheses.
NUMBER_RE = re.compile(r"^(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*$")
WRAPPERS = [re.compile(r"^__MSABI_LONG\((.*)\)$"),
            re.compile(r"^_HRESULT_TYPEDEF_\((.*)\)$"),
            re.compile(r"^\(\s*\(\s*HRESULT\s*\)\s*(.*)\)$"),
            re.compile(r"^\(\s*HRESULT\s*\)\s*(.*)$"),
            re.compile(r"^\((.*)\)$")]


class Source:
    def __init__(self, label, package, path, reader):
        self.label, self.package, self.path, self.reader = label, package, path, reader


def sources(mingw_dir, winapi_path):
    return [
        Source("winerror.h of mingw-w64", "mingw-w64-common",
               os.path.join(mingw_dir, "winerror.h"), read_c_defines),
        Source("olectl.h of mingw-w64", "mingw-w64-common",
               os.path.join(mingw_dir, "olectl.h"), read_c_defines),
        Source("winerror.rs of the winapi crate", "librust-winapi-dev", winapi_path,
               read_rust_consts),
    ]


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


def evaluate(expr, symbols, macros, depth=0):
    """parse_value, plus MAKE_SCODE/MAKE_HRESULT and one-line function-like macros over them
    (olectl.h: CTL_E_OVERFLOW is STD_CTL_SCODE(6)). A bare name stays unresolved: an alias is
    not a name of its own."""
    value = parse_value(expr)
    if value is not None or depth > 8:
        return value
    call = CALL_RE.match(expr.strip())
    if not call:
        return None
    name, args = call.group(1), [a.strip() for a in call.group(2).split(",")]
    if name in ("MAKE_SCODE", "MAKE_HRESULT") and len(args) == 3:
        parts = [symbols.get(a, evaluate(a, symbols, macros, depth + 1)) for a in args]
        if None in parts:
            return None
        sev, fac, code = parts
        return ((sev & 1) << 31) | ((fac & 0x1FFF) << 16) | (code & 0xFFFF)
    if name in macros and len(macros[name][0]) == len(args):
        params, body = macros[name]
        for param, arg in zip(params, args):
            body = re.sub(r"\b%s\b" % re.escape(param), arg, body)
        return evaluate(body, symbols, macros, depth + 1)
    return None


def read_c_defines(path, symbols):
    """(name, value) for every numeric #define, in header order, first definition of a name."""
    with open(path, encoding="latin-1") as f:
        lines = strip_comments(f.read()).splitlines()
    macros = {}
    for line in lines:
        m = MACRO_RE.match(line)
        if m:
            macros.setdefault(m.group(1), ([p.strip() for p in m.group(2).split(",")],
                                           m.group(3)))
    seen = set()
    out = []
    for line in lines:
        m = DEFINE_RE.match(line)
        if not m or MACRO_RE.match(line):
            continue
        name, body = m.groups()
        if name in seen:
            continue
        value = evaluate(body, symbols, macros)
        if value is None:
            continue
        seen.add(name)
        out.append((name, value))
    return out


def read_rust_consts(path, symbols):
    """(name, value) for every `pub const` with a plain number, in file order."""
    del symbols  # the crate writes every value out
    with open(path, encoding="utf-8") as f:
        text = strip_comments(f.read())
    seen = set()
    out = []
    for m in RUST_CONST_RE.finditer(text):
        name, body = m.group(1), m.group(2).strip()
        value = parse_value(body)
        if value is None or name in seen:
            continue
        seen.add(name)
        out.append((name, value))
    return out


def choose(candidates):
    """{value: (name, source index)} from (name, value, source index) in precedence order."""
    table = {}
    for name, value, src in candidates:
        held = table.get(value)
        if held is None or (name in TRACE_NAMES and held[0] not in TRACE_NAMES):
            table[value] = (name, src)
    return table


def generate(srcs):
    symbols = {}
    defines = []  # (name, value, source index), sources in precedence order
    for i, src in enumerate(srcs):
        pairs = src.reader(src.path, symbols)
        for name, value in pairs:
            symbols.setdefault(name, value)
        defines += [(n, v, i) for n, v in pairs]

    facilities = choose((n, v, i) for n, v, i in defines
                        if n.startswith("FACILITY_") and n != "FACILITY_NT_BIT"
                        and v in FACILITIES)
    errors = choose((n, v, i) for n, v, i in defines
                    if n.startswith("ERROR_") and 0 <= v <= ERROR_MAX)
    hresults = choose((n, v & 0xFFFFFFFF, i) for n, v, i in defines
                      if (n in HRESULT_SINGLES or HRESULT_FAMILY_RE.match(n))
                      and not RANGE_MARKER_RE.search(n))

    missing_facilities = [n for n in FACILITIES if n not in facilities]
    present_families = {f for f in HRESULT_FAMILIES
                        if any(name.startswith(f + "_E_") for name, _ in hresults.values())}
    missing_families = [f + "_E_" for f in HRESULT_FAMILIES if f not in present_families]

    def origin(table):
        counts = [sum(1 for _, s in table.values() if s == i) for i in range(len(srcs))]
        return ", ".join("%d from %s" % (c, srcs[i].label) for i, c in enumerate(counts) if c)

    lines = ["// generated by scripts/gen_winerror.py \u2014 do not edit",
             "// Sources, in order of precedence:"]
    lines += ["//   %d. %s (Debian package %s)" % (i + 1, s.label, s.package)
              for i, s in enumerate(srcs)]
    lines += [
        "// A value with several names takes the one the failure trace itself uses (FACILITY_MBN",
        "// for 84), otherwise the first source that names it, and there its first definition.",
        "// Blocks are sorted by value; define the block's macro before including this file.",
        "// Facilities: %s." % origin(facilities),
        "// System error names: %s." % origin(errors),
        "// HRESULT names: %s." % origin(hresults),
        "// SDK facility numbers no source names: %s." % (
            ", ".join(str(n) for n in missing_facilities) or "none"),
        "// HRESULT families no source defines: %s." % (", ".join(missing_families) or "none"),
        "",
        "#ifdef ZQ_WIN_FACILITY",
    ]
    lines += ['ZQ_WIN_FACILITY(%d, "%s")' % (v, facilities[v][0]) for v in sorted(facilities)]
    lines += ["#endif", "", "#ifdef ZQ_WIN_ERROR"]
    lines += ['ZQ_WIN_ERROR(%d, "%s")' % (v, errors[v][0]) for v in sorted(errors)]
    lines += ["#endif", "", "#ifdef ZQ_WIN_HRESULT"]
    lines += ['ZQ_WIN_HRESULT(0x%08X, "%s")' % (v, hresults[v][0]) for v in sorted(hresults)]
    lines += ["#endif", ""]
    return "\n".join(lines)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--mingw", default=DEFAULT_MINGW,
                        help="mingw-w64's include directory (winerror.h, olectl.h)")
    parser.add_argument("--winapi", help="the winapi crate's src/shared/winerror.rs")
    parser.add_argument("--output", default=os.path.normpath(DEFAULT_OUTPUT))
    args = parser.parse_args(argv)
    winapi = args.winapi or (sorted(glob.glob(WINAPI_GLOB)) or [WINAPI_GLOB])[-1]
    srcs = sources(args.mingw, winapi)
    missing = [s for s in srcs if not os.path.isfile(s.path)]
    if missing:
        for s in missing:
            print("missing %s: install the Debian package %s" % (s.path, s.package))
        return EXIT_MISSING
    text = generate(srcs)
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
