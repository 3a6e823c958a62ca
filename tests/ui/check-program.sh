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

# start <state folder> <seconds> <condition> <arguments...>: the program on the offscreen platform
# in the background ($pid), once the condition holds or after the seconds; started through
# ${launch[@]} when set. SIGINT reaches it as Ctrl+C would in a terminal (a script's background
# job would otherwise start with it ignored).
launch=()
start() {
    local state=$1
    local seconds=$2
    local condition=$3
    shift 3
    QT_QPA_PLATFORM=offscreen XDG_STATE_HOME="$state" "${launch[@]}" env --default-signal=INT "$program" "$@" \
        >/dev/null 2>&1 &
    pid=$!
    for ((i = 0; i < seconds * 20; i++)); do
        "$condition" "$state" && break
        sleep 0.05
    done
}

# start_until: start, then the program killed.
start_until() {
    start "$@"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

# ends_on <signal> <what>: the started program, alive until now, ends on the signal with status 0.
ends_on() {
    kill -0 "$pid" 2>/dev/null || { fail "$2: ended before SIG$1"; wait "$pid"; return; }
    kill -"$1" "$pid"
    for ((i = 0; i < 200; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill -KILL "$pid" 2>/dev/null && fail "$2: still running 10 s after SIG$1"
    wait "$pid"
    local status=$?
    [ "$status" -eq 0 ] || fail "$2: exit status $status after SIG$1, not 0"
}

logged_start() { cat "$1"/kinemo/*.log 2>/dev/null | grep -qF "を起動しました（模擬リモコン）"; }
# A line of its own, led by the time of day.
logged_end() { cat "$1"/kinemo/*.log 2>/dev/null | grep -qE $'^[0-9]{1,2}:[0-9]{2}:[0-9]{2} Kinemo を終了しました\r$'; }
day_file() { compgen -G "$1/kinemo/*.log" >/dev/null; }
# Its quit signals set up (SIGTERM caught): from here on a signal ends it through its event loop.
ready() {
    local caught
    caught=$(sed -n 's/^SigCgt:\t//p' "/proc/$pid/status" 2>/dev/null) && [ -n "$caught" ] && ((0x$caught >> 14 & 1))
}

mkdir "$work/state"
start_until "$work/state" 10 logged_start --simulate
logged_start "$work/state" || fail "kinemo --simulate: no start in the day log: $(cat "$work"/state/kinemo/*.log)"

# Logout, a closed terminal and Ctrl+C end the program as its 終了 does.
for signal in TERM HUP INT; do
    mkdir "$work/$signal"
    start "$work/$signal" 10 logged_start --simulate
    ends_on "$signal" "kinemo --simulate"
    logged_end "$work/$signal" || fail "SIG$signal: no end line in the day log: $(cat "$work/$signal"/kinemo/*.log)"
done

# A hangup ignored when the program started (nohup) stays ignored; SIGTERM still ends it.
mkdir "$work/nohup"
launch=(nohup)
start "$work/nohup" 10 ready --simulate
launch=()
kill -HUP "$pid" 2>/dev/null
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "kinemo --simulate under nohup: ended on SIGHUP"
ends_on TERM "kinemo --simulate under nohup"

# Without XDG_STATE_HOME the day log goes where the READMEs send the user: ~/.local/state/kinemo/.
mkdir "$work/home"
launch=(env -u XDG_STATE_HOME HOME="$work/home")
start_until "$work/home/.local/state" 10 logged_start --simulate
launch=()
logged_start "$work/home/.local/state" || fail "kinemo without XDG_STATE_HOME: no day log in ~/.local/state/kinemo: $(ls -AR "$work/home")"

# A start whose log could not be written (a full disk; here the file-size limit, lifted once the
# day's file is there) writes the opening block before the first line that gets in.
mkdir "$work/full"
launch=(prlimit --fsize=0:)
start "$work/full" 10 day_file --simulate
launch=()
prlimit --pid "$pid" --fsize=unlimited:
ends_on TERM "kinemo --simulate on a full disk"
first=$(grep -m 1 -v $'^\r$' "$work"/full/kinemo/*.log)
[[ "$first" == /\** ]] || fail "a start on a full disk: the log opens with '$first', not with its block"
logged_end "$work/full" || fail "a start on a full disk: no end line once it could write: $(cat "$work"/full/kinemo/*.log)"

# "kinemo FILE", as the file manager starts it: the file opens once the window runs.
mkdir "$work/opened"
printf 'Kinemo\r\n""\r\n1.05\r\n1,2,3\r\n' >"$work/run.KMO"
logged_load() { cat "$1"/kinemo/*.log 2>/dev/null | grep -qF "データファイルを読み込みました：$work/run.KMO"; }
start_until "$work/opened" 10 logged_load --simulate "$work/run.KMO"
logged_load "$work/opened" || fail "kinemo --simulate FILE: no load in the day log: $(cat "$work"/opened/kinemo/*.log)"

# A name that is no UTF-8 (テスト.KMO in Shift_JIS, from a Windows ZIP) reaches open() byte for byte;
# the log shows it with replacement characters and stays UTF-8.
mkdir "$work/shift-jis"
cp "$work/run.KMO" "$work/"$'\x83e\x83X\x83g.KMO'
shown="$work/"$'\xef\xbf\xbde\xef\xbf\xbdX\xef\xbf\xbdg.KMO'
logged_sjis_load() { cat "$1"/kinemo/*.log 2>/dev/null | grep -qF "データファイルを読み込みました：$shown"; }
start_until "$work/shift-jis" 10 logged_sjis_load --simulate "$work/"$'\x83e\x83X\x83g.KMO'
logged_sjis_load "$work/shift-jis" || fail "kinemo FILE in Shift_JIS: no load in the day log: $(cat "$work"/shift-jis/kinemo/*.log)"
iconv -f UTF-8 -t UTF-8 "$work"/shift-jis/kinemo/*.log >/dev/null 2>&1 || fail "kinemo FILE in Shift_JIS: the day log is no UTF-8"

# Without a log: judged once the program has shown it runs (its quit signals set up, which comes
# before the log's start, and ending on SIGTERM through its event loop, which comes after).
mkdir "$work/quiet"
start "$work/quiet" 10 ready --simulate --no-log
ends_on TERM "kinemo --simulate --no-log"
[ -z "$(ls -A "$work/quiet")" ] || fail "kinemo --simulate --no-log: wrote $(ls -AR "$work/quiet")"

# A Wii Remote the user may not open (no udev rule, a remote session): run as another user
# beside a node only root may open, the program names the node and the reason in its day log
# and gives the packaged rule's lines on standard error. The listing and the node are stand-ins
# in a mount namespace of the script's own; the refusal is the kernel's. Making them takes root,
# which the test command has on this project's machines and in CI.
if [ "$(id -u)" -ne 0 ]; then
    echo "not checked without root: a remote node the program may not open"
else
    chmod o+x "$work"
    mkdir -m 0777 "$work/locked"
    # A copy the other user can reach wherever the build lies.
    install -m 0755 "$program" "$work/kinemo"
    touch "$work/null" "$work/hidraw0"
    chmod 0600 "$work/hidraw0"
    unshare --mount --propagation private bash -c '
        mount --bind /dev/null "$1/null" && mount -t tmpfs none /sys/class && mount -t tmpfs none /dev &&
        touch /dev/null /dev/hidraw0 && mount --bind "$1/null" /dev/null && mount --bind "$1/hidraw0" /dev/hidraw0 &&
        mkdir -p /sys/class/hidraw/hidraw0/device && echo HID_ID=0005:0000057E:00000306 >/sys/class/hidraw/hidraw0/device/uevent &&
        QT_QPA_PLATFORM=offscreen XDG_STATE_HOME="$1/locked" timeout 5 setpriv --reuid=nobody --regid=nogroup --clear-groups \
            env --default-signal=TERM "$1/kinemo" >"$1/out" 2>"$1/err"' locked "$work"
    grep -qF "リモコンが見つかりましたが開けません（/dev/hidraw0、読み書きの権限がありません）" "$work"/locked/kinemo/*.log ||
        fail "a remote only root may open: not named in the day log: $(cat "$work"/locked/kinemo/*.log "$work/err")"
    rule=$(sed -n 's/^SUBSYSTEM/kinemo:   SUBSYSTEM/p' "$(dirname "$0")/../../packaging/60-kinemo-wiimote.rules")
    grep -qF -- "$rule" "$work/err" && [ "$(grep -c 'KERNELS==' "$work/err")" -eq 4 ] ||
        fail "a remote only root may open: the hint does not give the rule's lines: $(cat "$work/err")"
fi

[ "$failures" -eq 0 ] || exit 1
echo "the program answers, refuses and logs as expected"
