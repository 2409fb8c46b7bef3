#pragma once

// Records and codes of the receiver's internal GSM/GPRS modem as they cross
// the protocol library's boundary: the program fills `SvcInfo` and parts of
// `WirelessInfo` from its forms, the protocol object hands `WirelessInfo`
// back from the modem's parameter reply. Layouts are fixed and checked below.

#include "protocol/Em_Types.h"

#include <cstddef>
#include <cstdint>

namespace Fjarnis2011 {
namespace FJParse {

// Network protocol of the modem link.
enum Protocol_Net : int32_t {
    PROTOCOL_NET_ZELT = 0,           // the maker's relay protocol
    PROTOCOL_NET_NTRIP_CLIENT = 1,
    PROTOCOL_NET_ZELT_ONE_TO_MULTI = 2,  // not offered on the modem link
    PROTOCOL_NET_TCP_DIRECT = 3,
};

// Work mode of the modem link; sent as it is.
enum Gprs_Modle : int32_t {
    GPRS_MODLE_BASE = 0,
    GPRS_MODLE_ROVER = 1,
};

// Modem state code as the modem reports it; -1 when none has come.
enum gprs_status : int32_t {
    GPRS_STATUS_NONE = -1,
    GPRS_STATUS_CASTER_CONNECTED = 3,  // the source list may be requested
    GPRS_STATUS_RADIO_MODE = 9,        // the receiver's data link is in radio mode
};

// Modem error code as the modem reports it (-1, 1 to 8; anything else means
// no error).
enum gprs_ero : int32_t {
    GPRS_ERO_NONE = -1,
};

#pragma pack(push, 1)

// Modem service texts, each zero-terminated within its field: user name,
// password, APN, dial number.
struct SvcInfo {
    char userName[55];
    char password[55];
    char apn[55];
    char dialNumber[55];
};
static_assert(sizeof(SvcInfo) == 220);
static_assert(offsetof(SvcInfo, apn) == 110 && offsetof(SvcInfo, dialNumber) == 165);

// Link-option bits of `WirelessInfo::linkOptions`.
constexpr uint32_t kLinkAutoNtripLogin = 0x00010000;   // automatic NTRIP login offered
constexpr uint32_t kLinkSourceTable = 0x00020000;      // the modem fetches a source table
constexpr uint32_t kLinkAddressAsText = 0x00800000;    // the server address is held as text
// Protocol-offer bits of `WirelessInfo::protocolOffers`, by `Protocol_Net`.
constexpr uint32_t kOfferZelt = 0x00010000;
constexpr uint32_t kOfferNtripClient = 0x00020000;
constexpr uint32_t kOfferTcpDirect = 0x00040000;

// The internal modem's settings as the protocol object hands them out. The
// texts are zero-terminated within their fields.
struct WirelessInfo {
    IP_ADRES address;       // server address (bytes, or the text when held as text)
    uint32_t port;
    uint32_t protocol;      // Protocol_Net
    uint32_t workMode;      // Gprs_Modle
    char baseId[20];
    char userName[55];
    char password[55];
    char apn[55];
    char dialNumber[55];
    uint32_t linkOptions;     // kLink... bits
    uint32_t protocolOffers;  // kOffer... bits; 0 when no offer is stated
};
static_assert(sizeof(WirelessInfo) == 300);
static_assert(offsetof(WirelessInfo, port) == 40 && offsetof(WirelessInfo, workMode) == 48);
static_assert(offsetof(WirelessInfo, baseId) == 52 && offsetof(WirelessInfo, userName) == 72);
static_assert(offsetof(WirelessInfo, password) == 127 && offsetof(WirelessInfo, apn) == 182);
static_assert(offsetof(WirelessInfo, dialNumber) == 237 && offsetof(WirelessInfo, linkOptions) == 292);
static_assert(offsetof(WirelessInfo, protocolOffers) == 296);

#pragma pack(pop)

}  // namespace FJParse
}  // namespace Fjarnis2011
