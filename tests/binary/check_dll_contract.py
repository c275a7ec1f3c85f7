#!/usr/bin/env python3
"""Checks the binary contract of the 32-bit lorvane.dll with objdump.

What a Windows host relies on, read from the built file itself: an i386
image with an entry point that imports only system DLLs and whose runtime
resets attaching threads to double precision; an export directory that names the module
lorvane, has ordinal base 1 and exports exactly the five functions under
their undecorated names at their fixed ordinals; and, since the functions
are __stdcall, every return of each exported function removes its own
arguments (ret $n with n the arguments' size in bytes).

Usage: check_dll_contract.py --objdump i686-w64-mingw32-objdump lorvane.dll
       check_dll_contract.py --objdump x86_64-w64-mingw32-objdump --x86-64 lorvane.dll
       check_dll_contract.py --objdump objdump --elf liblorvane.so
       check_dll_contract.py --objdump i686-w64-mingw32-objdump --host program.exe
Prints one line per difference and exits 1 if there is any. With --x86-64
the file is the 64-bit DLL, checked alike except for the stack clean-up
(x86-64 has one calling convention, the caller's). With --elf the
file is the 32-bit x86 Linux shared object, whose functions are __stdcall as
on Windows: only the stack clean-up is checked there (its export list is
checked by the test suite). With --host the file is a program linked with
the module's import library: it must import the five functions by their
undecorated names.

With --expect TEXT (repeatable) the check runs on a module that is known to
be faulty and succeeds only if it fails with a message containing each TEXT:
this is how the check itself is tested.
"""
import argparse
import re
import subprocess
import sys

from problem_report import report

MODULE_NAME = "lorvane"

# ordinal -> (name, argument bytes the callee removes)
# The module carries its compiler runtime: it may import only from the
# system's own DLLs.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll"}

EXPORT_TABLE = {
    1: ("cdfN", 8),
    2: ("BesselK1", 8),
    3: ("pdfNIG", 40),
    4: ("theIntegrand_BS_style", 40),
    5: ("NIG_Call_BS_style", 72),
}


def run(objdump, *args):
    return subprocess.run([objdump, *args], check=True, capture_output=True, text=True).stdout


def parse_private_headers(text):
    """Image base, entry point RVA and the export directory from objdump -p."""
    info = {"exports": {}, "eat": {}}
    for key, pattern in (
        ("image_base", r"^ImageBase\s+([0-9a-fA-F]+)"),
        ("entry_rva", r"^AddressOfEntryPoint\s+([0-9a-fA-F]+)"),
        ("ordinal_base", r"^Ordinal Base\s+(\d+)"),
        ("eat_count", r"^\s*Export Address Table\s+([0-9a-fA-F]+)$"),
        ("name_count", r"^\s*\[Name Pointer/Ordinal\] Table\s+([0-9a-fA-F]+)$"),
    ):
        m = re.search(pattern, text, re.M)
        if m:
            base = 10 if key == "ordinal_base" else 16
            info[key] = int(m.group(1), base)
    m = re.search(r"^Name\s+[0-9a-fA-F]+\s+(\S+)", text, re.M)
    if m:
        info["dll_name"] = m.group(1)

    # Export Address Table entries: "[   0] +base[   1] 14b0 Export RVA"
    for m in re.finditer(r"^\s*\[\s*(\d+)\]\s+\+base\[\s*(\d+)\]\s+([0-9a-fA-F]+)\s+(\w+) RVA", text, re.M):
        info["eat"][int(m.group(2))] = (int(m.group(3), 16), m.group(4))

    # Name table entries: "[   0] cdfN", the index being ordinal - base.
    section = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(section) == 2:
        for line in section[1].splitlines()[1:]:
            m = re.match(r"^\s*\[\s*(\d+)\]\s+(\S+)\s*$", line)
            if not m:
                break
            info["exports"][m.group(2)] = int(m.group(1)) + info.get("ordinal_base", 0)
    return info


