#!/usr/bin/env bash
# `make mutants`: plants each fault listed in scripts/mutants/faults.txt in turn, builds
# and runs the suites named for it, puts the file back and reports the fault as
# caught (a suite failed) or missed. Arguments pick faults by number. Every
# fault is checked to apply before anything runs; the changed file is restored
# on any exit, and a run killed outright is undone by the next one. Non-zero
# when a fault is missed, does not apply or does not build.
set -u
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
list=scripts/mutants/faults.txt
work=build/mutants
saved=$work/original # the changed file's own bytes, and its name in $saved.path
mkdir -p "$work"

restore() {
  if [ -f "$saved.path" ]; then
    cat "$saved" >"$(cat "$saved.path")" && rm -f "$saved" "$saved.path"
  fi
}
restore
trap restore EXIT
trap 'exit 130' INT TERM HUP PIPE

# The faults, one field list each: name, file, after, line, into, tests.
names=() files=() afters=() lines=() intos=() tests=()
add_fault() {
  [ -n "$name" ] || return 0
  names+=("$name") files+=("$file") afters+=("$after") lines+=("$line") intos+=("$into")
  tests+=("$suites")
  name='' file='' after='' line='' into='' suites=''
}
name='' file='' after='' line='' into='' suites=''
while IFS= read -r row || [ -n "$row" ]; do
  value=$(sed -E 's/^[a-z]+:[[:space:]]*//' <<<"$row")
  case $row in
  fault:*) add_fault; name=$value ;;
  file:*) file=$value ;;
  after:*) after=$value ;;
  line:*) line=$value ;;
  into:*) into=$value ;;
  tests:*) suites=$value ;;
  esac
done <"$list"
add_fault

# The number of the line to change in a fault's file, or a complaint and 1.
locate() {
  M_AFTER=$2 M_LINE=$3 awk '
    { t = $0; sub(/^[ \t]+/, "", t) }
    ENVIRON["M_AFTER"] != "" && !armed && t == ENVIRON["M_AFTER"] { armed = 1; anchors++; next }
    ENVIRON["M_AFTER"] != "" && t == ENVIRON["M_AFTER"] { anchors++ }
    (ENVIRON["M_AFTER"] == "" || armed) && t == ENVIRON["M_LINE"] && !first { first = NR; hits++; next }
    ENVIRON["M_AFTER"] == "" && t == ENVIRON["M_LINE"] { hits++ }
    END {
      if (ENVIRON["M_AFTER"] != "" && anchors != 1) { print "the after: line is found " anchors + 0 " times" > "/dev/stderr"; exit 1 }
      if (hits != 1) { print "the line is found " hits + 0 " times" (ENVIRON["M_AFTER"] != "" ? " after it" : "") > "/dev/stderr"; exit 1 }
      print first
    }' "$1"
}

picked=("$@")
[ ${#picked[@]} -gt 0 ] || picked=($(seq 1 ${#names[@]}))
bad=0
for n in "${picked[@]}"; do
  i=$((n - 1))
  if [ "$i" -lt 0 ] || [ "$i" -ge ${#names[@]} ]; then
    echo "mutants: there is no fault $n" >&2
    bad=1
  elif ! why=$(locate "${files[$i]}" "${afters[$i]}" "${lines[$i]}" 2>&1 >/dev/null); then
    echo "mutants: fault $n (${names[$i]}) no longer applies to ${files[$i]}: $why" >&2
    bad=1
  fi
done
[ $bad -eq 0 ] || exit 2

. scripts/wine/env.sh
# Where this kernel runs no i386 programs, a win32: suite runs on the 64-bit
# twin (win64:) and a guest: suite in the emulated guest; where it does, both
# are the 32-bit build's suites run here.
scripts/wine/runs-i386.sh
case $? in
0) i386=yes ;;
1) i386=no ;;
*) exit 2 ;;
esac
# The preset a suite's faults are built in, and how its ctest is run.
preset_of() {
  case $1 in
  win32) [ $i386 = yes ] && echo win32 || echo win64 ;;
  guest) echo win32 ;;
  *) echo "$1" ;;
  esac
}
in_guest() { [ "$1" = guest ] && [ $i386 = no ]; }
# The guest is made before any fault is planted: a guest that cannot be made
# must not pass for a fault caught.
if [ $i386 = no ]; then
  for n in "${picked[@]}"; do
    if [[ " ${tests[$((n - 1))]}" == *" guest:"* ]]; then
      scripts/guest/image.sh >"$work/guest-image.log" 2>&1 || {
        echo "mutants: the emulated guest could not be made: $(tail -n 3 "$work/guest-image.log")" >&2
        exit 2
      }
      break
    fi
  done
