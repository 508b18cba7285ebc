#pragma once

// How the value cells of the detail's grid tell the grid where they are, so
// that one highlight can frame the whole column of values.
//
// The grid's area is a coordinate space (a widget named valueColumnSpace).
// measure(cell) is attached to every value cell in layout order; from then on
// the cell reports its frame, taken in that space, whenever it moves, changes
// size, is shown or is hidden. A cell that is hidden reports nothing. The
// reports of several cells combine by appending each one's list to the
// accumulated list (reduce), so frames() holds the frames of the shown cells
// in layout order; unionOf() folds them into one rectangle, starting from the
// null rectangle (which it stays when nothing is reported).

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>

class QWidget;

namespace ReveZE {

class ValueColumnFrames : public QObject
{
    Q_OBJECT

public:
    using Value = QList<QRectF>;

    // The value before any cell reports: the empty list.
    static Value defaultValue() { return {}; }
    // Combines the next cell's report into the accumulated value.
    static void reduce(Value &value, Value next);
    // The union of the frames, from the null rectangle.
    static QRectF unionOf(const Value &frames);

    // `space` is the widget whose coordinates frames are taken in.
    explicit ValueColumnFrames(QWidget *space, QObject *parent = nullptr);

    // Makes `cell` report its frame; it draws nothing and changes nothing of
    // the cell.
    void measure(QWidget *cell);

    // What the shown cells report, combined in layout order.
    Value frames() const;

Q_SIGNALS:
    // A measured cell moved, changed size, appeared or disappeared.
    void framesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_space;
    QList<QPointer<QWidget>> m_cells;
};

} // namespace ReveZE
