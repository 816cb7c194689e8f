// WideText: the byte-level operations, the GBK conversions (code page 936 under the test prefix),
// window titles and the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "common/win_handle.h"
#include "toolkit/draw/wide_text.h"

namespace {

WideText W(const std::wstring& text) { return WideTextFromWString(text); }

WideBytes BytesOf(const std::wstring& text) { return W(text).Bytes(); }

TEST(WideText, RunsUnderTheChineseAnsiCodePage) {
  // Everything below that converts GBK assumes this; it is a fact of the test prefix.
  ASSERT_EQ(GetACP(), 936u);
  ASSERT_EQ(std::string("使用说明.txt").size(), 12u) << "sources must be compiled as GBK";
}

TEST(WideText, GbkRoundTrips) {
  const std::string texts[] = {"使用说明.txt", "正在为您开启Velmora之旅", "Velmora - 在线安装",
                               "正在释放文件中....", "90%", "C:\\Program Files\\Velmora\\", "a"};
  for (const std::string& text : texts) {
    WideText wide;
    wide.SetText(text);
    EXPECT_EQ(wide.ToText(), text);
    EXPECT_EQ(TextFromWide(WideFromText(text)), text);
  }
  WideText usage;
  usage.SetText("使用说明.txt");
  EXPECT_EQ(usage.Length(), 8);
  EXPECT_EQ(usage.WString(), L"使用说明.txt");
  EXPECT_EQ(usage.Bytes(), BytesOf(L"使用说明.txt"));
}

TEST(WideText, TextSetFromAnsiCarriesNoTerminator) {
  WideText wide;
  wide.SetText("abc");
  EXPECT_EQ(wide.Bytes().size(), 6u);
  EXPECT_EQ(wide.Terminated(true).size(), 8u);
  EXPECT_EQ(wide.Terminated(false), wide.Bytes());
  EXPECT_EQ(WideFromText("abc").size(), 8u);
  EXPECT_EQ(WideFromText("abc", true).size(), 6u);
  EXPECT_EQ(WideFromText("使用").size(), 6u);
}

TEST(WideText, EmptyTexts) {
  WideText fresh;
  EXPECT_TRUE(fresh.IsEmpty());
  EXPECT_EQ(fresh.Length(), 0);
  EXPECT_TRUE(fresh.Bytes().empty());
  EXPECT_EQ(fresh.ToText(), "");
  EXPECT_EQ(fresh.CharCode(1), 0);
  EXPECT_TRUE(fresh.Mid(1).empty());

  WideText set;
  set.SetText("");
  EXPECT_TRUE(set.Bytes().empty());
  EXPECT_TRUE(set.IsEmpty());
  EXPECT_EQ(WideFromText(""), (WideBytes{0, 0}));
  EXPECT_TRUE(WideFromText("", true).empty());
  EXPECT_EQ(TextFromWide({}), "");

  WideText reserved;
  reserved.Reserve();
  EXPECT_EQ(reserved.Bytes().size(), 514u);
  EXPECT_TRUE(reserved.IsEmpty());
  reserved.Reserve(3);
  EXPECT_EQ(reserved.Bytes(), WideBytes(8, 0));
}

TEST(WideText, EmbeddedZeroByteIsConvertedNotOverrun) {
  const std::string text("a\0b", 3);
  WideBytes bytes = WideFromText(text);
  EXPECT_EQ(bytes, (WideBytes{'a', 0, 0, 0, 'b', 0, 0, 0}));
}

TEST(WideText, MidStartZeroCountsAsOne) {
  WideText text = W(L"正在为您开启");
  EXPECT_EQ(text.Mid(0, 2), text.Mid(1, 2));
  EXPECT_EQ(text.Mid(-5, 2), BytesOf(L"正在"));
  EXPECT_EQ(text.MidText(0, 2), "正在");
  EXPECT_EQ(text.MidWide(0, 2).WString(), L"正在");
  EXPECT_EQ(text.Mid(3, 2), BytesOf(L"为您"));
  EXPECT_EQ(text.Mid(5), BytesOf(L"开启"));
  EXPECT_EQ(text.Mid(5, 100), BytesOf(L"开启"));
  EXPECT_TRUE(text.Mid(7).empty());
  EXPECT_TRUE(text.Mid(2, 0).empty());
  EXPECT_TRUE(text.Mid(2, -1).empty());
}

TEST(WideText, LeftAndRight) {
  WideText text = W(L"Velmora之旅");
  EXPECT_EQ(text.Left(3), BytesOf(L"Vel"));
  EXPECT_EQ(text.LeftText(8), "Velmora之");
  EXPECT_EQ(text.LeftWide(100).WString(), L"Velmora之旅");
  EXPECT_TRUE(text.Left(0).empty());
  EXPECT_TRUE(text.Left(-2).empty());
  EXPECT_EQ(text.Right(2), BytesOf(L"之旅"));
  EXPECT_EQ(text.RightText(3), "a之旅");
  EXPECT_EQ(text.RightWide(100).WString(), L"Velmora之旅");
  EXPECT_TRUE(text.Right(0).empty());
}

TEST(WideText, InsertAtPositions) {
  struct Case {
    int32_t position;
    const wchar_t* expected;
  };
  const Case cases[] = {{0, L"XYabc"}, {1, L"XYabc"}, {2, L"aXYbc"}, {4, L"abcXY"}, {99, L"abcXY"}};
  for (const Case& c : cases) {
    WideText text = W(L"abc");
    text.InsertWide(c.position, W(L"XY"));
    EXPECT_EQ(text.WString(), c.expected) << c.position;
  }
  WideText text = W(L"ac");
  text.InsertChar(2, L'b');
  text.InsertText(1, "使用");
  text.InsertBytes(3, BytesOf(L"-"));
  EXPECT_EQ(text.WString(), L"使用-abc");
  text.InsertWide(1, text);  // itself
  EXPECT_EQ(text.WString(), L"使用-abc使用-abc");
}

TEST(WideText, Append) {
  WideText text;
  text.AppendText("说明");
  text.AppendChar(L'.');
  text.AppendBytes(BytesOf(L"tx"));
  text.AppendWide(W(L"t"));
  EXPECT_EQ(text.ToText(), "说明.txt");
  text.AppendWide(text);
  EXPECT_EQ(text.WString(), L"说明.txt说明.txt");
  // Half a code unit is never stored.
  const uint8_t odd[] = {'!', 0, 'x'};
  text.AppendBytes(odd);
  EXPECT_EQ(text.WString(), L"说明.txt说明.txt!");
}

TEST(WideText, HugeCountsTakeTheRestOfTheText) {
  const WideText text = W(L"正在为您开启");
  EXPECT_EQ(text.Mid(2, INT_MAX), BytesOf(L"在为您开启"));
  EXPECT_EQ(text.MidText(3, INT_MAX - 1), "为您开启");
  EXPECT_EQ(text.MidWide(6, 0x7FFFFFFD).WString(), L"启");
  EXPECT_TRUE(text.Mid(INT_MAX, INT_MAX).empty());
  EXPECT_EQ(text.Left(INT_MAX), text.Bytes());
  EXPECT_EQ(text.Right(INT_MAX), text.Bytes());
  WideText edited = text;
  edited.RemoveRange(3, INT_MAX);
  EXPECT_EQ(edited.WString(), L"正在");
  edited.RemoveLeft(INT_MAX);
  EXPECT_TRUE(edited.Bytes().empty());
}

TEST(WideText, Replace) {
  WideText text = W(L"a-b-c-d");
  EXPECT_EQ(text.ReplaceText("-", "之"), 3);
  EXPECT_EQ(text.WString(), L"a之b之c之d");

  text = W(L"a-b-c-d");
  EXPECT_EQ(text.ReplaceWide(W(L"-"), W(L"--"), 1, 2), 2);
  EXPECT_EQ(text.WString(), L"a--b--c-d");  // what was put in is not searched again

  text = W(L"a-b-c-d");
  EXPECT_EQ(text.ReplaceBytes(BytesOf(L"-"), {}, 4), 2);  // from the fourth character on
  EXPECT_EQ(text.WString(), L"a-bcd");

  text = W(L"aaa");
  EXPECT_EQ(text.ReplaceWide(W(L""), W(L"x")), 0);
  EXPECT_EQ(text.ReplaceWide(W(L"a"), W(L"b"), 1, 0), 0);
  EXPECT_EQ(text.ReplaceWide(W(L"aa"), W(L"b")), 1);
  EXPECT_EQ(text.WString(), L"ba");
}

TEST(WideText, ReplaceMatchesWholeCodeUnitsOnly) {
  // Units U+4100 U+0042 are the bytes 00 41 42 00; U+4241 (bytes 41 42) sits at an odd offset only.
  const uint8_t bytes[] = {0x00, 0x41, 0x42, 0x00};
  WideText text = MakeWideText(bytes);
  const uint8_t find[] = {0x41, 0x42};
  EXPECT_EQ(text.ReplaceBytes(find, BytesOf(L"X")), 0);
  EXPECT_EQ(text.Bytes(), WideBytes(std::begin(bytes), std::end(bytes)));
}

TEST(WideText, CopyEqualsAndHandOver) {
  WideText original = W(L"使用说明");
  WideText copy(original);
  EXPECT_TRUE(copy.Equals(original));
  copy.AppendChar(L'!');
  EXPECT_FALSE(copy.Equals(original));
  EXPECT_EQ(original.WString(), L"使用说明");  // deep copy

  WideText set;
  set.SetFromWide(original);
  EXPECT_TRUE(set.Equals(original));

  WideText target = W(L"old");
  original.CopyTo(target);
  EXPECT_EQ(target.WString(), L"使用说明");
  EXPECT_TRUE(original.IsEmpty());
  EXPECT_FALSE(W(L"ab").Equals(W(L"abc")));
  EXPECT_TRUE(WideText().Equals(W(L"")));
}

TEST(WideText, LengthStopsAtTheFirstZeroUnit) {
  const uint8_t bytes[] = {'a', 0, 'b', 0, 0, 0, 'c', 0};
  WideText text = MakeWideText(bytes);
  EXPECT_EQ(text.Length(), 2);
  EXPECT_EQ(text.WString(), L"ab");
  EXPECT_EQ(text.ToText(), "ab");
  EXPECT_EQ(text.Terminated(), BytesOf(std::wstring(L"ab\0", 3)));
}

TEST(WideText, WindowTitle) {
  HWND hwnd = CreateWindowExW(0, L"STATIC", L"Velmora - 在线安装", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  WideText title;
  title.SetFromWindow(hwnd);
  WideText expected;
  expected.SetText("Velmora - 在线安装");
  EXPECT_TRUE(title.Equals(expected));
  EXPECT_EQ(title.ToText(), "Velmora - 在线安装");
  SetWindowTextW(hwnd, L"");
  title.SetFromWindow(hwnd);
  EXPECT_TRUE(title.IsEmpty());
  DestroyWindow(hwnd);
}

TEST(WideText, CopyToClipboardAsUnicodeText) {
  WideText text;
  text.SetText("正在为您开启Velmora之旅");
  ASSERT_TRUE(text.CopyToClipboard());
  ASSERT_TRUE(OpenClipboard(nullptr));
  std::wstring read;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      read = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  EXPECT_EQ(read, L"正在为您开启Velmora之旅");
}

}  // namespace
