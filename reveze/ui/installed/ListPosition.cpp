#include "installed/ListPosition.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QScrollBar>

namespace ReveZE {

ListPosition ListPosition::save(const QListView *list, const NameOf &nameOf)
{
    ListPosition position;
    position.m_scroll = list->verticalScrollBar()->value();
    const QModelIndex current = list->currentIndex();
    if (current.isValid())
        position.m_current = nameOf(current.row());
    return position;
}

void ListPosition::restore(QListView *list, const RowOf &rowOf) const
{
    list->doItemsLayout();
    if (m_current) {
        const int row = rowOf(*m_current);
        if (row >= 0 && list->selectionModel())
            list->selectionModel()->setCurrentIndex(list->model()->index(row, 0), QItemSelectionModel::NoUpdate);
    }
    list->verticalScrollBar()->setValue(m_scroll);
}

} // namespace ReveZE
