# Shared by the test session scripts and scripts/run.sh: how a Wine prefix, the
# Chinese locale and a private Xvfb display are made for Torvane. Source it.

TORVANE_WINE_DLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'

torvane_log() { printf '[wine] %s\n' "$*" >&2; }

# Wine's loaders, called directly: Debian's `wine` wrapper takes the 32-bit loader
# whenever wine32 is installed, even for a 64-bit prefix, and that loader cannot
# start on kernels without 32-bit emulation.
torvane_wine_loader() {
  case $1 in
    x86_64) echo /usr/lib/wine/wine64 ;;
    i686) echo /usr/lib/wine/wine ;;
    *) torvane_log "unknown Windows build '$1' (x86_64 or i686)"; return 1 ;;
  esac
}

# One wineserver serves 32-bit and 64-bit clients; the 64-bit one where present,
# as Debian's own wrapper chooses.
torvane_wine_server() {
  if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64
  else echo /usr/lib/wine/wineserver32; fi
}

# Settings every Wine process of ours runs with (apart from WINEPREFIX and DISPLAY),
# for the Windows build ARCH (x86_64 or i686).
torvane_export_wine_env() {
  local locale_dir=$1 arch=$2
  case $arch in
    x86_64) export WINEARCH=win64 ;;
    i686) export WINEARCH=win32 ;;
  esac
  WINELOADER=$(torvane_wine_loader "$arch") || return 1
  WINESERVER=$(torvane_wine_server)
  export WINELOADER WINESERVER
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES=$TORVANE_WINE_DLLOVERRIDES
  export LOCPATH=$locale_dir
  # bash itself cannot load a locale from LOCPATH and would warn; the programs can.
  { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null
}

# zh_CN.UTF-8 compiled into a folder of our own, so that Wine picks code page 936
# without touching the system's locales.
torvane_compile_locale() {
  local dir=$1
  [ -f "$dir/zh_CN.UTF-8/LC_CTYPE" ] && return 0
  mkdir -p "$dir"
  # localedef exits 1 on mere warnings; the compiled files are what counts.
  timeout 120 localedef -i zh_CN -f UTF-8 "$dir/zh_CN.UTF-8" >/dev/null 2>&1 || true
  [ -f "$dir/zh_CN.UTF-8/LC_CTYPE" ] || { torvane_log "localedef failed for $dir"; return 1; }
}

# A prefix of the chosen width: Managed=N (no window manager here: without it every hide or
# destroy stalls the UI thread for about 2 s) and the Chinese font names mapped to
# WenQuanYi Micro Hei. Expects torvane_export_wine_env to have run.
torvane_make_prefix() {
  local prefix=$1
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  WINEPREFIX=$prefix timeout 300 "$WINELOADER" wineboot -i </dev/null >"$prefix.log" 2>&1 \
    || { torvane_log "wineboot -i failed, see $prefix.log"; return 1; }
  local regfile=$prefix.settings.reg
  # regedit reads UTF-16LE .reg files; "reg add" arguments would not keep the CJK names.
  printf '%s\r\n' \
    'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"SimSun"="WenQuanYi Micro Hei"' '"宋体"="WenQuanYi Micro Hei"' \
    '"Microsoft YaHei"="WenQuanYi Micro Hei"' '"微软雅黑"="WenQuanYi Micro Hei"' '' \
    | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$regfile"
  WINEPREFIX=$prefix timeout 60 "$WINELOADER" regedit /S "$(WINEPREFIX=$prefix timeout 60 "$WINELOADER" winepath -w "$regfile")" \
    </dev/null >>"$prefix.log" 2>&1 || { torvane_log "regedit failed, see $prefix.log"; return 1; }
  torvane_stop_wineserver "$prefix"
  # wineserver writes the registry files when it exits.
  grep -q '"Managed"="N"' "$prefix/user.reg" \
    || { torvane_log "prefix $prefix lacks Managed=N"; return 1; }
}

torvane_stop_wineserver() {
  local prefix=$1
  [ -d "$prefix" ] || return 0
  local server=${WINESERVER:-$(torvane_wine_server)}
  WINEPREFIX=$prefix timeout 30 "$server" -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix timeout 30 "$server" -w >/dev/null 2>&1 || true
}

# Starts Xvfb on a free display number (Xvfb picks it: -displayfd) and records
# its pid and display in DIR. Prints the display (":N").
torvane_start_xvfb() {
  local dir=$1
  mkdir -p "$dir"
  rm -f "$dir/xvfb.display" "$dir/xvfb.pid"
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp -noreset \
    3>"$dir/xvfb.display" </dev/null >"$dir/xvfb.log" 2>&1 &
  echo $! >"$dir/xvfb.pid"
  local i
  for i in $(seq 100); do
    if [ -s "$dir/xvfb.display" ]; then
      local display=":$(tr -d '[:space:]' <"$dir/xvfb.display")"
      if timeout 5 xdpyinfo -display "$display" >/dev/null 2>&1; then
        echo "$display"
        return 0
      fi
    fi
    kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null || break
    sleep 0.1
  done
  torvane_log "Xvfb did not start, see $dir/xvfb.log"
  torvane_stop_xvfb "$dir"
  return 1
}

torvane_stop_xvfb() {
  local dir=$1 pid
  [ -f "$dir/xvfb.pid" ] || return 0
  pid=$(cat "$dir/xvfb.pid")
  rm -f "$dir/xvfb.pid"
  # Only the Xvfb we started: the pid must still belong to an Xvfb process.
  if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$pid" 2>/dev/null || true
    local i
    for i in $(seq 50); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
}
