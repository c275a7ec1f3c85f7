"""Reporting the problems a binary checker found.

A checker either checks a good binary (no problem expected) or, with
--expect, a deliberately faulty one, where every expected message must be
among the problems found: that proves the checker itself notices each fault.
"""


def report(problems, expected):
    """Print the problems; return the exit status, or None when the binary
    passed and the caller should print its success line."""
    for p in problems:
        print("FAIL:", p)
    if expected:
        missed = [e for e in expected if not any(e in p for p in problems)]
        for e in missed:
            print("NOT REPORTED:", e)
        return 1 if missed else 0
    return 1 if problems else None
