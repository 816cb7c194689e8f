// Throughput of ExtractArchive on a real package, next to a plain zlib inflate of the same entries
// in memory, so that the cost of files, folders, attributes and times shows as a ratio.
//
//   installer_extract_bench PACKAGE.zip [repetitions]
//
// The progress sink counts reports and does not pump messages: the 10 ms that the installer spends
// per report is a fixed cost (entries × 10 ms) and is printed separately.
#include <windows.h>

#include <unzip.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "installer/extract.h"
#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"

namespace {

struct Entry {
  std::string deflated;  // raw deflate data of a method-8 entry
  uint64_t size = 0;     // uncompressed
};

struct Package {
  std::vector<Entry> files;
  int folders = 0;
  uint64_t packedBytes = 0;
  uint64_t unpackedBytes = 0;
};

bool LoadPackage(const std::string& path, Package& package) {
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return false;
  bool ok = true;
  for (int status = unzGoToFirstFile(zip); ok && status == UNZ_OK; status = unzGoToNextFile(zip)) {
    unz_file_info64 info;
    char name[1024];
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) {
      ok = false;
      break;
    }
    if (info.compression_method != Z_DEFLATED) {
      ++package.folders;
      continue;
    }
    Entry entry;
    entry.size = info.uncompressed_size;
    entry.deflated.resize(static_cast<size_t>(info.compressed_size));
    int method = 0, level = 0;
    ok = unzOpenCurrentFile2(zip, &method, &level, 1) == UNZ_OK &&
         unzReadCurrentFile(zip, entry.deflated.data(), static_cast<unsigned>(entry.deflated.size())) ==
             static_cast<int>(entry.deflated.size());
    unzCloseCurrentFile(zip);
    package.packedBytes += info.compressed_size;
    package.unpackedBytes += info.uncompressed_size;
    package.files.push_back(std::move(entry));
  }
  unzClose(zip);
  return ok;
}

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Inflates every entry into a 16 KB buffer, as the extractor does, without writing anything.
// Answers the bytes produced.
uint64_t InflateAll(const Package& package, bool withCrc) {
  std::vector<Bytef> chunk(0x4000);
  uint64_t produced = 0;
  uLong crc = 0;
  for (const Entry& entry : package.files) {
    z_stream stream{};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(entry.deflated.data()));
    stream.avail_in = static_cast<uInt>(entry.deflated.size());
    int status = Z_OK;
    while (status == Z_OK) {
      stream.next_out = chunk.data();
      stream.avail_out = static_cast<uInt>(chunk.size());
      status = inflate(&stream, Z_NO_FLUSH);
      const uInt got = static_cast<uInt>(chunk.size()) - stream.avail_out;
      if (withCrc) crc = crc32(crc, chunk.data(), got);
      produced += got;
    }
    inflateEnd(&stream);
  }
  return produced + (crc == 0xFFFFFFFF ? 1 : 0);  // keeps the checksum from being optimised away
}

// Reads every entry through minizip in 16 KB chunks (CRC checked on close) without writing files:
// what ExtractArchive costs apart from the file system.
uint64_t ReadAllThroughMinizip(const std::string& path) {
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return 0;
  std::vector<char> chunk(0x4000);
  uint64_t produced = 0;
  for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
    if (unzOpenCurrentFile(zip) != UNZ_OK) break;
    int read;
    while ((read = unzReadCurrentFile(zip, chunk.data(), static_cast<unsigned>(chunk.size()))) > 0) produced += read;
    if (unzCloseCurrentFile(zip) != UNZ_OK) produced = 0;
  }
  unzClose(zip);
  return produced;
}

struct Timing {
  double best = 0, median = 0;
};

Timing Summarise(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return {seconds.front(), seconds[seconds.size() / 2]};
}

double MegabytesPerSecond(uint64_t bytes, double seconds) { return static_cast<double>(bytes) / 1e6 / seconds; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: installer_extract_bench PACKAGE.zip [repetitions]\n");
    return 2;
  }
  const std::string archive = argv[1];
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  Package package;
  if (!LoadPackage(archive, package)) {
    std::fprintf(stderr, "cannot read %s\n", archive.c_str());
    return 1;
  }
  const size_t entries = package.files.size() + static_cast<size_t>(package.folders);
  std::printf("package:            %s\n", archive.c_str());
  std::printf("entries:            %zu (%zu files, %d folders)\n", entries, package.files.size(), package.folders);
  std::printf("packed / unpacked:  %llu / %llu bytes\n", static_cast<unsigned long long>(package.packedBytes),
              static_cast<unsigned long long>(package.unpackedBytes));
  std::printf("repetitions:        %d (figures: median, best in brackets; MB = 10^6 bytes of unpacked data)\n",
              repetitions);

  std::vector<double> extractSeconds;
  int reports = 0;
  for (int i = 0; i < repetitions; ++i) {
    ScratchFolder scratch;
    const std::string dest = scratch / "Velmora\\";
    reports = 0;
    const double start = Now();
    const int result = ExtractArchive(archive, dest, [&](int, const std::string&) {
      ++reports;
      return false;
    });
    extractSeconds.push_back(Now() - start);
    if (result != kExtractSucceeded) {
      std::fprintf(stderr, "ExtractArchive answered %d\n", result);
      return 1;
    }
  }

  std::vector<double> inflateSeconds, inflateCrcSeconds, minizipSeconds;
  for (int i = 0; i < repetitions; ++i) {
    const double readStart = Now();
    const uint64_t read = ReadAllThroughMinizip(archive);
    minizipSeconds.push_back(Now() - readStart);
    if (read != package.unpackedBytes) {
      std::fprintf(stderr, "minizip produced %llu bytes\n", static_cast<unsigned long long>(read));
      return 1;
    }
    double start = Now();
    const uint64_t produced = InflateAll(package, false);
    inflateSeconds.push_back(Now() - start);
    start = Now();
    InflateAll(package, true);
    inflateCrcSeconds.push_back(Now() - start);
    if (produced < package.unpackedBytes) {
      std::fprintf(stderr, "inflate produced %llu bytes\n", static_cast<unsigned long long>(produced));
      return 1;
    }
  }

  const Timing extract = Summarise(extractSeconds);
  const Timing inflate = Summarise(inflateSeconds);
  const Timing inflateCrc = Summarise(inflateCrcSeconds);
  auto line = [&](const char* label, const Timing& t) {
    std::printf("%-40s %8.1f ms (%8.1f)  %7.1f MB/s (%7.1f)\n", label, t.median * 1e3, t.best * 1e3,
                MegabytesPerSecond(package.unpackedBytes, t.median), MegabytesPerSecond(package.unpackedBytes, t.best));
  };
  line("ExtractArchive, files on disk:", extract);
  line("zlib inflate in memory:", inflate);
  line("zlib inflate + crc32 in memory:", inflateCrc);
  line("minizip read (inflate, crc), no files:", Summarise(minizipSeconds));
  std::printf("ratio ExtractArchive / inflate:          %.2f (median), %.2f (best)\n", extract.median / inflate.median,
              extract.best / inflate.best);
  std::printf("progress reports per extraction:         %d; the installer pumps 10 ms per report: >= %.2f s more\n",
              reports, reports * 0.010);
  return 0;
}
