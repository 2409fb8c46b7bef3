#include "program/pages/PageFields.h"

#include "program/CommonHelper.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>

#include <algorithm>
#include <charconv>
#include <memory>

namespace pagefields {

namespace {

// The widest item of rows `first` to `last` of the box's list, as the list
// draws it; 0 for none.
int WidestItem(const QComboBox* box, int first, int last) {
    const QAbstractItemView* view = box->view();
    const QAbstractItemModel* model = box->model();
    int widest = 0;
    for (int row = first; row <= last; ++row)
        widest = std::max(widest,
                          view->sizeHintForIndex(model->index(row, box->modelColumn(), box->rootModelIndex())).width());
    return widest;
}

// The list's width for an item `widest` pixels wide, with the list's frame
// and room for its scroll bar.
void FitListWidth(QComboBox* box, int widest) {
    QAbstractItemView* view = box->view();
    const int frame = 2 * view->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, view);
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(widest > 0 ? widest + frame + scrollBar : 0);
}

// True when only the data a box keeps behind its items changed (a server's
// key): the items are drawn as wide as before.
bool OnlyItemDataChanged(const QList<int>& roles) {
    return !roles.isEmpty() && std::all_of(roles.begin(), roles.end(), [](int role) { return role >= Qt::UserRole; });
}

}  // namespace

void ShowItemsWhole(QComboBox* box) {
    if (!box) return;
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (box->minimumContentsLength() < 2) box->setMinimumContentsLength(2);
    QAbstractItemModel* model = box->model();
    // The widest item listed. A list may be filled with thousands of names,
    // one insertion at a time, so an insertion measures only the rows it
    // brings; a removal, a reset or a changed text may have taken the widest
    // away, so those measure the list anew.
    auto widest = std::make_shared<int>(0);
    const auto refit = [box, widest] {
        const int rows = box->model()->rowCount(box->rootModelIndex());
        *widest = WidestItem(box, 0, rows - 1);
        FitListWidth(box, *widest);
    };
    QObject::connect(model, &QAbstractItemModel::rowsInserted, box,
                     [box, widest](const QModelIndex& parent, int first, int last) {
                         // Rows under another item are not in the list.
                         if (parent != box->rootModelIndex()) return;
                         const int inserted = WidestItem(box, first, last);
                         if (inserted <= *widest) return;
                         *widest = inserted;
                         FitListWidth(box, *widest);
                     });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, box, refit);
    QObject::connect(model, &QAbstractItemModel::modelReset, box, refit);
    QObject::connect(model, &QAbstractItemModel::dataChanged, box,
                     [refit](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                         if (!OnlyItemDataChanged(roles)) refit();
                     });
    refit();
    if (QLineEdit* editor = box->lineEdit()) {
        // A name chosen from the list, or put in by the program, shows from
        // its start; while the user types, the editor follows the cursor as
        // usual.
        QObject::connect(box, &QComboBox::currentIndexChanged, editor, [editor] { editor->setCursorPosition(0); });
        QObject::connect(editor, &QLineEdit::textChanged, editor, [editor] {
            if (!editor->hasFocus()) editor->setCursorPosition(0);
        });
        QObject::connect(editor, &QLineEdit::editingFinished, editor, [editor] { editor->setCursorPosition(0); });
    }
}

KeepTypedValidator::KeepTypedValidator(QValidator* rule, QObject* parent) : QValidator(parent), rule_(rule) {
    if (rule_) rule_->setParent(this);
}

QValidator::State KeepTypedValidator::validate(QString& input, int& pos) const {
    if (!rule_) return Acceptable;
    const State state = rule_->validate(input, pos);
    return state == Invalid ? Intermediate : state;
}

void KeepTypedValidator::describe(const QString& label, std::function<QString(const QString&)> why) {
    label_ = label;
    why_ = std::move(why);
}

