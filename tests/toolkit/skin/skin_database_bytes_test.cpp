// SkinDatabase over byte blocks: the byte layout it writes, what it refuses to read, entry
// selection and editing. No Windows API: runs natively under sanitizers as well as under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/toolkit/skin/skin_database_samples.h"
#include "toolkit/skin/skin_database.h"

namespace {

using namespace skin_database_samples;

// ---- Layout and round trips -------------------------------------------------------------------

TEST(SkinDatabaseFormat, ToBytesWritesTheDocumentedLayout) {
  SkinDatabase db;
  db.Assign("c", std::vector<Entry>{{"ab", 1, 2, {9, 8}}});
  const SkinBytes expected = {
      'Q', 'o', 'S', 'k', 'i', 'n', 'D', 'a', 't', 'a', 'B', 'a', 's', 'e', ' ', 'V', '2',
      1, 0, 0, 0,                   // entry count
      1, 0, 0, 0, 'c',              // comment
      17, 0, 0, 0,                  // record length: 3 + 12 + 2
      'a', 'b', 0,                  // name
      1, 0, 0, 0, 2, 0, 0, 0,       // number1, number2
      2, 0, 0, 0, 9, 8,             // data
  };
  EXPECT_EQ(db.ToBytes(), expected);
}

TEST(SkinDatabaseFormat, LoadBytesReadsAHandWrittenDatabase) {
  SkinDatabase db = Loaded(HandMade("注释", kSample));
  EXPECT_EQ(db.GetComment(), "注释");
  EXPECT_EQ(db.Entries(), kSample);
  EXPECT_EQ(db.ToBytes(), HandMade("注释", kSample));
}

TEST(SkinDatabaseFormat, EmptyDatabaseRoundTrips) {
  SkinDatabase db;
  SkinBytes bytes = db.ToBytes();
  EXPECT_EQ(bytes.size(), 25u);
  SkinDatabase other = Loaded(HandMade("x", kSample));
  EXPECT_TRUE(other.LoadBytes(bytes));
  EXPECT_EQ(other.Count(), 0);
  EXPECT_EQ(other.GetComment(), "");
}

// ---- What is refused --------------------------------------------------------------------------

TEST(SkinDatabaseRefuses, MalformedBlocksAnswerFalseAndChangeNothing) {
  ASSERT_TRUE(SkinDatabase().LoadBytes(Base()));  // the unspoilt base is a database
  for (const Malformed& m : kMalformed) {
    SCOPED_TRACE(m.what);
    SkinBytes bytes = Base();
    m.spoil(bytes);
    SkinDatabase db = Loaded(HandMade("keep", kSample));
    EXPECT_FALSE(db.LoadBytes(bytes));
    EXPECT_EQ(db.Entries(), kSample);
    EXPECT_EQ(db.GetComment(), "keep");
  }
}

TEST(SkinDatabaseRefuses, EveryTruncationOfAWholeDatabase) {
  SkinBytes whole = HandMade("comment", kSample);
  for (size_t length = 0; length < whole.size(); ++length) {
    SkinDatabase db;
    db.AddEntry(5, "before", SkinBytes{1}, 6);
    ASSERT_FALSE(db.LoadBytes(SkinByteView(whole).first(length))) << "length " << length;
    ASSERT_EQ(db.Count(), 1);
    ASSERT_EQ(db.GetName(1), "before");
  }
}

// A record too short for its name terminator and three numbers is refused before its name is
// searched: here none of the bytes up to the block's end is a NUL, so a search past the record
// would read past the block (the block is allocated at exactly its size for the sanitizer).
TEST(SkinDatabaseRefuses, ARecordShorterThanItsNumbersIsRefusedWithoutReadingPastIt) {
  SkinBytes bytes;
  PutText(bytes, "QoSkinDataBase V2");
  PutInt32(bytes, 1);  // one entry
  PutInt32(bytes, 0);  // no comment
  PutInt32(bytes, 5);  // a record of 5 bytes: less than NUL + number1 + number2 + dataLength
  PutText(bytes, "abcdexxxxxxxx");
  const SkinBytes exact(bytes.begin(), bytes.end());
  SkinDatabase db;
  db.Assign("kept", std::vector<Entry>{{"a", 1, 2, {3}}});
  const SkinBytes before = db.ToBytes();
  EXPECT_FALSE(db.LoadBytes(exact));
  EXPECT_EQ(db.ToBytes(), before);
}

TEST(SkinDatabaseRefuses, SixteenBytesOrFewerEvenWithTheMagicPrefix) {
  SkinBytes bytes = Base();
  for (size_t length : {0u, 1u, 16u}) {
    SkinDatabase db;
    EXPECT_FALSE(db.LoadBytes(SkinByteView(bytes).first(length)));
  }
}

// ---- Texts end at their first NUL ---------------------------------------------------------------

TEST(SkinDatabaseTexts, NamesAndCommentsHandedInWithANulAreCutSoTheyCanBeWritten) {
  SkinDatabase db;
  db.SetComment(std::string("x\0y", 3));
  db.AddEntry(1, std::string("a\0b", 3), SkinBytes{1}, 2);
  db.Assign(db.GetComment(), std::vector<Entry>{{std::string("p\0q", 3), 0, 0, {}}});
  db.AddEntry(1, std::string("a\0b", 3), SkinBytes{1}, 2);
  db.SetName(2, {}, {}, {}, std::string("r\0s", 3));
  EXPECT_EQ(db.GetComment(), "x");
  EXPECT_EQ(db.GetName(1), "p");
  EXPECT_EQ(db.GetName(2), "r");
  SkinDatabase back = Loaded(db.ToBytes());
  EXPECT_EQ(back.Entries(), db.Entries());
}

TEST(SkinDatabaseTexts, BytesAfterTheLastRecordAreIgnored) {
  SkinBytes bytes = HandMade("", kSample);
  bytes.push_back(0xEE);
  SkinDatabase db = Loaded(bytes);
  EXPECT_EQ(db.Entries(), kSample);
}

// ---- Entry selection ----------------------------------------------------------------------------

SkinDatabase Selection() {
  SkinDatabase db;
  db.Assign("", std::vector<Entry>{
                    {"a", 1, 10, {1}},
                    {"b", 2, 20, {2, 2}},
                    {"a", 3, 30, {3}},
                    {"c", 2, 40, {}},
                });
  return db;
}

using Bytes = SkinBytes;
const Bytes kData3 = {3};
const Bytes kData22 = {2, 2};
const Bytes kNone = {};
const Bytes kUnknown = {9, 9};

TEST(SkinDatabaseSelection, GetNumber1) {
  const SkinDatabase db = Selection();
  struct Case {
    int32_t index;
    std::optional<std::string> name;
    std::optional<int32_t> number2;
    std::optional<SkinByteView> data;
    int32_t expected;
  } cases[] = {
      {2, {}, {}, {}, 2},             // by position
      {2, "c", {}, {}, 2},            // a position in range ignores the criteria
      {0, "a", {}, {}, 1},            // first of two equal names
      {0, "a", 30, {}, 3},            // every criterion must match
      {5, "c", {}, {}, 2},            // a position out of range searches
      {-1, {}, {}, {}, 1},            // no criterion: the first entry
      {0, {}, {}, kData3, 3},         // equal bytes
      {0, {}, {}, kNone, 2},          // an empty block matches an empty block only
      {0, "A", {}, {}, -1},           // names are case-sensitive
      {0, "zz", {}, {}, -1},
      {0, "b", 30, {}, -1},
      {0, {}, {}, kUnknown, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "index " << c.index << " name " << c.name.value_or("-"));
    EXPECT_EQ(db.GetNumber1(c.index, c.name, c.number2, c.data), c.expected);
  }
}

TEST(SkinDatabaseSelection, GetNameGetNumber2AndGetData) {
  const SkinDatabase db = Selection();
  EXPECT_EQ(db.GetName(3), "a");
  EXPECT_EQ(db.GetName(0, 2), "b");
  EXPECT_EQ(db.GetName(0, 2, 40), "c");
  EXPECT_EQ(db.GetName(0, {}, {}, kData22), "b");
  EXPECT_EQ(db.GetName(0, 7), "");
  EXPECT_EQ(db.GetName(0), "a");

  EXPECT_EQ(db.GetNumber2(4), 40);
  EXPECT_EQ(db.GetNumber2(0, 3), 30);
  EXPECT_EQ(db.GetNumber2(0, {}, "c"), 40);
  EXPECT_EQ(db.GetNumber2(0, 1, "b"), -1);
  EXPECT_EQ(db.GetNumber2(0, {}, {}, kNone), 40);

  EXPECT_EQ(db.GetData(0, {}, "b"), kData22);
  EXPECT_EQ(db.GetData(3), kData3);
  EXPECT_EQ(db.GetData(0, 2, {}, 40), kNone);
  EXPECT_EQ(db.GetData(0, {}, "a", 30), kData3);
  EXPECT_EQ(db.GetData(0), Bytes{1});
  EXPECT_EQ(db.GetData(0, {}, "none"), kNone);
}

TEST(SkinDatabaseSelection, AnEmptyDatabaseSelectsNothing) {
  SkinDatabase db;
  EXPECT_EQ(db.GetNumber1(0), -1);
  EXPECT_EQ(db.GetNumber1(1), -1);
  EXPECT_EQ(db.GetName(0), "");
  EXPECT_EQ(db.GetNumber2(0), -1);
  EXPECT_TRUE(db.GetData(0).empty());
  EXPECT_FALSE(db.SetNumber1(0, {}, {}, {}, 1));
  EXPECT_FALSE(db.SetName(1, {}, {}, {}, "x"));
  EXPECT_FALSE(db.SetNumber2(0, {}, {}, {}, 1));
  EXPECT_FALSE(db.SetData(0, {}, {}, {}, kData3));
  EXPECT_FALSE(db.DeleteEntry(0));
  EXPECT_EQ(db.Count(), 0);
}

TEST(SkinDatabaseSelection, SettersChangeOnlyTheSelectedEntry) {
  SkinDatabase db = Selection();
  EXPECT_TRUE(db.SetNumber1(0, "a", {}, {}, 100));
  EXPECT_TRUE(db.SetName(0, {}, {}, kData22, "bee"));
  EXPECT_TRUE(db.SetNumber2(3, 999, {}, {}, -5));  // position 3; the criterion is ignored
  EXPECT_TRUE(db.SetData(0, {}, {}, 40, kUnknown));
  const std::vector<Entry> expected = {
      {"a", 100, 10, {1}},
      {"bee", 2, 20, {2, 2}},
      {"a", 3, -5, {3}},
      {"c", 2, 40, {9, 9}},
  };
  EXPECT_EQ(db.Entries(), expected);
}

TEST(SkinDatabaseSelection, SettersWithoutAMatchAnswerFalseAndChangeNothing) {
  SkinDatabase db = Selection();
  const std::vector<Entry> before = db.Entries();
  EXPECT_FALSE(db.SetNumber1(0, "zz", {}, {}, 1));
  EXPECT_FALSE(db.SetName(0, 9, {}, {}, "x"));
  EXPECT_FALSE(db.SetNumber2(0, 1, "b", {}, 1));
  EXPECT_FALSE(db.SetData(0, {}, "a", 20, kData3));
  EXPECT_FALSE(db.SetNumber1(0, {}, {}, kUnknown, 1));
  EXPECT_EQ(db.Entries(), before);
}

TEST(SkinDatabaseSelection, SetDataAcceptsTheEntrysOwnBytes) {
  SkinDatabase db = Selection();
  ASSERT_TRUE(db.SetData(2, {}, {}, {}, db.Entries()[1].data));
  EXPECT_EQ(db.GetData(2), kData22);
  ASSERT_TRUE(db.SetData(1, {}, {}, {}, db.Entries()[1].data));
  EXPECT_EQ(db.GetData(1), kData22);
}

TEST(SkinDatabaseSelection, DeleteEntryByPositionOrByCriteria) {
  SkinDatabase db = Selection();
  EXPECT_TRUE(db.DeleteEntry(2));  // "b"
  EXPECT_TRUE(db.DeleteEntry(0, {}, "a"));  // the first "a"
  EXPECT_FALSE(db.DeleteEntry(0, {}, "b"));
  EXPECT_TRUE(db.DeleteEntry(0, 2, "c", 40));
  const std::vector<Entry> expected = {{"a", 3, 30, {3}}};
  EXPECT_EQ(db.Entries(), expected);
  EXPECT_TRUE(db.DeleteEntry(0));  // no criterion: the first entry
  EXPECT_EQ(db.Count(), 0);
}

// ---- Building a database ------------------------------------------------------------------------

TEST(SkinDatabaseEditing, AddEntryAppendsOrInsertsBeforeAPosition) {
  SkinDatabase db;
  db.AddEntry(1, "one", kData3, 0);
  db.AddEntry(0, "zero", kNone, 0, 1);   // before the first
  db.AddEntry(2, "two", kNone, 0, 3);    // count + 1: at the end
  db.AddEntry(9, "bad", kNone, 0, 0);    // not a position
  db.AddEntry(9, "bad", kNone, 0, 5);    // beyond count + 1
  db.AddEntry(9, "bad", kNone, 0, -1);
  db.AddEntry(5, "mid", kNone, 7, 2);
  ASSERT_EQ(db.Count(), 4);
  EXPECT_EQ(db.GetName(1), "zero");
  EXPECT_EQ(db.GetName(2), "mid");
  EXPECT_EQ(db.GetNumber2(2), 7);
  EXPECT_EQ(db.GetName(3), "one");
  EXPECT_EQ(db.GetData(3), kData3);
  EXPECT_EQ(db.GetName(4), "two");
}

TEST(SkinDatabaseEditing, AssignCopiesTheEntriesOrEmptiesTheList) {
  std::vector<Entry> source = kSample;
  SkinDatabase db;
  db.Assign("c1", source);
  source[0].data.clear();
  source.pop_back();
  EXPECT_EQ(db.Entries(), kSample);
  EXPECT_EQ(db.GetComment(), "c1");
  db.Assign("c2");
  EXPECT_EQ(db.Count(), 0);
  EXPECT_EQ(db.GetComment(), "c2");
}

TEST(SkinDatabaseEditing, CopiesAreDeep) {
  SkinDatabase original = Loaded(HandMade("orig", kSample));
  SkinDatabase copy = original;
  copy.SetData(1, {}, {}, {}, kData3);
  copy.SetComment("copy");
  copy.DeleteEntry(3);
  EXPECT_EQ(original.Entries(), kSample);
  EXPECT_EQ(original.GetComment(), "orig");
  copy = original;
  EXPECT_EQ(copy.Entries(), kSample);
}

}  // namespace
