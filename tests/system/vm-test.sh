#!/bin/bash
# The system test's virtual machine.
#
#   vm-test.sh prepare <dir> <probe> <descriptor fixture> <init script>
#       fetches Debian's kernel package (apt-get download), takes the kernel and the
#       HID modules out of it and builds an initramfs with the probe; all into <dir>.
#   vm-test.sh run <dir> generic|wiimote [churn]
#       boots it under QEMU (TCG) and passes when the probe reports PASS. With churn it runs
#       the churn of remotes instead; KINEMO_CHURN_SEED=<n> in the environment repeats a run.
set -euo pipefail

die() { echo "vm-test: $*" >&2; exit 1; }

need_tools() {
    local missing=()
    for tool in qemu-system-x86_64 busybox cpio xz dpkg-deb apt-get ldd; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    command -v depmod >/dev/null || [ -x /sbin/depmod ] || missing+=(depmod)
    [ ${#missing[@]} -eq 0 ] || die "missing ${missing[*]}: install the packages in scripts/packages/system-test.txt"
}

# The package that linux-image-amd64 depends on, e.g. linux-image-6.1.0-57-amd64.
kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null | awk '$1 == "Depends:" && $2 ~ /^linux-image-/ { print $2; exit }' || true
}

fetch_kernel() {
    local dir=$1 pkg
    pkg=$(kernel_package)
    if [ -z "$pkg" ] || ! (cd "$dir" && apt-get download -q "$pkg" >/dev/null 2>&1); then
        echo "vm-test: apt-get download failed; running apt-get update" >&2
        apt-get update -q >/dev/null || die "apt-get update failed"
        pkg=$(kernel_package)
        [ -n "$pkg" ] || die "no kernel package behind linux-image-amd64"
        (cd "$dir" && apt-get download -q "$pkg") || die "cannot download $pkg"
    fi
}

# The uncompressed kernel (an ELF with a PVH entry) boots in a fraction of the time
# of the compressed one under TCG; fall back to the compressed one if it won't come out.
extract_vmlinux() {
    local vmlinuz=$1 out=$2 offset
    offset=$(LC_ALL=C grep -obUaP '\xFD7zXZ\x00' "$vmlinuz" | head -n1 | cut -d: -f1 || true)
    # xz stops at the end of its stream, so tail's broken pipe is no failure.
    if [ -n "$offset" ] && xz -dc --single-stream <(tail -c +$((offset + 1)) "$vmlinuz") >"$out.tmp" 2>/dev/null &&
        [ "$(head -c4 "$out.tmp" | od -An -tx1 | tr -d ' ')" = 7f454c46 ]; then
        mv "$out.tmp" "$out"
    else
        rm -f "$out.tmp"
        cp "$vmlinuz" "$out"
    fi
}

copy_with_libraries() {  # <tree> <file> <target path in tree>
    local tree=$1 file=$2 target=$3 lib
    install -D -m 0755 "$file" "$tree$target"
    for lib in $(ldd "$file" 2>/dev/null | grep -o '/[^ ]*' || true); do
        [ -e "$tree$lib" ] || install -D -m 0755 "$(readlink -f "$lib")" "$tree$lib"
    done
}

prepare() {
    local dir=$1 probe=$2 fixture=$3 init=$4
    need_tools
    mkdir -p "$dir/kernel"
    if [ ! -f "$dir/kernel/ready" ]; then
        rm -rf "$dir/kernel" && mkdir -p "$dir/kernel/root"
        fetch_kernel "$dir/kernel"
        local deb
        deb=$(ls "$dir"/kernel/linux-image-*.deb | head -n1)
        dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$dir/kernel/root" --wildcards \
            './boot/vmlinuz-*' '*/modules.order' '*/modules.builtin' '*/modules.builtin.modinfo' \
            '*/kernel/drivers/hid/hid.ko' '*/kernel/drivers/hid/uhid.ko' '*/kernel/drivers/hid/hid-generic.ko' \
            '*/kernel/drivers/hid/hid-wiimote.ko' '*/kernel/drivers/input/ff-memless.ko'
        extract_vmlinux "$(ls "$dir"/kernel/root/boot/vmlinuz-* | head -n1)" "$dir/kernel/vmlinux"
        rm -f "$deb"
        touch "$dir/kernel/ready"
    fi

    local modules version tree=$dir/initramfs
    modules=$(ls -d "$dir"/kernel/root/*lib/modules/* | head -n1)
    version=$(basename "$modules")
    rm -rf "$tree" && mkdir -p "$tree"/{bin,dev,proc,sys,tmp,fixtures,lib/modules}
    cp -a "$modules" "$tree/lib/modules/"
    "$(command -v depmod || echo /sbin/depmod)" -b "$tree" "$version"
    copy_with_libraries "$tree" "$(command -v busybox)" /bin/busybox
    copy_with_libraries "$tree" "$probe" /kinemo_system_probe
    install -m 0644 "$fixture" "$tree/fixtures/wiimote-report-descriptor.txt"
    install -m 0755 "$init" "$tree/init"
    (cd "$tree" && find . | LC_ALL=C sort | cpio -o -H newc --quiet) >"$dir/initramfs.cpio"
    echo "vm-test: kernel $version, initramfs $(du -h "$dir/initramfs.cpio" | cut -f1)"
}

run() {
    local dir=$1 mode=$2 test=${3:-} log=$1/console-$2${3:+-$3}.log
    [ -f "$dir/kernel/vmlinux" ] && [ -f "$dir/initramfs.cpio" ] || die "not prepared: run the prepare step"
    local status=0 limit=150 verdict=$mode extra=""
    if [ "$test" = churn ]; then
        limit=270 verdict="churn $mode" extra="kinemo.test=churn${KINEMO_CHURN_SEED:+ kinemo.seed=$KINEMO_CHURN_SEED}"
    fi
    # no_timer_check: on an emulated CPU slowed by a busy host the kernel's IO-APIC
    # timer check can fail and panic the boot.
    timeout $limit qemu-system-x86_64 -accel tcg -cpu max -smp 1 -m 1024 \
        -nodefaults -no-user-config -display none -serial stdio -no-reboot \
        -kernel "$dir/kernel/vmlinux" -initrd "$dir/initramfs.cpio" \
        -append "console=ttyS0 panic=-1 loglevel=4 no_timer_check kinemo.mode=$mode $extra" </dev/null >"$log" 2>&1 || status=$?
    tr -d '\r' <"$log"
    [ $status -eq 0 ] || echo "vm-test: qemu ended with status $status"
    # The exit status counts too: a sanitizer report at exit comes after the verdict.
    tr -d '\r' <"$log" | grep -q "^KINEMO-SYSTEM: PASS $verdict\$" &&
        tr -d '\r' <"$log" | grep -q "^KINEMO-SYSTEM-EXIT: 0"
}

case "${1:-}" in
    prepare) [ $# -eq 5 ] || die "usage: $0 prepare <dir> <probe> <fixture> <init>"; prepare "$2" "$3" "$4" "$5" ;;
    run) [ $# -eq 3 ] || [ $# -eq 4 ] || die "usage: $0 run <dir> generic|wiimote [churn]"; run "$2" "$3" "${4:-}" ;;
    *) die "usage: $0 prepare|run ..." ;;
esac
