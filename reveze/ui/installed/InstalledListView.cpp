#include "installed/InstalledListView.h"

#include "widgets/AppIconView.h"
#include "AppModel.h"
#include "widgets/FilterPill.h"
#include "widgets/FilterPills.h"
#include "installed/InstalledListModel.h"
#include "installed/InstalledRowDelegate.h"
#include "Localizer.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/SearchBar.h"
#include "widgets/TextStyles.h"
#include "widgets/ToggleSwitch.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QShortcut>
#include <QVBoxLayout>

using ZelkKit::InstalledDetail;
using ZelkKit::InstallStatus;

namespace ReveZE {

namespace {

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

InstalledListView::InstalledListView(AppModel &model, Localizer &l, std::optional<QString> selection,
                                     QWidget *parent)
    : NavigationScreen(parent), m_model(model), m_l(l), m_selection(std::move(selection))
{
    setObjectName(QStringLiteral("installedListView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildSearchRow());
    layout->addWidget(buildHeader());
    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::NoFrame);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    divider->setBackgroundRole(QPalette::Mid);
    layout->addWidget(divider);
    layout->addWidget(buildListArea(), 1);

    // Ctrl+F anywhere in the window puts the focus into the search field.
    m_findShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    m_findShortcut->setObjectName(QStringLiteral("findShortcut"));
    m_findShortcut->setContext(Qt::WindowShortcut);
    connect(m_findShortcut, &QShortcut::activated, this, &InstalledListView::focusSearch);

    connect(&m_model, &AppModel::statusChanged, this, &InstalledListView::onStatusChanged);
    connect(&m_model, &AppModel::isLoadingChanged, this, &InstalledListView::render);
    connect(&m_l, &Localizer::languageChanged, this, &InstalledListView::renderTexts);

    m_listModel->setSelectedName(m_selection);
    onStatusChanged();
    renderTexts();
}

InstalledListView::~InstalledListView() = default;

QWidget *InstalledListView::buildSearchRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 12, 16, 0);
    m_searchBar = new SearchBar(row);
    connect(m_searchBar, &SearchBar::textEdited, this, &InstalledListView::setSearch);
    layout->addWidget(m_searchBar);
    return row;
}

QWidget *InstalledListView::buildHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("installedHeader"));
    auto *column = new QVBoxLayout(header);
    column->setContentsMargins(16, 12, 16, 12);
    column->setSpacing(10);

    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(8);
    m_title = new QLabel(header);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setObjectName(QStringLiteral("installedTitle"));
    TextStyles::apply(m_title, TextStyle::Title3, QFont::DemiBold);
    m_count = new QLabel(header);
    m_count->setTextFormat(Qt::PlainText);
    m_count->setObjectName(QStringLiteral("installedCount"));
    TextStyles::apply(m_count, TextStyle::Callout);
    // Both sit on the first text baseline: the smaller text is lifted by the
    // difference of the two descents.
    const int lift = QFontMetrics(m_title->font()).descent() - QFontMetrics(m_count->font()).descent();
    m_count->setContentsMargins(0, 0, 0, qMax(0, lift));
    titleRow->addWidget(m_title, 0, Qt::AlignBottom);
    titleRow->addWidget(m_count, 0, Qt::AlignBottom);
    titleRow->addStretch(1);
    column->addLayout(titleRow);

    auto *controls = new QHBoxLayout;
    controls->setSpacing(14);
    m_pills = new FilterPills(header);
    m_pills->setObjectName(QStringLiteral("filterPills"));
    connect(m_pills, &FilterPills::pillPressed, this,
            [this](int index) { setFilter(allInstalledFilters().value(index, Filter::All)); });
    controls->addWidget(m_pills, 0, Qt::AlignVCenter);

    auto *hide = new QWidget(header);
    hide->setObjectName(QStringLiteral("hideDependenciesControl"));
    auto *hideLayout = new QHBoxLayout(hide);
    hideLayout->setContentsMargins(0, 0, 0, 0);
    hideLayout->setSpacing(6);
    m_hideSwitch = new ToggleSwitch(hide);
    m_hideSwitch->setObjectName(QStringLiteral("hideDependenciesSwitch"));
    connect(m_hideSwitch, &QAbstractButton::toggled, this, &InstalledListView::setHideDependencies);
    hideLayout->addWidget(m_hideSwitch, 0, Qt::AlignVCenter);
    m_hideLabel = new QLabel(hide);
    m_hideLabel->setTextFormat(Qt::PlainText);
    m_hideLabel->setObjectName(QStringLiteral("hideDependenciesLabel"));
    TextStyles::apply(m_hideLabel, TextStyle::Callout);
    m_hideLabel->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    hideLayout->addWidget(m_hideLabel, 0, Qt::AlignVCenter);
    hide->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    controls->addWidget(hide, 0, Qt::AlignVCenter);
    controls->addStretch(1);
    column->addLayout(controls);
    return header;
}

