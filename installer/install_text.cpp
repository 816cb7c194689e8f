#include "installer/install_text.h"

#include "shell/ansi_path.h"

namespace {

char FoldAsciiLetter(char byte) { return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte; }

bool IsLeadByte(char byte) { return (static_cast<unsigned char>(byte) & 0x80) != 0; }

bool IsAsciiLetter(char byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// ASCII-only lower case of a text in a double-byte code page: trail bytes stay as they are even
// where their value is that of a letter.
std::string FoldAsciiCase(std::string_view text) {
  std::string folded(text);
  for (size_t i = 0; i < folded.size(); ++i) {
    if (IsLeadByte(folded[i])) {
      ++i;
    } else {
      folded[i] = FoldAsciiLetter(folded[i]);
    }
  }
  return folded;
}

}  // namespace

std::string InstallFolderFor(const std::string& programFiles) {
  if (programFiles.empty()) return "C:\\Program Files\\Velmora\\";
  return programFiles + "\\Velmora\\";
}

bool ProcessNameMatches(std::string_view exeName, std::string_view wanted, bool caseSensitive) {
  if (caseSensitive) return exeName == wanted;
  return FoldAsciiCase(exeName) == FoldAsciiCase(wanted);
}

bool IsRefusedRemovalPath(std::string_view path) {
  const size_t start = path.find_first_not_of(' ');
  if (start == std::string_view::npos) return true;
  path.remove_prefix(start);
  if (path == "\\" || path == "/") return true;
  if (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':') {
    return path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/'));
  }
  return false;
}

RemovalKind ClassifyForRemoval(uint32_t attributes, uint32_t reparseTag) {
  constexpr uint32_t kReparsePointAttribute = 0x400;  // FILE_ATTRIBUTE_REPARSE_POINT
  constexpr uint32_t kNameSurrogateBit = 0x20000000;  // set for junctions and symbolic links
  if ((attributes & kReparsePointAttribute) == 0) return RemovalKind::kOrdinary;
  // A listing reports no tag where the file system cannot tell what the point is (Wine shows a
  // Unix symbolic link to a folder this way): nothing is known about where it leads.
  if (reparseTag == 0) return RemovalKind::kUnidentified;
  if (reparseTag & kNameSurrogateBit) return RemovalKind::kLink;
  return RemovalKind::kOrdinary;  // data kept beside a real file (deduplication, cloud files)
}

std::string FolderRemovalMessage(const std::string& folder) {
  return "Error！\r\n 以下目录无法删除，无法进行安装：\r\n" + folder +
         "\r\n请尝试手动删除，若删除失败请到官网下载绿色版或重启后在进行安装！";
}

std::string FormatInstallDate(const LocalDateTime& time) {
  // std::to_string rather than snprintf: the latter brings the runtime's whole formatter (about
  // 25 KB with its floating-point conversion) into the installer for these six numbers.
  std::string text = std::to_string(time.year) + "年" + std::to_string(time.month) + "月" +
                     std::to_string(time.day) + "日";
  // The time of day down to its last part that is not zero.
  if (time.hour != 0 || time.minute != 0 || time.second != 0) text += std::to_string(time.hour) + "时";
  if (time.minute != 0 || time.second != 0) text += std::to_string(time.minute) + "分";
  if (time.second != 0) text += std::to_string(time.second) + "秒";
  return text;
}

std::string DesktopLinkPath(const std::string& desktopFolder, const std::string& name) {
  const bool hasLinkExtension = FoldAsciiCase(name).find(".lnk") != std::string::npos;
  return desktopFolder + name + (hasLinkExtension ? "" : ".lnk");
}

std::optional<std::string> ShortcutWorkingDirectory(const std::string& target) {
  const std::vector<std::string> parts = SplitAtBackslashes(target);
  if (parts.size() <= 1) return std::nullopt;
  std::string folder;
  for (size_t i = 0; i + 1 < parts.size(); ++i) folder += parts[i] + "\\";
  return folder;
}

std::string ShellLinkFileName(const std::string& linkPath) {
  return linkPath.find('.') != std::string::npos ? linkPath : linkPath + ".lnk";
}

int VersionCodeFor(uint32_t major, uint32_t minor) {
  if (major <= 4) return 4;
  if (major == 5) {
    switch (minor) {
      case 0: return 5;
      case 1: return 6;
      case 2: return 7;
      default: return 0;
    }
  }
  if (major == 6) {
    switch (minor) {
      case 0: return 8;
      case 1: return 9;
      default: return 0;
    }
  }
  return 0;
}

int NineXVersionCode(uint32_t word58, uint32_t word54, uint32_t word7C) {
  constexpr uint32_t kMarker = 0x530000;
  if (word58 == kMarker) return 1;
  if (word54 == kMarker) return 2;
  if (word7C == kMarker) return 3;
  return 0;
}

int ShowCommandForMode(std::optional<int> showMode) {
  // SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE.
  constexpr int kShowCommands[] = {0, 1, 2, 3, 4, 6};
  if (!showMode) return 1;
  const int mode = *showMode < 1 ? 1 : (*showMode > 6 ? 6 : *showMode);
  return kShowCommands[mode - 1];
}

std::string QuotedPath(const std::string& path) { return "\"" + path + "\""; }
