#pragma once

#include "program/Widget.h"

class QComboBox;
class QLineEdit;

namespace Ui {
class Callsign;
}

// The page "Call Sign": whether the internal radio sends its call sign,
// every how many minutes, and the message. It talks to no receiver: the data
// link page hands the values in through the parameter map, and the page
// hands the edited values back the same way when the user leaves it.
class Callsign : public Widget {
    Q_OBJECT

public:
    static constexpr int kMessageLength = 14;

    explicit Callsign(QWidget* parent = nullptr);
    ~Callsign() override;

    void setParams(QHash<QString, QVariant>& params) override;
    bool writesSettings() const override;

    QComboBox* stateField() const;
    QLineEdit* intervalField() const;
    QLineEdit* messageField() const;

signals:
    void finish();

public slots:
    void onBack();

private:
    Ui::Callsign* ui_;
};
