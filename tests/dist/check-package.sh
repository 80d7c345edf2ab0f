#!/usr/bin/env bash
# Checks the release package made from a built Torvane.exe: the executable
# carries no link time; two packings from different folders, time zones, umasks
# and file times give the same bytes; the zip holds exactly the expected entries
# with fixed modes and times; the texts are UTF-8 with a byte order mark and CR LF
# line ends and name every control and every file and registry value they must.
# The installer of the same build: as reproducible, of the build's width, a
# Unicode NSIS installer holding the same Torvane.exe and texts with the same time.
# Its path is left in WORKDIR/installer.path for the tests that run it.
# Usage: check-package.sh TORVANE_EXE ICON VERSION WORKDIR ARCH   (ARCH: x86_64 or i686)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1
icon=$2
version=$3
work=$4
case $5 in
  i686) machine=332 width=win32 ;;
  x86_64) machine=34404 width=win64 ;;
  *) echo "check-package: ARCH must be x86_64 or i686" >&2; exit 2 ;;
esac
package=$root/scripts/package-zip.py
export LC_ALL=C.UTF-8

fail() { echo "FAIL: $*" >&2; exit 1; }
u16() { od -An --endian=little -tu2 -j "$2" -N2 "$1" | tr -d ' '; }
u32() { od -An --endian=little -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

[ -f "$exe" ] || fail "no $exe: build the windows_$5 target first"

# The COFF header follows the "PE\0\0" signature that e_lfanew (at 0x3C) points to.
pe=$(u32 "$exe" 60)
[ "$(u32 "$exe" "$pe")" = 17744 ] || fail "$exe: no PE signature"
[ "$(u16 "$exe" $((pe + 4)))" = "$machine" ] || fail "$exe: not an $5 image"
stamp=$(u32 "$exe" $((pe + 8)))
[ "$stamp" = 0 ] || fail "$exe: PE TimeDateStamp is $stamp, not 0"

rm -rf "$work"
mkdir -p "$work/a" "$work/b/folder with blanks" "$work/x"

first=$("$package" "$exe" "$work/a")
cp "$exe" "$work/b/copy.exe"
chmod 0600 "$work/b/copy.exe"
touch -d '2001-02-03 04:05:06' "$work/b/copy.exe"
second=$(cd "$work/b" && umask 077 && TZ=Asia/Shanghai "$package" copy.exe "folder with blanks")
[ "$first" != "$second" ] || fail "both packings wrote $first"
cmp "$first" "$second" || fail "two packings differ: $first $second"

top=Torvane-$version
[ "$(basename "$first")" = "$top-$width.zip" ] || fail "zip named $(basename "$first")"
expected=$(printf '%s\n' "$top/Torvane.exe" "$top/使用说明.txt" "$top/README.txt" "$top/LICENSE.txt")
listed=$(zipinfo -1 "$first")
[ "$listed" = "$expected" ] || fail "entries differ from the expected list:"$'\n'"$listed"

modes=$(zipinfo -s "$first" | awk '$NF ~ /^Torvane-/ { print $1 }' | tr '\n' ' ')
[ "$modes" = "-rwxr-xr-x -rw-r--r-- -rw-r--r-- -rw-r--r-- " ] || fail "entry modes: $modes"

dated=$(SOURCE_DATE_EPOCH=1767225600 "$package" "$exe" "$work/dated")
times=$(zipinfo -T "$dated" | awk '$NF ~ /^Torvane-/ { print $(NF-1) }' | sort -u)
[ "$times" = 20260101.000000 ] || fail "entry times with SOURCE_DATE_EPOCH=1767225600: $times"

(cd "$work/x" && unzip -q "$first")
cmp "$exe" "$work/x/$top/Torvane.exe" || fail "the packed Torvane.exe differs from $exe"
for text in 使用说明.txt README.txt LICENSE.txt; do
  file=$work/x/$top/$text
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$text: no UTF-8 byte order mark"
  iconv -f UTF-8 -t UTF-8 "$file" >/dev/null || fail "$text: not valid UTF-8"
  ! grep -q -v $'\r$' "$file" || fail "$text: a line does not end in CR LF"
  ! grep -q '@VERSION@' "$file" || fail "$text: @VERSION@ left in"
done
grep -q "Torvane $version" "$work/x/$top/使用说明.txt" || fail "使用说明.txt does not name Torvane $version"
grep -q "Copyright (c) 2026 The Torvane developers" "$work/x/$top/LICENSE.txt" || fail "LICENSE.txt: no copyright line"

# Every caption the texts explain must be one the window really shows.
for caption in 设置 自动输入条码内容 自动完成 '"无"' '\[Enter\]' '\[Tab\]' 将条码内容复制到粘贴板 显示视频窗口 \
               开机时启动程序 确定 '\[初始化\]' 帮助 无法识别？ 成功 停止扫码 退出 更多设置 重复扫码也输入 \
               扫码提示音 '记录扫码时间到 scans.csv' 输入方式 'Unicode 输入' 模拟按键 粘贴 '字符间隔 (毫秒)' \
               '回车/Tab 前等待 (毫秒)' 摄像头 完成; do
  grep -q -- "$caption" "$root/src/core/layout.cpp" || fail "layout.cpp has no caption $caption"
  plain=${caption//\"/}
  plain=${plain//\\/}
  for text in 使用说明.txt README.txt; do
    grep -q -F -- "$plain" "$work/x/$top/$text" || fail "$text does not explain $plain"
  done
done
for fact in zbarcam.exe zbarimg.exe bar.dat bar2.dat data.txt OldBar c1 c4 o0 o2 scans.csv RepeatScans Camera \
            'HKEY_CURRENT_USER\Software\Torvane\Setting' \
            'HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' \
            'HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Microsoft\Windows\CurrentVersion\Run' \
            'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run' 显示窗口 \
            "Torvane-$version-win32.zip" "Torvane-$version-win64.zip"; do
  for text in 使用说明.txt README.txt; do
    grep -q -F -- "$fact" "$work/x/$top/$text" || fail "$text does not name $fact"
  done
done

# The texts lead with the installer and say what it does, in the installer's own words.
for fact in "Torvane-$version-win64-setup.exe" "Torvane-$version-win32-setup.exe" '%LOCALAPPDATA%\Programs\Torvane' \
            'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Torvane' \
            zbar-files.txt uninstall.exe 找到已安装的 现在启动 开机时启动 是否同时删除扫码记录 '是否同时删除 Torvane 的设置' \
            /STARTWITHWINDOWS /NOZBAR /REMOVEDATA /REMOVESETTINGS; do
  for text in 使用说明.txt README.txt; do
    grep -q -F -- "$fact" "$work/x/$top/$text" || fail "$text does not name $fact"
  done
  case $fact in Torvane-*|*%*|HKEY*) ;; *)
    grep -q -F -- "$fact" "$root/dist/installer/torvane.nsi" "$root/dist/installer/zbar.nsh" \
      || fail "the installer has no $fact" ;;
  esac
done
for text in 使用说明.txt README.txt; do
  installer_line=$(grep -n -m1 -F -- "-setup.exe" "$work/x/$top/$text" | cut -d: -f1)
  zip_line=$(grep -n -m1 -F -- ".zip" "$work/x/$top/$text" | cut -d: -f1)
  [ "$installer_line" -le "$zip_line" ] || fail "$text names the zip before the installer"
done

echo "OK: $first ($(sha256sum "$first" | cut -d' ' -f1))"

# ---- The installer ----
installer=$root/scripts/package-installer.py
mkdir -p "$work/ia" "$work/ib/folder with blanks" "$work/ix" "$work/iy"
setup=$("$installer" "$exe" "$icon" "$work/ia")
cp "$exe" "$work/ib/copy.exe"
cp "$icon" "$work/ib/copy.ico"
touch -d '2001-02-03 04:05:06' "$work/ib/copy.exe" "$work/ib/copy.ico"
again=$(cd "$work/ib" && umask 077 && TZ=Asia/Shanghai "$installer" copy.exe copy.ico "folder with blanks")
cmp "$setup" "$again" || fail "two installer builds differ: $setup $again"
[ "$(basename "$setup")" = "$top-$width-setup.exe" ] || fail "installer named $(basename "$setup")"
ipe=$(u32 "$setup" 60)
[ "$(u16 "$setup" $((ipe + 4)))" = "$machine" ] || fail "$setup: not an $5 program"
listing=$(TZ=UTC 7zz l -slt "$setup")
subtype=$(printf '%s\n' "$listing" | sed -n 's/^SubType = //p')
case $width in
  win64) [ "$subtype" = "NSIS-3 Unicode 64-bit" ] || fail "installer kind: $subtype" ;;
  win32) [ "$subtype" = "NSIS-3 Unicode" ] || fail "installer kind: $subtype" ;;
