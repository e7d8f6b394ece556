#!/usr/bin/env bash
# Refreshes plan-a.png and plan-b.png from the two sample drawings through the
# stand-in engine, as Twinview would render them for a comparison (one common
# view window, image size 800). Usage: make-png.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/default}"
tool="$build/compare/bin/twinview-export-pair"
[ -x "$tool" ] || { echo "make-png.sh: build twinview-export-pair first ($tool)" >&2; exit 1; }
dbus-run-session -- "$tool" "$here/plan-a.vkd" "$here/plan-b.vkd" \
    "$here/plan-a.png" "$here/plan-b.png" 800
