// The shell utility's pure logic: backslashes in GBK texts, registry item paths, the URL-protocol
// layout and the verb scan.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/ansi_path.h"
#include "shell/ansi_text.h"
#include "shell/minor_text.h"
#include "shell/registry_item_path.h"
#include "shell/url_protocol_layout.h"
#include "shell/verb_scan.h"

namespace {

// "表" in GBK is 0xB1 0xED; "癨" is 0xB0 0x5C: its trail byte is the byte of a backslash.
const std::string kTrailBackslashChar = "\xB0\x5C";

TEST(LastBackslashIndex, SkipsTrailBytesOfDoubleByteCharacters) {
  struct Case {
    std::string text;
    size_t expected;
  } cases[] = {
      {"", std::string::npos},
      {"no separator", std::string::npos},
      {"a\\b", 1},
      {"a\\b\\", 3},
      {"\\", 0},
      {"key" + kTrailBackslashChar, std::string::npos},            // the 0x5C is a trail byte
      {"key\\" + kTrailBackslashChar + "name", 3},                 // the real one is before it
      {"k" + kTrailBackslashChar + "\\v", 3},                      // a real one after it
      {"ends in a lead byte \xB0", std::string::npos},            // scan ends mid-character
      {"a\\\xB0", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(LastBackslashIndex(c.text), c.expected) << c.text;
}

TEST(SplitAtBackslashes, KeepsEmptyPiecesAndWholeCharacters) {
  using Parts = std::vector<std::string>;
  EXPECT_EQ(SplitAtBackslashes(""), Parts{""});
  EXPECT_EQ(SplitAtBackslashes("Velmora.exe"), Parts{"Velmora.exe"});
  EXPECT_EQ(SplitAtBackslashes("C:\\Program Files\\Velmora.exe"), (Parts{"C:", "Program Files", "Velmora.exe"}));
  EXPECT_EQ(SplitAtBackslashes("a\\\\b\\"), (Parts{"a", "", "b", ""}));
  EXPECT_EQ(SplitAtBackslashes("C:\\" + kTrailBackslashChar + "\\x.exe"), (Parts{"C:", kTrailBackslashChar, "x.exe"}));
}

TEST(SplitRegistryItemPath, KeyPathAndValueName) {
  struct Case {
    std::string itemPath;
    std::string key;
    std::string value;
  } cases[] = {
      {"Velmora\\URL protocol", "Velmora", "URL protocol"},
      {"Velmora\\shell\\", "Velmora\\shell", ""},  // default value of key Velmora\shell
      {"NoBackslash", "", "NoBackslash"},          // a value of the root key itself
      {"", "", ""},
      {"Software\\" + kTrailBackslashChar + "Key\\Name", "Software\\" + kTrailBackslashChar + "Key", "Name"},
      {"Software\\Value" + kTrailBackslashChar, "Software", "Value" + kTrailBackslashChar},
  };
  for (const Case& c : cases) {
    const RegistryItemPath path = SplitRegistryItemPath(c.itemPath);
    EXPECT_EQ(path.keyPath, c.key) << c.itemPath;
    EXPECT_EQ(path.valueName, c.value) << c.itemPath;
  }
}

TEST(UrlProtocolLayout, SixValuesInWritingOrderWithExactData) {
  const std::string program = "C:\\Program Files\\Velmora\\Auxiliary\\Tarnlink.exe";
  const std::vector<RegistryTextItem> layout = UrlProtocolLayout("Velmora", program);
  ASSERT_EQ(layout.size(), 6u);
  const RegistryTextItem expected[] = {
      {"Velmora\\", "URL:  Velmora protocol Handler"},
      {"Velmora\\URL protocol", ""},
      {"Velmora\\DefaultIcon\\", program + "   "},
      {"Velmora\\shell\\", ""},
      {"Velmora\\shell\\open\\", ""},
      {"Velmora\\shell\\open\\command\\", "\"" + program + "\"  \"%1\""},
  };
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(layout[i].itemPath, expected[i].itemPath) << i;
    EXPECT_EQ(layout[i].text, expected[i].text) << i;
  }
  EXPECT_EQ(UrlProtocolCommandItem("Velmora"), layout.back().itemPath);
}

TEST(UrlProtocolLayout, OnlyTheCommandRowQuotesTheProgramAndNeverTwice) {
  const std::string quoted = "\"C:\\Program Files\\Velmora\\Auxiliary\\Tarnlink.exe\"";
  const std::vector<RegistryTextItem> layout = UrlProtocolLayout("Velmora", quoted);
  EXPECT_EQ(layout[2].text, quoted + "   ");
  EXPECT_EQ(layout[5].text, quoted + "  \"%1\"");
  EXPECT_EQ(UrlProtocolLayout("Velmora", "C:\\Tools\\t.exe")[5].text, "\"C:\\Tools\\t.exe\"  \"%1\"");
}

// A verb collection of the test's own: records every name read and every verb invoked.
class RecordingVerbs : public VerbCollection {
 public:
  explicit RecordingVerbs(std::vector<std::string> names, std::optional<double> count = std::nullopt)
      : names_(std::move(names)), count_(count.value_or(static_cast<double>(names_.size()))) {}
  double Count() override { return count_; }
  std::string NameAt(int index) override {
    namesRead.push_back(index);
    return index < static_cast<int>(names_.size()) ? names_[index] : std::string();
  }
  void InvokeAt(int index) override { invoked.push_back(index); }

  std::vector<int> namesRead;
  std::vector<int> invoked;

 private:
  std::vector<std::string> names_;
  double count_;
};

const std::string kPin = "锁定到任务栏(&K)";  // a caption of the kind Shell32 carries

TEST(InvokeVerbsNamed, CaptionThirdOfFiveInvokesOnlyThatVerbAfterReadingAllNames) {
  RecordingVerbs verbs({"打开(&O)", "以管理员身份运行(&A)", kPin, "复制(&C)", "属性(&R)"});
  EXPECT_EQ(InvokeVerbsNamed(verbs, kPin), 1);
  EXPECT_EQ(verbs.invoked, std::vector<int>{2});
  EXPECT_EQ(verbs.namesRead, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(InvokeVerbsNamed, EveryMatchingVerbIsInvokedInIndexOrder) {
  RecordingVerbs verbs({kPin, "Open", kPin, "Copy"});
  EXPECT_EQ(InvokeVerbsNamed(verbs, kPin), 2);
  EXPECT_EQ(verbs.invoked, (std::vector<int>{0, 2}));
}

TEST(InvokeVerbsNamed, NearMissesAreNotInvoked) {
  RecordingVerbs verbs({"Pin to Tas&kbar", "pin to tas&kbar", "PIN TO TAS&KBAR", "Pin to Tas&kbar ", "Pin to Tas&kba",
                        "Pin to Tas&kbar"});
  EXPECT_EQ(InvokeVerbsNamed(verbs, "Pin to Tas&kbar"), 2);
  EXPECT_EQ(verbs.invoked, (std::vector<int>{0, 5}));
}

TEST(InvokeVerbsNamed, CountIsTruncatedAndNeverNegative) {
  {
    RecordingVerbs verbs({"a", "b", kPin, kPin}, 3.9);  // only indices 0..2 exist for the scan
    EXPECT_EQ(InvokeVerbsNamed(verbs, kPin), 1);
    EXPECT_EQ(verbs.namesRead, (std::vector<int>{0, 1, 2}));
  }
  for (double count : {0.0, 0.99, -2.0}) {
    RecordingVerbs verbs({kPin}, count);
    EXPECT_EQ(InvokeVerbsNamed(verbs, kPin), 0) << count;
    EXPECT_TRUE(verbs.namesRead.empty()) << count;
  }
}

TEST(InvokeVerbsNamed, EmptyCaptionNeverMatchesNamelessVerbs) {
  RecordingVerbs verbs({"", "Open", ""});
  EXPECT_EQ(InvokeVerbsNamed(verbs, ""), 0);
  EXPECT_TRUE(verbs.invoked.empty());
}

TEST(AnsiText, FoldFindTrimReplaceSplit) {
  EXPECT_EQ(FoldAsciiCase("Velmora.EXE"), "velmora.exe");
  EXPECT_EQ(FoldAsciiCase("\xE9\x5A"), "\xE9\x5A");  // "閆": its trail byte is not a letter
  EXPECT_EQ(FindText("Set-Cookie: a", "set-cookie"), 0u);
  EXPECT_EQ(FindText("Set-Cookie: a", "set-cookie", 0, true), std::string::npos);
  EXPECT_EQ(FindText("abc", "c", 4), std::string::npos);
  EXPECT_EQ(TrimSpaces("　 value 　"), "value");  // ASCII and full-width spaces
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(ReplaceAll("a/b/c", "/", "\\/"), "a\\/b\\/c");
  EXPECT_EQ(SplitText("a; b;; c", "; "), (std::vector<std::string>{"a", "b;", "c"}));
}

TEST(ExtractShortCode, SixByteLastSegmentOnly) {
  struct Case {
    const char* url;
    const char* code;
  } cases[] = {
      {"http://t.example/Ab12Cd", "Ab12Cd"}, {"http://t.example/Ab12Cd/", "Ab12Cd"}, {"http://t.example/Ab12C", ""},
      {"http://t.example/Ab12Cde", ""},      {"Ab12Cd", "Ab12Cd"},                   {"http://t.example/Ab12Cd//", "Ab12Cd"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExtractShortCode(c.url), c.code) << c.url;
  EXPECT_EQ(LastPathSegment("http://pan.example/s/1xYz"), "1xYz");
}

TEST(AutorunCommand, QuotedTrimmedPathAndArgumentsOnlyWhenAppended) {
  EXPECT_EQ(AutorunCommand("  C:\\Program Files\\Velmora\\Velmora.exe　", " -silent ", true),
            "\"C:\\Program Files\\Velmora\\Velmora.exe\" -silent");
  EXPECT_EQ(AutorunCommand("C:\\v.exe", "-silent", false), "\"C:\\v.exe\"");
  EXPECT_EQ(AutorunCommand("C:\\v.exe", "", true), "\"C:\\v.exe\" ");
}

TEST(ParseLeadingInteger, WhiteSpaceSignDigits) {
  struct Case {
    const char* text;
    int64_t value;
  } cases[] = {{"10", 10},   {"  -42x", -42}, {"+7", 7}, {"abc", 0}, {"", 0},
               {"\t9 1", 9}, {"99999999999999999999999", INT64_MAX}, {"-", 0}};
  for (const Case& c : cases) EXPECT_EQ(ParseLeadingInteger(c.text), c.value) << c.text;
}

TEST(CompareNumericTexts, OrderWithoutOverflow) {
  EXPECT_LT(CompareNumericTexts("9", "10", false), 0);
  EXPECT_GT(CompareNumericTexts("100", "10", false), 0);
  EXPECT_GT(CompareNumericTexts("9", "10", true), 0);
  EXPECT_EQ(CompareNumericTexts("7a", "7b", false), 0);
  // Far-apart values whose difference does not fit in 32 bits still compare the right way round.
  EXPECT_LT(CompareNumericTexts("-2147483648", "2147483647", false), 0);
  EXPECT_GT(CompareNumericTexts("3000000000", "-3000000000", false), 0);
}

}  // namespace
