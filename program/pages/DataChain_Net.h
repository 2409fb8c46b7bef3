#pragma once

#include "program/SourceTableText.h"
#include "program/Widget.h"

#include "protocol/Em_ModemTypes.h"
#include "protocol/Em_Types.h"

#include <QAbstractSocket>
#include <QHash>
#include <QList>
#include <QStringList>

#include <cstdint>
#include <string>

class Client;
class QTimer;
class QTimerEvent;
class ServerStore;

namespace Ui {
class DataChain_Net;
}

// The receiver's GPRS modem link as the data link page shows it below its
// link choice: the correction server (address, port, protocol), the
// receiver's role on the link, the base id for the relay protocol and the
// NTRIP login. It keeps the user's servers in the server store and fetches a
// caster's source table, through the receiver's own modem or over the
// program's own connection. The data link page drives the read and the write
// through the operations below.
class DataChain_Net : public Widget {
    Q_OBJECT

public:
    using WirelessInfo = Fjarnis2011::FJParse::WirelessInfo;
    using cors_info = Fjarnis2011::FJParse::cors_info;
    using IP_ADRES = Fjarnis2011::FJParse::IP_ADRES;

    // Bits of the read: the modem's link parameters, the NTRIP login and
    // the login mode.
    static constexpr uint32_t kParamsBit = 8;
    static constexpr uint32_t kLoginBit = 32;
    static constexpr uint32_t kLoginModeBit = 64;
    static constexpr uint32_t kReadComplete = kParamsBit | kLoginBit | kLoginModeBit;

    static constexpr int kPollMs = 1000;
    static constexpr int kFetchLimitMs = 60000;
    static constexpr int kConnectWaitMs = 30000;

    // How a source-table fetch runs.
    enum class Fetch { None, Receiver, Socket };

    explicit DataChain_Net(QWidget* parent = nullptr);
    ~DataChain_Net() override;

    void clearForm();
    void setFormEnabled(bool on);
    void hookReadSignals(bool on);
    // Asks the receiver for its link parameters, login mode and NTRIP login.
    void read();
    bool nothingRead() const { return receivedMask_ == 0; }
    // At the end of a read that brought something: tells, in one warning,
    // the parts of the link the receiver did not report (on the new
    // protocol, whose parts come as items of their own). The form leaves
    // them empty, and "Set" writes none of them the user did not give.
    void tellUnreported();
    // 1 valid; 0 a required field is missing (marked red); -1 a field is
    // refused (the address, a text its rule does not take, a login too long),
    // every refused field marked and told to the user in one box.
    int checkInput();
    // Saves the server when asked, then sends the settings. False (nothing
    // sent) when the server's name belongs to another server.
    bool applySettings();

    // True for a dotted IPv4 address of four decimal numbers 0..255.
    static bool isIpv4Address(const QString& text);
    // True for a host name of letters, digits and hyphens in dot-separated
    // labels, the last not a number alone, that fits the modem's 32-byte
    // address text.
    static bool isHostName(const QString& text);
    // The address record for a checked address text: the text itself when
    // the modem takes text (at most 32 bytes), else the four bytes.
    static IP_ADRES addressRecord(const QString& text, bool asText);

