#include "discover/DiscoverRowDelegate.h"

#include "discover/DiscoverListModel.h"

#include <QListView>
#include <QPainter>

using ZelkKit::CatalogPackage;

namespace ReveZE {

DiscoverRowDelegate::DiscoverRowDelegate(const Localizer &l, QListView *list)
    : QStyledItemDelegate(list), m_list(list), m_style(l)
{
}

void DiscoverRowDelegate::computeLines(const DiscoverListModel &model, int rowWidth, std::vector<quint8> &out) const
{
    const qreal width = DiscoverRow::textWidth(rowWidth);
    const QList<CatalogPackage> &packages = model.packages();
    out.resize(size_t(packages.size()));
    const CatalogFold *fold = model.fold();
    if (fold && fold->font == m_style.captionFont() && fold->descriptionWidths.size() == packages.size()) {
        for (qsizetype i = 0; i < packages.size(); ++i)
            out[size_t(i)] = quint8(DiscoverRow::lineCount(fold->descriptionWidths[i], width));
        return;
    }
    const qreal average = m_style.captionMetrics().averageCharWidth();
    for (qsizetype i = 0; i < packages.size(); ++i) {
        const std::optional<QString> &description = packages[i].description;
        out[size_t(i)] = quint8(description ? DiscoverRow::lineCount(float(description->size() * average), width) : 0);
    }
}

void DiscoverRowDelegate::updateLines(const DiscoverListModel &model, int rowWidth) const
{
    // The style is brought up to date by paint(); a layout asks this for
    // every row, so it only compares the key.
    if (rowWidth == m_linesWidth && m_linesStyle == m_style.generation()
        && m_linesRecords == model.packagesGeneration() && m_linesFold == model.fold())
        return;
    m_linesWidth = rowWidth;
    m_linesStyle = m_style.generation();
    m_linesRecords = model.packagesGeneration();
    m_linesFold = model.fold();
    for (int lines = 0; lines < 3; ++lines)
        m_heights[lines] = DiscoverRow::height(m_style, lines);
    computeLines(model, rowWidth, m_lines);
}

bool DiscoverRowDelegate::linesWouldChange(const DiscoverListModel &model, int rowWidth) const
{
    std::vector<quint8> lines;
    computeLines(model, rowWidth, lines);
    return lines != m_lines;
}

int DiscoverRowDelegate::lines(const DiscoverListModel &model, int packageIndex) const
{
    updateLines(model, qMax(m_list->viewport()->width(), minimumRowWidth));
    return m_lines[size_t(packageIndex)];
}

void DiscoverRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const DiscoverListModel *>(index.model());
    if (!model)
        return;
    m_style.refresh(painter->device() ? painter->device()->devicePixelRatioF() : 1);
    const int packageIndex = model->packageIndexAt(index.row());
    const int lineCount = lines(*model, packageIndex);
    // A row's texts depend on its line count, which the fold may correct.
    m_texts.validate(m_style.generation(), option.rect.width(), model->packagesGeneration() * 2 + (model->fold() ? 1 : 0));
    const QRectF rect(option.rect);
    const DiscoverRow row(model->packageAt(index.row()), model->isSelected(index.row()), lineCount, m_style);
    const DiscoverRow::Texts *texts = m_texts.find(packageIndex);
    if (!texts)
        texts = &m_texts.insert(packageIndex, row.texts(rect));
    row.paint(*painter, rect, option.palette, *texts);
    if (option.state & QStyle::State_HasFocus)
        m_style.paintFocus(*painter, PackageRowStyle::background(rect), model->isSelected(index.row()), option.palette);
}

QSize DiscoverRowDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const auto *model = qobject_cast<const DiscoverListModel *>(index.model());
    if (!model)
        return {};
    return {minimumRowWidth, m_heights[lines(*model, model->packageIndexAt(index.row()))]};
}

} // namespace ReveZE
