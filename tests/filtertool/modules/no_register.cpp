// A module that can be unregistered but has no DllRegisterServer.
#include "fixture_module.h"

FX_EXPORT int32_t DllUnregisterServer(void) {
  const char id[] = "{5A1E0002-0000-4000-8000-00000000F003}";
  int32_t a = tl_filter_unregister(id);
  int32_t b = tl_filter_unregister_server(id);
  return a < 0 ? a : b;
}
