#!/bin/sh
# cmake --install puts the program and the component where the installed
# program finds it without the build tree: `info` names the installed bundle.
# usage: test_host_install.sh CMAKE BUILD_DIR SCRATCH_DIR
set -eu
cmake=$1 build=$2 prefix=$3/installed
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
first=$(env -u TOLVANE_COMPONENTS_DIR "$prefix/bin/tolvane" info | head -n 1)
test "$first" = "$prefix/lib/tolvane/Components/TolvaneDelay.component" || {
  echo "the installed program loads $first"
  exit 1
}
"$prefix/bin/tolvane" --version
rm -rf "$prefix"
