#include "shell/list_view_sort.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "shell/minor_text.h"

namespace {

// What the comparison reads; passed through the sort message, so no process-wide state.
struct SortContext {
  std::vector<std::string> texts;  // by the item's index before the sort
  bool descending = false;
};

int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM context) noexcept {
  const auto* sort = reinterpret_cast<const SortContext*>(context);
  return CompareNumericTexts(sort->texts[static_cast<size_t>(first)], sort->texts[static_cast<size_t>(second)],
                             sort->descending);
}

std::string CellText(HWND listView, int item, int column) {
  std::vector<char> buffer(256);
  while (true) {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = buffer.data();
    cell.cchTextMax = static_cast<int>(buffer.size());
    const LRESULT length = SendMessageA(listView, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell));
    // A text that fills the buffer may have been cut: read again with room to spare.
    if (length < static_cast<LRESULT>(buffer.size()) - 1) return std::string(buffer.data(), static_cast<size_t>(length));
    buffer.resize(buffer.size() * 4);
  }
}

LPARAM ItemParam(HWND listView, int item) {
  LVITEMA entry{};
  entry.mask = LVIF_PARAM;
  entry.iItem = item;
  SendMessageA(listView, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry));
  return entry.lParam;
}

void SetItemParam(HWND listView, int item, LPARAM param) {
  LVITEMA entry{};
  entry.mask = LVIF_PARAM;
  entry.iItem = item;
  entry.lParam = param;
  SendMessageA(listView, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&entry));
}

}  // namespace

void SortListViewNumeric(HWND listView, int column, bool descending) {
  const int count = static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
  SortContext context;
  context.descending = descending;
  std::vector<LPARAM> ownParams(static_cast<size_t>(count > 0 ? count : 0));
  // The items carry their index for the sort, and get their own data back afterwards.
  for (int item = 0; item < count; ++item) {
    context.texts.push_back(CellText(listView, item, column));
    ownParams[static_cast<size_t>(item)] = ItemParam(listView, item);
    SetItemParam(listView, item, item);
  }
  SendMessageA(listView, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(&CompareItems));
  for (int item = 0; item < count; ++item) {
    const LPARAM before = ItemParam(listView, item);
    if (before >= 0 && before < count) SetItemParam(listView, item, ownParams[static_cast<size_t>(before)]);
  }
}
