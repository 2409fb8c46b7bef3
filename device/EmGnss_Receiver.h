#pragma once

// One link to one receiver: a port of the port library, the protocol object
// that builds command records and parses received bytes, three threads
// (processing, reading, writing), five events, two locks and a command queue
// of at most 40 records that the writing thread sends one by one, each
// followed by its pause. Replies come back only through the registered
// callbacks, fired on the object's own threads.
//
// Threads: the owner's thread constructs, opens, closes, sends and destroys;
// the processing thread parses and fires the data callback; the reading thread
// reads the port and sends the keep-alive; the writing thread writes the
// queue and runs the board and manufacturer resets with the OEM-changed
// callback. Lock order: the protocol lock, then the queue lock; no lock is
// held while a thread is joined.

#include "device/FJDeviceExport.h"
#include "device/ReceiverServices.h"
#include "fjcomm/IPort.h"
#include "platform/Event.h"
#include "protocol/Em_Critcal_Section.h"
#include "protocol/Em_Gnss.h"
#include "protocol/Em_Types.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <thread>
#include <vector>

namespace Fjarnis2011 {
namespace FJDevice {

class FJDEVICE_API EmGnss_Receiver {
public:
    // Commands waiting to be written; further records are dropped.
    static constexpr size_t kMaxQueuedCommands = 40;
    // The longest pause the writer keeps after a command, ms.
    static constexpr uint32_t kMaxCommandDelay = 3000;
    // The reading thread's buffer and its largest read.
    static constexpr uint32_t kReadBufferSize = 2048;
    // The reading thread's passes from one keep-alive to the next. A pass is
    // one read, or one millisecond that the thread spent waiting on its line.
    static constexpr int32_t kKeepAlivePasses = 170;

    // Nothing is opened and no thread started; the two codes are those from
    // which the protocol object is built at the next open.
    explicit EmGnss_Receiver(FJParse::GNSS_MANUFACTURER manufacturer = FJParse::GNSS_MNFCTR_ORVEL,
                             FJParse::MAINBD_OEM_TYPE board = FJParse::MAINBD_NOVATEL_OEM);
    // The same over other services (tests); null means the system's. The
    // services are not owned and must outlive the object.
    EmGnss_Receiver(FJParse::GNSS_MANUFACTURER manufacturer, FJParse::MAINBD_OEM_TYPE board,
                    ReceiverServices* services);
    // Closes the port and joins the threads when they run, and frees a
    // protocol object left by a failed open.
    ~EmGnss_Receiver();
    EmGnss_Receiver(const EmGnss_Receiver&) = delete;
    EmGnss_Receiver& operator=(const EmGnss_Receiver&) = delete;

    // Only while no protocol object exists: stores both codes, true.
    bool setReceiverType(FJParse::GNSS_MANUFACTURER manufacturer, FJParse::MAINBD_OEM_TYPE board);
    // Only while no protocol object exists: keeps the table (not a copy; the
    // context is not kept). The next protocol object copies its callbacks.
    void RegisterCbs_Receiver(const FJParse::_CALLBACKS_RECEIVER* table, const void* context);

    // Builds the protocol object, opens the port and starts the threads.
    // False when the object is not closed, the protocol object cannot be made,
    // the port library refuses the port (the protocol object then stays until
    // Port_Close) or a thread cannot be started (nothing keeps running).
    bool Port_Open(FJComm::PARAM_COM param);
    bool Port_Open(FJComm::PARAM_BT param);
    bool Port_Open(FJComm::PARAM_SOCK param);
    // A replay file; null reuses the path given last. A path of more than 255
    // characters is refused and changes nothing.
    bool Port_Open(const char* path);
    // Port_Close, then Port_Open with the given settings.
    bool Port_ReOpen(FJComm::PARAM_COM param);
    bool Port_ReOpen(FJComm::PARAM_BT param);
    bool Port_ReOpen(FJComm::PARAM_SOCK param);
    bool Port_ReOpen(const char* path);
    // Stops and joins the threads, frees the port and the protocol object;
    // records not yet written are dropped. Returns promptly also while the
    // writer pauses or the reader waits inside the port. False (and nothing
    // done) when called on one of the object's own threads.
    bool Port_Close();
    bool IsPortOpen();
    // Bytes asked of the port per read: only with a port, 1 to 2047.
    void Port_SetBuf(unsigned size);
    // 2400, 4800, 9600, 19200 or 38400 only: the port library's current
    // serial port changes its rate.
    void Port_SetBaud(unsigned baud);