QString KeepTypedValidator::refusal(const QString& text) const {
    QString copy = text;
    int pos = int(copy.size());
    if (!rule_ || rule_->validate(copy, pos) == Acceptable) return QString();
    const QString rule = why_ ? why_(text) : QString();
    return rule.isEmpty() ? label_ : QStringLiteral("%1: %2").arg(label_, rule);
}

void SetRule(QLineEdit* field, const char* label, Rule rule) {
    if (!field) {
        delete rule.check;
        return;
    }
    auto* keep = new KeepTypedValidator(rule.check, field);
    keep->describe(QCoreApplication::translate("PageFields", label), std::move(rule.why));
    field->setValidator(keep);
}

namespace {

QString Tr(const char* text) { return QCoreApplication::translate("PageFields", text); }

QValidator* Pattern(const QString& pattern) {
    return new QRegularExpressionValidator(QRegularExpression(pattern), nullptr);
}

QString AtMost(int maxChars) {
    return QCoreApplication::translate("PageFields", "at most %1 characters").arg(maxChars);
}

// A text rule: `pattern` says which characters it takes (one character,
// as a character class), told by `chars`; 1 to `maxChars` of them.
Rule CharacterRule(const QString& characterClass, int maxChars, const char* chars) {
    maxChars = std::clamp(maxChars, 1, 255);
    const QRegularExpression one(QStringLiteral("^%1*$").arg(characterClass));
    return {Pattern(QStringLiteral("^%1{1,%2}$").arg(characterClass).arg(maxChars)),
            [one, maxChars, chars](const QString& text) {
                return !one.match(text).hasMatch() ? Tr(chars) : AtMost(maxChars);
            }};
}

// The user's decimal separator; a point where it is one too.
QChar DecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point.at(0) : QLatin1Char('.');
}

// Accepts exactly the texts ReadWholeNumber reads in its range; the rest is
// unfinished input (KeepTypedValidator keeps every keystroke).
class WholeNumberValidator : public QValidator {
public:
    WholeNumberValidator(int min, int max) : QValidator(nullptr), min_(min), max_(max) {}
    State validate(QString& input, int&) const override {
        return ReadWholeNumber(input, min_, max_) ? Acceptable : Intermediate;
    }
    std::optional<int> read(const QString& text) const { return ReadWholeNumber(text, min_, max_); }

private:
    int min_;
    int max_;
};

class DecimalValidator : public QValidator {
public:
    DecimalValidator() : QValidator(nullptr) {}
    State validate(QString& input, int&) const override {
        double value = 0.0;
        return ReadDecimal(input, value) ? Acceptable : Intermediate;
    }
};

}  // namespace

