// A combo box whose items are shown whole: its list stays as wide as its
// longest item through every change of the items, whether they come one at
// a time or all at once.

#include "program/pages/PageFields.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QStandardItemModel>

#include <functional>

namespace {

QStringList Items(const QComboBox& box) {
    QStringList out;
    for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
    return out;
}

// The list width of a box given these items in one go: what the box under
// test must show after any road to the same items.
int FreshWidth(const QStringList& items) {
    QComboBox box;
    box.setEditable(true);
    pagefields::ShowItemsWhole(&box);
    box.addItems(items);
    return box.view()->minimumWidth();
}

int TextWidth(const QComboBox& box, const QString& text) {
    return box.view()->fontMetrics().horizontalAdvance(text);
}

const QString kShort = QStringLiteral("MP1");
const QString kMiddle = QStringLiteral("RTCM3_MOUNT");
const QString kLong = QStringLiteral("VRS_RTCM32_GPS_GLONASS_GALILEO_BEIDOU");

// Each change of the items refits the list: it widens for a longer item
// and shrinks when the longest goes or gets shorter.
TEST(PageFieldsListWidthTest, EveryChangeOfTheItemsRefitsTheList) {
    const struct {
        const char* what;
        std::function<void(QComboBox&)> change;
        QStringList items;
        bool widerThanLong;  // else narrower than the long name
    } cases[] = {
        {"a long item added", [](QComboBox& b) { b.addItem(kLong); }, {kShort, kMiddle, kLong}, true},
        {"a long item inserted first", [](QComboBox& b) { b.insertItem(0, kLong); }, {kLong, kShort, kMiddle}, true},
        {"the long item removed",
         [](QComboBox& b) {
             b.addItem(kLong);
             b.removeItem(2);
         },
         {kShort, kMiddle},
         false},
        {"the long item renamed short",
         [](QComboBox& b) {
             b.addItem(kLong);
             b.setItemText(2, kShort);
         },
         {kShort, kMiddle, kShort},
         false},
        {"a short item renamed long", [](QComboBox& b) { b.setItemText(0, kLong); }, {kLong, kMiddle}, true},
        {"the items cleared", [](QComboBox& b) { b.clear(); }, {}, false},
        {"the model reset",
         [](QComboBox& b) {
             b.addItem(kLong);
             auto* model = static_cast<QStandardItemModel*>(b.model());
             model->clear();
             model->appendRow(new QStandardItem(kShort));
         },
         {kShort},
         false},
        {"data behind an item changed", [](QComboBox& b) { b.setItemData(1, 42); }, {kShort, kMiddle}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QComboBox box;
        box.setEditable(true);
        box.addItems({kShort, kMiddle});
        pagefields::ShowItemsWhole(&box);
        const int before = box.view()->minimumWidth();
        EXPECT_GE(before, TextWidth(box, kMiddle));
        c.change(box);
        ASSERT_EQ(Items(box), c.items);
        EXPECT_EQ(box.view()->minimumWidth(), FreshWidth(c.items));
        if (c.widerThanLong) {
            EXPECT_GE(box.view()->minimumWidth(), TextWidth(box, kLong));
        } else {
            EXPECT_LT(box.view()->minimumWidth(), TextWidth(box, kLong));
        }
        if (c.items.isEmpty()) {
            EXPECT_EQ(box.view()->minimumWidth(), 0);
        }
    }
}

// Thousands of items added one by one, or inserted among others, fit the
// list as the same items given at once do.
TEST(PageFieldsListWidthTest, ItemsAddedOneByOneFitAsItemsGivenAtOnce) {
    QStringList items;
    for (int i = 0; i < 2000; ++i)
        items << QStringLiteral("Caster %1 %2").arg(i).arg(QString(i % 23, QLatin1Char('W')));
    QComboBox box;
    box.setEditable(true);
    pagefields::ShowItemsWhole(&box);
    for (const QString& item : std::as_const(items)) box.addItem(item);
    EXPECT_EQ(box.view()->minimumWidth(), FreshWidth(items));
    // One longer than all of them, put in the middle, then taken out again.
    box.insertItem(1000, kLong + kLong);
    EXPECT_GE(box.view()->minimumWidth(), TextWidth(box, kLong + kLong));
    box.removeItem(1000);
    EXPECT_EQ(box.view()->minimumWidth(), FreshWidth(items));
}

}  // namespace
