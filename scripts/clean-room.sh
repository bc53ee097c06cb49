#!/usr/bin/env bash
# Proves that a newcomer's first commands work on a fresh Debian 12:
# scripts/clean-room.sh (as root: it makes a root file system and mounts).
#
# Makes a minimal Debian 12 root (mmdebstrap --variant=apt bookworm, with this
# machine's apt sources), copies in the committed tree (git archive HEAD, so
# uncommitted files cannot help) and, as root in /root/cobb-douglas there:
#   ./test.sh                      must pass;
#   ./run.sh                       without a display: must build and advise;
#   the advice                     installs xvfb and xauth as it says, and the
#                                  program's window must come up and stay up;
#   cpack -G DEB                   the package, installed with apt-get; the
#                                  installed CLI on the installed example, the
#                                  installed window, and lintian (no errors,
#                                  no warnings), desktop-file-validate (silent)
#                                  and appstreamcli (no errors).
# Prints how long each step took. Each step's output goes to
# build/clean-room/STEP.log here; its last lines are shown.
#
# Everything the run makes is under one mktemp folder, removed on exit, also
# when interrupted: processes still running in the root are ended, its mounts
# undone, and only then is it deleted, without crossing into other file
# systems. Downloaded packages are kept in /var/cache/cobb-douglas-clean-room:
# apt checks each against the index's checksum before using it, so the cache
# only saves downloads; each run drops what the archive no longer has.
set -euo pipefail
cd "$(dirname "$0")/.."
repository=$PWD

if [ "$(id -u)" -ne 0 ]; then
    echo "scripts/clean-room.sh needs root: it runs mmdebstrap, chroot and mount." >&2
    exit 2
fi
source scripts/dependencies.sh
cobb_ensure_packages mmdebstrap

# This machine's apt sources: the mirror it reaches is the one to use.
sources=()
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    if [ -f "$file" ] && grep -q '^[^#[:space:]]' "$file"; then
        sources+=("$file")
    fi
