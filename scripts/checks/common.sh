# The pattern of the checks, for them to source: each failure is one line
# "FAIL: ..." and the check goes on to find the rest; at the end, one line says
# what held, or the status is non-zero.
status=0
fail() {
    echo "FAIL: $*"
    status=1
}
# passed MESSAGE: says MESSAGE when nothing failed, and exits with the status.
passed() {
    [ $status = 0 ] && echo "$*"
    exit $status
}
