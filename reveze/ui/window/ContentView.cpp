#include "window/ContentView.h"

#include "AppModel.h"
#include "window/FocusOrder.h"
#include "window/SelectPackageView.h"
#include "discover/DiscoverListView.h"
#include "install/InstallSheet.h"
#include "installed/InstalledListView.h"
#include "doctor/DoctorView.h"
#include "config/ConfigView.h"
#include "upgrades/UpgradesView.h"
#include "window/LanguagePicker.h"
#include "Localizer.h"
#include "widgets/Palette.h"
#include "detail/PackageDetailView.h"
#include "window/SidebarDelegate.h"
#include "window/SidebarModel.h"
#include "window/StatusBar.h"
#include "window/ToolbarButton.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ReveZE {

namespace {

// Which screen a section shows: no section shows the Installed list, and the
// two keep one screen (and its state) between them.
SidebarItem screenOf(const std::optional<SidebarItem> &section)
{
    return section.value_or(SidebarItem::Installed);
}

QFrame *divider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Mid);
    return line;
}

} // namespace

ContentView::ContentView(AppModel &model, Localizer &l, QWidget *parent)
    : QMainWindow(parent), m_model(model), m_l(l)
{
    setObjectName(QStringLiteral("mainWindow"));
    resize(defaultSize);
    setUnifiedTitleAndToolBarOnMac(true);
    buildToolbar();

    auto *central = new QWidget(this);
    auto *stack = new QVBoxLayout(central);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    m_columns = new QSplitter(Qt::Horizontal, central);
    m_columns->setObjectName(QStringLiteral("columns"));
    m_columns->setChildrenCollapsible(false);
    m_columns->setHandleWidth(1);
    m_columns->setStyleSheet(QStringLiteral("QSplitter::handle { background: palette(mid); }"));

    m_columns->addWidget(buildSidebarColumn());

    // The two columns' floors are struts of their layouts, not fixed minimum
    // widths: a fixed minimum would let the splitter squeeze a screen below
    // what its controls need (on a small screen the Installed list's pills
    // and switch would overlap).
    m_contentColumn = new QWidget(m_columns);
    m_contentColumn->setObjectName(QStringLiteral("contentColumn"));
    m_contentColumn->setAutoFillBackground(true);
    m_contentColumn->setBackgroundRole(QPalette::Base);
    auto *contentLayout = new QVBoxLayout(m_contentColumn);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->addStrut(contentMinimumWidth);
    m_columns->addWidget(m_contentColumn);

    m_detailColumn = new QWidget(m_columns);
    m_detailColumn->setObjectName(QStringLiteral("detailColumn"));
    m_detailColumn->setAutoFillBackground(true);
    m_detailColumn->setBackgroundRole(QPalette::Base);
    auto *detailLayout = new QVBoxLayout(m_detailColumn);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->addStrut(detailMinimumWidth);
    m_columns->addWidget(m_detailColumn);

    m_columns->setStretchFactor(0, 0);
    m_columns->setStretchFactor(1, 1);
    m_columns->setStretchFactor(2, 1);
    m_columns->setSizes({sidebarIdealWidth, 440, defaultSize.width() - sidebarIdealWidth - 440});
    stack->addWidget(m_columns, 1);

    stack->addWidget(divider(central));
    m_statusBar = new StatusBar(m_model, m_l, central);
    stack->addWidget(m_statusBar);
    setCentralWidget(central);

    connect(&m_model, &AppModel::isLoadingChanged, this, &ContentView::renderToolbar);
    connect(&m_model, &AppModel::errorMessageChanged, this, &ContentView::renderAlert);
    connect(&m_l, &Localizer::languageChanged, this, &ContentView::render);
    render();
}

ContentView::~ContentView() = default;

QWidget *ContentView::buildSidebarColumn()
{
    auto *column = new QWidget(m_columns);
    m_sidebarColumn = column;
    column->setObjectName(QStringLiteral("sidebarColumn"));
    column->setMinimumWidth(sidebarMinimumWidth);
    column->setMaximumWidth(sidebarMaximumWidth);
    // The sidebar sits on the window colour, the columns beside it on the
    // base colour, as source lists do.
    column->setAutoFillBackground(true);
    column->setBackgroundRole(QPalette::Window);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_sidebar = new QListView(column);
    m_sidebar->setObjectName(QStringLiteral("sidebar"));
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setSelectionMode(QAbstractItemView::SingleSelection);
    m_sidebar->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_sidebar->setUniformItemSizes(true);
    m_sidebar->setSpacing(0);
    m_sidebar->setContentsMargins(0, 0, 0, 0);
    m_sidebar->viewport()->setAutoFillBackground(false);
    m_sidebar->setStyleSheet(QStringLiteral("QListView { background: transparent; padding-top: 8px; }"));
    m_sidebarModel = new SidebarModel(m_model, m_l, m_sidebar);
    m_sidebar->setModel(m_sidebarModel);
    m_sidebar->setItemDelegate(new SidebarDelegate(m_sidebar));
    connect(m_sidebar->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncingSidebar)
            return;
        const QModelIndexList selected = m_sidebar->selectionModel()->selectedIndexes();
        setSection(selected.isEmpty() ? std::nullopt : std::optional(SidebarModel::itemAt(selected.first())));
    });
    layout->addWidget(m_sidebar, 1);

    layout->addWidget(divider(column));
    m_languagePicker = new LanguagePicker(m_l, column);
    layout->addWidget(m_languagePicker);
    return column;
}

