#pragma once

#include <QComboBox>
#include <QValidator>
#include <QVariant>

class QLineEdit;
class QWidget;

// Small helpers the setting pages share: their combo boxes, whose items
// carry the receiver's codes as item data, and the input rules of their
// fields.
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

// Shows every item of `box` whole although the box does not widen its form
// for them (long mount points or antenna names must not push a page past a
// 240-pixel screen): its list opens as wide as its longest item, whatever
// was inserted, removed or renamed since, and the box shows its text from the
// start, not the end that an editor scrolled to. An insertion measures only
// the items it brings, so a list filled one item at a time costs no more
// than one filled at once.
void ShowItemsWhole(QComboBox* box);

// A field's input rule that never takes a keystroke back: text the rule
// refuses outright stands in the field as unfinished input, and "Set"
// refuses it where the user sees it. A rule that dropped keystrokes would
// turn a port "99999" into "9999" or an APN "intérnet" into "intrnet"
// without a word, and the page would then send what nobody typed.
class KeepTypedValidator : public QValidator {
public:
    // `rule` becomes this validator's child.
    KeepTypedValidator(QValidator* rule, QObject* parent);
    State validate(QString& input, int& pos) const override;
    // The text stays as the user left it.
    void fixup(QString&) const override {}
    const QValidator* rule() const { return rule_; }

private:
    QValidator* rule_;
};

// Puts `rule` on `field` through a KeepTypedValidator owned by the field.
void SetRule(QLineEdit* field, QValidator* rule);

// A whole number from `min` to `max` in plain digits: no group separator,
// which the page's reading of the text would not take.
QValidator* WholeNumber(int min, int max, QObject* parent = nullptr);

// A decimal number in plain digits with a decimal point (never a comma,
// whatever the desktop's language), as the page reads it.
QValidator* PlainDecimal(QObject* parent = nullptr);

// Whole Latin-1 characters but NUL, 1 to `maxChars` of them: what a fixed
// one-byte text field of the receiver's records holds.
QValidator* Latin1Text(int maxChars, QObject* parent = nullptr);

// True for a dotted IPv4 address: four decimal numbers 0 to 255 of up to
// three digits each.
bool IsIpv4Address(const QString& text);
// True for a host name of at most `maxBytes` characters: letters, digits and
// hyphens in dot-separated labels, the last of which is not a number alone
// (so "300.1.1.1" is a mistyped address, not a name).
bool IsHostName(const QString& text, int maxBytes);

// A correction server's address: a dotted IPv4 address or a host name of
// at most `maxBytes` characters.
QValidator* ServerAddress(int maxBytes, QObject* parent = nullptr);

// True when "Set" may take the field's text: it is empty (whether it may be
// is the missing-field check's business), or the field has no rule, or its
// rule accepts the whole text as it stands ("95" against 0 to 90 is only
// the beginning of something acceptable, and is not).
bool Acceptable(const QLineEdit* field);

// Marks red, as a missing field is marked, every line edit under `form` that
// the user sees and may edit (editable combo boxes included, spin boxes
// left to their pages) whose text is not Acceptable; a marked field loses
// its mark at its next edit. True when there is none.
bool MarkRefusedFields(QWidget* form);

}  // namespace pagefields
