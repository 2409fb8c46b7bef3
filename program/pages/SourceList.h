#pragma once

// The mount-point list of the network link form. A caster's source table may
// name tens of thousands of mount points, so the list is made in one pass:
// one set of the names seen, then one insertion of the whole list while the
// box draws nothing.

#include <QStringList>

class QComboBox;

// The names in the order first seen, each once (exact, case-sensitive).
QStringList UniqueSourceNames(const QStringList& names);

// Empties the box, lists each name once in the order first seen and selects
// the first name when there is one.
void FillSourceList(QComboBox* box, const QStringList& names);
