#pragma once

#include "program/DeviceManagerSupport.h"

#include "device/EmGnss_Receiver.h"
#include "protocol/Em_ModemTypes.h"
#include "protocol/Em_SolutionTypes.h"
#include "protocol/Em_Types.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class DeviceObserver;

// The program's single point of access to the receiver. It owns the one
// receiver object, opens and closes the connection (with an automatic baud
// search), follows the connection state, copies every value the receiver
// reports into its cache and announces each report through DeviceObserver.
// Pages call its requests and read the cache in the slot of the signal that
// announced the value. What a set operation sends goes into the cache too, as
// the receiver's next report of it would bring it: a page shown again shows
// what the receiver was last told or last reported, whichever came later,
// never the values of an earlier read that a write has since replaced.
//
// Connection states: 0 closed, 1 opening the port, 2 port open (waiting for
// the device information), 3 initialising (waiting for the modem version),
// 4 initialised, 5 closing.
//
// Threads: everything runs on the GUI thread except the two receiver
// callbacks, which run on the receiver's processing and writing threads. The
// cache is guarded by one leaf lock, never held while calling the receiver or
// emitting; accessors hand out copies. The observer must outlive the manager.
class DeviceManager : public QObject {
    Q_OBJECT
public:
    using DEVICE_STR = Fjarnis2011::FJParse::DEVICE_STR;
    using WirelessInfo = Fjarnis2011::FJParse::WirelessInfo;
    using cors_info = Fjarnis2011::FJParse::cors_info;
    using IP_ADRES = Fjarnis2011::FJParse::IP_ADRES;
    using SvcInfo = Fjarnis2011::FJParse::SvcInfo;
    using Protocol_Net = Fjarnis2011::FJParse::Protocol_Net;
    using gprs_status = Fjarnis2011::FJParse::gprs_status;
    using gprs_ero = Fjarnis2011::FJParse::gprs_ero;
    using Com_Baudrate = Fjarnis2011::FJDevice::EmGnss_Receiver::Com_Baudrate;

    // The wait for the device information of one automatic attempt, and
    // for the first reply of a receiver switched over to the new protocol.
    static constexpr int kRetryTimeoutMs = 1500;

    // Created on first use, on the GUI thread.
    static DeviceManager* instance();
    // The current manager without creating one (null when there is none).
    static DeviceManager* existing();
    // Closes the connection (the device threads end) before the receiver
    // object goes; announces nothing.
    ~DeviceManager() override;

    // --- connection ---
    void setManufacturer(int code);
    int manufacturer() const { return manufacturer_.load(); }
    // The candidate bauds, in the Connect page's list order.
    void setAutoConnect(bool on, const QList<int>& bauds);
    void setDeviceType(int type);
    int deviceType() const { return deviceType_.load(); }
    // portType 0 serial, 1 Bluetooth serial. False in a state other than 0
    // or when the port cannot be opened (outside automatic mode).
    bool connectDevice(int portType, uint8_t port, int baud);
    bool disconnectDevice();
    int connectionState() const { return state_.load(); }
    int baudRate() const { return baud_.load(); }
    // The code announced last (24 before any).
    int pendingEvent() const { return pendingEvent_.load(); }
    void capabilityMask(unsigned& mask) const;
    bool versionFlag() const { return versionFlag_.load(); }
    bool isOldVersion() const { return !versionFlag_.load(); }
    // The main-board type of the last device information.
    int boardType() const { return boardType_.load(); }
    // True when the connection was completed on the maker's new protocol
    // (until the next connection attempt). Such a receiver is reached only
    // through the requests that have a new-protocol form.
    bool newProtocol() const { return newProtocol_.load(); }
    // The receiver object itself, for board work that has no request here
    // (the rover start); null while there is none. GUI thread.
    Fjarnis2011::FJDevice::EmGnss_Receiver* receiverObject() const { return receiver_.get(); }

    // The receiver callbacks (context is not used; the receiver passes none).
    static void onReceiverEvent(int messageClass, unsigned changeBits, const void* context);
    static void onOemTypeResult(bool changed, const void* context);

