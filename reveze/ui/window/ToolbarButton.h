#pragma once

// A button of the window's toolbar for one action (Install, Refresh): the
// toolbar's flat look, its icon beside its text, reached by Tab and pressed
// by Space, with a ring while it has the focus (a flat toolbar button shows
// none of its own).

#include <QToolButton>

namespace ReveZE {

class ToolbarButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ToolbarButton(QAction *action, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace ReveZE
