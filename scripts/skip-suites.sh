#!/usr/bin/env bash
# skip-suites.sh <suites> <package> <state directory>
# Stands in CTest for suites that need an optional package this machine lacks: says why they
# are skipped, with apt's reason as setup recorded it, and ends with CTest's skip status.
set -euo pipefail
suites="$1"
package="$2"
reason_file="$3/$package.skipped"
if [ -s "$reason_file" ]; then
    echo "skipped: $suites: $package could not be installed: $(head -1 "$reason_file")"
else
    echo "skipped: $suites: $package is not installed (make test installs it)"
fi
exit 77
