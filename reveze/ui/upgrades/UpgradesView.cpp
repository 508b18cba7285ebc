#include "upgrades/UpgradesView.h"

#include "AppModel.h"
#include "Localizer.h"
#include "installed/ListPosition.h"
#include "upgrades/UpgradesList.h"
#include "upgrades/UpgradesListModel.h"
#include "upgrades/UpgradesRowDelegate.h"
#include "widgets/Palette.h"
#include "widgets/SymbolLabel.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using ZelkKit::ZelkOperation;

namespace ReveZE {

namespace {

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

UpgradesView::UpgradesView(AppModel &model, Localizer &l, QWidget *parent)
    : NavigationScreen(parent), m_model(model), m_l(l)
{
    setObjectName(QStringLiteral("upgradesView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("upgradesHeader"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(10);
    m_title = new QLabel(header);
    m_title->setObjectName(QStringLiteral("upgradesTitle"));
    m_title->setTextFormat(Qt::PlainText);
    TextStyles::apply(m_title, TextStyle::Title3, QFont::DemiBold);
    m_count = new QLabel(header);
    m_count->setObjectName(QStringLiteral("upgradesCount"));
    m_count->setTextFormat(Qt::PlainText);
    TextStyles::apply(m_count, TextStyle::Callout);
    // Both sit on the first text baseline.
    const int lift = QFontMetrics(m_title->font()).descent() - QFontMetrics(m_count->font()).descent();
    m_count->setContentsMargins(0, 0, 0, qMax(0, lift));
    row->addWidget(m_title, 0, Qt::AlignBottom);
    row->addWidget(m_count, 0, Qt::AlignBottom);
    row->addStretch(1);
    m_upgradeAll = new QPushButton(header);
    m_upgradeAll->setObjectName(QStringLiteral("upgradeAllButton"));
    m_upgradeAll->setIcon(Symbols::icon(u"arrow.up.circle.fill"));
    connect(m_upgradeAll, &QPushButton::clicked, this, &UpgradesView::upgradeAll);
    row->addWidget(m_upgradeAll, 0, Qt::AlignVCenter);
    layout->addWidget(header);

    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::NoFrame);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    divider->setBackgroundRole(QPalette::Mid);
    layout->addWidget(divider);

    m_stack = new QStackedWidget(this);
    m_list = new UpgradesList(m_stack);
    m_list->setObjectName(QStringLiteral("upgradesList"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; padding-top: 4px; }"));
    m_list->viewport()->setAutoFillBackground(false);
    m_listModel = new UpgradesListModel(m_l, m_list);
    m_list->setModel(m_listModel);
    m_list->setRowDelegate(new UpgradesRowDelegate(m_l, m_list));
    connect(m_list, &UpgradesList::upgradeRequested, this,
            [this](int index) { upgrade(m_listModel->itemAt(index).name); });
    m_stack->addWidget(m_list);

    m_seal = new QWidget(m_stack);
    m_seal->setObjectName(QStringLiteral("upToDateState"));
    auto *sealLayout = new QVBoxLayout(m_seal);
    sealLayout->setSpacing(10);
    sealLayout->addStretch(1);
    auto *symbol = new SymbolLabel(QStringLiteral("checkmark.seal.fill"), 40,
                                   [](const QPalette &) { return Palette::green(); }, m_seal);
    symbol->setObjectName(QStringLiteral("upToDateSeal"));
    sealLayout->addWidget(symbol, 0, Qt::AlignHCenter);
    m_sealLabel = new QLabel(m_seal);
    m_sealLabel->setObjectName(QStringLiteral("upToDateLabel"));
    m_sealLabel->setTextFormat(Qt::PlainText);
    m_sealLabel->setAlignment(Qt::AlignHCenter);
    m_sealLabel->setWordWrap(true);
    TextStyles::apply(m_sealLabel, TextStyle::Headline);
    sealLayout->addWidget(m_sealLabel);
    sealLayout->addStretch(1);
    m_stack->addWidget(m_seal);
    layout->addWidget(m_stack, 1);

    connect(&m_model, &AppModel::outdatedChanged, this, &UpgradesView::onOutdatedChanged);
    connect(&m_l, &Localizer::languageChanged, this, &UpgradesView::renderTexts);
    m_listModel->setItems(m_model.outdated());
    renderTexts();
}

UpgradesView::~UpgradesView() = default;

QString UpgradesView::navigationTitle() const
{
    return m_l(L::sectionUpgrades);
}

void UpgradesView::upgrade(const QString &name)
{
    m_target = name;
    m_upgradingAll = false;
    Q_EMIT installRequested(name, ZelkOperation::Upgrade, false);
}

void UpgradesView::upgradeAll()
{
    m_target.reset();
    m_upgradingAll = true;
    Q_EMIT installRequested(QString(), ZelkOperation::Upgrade, true);
}

bool UpgradesView::showsSeal() const
{
    return m_model.outdated().isEmpty();
}

void UpgradesView::appeared()
{
    [[maybe_unused]] QCoro::Task<> task = loadOutdated();
}

// The model applies the list whatever becomes of the screen; the screen
// only counts its loads, and only while it still exists.
QCoro::Task<> UpgradesView::loadOutdated()
{
    QPointer<UpgradesView> self(this);
    AppModel &model = m_model;
    ++m_loads;
    setLoaded(false);
    co_await model.refreshOutdated();
    if (!self)
        co_return;
    if (--self->m_loads == 0)
        self->setLoaded(true);
}

void UpgradesView::onOutdatedChanged()
{
    const ListPosition position =
        ListPosition::save(m_list, [this](int row) { return m_listModel->itemAt(row).name; });
    if (m_listModel->setItems(m_model.outdated()))
        position.restore(m_list, [this](const QString &name) { return m_listModel->rowOf(name); });
    render();
}

void UpgradesView::render()
{
    const qsizetype count = m_model.outdated().size();
    m_count->setText(m_l.format(L::upgradesCount, {qint64(count)}));
    m_upgradeAll->setEnabled(count > 0);
    m_stack->setCurrentWidget(showsSeal() ? m_seal : static_cast<QWidget *>(m_list));
}

void UpgradesView::renderTexts()
{
    m_title->setText(m_l(L::upgradesTitle));
    m_upgradeAll->setText(m_l(L::upgradeAllAction));
    m_upgradeAll->setAccessibleName(m_l(L::upgradeAllAction));
    m_list->setAccessibleName(m_l(L::upgradesTitle));
    m_sealLabel->setText(m_l(L::upgradesNone));
    setTextColour(m_count, Palette::zelkSecondary(palette()));
    m_list->viewport()->update();
    render();
    Q_EMIT navigationTitleChanged();
}

void UpgradesView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        renderTexts();
    NavigationScreen::changeEvent(event);
}

} // namespace ReveZE
