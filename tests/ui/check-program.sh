#!/usr/bin/env bash
# The built program as a user starts it: what it answers and refuses on which stream
# with which exit status, and the day log it writes into the state folder.
# Usage: check-program.sh <program> <version>
set -uo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# run <expected status> <DISPLAY or "unset"> <arguments...>: stdout and stderr into $work/out, $work/err.
run() {
    local expected=$1
    local display=$2
    shift 2
    local status=0
    if [ "$display" = unset ]; then
        env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$program" "$@" >"$work/out" 2>"$work/err"
        status=$?
    else
        env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" timeout 30 "$program" "$@" \
            >"$work/out" 2>"$work/err"
        status=$?
    fi
    [ "$status" -eq "$expected" ] || fail "kinemo $*: exit status $status, not $expected"
}

# An answer: said on standard output alone, exit status 0.
answers() {
    local said=$1
    shift
    run 0 "$@"
    grep -qF -- "$said" "$work/out" || fail "kinemo ${*:2}: '$said' not on stdout: $(cat "$work/out")"
    [ ! -s "$work/err" ] || fail "kinemo ${*:2}: said on stderr: $(cat "$work/err")"
}

# A refusal: said on standard error alone; with the usage after a wrong argument (2),
# in one line without it when there is no display (1).
refuses() {
    local expected=$1
    local said=$2
    shift 2
    run "$expected" "$@"
    grep -qF -- "$said" "$work/err" || fail "kinemo ${*:2}: '$said' not on stderr: $(cat "$work/err")"
    [ ! -s "$work/out" ] || fail "kinemo ${*:2}: said on stdout: $(cat "$work/out")"
    if [ "$expected" -eq 2 ]; then
        grep -qF "Usage: kinemo [options]" "$work/err" || fail "kinemo ${*:2}: no usage on stderr"
    else
        ! grep -qF "Usage:" "$work/err" || fail "kinemo ${*:2}: usage after a missing display"
        [ "$(wc -l <"$work/err")" -eq 1 ] || fail "kinemo ${*:2}: not one line on stderr: $(cat "$work/err")"
    fi
}

answers "--simulate" unset --help
answers "[FILE]" unset -h
answers "Kinemo $version" :4711 --version
[ "$(cat "$work/out")" = "Kinemo $version" ] || fail "kinemo --version: not the version alone: $(cat "$work/out")"
refuses 1 "WAYLAND_DISPLAY unset" unset
refuses 1 "DISPLAY=':4711'" :4711 --simulate
refuses 2 "Unknown option 'frobnicate'" unset --frobnicate
refuses 2 "'two.KMO'" unset --simulate one.KMO two.KMO

# start_until <state folder> <seconds> <condition> <arguments...>: the program on the offscreen
# platform, killed once the condition holds or after the seconds.
start_until() {
    local state=$1
    local seconds=$2
    local condition=$3
    shift 3
    QT_QPA_PLATFORM=offscreen XDG_STATE_HOME="$state" "$program" "$@" >/dev/null 2>&1 &
    local pid=$!
    for ((i = 0; i < seconds * 20; i++)); do
        "$condition" "$state" && break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

logged_start() { cat "$1"/kinemo/*.log 2>/dev/null | grep -qF "を起動しました（模擬リモコン）"; }
never() { return 1; }

mkdir "$work/state"
start_until "$work/state" 10 logged_start --simulate
logged_start "$work/state" || fail "kinemo --simulate: no start in the day log: $(cat "$work"/state/kinemo/*.log)"

# "kinemo FILE", as the file manager starts it: the file opens once the window runs.
mkdir "$work/opened"
printf 'Kinemo\r\n""\r\n1.05\r\n1,2,3\r\n' >"$work/run.KMO"
logged_load() { cat "$1"/kinemo/*.log 2>/dev/null | grep -qF "データファイルを読み込みました：$work/run.KMO"; }
start_until "$work/opened" 10 logged_load --simulate "$work/run.KMO"
logged_load "$work/opened" || fail "kinemo --simulate FILE: no load in the day log: $(cat "$work"/opened/kinemo/*.log)"

# A log would be there well within the two seconds: start-up takes a quarter of one.
mkdir "$work/quiet"
start_until "$work/quiet" 2 never --simulate --no-log
[ -z "$(ls -A "$work/quiet")" ] || fail "kinemo --simulate --no-log: wrote $(ls -AR "$work/quiet")"

[ "$failures" -eq 0 ] || exit 1
echo "the program answers, refuses and logs as expected"
