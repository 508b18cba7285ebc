#include "upgrades/UpgradesList.h"

#include "upgrades/UpgradesAccessible.h"
#include "upgrades/UpgradesRowDelegate.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace ReveZE {

UpgradesList::UpgradesList(QWidget *parent)
    : QListView(parent)
{
    UpgradesAccessible::install();
    setMouseTracking(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::StrongFocus);
}

UpgradesList::~UpgradesList()
{
    forgetAccessibleButtons();
}

void UpgradesList::setRowDelegate(UpgradesRowDelegate *delegate)
{
    m_delegate = delegate;
    setItemDelegate(delegate);
    if (model()) {
        connect(model(), &QAbstractItemModel::modelAboutToBeReset, this, [this] {
            forgetAccessibleButtons();
            m_pressedRow = -1;
            m_hoveredRow = -1;
        });
    }
}

QRect UpgradesList::buttonRect(int row) const
{
    if (!m_delegate || !model() || row < 0 || row >= model()->rowCount())
        return {};
    return m_delegate->buttonRect(QRectF(visualRect(model()->index(row, 0)))).toAlignedRect();
}

int UpgradesList::buttonAt(const QPoint &position) const
{
    const QModelIndex index = indexAt(position);
    if (!index.isValid())
        return -1;
    return buttonRect(index.row()).contains(position) ? index.row() : -1;
}

void UpgradesList::pressButton(int row)
{
    if (model() && row >= 0 && row < model()->rowCount())
        Q_EMIT upgradeRequested(row);
}

void UpgradesList::updateRow(int row)
{
    if (model() && row >= 0 && row < model()->rowCount())
        update(model()->index(row, 0));
}

void UpgradesList::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Select:
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (event->modifiers() & ~Qt::KeypadModifier)
            break;
        if (currentIndex().isValid()) {
            pressButton(currentIndex().row());
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QListView::keyPressEvent(event);
}

void UpgradesList::mousePressEvent(QMouseEvent *event)
{
    const int row = event->button() == Qt::LeftButton ? buttonAt(event->position().toPoint()) : -1;
    if (row >= 0) {
        m_pressedRow = row;
        setCurrentIndex(model()->index(row, 0));
        updateRow(row);
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void UpgradesList::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressedRow >= 0 && event->button() == Qt::LeftButton) {
        const int row = m_pressedRow;
        m_pressedRow = -1;
        updateRow(row);
        if (buttonAt(event->position().toPoint()) == row)
            pressButton(row);
        event->accept();
        return;
    }
    QListView::mouseReleaseEvent(event);
}

void UpgradesList::mouseMoveEvent(QMouseEvent *event)
{
    const int row = buttonAt(event->position().toPoint());
    if (row != m_hoveredRow) {
        const int before = m_hoveredRow;
        m_hoveredRow = row;
        updateRow(before);
        updateRow(row);
    }
    QListView::mouseMoveEvent(event);
}

void UpgradesList::leaveEvent(QEvent *event)
{
    const int before = m_hoveredRow;
    m_hoveredRow = -1;
    updateRow(before);
    QListView::leaveEvent(event);
}

void UpgradesList::focusInEvent(QFocusEvent *event)
{
    // The keyboard starts at the first row.
    if (!currentIndex().isValid() && model() && model()->rowCount() > 0)
        setCurrentIndex(model()->index(0, 0));
    QListView::focusInEvent(event);
    viewport()->update();
}

void UpgradesList::focusOutEvent(QFocusEvent *event)
{
    QListView::focusOutEvent(event);
    viewport()->update();
}

void UpgradesList::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QListView::currentChanged(current, previous);
    // Screen readers follow the focus from button to button.
    if (current.isValid() && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(current.row());
        QAccessible::updateAccessibility(&focus);
    }
}

QAccessible::Id UpgradesList::buttonAccessibleId(int row)
{
    const auto it = m_buttons.constFind(row);
    if (it != m_buttons.cend())
        return *it;
    const QAccessible::Id id = QAccessible::registerAccessibleInterface(new UpgradeButtonAccessible(this, row));
    m_buttons.insert(row, id);
    return id;
}

void UpgradesList::forgetAccessibleButtons()
{
    for (QAccessible::Id id : std::as_const(m_buttons))
        QAccessible::deleteAccessibleInterface(id);
    m_buttons.clear();
}

} // namespace ReveZE