esac
payload=$(printf '%s\n' "$listing" | sed -n 's/^Path = //p' | grep -v -e '^\$PLUGINSDIR/' -e "^$setup\$" | sort)
[ "$payload" = "$(printf '%s\n' LICENSE.txt README.txt Torvane.exe uninstall.exe 使用说明.txt | sort)" ] \
  || fail "the installer installs other files:"$'\n'"$payload"
(cd "$work/ix" && 7zz x -y "$setup" >/dev/null)
for file in Torvane.exe 使用说明.txt README.txt LICENSE.txt; do
  cmp "$work/x/$top/$file" "$work/ix/$file" || fail "the installer's $file differs from the zip's"
done
dated_setup=$(SOURCE_DATE_EPOCH=1767225600 "$installer" "$exe" "$icon" "$work/idated")
stamps=$(TZ=UTC 7zz l -slt "$dated_setup" | awk '/^Path = / { path = $3 } /^Modified = / && path !~ /^\$PLUGINSDIR/ && path != "uninstall.exe" { print $3, $4 }' | sort -u)
[ "$stamps" = "2026-01-01 00:00:00.0000000" ] || fail "installed files' times with SOURCE_DATE_EPOCH=1767225600: $stamps"
echo "$setup" >"$work/installer.path"
echo "OK: $setup ($(stat -c %s "$setup") bytes, $(sha256sum "$setup" | cut -d' ' -f1))"
