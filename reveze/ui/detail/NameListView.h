#pragma once

#include "detail/NameListDelegate.h"

#include <QListView>

namespace ReveZE {

class NameListModel;

// A list of names inside a detail box. It is as tall as all its rows, so the
// detail's own scroll area scrolls it with the rest of the page; only the
// rows in view are painted, so a box of thousands of names costs no more to
// show than a short one. It takes no selection, no focus and no wheel (the
// page scrolls), and never widens its column.
class NameListView : public QListView
{
    Q_OBJECT

public:
    NameListView(NameListDelegate::Style style, QWidget *parent = nullptr);

    void setNames(const QStringList &names);
    const QStringList &names() const;
    NameListModel *listModel() const { return m_model; }
    NameListDelegate *delegate() const { return m_delegate; }

    // All rows, each with its share of the spacing.
    int contentHeight() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void fitHeight();

    NameListModel *m_model;
    NameListDelegate *m_delegate;
};

} // namespace ReveZE
