#include "program/pages/SourceList.h"

#include <QComboBox>
#include <QSet>

QStringList UniqueSourceNames(const QStringList& names) {
    QStringList unique;
    unique.reserve(names.size());
    QSet<QString> seen;
    seen.reserve(names.size());
    for (const QString& name : names) {
        const qsizetype before = seen.size();
        seen.insert(name);
        if (seen.size() != before) unique.append(name);
    }
    return unique;
}

void FillSourceList(QComboBox* box, const QStringList& names) {
    if (!box) return;
    const QStringList unique = UniqueSourceNames(names);
    // One model insertion instead of one per name, and no drawing between
    // the clear and the selection.
    const bool updates = box->updatesEnabled();
    box->setUpdatesEnabled(false);
    box->clear();
    box->addItems(unique);
    if (!unique.isEmpty()) box->setCurrentIndex(0);
    box->setUpdatesEnabled(updates);
}
