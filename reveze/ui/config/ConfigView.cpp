#include "config/ConfigView.h"

#include "AppModel.h"
#include "Localizer.h"
#include "config/ElidedValueField.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using ZelkKit::IndexStatus;
using ZelkKit::MirrorEntry;

namespace ReveZE {

namespace {

constexpr int smallSpinner = 16;
constexpr int columnSpacing = 14;
constexpr int rowSpacing = 6;
constexpr int sectionPadding = 6;

// The monospaced variant of a text style: zelk's names, paths and addresses.
QFont monospaced(TextStyle style)
{
    QFont font = TextStyles::font(style);
    font.setFamilies(QFontDatabase::systemFont(QFontDatabase::FixedFont).families());
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QLabel *plainLabel(QWidget *parent, const QString &objectName)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Text the user may select and copy (a path, the base directory).
QLabel *selectableLabel(QWidget *parent, const QString &objectName)
{
    QLabel *label = plainLabel(parent, objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setCursor(Qt::IBeamCursor);
    return label;
}

QFrame *horizontalDivider(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    line->setBackgroundRole(QPalette::Mid);
    return line;
}

} // namespace

ConfigView::ConfigView(AppModel &model, Localizer &l, QWidget *parent)
    : NavigationScreen(parent), m_model(model), m_l(l)
{
    setObjectName(QStringLiteral("configView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("configScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setWidget(buildContent());
    layout->addWidget(m_scroll);

    connect(&m_model, &AppModel::mirrorChanged, this, &ConfigView::renderSources);
    connect(&m_model, &AppModel::cliInfoChanged, this, &ConfigView::renderBaseDir);
    connect(&m_model, &AppModel::indexStatusChanged, this, &ConfigView::renderIndex);
    connect(&m_l, &Localizer::languageChanged, this, &ConfigView::renderTexts);
    renderTexts();
    // Without data sources the first appearance loads them.
    setLoaded(m_model.mirror().has_value());
}

ConfigView::~ConfigView() = default;

QWidget *ConfigView::buildContent()
{
    // The content keeps to the leading edge and at most 900 wide.
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("configPage"));
    page->setAutoFillBackground(false);
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto *content = new QWidget(page);
    content->setObjectName(QStringLiteral("configContent"));
    content->setMaximumWidth(maximumContentWidth);
    pageLayout->addWidget(content, 1);
    pageLayout->addStretch(0);

    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(20);

    auto *row = new QHBoxLayout;
    m_title = plainLabel(content, QStringLiteral("configTitle"));
    TextStyles::apply(m_title, TextStyle::Title3, QFont::DemiBold);
    row->addWidget(m_title, 0, Qt::AlignVCenter);
    row->addStretch(1);
    m_refreshButton = new QPushButton(Symbols::icon(u"arrow.clockwise"), QString(), content);
    m_refreshButton->setObjectName(QStringLiteral("configRefreshButton"));
    connect(m_refreshButton, &QPushButton::clicked, this, &ConfigView::refresh);
    row->addWidget(m_refreshButton, 0, Qt::AlignVCenter);
    column->addLayout(row);

    m_hint = plainLabel(content, QStringLiteral("configHint"));
    m_hint->setWordWrap(true);
    TextStyles::apply(m_hint, TextStyle::Caption);
    column->addWidget(m_hint);

    m_sourcesBox = buildSources(content);
    column->addWidget(m_sourcesBox);
    m_indexBox = buildIndex(content);
    column->addWidget(m_indexBox);
    column->addStretch(1);
    return page;
}

QGroupBox *ConfigView::buildSources(QWidget *parent)
{
    auto *box = new QGroupBox(parent);
    box->setObjectName(QStringLiteral("mirrorGroup"));
    auto *column = new QVBoxLayout(box);
    column->setSpacing(8);

    m_baseDir = selectableLabel(box, QStringLiteral("baseDirLabel"));
    m_baseDir->setFont(monospaced(TextStyle::Caption));
    column->addWidget(m_baseDir);

    auto *padded = new QWidget(box);
    auto *paddedLayout = new QVBoxLayout(padded);
    paddedLayout->setContentsMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding);
    paddedLayout->setSpacing(0);
    m_sourcesSpinner = new ProgressSpinner(smallSpinner, padded);
    m_sourcesSpinner->setObjectName(QStringLiteral("mirrorSpinner"));
    paddedLayout->addWidget(m_sourcesSpinner, 0, Qt::AlignLeft);

    m_sourcesGrid = new QWidget(padded);
    m_sourcesGrid->setObjectName(QStringLiteral("mirrorGrid"));
    m_sourcesLayout = new QGridLayout(m_sourcesGrid);
    m_sourcesLayout->setContentsMargins(0, 0, 0, 0);
    m_sourcesLayout->setHorizontalSpacing(columnSpacing);
    m_sourcesLayout->setVerticalSpacing(rowSpacing);
    m_sourcesLayout->setColumnStretch(2, 1);
    for (int i = 0; i < 3; ++i) {
        QLabel *header = plainLabel(m_sourcesGrid, QStringLiteral("mirrorHeader%1").arg(i));
        header->setFont(TextStyles::font(TextStyle::Caption, QFont::DemiBold));
        m_sourcesLayout->addWidget(header, 0, i, Qt::AlignLeft | Qt::AlignVCenter);
        m_sourceHeaders.append(header);
    }
    m_sourcesLayout->addWidget(horizontalDivider(m_sourcesGrid), 1, 0, 1, 3);
    paddedLayout->addWidget(m_sourcesGrid);
    column->addWidget(padded);
    return box;
}

QGroupBox *ConfigView::buildIndex(QWidget *parent)
{
    auto *box = new QGroupBox(parent);
    box->setObjectName(QStringLiteral("indexGroup"));
    auto *column = new QVBoxLayout(box);
    column->setSpacing(8);

    m_indexGrid = new QWidget(box);
    m_indexGrid->setObjectName(QStringLiteral("indexGrid"));
    auto *grid = new QGridLayout(m_indexGrid);
    grid->setContentsMargins(sectionPadding, sectionPadding, sectionPadding, sectionPadding);
    grid->setHorizontalSpacing(columnSpacing);
    grid->setVerticalSpacing(rowSpacing);
    grid->setColumnStretch(1, 1);
    auto addRow = [&](int row, const QString &name, QLabel *&label, QLabel *&value, bool selectable) {
        label = plainLabel(m_indexGrid, name + QStringLiteral("Label"));
        TextStyles::apply(label, TextStyle::Caption);
        value = selectable ? selectableLabel(m_indexGrid, name + QStringLiteral("Value"))
                           : plainLabel(m_indexGrid, name + QStringLiteral("Value"));
        TextStyles::apply(value, TextStyle::Caption);
        grid->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(value, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    };
    addRow(0, QStringLiteral("indexPath"), m_pathLabel, m_pathValue, true);
    m_pathValue->setFont(monospaced(TextStyle::Caption));
    addRow(1, QStringLiteral("indexAge"), m_ageLabel, m_ageValue, false);
    addRow(2, QStringLiteral("indexPackages"), m_packagesLabel, m_packagesValue, false);
    addRow(3, QStringLiteral("indexState"), m_stateLabel, m_stateValue, false);
    column->addWidget(m_indexGrid);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(sectionPadding, 0, 0, 0);
    buttons->setSpacing(6);
    m_refreshIndexSpinner = new ProgressSpinner(smallSpinner, box);
    m_refreshIndexSpinner->setObjectName(QStringLiteral("refreshIndexSpinner"));
    buttons->addWidget(m_refreshIndexSpinner, 0, Qt::AlignVCenter);
    m_refreshIndexButton = new QPushButton(Symbols::icon(u"arrow.triangle.2.circlepath"), QString(), box);
    m_refreshIndexButton->setObjectName(QStringLiteral("refreshIndexButton"));
    connect(m_refreshIndexButton, &QPushButton::clicked, this, &ConfigView::refreshIndex);
    buttons->addWidget(m_refreshIndexButton, 0, Qt::AlignVCenter);
    buttons->addStretch(1);
    column->addLayout(buttons);
    return box;
}

QString ConfigView::ageText(qint64 seconds)
{
    if (seconds < 60)
        return QString::number(seconds) + QLatin1Char('s');
    if (seconds < 3600)
        return QString::number(seconds / 60) + QLatin1Char('m');
    return QString::number(seconds / 3600) + QLatin1Char('h');
}

QString ConfigView::valueText(const std::optional<QString> &value)
{
    return value ? *value : QStringLiteral("\u2014");
}

QString ConfigView::packagesText(qint64 packages)
{
    return QString::number(packages);
}

QString ConfigView::navigationTitle() const
{
    return m_l(L::sectionConfig);
}

void ConfigView::appeared()
{
    // A later visit shows what the model already holds.
    if (m_model.mirror())
        return;
    [[maybe_unused]] QCoro::Task<> task = load();
}

QCoro::Task<> ConfigView::load()
{
    QPointer<ConfigView> self(this);
    AppModel &model = m_model;
    setLoaded(false);
    (void)co_await model.refreshMirrorAndIndex();
    if (self)
        self->setLoaded(true);
}

void ConfigView::refresh()
{
    [[maybe_unused]] QCoro::Task<> task = runRefresh();
}

QCoro::Task<> ConfigView::runRefresh()
{
    AppModel &model = m_model;
    (void)co_await model.refreshMirrorAndIndex();
}

void ConfigView::refreshIndex()
{
    if (m_isRefreshingIndex)
        return;
    [[maybe_unused]] QCoro::Task<> task = runRefreshIndex();
}

QCoro::Task<> ConfigView::runRefreshIndex()
{
    QPointer<ConfigView> self(this);
    AppModel &model = m_model;
    m_isRefreshingIndex = true;
    renderIndex();
    // Leaving the screen does not stop the refresh; the model applies it.
    (void)co_await model.refreshIndex();
    if (!self)
        co_return;
    // Whatever the outcome: a failure is the window's alert.
    self->m_isRefreshingIndex = false;
    self->renderIndex();
}

void ConfigView::render()
{
    renderBaseDir();
    renderSources();
    renderIndex();
}

void ConfigView::renderBaseDir()
{
    const std::optional<ZelkKit::CLIInfo> &info = m_model.cliInfo();
    const bool hasBaseDir = info && info->baseDir;
    m_baseDir->setVisible(hasBaseDir);
    const QString text = hasBaseDir ? QStringLiteral("base_dir: ") + *info->baseDir : QString();
    // Every full refresh assigns the version record; a selection survives it.
    if (m_baseDir->text() != text)
        m_baseDir->setText(text);
    m_baseDir->setAccessibleName(QStringLiteral("base_dir"));
}

void ConfigView::renderSources()
{
    const std::optional<ZelkKit::MirrorConfig> &mirror = m_model.mirror();
    m_sourcesSpinner->setVisible(!mirror);
    m_sourcesGrid->setVisible(mirror.has_value());

    qDeleteAll(m_sourceRowWidgets);
    m_sourceRowWidgets.clear();
    m_sourceNames.clear();
    m_sourceOrigins.clear();
    m_sourceValues.clear();
    if (!mirror)
        return;
    const QColor secondary = Palette::zelkSecondary(palette());
    int row = 2;
    for (const MirrorEntry &entry : mirror->mirrors) {
        QLabel *name = plainLabel(m_sourcesGrid, QStringLiteral("mirrorName_") + entry.name);
        name->setFont(monospaced(TextStyle::Callout));
        name->setText(entry.name);
        QLabel *source = plainLabel(m_sourcesGrid, QStringLiteral("mirrorSource_") + entry.name);
        TextStyles::apply(source, TextStyle::Caption);
        source->setText(entry.source);
        setTextColour(source, secondary);
        auto *value = new ElidedValueField(m_sourcesGrid);
        value->setObjectName(QStringLiteral("mirrorValue_") + entry.name);
        value->setFont(monospaced(TextStyle::Caption));
        value->setValue(valueText(entry.value));
        value->setAccessibleName(m_l(L::mirrorValue) + QStringLiteral(" ") + entry.name);
        m_sourcesLayout->addWidget(name, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        m_sourcesLayout->addWidget(source, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        m_sourcesLayout->addWidget(value, row, 2);
        for (QWidget *cell : {static_cast<QWidget *>(name), static_cast<QWidget *>(source), static_cast<QWidget *>(value)}) {
            cell->show();
            m_sourceRowWidgets.append(cell);
        }
        m_sourceNames.append(name);
        m_sourceOrigins.append(source);
        m_sourceValues.append(value);
        ++row;
    }
}

void ConfigView::renderIndex()
{
    const std::optional<IndexStatus> &index = m_model.indexStatus();
    m_indexGrid->setVisible(index.has_value());
    if (index) {
        m_pathValue->setText(index->path);
        const bool hasAge = index->ageSeconds.has_value();
        m_ageLabel->setVisible(hasAge);
        m_ageValue->setVisible(hasAge);
        m_ageValue->setText(hasAge ? ageText(*index->ageSeconds) : QString());
        const bool hasPackages = index->packages.has_value();
        m_packagesLabel->setVisible(hasPackages);
        m_packagesValue->setVisible(hasPackages);
        m_packagesValue->setText(hasPackages ? packagesText(*index->packages) : QString());
        const bool fresh = isFresh(index->fresh);
        m_stateValue->setText(m_l(fresh ? L::indexFresh : L::indexStale));
        setTextColour(m_stateValue, fresh ? Palette::green() : Palette::orange());
    }
    m_refreshIndexSpinner->setVisible(m_isRefreshingIndex);
    m_refreshIndexButton->setEnabled(!m_isRefreshingIndex);
}

void ConfigView::renderTexts()
{
    m_title->setText(m_l(L::sectionConfig));
    m_hint->setText(m_l(L::configHint));
    m_refreshButton->setText(m_l(L::refreshAction));
    m_refreshButton->setAccessibleName(m_l(L::refreshAction));
    m_sourcesBox->setTitle(m_l(L::mirrorTitle));
    m_sourcesBox->setAccessibleName(m_l(L::mirrorTitle));
    m_sourceHeaders.at(0)->setText(m_l(L::mirrorTitle));
    m_sourceHeaders.at(1)->setText(m_l(L::mirrorSource));
    m_sourceHeaders.at(2)->setText(m_l(L::mirrorValue));
    m_indexBox->setTitle(m_l(L::indexTitle));
    m_indexBox->setAccessibleName(m_l(L::indexTitle));
    m_pathLabel->setText(m_l(L::indexPath));
    m_pathValue->setAccessibleName(m_l(L::indexPath));
    m_ageLabel->setText(m_l(L::indexAge));
    m_packagesLabel->setText(m_l(L::indexPackages));
    m_stateLabel->setText(m_l(L::indexState));
    m_refreshIndexButton->setText(m_l(L::refreshIndex));
    m_refreshIndexButton->setAccessibleName(m_l(L::refreshIndex));
    const QColor secondary = Palette::zelkSecondary(palette());
    setTextColour(m_hint, secondary);
    for (QLabel *label : {m_pathLabel, m_ageLabel, m_packagesLabel, m_stateLabel})
        setTextColour(label, secondary);
    render();
    Q_EMIT navigationTitleChanged();
}

void ConfigView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        renderTexts();
    NavigationScreen::changeEvent(event);
}

} // namespace ReveZE
