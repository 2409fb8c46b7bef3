#pragma once

#include "program/RadioTables.h"
#include "program/Widget.h"

class QTableWidget;

namespace Ui {
class RadioChannelWidgetClass;
}

// The page "Radio Channel": the radio channel table, read only, for the band
// the connected radio works in, or all three bands side by side for a radio
// that has them all. It talks to no receiver; the radio's module code comes
// from the last reported radio information.
class RadioChannelWidget : public Widget {
    Q_OBJECT

public:
    static constexpr int kChannels = 10;

    explicit RadioChannelWidget(QWidget* parent = nullptr);
    ~RadioChannelWidget() override;

    void refresh() override;
    QTableWidget* table() const;

public slots:
    void onListSort(int column);

private:
    // Room in the header for the band titles as they wrap at the columns'
    // width.
    void fitHeaderHeight();

    Ui::RadioChannelWidgetClass* ui_;
    RadioChannelStore channelStore_;
    bool fitPending_ = false;
};
