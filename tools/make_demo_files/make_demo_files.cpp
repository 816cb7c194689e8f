// Fills the demo package folder with the files a shipped package carries besides its programs:
// an Auxiliary tree with plug-in libraries, locales, resources, images and skins, data and
// documents, some of them under GBK names. Contents are generated, not stored in the repository,
// and are the same on every build: each file's bytes depend only on its name.
//
//   make_demo_files --out DIR
//
// The mix is chosen so that the packed demo package resembles the shipped one (about 232 entries
// and 9 MB): images, sounds and resource packs barely compress, texts and tables compress well,
// libraries lie in between. Extraction then spends its time like it does on a real package.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/common/text_convert.h"

namespace fs = std::filesystem;

namespace {

// splitmix64: tiny, fast and the same everywhere.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, bound).
  uint32_t Below(uint32_t bound) { return static_cast<uint32_t>(Next() % bound); }
  uint32_t Between(uint32_t low, uint32_t high) { return low + Below(high - low + 1); }

 private:
  uint64_t state_;
};

uint64_t SeedOf(const std::string& name) {
  uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 0x100000001B3ull;
  return hash;
}


using Bytes = std::string;

void AppendLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void AppendRandom(Bytes& out, Random& random, size_t count) {
  while (count > 0) {
    uint64_t value = random.Next();
    for (int i = 0; i < 8 && count > 0; ++i, --count) out.push_back(static_cast<char>(value >> (8 * i)));
  }
}

// Compressed image or archive data: a recognisable header, then bytes that do not compress.
Bytes OpaqueData(Random& random, size_t size, const Bytes& header) {
  Bytes out = header;
  if (out.size() < size) AppendRandom(out, random, size - out.size());
  out.resize(size);
  return out;
}

// Machine code, tables and padding: partly random, partly repeated, partly a small alphabet, which
// deflate shrinks to about half.
Bytes LibraryData(Random& random, size_t size) {
  Bytes out("MZ\x90\0\x03\0\0\0\x04\0\0\0\xFF\xFF\0\0", 16);
  out.resize(0x80, '\0');
  out += "This program cannot be run in DOS mode.\r\r\n$";
  while (out.size() < size) {
    uint32_t kind = random.Below(10);
    if (kind < 4) {
      AppendRandom(out, random, 64);
    } else if (kind < 6 && out.size() > 4096) {
      size_t from = out.size() - random.Between(64, 4096);
      out += out.substr(from, 64);
    } else if (kind < 9) {
      static const unsigned char kCommon[] = {0x00, 0x48, 0x89, 0x8B, 0xE8, 0xFF, 0x24, 0x44, 0x4C, 0x0F,
                                              0x85, 0xC3, 0x83, 0xEC, 0x5D, 0x41, 0x8D, 0x05, 0x15, 0x74};
      for (int i = 0; i < 64; ++i) out.push_back(static_cast<char>(kCommon[random.Below(sizeof kCommon)]));
    } else {
      out.append(64, '\0');
    }
  }
  out.resize(size);
  return out;
}

const char* const kWords[] = {
    "window",  "message", "render",  "layer",   "buffer",  "stream", "packet",  "session", "update",
    "profile", "contact", "channel", "voice",   "video",   "screen", "capture", "encode",  "decode",
    "network", "server",  "client",  "request", "reply",   "status", "online",  "offline", "retry",
    "timeout", "cache",   "image",   "emoji",   "sticker", "theme",  "skin",    "font",    "color",
    "shadow",  "border",  "button",  "label",   "scroll",  "list",   "item",    "group",   "friend",
    "history", "search",  "filter",  "sort",    "upload",  "file",   "folder",  "transfer", "resume",
    "pause",   "cancel",  "confirm", "notice",  "tray",    "icon",   "menu",    "option",  "setting"};
constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];

