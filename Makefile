# Two entry points for a fresh Debian 12 machine:
#   make demo   installs what is missing, builds, runs the demo export
#   make test   installs what is missing, builds, runs every test
#   make reliability  runs the fault tests and writes docs/reliability.md
#   make sanitize     every test again, built with AddressSanitizer and
#                     UndefinedBehaviorSanitizer (the large-extract run left out)
BUILD ?= build
JOBS ?= 2
PACKAGES = build-essential cmake pkg-config libxml2-dev libxml2-utils libcurl4-openssl-dev \
           libzip-dev libsqlite3-dev zip unzip libgtest-dev libgmock-dev googletest imagemagick \
           python3 python3-pyftpdlib python3-aiosmtpd qt6-base-dev locales

.PHONY: deps build test sanitize demo bench reliability clean

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

SANITIZE_BUILD ?= build-sanitize

sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELON_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitize/lsan.supp \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j$(JOBS) -LE large

demo: build
	demo/run_demo.sh $(BUILD)

reliability: build
	tests/reliability/make_report.py $(BUILD) $(JOBS)

bench: build
	bench/run_bench.sh $(BUILD) $(BENCH_ARGS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
