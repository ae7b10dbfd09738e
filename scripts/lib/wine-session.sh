# Sourced by the scripts that run Windows programs: one Xvfb (when asked for)
# and one persistent wineserver with a private prefix, stopped by pid on exit.

WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[[ -x $WINESERVER ]] || WINESERVER=/usr/lib/wine/wineserver

_session_pids=()

session_stop() {
  if [[ -n ${WINEPREFIX:-} ]]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${_session_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" >/dev/null 2>&1 || true
  done
  _session_pids=()
}

# session_start_xvfb: a private display; exports DISPLAY.
session_start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  _session_pids+=($!)
  local display
  read -r -t 30 display <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$display"
}

# session_start_wine PREFIX: a private prefix (created on first use, without
# the Mono and Gecko installers) and a wineserver that stays up between
# program starts.
session_start_wine() {
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p >/dev/null 2>&1
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
  fi
  "$WINE64" wineboot --init >/dev/null 2>&1 || true
  session_font_substitutes
}

# A Windows machine has the Chinese fonts the skins and pages name; here
# they are substitutes for WenQuanYi Micro Hei (Debian's fonts-wqy-microhei),
# without which Wine draws boxes. The .reg file is UTF-16 so that the names
# survive whatever locale the shell runs in.
session_font_substitutes() {
  local marker=$WINEPREFIX/.qel-font-substitutes
  [[ -f $marker ]] && return 0
  local reg
  reg=$(mktemp --suffix=.reg)
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"微软雅黑"="WenQuanYi Micro Hei"' \
    '"Microsoft YaHei"="WenQuanYi Micro Hei"' \
    '"新宋体"="WenQuanYi Micro Hei"' \
    '"NSimSun"="WenQuanYi Micro Hei"' '' |
    iconv -f UTF-8 -t UTF-16 >"$reg"
  if "$WINE64" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1; then
    touch "$marker"
  else
    echo "could not register the font substitutes" >&2
  fi
  rm -f "$reg"
}

# winepath_of FILE: the Windows path of a Unix file (Z: maps the root).
winepath_of() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}

# session_keep_desktop EXE: keeps Wine's desktop process up until the session
# stops, so each program start does not pay for a new one.
session_keep_desktop() {
  [[ -f $1 ]] || return 0
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  "$WINE64" "$1" </dev/null >"$fifo" 2>/dev/null &
  _session_pids+=($!)
  local line
  read -r -t 60 line <"$fifo" || echo "the desktop keeper did not report" >&2
  rm -f "$fifo"
}
