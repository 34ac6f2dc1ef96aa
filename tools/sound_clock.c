/* Reads a real-time stream of 16-bit stereo samples at 44100 Hz (a sound
 * server's pipe sink) from standard input and prints, one line each, the
 * wall-clock time in milliseconds since 1970 at which each sound begins: the
 * first sample above the floor after at least QUIET_MS of quiet. A sample's
 * time is the moment its read returned, less the samples read after it; the
 * reader keeps the pipe empty, so that is when the server wrote it.
 *
 *   sound_clock < sink.fifo > onsets.txt
 *   sound_clock <file.wav>     the silence the 16-bit recording begins with, in ms */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

enum { RATE = 44100, FRAME = 4, QUIET_MS = 400, FLOOR = 16 };

static uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

static int lead_in(const char* path) {
  FILE* f = fopen(path, "rb");
  if (!f) return 1;
  unsigned char head[12], chunk[8], fmt[16] = {0};
  if (fread(head, 1, 12, f) != 12 || memcmp(head, "RIFF", 4) || memcmp(head + 8, "WAVE", 4))
    return 1;
  while (fread(chunk, 1, 8, f) == 8) {
    const uint32_t size = le32(chunk + 4);
    if (!memcmp(chunk, "fmt ", 4)) {
      if (size < 16 || fread(fmt, 1, 16, f) != 16) return 1;
      fseek(f, (long)(size - 16 + (size & 1)), SEEK_CUR);
    } else if (!memcmp(chunk, "data", 4)) {
      const unsigned channels = fmt[2] | fmt[3] << 8, rate = le32(fmt + 4);
      if (!channels || !rate || (fmt[14] | fmt[15] << 8) != 16) return 1;
      unsigned char s[2];
      for (uint32_t i = 0; i + 2 <= size && fread(s, 1, 2, f) == 2; i += 2) {
        if (abs((int16_t)(s[0] | s[1] << 8)) >= FLOOR) {
          printf("%u\n", (unsigned)((i / 2 / channels) * 1000ULL / rate));
          return 0;
        }
      }
      printf("0\n");
      return 0;
    } else {
      fseek(f, (long)(size + (size & 1)), SEEK_CUR);
    }
  }
  return 1;
}

int main(int argc, char** argv) {
  if (argc > 1) return lead_in(argv[1]);
  static int16_t buffer[4096 * 2];
  long long quiet = 0; /* frames of quiet so far */
  const long long quietNeeded = (long long)RATE * QUIET_MS / 1000;
  for (;;) {
    const ssize_t got = read(0, buffer, sizeof buffer);
    if (got <= 0) return 0;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const double at = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    const long frames = got / FRAME;
    for (long i = 0; i < frames; ++i) {
      const int l = abs(buffer[2 * i]), r = abs(buffer[2 * i + 1]);
      if (l < FLOOR && r < FLOOR) {
        ++quiet;
        continue;
      }
      if (quiet >= quietNeeded) {
        printf("%.0f\n", at - (frames - i) * 1000.0 / RATE);
        fflush(stdout);
      }
      quiet = 0;
    }
  }
}