QWidget *InstalledListView::buildListArea()
{
    auto *area = new QWidget(this);
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    m_list = new QListView(area);
    m_list->setObjectName(QStringLiteral("installedList"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setLayoutMode(QListView::SinglePass);
    // Rows paint their own selection (InstalledRow).
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; padding-top: 4px; }"));
    m_list->viewport()->setAutoFillBackground(false);
    m_listModel = new InstalledListModel(m_l, m_list);
    m_list->setModel(m_listModel);
    m_list->setItemDelegate(new InstalledRowDelegate(m_l, m_list));
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
    m_spinnerOverlay->setObjectName(QStringLiteral("readingInstalledOverlay"));
    m_spinnerOverlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *spinnerLayout = new QVBoxLayout(m_spinnerOverlay);
    spinnerLayout->setSpacing(8);
    auto *spinner = new ProgressSpinner(24, m_spinnerOverlay);
    spinner->setObjectName(QStringLiteral("readingInstalledSpinner"));
    spinnerLayout->addWidget(spinner, 0, Qt::AlignHCenter);
    m_spinnerLabel = new QLabel(m_spinnerOverlay);
    m_spinnerLabel->setTextFormat(Qt::PlainText);
    m_spinnerLabel->setObjectName(QStringLiteral("readingInstalledLabel"));
    TextStyles::apply(m_spinnerLabel, TextStyle::Callout);
    spinnerLayout->addWidget(m_spinnerLabel, 0, Qt::AlignHCenter);
    grid->addWidget(m_spinnerOverlay, 0, 0, Qt::AlignCenter);

    m_emptyState = new QWidget(area);
    m_emptyState->setObjectName(QStringLiteral("nothingInstalledState"));
    m_emptyState->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *emptyLayout = new QVBoxLayout(m_emptyState);
    emptyLayout->setContentsMargins(24, 24, 24, 24);
    emptyLayout->setSpacing(10);
    emptyLayout->addStretch(1);
    auto *icon = new AppIconView(72, m_emptyState);
    icon->setOpacity(0.85);
    emptyLayout->addWidget(icon, 0, Qt::AlignHCenter);
    m_emptyTitle = new QLabel(m_emptyState);
    m_emptyTitle->setTextFormat(Qt::PlainText);
    m_emptyTitle->setObjectName(QStringLiteral("nothingInstalledTitle"));
    m_emptyTitle->setWordWrap(true);
    m_emptyTitle->setAlignment(Qt::AlignHCenter);
    TextStyles::apply(m_emptyTitle, TextStyle::Headline);
    emptyLayout->addWidget(m_emptyTitle);
    m_emptyDetail = new QLabel(m_emptyState);
    m_emptyDetail->setTextFormat(Qt::PlainText);
    m_emptyDetail->setObjectName(QStringLiteral("nothingInstalledDetail"));
    m_emptyDetail->setWordWrap(true);
    m_emptyDetail->setAlignment(Qt::AlignHCenter);
    TextStyles::apply(m_emptyDetail, TextStyle::Callout);
    emptyLayout->addWidget(m_emptyDetail);
    emptyLayout->addStretch(1);
    // The empty state fills the list area; its texts wrap within it, centred.
    grid->addWidget(m_emptyState, 0, 0);
    return area;
}

QList<InstalledDetail> InstalledListView::visible(const std::optional<InstallStatus> &status, Filter filter,
                                                  bool hideDependencies, const QString &search)
{
    if (!status)
        return {};
    QStringList folded;
    folded.reserve(status->packages.size());
    for (const InstalledDetail &package : status->packages)
        folded.append(InstalledListModel::folded(package.name));
    QList<InstalledDetail> result;
    for (int row : InstalledListModel::visibleRows(status->packages, folded, filter, hideDependencies, search))
        result.append(status->packages[row]);
    return result;
}

void InstalledListView::setSearch(const QString &search)
{
    if (m_search == search)
        return;
    m_search = search;
    render();
}

void InstalledListView::setFilter(Filter filter)
{
    if (m_filter == filter)
        return;
    m_filter = filter;
    if (m_filter == Filter::Dependencies)
        m_hideDependencies = false;
    m_pills->setCurrentIndex(int(allInstalledFilters().indexOf(m_filter)), isVisible());
    render();
}

void InstalledListView::setHideDependencies(bool hide)
{
    if (m_hideDependencies == hide)
        return;
    m_hideDependencies = hide;
    render();
}

bool InstalledListView::isSearchFocused() const
{
    return m_searchBar->field()->hasFocus();
}

void InstalledListView::focusSearch()
{
    m_searchBar->field()->setFocus(Qt::ShortcutFocusReason);
}

void InstalledListView::setSelectedPackage(const std::optional<QString> &name)
{
    if (m_selection == name)
        return;
    m_selection = name;
    m_listModel->setSelectedName(m_selection);
    syncListSelection();
}

QString InstalledListView::navigationTitle() const
{
    return m_l(L::sectionInstalled);
}

bool InstalledListView::showsSpinner() const
{
    const std::optional<InstallStatus> &status = m_model.status();
    return m_model.isLoading() && (!status || status->packages.isEmpty());
}

bool InstalledListView::showsEmptyState() const
{
    return !showsSpinner() && m_listModel->rowCount() == 0;
}

void InstalledListView::onStatusChanged()
{
    const std::optional<InstallStatus> &status = m_model.status();
    m_syncing = true;
    m_listModel->setPackages(status ? status->packages : QList<InstalledDetail>());
    m_syncing = false;
    render();
}

void InstalledListView::syncListSelection()
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
        m_list->selectionModel()->setCurrentIndex(m_listModel->index(row), QItemSelectionModel::ClearAndSelect);
    else
        m_list->selectionModel()->clear();
    m_syncing = false;
}

