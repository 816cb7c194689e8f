// A skin database: one file or byte block mapping names to data blocks (for skins, PNG images).
//
// The format ("QoSkinDataBase V2"; every integer 32-bit signed little-endian, texts in the system
// code page):
//
//   magic          17 bytes   "QoSkinDataBase V2", no terminator
//   entryCount      4         negative is invalid
//   commentLength   4
//   comment         commentLength bytes, no terminator
//   entryCount records:
//     recordLength  4         = (name length + 1) + 12 + dataLength
//     name          NUL-terminated
//     number1       4
//     number2       4
//     dataLength    4
//     data          dataLength bytes
//
// Nothing follows the last record. Names are compared as whole texts, case-sensitively; duplicate
// names are allowed and lookups take the first match.
//
// Reading is strict: a count or length that runs past the end of the block, a name without its
// terminator inside its record, a record whose length disagrees with its content, or a negative
// count or length makes LoadFile/LoadBytes answer false and leaves the database exactly as it was.
// Texts never hold NUL bytes: a comment or name handed in with one is cut at it (a NUL could not
// be written back as a terminated name, and would shift every record after it).
//
// This header and skin_database.cpp need no Windows API (the host-side skin packer builds them
// too); LoadFile and SaveFile live in skin_database_win.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using SkinBytes = std::vector<uint8_t>;
using SkinByteView = std::span<const uint8_t>;

inline constexpr std::string_view kSkinDatabaseMagic = "QoSkinDataBase V2";

class SkinDatabase {
 public:
  struct Entry {
    std::string name;  // GBK, no NUL
    int32_t number1 = 0;
    int32_t number2 = 0;
    SkinBytes data;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  // Copies are deep (every text and block is owned by value).
  SkinDatabase() = default;
  SkinDatabase(const SkinDatabase&) = default;
  SkinDatabase& operator=(const SkinDatabase&) = default;
  SkinDatabase(SkinDatabase&&) noexcept = default;
  SkinDatabase& operator=(SkinDatabase&&) noexcept = default;
  ~SkinDatabase() = default;

  // ---- Whole database -------------------------------------------------------------------------
  // Replace the content with the database in the file (path in the system code page). False when
  // the file cannot be opened or read or does not hold a whole, well-formed database; the content
  // is then unchanged.
  bool LoadFile(const std::string& path);
  // The same over a byte block; a block of 16 bytes or fewer is refused.
  bool LoadBytes(SkinByteView bytes);
  // Write the content as a database file, created or overwritten. False when the file cannot be
  // created or written completely.
  bool SaveFile(const std::string& path) const;
  // The content as a database byte block (what SaveFile writes). Empty only when a length does
  // not fit the format's 32-bit fields.
  SkinBytes ToBytes() const;
  // Sets the comment and the entries: a copy of `entries`, or none when they are omitted.
  void Assign(const std::string& comment, const std::optional<std::vector<Entry>>& entries = std::nullopt);
  // Appends the entry; with a position in 1..Count() + 1 inserts it before that position instead;
  // with any other position adds nothing.
  void AddEntry(int32_t number1, const std::string& name, SkinByteView data, int32_t number2,
                std::optional<int32_t> position = std::nullopt);

  // ---- Entries --------------------------------------------------------------------------------
  // Every Get/Set/Delete selects one entry: `index` in 1..Count() selects that position and the
  // criteria are ignored; any other index (0 by convention) selects the first entry matching every
  // criterion given (name: equal text; numbers: equal value; data: equal bytes), or the first entry
  // when no criterion is given. Without a selected entry, Get answers -1, an empty text or an
  // empty block, and Set and Delete answer false.
  std::string GetComment() const;
  void SetComment(const std::string& text);
  int32_t GetNumber1(int32_t index, const std::optional<std::string>& name = std::nullopt,
                     std::optional<int32_t> number2 = std::nullopt,
                     std::optional<SkinByteView> data = std::nullopt) const;
  std::string GetName(int32_t index, std::optional<int32_t> number1 = std::nullopt,
                      std::optional<int32_t> number2 = std::nullopt,
                      std::optional<SkinByteView> data = std::nullopt) const;
  int32_t GetNumber2(int32_t index, std::optional<int32_t> number1 = std::nullopt,
                     const std::optional<std::string>& name = std::nullopt,
                     std::optional<SkinByteView> data = std::nullopt) const;
  SkinBytes GetData(int32_t index, std::optional<int32_t> number1 = std::nullopt,
                    const std::optional<std::string>& name = std::nullopt,
                    std::optional<int32_t> number2 = std::nullopt) const;
  bool SetNumber1(int32_t index, const std::optional<std::string>& name, std::optional<int32_t> number2,
                  std::optional<SkinByteView> data, int32_t value);
  bool SetName(int32_t index, std::optional<int32_t> number1, std::optional<int32_t> number2,
               std::optional<SkinByteView> data, const std::string& text);
  bool SetNumber2(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
                  std::optional<SkinByteView> data, int32_t value);
  bool SetData(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
               std::optional<int32_t> number2, SkinByteView bytes);
  int32_t Count() const;
  // Removes the selected entry (by position or by criteria, as above).
  bool DeleteEntry(int32_t index, std::optional<int32_t> number1 = std::nullopt,
                   const std::optional<std::string>& name = std::nullopt,
                   std::optional<int32_t> number2 = std::nullopt);

  // Read-only view of the entries, in order.
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  // Parses a whole database; on success replaces the content, otherwise leaves it untouched.
  bool ReplaceFrom(SkinByteView bytes);
  // Position (0-based) of the selected entry, or -1.
  int Select(int32_t index, std::optional<int32_t> number1, const std::optional<std::string>& name,
             std::optional<int32_t> number2, std::optional<SkinByteView> data) const;

  std::string comment_;
  std::vector<Entry> entries_;
};
