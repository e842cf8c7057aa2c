#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses it as outside projects do: every installed
# header compiles on its own, an outside CMake project finds the package and builds the C++
# host, pkg-config builds the C host, Python loads the library; then each host runs the demo's
# healthy front end and its renamed one, repaired or ignored through the console driver.
#
#   install_test.sh BUILD_DIR SOURCE_DIR WORK_DIR CXX CC HEADER...
set -euo pipefail
build=$1 source=$2 work=$3 cxx=$4 cc=$5
shift 5
headers=("$@")

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
# Installed in one place and used from another: nothing may depend on the prefix given.
prefix=$work/prefix
cmake --install "$build" --prefix "$work/staged" >"$work/install.log"
mv "$work/staged" "$prefix"
libdir=$(dirname "$(find "$prefix" -name 'liborvanta.so' | head -1)")
[[ -n $libdir ]] || fail "liborvanta.so was not installed"

# Only the public headers are installed, and each compiles alone (the C one as C and C++).
installed=$(cd "$prefix/include" && find . -type f | sed 's#^\./##' | sort)
expected=$(printf '%s\n' "${headers[@]}" | sort)
[[ $installed == "$expected" ]] || fail "installed headers differ:"$'\n'"$installed"
for header in "${headers[@]}"; do
  echo "#include <$header>" | "$cxx" -std=c++20 -Wall -Wextra -Werror -fsyntax-only \
    -I"$prefix/include" -x c++ - || fail "$header does not compile on its own"
done
echo '#include <orvanta/orvanta.h>' | "$cc" -std=c99 -Wall -Wextra -pedantic -Werror \
  -fsyntax-only -I"$prefix/include" -x c - || fail "orvanta.h is not C"
readelf -d "$libdir/liborvanta.so" | grep -q 'SONAME.*liborvanta\.so\.[0-9]' ||
  fail "liborvanta.so has no versioned SONAME"

# The hosts, built as outside projects.
cmake -S "$source/examples/cpp" -B "$work/cpp" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release >"$work/cpp-configure.log" ||
  fail "find_package(Vantrel) failed: $(cat "$work/cpp-configure.log")"
cmake --build "$work/cpp" >"$work/cpp-build.log" || fail "C++ host: $(cat "$work/cpp-build.log")"
export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
"$cc" -std=c11 -Wall -Wextra -Werror "$source/examples/c/host.c" -o "$work/c_host" \
  $(pkg-config --cflags --libs orvanta) -Wl,-rpath,"$(pkg-config --variable=libdir orvanta)" ||
  fail "C host does not build with pkg-config"
hosts=("$work/cpp/cpp_host" "$work/c_host")
if command -v python3 >/dev/null; then
  export ORVANTA_LIBRARY=$libdir/liborvanta.so
  hosts+=("python3 $source/examples/python/host.py")
fi

# The installed program runs from the prefix and builds the front ends the hosts check. Each
# case: scenario, the console commands fed to the host, its exit status and what it prints.
vantrel=$prefix/bin/vantrel
repair=$'click cmdNext\nclick lstDatabases 0\nclick cmdNext\nclick cmdFinish\n'
ignore=$'click optIgnore\nclick cmdNext\nyes\n'
cases=("healthy||0|Linked through set \"Office\""
       "renamed|$repair|0|Linked through set \"Office\""
       "renamed|$ignore|1|the links were not repaired; leaving")
n=0
for host in "${hosts[@]}"; do
  for case in "${cases[@]}"; do
    IFS='|' read -r -d '' scenario input expected mention <<<"$case" || true
    mention=${mention%$'\n'}
    n=$((n + 1))
    demo=$work/demo-$n-$scenario
    "$vantrel" demo "$demo" --scenario "$scenario" >/dev/null
    status=0
    $host "$demo/App/Front.mdb" console <<<"$input" >"$demo.out" 2>&1 || status=$?
    [[ $status == "$expected" ]] || fail "$host on $scenario exited $status: $(cat "$demo.out")"
    grep -qF "$mention" "$demo.out" || fail "$host on $scenario: $(cat "$demo.out")"
    [[ $expected == 0 ]] || continue
    # Repaired: every linked table opens, two of them from the renamed file.
    report=$("$vantrel" status "$demo/App/Front.mdb" --json)
    grep -q '"opens": false' <<<"$report" && fail "$host left broken links: $report"
    if [[ $scenario == renamed ]]; then
      [[ $(grep -c 'Sales-2024.mdb' <<<"$report") -ge 2 ]] || fail "$host did not relink: $report"
    fi
  done
done

# The installed program loads the installed Qt module when its first window is due, wherever
# the prefix is. The window then waits for a user, so the run is ended once the module is in.
module=$libdir/vantrel/libvantrel_qt.so
if [[ -e $module ]]; then
  demo=$work/demo-qt
  "$vantrel" demo "$demo" >/dev/null
  QT_QPA_PLATFORM=offscreen LD_DEBUG=files "$vantrel" check "$demo/App/Front.mdb" --ui=qt \
    </dev/null >/dev/null 2>"$demo.err" &
  pid=$!
  for _ in $(seq 150); do
    grep -q "calling init: $prefix/.*/vantrel/libvantrel_qt.so" "$demo.err" && break
    sleep 0.2
  done
  kill "$pid" 2>/dev/null || fail "vantrel --ui=qt ended: $(grep -v '^ *[0-9]*:' "$demo.err")"
  wait "$pid" || true
  grep -q "calling init: $prefix/.*/vantrel/libvantrel_qt.so" "$demo.err" || fail "the installed Qt module was not loaded"
fi

echo "installed into $prefix; ${#hosts[@]} hosts ran ${#cases[@]} cases each"
