// Databases written by hand, byte by byte and independently of SkinDatabase, for the skin
// database tests (the byte tests run natively as well as under Wine; the file tests under Wine).
#pragma once

#include <gtest/gtest.h>

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

}  // namespace skin_database_samples
