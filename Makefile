# The commands of the README. Each installs the Debian packages it needs when they are missing.
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PACKAGES := cmake make g++ libboost-dev libboost-thread-dev libboost-date-time-dev \
            libgtest-dev libgmock-dev libbenchmark-dev

.PHONY: all deps demo test tsan bench clean

all: demo

deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

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

clean:
	rm -rf build
