#!/bin/bash
# scripts/install-packages.sh with a fake apt first on PATH, whose "apt-get
# update" always fails: the install goes on from the lists there are, and a
# package no list has is named and fails the script (the others installed).
# usage: tests/install_packages_test.sh SCRIPT
set -u
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/installed"
printf '%s\n' cmake 'wine32:i386' xvfb >"$work/lists"
export FAKE_APT=$work PATH=$work/bin:$PATH

cat >"$work/bin/apt-get" <<'EOF'
#!/bin/bash
case $1 in
  update) echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages" >&2; exit 100 ;;
  install) ;;
  *) exit 1 ;;
esac
shift
names=()
for p in "$@"; do
  case $p in -*) ;; *)
    grep -qxF -- "$p" "$FAKE_APT/lists" || { echo "E: Unable to locate package $p" >&2; exit 100; }
    names+=("$p") ;;
  esac
done
for p in "${names[@]}"; do touch "$FAKE_APT/installed/$p"; done
EOF
cat >"$work/bin/apt-cache" <<'EOF'
#!/bin/bash
[ "$1" = policy ] && grep -qxF -- "$2" "$FAKE_APT/lists" && printf '%s:\n  Installed: (none)\n  Candidate: 1.0\n' "$2"
exit 0
EOF
cat >"$work/bin/dpkg" <<'EOF'
#!/bin/bash
case $1 in
  --add-architecture) ;;
  -s) [ -e "$FAKE_APT/installed/$2" ] || exit 1; echo "Status: install ok installed" ;;
  *) exit 1 ;;
esac
EOF
chmod +x "$work/bin/"*

. "$(dirname "$0")/expect.sh"
has() { grep -qF -- "$2" "$1" && echo yes || echo no; }

"$script" cmake 'wine32:i386' 2>"$work/err1"; code=$?
expect "exit code after a failed update" $code 0
expect "the failed update is reported" "$(has "$work/err1" "apt-get update failed; installing from the package lists already on this machine")" yes
expect "installed after a failed update" "$(ls "$work/installed" | tr '\n' ' ')" "cmake wine32:i386 "

"$script" xvfb no-such-package 2>"$work/err2"; code=$?
expect "exit code with a package no list has" $code 1
expect "the package is named" "$(has "$work/err2" "cannot install no-such-package: not in this machine's package lists")" yes
expect "the others are installed" "$([ -e "$work/installed/xvfb" ] && echo yes || echo no)" yes
[ $failed = 0 ] || { echo "stderr:"; cat "$work/err1" "$work/err2"; }
exit $failed
