# make run   - install what is missing, build, and start the timer board
# make test  - install what is missing, build, and run every test
BUILD ?= build
JOBS  ?= $(shell nproc)

.PHONY: run test build deps test-deps bench clean

deps:
	@bash scripts/install-deps.sh

test-deps:
	@bash scripts/install-deps.sh --test

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS)

run: deps build
	./$(BUILD)/kelvo-timer

test: test-deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps build
	./$(BUILD)/bench/bench_timer

clean:
	rm -rf $(BUILD)
