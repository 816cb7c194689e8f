#include "toolkit/skin/skin_database.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

// Texts of the format end at their first NUL.
std::string TextOf(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

// Every read checks the bytes left first, so a count or length from the data can never move the
// cursor past the end of the block.
class Reader {
 public:
  explicit Reader(SkinByteView bytes) : bytes_(bytes) {}

  size_t Left() const { return bytes_.size() - pos_; }

  bool ReadInt32(int32_t& value) {
    if (Left() < 4) return false;
    const uint8_t* p = bytes_.data() + pos_;
    value = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
    pos_ += 4;
    return true;
  }
  // A length field: non-negative and no longer than what is left.
  bool ReadLength(size_t& length) {
    int32_t value = 0;
    if (!ReadInt32(value) || value < 0 || static_cast<size_t>(value) > Left()) return false;
    length = static_cast<size_t>(value);
    return true;
  }
  bool ReadBlock(size_t length, SkinByteView& block) {
    if (length > Left()) return false;
    block = bytes_.subspan(pos_, length);
    pos_ += length;
    return true;
  }

 private:
  SkinByteView bytes_;
  size_t pos_ = 0;
};

std::string_view AsText(SkinByteView block) { return {reinterpret_cast<const char*>(block.data()), block.size()}; }

// One record's content: name, NUL, number1, number2, dataLength, data, filling the record exactly.
bool ParseRecord(SkinByteView record, SkinDatabase::Entry& entry) {
  constexpr size_t kNumbersSize = 12;
  if (record.size() < 1 + kNumbersSize) return false;
  std::string_view text = AsText(record.first(record.size() - kNumbersSize));
  size_t nameLength = text.find('\0');
  if (nameLength == std::string_view::npos) return false;
  Reader reader(record.subspan(nameLength + 1));
  size_t dataLength = 0;
  SkinByteView data;
  if (!reader.ReadInt32(entry.number1) || !reader.ReadInt32(entry.number2) || !reader.ReadLength(dataLength) ||
      !reader.ReadBlock(dataLength, data) || reader.Left() != 0) {
    return false;
  }
  entry.name.assign(text.substr(0, nameLength));
  entry.data.assign(data.begin(), data.end());
  return true;
}

bool Parse(SkinByteView bytes, std::string& comment, std::vector<SkinDatabase::Entry>& entries) {
  Reader reader(bytes);
  SkinByteView magic;
  if (!reader.ReadBlock(kSkinDatabaseMagic.size(), magic) || AsText(magic) != kSkinDatabaseMagic) return false;
  int32_t count = 0;
  size_t commentLength = 0;
  SkinByteView commentBytes;
  if (!reader.ReadInt32(count) || count < 0 || !reader.ReadLength(commentLength) ||
      !reader.ReadBlock(commentLength, commentBytes)) {
    return false;
  }
  // The smallest record (empty name, no data) takes 17 bytes; a count the block cannot hold is
  // refused before anything is reserved for it.
  constexpr size_t kSmallestRecord = 4 + 1 + 12;
  if (static_cast<size_t>(count) > reader.Left() / kSmallestRecord) return false;
  std::vector<SkinDatabase::Entry> parsed(static_cast<size_t>(count));
  for (SkinDatabase::Entry& entry : parsed) {
    size_t recordLength = 0;
    SkinByteView record;
    if (!reader.ReadLength(recordLength) || !reader.ReadBlock(recordLength, record) || !ParseRecord(record, entry)) {
      return false;
    }
  }
  comment = TextOf(AsText(commentBytes));
  entries = std::move(parsed);
  return true;
}

void AppendInt32(SkinBytes& out, int32_t value) {
  auto bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

void AppendText(SkinBytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

constexpr size_t kInt32Max = static_cast<size_t>(std::numeric_limits<int32_t>::max());

bool Equal(SkinByteView a, SkinByteView b) { return std::ranges::equal(a, b); }

}  // namespace

// ---- Whole database ---------------------------------------------------------------------------

bool SkinDatabase::ReplaceFrom(SkinByteView bytes) {
  std::string comment;
  std::vector<Entry> entries;
  if (!Parse(bytes, comment, entries)) return false;
  comment_ = std::move(comment);
  entries_ = std::move(entries);
  return true;
}

bool SkinDatabase::LoadBytes(SkinByteView bytes) {
  if (bytes.size() <= 16) return false;
  return ReplaceFrom(bytes);
}

SkinBytes SkinDatabase::ToBytes() const {
  if (entries_.size() > kInt32Max || comment_.size() > kInt32Max) return {};
  SkinBytes out;
  AppendText(out, kSkinDatabaseMagic);
  AppendInt32(out, static_cast<int32_t>(entries_.size()));
  AppendInt32(out, static_cast<int32_t>(comment_.size()));
  AppendText(out, comment_);
  for (const Entry& entry : entries_) {
    size_t recordLength = entry.name.size() + 1 + 12 + entry.data.size();
    if (entry.data.size() > kInt32Max || recordLength > kInt32Max) return {};
    AppendInt32(out, static_cast<int32_t>(recordLength));
    AppendText(out, entry.name);
    out.push_back(0);
    AppendInt32(out, entry.number1);
    AppendInt32(out, entry.number2);
    AppendInt32(out, static_cast<int32_t>(entry.data.size()));
    out.insert(out.end(), entry.data.begin(), entry.data.end());
  }
  return out;
}

void SkinDatabase::Assign(const std::string& comment, const std::optional<std::vector<Entry>>& entries) {
  comment_ = TextOf(comment);
  entries_ = entries.value_or(std::vector<Entry>{});
  for (Entry& entry : entries_) entry.name = TextOf(entry.name);
}

void SkinDatabase::AddEntry(int32_t number1, const std::string& name, SkinByteView data, int32_t number2,
                            std::optional<int32_t> position) {
  Entry entry{TextOf(name), number1, number2, SkinBytes(data.begin(), data.end())};
  if (!position) {
    entries_.push_back(std::move(entry));
  } else if (*position >= 1 && static_cast<size_t>(*position) <= entries_.size() + 1) {
    entries_.insert(entries_.begin() + (*position - 1), std::move(entry));
  }
}

// ---- Entries ----------------------------------------------------------------------------------

int SkinDatabase::Select(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
                         std::optional<int32_t> number2, std::optional<SkinByteView> data) const {
  if (index >= 1 && static_cast<size_t>(index) <= entries_.size()) return index - 1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    if (name && entry.name != *name) continue;
    if (number1 && entry.number1 != *number1) continue;
    if (number2 && entry.number2 != *number2) continue;
    if (data && !Equal(entry.data, *data)) continue;
    return static_cast<int>(i);
  }
  return -1;
}

std::string SkinDatabase::GetComment() const { return comment_; }

void SkinDatabase::SetComment(const std::string& text) { comment_ = TextOf(text); }

int32_t SkinDatabase::GetNumber1(int32_t index, const std::optional<std::string>& name,
                                 std::optional<int32_t> number2, std::optional<SkinByteView> data) const {
  int at = Select(index, std::nullopt, name, number2, data);
  return at < 0 ? -1 : entries_[at].number1;
}

std::string SkinDatabase::GetName(int32_t index, std::optional<int32_t> number1, std::optional<int32_t> number2,
                                  std::optional<SkinByteView> data) const {
  int at = Select(index, number1, std::nullopt, number2, data);
  return at < 0 ? std::string() : entries_[at].name;
}

int32_t SkinDatabase::GetNumber2(int32_t index, std::optional<int32_t> number1,
                                 const std::optional<std::string>& name, std::optional<SkinByteView> data) const {
  int at = Select(index, number1, name, std::nullopt, data);
  return at < 0 ? -1 : entries_[at].number2;
}

SkinBytes SkinDatabase::GetData(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
                                std::optional<int32_t> number2) const {
  int at = Select(index, number1, name, number2, std::nullopt);
  return at < 0 ? SkinBytes() : entries_[at].data;
}

bool SkinDatabase::SetNumber1(int32_t index, const std::optional<std::string>& name, std::optional<int32_t> number2,
                              std::optional<SkinByteView> data, int32_t value) {
  int at = Select(index, std::nullopt, name, number2, data);
  if (at < 0) return false;
  entries_[at].number1 = value;
  return true;
}

bool SkinDatabase::SetName(int32_t index, std::optional<int32_t> number1, std::optional<int32_t> number2,
                           std::optional<SkinByteView> data, const std::string& text) {
  int at = Select(index, number1, std::nullopt, number2, data);
  if (at < 0) return false;
  entries_[at].name = TextOf(text);
  return true;
}

bool SkinDatabase::SetNumber2(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
                              std::optional<SkinByteView> data, int32_t value) {
  int at = Select(index, number1, name, std::nullopt, data);
  if (at < 0) return false;
  entries_[at].number2 = value;
  return true;
}

bool SkinDatabase::SetData(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
                           std::optional<int32_t> number2, SkinByteView bytes) {
  int at = Select(index, number1, name, number2, std::nullopt);
  if (at < 0) return false;
  // `bytes` may view this very entry's data; build the copy before replacing it.
  SkinBytes copy(bytes.begin(), bytes.end());
  entries_[at].data = std::move(copy);
  return true;
}

int32_t SkinDatabase::Count() const { return static_cast<int32_t>(entries_.size()); }

bool SkinDatabase::DeleteEntry(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
                               std::optional<int32_t> number2) {
  int at = Select(index, number1, name, number2, std::nullopt);
  if (at < 0) return false;
  entries_.erase(entries_.begin() + at);
  return true;
}
