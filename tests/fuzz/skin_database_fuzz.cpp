// The skin database reader fed mutated databases. A block it refuses leaves the database exactly
// as it was; a block it takes reads back the same after being written out again.
#include "tests/fuzz/fuzz_driver.h"
#include "toolkit/skin/skin_database.h"

namespace {

void Run(std::span<const uint8_t> input) {
  SkinDatabase db;
  const uint8_t before[] = {1, 2, 3};
  db.Assign("before", std::vector<SkinDatabase::Entry>{{"kept", 4, 5, SkinBytes(before, before + 3)}});
  const SkinBytes unchanged = db.ToBytes();
  if (!db.LoadBytes(input)) {
    FUZZ_CHECK(db.ToBytes() == unchanged);
    return;
  }
  FUZZ_CHECK(input.size() > 16);
  const SkinBytes written = db.ToBytes();
  FUZZ_CHECK(!written.empty());
  FUZZ_CHECK(written.size() <= input.size());  // only what follows the last record is dropped
  SkinDatabase again;
  FUZZ_CHECK(again.LoadBytes(written));
  FUZZ_CHECK(again.ToBytes() == written);
  FUZZ_CHECK(again.Count() == db.Count());
  FUZZ_CHECK(again.GetComment() == db.GetComment());
}

}  // namespace

const FuzzTarget& TheFuzzTarget() {
  static const FuzzTarget target{"skin_database", Run, 4096,
                                 {"QoSkinDataBase V2", std::string("\0\0\0\0", 4), std::string("\xFF\xFF\xFF\xFF", 4),
                                  std::string("\x0D\0\0\0", 4), std::string(1, '\0')}};
  return target;
}