    uint32_t receivedMask() const { return receivedMask_; }
    QStringList sourceNames() const { return sourceNames_; }
    Fetch fetching() const { return fetch_; }
    bool addressAsText() const { return addressAsText_; }
    QList<int> protocolCodes() const { return protocolCodes_; }

signals:
    void enableInterface(bool enabled);

public slots:
    void onServerChanged(int index);
    void onWorkModeChanged(int index);
    void onProtocolChanged(int index);
    void on_comboBox_server_editTextChanged(const QString& text);
    void updateSaveButtonStatus(bool on);
    void on_lineEdit_address_textChanged();
    void on_lineEdit_port_textChanged();
    void on_lineEdit_BaseID_textChanged();
    void onSourceEditFinished();
    void on_getsourceButton_clicked();
    void onSourceListTextChanged(const QString& text);
    void onClearSource();
    void onWirelessStatus();
    void onWirelessError();
    void onQueryTimeout();
    void onSourceTable();
    void onWirelessParameters();
    void onCorsInfo();
    void onLoginMode();
    void onSocketTimeout();
    void onGetSourceBySocket(QString& piece);
    void onSourceConnectionClosed(QAbstractSocket::SocketError why);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void fillProtocolsForMode(int mode);
    void updateVisibility(int protocolIndex, int modeIndex);
    // Lists the saved servers of the protocols offered; gives what the
    // server store's read gives (0, or a read failure). Within one read of
    // the page, a box already listing the servers of the same protocols is
    // not listed again: only its choice is cleared.
    int32_t refillServers();
    void clearServerFields();
    void loadServer(int32_t key);
    bool requiredFieldsPresent();
    // False, with the refusal appended to `refused`, when the mount point
    // and login together are too long for the receiver.
    bool loginLengthValid(QStringList* refused);
    bool takesHostName() const;
    // The longest host name the receiver's server field takes: 32 bytes on
    // the old modem, 50 on the new protocol.
    int hostNameField() const;
    // The host name on the form, whole, where the new protocol's server item
    // takes it (a dotted address goes as its numbers): empty otherwise.
    std::string typedHostName() const;
    // False, with the address marked and its refusal appended to `refused`,
    // for a text that is no address this receiver takes; an empty one is
    // left to the missing-field check.
    bool addressValid(QStringList* refused);
    void buildLogin(cors_info& login) const;
    void buildLink(WirelessInfo& link);
    void sendSettings();
    void replied(uint32_t bit);
    // The parts of the link (DeviceManager::NetLinkPart bits) the receiver
    // did not report in the last read; none on the old protocol, whose modem
    // reports its parameters in one reply.
    unsigned unreportedParts() const;
    // With no protocol chosen (the receiver did not report it), the NTRIP
    // login rows show when the receiver reported a login, so that what it
    // holds is seen.
    void showLoginOfUnknownProtocol();
    int currentData(const class QComboBox* box, int none = -1) const;
    QString receiverAddressText(const WirelessInfo& info) const;

    void startReceiverFetch();
    void endReceiverFetch();
    void startSocketFetch();
    void endSocketFetch();
    void fillSourceList();
    // Marks the mount point in the source box and tells at once why "Set"
    // would refuse it, when its rule does not take it: chosen by the user or
    // put in by the program (the first name of a caster's table, or of a
    // saved server), it is told the same way.
    void tellRefusedSource();
    // "Successed to get source table !", or the warning that the table was
    // cut at the program's limit.
    void tellSourceTableResult(bool cut);
    // Ends a fetch by socket that got no whole table.
    void failSocketFetch();
    void restartTimer(int& id);
    void killTimerId(int& id);

    Ui::DataChain_Net* ui_;
    ServerStore* store_;
    int32_t nameLimit_ = 0;
    int32_t userLimit_ = 0;
    int32_t passwordLimit_ = 0;
    int32_t sourceLimit_ = 0;
    int32_t totalLimit_ = 0;

    uint32_t receivedMask_ = 0;
    QList<int> protocolCodes_;
    // The protocols whose servers the Server box lists, as the current read
    // of the page last filled it (listedThisRead_). The receiver's reply sets
    // the work mode the read has just listed the servers for; with
    // thousands of servers, reading them again for the same list would hold
    // up the window for nothing. Each read lists them afresh, so what
    // another program changed in the store meanwhile shows.
    QList<int> listedProtocols_;
    bool listedThisRead_ = false;
    // A loaded server's mount point is to be told once the load is over.
    bool sourceTellQueued_ = false;
    bool canFetchByDevice_ = false;
    bool canAutoLogin_ = false;
    bool addressAsText_ = false;
    bool fetchingSource_ = false;
    bool sourceListRequested_ = false;
    QStringList sourceNames_;
    int baseIdLength_ = 0;
    QHash<int, QString> errorTexts_;

    Fetch fetch_ = Fetch::None;
    int statusTimer_ = -1;
    int errorTimer_ = -1;
    QTimer* queryTimer_ = nullptr;
    QTimer* socketTimer_ = nullptr;
    Client* client_ = nullptr;
    // The caster's answer gathered over the program's own connection; it
    // is parsed whole once the end marker is in.
    sourcetable::CappedText socketText_;
};
