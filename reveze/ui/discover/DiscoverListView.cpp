#include "discover/DiscoverListView.h"

#include "AppModel.h"
#include "Localizer.h"
#include "discover/CatalogFoldCache.h"
#include "discover/CatalogSearch.h"
#include "discover/DiscoverListModel.h"
#include "discover/DiscoverRowDelegate.h"
#include "discover/NoResultsText.h"
#include "installed/ListPosition.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/SymbolLabel.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QAction>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QResizeEvent>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

using ZelkKit::CatalogPackage;

namespace ReveZE {

namespace {

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel *plainLabel(QWidget *parent, const char *name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

DiscoverListView::DiscoverListView(AppModel &model, Localizer &l, std::optional<QString> selection, QWidget *parent)
    : NavigationScreen(parent), m_model(model), m_l(l), m_cache(CatalogFoldCache::of(model)),
      m_selection(std::move(selection))
{
    setObjectName(QStringLiteral("discoverListView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildListArea(), 1);

    // The search field lives in the window's toolbar while the screen is
    // shown; until the window takes it, it stays hidden here.
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("discoverSearchField"));
    m_searchField->setClearButtonEnabled(true);
    m_searchAction = m_searchField->addAction(Symbols::icon(u"magnifyingglass"), QLineEdit::LeadingPosition);
    m_searchField->setMinimumWidth(220);
    m_searchField->setMaximumWidth(320);
    m_searchField->hide();
    connect(m_searchField, &QLineEdit::textChanged, this, &DiscoverListView::setSearch);

    // Ctrl+F anywhere in the window puts the focus into the search field.
    m_findShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    m_findShortcut->setObjectName(QStringLiteral("findShortcut"));
    m_findShortcut->setContext(Qt::WindowShortcut);
    connect(m_findShortcut, &QShortcut::activated, this, &DiscoverListView::focusSearch);

    connect(&m_model, &AppModel::catalogPackagesChanged, this, &DiscoverListView::onCatalogChanged);
    connect(&m_model, &AppModel::isLoadingChanged, this, &DiscoverListView::render);
    connect(&m_cache, &CatalogFoldCache::ready, this, &DiscoverListView::onFoldReady);
    connect(m_listModel, &DiscoverListModel::searchAnswered, this, &DiscoverListView::onSearchAnswered);
    connect(&m_l, &Localizer::languageChanged, this, &DiscoverListView::renderTexts);

    m_listModel->setSelectedName(m_selection);
    onCatalogChanged();
    renderTexts();
}

DiscoverListView::~DiscoverListView()
{
    // The field may still sit in the window's toolbar.
    delete m_searchField;
}

QWidget *DiscoverListView::buildListArea()
{
    auto *area = new QWidget(this);
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    m_list = new QListView(area);
    m_list->setObjectName(QStringLiteral("discoverList"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Rows differ in height (a description of none, one or two lines); the
    // delegate answers each from a table.
    m_list->setUniformItemSizes(false);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setLayoutMode(QListView::SinglePass);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; padding-top: 4px; }"));
    m_list->viewport()->setAutoFillBackground(false);
    m_list->viewport()->installEventFilter(this);
    m_listModel = new DiscoverListModel(m_l, m_list);
    m_list->setModel(m_listModel);
    m_delegate = new DiscoverRowDelegate(m_l, m_list);
    m_list->setItemDelegate(m_delegate);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncing)
            return;
        const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
        std::optional<QString> name;
        if (!selected.isEmpty())
            name = m_listModel->packageAt(selected.first().row()).name;
        if (name == m_selection)
            return;
        m_selection = name;
        m_listModel->setSelectedName(m_selection);
        Q_EMIT selectionEdited(m_selection);
    });
    grid->addWidget(m_list, 0, 0);

    m_spinnerOverlay = new QWidget(area);
    m_spinnerOverlay->setObjectName(QStringLiteral("readingIndexOverlay"));
    m_spinnerOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *spinnerLayout = new QVBoxLayout(m_spinnerOverlay);
    spinnerLayout->setSpacing(8);
    auto *spinner = new ProgressSpinner(24, m_spinnerOverlay);
    spinner->setObjectName(QStringLiteral("readingIndexSpinner"));
    spinnerLayout->addWidget(spinner, 0, Qt::AlignHCenter);
    m_spinnerLabel = plainLabel(m_spinnerOverlay, "readingIndexLabel");
    TextStyles::apply(m_spinnerLabel, TextStyle::Callout);
    spinnerLayout->addWidget(m_spinnerLabel, 0, Qt::AlignHCenter);
    grid->addWidget(m_spinnerOverlay, 0, 0, Qt::AlignCenter);

    m_noResults = new QWidget(area);
    m_noResults->setObjectName(QStringLiteral("noResultsState"));
    m_noResults->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *noResultsLayout = new QVBoxLayout(m_noResults);
    noResultsLayout->setContentsMargins(24, 24, 24, 24);
    noResultsLayout->setSpacing(10);
    noResultsLayout->addStretch(1);
    auto *glass = new SymbolLabel(QStringLiteral("magnifyingglass"), 40, &Palette::zelkTertiary, m_noResults);
    glass->setObjectName(QStringLiteral("noResultsSymbol"));
    noResultsLayout->addWidget(glass, 0, Qt::AlignHCenter);
    m_noResultsTitle = plainLabel(m_noResults, "noResultsTitle");
    m_noResultsTitle->setWordWrap(true);
    m_noResultsTitle->setAlignment(Qt::AlignHCenter);
    TextStyles::apply(m_noResultsTitle, TextStyle::Title3, QFont::DemiBold);
    noResultsLayout->addWidget(m_noResultsTitle);
    m_noResultsDetail = plainLabel(m_noResults, "noResultsDetail");
    m_noResultsDetail->setWordWrap(true);
    m_noResultsDetail->setAlignment(Qt::AlignHCenter);
    TextStyles::apply(m_noResultsDetail, TextStyle::Callout);
    noResultsLayout->addWidget(m_noResultsDetail);
    noResultsLayout->addStretch(1);
    grid->addWidget(m_noResults, 0, 0);
    return area;
}

QList<CatalogPackage> DiscoverListView::filtered(const QList<CatalogPackage> &packages, const QString &search)
{
    if (search.isEmpty())
        return packages;
    const std::shared_ptr<CatalogFold> fold = CatalogSearch::build(packages, std::nullopt);
    QList<CatalogPackage> result;
    for (int index : CatalogSearch::matching(*fold, search))
        result.append(packages[index]);
    return result;
}

void DiscoverListView::setSearch(const QString &search)
{
    if (m_search == search)
        return;
    m_search = search;
    render();
    m_list->scrollToTop();
}

bool DiscoverListView::isSearchFocused() const
{
    return m_searchField->hasFocus();
}

void DiscoverListView::focusSearch()
{
    m_searchField->setFocus(Qt::ShortcutFocusReason);
    m_searchField->selectAll();
}

void DiscoverListView::setSelectedPackage(const std::optional<QString> &name)
{
    if (m_selection == name)
        return;
    m_selection = name;
    m_listModel->setSelectedName(m_selection);
    syncListSelection();
}

QString DiscoverListView::navigationTitle() const
{
    return m_l(L::sectionDiscover);
}

QWidget *DiscoverListView::toolbarWidget() const
{
    return m_searchField;
}

bool DiscoverListView::showsSpinner() const
{
    return m_model.isLoading() && m_model.catalogPackages().isEmpty();
}

bool DiscoverListView::showsNoResults() const
{
    return !showsSpinner() && m_listModel->rowCount() == 0;
}

// Rows searched off the GUI thread came: the list shows the search's answer
// from its top, as a search answered at once does.
void DiscoverListView::onSearchAnswered()
{
    render();
    m_list->scrollToTop();
}

bool DiscoverListView::isFoldReady() const
{
    return m_listModel->fold() != nullptr;
}

// A new catalog (an equal one never notifies, and the list model ignores
// one anyway): the fold is asked for first, so a small catalog's is ready
// at once; the rows reset, keeping the scroll position and current row.
void DiscoverListView::onCatalogChanged()
{
    m_cache.request(m_delegate->style().captionFont());
    const ListPosition position =
        ListPosition::save(m_list, [this](int row) { return m_listModel->packageAt(row).name; });
    m_syncing = true;
    const bool changed = m_listModel->setPackages(m_model.catalogPackages(), m_cache.generation());
    if (m_cache.fold())
        m_listModel->setFold(m_cache.fold());
    m_syncing = false;
    render();
    if (changed)
        position.restore(m_list, [this](const QString &name) { return m_listModel->rowOf(name); });
}

// The fold answers searches as the records did; only the row heights may
// change, from the estimate to the measured lines.
void DiscoverListView::onFoldReady()
{
    if (m_listModel->fold() || !m_cache.fold())
        return;
    m_listModel->setFold(m_cache.fold());
    if (m_listModel->fold()
        && m_delegate->linesWouldChange(*m_listModel, qMax(m_list->viewport()->width(), DiscoverRowDelegate::minimumRowWidth)))
        relayoutKeepingPosition();
    m_list->viewport()->update();
}

void DiscoverListView::relayoutKeepingPosition()
{
    const ListPosition position =
        ListPosition::save(m_list, [this](int row) { return m_listModel->packageAt(row).name; });
    position.restore(m_list, [this](const QString &name) { return m_listModel->rowOf(name); });
}

bool DiscoverListView::eventFilter(QObject *watched, QEvent *event)
{
    // A new width may take descriptions from one line to two or back: the
    // rows are laid out again, once the resizing settles for this turn.
    if (watched == m_list->viewport() && event->type() == QEvent::Resize) {
        const int width = static_cast<QResizeEvent *>(event)->size().width();
        if (width != m_laidOutWidth && !m_relayoutPending) {
            m_relayoutPending = true;
            QTimer::singleShot(0, this, [this] {
                m_relayoutPending = false;
                const int now = m_list->viewport()->width();
                if (now == m_laidOutWidth)
                    return;
                m_laidOutWidth = now;
                if (m_delegate->linesWouldChange(*m_listModel, qMax(now, DiscoverRowDelegate::minimumRowWidth)))
                    relayoutKeepingPosition();
            });
        }
    }
    return NavigationScreen::eventFilter(watched, event);
}

void DiscoverListView::syncListSelection()
{
    const int row = m_selection ? m_listModel->rowOf(*m_selection) : -1;
    QItemSelectionModel *selectionModel = m_list->selectionModel();
    if (row >= 0) {
        const QModelIndex index = m_listModel->index(row);
        if (selectionModel->currentIndex() == index && selectionModel->isSelected(index)
            && selectionModel->selectedIndexes().size() == 1)
            return;
    } else if (!selectionModel->hasSelection()) {
        return;
    }
    m_syncing = true;
    if (row >= 0)
        selectionModel->setCurrentIndex(m_listModel->index(row), QItemSelectionModel::ClearAndSelect);
    else
        selectionModel->clear();
    m_syncing = false;
}

void DiscoverListView::render()
{
    m_syncing = true;
    m_listModel->setSearch(m_search);
    m_syncing = false;
    syncListSelection();
    if (m_searchField->text() != m_search)
        m_searchField->setText(m_search);

    m_spinnerOverlay->setVisible(showsSpinner());
    const bool noResults = showsNoResults();
    m_noResults->setVisible(noResults);
    if (noResults) {
        // The rows shown answer this text; a newer one may be on its way.
        const NoResultsText text = NoResultsText::of(m_l.language(), m_listModel->search());
        m_noResultsTitle->setText(text.title);
        m_noResultsDetail->setText(text.detail);
    }
}

void DiscoverListView::renderTexts()
{
    m_searchField->setPlaceholderText(m_l(L::searchIndex));
    m_searchField->setAccessibleName(m_l(L::searchIndex));
    m_searchField->setToolTip(m_l(L::searchIndex));
    // The field's icon buttons speak too: the magnifying glass names the
    // search, the clear button what it does (as the Installed list's does).
    m_searchAction->setText(m_l(L::searchIndex));
    if (auto *clear = m_searchField->findChild<QAction *>(QStringLiteral("_q_qlineeditclearaction")))
        clear->setText(m_l(L::cancel));
    m_list->setAccessibleName(m_l(L::sectionDiscover));
    m_spinnerLabel->setText(m_l(L::readingIndex));
    setTextColour(m_spinnerLabel, Palette::zelkSecondary(palette()));
    setTextColour(m_noResultsDetail, Palette::zelkSecondary(palette()));
    m_list->viewport()->update();
    render();
    Q_EMIT navigationTitleChanged();
}

void DiscoverListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        renderTexts();
    NavigationScreen::changeEvent(event);
}

} // namespace ReveZE