    // With a protocol object: the board type or maker changes on the writing
    // thread, which then fires the OEM-changed callback with true.
    void ReSetGnsMd(FJParse::MAINBD_OEM_TYPE board);
    void ReSetMnfctr(FJParse::GNSS_MANUFACTURER manufacturer);

    // Switches the maker's receiver between pass-through to its OEM board
    // (1) and its own working mode (2). Nothing on a replay file.
    void Send_OvMdl(unsigned mode);
    // Periodic data output on or off; off also stops the keep-alive.
    void Send_200Data(bool on);
    // Raw bytes for the receiver, in records of at most 512 bytes.
    void Send_DataToPort(unsigned char* data, unsigned length);
    // Correction bytes in the frames of the attached receiver.
    void Send_DiffDataToGnss(unsigned char* data, unsigned length);
    // The protocol object's current maker code and board type; 0 without one.
    FJParse::GNSS_MANUFACTURER Get_Gnss_Manufacturer();
    FJParse::MAINBD_OEM_TYPE Get_MAINBD_OEM_TYPE();
    // Wakes the writing thread.
    void Cmd_WrtEnvt();
    // The threads are never suspended.
    bool ThrdsSupded();
    void ThrdsRusm();

protected:
    // Queues a copy of each record in order while fewer than 40 wait, drops
    // the rest, then wakes the writing thread once. The vector stays the
    // caller's. Every send operation ends here.
    void Cmds_Write(std::vector<FJParse::_STR_CMD>& commands);

private:
    void InitInstance();
    void ExitInstance();
    bool prepareForOpen();
    bool OpenPrepared(FJComm::PORT_TYPE type);
    bool Port_StarThrd();
    void StopThreads();
    void ResetAllEvent();
    void Set_PortPar(const FJComm::PARAM_COM& param);
    void Set_PortPar(const FJComm::PARAM_BT& param);
    void Set_PortPar(const FJComm::PARAM_SOCK& param);
    void Set_PortPar(const char* path);
    bool OnOwnThread() const;
    void RcvData(const unsigned char* data, unsigned length);
    void ClearQueue();

    // Thread bodies.
    void ProcessData();
    void ReadData();
    void WriteData();
    void OnWriteEvent();
    void OnResetMainBoardEvent();
    void OnResetManufactureEvent();
    // Counts `passes` reading passes (at least 1) toward the keep-alive and
    // sends it when due; returns the ms after which the next pass should be
    // made so that the next keep-alive is not late.
    uint32_t SendKeepAliveWhenDue(uint32_t passes);
    // Appends one record to the thread-record file of `kind` (0 reading,
    // 1 processing, 2 writing, any other the caller's thread): the tick count,
    // a comma and the message. Only the handheld build keeps these records.
    void rcdforthreads(const char* message, int kind);

    ReceiverServices* services;

    std::atomic<uint32_t> readSize{kReadBufferSize};
    FJComm::PARAM_COM comParam;
    FJComm::PARAM_BT btParam;
    FJComm::PARAM_SOCK sockParam;
    FJComm::IPort* port = nullptr;
    char filePath[256] = {};
    int32_t portType = -1;

    platform::Event exitEvent{true};
    platform::Event resetMainBoardEvent{false};
    platform::Event resetManufacturerEvent{false};
    platform::Event writeEvent{false};
    platform::Event dataEvent{false};

    // Written under the protocol lock; the codes of the next protocol object
    // and, while open, of the current one after each reset.
    FJParse::MAINBD_OEM_TYPE oemType;
    FJParse::GNSS_MANUFACTURER manufacturer;

