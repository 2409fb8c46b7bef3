// The Bluetooth backend on Linux, over BlueZ's kernel interfaces: the HCI
// socket for the adapter state and the inquiry, SDP for the channel of the
// serial port service, and RFCOMM serial devices for bound ports.

#include "platform/Bluetooth.h"

#include "platform/ComPorts.h"
#include "platform/ErrorCodes.h"
#include "platform/Numbers.h"
#include "platform/Time.h"

#include <bluetooth/bluetooth.h>
#include <bluetooth/hci.h>
#include <bluetooth/hci_lib.h>
#include <bluetooth/rfcomm.h>
#include <bluetooth/sdp.h>
#include <bluetooth/sdp_lib.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The inquiry lasts 8 × 1.28 s, as long as the system's default search.
constexpr uint8_t kInquiryLength = 8;
// The controller ends the inquiry itself; this only guards against one that
// never reports the end.
constexpr uint32_t kInquiryGuardMs = kInquiryLength * 1280u + 5000u;
// A device that does not answer its name request within this time is
// reported without a name.
constexpr uint32_t kNameWaitMs = 10000;

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The first HCI adapter of the machine. ENODEV when there is none (also when
// the kernel has no Bluetooth at all), else 0 or the errno of the query.
int FirstAdapter(hci_dev_info* info) {
    Fd s(::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_HCI));
    if (s.get() < 0) return ENODEV;
    std::vector<uint8_t> buffer(sizeof(hci_dev_list_req) + HCI_MAX_DEV * sizeof(hci_dev_req));
    auto* list = reinterpret_cast<hci_dev_list_req*>(buffer.data());
    list->dev_num = HCI_MAX_DEV;
    if (::ioctl(s.get(), HCIGETDEVLIST, list) < 0 || list->dev_num == 0) return ENODEV;
    std::memset(info, 0, sizeof *info);
    info->dev_id = list->dev_req[0].dev_id;
    if (::ioctl(s.get(), HCIGETDEVINFO, info) < 0) return errno;
    return 0;
}

bool IsUp(hci_dev_info info) { return hci_test_bit(HCI_UP, &info.flags) != 0; }

uint64_t AddressValue(const bdaddr_t& a) {
    uint64_t v = 0;
    for (int i = 5; i >= 0; --i) v = (v << 8) | a.b[i];  // b[0] is the least significant byte
    return v;
}

bdaddr_t AddressBytes(uint64_t v) {
    bdaddr_t a{};
    for (int i = 0; i < 6; ++i) a.b[i] = uint8_t(v >> (8 * i));
    return a;
}

