#pragma once

// A row of mutually exclusive segments (the install sheet's operation):
// one checkable button per title, exactly one checked.

#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QToolButton;

namespace ReveZE {

class SegmentedControl : public QWidget
{
    Q_OBJECT

public:
    explicit SegmentedControl(int count, QWidget *parent = nullptr);

    void setTitles(const QStringList &titles);
    int currentIndex() const;
    void setCurrentIndex(int index);
    QToolButton *segment(int index) const;

Q_SIGNALS:
    // The user chose another segment.
    void activated(int index);

private:
    QButtonGroup *m_group;
    QList<QToolButton *> m_segments;
};

} // namespace ReveZE
