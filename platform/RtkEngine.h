#pragma once

// The outside RTK positioning engine of the maker's own board: on the
// original it is an in-process COM server ("VirtRcv") found through the
// registry. Here it is a shared library beside the program that exports one
// factory, RtkEngine_CreateInstance, taking the class and interface ids.
// Registration and COM initialisation have no counterpart and always succeed;
// creation fails (REGDB_E_CLASSNOTREG) when no engine library is present.
//
// The interfaces below are laid out slot by slot as the engine and its report
// sink expect them (slots 0 to 2 those of IUnknown). Slots no caller uses are
// kept as reserved entries so that every later slot keeps its number.

#include "platform/Export.h"

#include <cstdint>
#include <string>

namespace platform {

using HRESULT = int32_t;
inline constexpr HRESULT kS_OK = 0;
inline constexpr HRESULT kE_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT kE_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT kE_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT kCLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT kREGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr uint32_t kCOINIT_MULTITHREADED = 0;
inline constexpr uint32_t kCLSCTX_INPROC_SERVER = 1;

struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
static_assert(sizeof(Guid) == 16);

inline bool operator==(const Guid& a, const Guid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i]) return false;
    return true;
}

// {00000000-0000-0000-C000-000000000046}
inline constexpr Guid kIID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

class IUnknownLike {
public:
    virtual HRESULT QueryInterface(const Guid& iid, void** out) = 0;  // 0
    virtual uint32_t AddRef() = 0;                                    // 1
    virtual uint32_t Release() = 0;                                   // 2

protected:
    ~IUnknownLike() = default;  // objects die through Release
};

// The report sink the engine calls back. Slot 9 carries a position solution.
class IReport : public IUnknownLike {
public:
    virtual HRESULT Report3(const void* a) = 0;                      // 3
    virtual HRESULT Report4(const void* a) = 0;                      // 4
    virtual HRESULT Report5(const void* a) = 0;                      // 5
    virtual HRESULT Report6(const void* a, const void* b) = 0;       // 6
    virtual HRESULT Report7(const void* a) = 0;                      // 7
    virtual HRESULT Report8(const void* a, const void* b) = 0;       // 8
    virtual HRESULT ReportSolution(const void* a, const void* solution) = 0;  // 9
    virtual HRESULT Report10(const void* a) = 0;                     // 10
    virtual HRESULT Report11(const void* a) = 0;                     // 11

protected:
    ~IReport() = default;
};

// The engine's own interface, as far as the board uses it.
class IRtkEngine : public IUnknownLike {
public:
    virtual HRESULT PutObservations(const void* record, int32_t* work) = 0;   // 3
    virtual HRESULT PutLog913(const void* record, int32_t* work) = 0;         // 4
    virtual HRESULT AddStation(const void* record, int32_t* work) = 0;        // 5
    virtual HRESULT SetOptions(const void* record, int32_t* work) = 0;        // 6
    virtual HRESULT SetReport(IReport* report, int32_t* work) = 0;            // 7
    virtual HRESULT Stop(int32_t arg) = 0;                                    // 8
    virtual HRESULT PutEphemeris(const void* record, int32_t* work) = 0;      // 9
    virtual HRESULT Reserved10() = 0;                                         // 10
    virtual HRESULT Restart(int32_t a, int32_t b) = 0;                        // 11
    virtual HRESULT Start() = 0;                                              // 12
    virtual HRESULT Reserved13() = 0;                                         // 13
    virtual HRESULT Reserved14() = 0;                                         // 14
    virtual HRESULT Reserved15() = 0;                                         // 15
    virtual HRESULT Reserved16() = 0;                                         // 16
    virtual HRESULT Reserved17() = 0;                                         // 17
    virtual HRESULT Reserved18() = 0;                                         // 18
    virtual HRESULT Reserved19() = 0;                                         // 19
    virtual HRESULT GetInfo(uint8_t* buffer, int32_t size, int32_t* count) = 0;  // 20

protected:
    ~IRtkEngine() = default;
};

// The factory every engine library exports (C linkage, default visibility).
using RtkEngineFactory = HRESULT (*)(const Guid* classId, const Guid* interfaceId, void** out);
inline constexpr const char* kRtkEngineFactoryName = "RtkEngine_CreateInstance";

// Where the original keeps the engine server; resolved in the program folder
// with this platform's library suffix (".so" for ".dll").
inline constexpr const char* kRtkEnginePath = "\\Program Files\\FjTest\\VirtRcv.dll";
PLATFORM_API std::string RtkEngineLibraryPath();

// Stand-ins for the COM runtime calls the board makes. Initialising and
// registering have nothing to do here and return S_OK.
PLATFORM_API HRESULT CoInitializeEx(void* reserved, uint32_t flags);
PLATFORM_API void CoUninitialize();
PLATFORM_API HRESULT RtkEngine_RegisterServer();
// Opens the engine library at RtkEngineLibraryPath() as it resolves now (a
// library stays loaded for the life of the process once opened, so that no
// engine object outlives its code; a path opened before is not opened again)
// and calls its factory. With no library file at that path, or one without
// the factory, *out is null and the result is REGDB_E_CLASSNOTREG; null
// arguments give E_POINTER.
PLATFORM_API HRESULT CoCreateInstance(const Guid& classId, void* outer, uint32_t context, const Guid& interfaceId,
                                      void** out);

}  // namespace platform
