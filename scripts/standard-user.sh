#!/usr/bin/env bash
# A standard (non-administrator) user for the Wine tests, with an installation folder that user
# really cannot write to. Root ignores permission bits, so as root the user is the unprivileged
# Linux user tovi-user (made on first use, with its own home); otherwise it is the current user.
# Wine insists that a prefix belongs to whoever runs it, so the whole Wine session (prefix,
# wineserver, Xvfb) runs as that user, and what an administrator does there (install, upgrade,
# uninstall) runs with the installation folder unlocked for the moment.
#   standard-user.sh run COMMAND ARGS...  run COMMAND as the standard user, with the environment
#                                         (HOME is $STANDARD_USER_HOME when that is set)
#   standard-user.sh give PATH...         make PATHs (recursively) the standard user's own
#   standard-user.sh lock FOLDER          make FOLDER read-only to the standard user: as root owned
#                                         by root with folders 0755 and files 0644, otherwise
#                                         without any write permission
#   standard-user.sh unlock FOLDER        give FOLDER back to the standard user, for an
#                                         administrator's install or uninstall
#   standard-user.sh name                 print the standard user's Linux name
set -u
cmd=${1:?run, give, lock, unlock or name}
shift
user=tovi-user
home=/var/lib/$user

ensure_user() {
  [ "$(id -u)" -eq 0 ] || return 0
  id -u "$user" >/dev/null 2>&1 && return 0
  useradd --system --user-group --create-home --home-dir "$home" --shell /usr/sbin/nologin \
    "$user" 2>/dev/null || id -u "$user" >/dev/null 2>&1 # a parallel first use made it
}

case "$cmd" in
name)
  if [ "$(id -u)" -eq 0 ]; then echo "$user"; else id -un; fi
  ;;
run)
  [ $# -gt 0 ] || { echo "usage: $0 run COMMAND ARGS..." >&2; exit 2; }
  if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
  fi
  ensure_user || { echo "cannot make the user $user" >&2; exit 1; }
  exec setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --init-groups \
    env HOME="${STANDARD_USER_HOME:-$home}" USER="$user" LOGNAME="$user" "$@"
  ;;
give)
  if [ "$(id -u)" -eq 0 ]; then
    ensure_user || exit 1
    chown -R "$user:$user" "$@"
  fi
  chmod -R u+w "$@"
  ;;
lock)
  folder=${1:?folder}
  if [ "$(id -u)" -eq 0 ]; then
    chown -R root:root "$folder"
    find "$folder" -type d -exec chmod 0755 {} +
    find "$folder" -type f -exec chmod 0644 {} +
  else
    chmod -R a-w "$folder"
  fi
  ;;
unlock)
  folder=${1:?folder}
  "$0" give "$folder"
  ;;
*)
  echo "usage: $0 run|give|lock|unlock|name ..." >&2
  exit 2
  ;;
esac