fi
# Every prefix's server is stopped: a failed test can leave a Trainer up, and
# none may outlive its fault.
stop_wine() {
  local arch
  for arch in win32 win64; do
    wine_arch $arch
    wineserver -k >/dev/null 2>&1
  done
}

built=() # the preset:target pairs built with a fault in, rebuilt at the end
# Builds a suite and runs it; non-zero when it fails (or does not build: 2; the
# guest ran past its time or ended without the suite's status: 3).
run_suite() {
  # preset:suite, or preset:suite:target when the suite is a ctest of another target.
  local kind=${1%%:*} suite=${1#*:} log=$2
  local target=${suite#*:} preset
  preset=$(preset_of "$kind")
  suite=${suite%%:*}
  built+=("$preset:$target")
  cmake --build --preset "$preset" -j2 --target "$target" >>"$log" 2>&1 || return 2
  if [ "$preset" = fuzz ]; then
    # As `make test` runs it: 10 s from the kept corpus, new inputs kept aside.
    local kept=()
    [ -d "fuzz/corpus/$target" ] && kept=("fuzz/corpus/$target")
    rm -rf "$work/corpus" && mkdir -p "$work/corpus"
    "build/fuzz/fuzz/$target" -max_total_time=10 -timeout=10 -artifact_prefix="${log%.log}-" \
      "$work/corpus" "${kept[@]}" >>"$log" 2>&1
  elif in_guest "$kind"; then
    scripts/guest/run.sh -- ctest --test-dir "build/$preset" --no-tests=error -R "^$suite\$" >>"$log" 2>&1
    case $? in 0) ;; 124 | 125) return 3 ;; *) return 1 ;; esac
  else
    ctest --preset "$preset" --no-tests=error -R "^$suite\$" >>"$log" 2>&1
  fi
}

missed=() broken=() caught=0
for n in "${picked[@]}"; do
  i=$((n - 1)) file=${files[$i]} log=$work/fault-$n.log
  : >"$log"
  cp "$file" "$saved" && echo "$file" >"$saved.path"
  before=$(sha256sum <"$file")
  at=$(locate "$file" "${afters[$i]}" "${lines[$i]}")
  M_AT=$at M_INTO=${intos[$i]} awk 'NR == ENVIRON["M_AT"] { match($0, /^[ \t]*/); $0 = substr($0, 1, RLENGTH) ENVIRON["M_INTO"] } { print }' \
    "$saved" >"$file"
  result=""
  for suite in ${tests[$i]}; do
    start=$SECONDS
    run_suite "$suite" "$log"
    case $? in
    0) result+=" $suite passed ($((SECONDS - start)) s);" ;;
    2) result+=" $suite does not build;" ;;
    3) result+=" $suite did not run (the guest failed);" ;;
    *) result+=" $suite failed ($((SECONDS - start)) s);" ;;
    esac
  done
  restore
  if [ "$(sha256sum <"$file")" != "$before" ]; then
    echo "mutants: $file could not be put back; its original is in $saved" >&2
    exit 3
  fi
  [[ ${tests[$i]} == *win* ]] && stop_wine
  if [[ $result == *"does not build"* ]]; then
    status="DOES NOT BUILD" broken+=("$n")
  elif [[ $result == *"did not run"* ]]; then
    status="NOT RUN" broken+=("$n")
  elif [[ $result == *failed* ]]; then
    status=caught caught=$((caught + 1))
  else
    status=MISSED missed+=("$n")
  fi
  printf '%2d %-14s %s:%s\n' "$n" "$status" "${names[$i]}" "${result%;}"
done

if [ ${#built[@]} -gt 0 ]; then
  echo "rebuilding what was built with a fault in"
  for pair in $(printf '%s\n' "${built[@]}" | sort -u); do
    cmake --build --preset "${pair%%:*}" -j2 --target "${pair#*:}" >/dev/null 2>&1 ||
      echo "mutants: rebuilding ${pair#*:} failed" >&2
  done
fi
stop_wine
echo "${#picked[@]} faults: $caught caught, ${#missed[@]} missed${missed:+ (${missed[*]})}," \
  "${#broken[@]} not building or not run${broken:+ (${broken[*]})}"
[ ${#missed[@]} -eq 0 ] && [ ${#broken[@]} -eq 0 ]
