#include "program/pages/PageFields.h"

#include "program/CommonHelper.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>

#include <algorithm>
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

void SetRule(QLineEdit* field, QValidator* rule) {
    if (!field) return;
    field->setValidator(new KeepTypedValidator(rule, field));
}

QValidator* WholeNumber(int min, int max, QObject* parent) {
    auto* validator = new QIntValidator(min, max, parent);
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    validator->setLocale(plain);
    return validator;
}

QValidator* PlainDecimal(QObject* parent) {
    return new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[-+]?(?=\\.?[0-9])[0-9]*\\.?[0-9]*$")), parent);
}

QValidator* Latin1Text(int maxChars, QObject* parent) {
    const QString pattern = QStringLiteral("^[\\x{0001}-\\x{00FF}]{1,%1}$").arg(std::max(1, maxChars));
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

bool IsIpv4Address(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4) return false;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3) return false;
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

namespace {

// Whole addresses only: while one is typed it is unfinished, never refused
// outright, so nothing the user typed is dropped.
class ServerAddressValidator : public QValidator {
public:
    ServerAddressValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int&) const override {
        return IsIpv4Address(input) || IsHostName(input, maxBytes_) ? Acceptable : Intermediate;
    }

private:
    int maxBytes_;
};

}  // namespace

QValidator* ServerAddress(int maxBytes, QObject* parent) { return new ServerAddressValidator(maxBytes, parent); }

bool Acceptable(const QLineEdit* field) {
    if (!field) return true;
    QString text = field->text();
    const QValidator* validator = field->validator();
    if (text.isEmpty() || !validator) return true;
    int pos = int(text.size());
    return validator->validate(text, pos) == QValidator::Acceptable;
}

bool MarkRefusedFields(QWidget* form) {
    if (!form) return true;
    bool all = true;
    const QList<QLineEdit*> fields = form->findChildren<QLineEdit*>();
    for (QLineEdit* field : fields) {
        QWidget* owner = field->parentWidget();
        if (qobject_cast<QAbstractSpinBox*>(owner)) continue;
        if (!field->isVisibleTo(form) || !field->isEnabledTo(form) || field->isReadOnly()) continue;
        if (Acceptable(field)) continue;
        all = false;
        // An editable combo box is marked with its editor, as the pages
        // mark a missing one.
        QWidget* box = qobject_cast<QComboBox*>(owner) ? owner : nullptr;
        CommonHelper::setFieldPalette(1, field);
        if (box) CommonHelper::setFieldPalette(1, box);
        QObject::connect(
            field, &QLineEdit::textChanged, field,
            [field, box] {
                CommonHelper::setFieldPalette(0, field);
                if (box) CommonHelper::setFieldPalette(0, box);
            },
            Qt::SingleShotConnection);
    }
    return all;
}

}  // namespace pagefields
