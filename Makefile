# Convenience targets; each one installs missing packages, configures and builds first.
.PHONY: demo test screenshots crash concurrency sanitize bench fuzz format clean

demo:
	scripts/demo.sh

test:
	scripts/test.sh

# Long forms of the reliability harnesses that `make test` runs briefly: repairs killed at
# 1,000 moments, and 100 rounds of eight starts on one shared front end.
crash:
	scripts/deps.sh && scripts/build.sh && \
	VANTREL_CRASH_KILLS=$${KILLS:-1000} build/tests/reliability/reliability_tests --gtest_filter='Crash.*'

concurrency:
	scripts/deps.sh && scripts/build.sh && \
	VANTREL_CONCURRENT_ROUNDS=$${ROUNDS:-100} build/tests/reliability/reliability_tests --gtest_filter='Concurrency.*'

# Every window rendered under Xvfb into docs/screenshots/.
screenshots:
	scripts/screenshots.sh

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	VANTREL_SKIP_FUZZ=1 BUILD_DIR=build-asan BUILD_TYPE=Debug scripts/test.sh -DVANTREL_SANITIZE=ON -DVANTREL_BENCHMARKS=OFF

bench:
	scripts/deps.sh && BUILD_TYPE=Release BUILD_DIR=build-release scripts/build.sh && \
	for b in build-release/bench/*/*_bench; do "$$b"; done

# Every libFuzzer target for FUZZ_SECONDS (default 600) each, built with clang into build-fuzz/.
fuzz:
	scripts/fuzz.sh

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build build-asan build-release build-fuzz
