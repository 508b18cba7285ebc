#include "window/FocusOrder.h"

#include <QScrollArea>
#include <QWidget>

#include <algorithm>

namespace ReveZE::FocusOrder {

namespace {

// The shown children of `parent` that are part of its window, in reading
// order: sorted by their top edge, gathered into lines (a child whose middle
// lies above the bottom of a line's first child belongs to that line), each
// line leading to trailing.
QList<QWidget *> readingChildren(const QWidget *parent)
{
    QList<QWidget *> children;
    for (QObject *object : parent->children()) {
        if (!object->isWidgetType())
            continue;
        auto *child = static_cast<QWidget *>(object);
        if (child->isWindow() || child->isHidden())
            continue;
        children.append(child);
    }
    std::stable_sort(children.begin(), children.end(), [](const QWidget *a, const QWidget *b) {
        return a->geometry().top() < b->geometry().top();
    });
    const bool rightToLeft = parent->layoutDirection() == Qt::RightToLeft;
    QList<QWidget *> ordered;
    ordered.reserve(children.size());
    qsizetype lineStart = 0;
    while (lineStart < children.size()) {
        const int lineBottom = children.at(lineStart)->geometry().bottom();
        qsizetype lineEnd = lineStart + 1;
        while (lineEnd < children.size() && children.at(lineEnd)->geometry().center().y() <= lineBottom)
            ++lineEnd;
        QList<QWidget *> line = children.mid(lineStart, lineEnd - lineStart);
        std::stable_sort(line.begin(), line.end(), [rightToLeft](const QWidget *a, const QWidget *b) {
            return rightToLeft ? a->geometry().right() > b->geometry().right()
                               : a->geometry().left() < b->geometry().left();
        });
        ordered.append(line);
        lineStart = lineEnd;
    }
    return ordered;
}

void collect(QWidget *widget, const QWidget *alsoInclude, QList<QWidget *> &out)
{
    if (widget == alsoInclude || isTabStop(widget))
        out.append(widget);
    for (QWidget *child : readingChildren(widget))
        collect(child, alsoInclude, out);
}

} // namespace

bool isTabStop(const QWidget *widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !widget->focusProxy() && widget->isEnabled()
        && widget->isVisibleTo(widget->window());
}

QList<QWidget *> readingOrder(QWidget *root, const QWidget *alsoInclude)
{
    QList<QWidget *> order;
    if (root && !root->isHidden())
        collect(root, alsoInclude, order);
    return order;
}

QWidget *step(const QList<QWidget *> &order, const QWidget *from, bool next)
{
    const qsizetype at = order.indexOf(from);
    if (at < 0)
        return nullptr;
    const qsizetype count = order.size();
    for (qsizetype i = 1; i <= count; ++i) {
        QWidget *candidate = order.at(((next ? at + i : at - i) % count + count) % count);
        if (candidate == from || isTabStop(candidate))
            return candidate;
    }
    return nullptr;
}

void reveal(QWidget *widget)
{
    for (QWidget *parent = widget->parentWidget(); parent && !parent->isWindow(); parent = parent->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(parent))
            area->ensureWidgetVisible(widget);
    }
}

} // namespace ReveZE::FocusOrder
