/* Moves the wall clock of a process by MARLINET_TIME_OFFSET seconds, for
 * tests that must see a given time of day; or by the number of seconds in
 * the file MARLINET_TIME_OFFSET_FILE names, read again every 200 ms, so a
 * test can move the clock of a running program. Built for 32 and 64 bits and
 * loaded with LD_PRELOAD='<dir>/$LIB/timeshift.so'.
 *
 * The monotonic clocks (timers, sleeps, the running count) keep running true,
 * unless MARLINET_SHIFT_RUNNING=1 and the file holds a second number: the
 * seconds the running count has been moved on, which the test raises by each
 * step it moves the wall clock forward (a step back leaves it), so that a
 * program sees that much time pass. The number only grows, so the monotonic
 * clocks never go back, and timers due within a step come due at once.
 *
 * 32-bit glibc readers of the time (Wine's ntdll among them) go through the
 * 64-bit-time entry points, so those are replaced as well as the classic ones. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

struct ts64 {
  int64_t tv_sec;
  int64_t tv_nsec;
};
struct tv64 {
  int64_t tv_sec;
  int64_t tv_usec;
};

static int real_clock(clockid_t id, struct ts64* out);

/* The two numbers of the file: the wall clock's offset and the running
 * count's. */
static int64_t file_offset[2], next_read_ns = 0;

static void read_file(const char* path) {
  struct ts64 now;
  real_clock(CLOCK_MONOTONIC, &now);
  const int64_t ns = now.tv_sec * 1000000000LL + now.tv_nsec;
  /* Threads may race here: each reads the same file, and the 64-bit values
   * are stored whole. */
  if (ns >= __atomic_load_n(&next_read_ns, __ATOMIC_ACQUIRE)) {
    char text[64] = {0};
    const int fd = open(path, O_RDONLY);
    if (fd >= 0) {
      const ssize_t n = read(fd, text, sizeof text - 1);
      close(fd);
      if (n > 0) {
        char* rest;
        __atomic_store_n(&file_offset[0], strtoll(text, &rest, 10), __ATOMIC_RELEASE);
        const int64_t running = strtoll(rest, NULL, 10);
        /* Never back: a file being written may read short. */
        if (running > __atomic_load_n(&file_offset[1], __ATOMIC_ACQUIRE))
          __atomic_store_n(&file_offset[1], running, __ATOMIC_RELEASE);
      }
    }
    __atomic_store_n(&next_read_ns, ns + 200000000LL, __ATOMIC_RELEASE);
  }
}

static const char* file = NULL;
static int64_t fixed_offset = 0;
static int shift_running = 0;

static void know_settings(void) {
  static int known = 0;
  if (!known) {
    const char* text = getenv("MARLINET_TIME_OFFSET");
    fixed_offset = text ? strtoll(text, NULL, 10) : 0;
    file = getenv("MARLINET_TIME_OFFSET_FILE");
    const char* running = getenv("MARLINET_SHIFT_RUNNING");
    shift_running = running && running[0] == '1';
    known = 1;
  }
}

static int64_t offset_seconds(void) {
  know_settings();
  if (!file) return fixed_offset;
  read_file(file);
  return __atomic_load_n(&file_offset[0], __ATOMIC_ACQUIRE);
}

static int64_t running_offset_seconds(void) {
  know_settings();
  if (!file || !shift_running) return 0;
  read_file(file);
  return __atomic_load_n(&file_offset[1], __ATOMIC_ACQUIRE);
}

static int real_clock(clockid_t id, struct ts64* out) {
#if defined(SYS_clock_gettime64)
  return (int)syscall(SYS_clock_gettime64, id, out);
#else
  struct timespec t;
  int r = (int)syscall(SYS_clock_gettime, id, &t);
  out->tv_sec = t.tv_sec;
  out->tv_nsec = t.tv_nsec;
  return r;
#endif
}

static int shifted(clockid_t id, struct ts64* out) {
  int r = real_clock(id, out);
  if (r == 0 && (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE)) {
    out->tv_sec += offset_seconds();
  } else if (r == 0 && (id == CLOCK_MONOTONIC || id == CLOCK_MONOTONIC_RAW ||
                        id == CLOCK_MONOTONIC_COARSE || id == CLOCK_BOOTTIME)) {
    out->tv_sec += running_offset_seconds();
  }
  return r;
}

int __clock_gettime64(clockid_t id, struct ts64* out) { return shifted(id, out); }

int clock_gettime(clockid_t id, struct timespec* out) {
  struct ts64 t;
  int r = shifted(id, &t);
  if (r == 0) {
    out->tv_sec = (time_t)t.tv_sec;
    out->tv_nsec = (long)t.tv_nsec;
  }
  return r;
}

int __gettimeofday64(struct tv64* tv, void* tz) {
  (void)tz;
  struct ts64 t;
  int r = shifted(CLOCK_REALTIME, &t);
  if (r == 0 && tv) {
    tv->tv_sec = t.tv_sec;
    tv->tv_usec = t.tv_nsec / 1000;
  }
  return r;
}

int gettimeofday(struct timeval* tv, void* tz) {
  (void)tz;
  struct ts64 t;
  int r = shifted(CLOCK_REALTIME, &t);
  if (r == 0 && tv) {
    tv->tv_sec = (time_t)t.tv_sec;
    tv->tv_usec = (suseconds_t)(t.tv_nsec / 1000);
  }
  return r;
}

int64_t __time64(int64_t* out) {
  struct ts64 t;
  shifted(CLOCK_REALTIME, &t);
  if (out) *out = t.tv_sec;
  return t.tv_sec;
}

time_t time(time_t* out) {
  struct ts64 t;
  shifted(CLOCK_REALTIME, &t);
  if (out) *out = (time_t)t.tv_sec;
  return (time_t)t.tv_sec;
}
