// Databases written by hand, byte by byte and independently of SkinDatabase, for the skin
// database tests (the byte tests run natively as well as under Wine; the file tests under Wine).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/skin/skin_database.h"

namespace skin_database_samples {

using Entry = SkinDatabase::Entry;

// ---- A database written by hand, independently of SkinDatabase ---------------------------------

inline void PutInt32(SkinBytes& out, int32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}
inline void PutText(SkinBytes& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

inline SkinBytes HandMade(const std::string& comment, const std::vector<Entry>& entries) {
  SkinBytes out;
  PutText(out, "QoSkinDataBase V2");
  PutInt32(out, static_cast<int32_t>(entries.size()));
  PutInt32(out, static_cast<int32_t>(comment.size()));
  PutText(out, comment);
  for (const Entry& e : entries) {
    PutInt32(out, static_cast<int32_t>(e.name.size() + 1 + 12 + e.data.size()));
    PutText(out, e.name);
    out.push_back(0);
    PutInt32(out, e.number1);
    PutInt32(out, e.number2);
    PutInt32(out, static_cast<int32_t>(e.data.size()));
    out.insert(out.end(), e.data.begin(), e.data.end());
  }
  return out;
}

inline const std::vector<Entry> kSample = {
    {"关闭_正常", 0, 0, {0x89, 'P', 'N', 'G', 1, 2, 3}},
    {"", 7, -3, {}},
    {"Year_加", -1, 2147483647, SkinBytes(300, 0xAB)},
};

inline SkinDatabase Loaded(const SkinBytes& bytes) {
  SkinDatabase db;
  EXPECT_TRUE(db.LoadBytes(bytes));
  return db;
}

// ---- Malformed blocks: one spoiling of a small database each -------------------------------------

inline void SetInt32(SkinBytes& bytes, size_t at, int32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

// Offsets in HandMade("ab", {{"nm", 1, 2, {7, 7, 7}}}).
inline constexpr size_t kCountAt = 17;
inline constexpr size_t kCommentLengthAt = 21;
inline constexpr size_t kRecordAt = 27;
inline constexpr size_t kNameAt = kRecordAt + 4;
inline constexpr size_t kDataLengthAt = kNameAt + 3 + 8;

inline SkinBytes Base() { return HandMade("ab", {{"nm", 1, 2, {7, 7, 7}}}); }

struct Malformed {
  const char* what;
  std::function<void(SkinBytes&)> spoil;
};

inline const Malformed kMalformed[] = {
    {"wrong magic", [](SkinBytes& b) { b[16] = '3'; }},
    {"lower-case magic", [](SkinBytes& b) { b[0] = 'q'; }},
    {"negative count", [](SkinBytes& b) { SetInt32(b, kCountAt, -1); }},
    {"count one too many", [](SkinBytes& b) { SetInt32(b, kCountAt, 2); }},
    {"huge count", [](SkinBytes& b) { SetInt32(b, kCountAt, 0x7FFFFFFF); }},
    {"negative comment length", [](SkinBytes& b) { SetInt32(b, kCommentLengthAt, -2); }},
    {"comment past the end", [](SkinBytes& b) { SetInt32(b, kCommentLengthAt, 1000); }},
    {"negative record length", [](SkinBytes& b) { SetInt32(b, kRecordAt, -17); }},
    {"record past the end", [](SkinBytes& b) { SetInt32(b, kRecordAt, 21); }},
    {"record longer than its content", [](SkinBytes& b) {
       SetInt32(b, kRecordAt, 19);
       b.push_back(0);
     }},
    {"record shorter than its content", [](SkinBytes& b) { SetInt32(b, kRecordAt, 17); }},
    {"name without terminator", [](SkinBytes& b) {
       b.resize(kNameAt);
       SetInt32(b, kRecordAt, 20);
       b.insert(b.end(), 20, 'z');
     }},
    {"name running to the end of the block", [](SkinBytes& b) { b.resize(kNameAt + 2); }},
    {"record too short for the numbers", [](SkinBytes& b) {
       SetInt32(b, kRecordAt, 3);
       b.resize(kNameAt + 3);
     }},
    {"negative data length", [](SkinBytes& b) { SetInt32(b, kDataLengthAt, -1); }},
    {"data past the record", [](SkinBytes& b) { SetInt32(b, kDataLengthAt, 4); }},
    {"data past the end", [](SkinBytes& b) { SetInt32(b, kDataLengthAt, 0x7FFFFFF0); }},
    {"last data byte missing", [](SkinBytes& b) { b.pop_back(); }},
    {"only the magic", [](SkinBytes& b) { b.resize(17); }},
    {"sixteen bytes", [](SkinBytes& b) { b.resize(16); }},
    {"nothing", [](SkinBytes& b) { b.clear(); }},
};

}  // namespace skin_database_samples
