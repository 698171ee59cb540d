#!/usr/bin/env bash
# Makes Debian's non-free component reachable for apt, where RAR for Linux
# (`rar`, `unrar`) lives. The user's own source files are left as they are:
# the component is added in a file of its own,
# /etc/apt/sources.list.d/tessaro-non-free.sources, with the same archives,
# suites and Signed-By keys as the entries already configured for the main
# component. Prints one line when it adds anything; exit status 0 when
# non-free is (now) configured, 1 when there is nothing to add it to.
#
#   enable-nonfree.sh [sources folder]   (default: /etc/apt; for the tests)
set -euo pipefail

apt_dir="${1:-/etc/apt}"
target="$apt_dir/sources.list.d/tessaro-non-free.sources"

# deb822 stanzas: every enabled "deb" stanza that carries main but not
# non-free, as one record per stanza: URIs|Suites|Signed-By.
deb822_entries() {
    local file
    for file in "$apt_dir"/sources.list.d/*.sources; do
        [ -f "$file" ] && [ "$file" != "$target" ] || continue
        awk -v RS='' -F'\n' '{
            types = ""; uris = ""; suites = ""; comps = ""; key = ""; enabled = "yes"
            for (i = 1; i <= NF; i++) {
                line = $i
                if (line ~ /^#/) continue
                split(line, kv, /:[ \t]*/)
                name = tolower(kv[1]); value = substr(line, length(kv[1]) + 2)
                sub(/^[ \t]+/, "", value)
                if (name == "types") types = value
                else if (name == "uris") uris = value
                else if (name == "suites") suites = value
                else if (name == "components") comps = " " value " "
                else if (name == "signed-by") key = value
                else if (name == "enabled") enabled = tolower(value)
            }
            if (enabled != "no" && (" " types " ") ~ / deb / && comps ~ / main / && comps !~ / non-free /)
                print uris "|" suites "|" key
        }' "$file"
    done
}

# One-line entries: "deb [options] URI suite main ..." without non-free.
one_line_entries() {
    local file
    for file in "$apt_dir/sources.list" "$apt_dir"/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" && / main( |$)/ && !/ non-free( |$)/ {
            key = ""; i = 2
            if ($2 ~ /^\[/) {
                opts = $0; sub(/^deb[ \t]+\[/, "", opts); sub(/\].*/, "", opts)
                n = split(opts, o, /[ \t]+/)
                for (j = 1; j <= n; j++) if (o[j] ~ /^signed-by=/) { key = o[j]; sub(/^signed-by=/, "", key) }
                while ($i !~ /\]$/) i++
                i++
            }
            print $i "|" $(i + 1) "|" key
        }' "$file"
    done
}

already_configured() {
    grep -rqsE '^[^#]*(Components:.*[[:space:]]non-free([[:space:]]|$)|^deb[[:space:]].*[[:space:]]non-free([[:space:]]|$))' \
        "$apt_dir/sources.list" "$apt_dir"/sources.list.d/ 2>/dev/null
}

if already_configured; then
    exit 0
fi

mapfile -t entries < <({ deb822_entries; one_line_entries; } | awk '!seen[$0]++')
if [ ${#entries[@]} -eq 0 ]; then
    echo "enable-nonfree: no Debian entry with the main component in $apt_dir; non-free not added" >&2
    exit 1
fi

{
    echo "# Added by Tessaro's scripts/enable-nonfree.sh: RAR for Linux is in non-free."
    for entry in "${entries[@]}"; do
        IFS='|' read -r uris suites key <<<"$entry"
        echo
        echo "Types: deb"
        echo "URIs: $uris"
        echo "Suites: $suites"
        echo "Components: non-free"
        [ -z "$key" ] || echo "Signed-By: $key"
    done
} >"$target.new"
mv "$target.new" "$target"
echo "enable-nonfree: added Debian's non-free component for the configured suites in $target"