void ContentView::buildToolbar()
{
    auto *toolbar = new QToolBar(this);
    toolbar->setObjectName(QStringLiteral("toolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setVisible(false);
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolbar->setIconSize(QSize(18, 18));
    m_toolbar = toolbar;
    // The shown screen's own toolbar widget (Discover's search field) sits at
    // the leading end.
    m_screenSlot = new QWidget(toolbar);
    m_screenSlot->setObjectName(QStringLiteral("screenToolbarSlot"));
    m_screenSlotLayout = new QHBoxLayout(m_screenSlot);
    m_screenSlotLayout->setContentsMargins(0, 0, 0, 0);
    toolbar->addWidget(m_screenSlot);
    // The two actions sit at the trailing end, where primary actions go.
    auto *spacer = new QWidget(toolbar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);

    m_installAction = new QAction(Symbols::icon(u"plus"), QString(), this);
    m_installAction->setObjectName(QStringLiteral("installAction"));
    m_installAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    m_installAction->setShortcutContext(Qt::WindowShortcut);
    connect(m_installAction, &QAction::triggered, this, &ContentView::install);

    m_refreshAction = new QAction(Symbols::icon(u"arrow.clockwise"), QString(), this);
    m_refreshAction->setObjectName(QStringLiteral("refreshAction"));
    connect(m_refreshAction, &QAction::triggered, this, &ContentView::refresh);

    // A toolbar's own buttons take no focus and show none; these two are the
    // window's actions and Refresh has no key of its own, so they are buttons
    // that Tab reaches, that show the focus and that Space presses.
    for (QAction *action : {m_installAction, m_refreshAction}) {
        auto *button = new ToolbarButton(action, toolbar);
        button->setObjectName(action == m_installAction ? QStringLiteral("installButton")
                                                        : QStringLiteral("refreshButton"));
        button->setIconSize(toolbar->iconSize());
        toolbar->addWidget(button);
    }
    addToolBar(Qt::TopToolBarArea, toolbar);
}

QToolButton *ContentView::installButton() const
{
    return findChild<QToolButton *>(QStringLiteral("installButton"));
}

QToolButton *ContentView::refreshButton() const
{
    return findChild<QToolButton *>(QStringLiteral("refreshButton"));
}

void ContentView::setSection(std::optional<SidebarItem> section)
{
    if (m_section == section)
        return;
    m_section = section;
    renderSidebar();
    renderContent();
    renderTitle();
    Q_EMIT sectionChanged();
}

void ContentView::setSelectedPackage(std::optional<QString> name)
{
    if (m_selectedPackage == name)
        return;
    m_selectedPackage = std::move(name);
    if (m_contentScreen)
        m_contentScreen->setSelectedPackage(m_selectedPackage);
    renderDetail();
    renderTitle();
    Q_EMIT selectedPackageChanged();
}

void ContentView::install()
{
    openInstallSheet(m_selectedPackage.value_or(QString()), ZelkKit::ZelkOperation::Install, false);
}

void ContentView::openInstallSheet(const QString &packageName, ZelkKit::ZelkOperation operation, bool upgradeAll)
{
    if (m_showingInstall)
        return;
    m_installTarget = packageName;
    m_installOperation = operation;
    m_installUpgradeAll = upgradeAll;
    m_showingInstall = true;
    renderInstallSheet();
    Q_EMIT showingInstallChanged();
}

void ContentView::setScreenMaker(ScreenMaker maker)
{
    m_screenMaker = std::move(maker);
    // The shown screen is made again by the new maker.
    m_hasContent = false;
    renderContent();
    renderTitle();
}

void ContentView::refresh()
{
    if (m_model.isLoading())
        return;
    [[maybe_unused]] QCoro::Task<> task = runRefresh();
}

QCoro::Task<> ContentView::runRefresh()
{
    co_await m_model.refresh(true);
}

QCoro::Task<> ContentView::firstLoad()
{
    QPointer<ContentView> self(this);
    AppModel &model = m_model;
    co_await model.refresh(false);
    // The first load belongs to the window: a window that went away in the
    // meantime hears nothing of it.
    if (self)
        Q_EMIT self->firstRefreshFinished();
}

void ContentView::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_firstShown)
        return;
    m_firstShown = true;
    [[maybe_unused]] QCoro::Task<> task = firstLoad();
}