    // Guards gnss and everything it holds; taken before queueLock.
    FJParse::Em_Critcal_Section* protocolLock;
    // The protocol object from a successful prepare step until Port_Close.
    // Set and cleared only while no thread runs.
    FJParse::Em_Gnss* gnss = nullptr;
    // Guards commandQueue only.
    FJParse::Em_Critcal_Section* queueLock;
    std::atomic<bool> keepAlive{true};
    std::deque<FJParse::_STR_CMD> commandQueue;
    std::atomic<bool> receiveEnabled{true};

    std::thread processingThread;
    std::thread readingThread;
    std::thread writingThread;

    const FJParse::_CALLBACKS_RECEIVER* callbacks = nullptr;

    // ==== Command, getter and setter operations =================================
    // Defined in EmGnss_Receiver_Commands.cpp and EmGnss_Receiver_Getters.cpp.
    // Each member wraps one operation of the protocol object in the protocol
    // lock; a command queues the records that operation builds for the
    // attached receiver (none when the command does not apply to it) and wakes
    // the writing thread in every case. With no protocol object (before
    // Port_Open, after Port_Close) a member does nothing: a command queues
    // nothing, a getter returns what the protocol object answers for a
    // receiver the value does not apply to and leaves out-parameters as they
    // are. Getters may be called from inside the data callback.
public:
    // The program's rate choice for the receiver's port.
    enum Com_Baudrate : int32_t {
        COM_BAUD_9600 = 0,
        COM_BAUD_19200 = 1,
        COM_BAUD_38400 = 2,
        COM_BAUD_57600 = 3,
        COM_BAUD_115200 = 4,
    };

    // Device.
    void Send_DeviceInfo();
    void Send_Battery();
    void Send_CloseReceiver();
    void Send_Gprs_DiffInfo();
    // Resets the receiver's GNSS board; the receiver restarts it and answers
    // nothing.
    void Send_Gnss_Reset();
    // Firmware update: the start, then one 128-byte block per call.
    void Send_DevcInfo_Update_Str();
    void Send_DevcInfo_Update_Crs(unsigned int index, unsigned char* block, unsigned int length);
    // One-byte device settings (the low byte of the value is sent).
    void Set_DevcInfo_Mask(unsigned int value);
    void Set_DevcInfo_RrdTp(unsigned int value);
    void Set_DevcInfo_RrdTime(unsigned int value);
    void Set_DevcInfo_RrdFrq(unsigned int value);
    void Set_DevcInfo_OutPut(unsigned int value);
    void Set_DevcInfo_StrtTp(unsigned int value);
    void Set_DevcInfo_TrsmtPort(unsigned int value);
    void Set_DevcInfo_TrsmtFmat(unsigned int value);
    void Set_DevcInfo_AutoBaseDist(unsigned short distance);
    // Port rate: a null rate asks for the current one (new protocol only).
    void Send_Com_Baudrate(FJParse::OV_COM_BAUD_ENUM* baud, FJParse::OV_COM_PORT_ENUM port);
    void Set_Com_Baudrate(FJParse::OV_COM_BAUD_ENUM baud, FJParse::OV_COM_PORT_ENUM port);
    // 1 19200, 2 38400, 3 57600, 4 115200, any other code 9600; port 1.
    void Set_Com_Baudrate(Com_Baudrate choice);

    // Internal modem.
    // True when the version request went out (only after the device
    // information has come).
    bool Send_Gprs_Version();
    void Send_Gprs_Info();
    void Send_Gprs_Status();
    void Send_Gprs_Eroinfo();
    void Send_Gprs_Reset();
    void Send_Gprs_DisConct();
    void Set_Gprs_Ip(FJParse::IP_ADRES address, unsigned int port, FJParse::Protocol_Net protocol);
    void Set_Gprs_SvcInfo(FJParse::SvcInfo info);
    void Set_GSM_NumInfo(char* number);
    void Set_Gprs_Modle(FJParse::Gprs_Modle mode);
    void Set_Gprs_Baseid(unsigned char* id, unsigned long length);
    void Send_Dial_Prtl();
    void Set_Dial_Prtl(unsigned int protocol);
    // NTRIP login through the modem.
    void Set_Cors_Login(const FJParse::cors_info& login);
    void Set_Cors_Info_Auto(const FJParse::cors_info& login, unsigned int mode);
    void Send_Cors_Info_Auto();
    void Send_Gprs_GetList();

