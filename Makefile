# The commands of the README. Each installs the Debian packages it needs when they are missing.
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake make g++ libboost-dev libboost-thread-dev libboost-date-time-dev \
            libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev libcli11-dev
# The fuzz targets are built with clang and its libFuzzer.
FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60

# Installs those of the Debian packages $(1) that are missing.
define install-missing
@missing=""; for p in $(1); do \
  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
done; \
if [ -n "$$missing" ]; then \
  echo "Installing:$$missing"; \
  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
fi
endef

.PHONY: all deps demo test tsan bench install-check check-layers format check-format format-deps fuzz fuzz-smoke clean

all: demo

deps:
	$(call install-missing,$(PACKAGES))

demo: deps
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS) --target ncds
	./build/release/ncds demo

test: deps
	cmake --preset debug >/dev/null
	cmake --build --preset debug -j $(JOBS)
	ctest --preset debug -j $(JOBS)

tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS) --target ncdataset_tests
	ctest --preset tsan -j $(JOBS)

bench: deps
	cmake --preset bench >/dev/null
	cmake --build --preset bench -j $(JOBS)
	./build/bench/ncdataset_bench --benchmark_counters_tabular=true

# Installs a release build into build/install-check/prefix, builds examples/ against it, runs it.
install-check: deps
	JOBS=$(JOBS) .ci/install-check

check-layers:
	.ci/check-layers

# Debian's clang-format, whose version fixes what .clang-format produces.
format-deps:
	$(call install-missing,clang-format)

format: format-deps
	.ci/sources | xargs clang-format -i

check-format: format-deps
	.ci/check-format

# Every fuzz target for FUZZ_SECONDS each, then a table; non-zero exit on any finding (fuzz/run-fuzz.sh).
fuzz:
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGES) $(FUZZ_PACKAGES)"
	FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_TARGETS="$(FUZZ_TARGETS)" JOBS=$(JOBS) bash fuzz/run-fuzz.sh

# A few seconds per target, for CI.
fuzz-smoke:
	@$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=5

clean:
	rm -rf build