def parse_functions(disassembly):
    """Maps each function's start address to (label, list of instructions)."""
    functions = {}
    current = None
    for line in disassembly.splitlines():
        m = re.match(r"^([0-9a-f]+) <([^>]+)>:$", line)
        if m:
            current = (m.group(2), [])
            functions[int(m.group(1), 16)] = current
            continue
        m = re.match(r"^\s*[0-9a-f]+:\s+(.*)$", line)
        if m and current is not None:
            current[1].append(m.group(1).strip())
    return functions


def check_returns(name, label, instructions, argument_bytes):
    """Every return of a __stdcall function removes its arguments."""
    returns = [i for i in instructions if re.match(r"^ret[lw]?\b", i)]
    expected = f"ret    ${argument_bytes:#x}"
    if not returns:
        return [f"{name} ({label}): no return instruction found"]
    return [f"{name} ({label}) returns with '{r}', expected '{expected}' "
            f"(the callee removes {argument_bytes} bytes of arguments)"
            for r in returns if re.sub(r"\s+", " ", r) != re.sub(r"\s+", " ", expected)]


def check_elf(objdump, shared_object):
    problems = []
    header = run(objdump, "-f", shared_object)
    if not re.search(r"^architecture: i386\b", header, re.M) or "elf32-i386" not in header:
        problems.append("not a 32-bit x86 ELF file: " + " ".join(header.split()[:8]))
    functions = {label: body for label, body in
                 parse_functions(run(objdump, "-d", "--no-show-raw-insn", shared_object)).values()}
    for name, argument_bytes in EXPORT_TABLE.values():
        if name not in functions:
            problems.append(f"{name}: no such function in {shared_object}")
        else:
            problems += check_returns(name, name, functions[name], argument_bytes)
    return problems


def check_host(objdump, host):
    """A program linked with the import library imports the five functions
    from lorvane.dll under their undecorated names, and nothing else."""
    text = run(objdump, "-p", host)
    section = re.split(r"^\s*DLL Name: ", text, flags=re.M)
    names = None
    for part in section[1:]:
        dll, _, rest = part.partition("\n")
        if dll.strip().lower() == MODULE_NAME + ".dll":
            names = set(re.findall(r"^\s*[0-9a-f]+\s+\d+\s+(\S+)\s*$", rest.split("\n\n")[0], re.M))
    if names is None:
        return [f"{host} imports nothing from {MODULE_NAME}.dll"]
    expected = {name for name, _ in EXPORT_TABLE.values()}
    problems = [f"{host} imports {n!r} from {MODULE_NAME}.dll, not one of its exports" for n in sorted(names - expected)]
    problems += [f"{host} does not import {n!r} from {MODULE_NAME}.dll" for n in sorted(expected - names)]
    return problems


