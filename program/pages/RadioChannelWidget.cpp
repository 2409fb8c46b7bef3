#include "program/pages/RadioChannelWidget.h"

#include "program/DeviceManager.h"
#include "ui_RadioChannelWidget.h"

#include <QAction>
#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

#include <vector>

namespace {

// Each cell knows its channel number, so the row labels can follow a sort.
constexpr int kChannelRole = Qt::UserRole + 1;

// The band of a radio that works in all three.
constexpr int kAllBands = 3;

// A frequency cell: shown with two decimals, sorted by its value (as text,
// 1000.00 would come before 415.05).
class FrequencyItem : public QTableWidgetItem {
public:
    FrequencyItem(double mhz, int channel) : QTableWidgetItem(QString::number(mhz, 'f', 2)), mhz_(mhz) {
        setData(kChannelRole, channel);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        if (const auto* f = dynamic_cast<const FrequencyItem*>(&other)) return mhz_ < f->mhz_;
        return QTableWidgetItem::operator<(other);
    }

private:
    double mhz_;
};

}  // namespace

RadioChannelWidget::RadioChannelWidget(QWidget* parent) : Widget(parent), ui_(new Ui::RadioChannelWidgetClass) {
    ui_->setupUi(this);
    setWindowTitle(tr("Radio Channel"));
    QAction* back = createAction(tr("Back"), this);
    if (parent) connect(back, &QAction::triggered, parent, &QWidget::close);
    QHeaderView* header = ui_->tableWidget->horizontalHeader();
    header->setSortIndicatorShown(true);
    // The columns share the page's width; on a narrow screen a band's title
    // goes onto more lines rather than being cut.
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setDefaultAlignment(Qt::Alignment(Qt::AlignCenter | Qt::TextWordWrap));
    // The sections are resized one by one; the height is worked out once
    // they all have their new widths.
    connect(header, &QHeaderView::sectionResized, this, [this] {
        if (fitPending_) return;
        fitPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                fitPending_ = false;
                fitHeaderHeight();
            },
            Qt::QueuedConnection);
    });
    connect(header, &QHeaderView::sectionClicked, this, &RadioChannelWidget::onListSort);
}

RadioChannelWidget::~RadioChannelWidget() {
    delete ui_;
    clearActions();
}

QTableWidget* RadioChannelWidget::table() const { return ui_->tableWidget; }

void RadioChannelWidget::refresh() {
    QTableWidget* table = ui_->tableWidget;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setHighlightSections(false);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);

    DeviceManager::Radio_Info info{};
    DeviceManager::instance()->radioInfo(info);
    const int band = RadioChannelStore::bandOfRadioCode(int32_t(info.moduleCode));

    std::vector<int> bands;
    QStringList headers;
    if (band == kAllBands) {
        bands = {0, 1, 2};
        headers << tr("High Freq.( MHz )") << tr("Middle Freq.( MHz )") << tr("Low Freq.( MHz )");
    } else {
        bands = {band};
        headers << tr("Frequency( MHz )");
    }
    table->setColumnCount(int(bands.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setRowCount(kChannels);
    QStringList rows;
    for (int r = 0; r < kChannels; ++r) rows << QString::number(r);
    table->setVerticalHeaderLabels(rows);

    std::vector<double> list;
    for (int c = 0; c < int(bands.size()); ++c) {
        channelStore_.frequencies(bands[size_t(c)], list);
        // Rows beyond the ten labelled ones are not offered by the table.
        for (int r = 0; r < int(list.size()) && r < table->rowCount(); ++r)
            table->setItem(r, c, new FrequencyItem(list[size_t(r)], r));
    }
    fitHeaderHeight();
}

void RadioChannelWidget::fitHeaderHeight() {
    QHeaderView* header = ui_->tableWidget->horizontalHeader();
    QTableWidget* table = ui_->tableWidget;
    const QFontMetrics metrics(header->font());
    // A section's text has the style's margins on both sides and the sort
    // mark beside it.
    QStyle* style = header->style();
    const int margin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int mark = style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    int lines = 1;
    for (int c = 0; c < table->columnCount(); ++c) {
        const QTableWidgetItem* item = table->horizontalHeaderItem(c);
        if (!item) continue;
        const int width = std::max(1, header->sectionSize(c) - 2 * margin - mark);
        const QRect text = metrics.boundingRect(QRect(0, 0, width, 100000), Qt::AlignCenter | Qt::TextWordWrap,
                                                item->text());
        lines = std::max(lines, (text.height() + metrics.lineSpacing() - 1) / metrics.lineSpacing());
    }
    header->setMinimumHeight(lines * metrics.lineSpacing() + 2 * margin + 2);
}

void RadioChannelWidget::onListSort(int column) {
    QTableWidget* table = ui_->tableWidget;
    table->sortItems(column, table->horizontalHeader()->sortIndicatorOrder());
    // The table moves the cells but not the row labels: each row keeps the
    // number of the channel whose frequencies it now shows.
    for (int r = 0; r < table->rowCount(); ++r) {
        const QTableWidgetItem* cell = table->item(r, 0);
        if (!cell) continue;
        if (QTableWidgetItem* label = table->verticalHeaderItem(r))
            label->setText(QString::number(cell->data(kChannelRole).toInt()));
    }
}
