#!/bin/sh
# Runs one Windows executable under Wine with the project's own prefix and quiet debug output.
# The prefix lives in the build folder (KAV_WINEPREFIX, set by tools/with-xvfb.sh) and never in ~/.wine.
: "${KAV_WINEPREFIX:?run through tools/with-xvfb.sh or tools/run.sh}"
export WINEPREFIX="$KAV_WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
