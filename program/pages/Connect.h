#pragma once

#include "program/Widget.h"

#include <cstdint>
#include <vector>

class BtBindingsConfig;
class ConnectingProgress;
class QAction;
class QListWidgetItem;
class QProcess;
class WorkerThread;

namespace Fjarnis2011 {
namespace FJComm {
class Bluetooth;
}
}  // namespace Fjarnis2011

namespace Ui {
class Connect;
}

// The page on which the user chooses how to reach the receiver (method,
// manufacturer, port, baud rate or automatic search, device series) and opens
// or closes the connection. It hands the choices to DeviceManager, watches
// the opening in a ConnectingProgress dialog and remembers the last good
// connection.
class Connect : public Widget {
    Q_OBJECT

public:
    // Roles of the Bluetooth list: the search row's state, a device's name
    // and its address.
    static constexpr int kSearchStateRole = Qt::UserRole + 1;
    static constexpr int kDeviceNameRole = Qt::UserRole + 2;
    static constexpr int kDeviceAddressRole = Qt::UserRole + 3;
    // How long one connection attempt may take before it is given up.
    static constexpr int kConnectTimeoutMs = 60000;

    explicit Connect(QWidget* parent = nullptr);
    ~Connect() override;

    // The page itself, for the handheld's device-found callback.
    static Connect* current();

    void refresh() override;

    void setControlsEnabled(bool enabled);
    void updateSearchItem(int state);
    // A device the search found: listed when its name has "GNSS-".
    void addDeviceItem(const QString& name, uint64_t address);
    // Removes every device row and forgets their addresses.
    void clearDeviceRows();

    int resultCode() const { return resultCode_; }
    int connectionMethod() const { return connectionMethod_; }
    int portNumber() const { return portNumber_; }
    QAction* backAction() const { return back_; }
    QAction* connectAction() const { return connect_; }
    QAction* breakAction() const { return break_; }

signals:
    void backToMenu();

public slots:
    void onConnectSucceeded();
    void onConnectingCanceled();
    void onConnectionFailed();
    void onConnect();
    void onDisConn();
    void onConnectionTypeChanged(int index);
    void on_comboBox_manufacture_currentIndexChanged(int index);
    void on_comboBox_port_currentIndexChanged(int index);
    void on_cbAuto_stateChanged(int state);
    void exec();
    void onSearch();
    void onStop();
    void onItemDoubleClicked(QListWidgetItem* item);
    void onItemClicked(QListWidgetItem* item);
    void onBtSystemClicked();
#ifdef BRANTOR_HANDHELD
    void onSearchFinished();
#endif

private:
    void fillForm();
    void loadLastConnection();
    void setUpDeviceList();
    void setUpWirelessManager();
    void makeProgressDialog();
    // The build's Bluetooth search (empty on the desktop): made with the
    // device list, released by the destructor.
    void createBluetoothSearch();
    void releaseSearchObjects();
    // Binds the chosen device to the port before connecting (the desktop
    // reaches it through a port the system bound); true when resultCode is 0.
    bool bindSelectedDevice();
    void moveDeviceToFront(int row);
    void saveConnection();
    void dropObserverBindings();
    void showResult(int code);
    int connectionState() const;

    Ui::Connect* ui_;
    QWidget* parentWindow_;
    QAction* back_ = nullptr;
    QAction* connect_ = nullptr;
    QAction* break_ = nullptr;

    int connectionMethod_ = 0;
    int portNumber_ = 1;
    int resultCode_ = 0;
    int currentDeviceRow_ = 1;
    int previousDeviceRow_ = 1;
    std::vector<uint64_t> boundAddresses_;
    BtBindingsConfig* bindingsStore_ = nullptr;
    QProcess* wirelessManager_ = nullptr;
    ConnectingProgress* progress_ = nullptr;
    bool listSetUp_ = false;
    bool processSetUp_ = false;
    bool searchStopping_ = false;
    WorkerThread* searchWorker_ = nullptr;
    Fjarnis2011::FJComm::Bluetooth* searchTask_ = nullptr;
    // True from the start of a connection attempt until its progress dialog
    // has ended: the replies of an attempt that is over are not acted on.
    bool attempting_ = false;
};