done
if [ ${#sources[@]} -eq 0 ]; then
    echo "No apt sources configured in /etc/apt/sources.list*." >&2
    exit 1
fi

if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "Note: uncommitted changes are not copied into the clean room; it tests HEAD, $(git rev-parse --short HEAD)."
fi

cache=/var/cache/cobb-douglas-clean-room
mkdir -p "$cache/archives/partial"
exec 9>"$cache/lock"
if ! flock -n 9; then
    echo "Another clean-room run holds $cache/lock; waiting for it ..."
    flock 9
fi

logs=$repository/build/clean-room
mkdir -p "$logs"
rm -f "$logs"/*.log

work=$(realpath "$(mktemp -d "${TMPDIR:-/tmp}/cobb-douglas-clean-room.XXXXXX")")
root=$work/root
timings=()
step_group=

minutes_and_seconds() {
    printf '%2d min %02d s' $(($1 / 60)) $(($1 % 60))
}

# Mount points under $1, deepest first.
mounts_under() {
    awk -v top="$1" '$5 == top || index($5, top "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

# Ends the processes whose root directory is the clean root (started in it).
end_processes_inside() {
    local signal process
    for signal in TERM TERM TERM KILL; do
        local found=0
        for process in /proc/[0-9]*; do
            if [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ]; then
                kill -s "$signal" "${process#/proc/}" 2>/dev/null || true
                found=1
            fi
        done
        [ $found -eq 1 ] || return 0
        sleep 2
    done
}

print_timings() {
    echo
    echo "Clean-room steps:"
    printf '  %s\n' "${timings[@]}"
}

clean_up() {
    local status=$?
    trap - EXIT INT TERM HUP
    set +e
    # The step running now (its own process group), then what it started in
    # the root; mmdebstrap undoes its own mounts before it ends.
    if [ -n "$step_group" ]; then
        kill -s TERM -- -"$step_group" 2>/dev/null
        local seconds=0
        while pgrep -g "$step_group" >/dev/null && [ $seconds -lt 30 ]; do
            sleep 1
            seconds=$((seconds + 1))
        done
        if pgrep -g "$step_group" >/dev/null; then
            kill -s KILL -- -"$step_group" 2>/dev/null
        fi
    fi
    end_processes_inside
    local mount
    for mount in $(mounts_under "$work"); do
        umount "$mount" 2>/dev/null || umount --lazy "$mount"
    done
    if [ -n "$(mounts_under "$work")" ]; then
        echo "Still mounted under $work, left in place:" >&2
        mounts_under "$work" >&2
    else
        local start=$SECONDS
        rm -rf --one-file-system "$work"
        timings+=("$(printf '%-16s %s' clean-up "$(minutes_and_seconds $((SECONDS - start)))")")
    fi
    # From the script's start: preparing, the steps and cleaning up.
    timings+=("$(printf '%-16s %s' total "$(minutes_and_seconds $SECONDS)")")
    print_timings
    [ $status -eq 0 ] || echo "The clean-room run failed (status $status); logs in build/clean-room/." >&2
    exit $status
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# step NAME COMMAND...: runs COMMAND with its output in build/clean-room/NAME.log
# and records how long it took. COMMAND runs as a job of its own (a process
# group the clean-up can end) that the script waits for, so that an interrupt
# is handled at once.
step() {
    local name=$1
    shift
    local log=$logs/$name.log
    local start=$SECONDS
    echo "== $name"
    local status=0
    set -m
    "$@" >"$log" 2>&1 </dev/null &
    step_group=$!
    set +m
    wait "$step_group" || status=$?
    step_group=
    local took
    took=$(minutes_and_seconds $((SECONDS - start)))
    timings+=("$(printf '%-16s %s' "$name" "$took")")
    if [ $status -ne 0 ]; then
        tail -n 60 "$log"
        echo "== $name failed (status $status) after $took" >&2
        return $status
    fi
    tail -n 4 "$log"
    echo "== $name: $took"
}


# Runs a shell command in the clean root as its root user, with the
# environment of a fresh login and no display.
inside() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -euo pipefail -c "$1"
}

make_root() {
    mmdebstrap --variant=apt --skip=essential/unlink \
        --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
        --setup-hook="sync-in $cache/archives /var/cache/apt/archives" \
        --customize-hook="sync-out /var/cache/apt/archives $cache/archives" \
        bookworm "$root" "${sources[@]}"
    # What the build and the programs need of a running system.
    mount -t proc proc "$root/proc"
    mount -t tmpfs -o mode=1777 shm "$root/dev/shm"
    mount --bind "$cache/archives" "$root/var/cache/apt/archives"
    git archive --prefix=cobb-douglas/ HEAD | tar -x -C "$root/root"
    # Waits for the program's window, checks it is shown and still there after
    # a while, then closes the program: window-probe.sh PROGRAM
    cat >"$root/usr/local/bin/window-probe.sh" <<'PROBE'
#!/bin/sh
"$@" &
program=$!
window=
seconds=0
while [ -z "$window" ]; do
    if ! kill -0 $program 2>/dev/null; then
        echo "$1 ended before its window came up" >&2
        exit 1
    fi
    if [ $seconds -ge 60 ]; then
        echo "no window of $1 after 60 s" >&2
        exit 1
    fi
    sleep 1
    seconds=$((seconds + 1))
    window=$(xwininfo -root -tree | grep -F '("cobb-douglas" ' | grep -F 'Кобба-Дугласа' | awk '{ print $1; exit }')
done
echo "window $window up after $seconds s:"
xwininfo -id "$window" | grep -E 'xwininfo|Width|Height|Map State'
sleep 10
if ! kill -0 $program 2>/dev/null || ! xwininfo -id "$window" | grep -q 'Map State: IsViewable'; then
    echo "the window of $1 did not stay up" >&2
    exit 1
fi
echo "still up 10 s later; closing it"
kill $program
wait $program || true
PROBE
    chmod 755 "$root/usr/local/bin/window-probe.sh"
}

# ./run.sh with no display must build the program, say there is none and
# advise xvfb-run; then the advice is followed, as a user would.
run_without_display() {
    local status=0
    inside 'cd /root/cobb-douglas && ./run.sh' || status=$?
    if [ $status -ne 1 ] || [ ! -x "$root/root/cobb-douglas/build/release/app/cobb-douglas" ]; then
        echo "./run.sh without a display: status $status (1 expected), or no program built" >&2
        return 1
    fi
}

# The advice ./run.sh printed: its apt-get part installs the virtual display,
# its xvfb-run part starts the program, here with the window probe around it.
run_under_xvfb() {
    local advice
    advice=$(grep -E '^ +apt-get install .* && xvfb-run ' "$logs/run-no-display.log" | sed 's/^ *//')
    if [ -z "$advice" ]; then
        echo "./run.sh printed no advice to install xvfb and run the program under it" >&2
        return 1
    fi
    echo "advice: $advice"
    local install=${advice%% && *} start=${advice#* && }
    local program=${start#xvfb-run -a }
    if [ "$program" = "$start" ]; then
        echo "the advice does not start the program with xvfb-run -a" >&2
        return 1
    fi
    inside "export DEBIAN_FRONTEND=noninteractive; cd /root/cobb-douglas && $install"
    # The tool that sees windows, for the probe only.
    inside 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends x11-utils'
    inside "cd /root/cobb-douglas && xvfb-run -a -s '-screen 0 1366x768x24' window-probe.sh $program"
}

package_and_install() {
    inside 'cd /root/cobb-douglas/build/release && cpack -G DEB'
    inside 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /root/cobb-douglas/build/release/cobb-douglas_*.deb'
    inside 'dpkg-deb --field /root/cobb-douglas/build/release/cobb-douglas_*.deb Depends Description'
}

# The installed programs, started from a folder that is not the source tree.
installed_programs() {
    inside 'cd /tmp && cobb-douglas-cli /usr/share/cobb-douglas/examples/cobb-douglas-1928.txt | tee /tmp/report.txt'
    grep -qE 'a=0[.,]254133' "$root/tmp/report.txt"
    inside "cd /tmp && xvfb-run -a -s '-screen 0 1366x768x24' window-probe.sh cobb-douglas"
}

package_checks() {
    inside 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian desktop-file-utils appstream'
    inside 'lintian --fail-on error,warning --info /root/cobb-douglas/build/release/cobb-douglas_*.deb && echo "lintian: no errors, no warnings"'
    local complaints
    complaints=$(inside 'desktop-file-validate /usr/share/applications/cobb-douglas.desktop' 2>&1) || true
    if [ -n "$complaints" ]; then
        echo "desktop-file-validate: $complaints" >&2
        return 1
    fi
    echo "desktop-file-validate: nothing to say"
    local validation
    validation=$(inside 'appstreamcli validate --no-net /usr/share/metainfo/cobb-douglas.metainfo.xml' 2>&1 || true)
    printf '%s\n' "$validation"
    if printf '%s\n' "$validation" | grep -q '^E:'; then
        echo "appstreamcli: errors in the metainfo" >&2
        return 1
    fi
    # The package cache keeps only what the archive still has.
    inside 'apt-get autoclean -qq'
}

# The run, parsed whole before it starts: editing this file during a run
# cannot change what the run does.
main() {
    step make-root make_root
    step test inside 'cd /root/cobb-douglas && ./test.sh'
    step run-no-display run_without_display
    step run-under-xvfb run_under_xvfb
    step package package_and_install
    step installed installed_programs
    step package-checks package_checks
    echo "The clean room passed."
    exit 0
}
main
