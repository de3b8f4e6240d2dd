#!/usr/bin/env bash
# Whether the osslsigncode on PATH can sign a release and check a signed one:
# that needs 2.9 or later (2.5, Debian 12's own, writes detached signatures in
# another format, which 2.9 cannot attach, and signs the same input to other
# bytes). Prints the version found ("none" when there is none); exit status 0
# when it will do, 1 when not.
set -uo pipefail
minimum=2.9
version=$(osslsigncode --version 2>/dev/null | sed -n '1s/^osslsigncode \([0-9][0-9.]*\).*/\1/p')
echo "${version:-none}"
[ -n "$version" ] && printf '%s\n' "$minimum" "$version" | sort -V -C