    // --- requests: each forwards to the receiver object and returns at once ---
    // The device information, the modem version and the battery. A receiver
    // on the new protocol can give only the battery again; the other two are
    // announced from the cache.
    void sendInfoRequests();
    void sendDeviceInfo();
    void sendBattery();
    // The receiver resets its GNSS board; nothing comes back.
    void sendGnssReset();
    void sendGprsInfo();
    void sendGprsStatus();
    void sendGprsEroinfo();
    // Starts a new source-table fetch: the gathered text is cleared first.
    void sendGprsGetList();
    void send200Data(bool on);
    void setPassThrough(bool on);
    void powerOffReceiver();
    void setRecording(uint8_t recordType, uint8_t recordTime, uint8_t recordFrequency, unsigned mask);
    void setGprsSvcInfo(SvcInfo info);
    // `hostName`, when given, is the server's host name whole: a receiver on
    // the new protocol holds up to 50 bytes of it, more than the address
    // record's text carries. Empty: the record's text is the host.
    void setGprsIp(IP_ADRES address, unsigned port, Protocol_Net protocol, std::string_view hostName = {});
    void setComBaudrate(Com_Baudrate rate);
    // RTK work (DeviceManagerRtk.cpp): the elevation mask, the output mode,
    // the start type, the automatic base distance (only for start type 1 on
    // a receiver whose firmware has it: the version flag), the transmit port
    // and format, then the receiver's and the board's position rate.
    void setRtkParams(unsigned output, int startType, uint16_t autoBaseDistance, unsigned transmitPort,
                      unsigned transmitFormat, unsigned elevationMask, Fjarnis2011::FJParse::GNSS_FRQ rate);
    // The receiver's NMEA output: the sentences of the list with their rates,
    // `flag`, on the output port `value`.
    void setOrvelNmea(std::vector<Fjarnis2011::FJParse::_set_nmea>& list, bool flag, int value);
    // What the receiver connected now was last told of its NMEA output (it
    // never reports it): the sentences with their rates and the output
    // port. False, with both left alone, before the first setOrvelNmea.
    bool nmeaOutput(std::vector<Fjarnis2011::FJParse::_set_nmea>& list, int& value) const;
    // The receiver port's baud choice last set on the receiver connected
    // now; -1 before the first setComBaudrate.
    int comBaudrate() const;
    void onRtkPageShown() {}
    void onGprsStatus() {}

    // --- cache accessors: copies of the last reported values ---
    DEVICE_STR deviceInfo() const;
    int batteryGrade() const;
    double gprsVersion() const;
    // Whether the connected receiver reported its modem version (a receiver
    // on the new protocol does not).
    bool hasGprsVersion() const;
    void gprsInfo(WirelessInfo& out) const;
    // The host name a receiver on the new protocol holds for its server,
    // whole (up to its 50-byte field; the modem record's address text keeps
    // only its first 32 bytes): as last reported or last set. Empty when it
    // holds its server by the four numbers.
    std::string netLinkHost() const;
    void corsInfo(cors_info& out) const;
    int gprsCosMdl() const;
    gprs_status gprsStatus() const;
    gprs_ero gprsEroinfo() const;
    // The mount points of the gathered source table. Taking them consumes the
    // text: a second call gives none until the next sendGprsGetList.
    QStringList sourceTableNames();
    // The gathered source table passed the program's limit before its end:
    // the names are those of its first part only.
    bool sourceTableCut() const;

    // --- choice lists by the board type of the last device information ---
    void outputRates(QStringList& names, QList<int>& codes) const;
    void nmeaMessages(QStringList& names, QList<uint32_t>& masks) const;
    static void parseSourceTable(QString& text, QStringList& names);

    // --- static recording and the internal radio (DeviceManagerRadioStatic.cpp) ---
    using Static_Point = Fjarnis2011::FJParse::Static_Point;
    using Radio_Info = Fjarnis2011::FJParse::Radio_Info;
    using Radio_Range = Fjarnis2011::FJParse::Radio_Range;
    using Radio_Callsign = Fjarnis2011::FJParse::Radio_Callsign;
    using Rdo_Mdl = Fjarnis2011::FJParse::Rdo_Mdl;
    using Radio_Power = Fjarnis2011::FJParse::Radio_Power;
    using Radio_Baudrate = Fjarnis2011::FJParse::Radio_Baudrate;
    using Rdo_Sensitv = Fjarnis2011::FJParse::Rdo_Sensitv;
    using Channel_Space = Fjarnis2011::FJParse::Channel_Space;

