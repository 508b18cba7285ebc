#pragma once

// What screen readers see of the Upgrades list: a list whose children are
// one push button per row, named "Upgrade ‹name›" in the language in use and
// described by the package and its two versions, that can be pressed (the
// press action opens the install sheet as the mouse and keyboard do). The
// buttons are light objects made on first use (UpgradesList keeps their
// ids until its rows change), so a thousand rows cost nothing until an
// assistive technology walks them.

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QAccessibleWidget>
#include <QPointer>

namespace ReveZE {

class UpgradesList;

class UpgradesAccessible : public QAccessibleWidget
{
public:
    // Puts the factory in place (once per process).
    static void install();

    explicit UpgradesAccessible(UpgradesList *list);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    UpgradesList *list() const;
};

class UpgradeButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    UpgradeButtonAccessible(UpgradesList *list, int row);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    int row() const { return m_row; }

private:
    QPointer<UpgradesList> m_list;
    int m_row;
};

} // namespace ReveZE
