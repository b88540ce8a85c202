# shellcheck shell=bash
# Sourced (not executed) by scripts that run Windows binaries under Wine.
# Usage: source scripts/wine-env.sh; wine_env_start <prefix-dir>; ...; wine_env_stop
# Works in callers with or without `set -euo pipefail`.

quillow_repo_root() {
    (cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
}

# Poll a command until it succeeds, so we never rely on a fixed sleep.
# Usage: _quillow_wait_for <timeout-seconds> <command...>
_quillow_wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

_quillow_pid_gone() { ! kill -0 "$1" 2>/dev/null; }

# Starts a private Xvfb on the first free display >= 90 and exports DISPLAY.
# A display can be grabbed by a parallel run between our check and Xvfb's
# start, so a failed start just moves on to the next number.
quillow_xvfb_start() {
    local n pid
    for ((n = 90; n < 190; n++)); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        pid=$!
        if _quillow_wait_for 15 xdpyinfo -display ":$n"; then
            if kill -0 "$pid" 2>/dev/null; then
                _QUILLOW_XVFB_PID=$pid
                _QUILLOW_OLD_DISPLAY=${DISPLAY-}
                export DISPLAY=":$n"
                return 0
            fi
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    echo "wine-env: could not start Xvfb" >&2
    return 1
}

quillow_xvfb_stop() {
    [[ -n ${_QUILLOW_XVFB_PID-} ]] || return 0
    kill "$_QUILLOW_XVFB_PID" 2>/dev/null || true
    _quillow_wait_for 10 _quillow_pid_gone "$_QUILLOW_XVFB_PID" ||
        kill -9 "$_QUILLOW_XVFB_PID" 2>/dev/null || true
    wait "$_QUILLOW_XVFB_PID" 2>/dev/null || true
    if [[ -n ${_QUILLOW_OLD_DISPLAY-} ]]; then
        export DISPLAY=$_QUILLOW_OLD_DISPLAY
    else
        unset DISPLAY
    fi
    unset _QUILLOW_XVFB_PID _QUILLOW_OLD_DISPLAY
}

# Common Wine settings. Debian ships wine64 only under /usr/lib/wine, so it
# goes on PATH to make `wine64` callable; the `wine` wrapper would otherwise
# nag about the missing 32-bit loader on every call.
quillow_wine_exports() {
    case ":$PATH:" in *:/usr/lib/wine:*) ;; *) export PATH="/usr/lib/wine:$PATH" ;; esac
    export WINELOADER=/usr/lib/wine/wine64
    export WINEARCH=win64
    export WINEDEBUG=${WINEDEBUG:--all}
    # Skip the Mono and Gecko download prompts, which would hang headless runs.
    export WINEDLLOVERRIDES="mscoree,mshtml="
}

# Wine draws the caption buttons with the glyphs of its Marlett font, which
# Debian's fonts-wine installs (scripts/setup). This Wine finds fonts in the
# prefix's Fonts folder, not in its data directory: a prefix gets Marlett
# there, and only Marlett, so the text of every window stays as it was.
QUILLOW_CAPTION_FONT=/usr/share/wine/fonts/marlett.ttf
quillow_link_caption_font() {
    local fonts="$1/drive_c/windows/Fonts"
    [[ -f $QUILLOW_CAPTION_FONT ]] || return 0
    mkdir -p "$fonts"
    ln -sf "$QUILLOW_CAPTION_FONT" "$fonts/marlett.ttf"
}

# A prefix is hundreds of megabytes of DLLs that Wine only reads, so a copy
# shares them by hard link; the registry files, which wineserver rewrites,
# are real copies.
quillow_prefix_copy() {
    local template dir=$2
    # cp -a copies a link as a link: from a work tree, whose template is a
    # link to the shared one, the copy would be that link, and every test
    # would run in (and its server rewrite) the shared template itself.
    template=$(cd "$1" && pwd -P) || return 1
    cp -al "$template" "$dir"
    if [[ -L $dir || $(readlink -f "$dir") == "$template" ]]; then
        echo "wine-env: $dir is not a prefix of its own" >&2
        return 1
    fi
    local reg
    for reg in "$template"/*.reg; do
        cp --remove-destination -p "$reg" "$dir/"
    done
    quillow_link_caption_font "$dir"
}

wine_env_start() {
    local dir=${1:?usage: wine_env_start <prefix-dir>}
    local template
    # In a work tree the template is a link to the shared one; cp -a would
    # copy the link itself, and the "copy" would be the shared template.
    template="$(cd "$(quillow_repo_root)/build/wine/template" 2>/dev/null && pwd -P)" ||
        template="$(quillow_repo_root)/build/wine/template"
    if [[ ! -d $dir ]]; then
        [[ -f $template/.quillow-ready ]] || {
            echo "wine-env: no Wine template, run scripts/setup first" >&2
            return 1
        }
        quillow_prefix_copy "$template" "$dir"
    fi
    export WINEPREFIX
    WINEPREFIX="$(cd "$dir" && pwd)"
    quillow_wine_exports

    local own=no
    if [[ -z ${DISPLAY-} || ${QUILLOW_FORCE_XVFB-} == 1 ]]; then
        quillow_xvfb_start || return 1
        own=yes
    fi
    echo "wine-env: DISPLAY=$DISPLAY (own Xvfb: $own), WINEPREFIX=$WINEPREFIX"

    # A persistent server avoids paying wineserver start-up for every test.
    # Its output goes nowhere: a server holding our stdout open would keep any
    # pipe we are part of from ever closing.
    wineserver -p >/dev/null 2>&1 </dev/null || { wine_env_stop; return 1; }
    _QUILLOW_WINESERVER_PREFIX=$WINEPREFIX
    # Wine's background services start with the first program and inherit its
    # output handles; started here, they hold no pipe of a later caller open.
    wine64 cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
    if [[ -n ${_QUILLOW_WINESERVER_PREFIX-} ]]; then
        WINEPREFIX=$_QUILLOW_WINESERVER_PREFIX wineserver -k 2>/dev/null || true
        WINEPREFIX=$_QUILLOW_WINESERVER_PREFIX timeout 20 wineserver -w 2>/dev/null || true
        unset _QUILLOW_WINESERVER_PREFIX
    fi
    quillow_xvfb_stop
}
