#pragma once

#include "program/Widget.h"

#include <QList>

#include <cstdint>

class DataChain_Net;
class DataChain_Radio;
class QAction;

namespace Ui {
class DataChain;
}

// The page "GPRS And Internal UHF": the receiver's correction data link,
// either the internal modem or the internal radio. It learns which one the
// receiver uses, shows the matching form below its link choice, lets that
// form read its values, and on "Set" hands the write to the form shown. It
// also carries the radio's call sign to and from the call sign page. On a
// receiver of the maker's new protocol it offers the network form alone.
class DataChain : public Widget {
    Q_OBJECT

public:
    static constexpr uint32_t kLinkTypeBit = 16;
    static constexpr int kLinkTypeWaitMs = 5000;
    static constexpr int kNetWaitMs = 10000;
    static constexpr int kRadioWaitMs = 15000;
    static constexpr int kSetPauseMs = 2000;

    explicit DataChain(QWidget* parent = nullptr);
    ~DataChain() override;

    void refresh() override;
    void setParams(QHash<QString, QVariant>& params) override;
    bool writesSettings() const override;

    DataChain_Net* netPage() const { return net_; }
    DataChain_Radio* radioPage() const { return radio_; }
    // The form in the page's grid now, or null.
    QWidget* shownPage() const { return shown_.isEmpty() ? nullptr : shown_.first(); }
    int linkMode() const { return linkMode_; }

signals:
    void command(QString name);

public slots:
    void sendCommand();
    void onDataLinkTypeChanged(int index);
    void setInfo();
    void onSetTimeout();
    void onRadioProtocol();
    void onSetEditorEnabled(bool enabled);
    void onEnableNetInterface(bool enabled);
    void onGotRadioData();
    void onCallsign();

private:
    void watchLinkType(bool on);
    void resetLinkType();
    void setPageEnabled(bool enabled);
    void swapIn(QWidget* page);
    void showNetPage();
    void showRadioPage();
    bool validate();

    Ui::DataChain* ui_;
    DataChain_Radio* radio_;
    DataChain_Net* net_;
    QList<QWidget*> shown_;
    QAction* back_;
    QAction* get_;
    QAction* set_;
    int linkMode_ = 0;
    // The link type is the page's own read; each form's read is awaited
    // here too, and the form tells when it has its values.
    PageRead netRead_;
    PageRead radioRead_;
};
