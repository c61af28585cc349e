#!/bin/sh
# cmake --install puts the program and the component where the installed
# program finds it without the build tree: `info` names the installed bundle,
# and the validator counts renders with the installed counting library.
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
if [ -f "$build/host/libtolvane_render_counting.so" ]; then
  test -f "$prefix/lib/tolvane/libtolvane_render_counting.so" || {
    echo "the counting library is not installed"
    exit 1
  }
  env -u TOLVANE_COMPONENTS_DIR "$prefix/bin/tolvane" validate |
    grep -q "allocates and locks nothing (0 allocator calls" || {
    echo "the installed validator does not count renders"
    exit 1
  }
fi
rm -rf "$prefix"
