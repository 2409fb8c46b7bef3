#pragma once

#include "program/ConfigFiles.h"
#include "program/RadioTables.h"
#include "program/Widget.h"

#include "protocol/Em_SolutionTypes.h"

#include <cstdint>
#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QEvent;
class QPushButton;

namespace Ui {
class DataChain_Radio;
}

// Frequencies on the radio's channel grid, worked in whole units of
// 0.0001 MHz so that a value typed as 463.1125 is exactly on a 12.5 kHz line
// and no binary fraction decides which way it rounds.
namespace radiogrid {

// v MHz in units of 0.0001 MHz, to the nearest whole unit (an exact half
// goes to the even unit, as printing with no decimals does). A value that is
// not a number counts as 0; one beyond any radio is held at +-1e15 units.
int64_t toUnits(double v);
// True when v does not lie on a grid line lower + n x step. A step of 0 or
// less has no lines, so nothing is off it.
bool offGrid(double v, double lower, double step);
// v moved to the nearer line of its grid step inside [lower, upper]; a value
// exactly half-way goes down. A value on a line, outside the range, or with
// no grid to go by (a step of 0 or less, or a range that holds no whole
// step) comes back as it is, to 0.0001 MHz.
double gridValue(double v, double lower, double upper, double step);

}  // namespace radiogrid

// The internal UHF radio's settings as the data link page shows them below
// its link choice: protocol, channel spacing, air baud rate, channel table
// band, channel and frequency, transmit power, sensitivity, FEC and the call
// sign. What the radio offers comes from its reported radio information; the
// data link page drives the reads and writes through the operations below.
class DataChain_Radio : public Widget {
    Q_OBJECT

public:
    using Radio_Info = Fjarnis2011::FJParse::Radio_Info;
    using Radio_Callsign = Fjarnis2011::FJParse::Radio_Callsign;

    // Bits of the read masks, one per value asked of the radio.
    static constexpr uint32_t kPowerBit = 0x80;
    static constexpr uint32_t kBaudBit = 0x400;
    static constexpr uint32_t kSensitivityBit = 0x800;
    static constexpr uint32_t kSpacingBit = 0x1000;
    static constexpr uint32_t kFecBit = 0x2000;
    static constexpr uint32_t kCallsignBit = 0x4000;
    // The protocol that has forward error correction.
    static constexpr int kFecProtocol = 8;

    explicit DataChain_Radio(QWidget* parent = nullptr);
    ~DataChain_Radio() override;

    // The call-sign settings the page writes; the data link page hands them
    // to and from the call sign page.
    Radio_Callsign callsign{};
    // Set while the user edits the call sign on its own page; the data link
    // page sets and clears it, the page only keeps it.
    bool inSetting = false;

    // Empties the form and binds the fields' signals; run before each load.
    void resetForm();
    // Shows what the radio offers and asks for its current values; gotData()
    // follows when every asked value has come (at once when none was asked).
    void load();
    // Selects the protocol with this code; 0 selects the first.
    void setProtocol(int code);
    void watchReceiver(bool on);
    void setFieldsEnabled(bool enabled);
    // 1 valid, 0 a field missing (marked red), -1 the frequency out of the
    // radio's range (already told to the user).
    int check();
    void apply();
    bool noReply() const { return receivedMask_ == 0; }

    QPushButton* callsignButton() const;
    uint32_t requestedMask() const { return requestedMask_; }
    uint32_t receivedMask() const { return receivedMask_; }
    double freqStep() const { return freqStep_; }

signals:
    void gotData();

public slots:
    void onRadioPower();
    void onRadioBaudrate();
    void onRadioSensitive();
    void onRadioFreqStep();
    void onRadioFEC();
    void onRadioCallsign();
    void onProtocolChanged(int index);
    void onChannelChanged(int index);
    void onFreqChanged(double f);
    void updateChannelTypeByFreq(double f);
    void on_comboBox_sendPower_currentIndexChanged();
    void onStepAndProChanged();
    void InitCallsign();
    void onFreqStepChanged(int index);
    void onChannelTypeChanged(int index);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
#ifdef BRANTOR_HANDHELD
    // A tap beside the fields takes the focus from the field being edited,
    // so that the soft keyboard lets go of it.
    void mousePressEvent(QMouseEvent* event) override;
#endif

private:
    void ask(uint32_t bit);
    void replied(uint32_t bit);
    void loadChannels(double f);
    void applyChannel();
    // The channel's table frequency, or the free channel's for a channel the
    // (hand-edited) table does not reach.
    bool isFreeChannel(int channel) const;
    int currentChannel() const;
    void selectTypeSilently(int index);
    void setFrequencySilently(double f);
    void fillBaudList(uint8_t otaBaudSet);
    void fillPowerList(uint32_t powerBits);
    static void selectByData(QComboBox* box, int code);
    static void clampCallsign(Radio_Callsign& record);

    Ui::DataChain_Radio* ui_;
    Radio_Info info_{};
    std::vector<double> channelFreqs_;
    uint32_t requestedMask_ = 0;
    uint32_t receivedMask_ = 0;
    bool powerShown_ = false;
    bool baudQuery_ = false;
    bool baudSettable_ = false;
    bool sensitivityShown_ = false;
    bool spacingShown_ = false;
    bool fecCapable_ = false;
    bool callsignShown_ = false;
    bool typeShown_ = false;
    bool fecApplies_ = false;
    RadioChannelStore channelStore_;
    SatelBaudrateConfig baudTable_;
    double freqStep_ = 0.0;
};