    void sendStaticPoint();
    // The four record settings, then the point (nothing for a null point).
    void setRecordingAndPoint(uint8_t recordType, uint8_t recordTime, uint8_t recordFrequency, unsigned mask,
                              Static_Point* point);
    void beginStatic();
    void endStatic();
    void setRadioMdl(Rdo_Mdl mode);
    // The protocol, then each setting the radio offers (the offer bits of the
    // last reported radio information), in a fixed order.
    void setRadioParams(Rdo_Mdl mode, double frequency, Radio_Power power, Radio_Baudrate baud,
                        Rdo_Sensitv sensitivity, Channel_Space spacing, bool fec, Radio_Callsign callsign);
    // The receiver object's result: 0 before the device information, 1
    // before the module version, 2 when asked, -1 when the radio has no
    // such query (or there is no receiver object).
    int sendRadioFrq();
    void sendRadioPower();
    void sendRadioBaudrate();
    void sendRadioSensitivity();
    void sendRadioChannelSpace();
    void sendRadioCallsign();
    void sendRadioFec();

    Static_Point staticPoint() const;
    void radioInfo(Radio_Info& out) const;
    // The band (MHz) and the channel step in MHz.
    void radioRange(double& lower, double& upper, double& step) const;
    double radioFrq() const;
    void transmitMdl(Rdo_Mdl& out) const;
    void radioPower(Radio_Power& out) const;
    void radioBaudrate(Radio_Baudrate& out) const;
    void radioSensitivity(Rdo_Sensitv& out) const;
    void radioChannelSpace(Channel_Space& out) const;
    bool radioFec() const;
    Radio_Callsign radioCallsign() const;
    // The elevation mask (degrees) the GNSS board last reported.
    unsigned elevationMask() const;

    // --- the network link (DeviceManagerNet.cpp) ---
    using Gprs_Modle = Fjarnis2011::FJParse::Gprs_Modle;
    // The parts of a new-protocol receiver's network link, each an item (or
    // two) of its own that the receiver may leave unanswered: an older
    // firmware does not know the server type, and a reply may be lost.
    enum NetLinkPart : unsigned {
        NetLinkAddress = 1,     // the server (address, port, host name)
        NetLinkServerType = 2,  // the protocol, which also tells the work mode
        NetLinkLoginMode = 4,   // the link's auto-open
        NetLinkLogin = 8,       // the mount point and the account
        NetLinkAll = 15,
    };
    // The modem's parameters, the login mode and the NTRIP login. On the new
    // protocol it begins a new read of the link: no part counts as reported
    // until its answer comes.
    void sendNetRequests();
    // The parts of the new protocol's network link the receiver reported
    // since the last sendNetRequests (NetLinkPart bits). A part not reported
    // keeps no value of its own in the cache: what gprsInfo, gprsCosMdl or
    // corsInfo give for it is a default, not the receiver's.
    unsigned netLinkReported() const;
    // The radio protocol 0 (the link is the modem's), the work mode, the
    // server, the base id (at most its 20-byte field of `info`), the login
    // mode and the NTRIP login, in this order. `hostName` as for setGprsIp.
    // Only the parts in `parts` (NetLinkPart bits) are written, so that a
    // part the receiver did not report and the user did not give is left as
    // the receiver holds it; the old protocol's modem takes its server,
    // protocol and work mode in one request, which is always written.
    void setGprsParams(Gprs_Modle mode, unsigned baseIdLength, WirelessInfo info, unsigned loginMode,
                       cors_info cors, std::string_view hostName = {}, unsigned parts = NetLinkAll);

public slots:
    void onTryToConnectTimeOut();

private:
    DeviceManager();

    struct Cache {
        DEVICE_STR deviceInfo{};
        int batteryGrade = 0;
        WirelessInfo wireless{};
        // A new-protocol receiver's server host name, whole (see netLinkHost).
        std::string netLinkHost;
        double gprsVersion = 0.0;
        // True once the connected receiver reported its modem version.
        bool gprsVersionKnown = false;
        gprs_status status{};
        gprs_ero error{};
        int loginMode = 0;
        cors_info cors{};
        int corsAuto = 0;
        // NetLinkPart bits reported since the last network-link read.
        unsigned netLinkReported = 0;
        devicemanager::SourceTableGatherer sourceTable;
        // Static recording and the internal radio.
        Static_Point staticPoint{};
        Radio_Info radioInfo{};
        Radio_Range radioRange{};
        double radioFrequency = 0.0;
        Rdo_Mdl radioProtocol{};
        Radio_Power radioPower{};
        Radio_Baudrate radioBaud{};
        Rdo_Sensitv radioSensitivity{};
        Channel_Space channelSpace{};
        bool radioFec = false;
        Radio_Callsign callsign{};
        unsigned elevationMask = 0;
        // The NMEA output and the port's baud choice last set on the
        // receiver connected now, which reports neither.
        bool nmeaOutputSet = false;
        std::vector<Fjarnis2011::FJParse::_set_nmea> nmeaOutput;
        int nmeaPort = 0;
        int comBaudrate = -1;
    };