const char* const kChineseWords[] = {
    "消息", "窗口", "好友", "群组", "设置", "更新", "修复", "优化", "新增", "功能", "文件", "传输",
    "语音", "视频", "表情", "皮肤", "主题", "字体", "网络", "连接", "登录", "退出", "提示", "界面",
    "性能", "稳定性", "问题", "支持", "截图", "搜索", "历史", "记录", "通知", "托盘", "菜单", "选项"};
constexpr size_t kChineseWordCount = sizeof kChineseWords / sizeof kChineseWords[0];

// Readable text made of words: compresses to about a quarter.
Bytes EnglishText(Random& random, size_t size) {
  Bytes out;
  while (out.size() < size) {
    int words = static_cast<int>(random.Between(6, 14));
    for (int i = 0; i < words; ++i) {
      if (i) out += ' ';
      out += kWords[random.Below(kWordCount)];
    }
    out += ".\r\n";
  }
  out.resize(size);
  return out;
}

// GBK text: a change log with dated entries.
Bytes ChineseText(Random& random, size_t size) {
  Bytes out;
  int version = 100;
  while (out.size() < size) {
    char heading[64];
    std::snprintf(heading, sizeof heading, "1.%d.%d\r\n", version / 10, version % 10);
    ++version;
    out += heading;
    int lines = static_cast<int>(random.Between(3, 8));
    for (int line = 0; line < lines; ++line) {
      std::string utf8 = "  - ";
      int words = static_cast<int>(random.Between(3, 7));
      for (int i = 0; i < words; ++i) utf8 += kChineseWords[random.Below(kChineseWordCount)];
      utf8 += "。\r\n";
      out += GbkFromUtf8(utf8);
    }
  }
  // Never cut a double-byte character in half: end on a full line.
  size_t end = out.rfind("\r\n", size);
  out.resize(end == Bytes::npos ? 0 : end + 2);
  return out;
}

// A string table: "key=value" lines, as locale packs hold them.
Bytes LocaleTable(Random& random, size_t size) {
  Bytes out;
  int key = 0;
  while (out.size() < size) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "IDS_%05d=", key++);
    out += prefix;
    int words = static_cast<int>(random.Between(1, 6));
    for (int i = 0; i < words; ++i) {
      if (i) out += ' ';
      out += kWords[random.Below(kWordCount)];
    }
    out += "\n";
  }
  out.resize(size);
  return out;
}

// An XML description, as skins and settings carry them.
Bytes XmlText(Random& random, size_t size) {
  Bytes out = "<?xml version=\"1.0\" encoding=\"gbk\"?>\r\n<layout>\r\n";
  while (out.size() + 16 < size) {
    char element[160];
    std::snprintf(element, sizeof element,
                  "  <%s name=\"%s%u\" x=\"%u\" y=\"%u\" width=\"%u\" height=\"%u\" image=\"%s.png\"/>\r\n",
                  kWords[random.Below(kWordCount)], kWords[random.Below(kWordCount)], random.Below(100),
                  random.Below(800), random.Below(600), random.Between(8, 400), random.Between(8, 300),
                  kWords[random.Below(kWordCount)]);
    out += element;
  }
  out += "</layout>\r\n";
  return out;
}

// 16-bit mono PCM: a few tones and some noise; deflate gains little on it.
Bytes SoundData(Random& random, size_t size) {
  size_t samples = (size - 44) / 2;
  Bytes out = "RIFF";
  AppendLe(out, static_cast<uint32_t>(36 + samples * 2), 4);
  out += "WAVEfmt ";
  AppendLe(out, 16, 4);
  AppendLe(out, 1, 2);      // PCM
  AppendLe(out, 1, 2);      // mono
  AppendLe(out, 22050, 4);  // samples per second
  AppendLe(out, 44100, 4);  // bytes per second
  AppendLe(out, 2, 2);
  AppendLe(out, 16, 2);
  out += "data";
  AppendLe(out, static_cast<uint32_t>(samples * 2), 4);
  uint32_t period = random.Between(20, 90);
  for (size_t i = 0; i < samples; ++i) {
    int phase = static_cast<int>(i % period);
    int tone = (phase < static_cast<int>(period / 2) ? phase : static_cast<int>(period) - phase) * 600;
    int noise = static_cast<int>(random.Below(2048)) - 1024;
    AppendLe(out, static_cast<uint32_t>(static_cast<int16_t>(tone + noise)), 2);
  }
  return out;
}

