#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are missing.
# Idempotent: when every package is present it only checks and returns.
# FORCE_APT_UPDATE=1 refreshes the package lists even then (new sources).
#
#   install-packages.sh <caller> <package>...
set -euo pipefail

caller=$1
shift
missing=()
for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ] && [ "${FORCE_APT_UPDATE:-0}" != 1 ]; then
    exit 0
fi

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
    SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
    echo "$caller: installing ${missing[*]}"
    "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
