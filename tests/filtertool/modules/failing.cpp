// A module whose registration always fails (it registers nothing).
#include "fixture_module.h"

FX_EXPORT int32_t DllRegisterServer(void) { return kFxFail; }

FX_EXPORT int32_t DllUnregisterServer(void) {
  const char id[] = "{5A1E0003-0000-4000-8000-00000000F004}";
  int32_t a = tl_filter_unregister(id);
  int32_t b = tl_filter_unregister_server(id);
  return a < 0 ? a : b;
}
