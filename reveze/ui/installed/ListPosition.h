#pragma once

// Where a list stands among its rows: its scroll position and its current
// row (by the package's name, since rows move when the records change). A
// list saves it before its model resets for new records and restores it
// after, so a refresh that brings other packages leaves the user where they
// were, whether a row is selected or not.

#include <QString>

#include <functional>
#include <optional>

class QListView;

namespace ReveZE {

class ListPosition
{
public:
    using NameOf = std::function<QString(int row)>;
    using RowOf = std::function<int(const QString &name)>;

    static ListPosition save(const QListView *list, const NameOf &nameOf);
    // Lays the list out at once (a model reset only schedules it) so that the
    // scroll position can be set; the current row comes back when its
    // package is still listed, without touching the selection.
    void restore(QListView *list, const RowOf &rowOf) const;

    int scroll() const { return m_scroll; }
    const std::optional<QString> &current() const { return m_current; }

private:
    int m_scroll = 0;
    std::optional<QString> m_current;
};

} // namespace ReveZE
