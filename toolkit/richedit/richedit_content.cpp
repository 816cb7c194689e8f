#include "toolkit/richedit/richedit_content.h"

#include <zlib.h>

#include <string>

#include "common/byte_array.h"

VM_DECLARE_BYTE_ARRAY(vm_richedit_editor_page);
VM_DECLARE_BYTE_ARRAY(vm_richedit_client_script);
VM_DECLARE_BYTE_ARRAY(vm_richedit_jquery_gzip);

namespace {

// Inflates a gzip stream whole; zlib checks the trailer's CRC-32 and length. Empty on any error
// (the stream is built into the program, so that would be a build fault).
std::string Gunzipped(std::span<const uint8_t> packed) {
  z_stream stream{};
  if (inflateInit2(&stream, 15 + 16) != Z_OK) return {};  // 15-bit window, gzip header
  std::string out;
  stream.next_in = const_cast<Bytef*>(packed.data());
  stream.avail_in = static_cast<uInt>(packed.size());
  int status = Z_OK;
  while (status == Z_OK) {  // a truncated stream ends with Z_BUF_ERROR
    const size_t done = out.size();
    out.resize(done + 64 * 1024);
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
    stream.avail_out = static_cast<uInt>(out.size() - done);
    status = inflate(&stream, Z_NO_FLUSH);
    out.resize(out.size() - stream.avail_out);
  }
  inflateEnd(&stream);
  return status == Z_STREAM_END ? out : std::string();
}

}  // namespace

std::string_view EditorPage() { return TextOf(vm_richedit_editor_page); }
std::string_view RichEditClientScript() { return TextOf(vm_richedit_client_script); }

std::string_view MinifiedJQuery() {
  // Inflated on the first request, once; the service threads and the window thread may both ask
  // (the local static's initialisation is guarded).
  static const std::string jquery = Gunzipped(BytesOf(vm_richedit_jquery_gzip));
  return jquery;
}
