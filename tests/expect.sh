# The checks of the shell tests: each prints "ok" or "FAILED" with what it
# got and wanted; $failed is 1 once one has failed. Sourced.
failed=0
expect() {  # expect WHAT GOT WANTED
  if [ "$2" != "$3" ]; then
    echo "FAILED: $1: got '$2', wanted '$3'"
    failed=1
  else
    echo "ok: $1"
  fi
}
