#!/usr/bin/env bash
# The real program under Xvfb on a session bus with the accessibility bus running, read through
# AT-SPI as a screen reader reads it: the start page's picture buttons must be found by name, and
# after 继续上次的工作 brought back a session left in the record folder (the program's own folder
# here), a tile by what it says of itself and its category row by its name and description.
# Usage: atspi_check.sh PROGRAM. Exits 77 (skipped, with the reason) where the desktop pieces
# are missing, so that it never passes without having looked.
set -uo pipefail
program="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
for tool in xvfb-run xprop dbus-send dbus-run-session /usr/libexec/at-spi-bus-launcher /usr/bin/python3; do
    if ! command -v "$tool" >/dev/null 2>&1 && [ ! -x "$tool" ]; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
if ! /usr/bin/python3 -c "import pyatspi" 2>/dev/null; then
    echo "SKIP: the Python AT-SPI bindings (python3-pyatspi) are not installed"
    exit 77
fi
install="$(mktemp -d)"
trap 'rm -rf "$install"' EXIT
cp "$program" "$install/"
if ! /usr/bin/python3 "$here/make_session.py" "$install"; then
    echo "FAIL: the session to restore could not be written"
    exit 1
fi
cat >"$install/session.sh" <<SCRIPT
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=\$!
address=""
for i in \$(seq 1 150); do
    address=\$(dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null | sed -n 's/.*string "\(.*\)"/\1/p')
    [ -n "\$address" ] && break
    sleep 0.2
done
# A desktop publishes the accessibility bus on the root window, and that is the path Qt takes
# without a race: found over the session bus alone, Qt 5.15 can register the program before its
# bus connection is up, and then never appears to a screen reader.
xprop -root -f AT_SPI_BUS 8s -set AT_SPI_BUS "\$address"
LANG=C.UTF-8 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb VELLORA_SERVICE_URL=http://127.0.0.1:9 \
    "$install/$(basename "$program")" &
app=\$!
/usr/bin/python3 "$here/atspi_find.py" "选择文件夹扫描照片" "继续上次的工作" "浏览已导出的照片" "上传照片"
rc=\$?
if [ \$rc -eq 0 ]; then
    /usr/bin/python3 "$here/atspi_find.py" --press "继续上次的工作" \\
        "sea.png，1 / 2，类别：海边" "hill.png，2 / 2" "海边 :: 1 张照片，打印尺寸 6寸"
    rc=\$?
fi
kill \$app \$launcher 2>/dev/null
wait \$app 2>/dev/null
exit \$rc
SCRIPT
# -noreset: the X server would otherwise drop the root window's property when xprop leaves.
timeout 200 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" dbus-run-session -- bash "$install/session.sh"