    // What the modem last reported.
    void GetInfo_Gprs_Info(FJParse::WirelessInfo& info);
    int GetInfo_Gprs_Signal();
    FJParse::gprs_status GetInfo_Gprs_Status();
    FJParse::gprs_ero GetInfo_Gprs_Eroinfo();
    int GetInfo_Gprs_CosMdl();
    double GetInfo_Gprs_Version();
    unsigned int Get_Dial_Prtl();
    void Get_Cors_Info_Auto(FJParse::cors_info& login, int& mode);
    // The last source-table chunk; `text` must hold 2048 bytes.
    void Get_Gprs_GetList(char* text, int* length);

    // Base and rover settings kept in the protocol object (nothing is sent).
    // The pointers point into the protocol object: valid until Port_Close.
    const FJParse::Base_Config* Get_Gnss_BsCfg();
    const FJParse::Rover_Config* Get_Gnss_RvCfg();
    void Set_Gnss_BsCfg(const FJParse::Base_Config& config);
    void Set_Gnss_RvCfg(const FJParse::Rover_Config& config);

    // Raw recording of every received byte.
    void Set_RcrdData(bool on, const char* name);
    // The last differential-information reply: its length in *length and its
    // bytes (at most 200) in `data`.
    void Get_Gprs_DiffInfo(unsigned char* data, int* length);
    // The firmware debug record kept under `key` (256), which is then dropped.
    void Get_FirmWare_Db(unsigned long key, FJParse::FIRMWARE_DEBUG& record);

    // ==== Solution, status and record getters ===================================
    // Defined in EmGnss_Receiver_Status.cpp, in the same pattern as the block
    // above: the protocol lock around one getter of the protocol object, which
    // copies what the receiver last reported. Every one of them takes the
    // lock, so a caller on another thread never reads a record half parsed.
public:
    // Device information of the last "SI" reply (the maker's old protocol).
    void GetInfo_DevcInfo(FJParse::DEVICE_STR& info);
    // Battery grade 0..10 (12 on external power); -1 when none can be had.
    int Get_Battery_Grd();
    // The board's used-signal flags of the solution; 0 without a board.
    unsigned long GetInfo_Gnss_Solutions();
    // Hours added to the receiver's UTC time for the local time (kept in the
    // protocol object; nothing is sent). 0 without a board.
    int Get_TimeZone();
    void Set_TimeZone(int hours);

    // The current solution. A null record returns at once, without the lock.
    void Get_Gnss_Pos(FJParse::POS_INFO* pos);
    void Get_Gnss_Time(FJParse::Time_Str* time);
    // Satellites of list `system` (1 to 5): the count in *count (0 for any
    // other list, and without a board or a protocol object) and that many
    // entries in `sats` (room for 32).
    void Get_Gnss_SatInfo(int system, unsigned int* count, FJParse::SATLLITE_STR* sats);
    void Get_Gnss_SatUse(int system, FJParse::SAT_USE* use);
    void Get_Gnss_SatTypeNum(int& systems);
    void Get_Gnss_Dops(FJParse::Dops* dops);
    void Get_Gnss_Precision(FJParse::Precisions* precisions);
    // The last GGA sentence (`text` must hold 1024 bytes) and its length.
    void Get_Gnss_Gpgga(unsigned char* text, unsigned int* length);
    // Speed over ground (knots) and course (radians) of the last RMC.
    void Get_Gnss_Gprmc(double& speed, double& course);
    void Get_Gnss_Baseinfo(FJParse::BASEINFO& base);