    using Receiver = Fjarnis2011::FJDevice::EmGnss_Receiver;

    // Announces one event: the code and its value go to the observer as
    // arguments, on the calling thread.
    void announce(int code, int value = 0);
    // Keeps what the receiver reported in the cache, under its lock, then
    // announces it: the one way a report reaches the pages.
    template <class T>
    void storeAndAnnounce(T Cache::*field, T value, int code, int announced = 0) {
        {
            std::lock_guard<std::mutex> lock(cacheLock_);
            cache_.*field = std::move(value);
        }
        announce(code, announced);
    }
    void announceState(int state);
    // Moves from `from` to `to` only if the state is still `from`; announces
    // the move. A close that came in between wins.
    bool moveState(int from, int to);
    void nextBaudStep();
    void scheduleNextBaudStep();
    void closeReceiver();
    // Which receiver the current receiver object serves: the set operations
    // reach the maker's receivers only, and the device-information, static
    // and radio settings only those on the old protocol. A value goes into
    // the cache only where its command goes out. GUI thread.
    bool makerReceiver() const;
    bool oldProtocolReceiver() const;
    // Marks the modem record's server address as held by its host name (the
    // text) or by its four numbers.
    static void markAddressAsText(WirelessInfo& link, bool asText);
    // Writes the server to a receiver on the new protocol as its server item
    // (the item the old command builds there, with the host whole) and
    // returns the host sent: `hostName` within the item's field, else the
    // record's text.
    std::string setNetLinkServer(const IP_ADRES& address, unsigned port, std::string_view hostName);

    void handleReceiverEvent(int messageClass, unsigned changeBits);
    void handleOemTypeResult(bool changed);
    void onDeviceInformation();
    void onSourceTableChunk();
    // DeviceManagerRadioStatic.cpp: the static point's report, the radio's
    // information and range that follow the module version, and the radio's
    // setting reports, in the order their codes are announced.
    void onStaticPoint();
    void onRadioInfoAndRange();
    void onRadioReports(unsigned changeBits);
    // DeviceManagerNewProtocol.cpp: a receiver of the maker whose device
    // information names the new-protocol board is switched over to that
    // protocol, put into its normal mode with the com-direct switch and asked
    // for its power status; its first new-protocol reply completes the
    // connection. Afterwards its reports arrive by operation class. In the
    // automatic search the reply is awaited like the device information
    // (onNewProtocolTimeout, from the retry timer).
    void onNewProtocolBoard();
    void onNewProtocolFormatReady();
    bool onNewProtocolTimeout();
    void handleNewProtocolEvent(int messageClass, unsigned changeBits);

    Fjarnis2011::FJParse::_CALLBACKS_RECEIVER callbacks_;
    DeviceObserver* observer_;
    std::unique_ptr<Receiver> receiver_;

    std::atomic<int> state_{0};
    std::atomic<int> manufacturer_{2};
    std::atomic<int> deviceType_{0};
    std::atomic<int> baud_{9600};
    std::atomic<bool> deviceInfoArrived_{false};
    std::atomic<bool> versionFlag_{false};
    std::atomic<int> boardType_{0};
    std::atomic<int> pendingEvent_{24};
    // Steps of the switch over to the new protocol in state 2 (see
    // onNewProtocolBoard); 0 when none is under way.
    enum NewProtocolStep { NoSwitch = 0, SwitchingFormat = 1, AwaitingReply = 2 };
    std::atomic<int> newProtocolStep_{NoSwitch};
    std::atomic<bool> newProtocol_{false};

    // GUI thread only.
    bool autoConnect_ = false;
    QList<int> candidates_;
    bool autoRetryActive_ = false;
    int portType_ = 0;
    uint8_t port_ = 0;
    // Counts connection attempts; a queued or timed step of an older attempt
    // does nothing.
    uint64_t attempt_ = 0;
    QTimer retryTimer_;
    // The automatic search's wait for the first new-protocol reply has
    // begun (the retry timer then runs for it).
    bool newProtocolWaitStarted_ = false;

    mutable std::mutex cacheLock_;
    Cache cache_;
};
