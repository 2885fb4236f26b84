# Sourced by the shell tests: `needs_root <what>` ends the test as skipped (exit 77, CTest's
# SKIP_RETURN_CODE) saying "<what> needs root", unless it runs as root.
needs_root() {
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: $* needs root"; exit 77; }
}
