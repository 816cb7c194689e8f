#include "shell/verb_scan.h"

#include <climits>

namespace {

int TruncatedCount(double count) {
  if (!(count >= 1)) return 0;  // also NaN
  if (count >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(count);
}

}  // namespace

int InvokeVerbsNamed(VerbCollection& verbs, const std::string& caption) {
  const int count = TruncatedCount(verbs.Count());
  int invoked = 0;
  for (int index = 0; index < count; ++index) {
    const std::string name = verbs.NameAt(index);
    if (!caption.empty() && name == caption) {
      verbs.InvokeAt(index);
      ++invoked;
    }
  }
  return invoked;
}
