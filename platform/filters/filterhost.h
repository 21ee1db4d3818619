/* The interface through which a filter module registers its filters.
 *
 * A filter module is a shared object exporting
 *     int32_t DllRegisterServer(void);
 *     int32_t DllUnregisterServer(void);
 * (0 or positive: success, negative: failure).  Its entry points call the
 * functions below, which the loading program provides (programs that load
 * modules are linked with their symbols exported).  Identifiers are given in
 * their braced text form; names and paths are UTF-8.  All functions return
 * the filter store's results (0 success, negative failure) and write the
 * store files at once.
 */
#ifndef TL_FILTERHOST_H
#define TL_FILTERHOST_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TlFilterType {
  const char* major;  /* media major type, NULL for any */
  const char* minor;  /* subtype, NULL for any */
} TlFilterType;

typedef struct TlFilterPin {
  uint32_t flags;     /* 1 zero, 2 rendered, 4 many, 8 output */
  uint32_t instances; /* 0 for any */
  uint32_t typeCount;
  const TlFilterType* types;
} TlFilterPin;

/* Class entry: name and module path (written as given, an environment
 * reference such as %VAR% included). */
int32_t tl_filter_register_server(const char* clsid, const char* name, const char* path);
int32_t tl_filter_unregister_server(const char* clsid);
/* A filter of the legacy filter category with its merit and pins. */
int32_t tl_filter_register(const char* clsid, const char* name, uint32_t merit,
                           uint32_t pinCount, const TlFilterPin* pins);
int32_t tl_filter_unregister(const char* clsid);
/* Changes between these two are kept in memory and saved at once by
 * tl_filter_batch_end (a module that registers hundreds of filters brackets
 * them with these).  A failing save there is the batch's result.  Reads in
 * between see the changes. */
int32_t tl_filter_batch_begin(void);
int32_t tl_filter_batch_end(void);
/* Version of this interface (2: with the batch functions). */
int32_t tl_filter_host_version(void);

#ifdef __cplusplus
}
#endif

#endif
