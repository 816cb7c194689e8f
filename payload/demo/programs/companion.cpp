// A companion program of the demo package: records that it was started, then ends.
#include <windows.h>

#include "demo_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LogDemoStart(VM_DEMO_NAME);
  return 0;
}
