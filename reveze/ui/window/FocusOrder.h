#pragma once

// The order in which Tab visits the controls of a part of a window: the
// order a reader takes them in. Siblings are read in lines, top to bottom,
// and along a line leading to trailing; a widget comes before what it holds
// (a list before the field open on its current row). Only what Tab may land
// on counts: shown, enabled, taking focus by Tab, and without a focus proxy
// (the proxy is the stop). Widgets that are windows of their own (a sheet,
// a popup) are not part of it.
//
// The window builds its whole order from its parts in turn, so that a screen
// made after the detail, or a field made after its list, still takes its
// place by where it is shown rather than by when it was made.

#include <QList>

class QWidget;

namespace ReveZE::FocusOrder {

bool isTabStop(const QWidget *widget);

// The tab stops in `root` and below it, in reading order. `alsoInclude`, when
// it lies below `root`, is placed at its own place even if it is no stop (the
// widget that has the focus, so that the step from it is found).
QList<QWidget *> readingOrder(QWidget *root, const QWidget *alsoInclude = nullptr);

// The stop after (or before) `from` in `order`, wrapping around; `from`
// itself when no other stop exists, none when `from` is not in `order`.
QWidget *step(const QList<QWidget *> &order, const QWidget *from, bool next);

// Scrolls every scroll area that holds `widget` so that it is in view.
void reveal(QWidget *widget);

} // namespace ReveZE::FocusOrder
