// The toolkit's rich-edit service: a small HTTP server on 127.89.64.254 that serves an editable
// page and hands the content the page posts back to the element whose id it names (element message
// kRichEditContent, on the GUI thread). See richedit_server.h for how it serves.
#pragma once

#include <cstdint>

// Called once by toolkit start-up on the GUI thread (which runs the message loop that deliveries
// arrive through). Later calls do nothing. Answers whether the service is listening.
bool StartRichEditService();

// The port the service listens on, for an element that shows the page at
// http://127.89.64.254:<port>/web/default; 0 when the service is not running.
uint16_t RichEditServicePort();
