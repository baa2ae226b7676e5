# Two entry points for a fresh Debian 12 machine:
#   make demo   installs what is missing, builds, runs the demo export
#   make test   installs what is missing, builds, runs every test
#   make reliability  runs the fault tests and writes docs/reliability.md
BUILD ?= build
JOBS ?= 2
PACKAGES = build-essential cmake pkg-config libxml2-dev libxml2-utils libcurl4-openssl-dev \
           libzip-dev libsqlite3-dev zip unzip libgtest-dev libgmock-dev googletest imagemagick \
           python3 python3-pyftpdlib python3-aiosmtpd qt6-base-dev locales

.PHONY: deps build test demo bench reliability clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  SUDO=; [ "$$(id -u)" -eq 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

demo: build
	demo/run_demo.sh $(BUILD)

reliability: build
	tests/reliability/make_report.py $(BUILD) $(JOBS)

bench: build
	bench/run_bench.sh $(BUILD) $(BENCH_ARGS)

clean:
	rm -rf $(BUILD)
