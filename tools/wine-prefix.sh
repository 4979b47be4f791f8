#!/bin/sh
# Creates the Wine prefix named by $1 once: boots it without the .NET and HTML engines
# and lets Wine draw window frames and captions itself, as a Windows user sees them.
set -e
prefix="$1"
# Wine's own fonts (fonts-wine), among them the glyphs of its captions and frames, go where Wine
# reads a Windows system's fonts: Debian's Wine does not load them from its data folder. Done on
# every call, so that a prefix made before the fonts were installed gets them too.
link_wine_fonts() {
    fonts="$prefix/drive_c/windows/Fonts"
    [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ] || return 0
    for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
        [ -e "$f" ] && [ ! -e "$fonts/$(basename "$f")" ] && ln -s "$f" "$fonts/"
    done
    return 0
}
if [ -f "$prefix/.kav-ready" ]; then
    link_wine_fonts
    exit 0
fi
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
wineserver -w
link_wine_fonts
touch "$prefix/.kav-ready"