    // What the board decoded last: an ephemeris, an epoch of observations,
    // the correction frame in its transmit holder.
    void Get_Gnss_Ephemeris(unsigned int* system, FJParse::em_eph_t* eph);
    void Get_Gnss_Obs_t(FJParse::em_obs_t* obs);
    void Get_Gnss_Trsinfo(FJParse::TRSMT_INFO& info);
    // Pass-through to the board: its characters, the command that opens it
    // on receiver port `port`, and the board's NMEA-parsing switch.
    void Get_PassCom_Char(FJParse::PASSCOMCHAR& chars);
    void Send_PassCom_Char(int port);
    void Set_GNSS_ParseNmea(bool on);

    // The maker's old-protocol records: the internal radio's settings, the
    // static survey's point and time, the eBubble.
    void Get_Radio_Sensitivity(FJParse::Rdo_Sensitv& sensitivity);
    void Get_Radio_FEC(bool& on);
    void Get_Radio_Callsign(FJParse::Radio_Callsign& callsign);
    void Get_Radio_ChannelSpace(FJParse::Channel_Space& spacing);
    void Get_Static_Point(FJParse::Static_Point& point);
    void Get_Static_Time(unsigned int& first, unsigned int& second);
    void Get_eBubble_info(FJParse::eBubble_info& info);

    // ---- The maker's old-protocol internal radio, static recording, PPK
    // points and eBubble (EmGnss_Receiver_RadioStatic.cpp). The int results
    // are the protocol object's: the radio power and baud commands 1 when
    // sent, else 0; Send_Radio_Frq 0 before the device information, 1
    // before the module version, 2 when sent, -1 when the radio has no such
    // query.
    int Send_Radio_Frq();
    int Send_Radio_Power();
    int Set_Radio_Power(FJParse::Radio_Power power);
    int Send_Radio_Baudrate();
    int Set_Radio_Baudrate(FJParse::Radio_Baudrate baud);
    void Set_Radio_Frq(double mhz);
    void Set_Radio_Mdl(FJParse::Rdo_Mdl mode);
    void Set_Radio_Sensitivity(FJParse::Rdo_Sensitv sensitivity);
    void Send_Radio_Sensitivity();
    void Set_Radio_FEC(bool on);
    void Send_Radio_FEC();
    void Set_Radio_Callsign(FJParse::Radio_Callsign callsign);
    void Send_Radio_Callsign();
    void Set_Radio_ChannelSpace(FJParse::Channel_Space spacing);
    void Send_Radio_ChannelSpace();
    void Send_StartPPKpt(FJParse::StartPointInfo* point);
    void Send_EndPPKpt(FJParse::EndPointInfo* point);
    void Send_AntHeightSettedPPKpt(FJParse::AntPointInfo* point);
    void Set_Static_Point(FJParse::Static_Point* point);
    void Send_Static_Point();
    void Set_Static_Begin(bool begin);
    void Set_Static_Begin(bool begin, unsigned short interval);
    void Set_eBubble_frq(FJParse::GNSS_FRQ rate);
    void Set_eBubble_calibration(bool on, int value);
    // The radio record: power (0 when none), baud code (-1), frequency in MHz
    // (-1.0); the band and what the module offers (0, 1 or -1 as
    // Send_Radio_Frq, 2 with the record filled).
    FJParse::Radio_Power Get_Radio_Power();
    FJParse::Radio_Baudrate Get_Radio_Baudrate();
    double Get_Radio_Frq();
    // The radio protocol byte of the last frequency reply (-1 before one).
    FJParse::Rdo_Mdl Get_Transmit_Mdl();
    int Get_Radio_Range(FJParse::Radio_Range& range);
    int Get_Radio_Info(FJParse::Radio_Info& info);

