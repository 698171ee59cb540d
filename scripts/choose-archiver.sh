# Which archiver `make run` and `make demo` give Tessaro; sourced by both.
#
#   TESSARO_RAR   the real archiver (default: rar on PATH; empty: none)

# The archiver to name: RAR for Linux when there is one, else the stand-in
# of the build folder bin (argument 1).
choose_archiver() {
    local rar=${TESSARO_RAR-$(command -v rar || true)}
    if [ -n "$rar" ] && [ -x "$rar" ]; then
        echo "$rar"
    else
        echo "$1/rar-standin"
    fi
}

# One line that says what the archiver (argument 1) is.
describe_archiver() {
    case "$1" in
    "$2/rar-standin") echo "archiver: the stand-in archiver $1 (no RAR for Linux on this machine)" ;;
    "") echo "archiver: none named yet; Tessaro looks for RAR at start-up" ;;
    *) echo "archiver: $1" ;;
    esac
}
