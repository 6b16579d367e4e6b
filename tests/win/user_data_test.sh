#!/usr/bin/env bash
# A standard user's words and settings: the real module and tables installed in
# "C:\Program Files\tovi", a folder the user running Wine cannot write, then user_data_win_test.exe
# run phase by phase, each phase a new process (an application that ends and one that starts):
# a first start that writes nothing, the changes, and the changes found again, also by an
# application of the other architecture when one is given. The installation folder must come out
# byte for byte as it went in.
#
# Root ignores permission bits, so as root the test runs as the standard user of
# scripts/standard-user.sh, in a Wine session (prefix and Xvfb) of that user, with the
# installation folder locked against it. As any other user the tree's session is used.
#   user_data_test.sh SESSION-DIR DIST-DIR BIN-DIR [OTHER-BIN-DIR]
set -u
session=$(mkdir -p "${1:?session folder}" && cd "$1" && pwd)
dist=$(cd "${2:?package folder}" && pwd)
bin=$(cd "${3:?folder of the module and the test program}" && pwd)
other=${4:-}
cd "$(dirname "$0")/../.."
wine_session=$PWD/scripts/wine-session.sh
program=user_data_win_test.exe

[ -f "$dist/toviwb.mb" ] && [ -f "$dist/tovipy.mb" ] && [ -f "$dist/skin/skin-02.bmp" ] ||
  { echo "no real tables or artwork in $dist: run scripts/build.sh"; exit 1; }
if [ -n "$other" ] && [ ! -f "$other/$program" ]; then
  echo "no $other/$program: build the other Windows tree first"
  exit 1
fi

user_tool=$PWD/scripts/standard-user.sh
if [ "$(id -u)" = 0 ]; then
  # The user's prefix is kept between runs: made once, it saves each run the prefix's start.
  session="$session-user"
  mkdir -p "$session/home"
  "$user_tool" give "$session" || exit 1
  as_user() { STANDARD_USER_HOME="$session/home" "$user_tool" run "$@"; }
  as_user "$wine_session" start "$session" >/dev/null || exit 1
  trap 'as_user "$wine_session" stop "$session" >/dev/null 2>&1' EXIT
else
  as_user() { "$@"; }
fi

drive="$session/prefix/drive_c"
install="$drive/Program Files/tovi"
apps="$drive/tovi-test-apps"
# Earlier runs left these read-only.
[ -e "$install" ] && chmod -R u+w "$install"
[ -e "$apps" ] && chmod -R u+w "$apps"
rm -rf "$install" "$apps"
mkdir -p "$install/skin" "$apps/this"
for f in toviwb.mb tovipy.mb codePyMain.pmt vemoraPY.pmt vemoraSP.pmt deduSPNum.pi dict.txt \
  tovi.bmp tovi_cand.bmp; do
  cp "$dist/$f" "$install/" || exit 1
done
cp "$dist"/skin/*.bmp "$install/skin/" || exit 1
# The keypad scheme, as the installer's config.ini starts it.
printf 'IME_SETTINGS 161\r\nIME_SKIN 0\r\nIME_STATUS_X 10\r\nIME_STATUS_Y 718\r\n' \
  >"$install/config.ini"
cp "$bin/tovi.ime" "$bin/$program" "$apps/this/" || exit 1
if [ -n "$other" ]; then
  mkdir -p "$apps/other"
  cp "$other/tovi.ime" "$other/$program" "$apps/other/" || exit 1
fi
"$user_tool" lock "$install" && "$user_tool" lock "$apps" || exit 1

sums() { (cd "$install" && find . -print0 | sort -z | xargs -0 ls -ld --time-style=+ | \
  awk '{ print $1, $NF }' && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
before=$(sums)

failures=0
phase() { # program folder, test name
  echo "== $2 ($1)"
  if ! as_user "$wine_session" run "$session" "$apps/$1/$program" --gtest_filter="UserData.$2"; then
    echo "FAILED: $2 ($1)"
    failures=$((failures + 1))
  fi
}
phase this TheInstallationFolderIsNotThisUsersToWrite
phase this FirstStartTypesWithTheInstalledFilesAndWritesNothing
phase this ChangesAreSavedForTheUser
phase this ChangesAreKeptForTheNextApplication
[ -n "$other" ] && phase other ChangesAreKeptForTheNextApplication

if [ "$(sums)" = "$before" ]; then
  echo "ok: the installation folder is unchanged"
else
  echo "FAILED: the installation folder changed"
  diff <(echo "$before") <(sums)
  failures=$((failures + 1))
fi
[ "$failures" = 0 ]
