// Packs a skin database from a list of images.
//
//   pack_skin --list entries.list --out skin.db
//
// Every line of the list that is neither empty nor a "#" comment names one entry, in database
// order: the entry name (UTF-8; stored in code page 936), the PNG file (relative to the list) and
// the image's size as WIDTHxHEIGHT. Each file must be a PNG of exactly that size, so an image
// drawn at the wrong size stops the build instead of drawing a misplaced caption button. The
// database gets an empty comment and both numbers of every entry are 0.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

#include "toolkit/skin/skin_database.h"
#include "tools/common/text_convert.h"

namespace fs = std::filesystem;

namespace {

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};


SkinBytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + path.string());
  return SkinBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t BigEndian32(const SkinBytes& bytes, size_t at) {
  return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

// The PNG signature, then the IHDR chunk: its width and height at offsets 16 and 20.
void CheckPng(const fs::path& path, const SkinBytes& png, unsigned width, unsigned height) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 24 || std::memcmp(png.data(), kSignature, 8) != 0 || std::memcmp(png.data() + 12, "IHDR", 4) != 0) {
    throw Failure(path.string() + " is not a PNG file");
  }
  unsigned w = BigEndian32(png, 16);
  unsigned h = BigEndian32(png, 20);
  if (w != width || h != height) {
    throw Failure(path.string() + " is " + std::to_string(w) + "x" + std::to_string(h) + ", the list says " +
                  std::to_string(width) + "x" + std::to_string(height));
  }
}

SkinDatabase Pack(const fs::path& list) {
  std::ifstream in(list);
  if (!in) throw Failure("cannot read " + list.string());
  SkinDatabase database;
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    std::istringstream fields(line);
    std::string name, file, size, extra;
    if (!(fields >> name) || name[0] == '#') continue;
    unsigned width = 0, height = 0;
    char x = 0;
    if (!(fields >> file >> size) || (fields >> extra) || !(std::istringstream(size) >> width >> x >> height) ||
        x != 'x') {
      throw Failure(list.string() + ":" + std::to_string(lineNumber) + ": expected NAME FILE WIDTHxHEIGHT");
    }
    fs::path path = list.parent_path() / file;
    SkinBytes png = ReadFile(path);
    CheckPng(path, png, width, height);
    database.AddEntry(0, GbkFromUtf8(name), png, 0);
  }
  if (database.Count() == 0) throw Failure(list.string() + " names no images");
  return database;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path list, out;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--list") list = argv[i + 1];
    else if (option == "--out") out = argv[i + 1];
  }
  if (list.empty() || out.empty()) {
    std::fprintf(stderr, "usage: pack_skin --list entries.list --out skin.db\n");
    return 2;
  }
  try {
    SkinBytes bytes = Pack(list).ToBytes();
    fs::path temp = out;
    temp += ".tmp";
    {
      std::ofstream file(temp, std::ios::binary | std::ios::trunc);
      file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      if (!file) throw Failure("cannot write " + temp.string());
    }
    fs::rename(temp, out);
    std::printf("pack_skin: %s, %zu bytes\n", out.string().c_str(), bytes.size());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pack_skin: %s\n", e.what());
    return 1;
  }
}
