#!/bin/bash
# Installs Debian packages with apt (as root). A failed "apt-get update" (one
# mirror in the middle of a sync, say) is reported and the install goes on
# from the package lists this machine already has. A package that is not
# installed at the end is named, and the script fails.
# usage: scripts/install-packages.sh PACKAGE...
set -euo pipefail

# (grep reads all its input: with pipefail, "grep -q" could fail the pipe.)
installed() { dpkg -s "$1" 2>/dev/null | grep -x 'Status: .* installed' >/dev/null; }
in_lists() { apt-cache policy "$1" 2>/dev/null | grep 'Candidate: [^(]' >/dev/null; }

# The 32-bit packages need the i386 architecture.
case " $* " in *:i386\ *) dpkg --add-architecture i386 ;; esac
if ! apt-get update -qq; then
  echo "apt-get update failed; installing from the package lists already on this machine" >&2
fi

# apt installs nothing when one name is unknown, so those are left out.
unknown=() wanted=()
for p in "$@"; do
  if installed "$p" || in_lists "$p"; then wanted+=("$p"); else unknown+=("$p"); fi
done
if [ ${#wanted[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${wanted[@]}" >/dev/null || true
fi

failed=()
for p in "${wanted[@]}"; do installed "$p" || failed+=("$p"); done
[ ${#unknown[@]} -eq 0 ] || echo "cannot install ${unknown[*]}: not in this machine's package lists" >&2
[ ${#failed[@]} -eq 0 ] || echo "cannot install ${failed[*]}: apt-get install failed" >&2
[ ${#unknown[@]} -eq 0 ] && [ ${#failed[@]} -eq 0 ] || exit 1