void ContentView::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
}

QList<QWidget *> ContentView::tabOrder(const QWidget *alsoInclude) const
{
    QList<QWidget *> order;
    for (QWidget *part : {m_sidebarColumn, m_screenSlot, m_contentColumn, m_detailColumn})
        order += FocusOrder::readingOrder(part, alsoInclude);
    for (QWidget *button : {static_cast<QWidget *>(installButton()), static_cast<QWidget *>(refreshButton())}) {
        if (button && (button == alsoInclude || FocusOrder::isTabStop(button)))
            order.append(button);
    }
    // Whatever else the window holds keeps a place at the end, in the order
    // of the window's own focus chain, so that nothing becomes unreachable.
    const QWidget *self = this;
    for (QWidget *widget = nextInFocusChain(); widget && widget != self; widget = widget->nextInFocusChain()) {
        if (widget->window() == self && (widget == alsoInclude || FocusOrder::isTabStop(widget))
            && !order.contains(widget))
            order.append(widget);
    }
    return order;
}

bool ContentView::focusNextPrevChild(bool next)
{
    QWidget *from = QApplication::focusWidget();
    if (from && from->window() == this) {
        QWidget *to = FocusOrder::step(tabOrder(from), from, next);
        if (to && to != from) {
            to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            FocusOrder::reveal(to);
            return true;
        }
    }
    return QMainWindow::focusNextPrevChild(next);
}

QString ContentView::navigationTitle() const
{
    if (m_selectedPackage)
        return *m_selectedPackage;
    return m_contentScreen ? m_contentScreen->navigationTitle() : QString();
}

void ContentView::render()
{
    renderToolbar();
    renderSidebar();
    renderContent();
    renderDetail();
    renderAlert();
    renderInstallSheet();
    renderTitle();
}

void ContentView::renderToolbar()
{
    m_installAction->setText(m_l(L::installEllipsis));
    m_installAction->setToolTip(m_l(L::installHelp));
    m_refreshAction->setText(m_l(L::refresh));
    m_refreshAction->setToolTip(m_l(L::refreshHelp));
    m_refreshAction->setEnabled(!m_model.isLoading());
    if (QToolButton *button = installButton())
        button->setAccessibleName(m_l(L::installEllipsis));
    if (QToolButton *button = refreshButton())
        button->setAccessibleName(m_l(L::refresh));
}

void ContentView::renderSidebar()
{
    m_syncingSidebar = true;
    if (m_section)
        m_sidebar->selectionModel()->setCurrentIndex(m_sidebarModel->indexOf(*m_section),
                                                     QItemSelectionModel::ClearAndSelect);
    else
        m_sidebar->selectionModel()->clearSelection();
    m_syncingSidebar = false;
    // The list's own name: the product, the same in every language; each row
    // is named by its section title.
    m_sidebar->setAccessibleName(QStringLiteral("ReveZE"));
}

void ContentView::renderContent()
{
    const SidebarItem wanted = screenOf(m_section);
    if (m_hasContent && m_contentFor == wanted)
        return;
    // A section's screen is made anew on each visit, so its own state starts
    // over; the selected package is the window's and carries on.
    takeScreenToolbarWidget();
    if (m_contentScreen) {
        m_contentScreen->hide();
        m_contentScreen->deleteLater();
    }
    NavigationScreen *screen = m_screenMaker ? m_screenMaker(wanted, m_contentColumn)
                                             : makeScreen(wanted, m_contentColumn);
    connect(screen, &NavigationScreen::navigationTitleChanged, this, &ContentView::renderTitle);
    connect(screen, &NavigationScreen::selectionEdited, this,
            [this](const std::optional<QString> &name) { setSelectedPackage(name); });
    connect(screen, &NavigationScreen::installRequested, this, &ContentView::openInstallSheet);
    screen->setSelectedPackage(m_selectedPackage);
    m_contentColumn->layout()->addWidget(screen);
    m_contentScreen = screen;
    m_contentFor = wanted;
    m_hasContent = true;
    if (QWidget *widget = screen->toolbarWidget()) {
        m_screenToolbarWidget = widget;
        m_screenSlotLayout->addWidget(widget);
        widget->show();
    }
}