// UTF-8 (as devices send their names) to a wide string; bytes that do not
// form a character become U+FFFD.
std::wstring WideFromUtf8(const uint8_t* p, size_t n) {
    std::wstring out;
    size_t i = 0;
    while (i < n) {
        const uint8_t c = p[i];
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0) {
            out.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + size_t(k) >= n || (p[i + k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (!ok) {
            out.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(wchar_t(cp));
        i += size_t(extra) + 1;
    }
    return out;
}

// The name in extended inquiry response data: the complete name, else the
// shortened one; false when neither is there.
bool NameFromEir(const uint8_t* eir, size_t n, std::wstring* name) {
    bool found = false;
    size_t i = 0;
    while (i < n) {
        const size_t len = eir[i];
        if (len == 0 || i + 1 + len > n) break;
        const uint8_t type = eir[i + 1];
        if (type == 0x09 || (type == 0x08 && !found)) {
            *name = WideFromUtf8(eir + i + 2, len - 1);
            found = true;
            if (type == 0x09) break;
        }
        i += 1 + len;
    }
    return found;
}

size_t BoundedLength(const uint8_t* p, size_t max) {
    size_t n = 0;
    while (n < max && p[n] != 0) ++n;
    return n;
}

class BlueZInquiry : public BluetoothInquiry {
public:
    BlueZInquiry(int hci, int wake) : hci_(hci), wake_(wake) {}
    ~BlueZInquiry() override {
        // Leave the controller idle: an inquiry or a name request still
        // running for nobody would only hold the radio.
        if (inquiring_) hci_send_cmd(hci_.get(), OGF_LINK_CTL, OCF_INQUIRY_CANCEL, 0, nullptr);
    }

    uint32_t Next(BluetoothLookupResult* result) override {
        std::lock_guard<std::mutex> lock(nextMutex_);
        if (ended_) return wsaerr::kCancelled;
        if (inquiring_) {
            const uint32_t code = RunInquiry();
            if (code != 0) return code;
        }
        if (next_ >= found_.size()) return wsaerr::kNoMore;
        Found& f = found_[next_++];
        if (!f.hasName) {
            const uint32_t code = AskName(f);
            if (code != 0) return code;
        }
        if (result) {
            result->hasName = f.hasName;
            result->name = f.name;
            result->addresses = {BluetoothLookupResult::Address{AddressValue(f.address), 0}};
        }
        return 0;
    }

    void End() override {
        ended_ = true;
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_.get(), &one, sizeof one);
    }

private:
    struct Found {
        bdaddr_t address{};
        uint8_t pscanRepMode = 0;
        uint16_t clockOffset = 0;
        bool hasName = false;
        std::wstring name;
    };

    // One HCI event into buffer: 0, wsaerr::kCancelled when ended,
    // wsaerr::kTimedOut at the deadline (a tick count), or a failure code.
    uint32_t ReadEvent(uint8_t* buffer, size_t size, size_t* length, uint32_t deadline) {
        for (;;) {
            if (ended_) return wsaerr::kCancelled;
            const int32_t left = int32_t(deadline - TickCount());
            if (left <= 0) return wsaerr::kTimedOut;
            pollfd fds[2] = {{wake_.get(), POLLIN, 0}, {hci_.get(), POLLIN, 0}};
            const int r = ::poll(fds, 2, left);
            if (r < 0) {
                if (errno == EINTR) continue;
                return SocketErrorFromErrno(errno);
            }
            if (fds[0].revents) return wsaerr::kCancelled;
            if (!fds[1].revents) continue;
            const ssize_t n = ::read(hci_.get(), buffer, size);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                return SocketErrorFromErrno(errno);
            }
            if (n < 1 + HCI_EVENT_HDR_SIZE || buffer[0] != HCI_EVENT_PKT) continue;
            const size_t plen = std::min<size_t>(buffer[2], size_t(n) - 1 - HCI_EVENT_HDR_SIZE);
            *length = plen;
            return 0;
        }
    }

    void AddFound(const uint8_t* record, uint8_t repMode, uint16_t clock, const uint8_t* eir, size_t eirLength) {
        bdaddr_t a;
        std::memcpy(&a, record, sizeof a);
        for (const Found& f : found_)
            if (bacmp(&f.address, &a) == 0) return;
        if (found_.size() >= 255) return;
        Found f;
        f.address = a;
        f.pscanRepMode = repMode;
        f.clockOffset = clock;
        if (eir) f.hasName = NameFromEir(eir, eirLength, &f.name);
        found_.push_back(std::move(f));
    }

    uint32_t RunInquiry() {
        const uint16_t inquiryOpcode = cmd_opcode_pack(OGF_LINK_CTL, OCF_INQUIRY);
        const uint32_t deadline = TickCount() + kInquiryGuardMs;
        uint8_t buffer[HCI_MAX_EVENT_SIZE + 1];
        for (;;) {
            size_t plen = 0;
            const uint32_t code = ReadEvent(buffer, sizeof buffer, &plen, deadline);
            if (code == wsaerr::kTimedOut) break;
            if (code != 0) return code;
            const uint8_t event = buffer[1];
            const uint8_t* p = buffer + 1 + HCI_EVENT_HDR_SIZE;
            if (event == EVT_CMD_STATUS && plen >= EVT_CMD_STATUS_SIZE) {
                const uint16_t opcode = uint16_t(p[2] | (p[3] << 8));
                if (opcode == inquiryOpcode && p[0] != 0) {
                    inquiring_ = false;
                    return SocketErrorFromErrno(bt_error(p[0]));
                }
            } else if (event == EVT_INQUIRY_RESULT && plen >= 1) {
                for (size_t i = 0; i < p[0] && 1 + (i + 1) * INQUIRY_INFO_SIZE <= plen; ++i) {
                    const uint8_t* r = p + 1 + i * INQUIRY_INFO_SIZE;
                    AddFound(r, r[6], uint16_t(r[12] | (r[13] << 8)), nullptr, 0);
                }
            } else if (event == EVT_INQUIRY_RESULT_WITH_RSSI && plen >= 1) {
                for (size_t i = 0; i < p[0] && 1 + (i + 1) * INQUIRY_INFO_WITH_RSSI_SIZE <= plen; ++i) {
                    const uint8_t* r = p + 1 + i * INQUIRY_INFO_WITH_RSSI_SIZE;
                    AddFound(r, r[6], uint16_t(r[11] | (r[12] << 8)), nullptr, 0);
                }
            } else if (event == EVT_EXTENDED_INQUIRY_RESULT && plen >= 1 + 14) {
                const uint8_t* r = p + 1;
                AddFound(r, r[6], uint16_t(r[11] | (r[12] << 8)), r + 14, plen - 1 - 14);
            } else if (event == EVT_INQUIRY_COMPLETE) {
                break;
            }
        }
        if (inquiring_) {
            inquiring_ = false;
            hci_send_cmd(hci_.get(), OGF_LINK_CTL, OCF_INQUIRY_CANCEL, 0, nullptr);
        }
        return 0;
    }

    // Asks the device for its name. 0 (named or not), or kCancelled.
    uint32_t AskName(Found& f) {
        remote_name_req_cp cp{};
        cp.bdaddr = f.address;
        cp.pscan_rep_mode = f.pscanRepMode;
        cp.clock_offset = htobs(uint16_t(f.clockOffset | 0x8000));  // the offset is valid
        if (hci_send_cmd(hci_.get(), OGF_LINK_CTL, OCF_REMOTE_NAME_REQ, REMOTE_NAME_REQ_CP_SIZE, &cp) < 0) return 0;
        const uint16_t nameOpcode = cmd_opcode_pack(OGF_LINK_CTL, OCF_REMOTE_NAME_REQ);
        const uint32_t deadline = TickCount() + kNameWaitMs;
        uint8_t buffer[HCI_MAX_EVENT_SIZE + 1];
        for (;;) {
            size_t plen = 0;
            const uint32_t code = ReadEvent(buffer, sizeof buffer, &plen, deadline);
            if (code != 0) {
                hci_send_cmd(hci_.get(), OGF_LINK_CTL, OCF_REMOTE_NAME_REQ_CANCEL, sizeof(bdaddr_t), &f.address);
                return code == wsaerr::kCancelled ? code : 0;
            }
            const uint8_t event = buffer[1];
            const uint8_t* p = buffer + 1 + HCI_EVENT_HDR_SIZE;
            if (event == EVT_CMD_STATUS && plen >= EVT_CMD_STATUS_SIZE) {
                if (uint16_t(p[2] | (p[3] << 8)) == nameOpcode && p[0] != 0) return 0;
            } else if (event == EVT_REMOTE_NAME_REQ_COMPLETE && plen >= 1 + sizeof(bdaddr_t)) {
                if (std::memcmp(p + 1, &f.address, sizeof(bdaddr_t)) != 0) continue;
                if (p[0] == 0) {
                    const uint8_t* name = p + 1 + sizeof(bdaddr_t);
                    const size_t room = plen - 1 - sizeof(bdaddr_t);
                    f.name = WideFromUtf8(name, BoundedLength(name, std::min<size_t>(room, 248)));
                    f.hasName = true;
                }
                return 0;
            }
        }
    }

    Fd hci_;
    Fd wake_;
    std::atomic<bool> ended_{false};
    std::mutex nextMutex_;        // one Next at a time; guards what follows
    bool inquiring_ = true;
    std::vector<Found> found_;
    size_t next_ = 0;
};

// The UUID bytes in network order, as SDP carries them.
void UuidBytes(const BluetoothGuid& g, uint8_t out[16]) {
    out[0] = uint8_t(g.data1 >> 24);
    out[1] = uint8_t(g.data1 >> 16);
    out[2] = uint8_t(g.data1 >> 8);
    out[3] = uint8_t(g.data1);
    out[4] = uint8_t(g.data2 >> 8);
    out[5] = uint8_t(g.data2);
    out[6] = uint8_t(g.data3 >> 8);
    out[7] = uint8_t(g.data3);
    std::memcpy(out + 8, g.data4, 8);
}

void FreeProtos(void* list, void*) { sdp_list_free(static_cast<sdp_list_t*>(list), nullptr); }

// The RFCOMM channel on which the device offers the service.
uint32_t FindChannel(const bdaddr_t& device, const BluetoothGuid& service, uint8_t* channel) {
    bdaddr_t any{};
    sdp_session_t* session = sdp_connect(&any, &device, SDP_RETRY_IF_BUSY);
    if (!session) return BluetoothErrorFromErrno(errno);
    uint8_t raw[16];
    UuidBytes(service, raw);
    uuid_t uuid;
    sdp_uuid128_create(&uuid, raw);
    uint32_t range = 0x0000FFFF;
    sdp_list_t* search = sdp_list_append(nullptr, &uuid);
    sdp_list_t* attributes = sdp_list_append(nullptr, &range);
    sdp_list_t* records = nullptr;
    const int r = sdp_service_search_attr_req(session, search, SDP_ATTR_REQ_RANGE, attributes, &records);
    const int err = errno;
    int found = 0;
    for (sdp_list_t* it = records; it; it = it->next) {
        auto* record = static_cast<sdp_record_t*>(it->data);
        sdp_list_t* protos = nullptr;
        if (found == 0 && sdp_get_access_protos(record, &protos) == 0) {
            const int ch = sdp_get_proto_port(protos, RFCOMM_UUID);
            if (ch > 0 && ch <= 30) found = ch;
            sdp_list_foreach(protos, FreeProtos, nullptr);
            sdp_list_free(protos, nullptr);
        }
        sdp_record_free(record);
    }
    sdp_list_free(records, nullptr);
    sdp_list_free(search, nullptr);
    sdp_list_free(attributes, nullptr);
    sdp_close(session);
    if (r < 0) return BluetoothErrorFromErrno(err ? err : EIO);
    if (found == 0) return winerr::kNotSupported;  // the device offers no serial port
    *channel = uint8_t(found);
    return 0;
}

class BlueZBackend : public BluetoothBackend {
public:
    uint32_t GetRadioMode(int* mode) override {
        hci_dev_info info;
        const int err = FirstAdapter(&info);
        if (err == ENODEV) {
            if (mode) *mode = kRadioOff;  // no adapter: the radio is off
            return 0;
        }
        if (err != 0) return BluetoothErrorFromErrno(err);
        if (mode) {
            if (!IsUp(info))
                *mode = kRadioOff;
            else if (hci_test_bit(HCI_ISCAN, &info.flags))
                *mode = kRadioDiscoverable;
            else
                *mode = kRadioConnectable;
        }
        return 0;
    }

    uint32_t SetRadioMode(int mode) override {
        hci_dev_info info;
        const int err = FirstAdapter(&info);
        if (err != 0) return BluetoothErrorFromErrno(err);
        Fd s(::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_HCI));
        if (s.get() < 0) return BluetoothErrorFromErrno(errno);
        if (mode == kRadioOff) {
            if (::ioctl(s.get(), HCIDEVDOWN, int(info.dev_id)) < 0) return BluetoothErrorFromErrno(errno);
            return 0;
        }
        if (::ioctl(s.get(), HCIDEVUP, int(info.dev_id)) < 0 && errno != EALREADY)
            return BluetoothErrorFromErrno(errno);
        hci_dev_req request{};
        request.dev_id = info.dev_id;
        request.dev_opt = mode == kRadioDiscoverable ? (SCAN_PAGE | SCAN_INQUIRY) : SCAN_PAGE;
        if (::ioctl(s.get(), HCISETSCAN, &request) < 0) return BluetoothErrorFromErrno(errno);
        return 0;
    }

    uint32_t BeginInquiry(std::shared_ptr<BluetoothInquiry>* inquiry) override {
        if (!inquiry) return wsaerr::kFault;
        hci_dev_info info;
        const int err = FirstAdapter(&info);
        if (err == ENODEV || (err == 0 && !IsUp(info))) return SocketErrorFromErrno(ENETDOWN);
        if (err != 0) return SocketErrorFromErrno(err);
        Fd hci(hci_open_dev(info.dev_id));
        if (hci.get() < 0) return SocketErrorFromErrno(errno);
        hci_filter filter;
        hci_filter_clear(&filter);
        hci_filter_set_ptype(HCI_EVENT_PKT, &filter);
        for (int e : {EVT_CMD_STATUS, EVT_INQUIRY_RESULT, EVT_INQUIRY_RESULT_WITH_RSSI, EVT_EXTENDED_INQUIRY_RESULT,
                      EVT_INQUIRY_COMPLETE, EVT_REMOTE_NAME_REQ_COMPLETE})
            hci_filter_set_event(e, &filter);
        if (::setsockopt(hci.get(), SOL_HCI, HCI_FILTER, &filter, sizeof filter) < 0)
            return SocketErrorFromErrno(errno);
        ::fcntl(hci.get(), F_SETFL, ::fcntl(hci.get(), F_GETFL) | O_NONBLOCK);
        Fd wake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
        if (wake.get() < 0) return SocketErrorFromErrno(errno);
        inquiry_cp cp{};
        cp.lap[0] = 0x33;  // the general inquiry access code 0x9E8B33
        cp.lap[1] = 0x8B;
        cp.lap[2] = 0x9E;
        cp.length = kInquiryLength;
        cp.num_rsp = 0;    // no limit
        if (hci_send_cmd(hci.get(), OGF_LINK_CTL, OCF_INQUIRY, INQUIRY_CP_SIZE, &cp) < 0)
            return SocketErrorFromErrno(errno);
        *inquiry = std::make_shared<BlueZInquiry>(hci.release(), wake.release());
        return 0;
    }

    uint32_t RegisterSerialPort(unsigned index, const BluetoothSerialPortParams& params, uint64_t* handle) override {
        if (index < 1 || index > 255) return winerr::kInvalidIndex;
        if (!handle) return winerr::kInvalidParameter;
        const bdaddr_t device = AddressBytes(params.device);
        uint8_t channel = params.channel;
        if (channel == kBluetoothChannelFromService || channel == 0) {
            const uint32_t code = FindChannel(device, params.serviceClass, &channel);
            if (code != 0) return code;
        }
        Fd ctl(::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_RFCOMM));
        if (ctl.get() < 0) return BluetoothErrorFromErrno(errno);
        rfcomm_dev_req request{};
        request.dev_id = int16_t(index);
        request.flags = 0;  // the port stays until it is released, as a registered device does
        request.dst = device;
        request.channel = channel;
        if (::ioctl(ctl.get(), RFCOMMCREATEDEV, &request) < 0) return BluetoothErrorFromErrno(errno);
        RegisterComPort(int(index), "/dev/rfcomm" + FormatInt(int(index)));
        *handle = index;
        return 0;
    }

    uint32_t DeregisterSerialPort(uint64_t handle) override {
        if (handle < 1 || handle > 255) return winerr::kInvalidHandle;
        Fd ctl(::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_RFCOMM));
        if (ctl.get() < 0) return BluetoothErrorFromErrno(errno);
        rfcomm_dev_req request{};
        request.dev_id = int16_t(handle);
        request.flags = 1u << RFCOMM_HANGUP_NOW;
        const int r = ::ioctl(ctl.get(), RFCOMMRELEASEDEV, &request);
        const int err = errno;
        RegisterComPort(int(handle), "");
        return r < 0 ? BluetoothErrorFromErrno(err) : 0;
    }
};

}  // namespace

std::shared_ptr<BluetoothBackend> MakeBlueZBackend() { return std::make_shared<BlueZBackend>(); }

}  // namespace platform
