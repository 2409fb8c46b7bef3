// The mount-point list of the network link form, filled from the names of
// a source table.

#include "program/pages/SourceList.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QSignalSpy>

namespace {

QStringList Items(const QComboBox& box) {
    QStringList out;
    for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
    return out;
}

// Each name once, in the order first seen, exact and case-sensitive; the
// first name selected; what the box listed before goes.
TEST(SourceListTest, NamesAreListedOnceInTheOrderFirstSeen) {
    const struct {
        const char* what;
        QStringList names;
        QStringList listed;
    } cases[] = {
        {"repeats", {"B", "A", "B", "C", "A"}, {"B", "A", "C"}},
        {"case and space count", {"mp", "MP", "MP ", "mp"}, {"mp", "MP", "MP "}},
        {"an empty name is a name", {"", "A", ""}, {"", "A"}},
        {"none", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QComboBox box;
        box.setEditable(true);
        box.addItems({"OLD1", "OLD2"});
        box.setCurrentIndex(1);
        FillSourceList(&box, c.names);
        EXPECT_EQ(Items(box), c.listed);
        EXPECT_EQ(box.currentIndex(), c.listed.isEmpty() ? -1 : 0);
        EXPECT_EQ(UniqueSourceNames(c.names), c.listed);
        EXPECT_TRUE(box.updatesEnabled());
    }
}

// The whole list goes into the box's model in one insertion, so the view
// and the completer react once, not once per name.
TEST(SourceListTest, TheListGoesInAtOnce) {
    QStringList names;
    for (int i = 0; i < 5000; ++i) names << QStringLiteral("M%1").arg(i);
    QComboBox box;
    box.setEditable(true);
    QSignalSpy inserted(box.model(), &QAbstractItemModel::rowsInserted);
    FillSourceList(&box, names);
    EXPECT_EQ(inserted.count(), 1);
    EXPECT_EQ(box.count(), 5000);
    EXPECT_EQ(box.currentText(), QStringLiteral("M0"));
}

}  // namespace
