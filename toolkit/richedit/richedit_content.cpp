#include "toolkit/richedit/richedit_content.h"

#include "common/byte_array.h"

VM_DECLARE_BYTE_ARRAY(vm_richedit_editor_page);
VM_DECLARE_BYTE_ARRAY(vm_richedit_client_script);
VM_DECLARE_BYTE_ARRAY(vm_richedit_jquery);

std::string_view EditorPage() { return TextOf(vm_richedit_editor_page); }
std::string_view RichEditClientScript() { return TextOf(vm_richedit_client_script); }
std::string_view MinifiedJQuery() { return TextOf(vm_richedit_jquery); }
