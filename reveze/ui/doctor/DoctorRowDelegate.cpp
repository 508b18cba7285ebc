#include "doctor/DoctorRowDelegate.h"

#include "doctor/DoctorListModel.h"
#include "doctor/DoctorView.h"
#include "widgets/Palette.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QAbstractItemView>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace ReveZE {

namespace {

constexpr qreal rowPadding = 3;     // the row's own vertical padding
constexpr qreal listPadding = 5;    // what an inset list adds around each row
constexpr qreal contentInset = 12;  // from the card's edge to the symbol
constexpr qreal columnGap = 10;
constexpr qreal lineGap = 2;
constexpr qreal cornerRadius = 8;

QFont checkFont() { return TextStyles::font(TextStyle::Callout, QFont::DemiBold); }
QFont detailFont() { return TextStyles::font(TextStyle::Callout); }

// The symbol is as tall as the check's line, so the two share a baseline.
qreal symbolSide()
{
    return std::round(QFontMetricsF(checkFont()).height());
}

} // namespace

int DoctorRowDelegate::height()
{
    const qreal content = QFontMetricsF(checkFont()).height() + lineGap + QFontMetricsF(detailFont()).height();
    return int(std::ceil(2 * (listPadding + rowPadding) + content));
}

DoctorRowDelegate::Geometry DoctorRowDelegate::geometry(const QRectF &rect)
{
    Geometry g;
    g.background = rect.adjusted(inset, 0, -inset, 0);
    const qreal top = rect.top() + listPadding + rowPadding;
    const qreal side = symbolSide();
    const qreal checkHeight = QFontMetricsF(checkFont()).height();
    g.symbol = QRectF(g.background.left() + contentInset, top + (checkHeight - side) / 2, side, side);
    const qreal textLeft = g.symbol.right() + columnGap;
    const qreal textWidth = qMax<qreal>(0, g.background.right() - contentInset - textLeft);
    g.check = QRectF(textLeft, top, textWidth, checkHeight);
    g.detail = QRectF(textLeft, g.check.bottom() + lineGap, textWidth, QFontMetricsF(detailFont()).height());
    return g;
}

void DoctorRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const DoctorListModel *>(index.model());
    if (!model)
        return;
    const ZelkKit::DoctorFinding &finding = model->findingAt(index.row());
    const Geometry g = geometry(QRectF(option.rect));
    const QPalette &palette = option.palette;
    const bool first = index.row() == 0;
    const bool last = index.row() == model->rowCount() - 1;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);

    // The card: rounded at the top of the first row and the foot of the last.
    QRectF card = g.background;
    QRectF rounded = card.adjusted(0, first ? 0 : -cornerRadius, 0, last ? 0 : cornerRadius);
    QPainterPath path;
    path.addRoundedRect(rounded, cornerRadius, cornerRadius);
    painter->save();
    painter->setClipRect(card);
    painter->fillPath(path, Palette::surfaceFill(palette));
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(Palette::accent(palette), 1.5));
        painter->drawPath(path);
    }
    painter->restore();
    if (!last) {
        painter->setPen(QPen(Palette::divider(palette), 1));
        const qreal y = card.bottom() - 0.5;
        painter->drawLine(QPointF(g.check.left(), y), QPointF(card.right(), y));
    }

    Symbols::paint(*painter, g.symbol, DoctorView::severitySymbol(finding), DoctorView::severityColour(finding),
                   Symbols::sizeForPixels(g.symbol.height(), painter->device()));

    const QFont check = checkFont();
    painter->setFont(check);
    painter->setPen(Palette::label(palette));
    painter->drawText(g.check, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      QFontMetricsF(check).elidedText(finding.check, Qt::ElideRight, g.check.width()));

    // The current row's field shows the detail itself.
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (!(view && view->isPersistentEditorOpen(index))) {
        const QFont detail = detailFont();
        painter->setFont(detail);
        painter->setPen(Palette::zelkSecondary(palette));
        painter->drawText(g.detail, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          QFontMetricsF(detail).elidedText(finding.detail, Qt::ElideRight, g.detail.width()));
    }
    painter->restore();
}

QSize DoctorRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {200, height()};
}

QWidget *DoctorRowDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("doctorDetailField"));
    field->setReadOnly(true);
    field->setFrame(false);
    field->setFont(detailFont());
    field->setTextMargins(0, 0, 0, 0);
    field->setContentsMargins(0, 0, 0, 0);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Palette::zelkSecondary(parent->palette()));
    field->setPalette(palette);
    field->setAutoFillBackground(false);
    // Named by its check, the label it sits under.
    field->setAccessibleName(index.data(DoctorListModel::CheckRole).toString());
    return field;
}

void DoctorRowDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *field = qobject_cast<QLineEdit *>(editor)) {
        field->setText(index.data(DoctorListModel::DetailRole).toString());
        field->setCursorPosition(0);
    }
}

void DoctorRowDelegate::setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const
{
    // Read-only: the detail is zelk's.
}

void DoctorRowDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                             const QModelIndex &) const
{
    editor->setGeometry(geometry(QRectF(option.rect)).detail.toAlignedRect());
}

bool DoctorRowDelegate::eventFilter(QObject *editor, QEvent *event)
{
    // An item delegate turns Tab in its editor into "edit the next row"; the
    // field stays a plain stop in the window's tab order instead.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

} // namespace ReveZE
