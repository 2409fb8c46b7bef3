#pragma once

// The protocol object: the one object through which the receiver device
// object talks to a receiver. It owns the receive buffer and one frame format,
// chosen from the manufacturer and the main-board type; it takes the bytes
// read from the port, cuts and decodes frames on request, calls the data
// callback once per decoded frame that changed data, copies every received
// byte to the raw record file when asked, and hands out records and command
// records. It starts no thread; the only lock it takes of its own is the
// record file's (besides the receive buffer's).

#include "protocol/Em_Types.h"
#include "protocol/FJParseExport.h"
#include "protocol/boards/Em_BoardTypes.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Fjarnis2011 {
namespace FJParse {

class Em_IFormat;
class RingBuffer;

class FJPARSE_API Em_Gnss {
public:
    // Builds the format for a manufacturer: (m, newProtocol, the receive buffer).
    using FormatFactory =
        std::function<std::unique_ptr<Em_IFormat>(GNSS_MANUFACTURER, bool, RingBuffer&)>;

    // Manufacturer 1: the format of other makers' receivers; 2 with board type
    // 0: the maker's new-protocol format; 2 with any other type, and any other
    // manufacturer: the maker's old-protocol format. The format then creates
    // its main board for t. No callbacks, no context, recording off.
    explicit Em_Gnss(GNSS_MANUFACTURER m = GNSS_MNFCTR_ORVEL, MAINBD_OEM_TYPE t = MAINBD_NOVATEL_OEM);
    // The same with the formats made by `factory` (CreateFormat when empty).
    FJPARSE_LOCAL Em_Gnss(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t, FormatFactory factory);
    // Closes the record file when this object recorded; destroys the format
    // (with its main board), then the receive buffer.
    ~Em_Gnss();
    Em_Gnss(const Em_Gnss&) = delete;
    Em_Gnss& operator=(const Em_Gnss&) = delete;

    // Replaces the format for manufacturer m (1: other makers; any other:
    // the maker's old protocol). The link kind is carried over, the receive
    // buffer starts empty, and there is no main board until Reset_GnsMd.
    void Reset_Mnfctr(GNSS_MANUFACTURER m);
    // The format replaces its main board; false when it cannot serve t.
    bool Reset_GnsMd(MAINBD_OEM_TYPE t);
    // The format's maker code (1 or 2); 0 without a format.
    GNSS_MANUFACTURER Get_Mnfctr() const;
    // The main board's type; 0 without a main board. The two are one.
    MAINBD_OEM_TYPE Get_GnsMd() const;
    MAINBD_OEM_TYPE GetMainBdType() const;
    // The gates of the exports: the maker's receiver; its new protocol (no
    // main board, or board type 0); its old protocol (a board of another type).
    bool IsOrvelManufacturer() const;
    bool IsOrvelNewProtocolReceiver() const;
    bool IsOrvelOldProtocolReceiver() const;

    // Reading thread: appends the bytes to the receive buffer (under its
    // lock) and, while recording, to the record file. Nothing for null data,
    // no bytes or no format.
    void RcvData(const unsigned char* data, unsigned int n);
    // Processing thread: asks the format for one frame after another and calls
    // the data callback (class, change bits, context) for each frame whose
    // change bits are not 0; returns when no further frame can be cut.
    void ParseData();
    // Calls the OEM-changed callback, when one is registered.
    void IsOemChanged(bool changed);
    // Copies both callbacks of the table (none when there is no table); the
    // context is replaced only by a non-null one.
    void Reg_Callbacks(const _CALLBACKS_RECEIVER* callbacks, const void* context);
    // Drops every buffered byte.
    void Data_Clear();
    // The message class and change bits of the last consumed frame.
    void Get_RevMsg(Msg_Type* kind, uint32_t* bits) const;
    // The link kind (1 serial COM, 2 Bluetooth; 1 at first).
    void Set_Com_Status(Com_Status s);
    Com_Status Get_Com_Status() const;

    // Base and rover settings held by the main board's command builder; null
    // (or nothing) without one. Set_Gnss_BsCfg also keeps bytes 18-21 of the
    // record in the format.
    const Base_Config* Get_Gnss_BsCfg() const;
    void Set_Gnss_BsCfg(const Base_Config& config);
    const Rover_Config* Get_Gnss_RvCfg() const;
    void Set_Gnss_RvCfg(const Rover_Config& config);

    // Appends the records that carry correction bytes to the receiver.
    void Send_DiffDataToGnss(std::vector<_STR_CMD>& out, const unsigned char* data, unsigned int n);

    // on: opens the raw record file (one per process; `name`, or the local
    // date and time "%d%d%d%2d%d%d.bin" when null) unless one is open, and
    // records from now on. off: closes the process's record file.
    void SetRcrdData(bool on, const char* name);

    // The format in use (null without one).
    FJPARSE_LOCAL Em_IFormat* Format() const { return format_.load(std::memory_order_acquire); }

private:
    void ReplaceFormat(std::unique_ptr<Em_IFormat> format);

    std::atomic<bool> recordOn_{false};
    // Owned. Replaced only under the device object's protocol lock; the
    // reading thread only tests it for null.
    std::atomic<Em_IFormat*> format_{nullptr};
    Em_DataCallback dataCallback_ = nullptr;
    Em_OemCallback oemCallback_ = nullptr;
    const void* callbackContext_ = nullptr;
    // The link kind, kept here too so that it survives a manufacturer change
    // even when no format could be made.
    Com_Status comStatus_ = COM_STATUS_SERIAL;
    FormatFactory factory_;
    // Lives as long as this object: the reading thread appends to it while
    // the formats over it come and go.
    std::unique_ptr<RingBuffer> ring_;
};

}  // namespace FJParse
}  // namespace Fjarnis2011
