# What sign.sh and verify.sh both read in a release that make dist wrote, for
# them to source: the zip in a release folder, the build record beside a zip,
# a field of that record, and whether a file is the one whose SHA-256 it holds.

# release_zip FOLDER: prints the folder's one receiver-*-win32.zip; fails when
# it holds none or more than one.
release_zip() {
    local zips=("$1"/receiver-*-win32.zip)
    [ ${#zips[@]} = 1 ] && [ -f "${zips[0]}" ] && echo "${zips[0]}"
}
# release_record ZIP: the build record's path.
release_record() { echo "${1%.zip}.buildinfo"; }
# field NAME: the first value of NAME: in the build record $record.
field() { sed -n "s/^$1: //p" "$record" | head -n 1; }
# recorded FILE NAME: FILE's SHA-256 is the one $record holds for NAME.
recorded() { grep -qx "sha256: $(sha256sum <"$1" | cut -d' ' -f1) $2" "$record"; }
