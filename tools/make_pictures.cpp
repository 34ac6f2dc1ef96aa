// Turns the pixel maps of pictures.txt into the files the resource script
// includes: NAME.bmp (24-bit, the transparent colour taken from the
// bottom-left pixel, as menu pictures expect) and NAME.ico (24-bit with a
// transparency mask). A picture may also come in larger sizes ("picture bell
// 32"): its icon then holds every size, each drawn for that size.
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
  std::map<std::string, Picture> maps;                   // the 16-pixel pictures
  std::map<std::string, std::map<int, Picture>> larger;  // further sizes of some
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "make_pictures: %s\n", what.c_str());
  std::exit(1);
}

Pictures Parse(const std::string& path) {
  std::ifstream in(path);
  if (!in) Fail("cannot read " + path);
  Pictures p;
  struct Compose {
    std::string name, base, overlay, line;
  };
  // Drawn once every picture is read, so larger sizes may come later.
  std::vector<Compose> composes;
  std::string line, current;
  int size = kSize;
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
      size = kSize;
      words >> size;
      if (size == kSize) {
        p.maps[current] = {};
      } else {
        p.larger[current][size] = {};
      }
    } else if (word == "compose") {
      std::string name, eq, base, plus, overlay;
      words >> name >> eq >> base >> plus >> overlay;
      composes.push_back({name, base, overlay, line});
      current.clear();
    } else if (!current.empty()) {
      if (line.size() != static_cast<size_t>(size)) {
        Fail(current + ": row of " + std::to_string(line.size()));
      }
      for (char c : line) {
        if (!p.palette.count(c)) Fail(current + ": no colour for '" + std::string(1, c) + "'");
      }
      (size == kSize ? p.maps[current] : p.larger[current][size]).push_back(line);
    } else {
      Fail("unexpected line: " + line);
    }
  }
  for (const auto& [name, rows] : p.maps) {
    if (rows.size() != kSize) Fail(name + ": " + std::to_string(rows.size()) + " rows");
  }
  auto over = [](Picture out, const Picture& overlay) {
    for (size_t y = 0; y < out.size(); ++y) {
      for (size_t x = 0; x < out.size(); ++x) {
        if (overlay[y][x] != '.') out[y][x] = overlay[y][x];
      }
    }
    return out;
  };
  for (const Compose& c : composes) {
    if (!p.maps.count(c.base) || !p.maps.count(c.overlay)) Fail("unknown picture in " + c.line);
    p.maps[c.name] = over(p.maps[c.base], p.maps[c.overlay]);
    // Every larger size that both are drawn in.
    for (const auto& [n, rows] : p.larger[c.base]) {
      if (auto o = p.larger[c.overlay].find(n); o != p.larger[c.overlay].end()) {
        p.larger[c.name][n] = over(rows, o->second);
      }
    }
  }
  for (const auto& [name, sizes] : p.larger) {
    if (!p.maps.count(name)) Fail(name + ": larger sizes without a 16-pixel picture");
    for (const auto& [n, rows] : sizes) {
      if (rows.size() != static_cast<size_t>(n))
        Fail(name + ": not square at " + std::to_string(n));
    }
  }
  return p;
}

void Put(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Bottom-up 24-bit rows, each padded to four bytes.
std::string Pixels(const Pictures& p, const Picture& rows, uint32_t transparentAs) {
  const int n = static_cast<int>(rows.size());
  std::string out;
  for (int y = n - 1; y >= 0; --y) {
    for (int x = 0; x < n; ++x) {
      uint32_t c = p.palette.at(rows[y][x]);
      if (c == kTransparent) c = transparentAs;
      Put(out, c & 0xFF, 1);
      Put(out, (c >> 8) & 0xFF, 1);
      Put(out, (c >> 16) & 0xFF, 1);
    }
  }
  return out;
}

std::string InfoHeader(int width, int height, uint32_t imageBytes) {
  std::string h;
  Put(h, 40, 4);
  Put(h, static_cast<uint32_t>(width), 4);
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
  return out + InfoHeader(kSize, kSize, static_cast<uint32_t>(pixels.size())) + pixels;
}

// One image of an icon: colour and a 1-bit mask, rows padded to four bytes.
std::string IconImage(const Pictures& p, const Picture& rows) {
  const int n = static_cast<int>(rows.size());
  const std::string colour = Pixels(p, rows, 0);
  const int maskRow = (n + 31) / 32 * 4;
  std::string mask;
  for (int y = n - 1; y >= 0; --y) {
    std::string row(static_cast<size_t>(maskRow), '\0');
    for (int x = 0; x < n; ++x) {
      if (p.palette.at(rows[y][x]) == kTransparent)
        row[x / 8] |= static_cast<char>(0x80 >> (x % 8));
    }
    mask += row;
  }
  return InfoHeader(n, n * 2, 0) + colour + mask;
}

// Every size of the picture, smallest first.
std::string Ico(const Pictures& p, const std::vector<const Picture*>& images) {
  std::string directory, data;
  Put(directory, 0, 2);
  Put(directory, 1, 2);  // icon
  Put(directory, static_cast<uint32_t>(images.size()), 2);
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const Picture* rows : images) {
    const std::string image = IconImage(p, *rows);
    Put(directory, rows->size() == 256 ? 0 : static_cast<uint32_t>(rows->size()), 1);
    Put(directory, rows->size() == 256 ? 0 : static_cast<uint32_t>(rows->size()), 1);
    Put(directory, 0, 1);
    Put(directory, 0, 1);
    Put(directory, 1, 2);
    Put(directory, 24, 2);
    Put(directory, static_cast<uint32_t>(image.size()), 4);
    Put(directory, offset, 4);
    offset += static_cast<uint32_t>(image.size());
    data += image;
  }
  return directory + data;
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
    std::vector<const Picture*> images{&rows};
    if (auto more = p.larger.find(name); more != p.larger.end()) {
      for (const auto& [n, larger] : more->second) images.push_back(&larger);
    }
    Write(folder + "/" + name + ".ico", Ico(p, images));
  }
  return 0;
}
