#!/usr/bin/env bash
# Stage: the setup program end to end under Wine and Xvfb (six scenarios).
# scripts/test runs it after the unit tests; the scenarios use prefixes of
# their own, so the shared WINEPREFIX is left alone.
set -euo pipefail
exec "$(dirname "$0")/../e2e/run_scenarios.sh"
