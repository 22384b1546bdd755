# The commands of the README. Each installs the Debian packages it needs when they are missing.
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake make g++ libboost-dev libboost-thread-dev libboost-date-time-dev \
            libgtest-dev libgmock-dev libbenchmark-dev

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

.PHONY: all deps demo test tsan bench install-check check-layers format check-format format-deps clean

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

clean:
	rm -rf build