void InstalledListView::render()
{
    m_syncing = true;
    m_listModel->setQuery(m_filter, m_hideDependencies, m_search);
    m_syncing = false;
    syncListSelection();

    m_searchBar->setText(m_search);
    const std::optional<InstallStatus> &status = m_model.status();
    m_count->setText(m_l.format(L::packagesCount, {qint64(status ? status->packages.size() : 0)}));
    const int filterIndex = int(allInstalledFilters().indexOf(m_filter));
    if (m_pills->currentIndex() != filterIndex)
        m_pills->setCurrentIndex(filterIndex, false);
    {
        const QSignalBlocker blocker(m_hideSwitch);
        m_hideSwitch->setChecked(m_hideDependencies);
    }
    m_hideSwitch->setEnabled(m_filter != Filter::Dependencies);
    m_hideLabel->setEnabled(m_filter != Filter::Dependencies);

    m_spinnerOverlay->setVisible(showsSpinner());
    m_emptyState->setVisible(showsEmptyState());
}

void InstalledListView::renderTexts()
{
    m_title->setText(m_l(L::yourPackages));
    QStringList labels;
    for (Filter filter : allInstalledFilters())
        labels.append(m_l(labelKey(filter)));
    m_pills->setLabels(labels);
    for (int i = 0; i < m_pills->count(); ++i)
        m_pills->pill(i)->setObjectName(QStringLiteral("filterPill_") + rawValue(allInstalledFilters().at(i)));
    m_pills->setAccessibleName(m_l(L::filterInstalled));
    m_hideLabel->setText(m_l(L::hideDependencies));
    m_hideLabel->setMinimumWidth(m_hideLabel->sizeHint().width());
    m_hideSwitch->setAccessibleName(m_l(L::hideDependencies));
    m_hideSwitch->setToolTip(m_l(L::hideDependencies));
    m_searchBar->setAccessibleNames(m_l(L::filterInstalled), m_l(L::cancel));
    m_list->setAccessibleName(m_l(L::yourPackages));
    m_spinnerLabel->setText(m_l(L::readingInstalled));
    m_emptyTitle->setText(m_l(L::nothingInstalled));
    m_emptyDetail->setText(m_l(L::nothingInstalledDetail));
    setTextColour(m_count, Palette::zelkSecondary(palette()));
    setTextColour(m_hideLabel, Palette::zelkSecondary(palette()));
    setTextColour(m_spinnerLabel, Palette::zelkSecondary(palette()));
    setTextColour(m_emptyDetail, Palette::zelkSecondary(palette()));
    // Row texts (kind badges) are in the language too.
    m_list->viewport()->update();
    render();
    Q_EMIT navigationTitleChanged();
}

void InstalledListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        renderTexts();
    NavigationScreen::changeEvent(event);
}

} // namespace ReveZE
