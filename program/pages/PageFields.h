#pragma once

#include <QComboBox>
#include <QVariant>

// Small helpers the setting pages share for their combo boxes, whose items
// carry the receiver's codes as item data.
namespace pagefields {

// The index of the first item whose data, read as an integer, is `value`;
// -1 when none.
inline int IndexOfData(const QComboBox* box, int value) {
    for (int i = 0; i < box->count(); ++i) {
        bool ok = false;
        const int data = box->itemData(i).toInt(&ok);
        if (ok && data == value) return i;
    }
    return -1;
}

// Selects the item of `value`; with none, no item is selected.
inline void SelectData(QComboBox* box, int value) { box->setCurrentIndex(IndexOfData(box, value)); }

}  // namespace pagefields
