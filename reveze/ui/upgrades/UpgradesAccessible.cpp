#include "upgrades/UpgradesAccessible.h"

#include "upgrades/UpgradesList.h"

#include <QAbstractItemModel>
#include <QWidget>

namespace ReveZE {

namespace {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String(UpgradesList::staticMetaObject.className()) && object && object->isWidgetType())
        return new UpgradesAccessible(static_cast<UpgradesList *>(object));
    return nullptr;
}

} // namespace

void UpgradesAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

UpgradesAccessible::UpgradesAccessible(UpgradesList *list)
    : QAccessibleWidget(list, QAccessible::List)
{
}

UpgradesList *UpgradesAccessible::list() const
{
    return static_cast<UpgradesList *>(widget());
}

int UpgradesAccessible::childCount() const
{
    return list()->model() ? list()->model()->rowCount() : 0;
}

QAccessibleInterface *UpgradesAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    return QAccessible::accessibleInterface(list()->buttonAccessibleId(index));
}

int UpgradesAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child || child->role() != QAccessible::Button)
        return -1;
    const auto *button = dynamic_cast<const UpgradeButtonAccessible *>(child);
    return button && button->parent() && button->parent()->object() == object() ? button->row() : -1;
}

QAccessibleInterface *UpgradesAccessible::childAt(int x, int y) const
{
    const QPoint local = list()->viewport()->mapFromGlobal(QPoint(x, y));
    const QModelIndex index = list()->indexAt(local);
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface *UpgradesAccessible::focusChild() const
{
    if (!list()->hasFocus() || !list()->currentIndex().isValid())
        return nullptr;
    return child(list()->currentIndex().row());
}

UpgradeButtonAccessible::UpgradeButtonAccessible(UpgradesList *list, int row)
    : m_list(list), m_row(row)
{
}

bool UpgradeButtonAccessible::isValid() const
{
    return m_list && m_list->model() && m_row < m_list->model()->rowCount();
}

QWindow *UpgradeButtonAccessible::window() const
{
    return m_list ? m_list->window()->windowHandle() : nullptr;
}

QAccessibleInterface *UpgradeButtonAccessible::parent() const
{
    return m_list ? QAccessible::queryAccessibleInterface(m_list.data()) : nullptr;
}

QString UpgradeButtonAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const QModelIndex index = m_list->model()->index(m_row, 0);
    switch (t) {
    case QAccessible::Name:
        return index.data(Qt::AccessibleTextRole).toString();
    case QAccessible::Description:
        return index.data(Qt::AccessibleDescriptionRole).toString();
    default:
        return {};
    }
}

QRect UpgradeButtonAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = m_list->buttonRect(m_row);
    return QRect(m_list->viewport()->mapToGlobal(local.topLeft()), local.size());
}

QAccessible::State UpgradeButtonAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.focusable = true;
    const QModelIndex index = m_list->model()->index(m_row, 0);
    state.focused = m_list->hasFocus() && m_list->currentIndex() == index;
    state.pressed = m_list->pressedRow() == m_row;
    const QRect visual = m_list->visualRect(index);
    if (!m_list->isVisible() || !m_list->viewport()->rect().intersects(visual)) {
        state.invisible = !m_list->isVisible();
        state.offscreen = true;
    }
    return state;
}

void *UpgradeButtonAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface *>(this);
    return nullptr;
}

QStringList UpgradeButtonAccessible::actionNames() const
{
    return {pressAction()};
}

void UpgradeButtonAccessible::doAction(const QString &actionName)
{
    if (actionName == pressAction() && isValid())
        m_list->pressButton(m_row);
}

QStringList UpgradeButtonAccessible::keyBindingsForAction(const QString &actionName) const
{
    if (actionName == pressAction())
        return {QStringLiteral("Space")};
    return {};
}

} // namespace ReveZE
