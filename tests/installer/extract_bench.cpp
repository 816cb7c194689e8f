// Throughput of ExtractArchive on a real package, next to its floor measured in the same run:
// minizip reading the same entries (inflate and CRC, no files) plus a plain CreateFile / WriteFile /
// CloseHandle loop writing the same sizes to as many new files in a fresh folder. A plain zlib
// inflate in memory is printed too. With --product-start, the package's Velmora.exe (from one of
// the extracted folders) is also started the way the installer starts it (CreateProcess, then
// WaitForInputIdle(process, 1000)) and ended again: the third term of the install's floor; and the
// extraction is run once more the way the install runs it, with PumpMessagesFor(10) after every
// report (on a thread with no window): how long that pumping really takes a report (the loop
// ends on the first tick past the 10 ms, so about 10.5 ms), and how much slower the extraction
// itself runs between the pumps.
//
//   installer_extract_bench PACKAGE.zip [repetitions] [--product-start]
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

#include "tests/support/clock.h"
#include "installer/extract.h"
#include "installer/install_location.h"
#include "installer/progress.h"
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
  double best = 0, median = 0, worst = 0;
};

Timing Summarise(std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  return {seconds.front(), seconds[seconds.size() / 2], seconds.back()};
}

// The file-system floor: as many new files as the package has, of the same sizes, in one fresh
// folder, each written with one WriteFile. Answers false when a file cannot be written. With
// `resetAttributes`, each file's attributes are then set to normal by name after it is closed, as
// the extractor must (extracted files end with normal attributes): what that one call costs.
bool PlainWrites(const Package& package, const std::string& folder, bool resetAttributes = false) {
  std::vector<char> bytes;
  for (const Entry& entry : package.files) bytes.resize(std::max<size_t>(bytes.size(), static_cast<size_t>(entry.size)));
  int index = 0;
  for (const Entry& entry : package.files) {
    const std::string path = folder + "f" + std::to_string(index++);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const BOOL written = WriteFile(file, bytes.data(), static_cast<DWORD>(entry.size), &done, nullptr);
    CloseHandle(file);
    if (!written || done != entry.size) return false;
    if (resetAttributes) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  return true;
}

// Starts the product as the installer's RunProgram does and ends it again. Answers the seconds
// until CreateProcess returned and until WaitForInputIdle returned; false when it did not start.
bool StartProduct(const std::string& program, double& created, double& idle) {
  std::string commandLine = "\"" + program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  const double start = SecondsNow();
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  created = SecondsNow() - start;
  WaitForInputIdle(process.hProcess, 1000);
  idle = SecondsNow() - start;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
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
  const bool productStart = argc > 3 && std::string(argv[3]) == "--product-start";

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

  // A reinstall first removes the earlier install: RemoveFolderTree of the extracted folder.
  std::vector<double> extractSeconds, removeSeconds;
  int reports = 0;
  for (int i = 0; i < repetitions; ++i) {
    ScratchFolder scratch;
    const std::string dest = scratch / "Velmora\\";
    reports = 0;
    const double start = SecondsNow();
    const int result = ExtractArchive(archive, dest, [&](int, const std::string&) {
      ++reports;
      return false;
    });
    extractSeconds.push_back(SecondsNow() - start);
    if (result != kExtractSucceeded) {
      std::fprintf(stderr, "ExtractArchive answered %d\n", result);
      return 1;
    }
    const double removeStart = SecondsNow();
    if (!RemoveFolderTree(dest)) {
      std::fprintf(stderr, "RemoveFolderTree left %s\n", dest.c_str());
      return 1;
    }
    removeSeconds.push_back(SecondsNow() - removeStart);
  }

  std::vector<double> inflateSeconds, inflateCrcSeconds, minizipSeconds, writeSeconds, floorSeconds,
      resetWriteSeconds, resetFloorSeconds;
  for (int i = 0; i < repetitions; ++i) {
    ScratchFolder scratch;
    const double writeStart = SecondsNow();
    if (!PlainWrites(package, scratch / "")) {
      std::fprintf(stderr, "plain writes failed in %s\n", (scratch / "").c_str());
      return 1;
    }
    writeSeconds.push_back(SecondsNow() - writeStart);
    ScratchFolder resetScratch;
    const double resetStart = SecondsNow();
    if (!PlainWrites(package, resetScratch / "", true)) return 1;
    resetWriteSeconds.push_back(SecondsNow() - resetStart);
    const double readStart = SecondsNow();
    const uint64_t read = ReadAllThroughMinizip(archive);
    minizipSeconds.push_back(SecondsNow() - readStart);
    floorSeconds.push_back(minizipSeconds.back() + writeSeconds.back());
    resetFloorSeconds.push_back(minizipSeconds.back() + resetWriteSeconds.back());
    if (read != package.unpackedBytes) {
      std::fprintf(stderr, "minizip produced %llu bytes\n", static_cast<unsigned long long>(read));
      return 1;
    }
    double start = SecondsNow();
    const uint64_t produced = InflateAll(package, false);
    inflateSeconds.push_back(SecondsNow() - start);
    start = SecondsNow();
    InflateAll(package, true);
    inflateCrcSeconds.push_back(SecondsNow() - start);
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
  line("plain CreateFile/WriteFile/CloseHandle:", Summarise(writeSeconds));
  line("  the same + SetFileAttributes(normal):", Summarise(resetWriteSeconds));
  const Timing floor = Summarise(floorSeconds);
  line("floor (minizip read + plain writes):", floor);
  std::printf("ExtractArchive spread:                   %.1f-%.1f ms; floor spread %.1f-%.1f ms\n", extract.best * 1e3,
              extract.worst * 1e3, floor.best * 1e3, floor.worst * 1e3);
  std::printf("ratio ExtractArchive / floor:            %.2f (median), %.2f (best)\n", extract.median / floor.median,
              extract.best / floor.best);
  const Timing resetFloor = Summarise(resetFloorSeconds);
  std::printf("ratio against the floor with the reset:  %.2f (median), %.2f (best)\n", extract.median / resetFloor.median,
              extract.best / resetFloor.best);
  std::printf("ratio ExtractArchive / inflate:          %.2f (median), %.2f (best)\n", extract.median / inflate.median,
              extract.best / inflate.best);
  const Timing remove = Summarise(removeSeconds);
  std::printf("removing the extracted folder (reinstall): %6.1f ms (%.1f-%.1f)\n", remove.median * 1e3,
              remove.best * 1e3, remove.worst * 1e3);
  std::printf("progress reports per extraction:         %d; the installer pumps 10 ms per report: >= %.2f s more\n",
              reports, reports * 0.010);
  if (productStart) {
    ScratchFolder scratch;
    const std::string dest = scratch / "Velmora\\";
    if (ExtractArchive(archive, dest, nullptr) != kExtractSucceeded) return 1;
    std::vector<double> createdSeconds, idleSeconds;
    for (int i = 0; i < repetitions; ++i) {
      double created = 0, idle = 0;
      if (!StartProduct(dest + "Velmora.exe", created, idle)) {
        std::fprintf(stderr, "cannot start %sVelmora.exe\n", dest.c_str());
        return 1;
      }
      createdSeconds.push_back(created);
      idleSeconds.push_back(idle);
    }
    std::vector<double> pumpedTotalSeconds, pumpingSeconds;
    for (int i = 0; i < repetitions; ++i) {
      ScratchFolder pumpedScratch;
      double pumping = 0;
      const double start = SecondsNow();
      const int result = ExtractArchive(archive, pumpedScratch / "Velmora\\", [&](int, const std::string&) {
        const double pumpStart = SecondsNow();
        PumpMessagesFor(10);
        pumping += SecondsNow() - pumpStart;
        return false;
      });
      if (result != kExtractSucceeded) return 1;
      pumpedTotalSeconds.push_back(SecondsNow() - start);
      pumpingSeconds.push_back(pumping);
    }
    const Timing pumpedTotal = Summarise(pumpedTotalSeconds), pumping = Summarise(pumpingSeconds);
    std::printf("extraction with the installer's pumping: %8.1f ms (%.1f-%.1f)\n", pumpedTotal.median * 1e3,
                pumpedTotal.best * 1e3, pumpedTotal.worst * 1e3);
    std::printf("  of which PumpMessagesFor(10):          %8.1f ms (%.1f-%.1f), %.2f ms a report\n", pumping.median * 1e3,
                pumping.best * 1e3, pumping.worst * 1e3, pumping.median * 1e3 / std::max(reports, 1));
    std::printf("  extraction work between the pumps:     %8.1f ms\n", (pumpedTotal.median - pumping.median) * 1e3);
    const Timing created = Summarise(createdSeconds), idle = Summarise(idleSeconds);
    std::printf("product start, CreateProcess:            %8.1f ms (%.1f-%.1f)\n", created.median * 1e3,
                created.best * 1e3, created.worst * 1e3);
    std::printf("product start until WaitForInputIdle:    %8.1f ms (%.1f-%.1f)\n", idle.median * 1e3, idle.best * 1e3,
                idle.worst * 1e3);
  }
  return 0;
}
