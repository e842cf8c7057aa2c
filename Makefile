# Convenience targets; each one installs missing packages, configures and builds first.
.PHONY: demo test screenshots sanitize bench format clean

demo:
	scripts/demo.sh

test:
	scripts/test.sh

# Every window rendered under Xvfb into docs/screenshots/.
screenshots:
	scripts/screenshots.sh

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	BUILD_DIR=build-asan BUILD_TYPE=Debug scripts/test.sh -DVANTREL_SANITIZE=ON -DVANTREL_BENCHMARKS=OFF

bench:
	scripts/deps.sh && BUILD_TYPE=Release BUILD_DIR=build-release scripts/build.sh && \
	for b in build-release/bench/*/*_bench; do "$$b"; done

format:
	git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	rm -rf build build-asan build-release
