// Turns the pixel maps of pictures.txt into the files the resource script
// includes: NAME.bmp (24-bit, the transparent colour taken from the
// bottom-left pixel, as menu pictures expect) and NAME.ico (24-bit with a
// transparency mask).
//
//   make_pictures <pictures.txt> <output folder>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 16;
constexpr uint32_t kTransparent = 0xFF000000;  // not a colour: a flag
constexpr uint32_t kBmpBackground = 0xFF00FF;  // stands for transparent in BMP files

using Picture = std::vector<std::string>;

struct Pictures {
  std::map<char, uint32_t> palette;
  std::map<std::string, Picture> maps;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "make_pictures: %s\n", what.c_str());
  std::exit(1);
}

Pictures Parse(const std::string& path) {
  std::ifstream in(path);
  if (!in) Fail("cannot read " + path);
  Pictures p;
  std::string line, current;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    words >> word;
    if (word == "colour") {
      std::string key, value;
      words >> key >> value;
      p.palette[key[0]] = value == "transparent" ? kTransparent : std::stoul(value, nullptr, 16);
      current.clear();
    } else if (word == "picture") {
      words >> current;
      p.maps[current] = {};
    } else if (word == "compose") {
      std::string name, eq, base, plus, overlay;
      words >> name >> eq >> base >> plus >> overlay;
      if (!p.maps.count(base) || !p.maps.count(overlay)) Fail("unknown picture in " + line);
      Picture out = p.maps[base];
      for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
          if (p.maps[overlay][y][x] != '.') out[y][x] = p.maps[overlay][y][x];
        }
      }
      p.maps[name] = out;
      current.clear();
    } else if (!current.empty()) {
      if (line.size() != kSize) Fail(current + ": row of " + std::to_string(line.size()));
      for (char c : line) {
        if (!p.palette.count(c)) Fail(current + ": no colour for '" + std::string(1, c) + "'");
      }
      p.maps[current].push_back(line);
    } else {
      Fail("unexpected line: " + line);
    }
  }
  for (const auto& [name, rows] : p.maps) {
    if (rows.size() != kSize) Fail(name + ": " + std::to_string(rows.size()) + " rows");
  }
  return p;
}

void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Bottom-up 24-bit rows, each padded to four bytes.
std::string Pixels(const Pictures& p, const Picture& rows, uint32_t transparentAs) {
  std::string out;
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; ++x) {
      uint32_t c = p.palette.at(rows[y][x]);
      if (c == kTransparent) c = transparentAs;
      Put(out, c & 0xFF, 1);
      Put(out, (c >> 8) & 0xFF, 1);
      Put(out, (c >> 16) & 0xFF, 1);
    }
  }
  return out;
}

std::string InfoHeader(int height, uint32_t imageBytes) {
  std::string h;
  Put(h, 40, 4);
  Put(h, kSize, 4);
  Put(h, static_cast<uint32_t>(height), 4);
  Put(h, 1, 2);
  Put(h, 24, 2);
  Put(h, 0, 4);
  Put(h, imageBytes, 4);
  Put(h, 2835, 4);
  Put(h, 2835, 4);
  Put(h, 0, 4);
  Put(h, 0, 4);
  return h;
}

std::string Bmp(const Pictures& p, const Picture& rows) {
  const std::string pixels = Pixels(p, rows, kBmpBackground);
  std::string out = "BM";
  Put(out, static_cast<uint32_t>(14 + 40 + pixels.size()), 4);
  Put(out, 0, 4);
  Put(out, 14 + 40, 4);
  return out + InfoHeader(kSize, static_cast<uint32_t>(pixels.size())) + pixels;
}

std::string Ico(const Pictures& p, const Picture& rows) {
  const std::string colour = Pixels(p, rows, 0);
  std::string mask;  // 1 bit a pixel, rows padded to four bytes
  for (int y = kSize - 1; y >= 0; --y) {
    uint32_t bits = 0;
    for (int x = 0; x < kSize; ++x) {
      if (p.palette.at(rows[y][x]) == kTransparent) bits |= 0x8000u >> x;
    }
    Put(mask, (bits >> 8) & 0xFF, 1);
    Put(mask, bits & 0xFF, 1);
    Put(mask, 0, 2);
  }
  const std::string image = InfoHeader(kSize * 2, 0) + colour + mask;
  std::string out;
  Put(out, 0, 2);
  Put(out, 1, 2);  // icon
  Put(out, 1, 2);  // one image
  Put(out, kSize, 1);
  Put(out, kSize, 1);
  Put(out, 0, 1);
  Put(out, 0, 1);
  Put(out, 1, 2);
  Put(out, 24, 2);
  Put(out, static_cast<uint32_t>(image.size()), 4);
  Put(out, 6 + 16, 4);
  return out + image;
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out) Fail("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Fail("usage: make_pictures <pictures.txt> <output folder>");
  const Pictures p = Parse(argv[1]);
  const std::string folder = argv[2];
  for (const auto& [name, rows] : p.maps) {
    Write(folder + "/" + name + ".bmp", Bmp(p, rows));
    Write(folder + "/" + name + ".ico", Ico(p, rows));
  }
  return 0;
}
