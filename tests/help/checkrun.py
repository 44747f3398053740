"""Run named checks one after another and count what passed and failed.

Shared by check_chm.py and check_help_sources.py: each check prints one
line, "PASS title[: detail]" or "FAIL title: why".
"""

from __future__ import annotations

from typing import Callable


class CheckFailed(Exception):
    """One check failed; the message says why."""


class CheckRunner:
    def __init__(self) -> None:
        self.passed = 0
        self.failed = 0

    def run(self, title: str, check: Callable[[], str]) -> None:
        try:
            detail = check()
        except CheckFailed as exc:
            self.failed += 1
            print("FAIL %s: %s" % (title, exc))
        except Exception as exc:  # a broken file must not end the run
            self.failed += 1
            print("FAIL %s: %s: %s" % (title, type(exc).__name__, exc))
        else:
            self.passed += 1
            print("PASS %s%s" % (title, ": " + detail if detail else ""))

    def summary(self, program: str) -> int:
        """Print the summary line; return the exit code (1 on a failure)."""
        print("%s: %d passed, %d failed" % (program, self.passed,
                                            self.failed))
        return 1 if self.failed else 0