    // ==== GNSS board work =======================================================
    // Defined in EmGnss_Receiver_BoardCmds.cpp, in the pattern of the command
    // block above: the protocol object builds the commands of the board the
    // receiver carries, combined with the receiver's own; this object locks,
    // queues and paces them.
public:
    // Initialises the board's outputs.
    void Send_Gnss_Init();
    // Starts the board as an RTK base or rover with the settings kept by
    // Set_Gnss_BsCfg / Set_Gnss_RvCfg.
    void Send_Gnss_StartBs();
    void Send_Gnss_StartRv();
    // Output rates of the board's position, raw observations and ephemerides.
    void Set_Gnss_PosFrq(FJParse::GNSS_FRQ rate);
    void Send_Gnss_Obs(FJParse::GNSS_FRQ rate);
    void Send_Gnss_Ephemeris(FJParse::GNSS_FRQ rate);
    void Send_Gnss_EphemSat(unsigned int satellite);
    void Set_Gnss_SatUse(unsigned int satellite, bool use, unsigned int release);
    // The board's NMEA sentences (NMEA_SENTENCE_BIT mask) at one rate.
    void Set_Gnss_Nmea(unsigned long sentences, FJParse::GNSS_FRQ rate, int unused);
    void Send_Gnss_UnlogData();
    // The receiver's own position rate.
    void Set_Position_Frq(FJParse::GNSS_FRQ rate);
    // The receiver's NMEA output: the sentences of the list on the output
    // port `selector`, in the second form with each sentence's rate and `on`.
    void Set_Orvel_NMEA(const std::vector<FJParse::_set_nmea>& sentences, int selector);
    void Set_Orvel_NMEA(const std::vector<FJParse::_set_nmea>& sentences, int selector, bool on);
    // The elevation mask (low 8 bits of the argument) as the maker's
    // receivers set it: a setting of the new protocol (Send_Gnss_ElevMask);
    // the old-protocol receivers take none.
    void Set_Gnss_ElevMask(unsigned int mask);
    // The elevation mask (degrees, low 8 bits) as the maker's old-protocol
    // receivers set it: the receiver's own setting ("SJ"), the board's
    // cutoff and the "SW" mask.
    void Set_Gnss_ElevDgre(unsigned int degrees);
    // The elevation mask the board reported last (degrees); 0 without a board.
    unsigned int GetInfo_Gnss_ElevMask();

