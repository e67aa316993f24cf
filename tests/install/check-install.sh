#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop needs: the programs, the
# converter and data beside them, a valid desktop entry, and the icon under hicolor.
#   check-install.sh BUILD_DIR
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/tarnwick bin/tarnwick-dump bin/tarnwick-scan bin/tarnwick-diff share/tarnwick/yago share/tarnwick/Plugins.json \
         share/tarnwick/images/yara.svg share/applications/tarnwick.desktop \
         share/icons/hicolor/scalable/apps/tarnwick.svg; do
  [ -e "$prefix/$f" ] || { echo "missing after install: $f" >&2; exit 1; }
done
desktop-file-validate "$prefix/share/applications/tarnwick.desktop"
# The installed program finds its resources next to itself.
out="$(TARNWICK_ROOT=/nonexistent TARNWICK_ENRICH_URL=http://127.0.0.1:9 "$prefix/bin/tarnwick-dump" --timeout 1 2>/dev/null || true)"
case "$out" in *'"rules"'*) ;; *) echo "installed tarnwick-dump printed no dump" >&2; exit 1 ;; esac
echo "install: ok"
