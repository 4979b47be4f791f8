#!/bin/sh
# Usage (as root): tools/fresh-machine-test.sh [SOURCE [REVISION]]
#   SOURCE    a git worktree or repository (default: the one holding this script)
#   REVISION  the commit to test (default: SOURCE's HEAD; uncommitted changes are not tested)
#
# Runs `make test` as a new user would on a fresh Debian 12 machine: in a chroot that holds a
# minimal bookworm system and nothing the Makefile does not install, on a clean clone, with a
# fresh build folder and Wine prefix.
#
# The minimal system is made once with debootstrap in $KAV_CHROOT (default
# /work/chroot-bookworm) and never changed afterwards: every run works in a throw-away overlay
# on top of it, so each run starts from the same untouched machine. Downloaded packages are
# kept in $KAV_CHROOT.cache so that later runs need not fetch them again. All mounts live in a
# private mount namespace and vanish with the run.
#
# Environment: KAV_CHROOT, KAV_MIRROR (default http://deb.debian.org/debian), KAV_JOBS (default 2).
set -eu

here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "${1:-$here/..}" && pwd)"
revision="$(git -C "$source_dir" rev-parse --verify "${2:-HEAD}^{commit}")"
chroot_dir="${KAV_CHROOT:-/work/chroot-bookworm}"
mirror="${KAV_MIRROR:-http://deb.debian.org/debian}"
jobs="${KAV_JOBS:-2}"
run_dir="$chroot_dir.run"
cache_dir="$chroot_dir.cache"
root="$run_dir/root"

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-machine-test: must run as root (debootstrap, chroot, mounts)" >&2
    exit 2
fi

started=${KAV_FRESH_STARTED:-$(date +%s)}
step_start=$(date +%s)
timings="${KAV_FRESH_TIMINGS:-}"
# Ends a step: prints and records how long it took.
step_done() {
    now=$(date +%s)
    line="$(printf '%-30s %6ds' "$1" $((now - step_start)))"
    echo "== $line"
    timings="$timings$line
"
    step_start=$now
}

if [ "${KAV_FRESH_INSIDE:-}" != 1 ]; then
    # 1. The minimal bookworm system, made once. A half-made one is thrown away and made again.
    if [ ! -e "$chroot_dir/.kav-base-ready" ]; then
        command -v debootstrap >/dev/null 2>&1 || apt-get install -y --no-install-recommends debootstrap
        rm -rf "$chroot_dir" "$chroot_dir.partial"
        debootstrap --variant=minbase --include=make bookworm "$chroot_dir.partial" "$mirror"
        {
            echo "deb $mirror bookworm main"
            echo "deb $mirror bookworm-updates main"
            echo "deb http://deb.debian.org/debian-security bookworm-security main"
        } >"$chroot_dir.partial/etc/apt/sources.list"
        # Packages installed in the chroot must not start services on the host's behalf.
        printf '#!/bin/sh\nexit 101\n' >"$chroot_dir.partial/usr/sbin/policy-rc.d"
        chmod 755 "$chroot_dir.partial/usr/sbin/policy-rc.d"
        touch "$chroot_dir.partial/.kav-base-ready"
        mv "$chroot_dir.partial" "$chroot_dir"
        step_done "minimal system (debootstrap)"
    fi

    # 2. Room for a fresh overlay: whatever the last run left is thrown away.
    if grep -q " $root " /proc/mounts; then
        echo "fresh-machine-test: $root is still mounted (another run?)" >&2
        exit 2
    fi
    rm -rf "$run_dir"
    mkdir -p "$run_dir/upper" "$run_dir/work" "$root" "$cache_dir/archives/partial"

    # The rest runs in a private mount namespace, so that its mounts end with it.
    status=0
    KAV_FRESH_INSIDE=1 KAV_FRESH_STARTED=$started KAV_FRESH_TIMINGS="$timings" \
        unshare --mount --propagation private sh "$0" "$source_dir" "$revision" || status=$?
    # Processes the run left behind (a wineserver, say) would keep the overlay busy.
    for p in /proc/[0-9]*; do
        case "$(readlink "$p/root" 2>/dev/null || true)" in
        "$root" | "$root"/*) kill -9 "${p#/proc/}" 2>/dev/null || true ;;
        esac
    done
    exit $status
fi

# 3. Inside the namespace: the overlay over the minimal system, the host's kernel file
# systems, and a clean clone of the revision.
mount -t overlay overlay -o "lowerdir=$chroot_dir,upperdir=$run_dir/upper,workdir=$run_dir/work" "$root"
mount --bind "$cache_dir/archives" "$root/var/cache/apt/archives"
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
# The host's /tmp, so that the chroot's Xvfb sees the displays other programs already hold.
mount --bind /tmp "$root/tmp"
cp /etc/resolv.conf "$root/etc/resolv.conf"

git clone --quiet --no-local --no-checkout "$source_dir" "$root/root/kavlib"
git -C "$root/root/kavlib" -c advice.detachedHead=false checkout --quiet --detach "$revision"
echo "== testing $revision from $source_dir"
step_done "overlay and clean clone"

in_chroot() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        sh -c "cd /root/kavlib && $1"
}

# 4. `make test` as a new user runs it. Its install step runs first on its own, only so that
# its time is reported apart; `make test` then finds nothing missing.
status=0
in_chroot "make deps" || status=$?
step_done "make deps (apt-get install)"
if [ $status -eq 0 ]; then
    in_chroot "make test BUILD=build JOBS=$jobs" || status=$?
    step_done "make test (build and tests)"
fi

echo "== timings"
printf '%s' "$timings"
printf '%-30s %6ds\n' "total" $(($(date +%s) - started))
if [ $status -eq 0 ]; then echo "== fresh machine: make test passed"; else echo "== fresh machine: FAILED ($status)"; fi
exit $status
