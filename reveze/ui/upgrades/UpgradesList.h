#pragma once

// The list of the Upgrades screen. It has no selection; each row carries an
// Upgrade button that its delegate paints (a widget per row would cost the
// first paint of a thousand rows). This list makes those buttons work:
// the mouse presses one (press and release on the same button); Space,
// Enter or Return presses the current row's, and the arrow keys move the
// current row, which shows while the list has the keyboard; and screen
// readers see one "Upgrade ‹name›" button per row (UpgradesAccessible) that
// they can press too.

#include <QAccessible>
#include <QHash>
#include <QListView>

namespace ReveZE {

class UpgradesRowDelegate;

class UpgradesList : public QListView
{
    Q_OBJECT

public:
    explicit UpgradesList(QWidget *parent = nullptr);
    ~UpgradesList() override;

    void setRowDelegate(UpgradesRowDelegate *delegate);

    // The row whose button the mouse holds down, or -1.
    int pressedRow() const { return m_pressedRow; }
    int hoveredRow() const { return m_hoveredRow; }
    // The button of `row`, in viewport coordinates (empty for no row).
    QRect buttonRect(int row) const;
    // Presses the button of `row`.
    void pressButton(int row);

    // The accessible element of a row's button, made on first use and kept
    // until the rows change.
    QAccessible::Id buttonAccessibleId(int row);

Q_SIGNALS:
    void upgradeRequested(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    int buttonAt(const QPoint &position) const;
    void forgetAccessibleButtons();
    void updateRow(int row);

    UpgradesRowDelegate *m_delegate = nullptr;
    int m_pressedRow = -1;
    int m_hoveredRow = -1;
    QHash<int, QAccessible::Id> m_buttons;
};

} // namespace ReveZE
