// The receiver object's getters and local setters: each reads (or stores) one
// value of the protocol object under the protocol lock and sends nothing.
// The getters are called on the owner's thread and from inside the data
// callback, which already holds the lock; the lock is recursive. Without a
// protocol object a getter returns what the protocol object answers for a
// receiver the value does not apply to, and leaves out-parameters untouched.

#include "device/EmGnss_Receiver_Ops.h"

#include <cstdint>

namespace Fjarnis2011 {
namespace FJDevice {

using FJParse::Em_Gnss;

// ---------------------------------------------------------------- modem

void EmGnss_Receiver::GetInfo_Gprs_Info(FJParse::WirelessInfo& info) {
    WithProtocol([&](Em_Gnss& g) { g.GetInfo_Gprs_Info(info); });
}

int EmGnss_Receiver::GetInfo_Gprs_Signal() {
    int value = -1;
    WithProtocol([&](Em_Gnss& g) { value = g.GetInfo_Gprs_Signa(); });
    return value;
}

FJParse::gprs_status EmGnss_Receiver::GetInfo_Gprs_Status() {
    FJParse::gprs_status value = FJParse::GPRS_STATUS_NONE;
    WithProtocol([&](Em_Gnss& g) { value = g.GetInfo_Gprs_Status(); });
    return value;
}

FJParse::gprs_ero EmGnss_Receiver::GetInfo_Gprs_Eroinfo() {
    FJParse::gprs_ero value = FJParse::GPRS_ERO_NONE;
    WithProtocol([&](Em_Gnss& g) { value = g.GetInfo_Gprs_Eroinfo(); });
    return value;
}

int EmGnss_Receiver::GetInfo_Gprs_CosMdl() {
    int value = -1;
    WithProtocol([&](Em_Gnss& g) { value = g.GetInfo_Gprs_CosMdl(); });
    return value;
}

double EmGnss_Receiver::GetInfo_Gprs_Version() {
    double value = -1.0;
    WithProtocol([&](Em_Gnss& g) { value = g.GetInfo_Gprs_Version(); });
    return value;
}

unsigned int EmGnss_Receiver::Get_Dial_Prtl() {
    unsigned int value = 0;
    WithProtocol([&](Em_Gnss& g) { value = g.Get_Dial_Prtl(); });
    return value;
}

void EmGnss_Receiver::Get_Cors_Info_Auto(FJParse::cors_info& login, int& mode) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Cors_Info_Auto(login, mode); });
}

// The program reads the source table from inside the data callback, where
// the lock is already held; taking it here too costs nothing there and keeps
// a caller on another thread from reading the table while a reply is parsed.
void EmGnss_Receiver::Get_Gprs_GetList(char* text, int* length) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gprs_GetList(text, length); });
}

// ---------------------------------------------------------------- base and rover settings

const FJParse::Base_Config* EmGnss_Receiver::Get_Gnss_BsCfg() {
    const FJParse::Base_Config* config = nullptr;
    WithProtocol([&](Em_Gnss& g) { config = g.Get_Gnss_BsCfg(); });
    return config;
}

const FJParse::Rover_Config* EmGnss_Receiver::Get_Gnss_RvCfg() {
    const FJParse::Rover_Config* config = nullptr;
    WithProtocol([&](Em_Gnss& g) { config = g.Get_Gnss_RvCfg(); });
    return config;
}

void EmGnss_Receiver::Set_Gnss_BsCfg(const FJParse::Base_Config& config) {
    WithProtocol([&](Em_Gnss& g) { g.Set_Gnss_BsCfg(config); });
}

void EmGnss_Receiver::Set_Gnss_RvCfg(const FJParse::Rover_Config& config) {
    WithProtocol([&](Em_Gnss& g) { g.Set_Gnss_RvCfg(config); });
}

// ---------------------------------------------------------------- raw data and records

void EmGnss_Receiver::Set_RcrdData(bool on, const char* name) {
    WithProtocol([&](Em_Gnss& g) { g.SetRcrdData(on, name); });
}

void EmGnss_Receiver::Get_Gprs_DiffInfo(unsigned char* data, int* length) {
    WithProtocol([&](Em_Gnss& g) { g.Get_Gprs_DiffInfo(data, length); });
}

void EmGnss_Receiver::Get_FirmWare_Db(unsigned long key, FJParse::FIRMWARE_DEBUG& record) {
    // Records are kept under 32-bit keys: a larger key names none, and must
    // not be cut down to one that does.
    if (key > UINT32_MAX) return;
    WithProtocol([&](Em_Gnss& g) { g.Get_FirmWare_Db(uint32_t(key), record); });
}

}  // namespace FJDevice
}  // namespace Fjarnis2011
