// Writes the sixteen bell recordings the program plays into a folder: for
// each count of 1 to 8 bells, once with the small bell and once with the
// large one.
//
//   make_bells <output folder>

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/bell_synth.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_bells <output folder>\n");
    return 2;
  }
  for (const auto& bell : {bellsynth::kSmallBell, bellsynth::kLargeBell}) {
    for (int count = 1; count <= 8; ++count) {
      const std::string path = std::string(argv[1]) + "/" + bellsynth::FileName(count, bell);
      std::ofstream out(path, std::ios::binary);
      out << bellsynth::WaveFile(bellsynth::Strikes(count, bell));
      if (!out) {
        std::fprintf(stderr, "make_bells: cannot write %s\n", path.c_str());
        return 1;
      }
    }
  }
  return 0;
}