std::optional<int> ReadWholeNumber(const QString& text, int min, int max) {
    if (text.isEmpty() || text.size() > 12) return std::nullopt;
    qsizetype at = 0;
    const bool negative = text.at(0) == QLatin1Char('-');
    if (negative) {
        if (min >= 0) return std::nullopt;
        at = 1;
    }
    if (at == text.size()) return std::nullopt;
    long long value = 0;
    for (; at < text.size(); ++at) {
        const char16_t c = text.at(at).unicode();
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    if (negative) value = -value;
    if (value < min || value > max) return std::nullopt;
    return int(value);
}

Rule WholeNumber(int min, int max) {
    return {new WholeNumberValidator(min, max), [min, max](const QString&) {
                return QCoreApplication::translate("PageFields", "%1 to %2").arg(min).arg(max);
            }};
}

std::optional<int> WholeNumberOf(const QLineEdit* field) {
    if (!field) return std::nullopt;
    const auto* keep = dynamic_cast<const KeepTypedValidator*>(field->validator());
    const auto* rule = keep ? dynamic_cast<const WholeNumberValidator*>(keep->rule()) : nullptr;
    return rule ? rule->read(field->text()) : std::nullopt;
}

Rule Port() { return WholeNumber(1, 65535); }

Rule Decimal() {
    return {new DecimalValidator, [](const QString&) {
                const QString example = QStringLiteral("1") + DecimalSeparator() + QStringLiteral("5");
                return QCoreApplication::translate("PageFields", "a number such as %1").arg(example);
            }};
}

bool ReadDecimal(const QString& text, double& value) {
    // ASCII digits, one optional sign, and one decimal mark: a comma or a
    // point, whatever the user's locale (these fields have no group
    // separators, so a comma is never one).
    static const QRegularExpression number(QStringLiteral("^[-+]?(?=[.,]?[0-9])[0-9]*[.,]?[0-9]*$"));
    if (!number.match(text).hasMatch()) return false;
    QByteArray bytes = text.toLatin1();
    bytes.replace(',', '.');
    if (bytes.startsWith('+')) bytes.remove(0, 1);
    double read = 0.0;
    const char* end = bytes.constData() + bytes.size();
    const auto [ptr, error] = std::from_chars(bytes.constData(), end, read);
    if (error != std::errc() || ptr != end) return false;
    value = read;
    return true;
}

Rule Latin1Text(int maxChars) {
    return CharacterRule(QStringLiteral("[\\x{0001}-\\x{00FF}]"), maxChars,
                         QT_TRANSLATE_NOOP("PageFields", "Latin-1 characters only"));
}

Rule Name(int maxChars) {
    return CharacterRule(QStringLiteral(R"([^\\/<>*?:"|])"), maxChars,
                         QT_TRANSLATE_NOOP("PageFields", R"(none of \ / < > * ? : " |)"));
}

Rule MountPoint(int maxChars) {
    // Printable ASCII but the space, and Latin-1's letters and signs but its
    // no-break space.
    return CharacterRule(QStringLiteral(R"([!#-)+-.0-9;=@-\[\]-{}~\x{00A1}-\x{00FF}])"), maxChars,
                         QT_TRANSLATE_NOOP("PageFields",
                                           R"(no spaces or control characters, Latin-1 only, none of \ / < > * ? : " |)"));
}

Rule AsciiText(int maxChars) {
    return CharacterRule(QStringLiteral("[\\x{0001}-\\x{007F}]"), maxChars,
                         QT_TRANSLATE_NOOP("PageFields", "ASCII characters only (no accents)"));
}

Rule Word(int maxChars) {
    return CharacterRule(QStringLiteral("[a-z0-9A-Z_-]"), maxChars,
                         QT_TRANSLATE_NOOP("PageFields", "letters, digits, _ and - only"));
}

Rule CasterLogin(int maxChars, bool userName) {
    if (userName)
        return CharacterRule(QStringLiteral("[\\x{0020}-\\x{0039}\\x{003B}-\\x{007E}]"), maxChars,
                             QT_TRANSLATE_NOOP("PageFields", "ASCII characters only (no accents), no colon"));
    return CharacterRule(QStringLiteral("[\\x{0020}-\\x{007E}]"), maxChars,
                         QT_TRANSLATE_NOOP("PageFields", "ASCII characters only (no accents)"));
}

bool IsIpv4Address(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3) return false;
        if (part.size() > 1 && part.at(0) == QLatin1Char('0')) return false;
        for (QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
        if (part.toInt() > 255) return false;
    }
    return true;
}

bool IsHostName(const QString& text, int maxBytes) {
    if (text.isEmpty() || text.size() > maxBytes) return false;
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9](?:[A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    static const QRegularExpression number(QStringLiteral("^[0-9]+$"));
    const QStringList labels = text.split(QLatin1Char('.'));
    for (const QString& l : labels)
        if (!label.match(l).hasMatch()) return false;
    return !number.match(labels.last()).hasMatch();
}

QString AddressRefusal(const QString& text, bool hostNames, int maxBytes) {
    if (IsIpv4Address(text) || (hostNames && IsHostName(text, maxBytes))) return QString();
    static const QRegularExpression dotted(QStringLiteral("^[0-9.]*$"));
    QString rule;
    if (dotted.match(text).hasMatch())
        rule = QCoreApplication::translate("PageFields",
                                           "four numbers 0 to 255 with no leading zero, such as 192.168.1.10");
    else if (hostNames)
        rule = QCoreApplication::translate(
                   "PageFields", "a dotted address or a host name of at most %1 letters, digits, hyphens and dots")
                   .arg(maxBytes);
    else
        rule = QCoreApplication::translate("PageFields",
                                           "this receiver takes a dotted address only, such as 192.168.1.10");
    return QStringLiteral("%1: %2").arg(QCoreApplication::translate("PageFields", "Address"), rule);
}

namespace {

// Whole addresses only: while one is typed it is unfinished, never refused
// outright, so nothing the user typed is dropped.
class ServerAddressValidator : public QValidator {
public:
    explicit ServerAddressValidator(int maxBytes) : QValidator(nullptr), maxBytes_(maxBytes) {}
    State validate(QString& input, int&) const override {
        return IsIpv4Address(input) || IsHostName(input, maxBytes_) ? Acceptable : Intermediate;
    }

private:
    int maxBytes_;
};

}  // namespace

Rule ServerAddress(int maxBytes) {
    // The refusal's own text starts with the field's name; the rule adds
    // only what follows it.
    return {new ServerAddressValidator(maxBytes), [maxBytes](const QString& text) {
                return AddressRefusal(text, true, maxBytes).section(QStringLiteral(": "), 1);
            }};
}

bool Acceptable(const QLineEdit* field) {
    if (!field) return true;
    QString text = field->text();
    const QValidator* validator = field->validator();
    if (text.isEmpty() || !validator) return true;
    int pos = int(text.size());
    return validator->validate(text, pos) == QValidator::Acceptable;
}

QString Refusal(const QLineEdit* field) {
    if (Acceptable(field)) return QString();
    if (const auto* keep = dynamic_cast<const KeepTypedValidator*>(field->validator())) {
        const QString text = keep->refusal(field->text());
        if (!text.isEmpty()) return text;
    }
    return QCoreApplication::translate("PageFields", "%1: not accepted").arg(field->objectName());
}

bool MarkRefused(QLineEdit* field, QStringList* refusals) {
    if (Acceptable(field)) return true;
    if (refusals) {
        const QString text = Refusal(field);
        if (!refusals->contains(text)) refusals->push_back(text);
    }
    // An editable combo box is marked with its editor, as the pages mark a
    // missing one.
    QWidget* box = qobject_cast<QComboBox*>(field->parentWidget()) ? field->parentWidget() : nullptr;
    CommonHelper::setFieldPalette(1, field);
    if (box) CommonHelper::setFieldPalette(1, box);
    QObject::connect(
        field, &QLineEdit::textChanged, field,
        [field, box] {
            CommonHelper::setFieldPalette(0, field);
            if (box) CommonHelper::setFieldPalette(0, box);
        },
        Qt::SingleShotConnection);
    return false;
}

bool MarkRefusedFields(QWidget* form, QStringList* refusals) {
    if (!form) return true;
    bool all = true;
    const QList<QLineEdit*> fields = form->findChildren<QLineEdit*>();
    for (QLineEdit* field : fields) {
        if (qobject_cast<QAbstractSpinBox*>(field->parentWidget())) continue;
        if (!field->isVisibleTo(form) || !field->isEnabledTo(form) || field->isReadOnly()) continue;
        if (!MarkRefused(field, refusals)) all = false;
    }
    return all;
}

QString RefusalMessage(bool missing, const QString& missingText, const QStringList& refusals) {
    QStringList lines;
    if (missing) lines.push_back(missingText);
    lines += refusals;
    return lines.join(QLatin1Char('\n'));
}

bool RefuseForm(QWidget* form, bool missing, const QString& missingText, const QStringList& more) {
    QStringList refused;
    MarkRefusedFields(form, &refused);
    refused += more;
    if (!missing && refused.isEmpty()) return false;
    QMessageBox::critical(form, QCoreApplication::translate("PageFields", "Error"), RefusalMessage(missing, missingText, refused), QMessageBox::Ok);
    return true;
}

}  // namespace pagefields
