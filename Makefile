# The two everyday commands; the work is in scripts/.
.PHONY: run test package release-check docs fuzz bench bench-clock native windows clean
run:
	bash scripts/run.sh
test:
	bash scripts/test.sh
package:
	bash scripts/package.sh
release-check:
	bash scripts/release-check.sh
docs:
	bash scripts/docs.sh
fuzz:
	bash scripts/fuzz.sh 300
bench:
	bash scripts/bench.sh
bench-clock:
	bash scripts/bench-clock.sh
native:
	cmake --preset native && cmake --build --preset native
windows:
	cmake --preset windows && cmake --build --preset windows
clean:
	rm -rf build
