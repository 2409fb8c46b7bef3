#pragma once

#include <QComboBox>
#include <QValidator>
#include <QVariant>

#include <functional>
#include <optional>

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

// A field's input rule with the words that tell it: `check` says what the
// field takes, `why` names the part of the rule a refused text breaks ("at
// most 20 characters", "1 to 65535"), so a refusal can say why. A rule made
// by the functions below tells the same words wherever it applies.
struct Rule {
    QValidator* check = nullptr;
    std::function<QString(const QString&)> why;
};

// A field's input rule that never takes a keystroke back: text the rule
// refuses outright stands in the field as unfinished input, and "Set"
// refuses it where the user sees it, naming the field and its rule. A rule
// that dropped keystrokes would turn a port "99999" into "9999" or an APN
// "intérnet" into "intrnet" without a word, and the page would then send
// what nobody typed.
class KeepTypedValidator : public QValidator {
public:
    // `rule` becomes this validator's child.
    KeepTypedValidator(QValidator* rule, QObject* parent);
    State validate(QString& input, int& pos) const override;
    // The text stays as the user left it.
    void fixup(QString&) const override {}
    const QValidator* rule() const { return rule_; }
    // The field's name as its page shows it, and the rule's words.
    void describe(const QString& label, std::function<QString(const QString&)> why);
    // "<field>: <rule>" for a text the rule does not accept; empty for one
    // it accepts.
    QString refusal(const QString& text) const;

private:
    QValidator* rule_;
    QString label_;
    std::function<QString(const QString&)> why_;
};

// Puts `rule` on `field` through a KeepTypedValidator owned by the field;
// `label` is the field's name in the refusal, an English text of the
// "PageFields" translation context (mark it with QT_TRANSLATE_NOOP).
void SetRule(QLineEdit* field, const char* label, Rule rule);

// The whole number `text` holds, from `min` to `max`: ASCII digits 0 to 9
// alone, with a leading "-" only where `min` is below zero. A sign the range
// does not need, white space, a group separator or digits of another
// script ("+2101", " 2101", "2.101", Arabic-Indic or full-width digits) make
// no number, and what is no number never reads as 0. The one reading of a whole-number field: its
// rule accepts exactly the texts this reads, and its page sends what this
// gives (see WholeNumberOf).
std::optional<int> ReadWholeNumber(const QString& text, int min, int max);

// A whole number from `min` to `max` as ReadWholeNumber reads it. Told as
// "0 to 90".
Rule WholeNumber(int min, int max);
// A server's port: 1 to 65535 (port 0 reaches no server).
Rule Port();
// The number a field with a WholeNumber or Port rule holds, read by its own
// rule; none for a text the rule refuses, an empty field, or a field with
// no such rule. What "Set" lets through is what a page sends.
std::optional<int> WholeNumberOf(const QLineEdit* field);

// A decimal number in plain ASCII digits with a comma or a point as its
// decimal mark, in every locale (a German desktop types "1,5", an English
// one may too, a copied value says "1.5"), as ReadDecimal reads it.
Rule Decimal();
// The number a Decimal field holds: ASCII digits, an optional sign, and at
// most one decimal mark, "," or "."; no white space, no group separator.
// False for a text that is not one.
bool ReadDecimal(const QString& text, double& value);

// Whole Latin-1 characters but NUL, 1 to `maxChars` of them: what a fixed
// one-byte text field of the receiver's records holds.
Rule Latin1Text(int maxChars);
// 1 to `maxChars` characters, none of \ / < > * ? : " | (server names,
// which the settings files carry; they may hold spaces).
Rule Name(int maxChars);
// A caster's mount point: 1 to `maxChars` visible Latin-1 characters, none
// of \ / < > * ? : " |. The caster is asked for it in its request line,
// where a space ends the name and a control character breaks the line, and
// the receiver holds it in one-byte characters.
Rule MountPoint(int maxChars);
// 1 to `maxChars` ASCII characters but NUL (the modem's APN and number).
Rule AsciiText(int maxChars);
// 1 to `maxChars` letters, digits, underscores and minus signs.
Rule Word(int maxChars);
// A caster login's user name or password: 1 to `maxChars` printable ASCII
// characters. The receiver sends the login as HTTP Basic authentication,
// whose bytes carry no character set: a "é" would reach the caster as a
// byte it reads some other way, and the login would fail unseen. A user
// name takes no colon either, which would split it from the password.
Rule CasterLogin(int maxChars, bool userName);

// True for a dotted IPv4 address: four decimal numbers 0 to 255 of up to
// three digits each, none with a leading zero ("1.2.3.04" is refused, not
// read as octal by one program and as decimal by the next).
bool IsIpv4Address(const QString& text);
// True for a host name of at most `maxBytes` characters: letters, digits and
// hyphens in dot-separated labels, the last of which is not a number alone
// (so "300.1.1.1" is a mistyped address, not a name).
bool IsHostName(const QString& text, int maxBytes);
// Why `text` is no correction server's address, as "Address: <rule>";
// empty when it is one (a dotted address, or a host name of at most
// `maxBytes` characters where `hostNames` allows one). A mistyped dotted
// address is told the same whether or not a host name would do.
QString AddressRefusal(const QString& text, bool hostNames, int maxBytes);

// A correction server's address: a dotted IPv4 address or a host name of
// at most `maxBytes` characters.
Rule ServerAddress(int maxBytes);

// True when "Set" may take the field's text: it is empty (whether it may be
// is the missing-field check's business), or the field has no rule, or its
// rule accepts the whole text as it stands ("95" against 0 to 90 is only
// the beginning of something acceptable, and is not).
bool Acceptable(const QLineEdit* field);

// "<field>: <rule>" for a field whose text is not Acceptable; empty for
// one that is.
QString Refusal(const QLineEdit* field);

// Marks `field` red, as a missing field is marked (with its editable combo
// box), when its text is not Acceptable, and appends its refusal to
// `refusals`; the mark goes at the field's next edit. True when it is
// Acceptable.
bool MarkRefused(QLineEdit* field, QStringList* refusals = nullptr);

// Marks every line edit under `form` that the user sees and may edit
// (editable combo boxes included, spin boxes left to their pages) as
// MarkRefused does, its refusals appended to `refusals` in the form's
// order. True when there is none.
bool MarkRefusedFields(QWidget* form, QStringList* refusals = nullptr);

// The text of the box that refuses a form: `missingText` (the page's own
// words for empty fields) when fields are missing, then one line for each
// refused field.
QString RefusalMessage(bool missing, const QString& missingText, const QStringList& refusals);

// A form's check on Set: marks its refused fields as MarkRefusedFields does
// and, when fields are `missing` or refused or the form's own checks found
// `more` to refuse, tells them all in one "Error" box over `form`
// (`missingText` first, then each field's refusal, then `more`). True when
// the form is refused and nothing may be sent.
bool RefuseForm(QWidget* form, bool missing, const QString& missingText, const QStringList& more = {});

}  // namespace pagefields
