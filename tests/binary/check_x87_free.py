#!/usr/bin/env python3
"""Checks from the compiled objects that the library rounds only in SSE2.

On x86 targets whose C math library works on the x87 unit, a result must not
depend on the x87 precision control of the calling thread. That holds when

  1. the library's own code does no rounding x87 operation: the only x87
     instructions allowed are the exact ones the 32-bit calling convention
     needs to pass doubles through st(0) (loads, stores, exchanges, sign
     changes, comparisons) and the control-word accesses of the precision
     guard; and
  2. every C math function the library calls with an inexact result is one
     of the guarded functions, which run at a fixed precision whatever the
     caller's control word. Exact functions (fabs, floor, ldexp, ...) are
     independent of the precision control and may be called directly.

Usage: check_x87_free.py --objdump OBJDUMP --nm NM --guarded "exp;log"
                         [--leading-underscore] object...
Prints one line per offending instruction or call and exits 1 if any. With
--expect TEXT (repeatable) it checks known-faulty objects instead and
succeeds only if each TEXT appears among the reported faults.
"""
import argparse
import re
import subprocess
import sys

from problem_report import report

# x87 instructions that never round a value to the precision control.
EXACT_X87 = {
    "fld", "flds", "fldl", "fldt", "fld1", "fldz",
    "fst", "fsts", "fstl", "fstp", "fstps", "fstpl", "fstpt",
    "fxch", "fchs", "fabs", "ffree", "fincstp", "fdecstp",
    "fcom", "fcoms", "fcoml", "fcomp", "fcomps", "fcompl", "fcompp", "fcomi", "fcomip",
    "fucom", "fucomp", "fucompp", "fucomi", "fucomip", "ftst", "fxam",
    "fnstcw", "fstcw", "fldcw", "fnstsw", "fstsw", "fwait", "fnclex", "fclex",
}

# C math functions whose results are exact (or pure bit operations), so the
# x87 precision control cannot change them.
EXACT_MATH = {
    "fabs", "floor", "ceil", "trunc", "round", "lround", "llround", "rint", "lrint", "llrint",
    "nearbyint", "copysign", "ldexp", "scalbn", "scalbln", "frexp", "modf", "fmax", "fmin",
    "fmod", "remainder", "remquo", "ilogb", "logb", "nextafter", "nexttoward", "nan",
    "isnan", "isinf", "finite", "signbit",
}

# Every other function of <math.h> (double, float and long double forms).
INEXACT_MATH_BASE = {
    "acos", "asin", "atan", "atan2", "cos", "sin", "tan", "sincos", "acosh", "asinh", "atanh",
    "cosh", "sinh", "tanh", "exp", "exp2", "exp10", "expm1", "log", "log10", "log1p", "log2",
    "pow", "sqrt", "cbrt", "hypot", "erf", "erfc", "lgamma", "tgamma", "fdim", "fma",
}


def math_function(symbol):
    """The base name if symbol is a <math.h> function (any of its three forms), else None."""
    candidates = [symbol] + [symbol[:-1] for suffix in ("f", "l") if symbol.endswith(suffix)]
    for name in candidates:
        if name in INEXACT_MATH_BASE or name in EXACT_MATH:
            return name
    return None


def x87_problems(objdump, obj):
    problems = []
    text = subprocess.run([objdump, "-d", "--no-show-raw-insn", obj], check=True,
                          capture_output=True, text=True).stdout
    function = "?"
    for line in text.splitlines():
        m = re.match(r"^[0-9a-f]+ <([^>]+)>:$", line)
        if m:
            function = m.group(1)
            continue
        m = re.match(r"^\s*[0-9a-f]+:\s+(\S+)(.*)$", line)
        if not m:
            continue
        mnemonic = m.group(1)
        if mnemonic.startswith("f") and mnemonic not in EXACT_X87:
            problems.append(f"{obj}: {function}: x87 arithmetic '{mnemonic}{m.group(2).rstrip()}' "
                            "rounds to the caller's precision control")
    return problems


def call_problems(nm, obj, guarded, leading_underscore):
    problems = []
    text = subprocess.run([nm, "-u", obj], check=True, capture_output=True, text=True).stdout
    for line in text.splitlines():
        symbol = line.split()[-1] if line.split() else ""
        symbol = re.sub(r"^__imp_", "", symbol)
        if leading_underscore and symbol.startswith("_"):
            symbol = symbol[1:]
        base = math_function(symbol)
        if base is None or base in EXACT_MATH or symbol in guarded:
            continue
        problems.append(f"{obj}: calls {symbol}, a C math function that is not guarded "
                        f"(guarded: {', '.join(sorted(guarded))}); avoid it, or guard it in "
                        "cmake/X87MathPrecision.cmake and module/x87_math_precision.cpp")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--nm", required=True)
    parser.add_argument("--guarded", required=True, help="guarded functions, ';' or ',' separated")
    parser.add_argument("--leading-underscore", action="store_true",
                        help="C symbols carry a leading underscore (32-bit Windows)")
    parser.add_argument("--expect", action="append", default=[],
                        help="a fault the check must report (for testing the check)")
    parser.add_argument("objects", nargs="+")
    args = parser.parse_args()
    guarded = {g for g in re.split(r"[;,\s]+", args.guarded) if g}
    # CMake passes a list of objects as one ';'-separated argument.
    objects = [o for arg in args.objects for o in arg.split(";") if o]
    problems = []
    for obj in objects:
        problems += x87_problems(args.objdump, obj)
        problems += call_problems(args.nm, obj, guarded, args.leading_underscore)
    status = report(problems, args.expect)
    if status is not None:
        return status
    print(f"{len(objects)} objects: no rounding x87 instruction; "
          f"inexact C math calls only to {', '.join(sorted(guarded))}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