    // ==== The maker's new protocol ==============================================
    // Defined in EmGnss_Receiver_NewProto.cpp, in the pattern of the command
    // and getter blocks above. A member with a pointer sets the receiver's
    // parameter when the pointer is given and asks for it when it is null;
    // bool members switch; _Query members ask. Every other receiver gets
    // nothing (the network link's auto-open excepted: the maker's
    // old-protocol receivers take it as their modem's login mode). The
    // getters copy what the new-protocol receiver reported last; elsewhere
    // they give their default and leave out-parameters as they are.
public:
    // Modem.
    void Send_Modem_Dial(bool on);
    void Send_Modem_Power(bool on);
    void Send_Modem_Auto_Dial(const unsigned char* value);
    void Send_Modem_Auto_Power_On(const unsigned char* value);
    void Send_Modem_Dial_Param(const FJParse::OV_MODEM_DIAL_PARA_STRUCT* param);
    void Send_Modem_Dial_Status_Query();
    void Send_Modem_Power_Status_Query();
    void Send_Modem_Signal_Intensity_Query();
    void Send_Modem_Band_Mode(const unsigned short* mode);
    // GNSS.
    void Send_Gnss_Data_Freq(FJParse::OV_DATA_FRQ_ENUM rate);
    void Send_Gnss_Data_Freq(const FJParse::DataFreq& rate);
    void Send_Gnss_Data_Freq(const std::vector<FJParse::DataFreq>& rates);
    void Send_Gnss_IO_ID(FJParse::OV_GNSS_IO_ID_ENUM id);
    void Send_Gnss_ElevMask(const unsigned char* degrees);
    void Send_Gnss_Pdop_Mask(const unsigned char* pdop);
    void Send_Gnss_Diff_Type(const unsigned short* type);
    void Send_Gnss_Base_Position(const FJParse::OV_GNSS_BASE_SET_STRUCT* base);
    void Send_Gnss_Sat_Enable(const FJParse::OV_GNSS_SATELLITE_ENABLE_STRUCT* enable);
    // System.
    void Send_System_Admin_Cmd(unsigned short command);
    void Send_System_Power_Status_Query();
    void Send_System_Power_Off();
    void Send_System_Reboot();
    void Send_System_Hardware_Info_Query();
    void Send_System_Firmware_Info_Query();
    void Send_System_GSensor_Valid(FJParse::OV_GSENSOR_VALID_PERIOD_STRUCT period);
    // Network link.
    void Send_NetLink_Auto_Open(const unsigned char* value);
    void Send_NetLink_Status_Query();
    void Send_NetLink_Source_List_Query();
    void Send_NetLink_Address(const FJParse::OV_IP_ADDRESS_STRUCT* address);
    void Send_NetLink_Server_Type(const unsigned short* type);
    void Send_NetLink_Data_Source(const FJParse::OV_CORS_DATA_SOURCE_STRUCT* source);
    void Send_NetLink_Account(const FJParse::OV_ACCOUNT_STRUCT* account);
    void Send_NetLink_Connect(bool on);
    // Data link.
    void Send_DataLink_Mode(const unsigned short* mode);
    void Send_DataLink_Differential_Data(const FJParse::OV_BLOCK_DATA_STRUCT* data);
    // Radio.
    void Send_Radio_Frequency(const float* mhz);
    void Send_Radio_Power(const unsigned int* power);
    void Send_Radio_Stepper(const unsigned int* stepper);
    void Send_Radio_Air_Baud(const unsigned int* baud);
    void Send_Radio_Protocol(const unsigned short* protocol);
    void Send_Radio_Infolist_Query();
    void Send_Radio_Power_On(bool on);
    void Send_Radio_Auto_Power_On(const unsigned char* value);
    void Send_Radio_Module_Type_Query();
    void Send_Radio_Power_Status_Query();
    // Wi-Fi.
    void Send_WIFI_Param_AP(const FJParse::OV_WIFI_PARA_AP_STRUCT* ap);
    void Send_WIFI_Mode(const unsigned short* mode);
    void Send_WIFI_Auto_Open(const unsigned char* value);
    void Send_WIFI_Open(bool on);
    void Send_WIFI_Power_Status_Query();
    // File recording.
    void Send_File_Record_Open(bool on);
    void Send_File_Record_Auto_Open(const unsigned char* value);
    void Send_File_Record_Status_Query();
    void Send_File_Record_Param(const FJParse::OV_FILE_RECORD_CONFIG_STRUCT* config);
    void Send_File_Record_PPK(const FJParse::OV_BLOCK_DATA_STRUCT* block);

    // Built on the members above.
    // The modem's signal query.
    void Send_Gprs_Signal();
    // Asks for the network link's auto-open (the login mode).
    void Send_Gprs_CosMdl();
    // Asks for the elevation mask.
    void Send_Gnss_ElevMask();
    // Login mode v (low 8 bits): v other than 0 sets the modem's auto
    // power-on and auto dial to v first; the network link's auto-open is set
    // to v in every case. All three go to the queue together or not at all.
    void Set_Gprs_CosMdl(unsigned int mode);
    // Switches off the data links the chosen mode does not use: 1 the
    // network link; 2 and 3 the radio; 4 the network link, then the radio;
    // any other mode nothing.
    void Disable_Other_DataLink(FJParse::OV_DATALINK_MODE_ENUM mode);

