#!/bin/busybox sh
# /init of the system test's virtual machine: mount the kernel's file systems, load
# the HID modules the mode asks for, run the probe, power off.
/bin/busybox mkdir -p /proc /sys /dev /tmp
/bin/busybox mount -t devtmpfs devtmpfs /dev
exec </dev/console >/dev/console 2>&1
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys

mode=$(sed -n 's/.*kinemo\.mode=\([a-z]*\).*/\1/p' /proc/cmdline)
case "$mode" in
    # hid-generic leaves a Bluetooth 057E:0306 to the kernel's special driver unless told otherwise.
    generic) modprobe hid ignore_special_drivers=1 && modprobe hid-generic && modprobe uhid ;;
    wiimote) modprobe hid-generic && modprobe hid-wiimote && modprobe uhid ;;
    *) false ;;
esac || echo "KINEMO-SYSTEM: cannot load the modules for mode '$mode'"

# In a sanitizer build: freed blocks are filled, so that a library built without the sanitizer
# that reads one gets garbage, not the old contents, and fails where it would pass unnoticed.
export ASAN_OPTIONS=max_free_fill_size=4096:free_fill_byte=190
# kinemo.test=churn runs the churn instead; kinemo.seed=<n> repeats one of its runs.
test=$(sed -n 's/.*kinemo\.test=\([a-z]*\).*/\1/p' /proc/cmdline)
seed=$(sed -n 's/.*kinemo\.seed=\([0-9]*\).*/\1/p' /proc/cmdline)
/kinemo_system_probe "$mode" /fixtures/wiimote-report-descriptor.txt $test $seed
echo "KINEMO-SYSTEM-EXIT: $?"
poweroff -f