def check(objdump, dll, x86_64=False):
    problems = []
    try:
        header = run(objdump, "-f", dll)
    except subprocess.CalledProcessError as e:
        return [f"{objdump} cannot read {dll} (not a PE image of its machine?): {e.stderr.strip()}"]
    if x86_64:
        if not re.search(r"^architecture: i386:x86-64\b", header, re.M) or "pei-x86-64" not in header:
            problems.append("machine is not x86-64 (PE32+): " + " ".join(header.split()[:8]))
    elif not re.search(r"^architecture: i386\b", header, re.M) or "pei-i386" not in header:
        problems.append("machine is not i386 (PE32): " + " ".join(header.split()[:8]))

    private_headers = run(objdump, "-p", dll)
    info = parse_private_headers(private_headers)
    for imported in re.findall(r"^\s*DLL Name: (\S+)", private_headers, re.M):
        if imported.lower() not in SYSTEM_DLLS:
            problems.append(f"imports {imported}, not a system DLL (link the runtime statically)")
    dll_name = info.get("dll_name", "")
    if re.sub(r"\.dll$", "", dll_name, flags=re.I) != MODULE_NAME:
        problems.append(f"export directory names the module {info.get('dll_name')!r}, expected {MODULE_NAME!r}")
    if info.get("ordinal_base") != 1:
        problems.append(f"ordinal base is {info.get('ordinal_base')}, expected 1")
    if info.get("eat_count") != len(EXPORT_TABLE):
        problems.append(f"export address table has {info.get('eat_count')} entries, expected {len(EXPORT_TABLE)}")
    if info.get("name_count") != len(EXPORT_TABLE):
        problems.append(f"{info.get('name_count')} exported names, expected {len(EXPORT_TABLE)}")

    expected_names = {name: ordinal for ordinal, (name, _) in EXPORT_TABLE.items()}
    for name, ordinal in sorted(info["exports"].items(), key=lambda item: item[1]):
        if name not in expected_names:
            problems.append(f"unexpected export {name!r} at ordinal {ordinal}")
        elif ordinal != expected_names[name]:
            problems.append(f"{name} is at ordinal {ordinal}, expected {expected_names[name]}")
    for name, ordinal in expected_names.items():
        if name not in info["exports"]:
            decorated = [n for n in info["exports"] if n.lstrip("_").split("@")[0] == name]
            hint = f" (exported as {decorated[0]!r}: decorated)" if decorated else ""
            problems.append(f"{name} is not exported by its undecorated name{hint}")

    image_base = info.get("image_base", 0)
    functions = parse_functions(run(objdump, "-d", "--no-show-raw-insn", dll))

    entry = info.get("entry_rva", 0)
    if entry == 0:
        problems.append("no entry point")
    elif image_base + entry not in functions:
        problems.append(f"entry point RVA {entry:#x} is not the start of a function")

    # The runtime resets the x87 unit of every thread that attaches with
    # _fpreset; a bare fninit there would put the host's threads at extended
    # precision instead of the Windows standard, double.
    for label, instructions in functions.values():
        if label in ("__fpreset", "_fpreset") and instructions and instructions[0].startswith("fninit"):
            problems.append(f"{label} is a bare fninit: threads attaching to the module would run at "
                            "extended precision (link CRT_fp8.o)")

    for ordinal, (name, argument_bytes) in EXPORT_TABLE.items():
        if ordinal not in info["eat"]:
            problems.append(f"ordinal {ordinal} ({name}) has no export address")
            continue
        rva, kind = info["eat"][ordinal]
        if kind != "Export":
            problems.append(f"ordinal {ordinal} ({name}) is a {kind} entry, expected code in the module")
            continue
        function = functions.get(image_base + rva)
        if function is None:
            problems.append(f"ordinal {ordinal} ({name}) does not point at the start of a function")
            continue
        label, instructions = function
        if not x86_64:  # x86-64 has one convention: the caller owns the stack
            problems += check_returns(name, label, instructions, argument_bytes)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--expect", action="append", default=[],
                        help="a fault the check must report (for testing the check)")
    parser.add_argument("--x86-64", action="store_true",
                        help="check the 64-bit DLL: everything but the stack clean-up")
    parser.add_argument("--elf", action="store_true", help="check a 32-bit x86 ELF shared object")
    parser.add_argument("--host", action="store_true",
                        help="check the imports of a program linked with the import library")
    parser.add_argument("dll")
    args = parser.parse_args()
    if args.elf:
        problems = check_elf(args.objdump, args.dll)
    elif args.host:
        problems = check_host(args.objdump, args.dll)
    else:
        problems = check(args.objdump, args.dll, x86_64=args.x86_64)
    status = report(problems, args.expect)
    if status is not None:
        return status
    if args.elf:
        print(f"{args.dll}: i386, every function removes its own arguments")
    elif args.host:
        print(f"{args.dll}: imports the five functions from {MODULE_NAME}.dll by their undecorated names")
    else:
        print(f"{args.dll}: {'x86-64' if args.x86_64 else 'i386'}, module {MODULE_NAME}, ordinals 1-5 "
              f"as the export table, undecorated names{'' if args.x86_64 else ', callee clean-up'}, "
              "imports only system DLLs, entry point present")
    return 0


if __name__ == "__main__":
    sys.exit(main())
