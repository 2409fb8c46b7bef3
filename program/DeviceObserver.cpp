#include "program/DeviceObserver.h"

#include <atomic>

namespace {
std::atomic<DeviceObserver*> g_observer{nullptr};
}

DeviceObserver::DeviceObserver() : QObject(nullptr) {}

DeviceObserver::~DeviceObserver() {
    DeviceObserver* self = this;
    g_observer.compare_exchange_strong(self, nullptr);
}

DeviceObserver* DeviceObserver::instance() {
    DeviceObserver* observer = g_observer.load();
    if (!observer) {
        observer = new DeviceObserver();
        g_observer.store(observer);
    }
    return observer;
}

DeviceObserver* DeviceObserver::existing() { return g_observer.load(); }

void DeviceObserver::dispatch(int code, int value) {
    switch (code) {
    case EventBatteryLife: emit batteryLife(value); break;
    case EventWorkingStatus: emit workingStatus(value); break;
    case EventDeviceInfo: emit deviceInfo(); break;
    case EventStaticPoint: emit staticPointInfo(); break;
    case EventGprsVersion: emit gprsVersion(); break;
    case EventWirelessParams: emit wirelessParamters(); break;
    case EventWirelessStatus: emit wirelessStatus(); break;
    case EventWirelessError: emit wirelessError(); break;
    case EventLoginMode: emit loginMode(); break;
    case EventCorsInfo: emit corsInfo(); break;
    case EventSourceTable: emit sourceTable(); break;
    case EventRadioProtocol: emit radioProtocol(); break;
    case EventRadioFreq: emit radioFreq(); break;
    case EventRadioPower: emit radioPower(); break;
    case EventRadioInfo: emit radioInfo(); break;
    case EventRadioFreqRange: emit radioFreqRange(); break;
    case EventRadioBaudrate: emit radioBaudrate(); break;
    case EventRadioSensitive: emit radioSensitive(); break;
    case EventRadioFreqStep: emit radioFreqStep(); break;
    case EventRadioFec: emit radioFEC(); break;
    case EventRadioCallsign: emit radioCallsign(); break;
    case EventElevMask: emit elevMask(); break;
    case EventOemChanged: emit oemTypeChanged(true); break;
    case EventOemNotChanged: emit oemTypeChanged(false); break;
    case EventDeviceClosed: emit deviceClosed(); break;
    case EventConnectionFailed: emit connectionFailed(); break;
    default: break;  // 24 and every unknown code announce nothing
    }
}

bool DeviceObserver::subscribe(const QObject* receiver, const char* signal, const char* slot) {
    if (!receiver || !signal || !slot)
        return false;
    // QObject::connect normalises a signature written with spaces itself.
    return static_cast<bool>(QObject::connect(this, signal, receiver, slot, Qt::QueuedConnection));
}

bool DeviceObserver::unsubscribe(const char* signal, const QObject* receiver) {
    if (!signal || !receiver)
        return false;
    return QObject::disconnect(this, signal, receiver, nullptr);
}
