#!/usr/bin/env bash
# Checks that every system header a build compiled against comes from a
# Debian package scripts/install-deps.sh installs, directly or as one of
# their dependencies: the program's own code (core, gui, cli, the simulator,
# the artwork generator) from the build set alone, the tests, benchmarks
# and fuzz targets from the build and test sets. A machine that happens to
# have an extra package must not hide a missing install step. Usage:
#   scripts/check-deps.sh [BUILD_DIR...]      (default: build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

dirs=("$@")
[ ${#dirs[@]} -eq 0 ] && dirs=(build/default)

# Every header outside the checkout that the compiler read, "program" or
# "test" by the object that read it.
deps=$(for d in "${dirs[@]}"; do
  [ -f "$d/build.ninja" ] || { echo "check-deps: $d is not a configured build" >&2; exit 2; }
  ninja -C "$d" -t deps
done | awk -v root="$root/" '
  /^[^ ]/ { kind = ($1 ~ /^(tests|bench|fuzz)\//) ? "test" : "program" }
  /^    \// && index($1, root) != 1 { print kind, $1 }' | sort -u)
headers=$(cut -d' ' -f2 <<<"$deps" | sort -u)
program_headers=$(awk '$1 == "program" { print $2 }' <<<"$deps" | sort -u)
# The packages that own them, asked in one go ("pkg1:arch, pkg2: /path").
# A path not found as it stands is tried again with its links resolved
# (/lib vs /usr/lib and the like).
owners=$(mktemp)
trap 'rm -f "$owners"' EXIT
tr '\n' '\0' <<<"$headers" | xargs -0 dpkg -S 2>/dev/null | grep -v '^diversion' >"$owners" || true
unowned=$(comm -23 <(echo "$headers") <(sed 's/^.*: //' "$owners" | sort -u))
missing=""
while IFS= read -r h; do
  [ -n "$h" ] || continue
  if line=$(dpkg -S "$(readlink -f "$h")" 2>/dev/null); then
    echo "${line%%: /*}: $h" >>"$owners"
  else
    missing+="  $h"$'\n'
  fi
done <<<"$unowned"

# What the install sets bring: the packages and all they depend on.
brought() {
  local listed
  mapfile -t listed < <(scripts/install-deps.sh --list "$@")
  apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
    --no-breaks --no-replaces --no-enhances "${listed[@]}" 2>/dev/null |
    sed -E 's/^ *\|?(Pre)?Depends: //; s/^ *//; s/[<>]//g; s/:.*$//' | sort -u
}
allowed_build=$(brought build)
allowed_all=$(brought build test)

status=0
declare -A reported
while IFS= read -r line; do
  pkgs=${line%%: /*}
  h=${line#*: }
  if grep -qxF "$h" <<<"$program_headers"; then
    allowed=$allowed_build
    set_names="the build set"
  else
    allowed=$allowed_all
    set_names="the build and test sets"
  fi
  ok=0
  IFS=',' read -ra alts <<<"$pkgs"
  for p in "${alts[@]}"; do
    p=${p// /}
    p=${p%%:*}
    grep -qxF "$p" <<<"$allowed" && ok=1 && break
  done
  if [ $ok -eq 0 ] && [ -z "${reported[$pkgs]:-}" ]; then
    reported[$pkgs]=1
    echo "check-deps: $h comes from ${pkgs%%:*}, which $set_names of scripts/install-deps.sh do not bring" >&2
    status=1
  fi
done <"$owners"

if [ -n "$missing" ]; then
  echo "check-deps: no package owns these headers (installed by hand?):" >&2
  printf '%s' "$missing" >&2
  status=1
fi

n=$(wc -l <<<"$headers")
[ $status -eq 0 ] && echo "check-deps: all $n system headers come from their sets' packages" \
  "($(wc -l <<<"$program_headers") read by the program's own code, from the build set)"
exit $status
