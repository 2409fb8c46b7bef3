#pragma once

#include <QObject>

// The program's signal hub for receiver events. DeviceManager hands it each
// event code together with the event's value; dispatch emits the matching
// signal on the calling thread, which may be the GUI thread (connection
// states) or one of the receiver's device threads (reports, board switch).
// Subscribers therefore always connect with queued connections, so their
// slots run on the GUI thread.
//
// The observer must outlive DeviceManager: the manager's device threads emit
// through it until the manager has closed the port.
class DeviceObserver : public QObject {
    Q_OBJECT
public:
    // Event codes, as DeviceManager announces them.
    enum EventCode : int {
        EventBatteryLife = 1,
        EventWorkingStatus = 2,
        EventDeviceInfo = 4,
        EventStaticPoint = 5,
        EventGprsVersion = 6,
        EventWirelessParams = 7,
        EventWirelessStatus = 8,
        EventWirelessError = 9,
        EventLoginMode = 10,
        EventCorsInfo = 11,
        EventSourceTable = 12,
        EventRadioProtocol = 13,
        EventRadioFreq = 14,
        EventRadioPower = 15,
        EventRadioInfo = 16,
        EventRadioFreqRange = 17,
        EventRadioBaudrate = 18,
        EventRadioSensitive = 19,
        EventRadioFreqStep = 20,
        EventRadioFec = 21,
        EventRadioCallsign = 22,
        EventElevMask = 23,
        EventNone = 24,
        EventOemChanged = 27,
        EventOemNotChanged = 28,
        EventDeviceClosed = 29,
        EventConnectionFailed = 30,
    };

    // Created on first use; call it first on the GUI thread.
    static DeviceObserver* instance();
    // The current observer without creating one (null when there is none).
    static DeviceObserver* existing();
    ~DeviceObserver() override;

    // Emits the signal of `code` on the calling thread. `value` is the
    // battery grade for code 1 and the connection state for code 2; the
    // other codes carry no value (27 and 28 carry true and false). Any code
    // outside the table emits nothing.
    void dispatch(int code, int value = 0);

    // Connects the observer's signal to the receiver's slot, queued. Both are
    // Qt signature strings (SIGNAL()/SLOT()); spaces in them are allowed.
    bool subscribe(const QObject* receiver, const char* signal, const char* slot);
    // Disconnects the signal from every slot of the receiver.
    bool unsubscribe(const char* signal, const QObject* receiver);

signals:
    void workingStatus(int status);
    void deviceInfo();
    void staticPointInfo();
    void wirelessParamters();
    void gprsVersion();
    void corsInfo();
    void loginMode();
    void batteryLife(int rate);
    void elevMask();
    void oemTypeChanged(bool success);
    void radioProtocol();
    void radioFreq();
    void radioInfo();
    void radioPower();
    void radioFreqRange();
    void wirelessStatus();
    void wirelessError();
    void sourceTable();
    void deviceClosed();
    void radioBaudrate();
    void radioSensitive();
    void radioFreqStep();
    void radioFEC();
    void radioCallsign();
    void connectionFailed();

private:
    DeviceObserver();
};
