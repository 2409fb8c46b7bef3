#include "platform/RtkEngine.h"

#include "platform/Paths.h"

#include <dlfcn.h>

#include <mutex>

namespace platform {

namespace {

std::mutex g_mutex;
void* g_library = nullptr;  // kept open once loaded

RtkEngineFactory LoadFactory() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_library) {
        g_library = dlopen(RtkEngineLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!g_library) return nullptr;
    }
    return reinterpret_cast<RtkEngineFactory>(dlsym(g_library, kRtkEngineFactoryName));
}

}  // namespace

std::string RtkEngineLibraryPath() {
    std::string path = kRtkEnginePath;
    const std::string dll = ".dll";
    if (path.size() >= dll.size() && path.compare(path.size() - dll.size(), dll.size(), dll) == 0)
        path.replace(path.size() - dll.size(), dll.size(), ".so");
    return ResolveRootPath(path);
}

HRESULT CoInitializeEx(void*, uint32_t) { return kS_OK; }

void CoUninitialize() {}

HRESULT RtkEngine_RegisterServer() { return kS_OK; }

HRESULT CoCreateInstance(const Guid& classId, void* outer, uint32_t, const Guid& interfaceId, void** out) {
    if (!out) return kE_POINTER;
    *out = nullptr;
    if (outer) return kE_FAIL;  // no aggregation
    const RtkEngineFactory factory = LoadFactory();
    if (!factory) return kREGDB_E_CLASSNOTREG;
    const HRESULT hr = factory(&classId, &interfaceId, out);
    if (hr != kS_OK) *out = nullptr;
    return hr;
}

}  // namespace platform
