#include "toolkit/richedit/richedit_service.h"

#include "toolkit/richedit/richedit_server.h"

namespace {

// Both touched only on the GUI thread.
bool serviceStartTried = false;
RichEditServer* service = nullptr;  // lives for the rest of the process once started

}  // namespace

bool StartRichEditService() {
  if (!serviceStartTried) {
    serviceStartTried = true;
    service = RichEditServer::Start();
  }
  return service != nullptr;
}

uint16_t RichEditServicePort() { return service != nullptr ? service->Port() : 0; }
