// The module interface of filterhost.h on the filter store.
#include "platform/filters/filterhost.h"

#include "platform/filters/filterstore.h"

using namespace tl::flt;

namespace {

bool guidArg(const char* text, Guid& out, bool nullIsAny = false) {
  if (!text) {
    out = GUID_NULL;
    return nullIsAny;
  }
  auto g = fromString(text);
  if (!g) return false;
  out = *g;
  return true;
}

// The store of a batch under way (see tl_filter_batch_begin), else null.
FilterStore* batchStore = nullptr;

// The store every call works on: the batch's, else one read afresh.
class StoreRef {
 public:
  FilterStore& operator*() { return batchStore ? *batchStore : own_; }
  FilterStore* operator->() { return &**this; }

 private:
  FilterStore own_;
};

}  // namespace

extern "C" int32_t tl_filter_batch_begin(void) {
  if (!batchStore) {
    batchStore = new FilterStore;
    batchStore->beginBatch();
  }
  return kOk;
}

extern "C" int32_t tl_filter_batch_end(void) {
  if (!batchStore) return kOk;
  HResult r = batchStore->commit();
  delete batchStore;
  batchStore = nullptr;
  return r;
}

extern "C" int32_t tl_filter_register_server(const char* clsid, const char* name, const char* path) {
  Guid id;
  if (!guidArg(clsid, id) || !path || !*path) return kInvalidArg;
  StoreRef store;
  return store->registerServer(id, name ? name : "", path);
}

extern "C" int32_t tl_filter_unregister_server(const char* clsid) {
  Guid id;
  if (!guidArg(clsid, id)) return kInvalidArg;
  StoreRef store;
  return store->unregisterServer(id);
}

extern "C" int32_t tl_filter_register(const char* clsid, const char* name, uint32_t merit,
                                      uint32_t pinCount, const TlFilterPin* pins) {
  Guid id;
  if (!guidArg(clsid, id) || !name || pinCount > kMaxPins || (pinCount && !pins))
    return kInvalidArg;
  RegFilter2 f;
  f.merit = merit;
  for (uint32_t i = 0; i < pinCount; ++i) {
    const TlFilterPin& p = pins[i];
    if (p.typeCount > kMaxTypes || (p.typeCount && !p.types)) return kInvalidArg;
    RegPin pin;
    pin.flags = p.flags;
    pin.instances = p.instances;
    for (uint32_t t = 0; t < p.typeCount; ++t) {
      MediaTypePair pair;
      if (!guidArg(p.types[t].major, pair.major, true) ||
          !guidArg(p.types[t].minor, pair.minor, true))
        return kInvalidArg;
      pin.types.push_back(pair);
    }
    f.pins.push_back(std::move(pin));
  }
  StoreRef store;
  return store->registerFilter(id, name, CLSID_LegacyAmFilterCategory, f);
}

extern "C" int32_t tl_filter_unregister(const char* clsid) {
  Guid id;
  if (!guidArg(clsid, id)) return kInvalidArg;
  StoreRef store;
  HResult r = store->unregisterFilter(CLSID_LegacyAmFilterCategory, id);
  return r == kNotFound ? kOk : r;
}

extern "C" int32_t tl_filter_host_version(void) { return 2; }