const Bytes kPngHeader("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
const Bytes kGifHeader("GIF89a", 6);

enum class Kind { kLibrary, kPng, kGif, kOpaque, kEnglish, kChinese, kLocale, kXml, kSound };

struct Plan {
  Kind kind;
  size_t size;
};

Bytes Generate(const std::string& name, const Plan& plan) {
  Random random(SeedOf(name));
  switch (plan.kind) {
    case Kind::kLibrary: return LibraryData(random, plan.size);
    case Kind::kPng: return OpaqueData(random, plan.size, kPngHeader);
    case Kind::kGif: return OpaqueData(random, plan.size, kGifHeader);
    case Kind::kOpaque: return OpaqueData(random, plan.size, Bytes("VMPK", 4));
    case Kind::kEnglish: return EnglishText(random, plan.size);
    case Kind::kChinese: return ChineseText(random, plan.size);
    case Kind::kLocale: return LocaleTable(random, plan.size);
    case Kind::kXml: return XmlText(random, plan.size);
    case Kind::kSound: return SoundData(random, plan.size);
  }
  return {};
}

class Writer {
 public:
  explicit Writer(fs::path root) : root_(std::move(root)) {}

  // `name` is UTF-8 with "/" separators, relative to the package root.
  void Add(const std::string& name, Kind kind, size_t size) {
    fs::path path = root_ / fs::u8path(name);
    fs::create_directories(path.parent_path());
    Bytes bytes = Generate(name, Plan{kind, size});
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
    ++files_;
    bytes_ += bytes.size();
  }

  // A size between low and high KB that depends only on the name.
  static size_t SizeFor(const std::string& name, size_t lowKb, size_t highKb) {
    Random random(SeedOf(name) ^ 0x5A5A5A5Aull);
    return random.Between(static_cast<uint32_t>(lowKb * 1024), static_cast<uint32_t>(highKb * 1024));
  }

  void AddSized(const std::string& name, Kind kind, size_t lowKb, size_t highKb) {
    Add(name, kind, SizeFor(name, lowKb, highKb));
  }

  int files() const { return files_; }
  uint64_t bytes() const { return bytes_; }

 private:
  fs::path root_;
  int files_ = 0;
  uint64_t bytes_ = 0;
};

void WriteDemoFiles(Writer& w) {
  const char* const plugins[] = {"codec_aac",    "codec_h264",   "render_gl",     "net_core",
                                 "crash_report", "spell_check",  "image_decode",  "audio_mix",
                                 "video_capture", "screen_share", "file_transfer", "chat_emoji",
                                 "voice_engine", "update_agent", "ui_layout",     "local_store"};
  for (const char* plugin : plugins) w.AddSized(std::string("Auxiliary/plugins/") + plugin + ".dll", Kind::kLibrary, 60, 260);
  w.Add("Auxiliary/plugins/plugins.xml", Kind::kXml, 6 * 1024);
  for (const char* companion : {"Nubiflow", "Quillpane", "Tarnlink"}) {
    w.AddSized(std::string("Auxiliary/") + companion + ".ini", Kind::kLocale, 1, 4);
  }

  const char* const locales[] = {"am", "ar", "bg", "bn", "ca", "cs", "da", "de", "el", "en-GB", "en-US",
                                 "es", "fi", "fr", "he", "hi", "hu", "id", "it", "ja", "ko", "nl",
                                 "pl", "pt-BR", "ru", "sv", "th", "tr", "vi", "zh-CN", "zh-TW"};
  for (const char* locale : locales) w.AddSized(std::string("Auxiliary/locales/") + locale + ".pak", Kind::kLocale, 20, 60);

  w.Add("Auxiliary/resources/resources.pak", Kind::kOpaque, 1500 * 1024);
  w.Add("Auxiliary/resources/fonts.dat", Kind::kOpaque, 640 * 1024);
  w.Add("Auxiliary/resources/icudata.dat", Kind::kLibrary, 1400 * 1024);
  w.Add("Auxiliary/resources/manifest.xml", Kind::kXml, 12 * 1024);

  char name[128];
  for (int i = 1; i <= 64; ++i) {
    std::snprintf(name, sizeof name, "Auxiliary/resources/images/icon_%03d.png", i);
    w.AddSized(name, Kind::kPng, 4, 48);
  }
  const char* const emotions[] = {"微笑", "大笑", "哭泣", "生气", "惊讶", "害羞", "再见", "点赞",
                                  "鼓掌", "握手", "爱心", "玫瑰", "咖啡", "蛋糕", "礼物", "太阳",
                                  "月亮", "下雨", "闪电", "音乐"};
  for (const char* emotion : emotions) w.AddSized(std::string("Auxiliary/resources/images/表情/") + emotion + ".gif", Kind::kGif, 2, 14);
  for (int i = 1; i <= 20; ++i) {
    std::snprintf(name, sizeof name, "Auxiliary/resources/images/表情/表情%02d.gif", i);
    w.AddSized(name, Kind::kGif, 2, 14);
  }

  // "衆彩" is written with a second byte of 0x5C (a backslash) in GBK: a folder name that breaks
  // any code that splits GBK paths byte by byte.
  for (const char* skin : {"默认", "经典", "衆彩"}) {
    std::string folder = std::string("Auxiliary/skins/") + skin + "/";
    w.AddSized(folder + "skin.xml", Kind::kXml, 8, 24);
    for (const char* part : {"background", "button_normal", "button_hover", "button_down", "close",
                             "minimize", "logo", "progress", "shadow", "checkbox"}) {
      w.AddSized(folder + part + ".png", Kind::kPng, 6, 40);
    }
  }

  for (const char* sound : {"消息", "上线", "抖动", "系统", "来电", "挂断", "提醒", "发送"}) {
    w.AddSized(std::string("Auxiliary/声音/") + sound + ".wav", Kind::kSound, 40, 120);
  }

  w.Add("data/config.xml", Kind::kXml, 9 * 1024);
  w.Add("data/servers.ini", Kind::kLocale, 3 * 1024);
  w.Add("data/emoji.db", Kind::kLibrary, 320 * 1024);
  w.Add("data/phrases.db", Kind::kLocale, 180 * 1024);
  w.Add("data/誠信说明.txt", Kind::kChinese, 6 * 1024);  // "誠" also carries a 0x5C byte
  for (const char* name : {"常用语.txt", "快捷回复.txt", "默认分组.txt"}) {
    w.AddSized(std::string("data/模板/") + name, Kind::kChinese, 2, 8);
  }

  w.Add("docs/license.txt", Kind::kEnglish, 36 * 1024);
  w.Add("docs/readme.txt", Kind::kEnglish, 8 * 1024);
  w.Add("docs/third_party_notices.txt", Kind::kEnglish, 120 * 1024);
  w.Add("docs/更新日志.txt", Kind::kChinese, 48 * 1024);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::string(argv[1]) != "--out") {
    std::fprintf(stderr, "usage: make_demo_files --out DIR\n");
    return 2;
  }
  try {
    Writer writer{fs::path(argv[2])};
    WriteDemoFiles(writer);
    std::printf("make_demo_files: %d files, %llu bytes\n", writer.files(),
                static_cast<unsigned long long>(writer.bytes()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_demo_files: %s\n", e.what());
    return 1;
  }
  return 0;
}