NavigationScreen *ContentView::makeScreen(SidebarItem section, QWidget *parent)
{
    switch (section) {
    case SidebarItem::Installed:
        return new InstalledListView(m_model, m_l, m_selectedPackage, parent);

    case SidebarItem::Upgrades:
        return new UpgradesView(m_model, m_l, parent);

    case SidebarItem::Discover:
        return new DiscoverListView(m_model, m_l, m_selectedPackage, parent);

    case SidebarItem::Doctor:
        return new DoctorView(m_model, m_l, parent);

    case SidebarItem::Config:
        return new ConfigView(m_model, m_l, parent);
    }
    Q_UNREACHABLE();
    return nullptr;
}

// The outgoing screen's toolbar widget goes back to its screen, so that it
// goes with it.
void ContentView::takeScreenToolbarWidget()
{
    if (!m_screenToolbarWidget)
        return;
    QWidget *widget = m_screenToolbarWidget;
    m_screenToolbarWidget = nullptr;
    widget->hide();
    widget->setParent(m_contentScreen);
}

void ContentView::renderDetail()
{
    if (m_hasDetail && m_detailFor == m_selectedPackage)
        return;
    if (m_detailWidget) {
        m_detailWidget->hide();
        m_detailWidget->deleteLater();
    }
    if (m_selectedPackage)
        m_detailWidget = new PackageDetailView(m_model, m_l, *m_selectedPackage, m_detailColumn);
    else
        m_detailWidget = new SelectPackageView(m_l, m_detailColumn);
    m_detailColumn->layout()->addWidget(m_detailWidget);
    m_detailFor = m_selectedPackage;
    m_hasDetail = true;
}

void ContentView::renderAlert()
{
    const std::optional<QString> &message = m_model.errorMessage();
    if (!message) {
        // Cleared elsewhere (a new refresh): the alert goes with it.
        if (m_alert)
            m_alert->done(QMessageBox::Ok);
        return;
    }
    if (!m_alert) {
        auto *alert = new QMessageBox(this);
        alert->setObjectName(QStringLiteral("errorAlert"));
        alert->setIcon(QMessageBox::Warning);
        alert->setWindowModality(Qt::WindowModal);
        QPushButton *ok = alert->addButton(QMessageBox::Ok);
        ok->setObjectName(QStringLiteral("errorAlertOk"));
        alert->setDefaultButton(ok);
        alert->setEscapeButton(ok);

        // However the alert goes away, the message goes with it.
        connect(alert, &QDialog::finished, this, [this, alert] {
            if (m_alert == alert)
                m_alert = nullptr;
            alert->deleteLater();
            m_model.setErrorMessage(std::nullopt);
            takeKeysBack();
        });
        m_alert = alert;
    }
    m_alert->setWindowTitle(m_l(L::zelkError));
    m_alert->setTextFormat(Qt::PlainText);
    m_alert->setText(m_l(L::zelkError));
    m_alert->setInformativeText(*message);
    // The message is zelk's text: shown as it is, never as markup, and
    // nothing in it opens anything.
    if (auto *text = m_alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        text->setTextFormat(Qt::PlainText);
        text->setOpenExternalLinks(false);
    }
    // The title reads as a title; the message gets room for a sentence.
    if (auto *title = m_alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        title->setFont(TextStyles::font(TextStyle::Headline));
    if (auto *text = m_alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel")))
        text->setMinimumWidth(320);
    m_alert->setAccessibleName(m_l(L::zelkError));
    if (QAbstractButton *ok = m_alert->button(QMessageBox::Ok)) {
        ok->setText(m_l(L::ok));
        ok->setAccessibleName(m_l(L::ok));
    }
    if (!m_alert->isVisible())
        m_alert->open();
}

void ContentView::renderInstallSheet()
{
    if (!m_showingInstall || m_installSheet)
        return;
    auto *sheet = new InstallSheet(m_model, m_l, m_installTarget, m_installOperation, m_installUpgradeAll, this);
    connect(sheet, &QDialog::finished, this, [this, sheet] {
        if (m_installSheet == sheet)
            m_installSheet = nullptr;
        sheet->deleteLater();
        m_showingInstall = false;
        takeKeysBack();
        Q_EMIT showingInstallChanged();
    });
    m_installSheet = sheet;
    sheet->open();
}

// The window takes the keys back from a sheet or alert that went away, with
// the focus where it was before: not every window system activates the
// window under a closed dialog by itself.
void ContentView::takeKeysBack()
{
    if (isVisible() && !m_alert && !m_installSheet)
        activateWindow();
}

void ContentView::renderTitle()
{
    setWindowTitle(navigationTitle());
}

} // namespace ReveZE
