# Sourced by the scripts that run the real module under Wine with the real tables (after README
# command 1): copies the package folder into a temporary installation folder, starts the Wine
# session, names the folder in the registry, and undoes it all when the script ends. Sets
# $session, $install and $root.
root=$(pwd)
session="$root/build-win/wine"
install=$(mktemp -d /tmp/tovi-install.XXXXXX)
stop_installed_session() {
  scripts/wine-session.sh stop "$session" >/dev/null 2>&1 || true
  rm -rf "$install"
}
trap stop_installed_session EXIT

cp -r build-win/dist/* "$install/"
scripts/wine-session.sh start "$session" >/dev/null
export WINEPREFIX="$session/prefix" WINEDEBUG=-all
/usr/lib/wine/wine64 reg add 'HKLM\SOFTWARE\tovi' /v INSTALL_PATH /t REG_SZ \
  /d "Z:${install//\//\\}" /f >/dev/null 2>&1