    // What the new-protocol receiver reported.
    void Get_Cmd_Setting_Response(FJParse::OV_RESPONSE_STATUS_ENUM& status, unsigned int& commandId);
    unsigned char Get_Modem_Auto_Dial();
    unsigned char Get_Modem_Auto_Power_On();
    void Get_Modem_Dial_Param(FJParse::OV_MODEM_DIAL_PARA_STRUCT& param);
    void Get_Modem_Dial_Status(FJParse::OV_MODEM_DIAL_STATUS_STRUCT& status);
    void Get_Modem_Power_Status(FJParse::OV_MODEM_POWER_STATUS_ENUM& status);
    void Get_Modem_Signal_Intensity(FJParse::OV_MODEM_SIGNAL_INTENSITY_STRUCT& signal);
    void Get_Modem_Band_Mode(FJParse::OV_MODEM_BAND_MODE_ENUM& mode);
    // The board's elevation mask (any receiver with a board; 0 without).
    int Get_Gnss_ElevMask();
    int Get_Gnss_Pdop_Mask();  // -1 elsewhere
    // The board's last sentence text (null without a board, the length then
    // untouched); valid until Port_Close.
    const unsigned char* Get_Gnss_Data_Buff(unsigned int& length);
    void Get_Gnss_Diff_Type(FJParse::OV_GNSS_DIFF_TYPE_ENUM& type);
    void Get_Gnss_Base_Position(FJParse::OV_GNSS_BASE_SET_STRUCT& base);
    void Get_Gnss_Sat_Enable(FJParse::OV_GNSS_SATELLITE_ENABLE_STRUCT& enable);
    void Get_System_Power_Status(FJParse::OV_SYSTEM_POWER_STATUS_STRUCT& status);
    void Get_System_Hardware_Info(FJParse::OV_SYSTEM_HARDWARE_INFO_STRUCT& info);
    void Get_System_Firmware_Info(FJParse::OV_SYSTEM_FIRMWARE_VERSION_STRUCT& info);
    unsigned char Get_NetLink_Auto_Open();
    void Get_NetLink_Status(FJParse::OV_NETLINK_STATUS_STRUCT& status);
    // The source-list text (not terminated; valid until Port_Close) and its
    // length; length 0 elsewhere.
    void Get_NetLink_Source_List(const unsigned char*& text, unsigned int& length);
    void Get_NetLink_Address(FJParse::OV_IP_ADDRESS_STRUCT& address);
    void Get_NetLink_Server_Type(FJParse::OV_NETLINK_SERVER_TYPE_ENUM& type);
    void Get_NetLink_Data_Source(FJParse::OV_CORS_DATA_SOURCE_STRUCT& source);
    void Get_NetLink_Account(FJParse::OV_ACCOUNT_STRUCT& account);
    void Get_DataLink_Mode(FJParse::OV_DATALINK_MODE_ENUM& mode);
    float Get_Radio_Frequency();       // 0 elsewhere
    unsigned int Get_Radio_Power_V2(); // 0
    unsigned int Get_Radio_Stepper();  // 0
    unsigned int Get_Radio_Air_Baud(); // 4800
    void Get_Radio_Protocol(FJParse::OV_RADIO_PROTOCOL_ENUM& protocol);
    void Get_Radio_Infolist(FJParse::OV_RADIO_INFOLIST_STRUCT& info);
    unsigned char Get_Radio_Auto_Power_On();
    void Get_Radio_Module_Type(FJParse::OV_RADIO_MODULE_TYPE_ENUM& type);
    void Get_Radio_Power_Status(FJParse::OV_RADIO_POWER_STATUS_ENUM& status);
    void Get_WIFI_Param_AP(FJParse::OV_WIFI_PARA_AP_STRUCT& ap);
    void Get_WIFI_Mode(FJParse::OV_WIFI_MODE_ENUM& mode);
    unsigned char Get_WIFI_Auto_Open();
    void Get_WIFI_Power_Status(FJParse::OV_WIFI_POWER_STATUS_ENUM& status);
    unsigned char Get_File_Record_Auto_Open();
    void Get_File_Record_Status(FJParse::OV_FILE_RECORD_STATUS_ENUM& status);
    void Get_File_Record_Param(FJParse::OV_FILE_RECORD_CONFIG_STRUCT& config);
    void Get_Com_Baudrate(FJParse::OV_COM_BAUD_ENUM& baud);

private:
    // The two shapes of the members above (EmGnss_Receiver_Ops.h).
    template <class Build>
    bool QueueCommands(Build&& build);
    template <class Access>
    bool WithProtocol(Access&& access);
};

}  // namespace FJDevice
}  // namespace Fjarnis2011
