# Shared by the scripts that run the built program: its path, a temporary
# folder removed at exit, and the count of failures.
set -u
prog="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echecs=0

echec() {
    echo "ECHEC: $*"
    echecs=$((echecs + 1))
}
