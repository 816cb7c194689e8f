// The served jQuery against the file the build minified (read through Wine's path mapping, so this
// one runs only under Wine; the route tests run natively too).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/files.h"
#include "toolkit/richedit/richedit_content.h"

namespace {

// The program holds jQuery deflated; what it serves must be the minified file byte for byte.
TEST(ServedFiles, JQueryIsTheBuildsMinifiedFileByteForByte) {
  std::string minified;
  ASSERT_TRUE(ReadWholeFileAnsi(WinePathOf(std::string(VM_JQUERY_MINIFIED_FILE)), minified));
  ASSERT_GT(minified.size(), 80000u);
  EXPECT_EQ(MinifiedJQuery().size(), minified.size());
  EXPECT_TRUE(MinifiedJQuery() == minified);
  // Inflated once: later calls answer the same bytes in the same place.
  EXPECT_EQ(MinifiedJQuery().data(), MinifiedJQuery().data());
}

}  // namespace
