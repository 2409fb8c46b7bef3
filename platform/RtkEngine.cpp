#include "platform/RtkEngine.h"

#include "platform/Paths.h"

#include <dlfcn.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>

namespace platform {

namespace {

// Every engine library opened so far, by the path it was opened from. None
// is ever closed: an engine object may outlive its creator, and its code must
// outlive it. The path is worked out again at each creation, so a program
// folder set later (or changed, as tests do) is looked in, not the first one.
std::mutex g_mutex;
std::map<std::string, void*> g_libraries;

RtkEngineFactory LoadFactory() {
    const std::string path = RtkEngineLibraryPath();
    // No file, no engine: a library opened from this path before and since
    // removed is not registered any more.
    if (::access(path.c_str(), F_OK) != 0) return nullptr;
    std::lock_guard<std::mutex> lock(g_mutex);
    void*& library = g_libraries[path];
    if (!library) library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        g_libraries.erase(path);
        return nullptr;
    }
    return reinterpret_cast<RtkEngineFactory>(dlsym(library, kRtkEngineFactoryName));
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
