# A Windows build made on Linux runs its tests, and GoogleTest's listing of
# them at build time, under Wine. The programs find their DLLs (Qt, the MinGW
# runtime) through WINEPATH, as they find them beside themselves once packed;
# the Wine prefix is the build tree's own, so nothing lands in the user's ~/.wine.
set(QORNV_WINDOWS_RUNTIME_DIRS "" CACHE STRING
    "Folders holding the DLLs the Windows programs need (Qt's bin, the MinGW runtime)")
find_program(QORNV_WINE NAMES wine wine64)
find_program(QORNV_WINESERVER NAMES wineserver)
if(QORNV_WINE)
    list(TRANSFORM QORNV_WINDOWS_RUNTIME_DIRS PREPEND "Z:" OUTPUT_VARIABLE wine_dirs)
    list(JOIN wine_dirs ";" wine_path)
    set(wine_run ${CMAKE_BINARY_DIR}/wine-run)
    file(CONFIGURE OUTPUT ${wine_run} @ONLY CONTENT [[
#!/bin/sh
# Runs a Windows program of this build under Wine.
export WINEPREFIX="${QORNV_WINEPREFIX:-@CMAKE_BINARY_DIR@/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPATH="@wine_path@"
# Debian's Wine writes the name of its server's folder into a new prefix on
# first use. Programs that start together on a new prefix (the icons at build
# time) each write their own, and one then cannot find the server. So the
# first program to find the prefix unmade makes it, under a lock, alone.
ready="$WINEPREFIX/.made"
if [ ! -e "$ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -e "$ready" ]; then
            "@QORNV_WINE@" wineboot --init >/dev/null 2>&1 || exit 1
            touch "$ready"
        fi
    ) 9>"$WINEPREFIX.lock" || { echo "wine-run: cannot make the Wine prefix $WINEPREFIX" >&2; exit 1; }
fi
# The server stays for half a minute after the last program: one that quits
# between two tests races the next test's start, which then loses its
# connection or never exits. Where a server runs already this does nothing.
if [ -n "@QORNV_WINESERVER@" ]; then
    "@QORNV_WINESERVER@" -p30 2>/dev/null
fi
exec "@QORNV_WINE@" "$@"
]])
    file(CHMOD ${wine_run} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
        GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run})
    # GoogleTest lists a program's tests when ctest starts rather than after
    # each link: a link then does not wait for Wine to start, and a build
    # machine without Wine can still build everything.
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()
