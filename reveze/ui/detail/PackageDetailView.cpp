#include "detail/PackageDetailView.h"

#include "AppModel.h"
#include "Localizer.h"
#include "detail/DetailBox.h"
#include "detail/InfoLoadQueue.h"
#include "detail/InstallReasonText.h"
#include "detail/KindBadge.h"
#include "detail/NameListView.h"
#include "detail/UninstallCommand.h"
#include "detail/ValueColumnFrames.h"
#include "detail/ValueColumnHighlight.h"
#include "detail/WrappedText.h"
#include "widgets/AppIconView.h"
#include "widgets/CharWrappingText.h"
#include "widgets/Palette.h"
#include "widgets/SymbolLabel.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

using ZelkKit::InstalledDetail;
using ZelkKit::PackageInfo;

namespace ReveZE {

namespace {

std::chrono::milliseconds g_restDelay{150};

// SwiftUI's gray, which the Details box is drawn in.
QColor boxGrey()
{
    return QColor::fromRgbF(0.56f, 0.56f, 0.58f);
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel *plainLabel(QWidget *parent, const QString &objectName)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QFont monospacedCallout()
{
    const QFont callout = TextStyles::font(TextStyle::Callout);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (callout.pointSizeF() > 0)
        mono.setPointSizeF(callout.pointSizeF());
    else
        mono.setPixelSize(callout.pixelSize());
    return mono;
}

// The rounded surface of the Details box: gray at 0.07 behind, its border
// in gray at 0.22.
class DetailsSurface : public QWidget
{
public:
    using QWidget::QWidget;
    static constexpr qreal cornerRadius = 14;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(Palette::withOpacity(boxGrey(), 0.22), 1));
        painter.setBrush(Palette::withOpacity(boxGrey(), 0.07));
        painter.drawRoundedRect(shape, cornerRadius, cornerRadius);
    }
};

} // namespace

std::chrono::milliseconds PackageDetailView::restDelay()
{
    return g_restDelay;
}

void PackageDetailView::setRestDelay(std::chrono::milliseconds delay)
{
    g_restDelay = delay;
}

PackageDetailView::PackageDetailView(AppModel &model, Localizer &l, QString packageName, QWidget *parent)
    : NavigationScreen(parent), m_model(model), m_l(l), m_name(std::move(packageName)),
      m_currentUser(InstallReasonText::currentUser())
{
    setObjectName(QStringLiteral("packageDetail"));
    setLoaded(false);

    m_restTimer = new QTimer(this);
    m_restTimer->setSingleShot(true);
    connect(m_restTimer, &QTimer::timeout, this, &PackageDetailView::onRested);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("detailScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->viewport()->setAutoFillBackground(false);
    outer->addWidget(m_scroll);

    // The page: a column at most 820 wide, on the leading side.
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("detailPage"));
    page->setAutoFillBackground(false);
    auto *pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    auto *column = new QWidget(page);
    column->setObjectName(QStringLiteral("detailColumnContent"));
    column->setMaximumWidth(820);
    auto *columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(24, 24, 24, 24);
    columnLayout->setSpacing(22);
    pageLayout->addWidget(column, 1);
    pageLayout->addStretch(0);

    columnLayout->addWidget(buildHeader(column));
    columnLayout->addWidget(buildDetails(column));
    buildDependencies(column);
    columnLayout->addWidget(m_dependenciesBox);
    columnLayout->addWidget(m_dependentsBox);
    buildUninstall(column);
    columnLayout->addWidget(m_uninstallBox);
    columnLayout->addStretch(1);
    m_scroll->setWidget(page);
    m_scroll->widget()->setAutoFillBackground(false);

    connect(&m_model, &AppModel::statusChanged, this, &PackageDetailView::onStatusChanged);
    connect(&m_l, &Localizer::languageChanged, this, &PackageDetailView::render);
    onStatusChanged();
}

PackageDetailView::~PackageDetailView()
{
    // The cells hide as the widgets go; nothing is measured any more then.
    m_grid->removeEventFilter(this);
    delete m_frames;
    m_frames = nullptr;
}

QWidget *PackageDetailView::buildHeader(QWidget *parent)
{
    auto *header = new QWidget(parent);
    header->setObjectName(QStringLiteral("detailHeader"));
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(16);
    auto *icon = new AppIconView(58, header);
    row->addWidget(icon, 0, Qt::AlignTop);

    // The texts beside the icon, each in its own row of a column widget.
    auto *textColumn = new QWidget(header);
    auto *texts = new QVBoxLayout(textColumn);
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(6);
    auto *titleLine = new QWidget(textColumn);
    auto *titleRow = new QHBoxLayout(titleLine);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(8);
    m_title = new WrappedText(titleLine);
    m_title->setObjectName(QStringLiteral("detailTitle"));
    m_title->setFont(TextStyles::font(TextStyle::LargeTitle, QFont::Bold));
    m_title->setSelectable(true);
    m_title->setText(m_name);
    titleRow->addWidget(m_title, 0, Qt::AlignVCenter);
    m_badge = new KindBadge(titleLine);
    titleRow->addWidget(m_badge, 0, Qt::AlignVCenter);
    m_linkedMark = new SymbolLabel(QStringLiteral("checkmark.circle.fill"), TextStyles::size(TextStyle::Title3),
                                   [](const QPalette &) { return Palette::green(); }, titleLine);
    m_linkedMark->setObjectName(QStringLiteral("linkedMark"));
    titleRow->addWidget(m_linkedMark, 0, Qt::AlignVCenter);
    titleRow->addStretch(1);
    texts->addWidget(titleLine);

    m_description = new WrappedText(textColumn);
    m_description->setObjectName(QStringLiteral("detailDescription"));
    m_description->setFont(TextStyles::font(TextStyle::Title3));
    m_description->setTint([](const QPalette &palette) { return Palette::zelkSecondary(palette); });
    m_description->setSelectable(true);
    texts->addWidget(m_description);
    m_error = new WrappedText(textColumn);
    m_error->setObjectName(QStringLiteral("detailError"));
    m_error->setFont(TextStyles::font(TextStyle::Caption));
    m_error->setTint([](const QPalette &) { return Palette::red(); });
    m_error->setSelectable(true);
    texts->addWidget(m_error);
    m_author = new WrappedText(textColumn);
    m_author->setObjectName(QStringLiteral("detailAuthor"));
    m_author->setFont(TextStyles::font(TextStyle::Callout));
    m_author->setTint([](const QPalette &palette) { return Palette::zelkTertiary(palette); });
    m_author->setMaximumLines(2);
    texts->addWidget(m_author);
    row->addWidget(textColumn, 1);
    return header;
}

QWidget *PackageDetailView::buildDetails(QWidget *parent)
{
    m_detailsSurface = new DetailsSurface(parent);
    m_detailsSurface->setObjectName(QStringLiteral("detailsBox"));
    auto *layout = new QVBoxLayout(m_detailsSurface);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    m_detailsTitle = plainLabel(m_detailsSurface, QStringLiteral("detailsTitle"));
    TextStyles::apply(m_detailsTitle, TextStyle::Headline);
    layout->addWidget(m_detailsTitle);

    // Behind the grid, framing its column of values.
    m_highlight = new ValueColumnHighlight(m_detailsSurface);

    m_grid = new QWidget(m_detailsSurface);
    m_grid->setObjectName(valueColumnSpace.toString());
    auto *grid = new QGridLayout(m_grid);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    m_frames = new ValueColumnFrames(m_grid, this);
    int index = 0;
    for (DetailRow row : DetailRows::all()) {
        GridRow cells;
        cells.label = plainLabel(m_grid, QStringLiteral("detailLabel_") + DetailRows::rawName(row));
        grid->addWidget(cells.label, index, 0, Qt::AlignLeft | Qt::AlignVCenter);
        cells.cell = new QWidget(m_grid);
        cells.cell->setObjectName(QStringLiteral("detailCell_") + DetailRows::rawName(row));
        QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        cells.cell->setSizePolicy(policy);
        auto *padding = new QHBoxLayout(cells.cell);
        padding->setContentsMargins(10, 0, 10, 0);
        cells.value = new CharWrappingText(QString(), std::nullopt, cells.cell);
        cells.value->setObjectName(QStringLiteral("detailValue_") + DetailRows::rawName(row));
        padding->addWidget(cells.value);
        grid->addWidget(cells.cell, index, 1);
        m_frames->measure(cells.cell);
        m_rows.insert(row, cells);
        ++index;
    }
    connect(m_frames, &ValueColumnFrames::framesChanged, this, &PackageDetailView::updateHighlight);
    m_grid->installEventFilter(this);
    layout->addWidget(m_grid);
    m_highlight->lower();
    return m_detailsSurface;
}

void PackageDetailView::buildDependencies(QWidget *parent)
{
    m_dependenciesBox = new DetailBox(parent);
    m_dependenciesBox->setObjectName(QStringLiteral("dependenciesBox"));
    m_dependenciesList = new NameListView(NameListDelegate::Style::Entries, m_dependenciesBox->contentArea());
    m_dependenciesList->setObjectName(QStringLiteral("dependenciesList"));
    m_dependenciesBox->contentLayout()->addWidget(m_dependenciesList);
    m_noDependencies = plainLabel(m_dependenciesBox->contentArea(), QStringLiteral("noDependencies"));
    m_noDependencies->setText(QStringLiteral("—"));
    m_dependenciesBox->contentLayout()->addWidget(m_noDependencies);

    m_dependentsBox = new DetailBox(parent);
    m_dependentsBox->setObjectName(QStringLiteral("dependentsBox"));
    m_dependentsList = new NameListView(NameListDelegate::Style::Dependents, m_dependentsBox->contentArea());
    m_dependentsList->setObjectName(QStringLiteral("dependentsList"));
    m_dependentsBox->contentLayout()->addWidget(m_dependentsList);
    m_noDependents = plainLabel(m_dependentsBox->contentArea(), QStringLiteral("noDependents"));
    m_noDependents->setWordWrap(true);
    m_dependentsBox->contentLayout()->addWidget(m_noDependents);
}

void PackageDetailView::buildUninstall(QWidget *parent)
{
    m_uninstallBox = new DetailBox(parent);
    m_uninstallBox->setObjectName(QStringLiteral("uninstallBox"));
    QWidget *area = m_uninstallBox->contentArea();

    m_lockRow = new QWidget(area);
    m_lockRow->setObjectName(QStringLiteral("uninstallLock"));
    auto *lock = new QHBoxLayout(m_lockRow);
    lock->setContentsMargins(0, 0, 0, 0);
    lock->setSpacing(6);
    m_lockSymbol = new SymbolLabel(QStringLiteral("lock.fill"), TextStyles::size(TextStyle::Callout) * 1.15,
                                   [](const QPalette &palette) { return Palette::zelkSecondary(palette); }, m_lockRow);
    lock->addWidget(m_lockSymbol, 0, Qt::AlignTop);
    m_lockText = new WrappedText(m_lockRow);
    m_lockText->setObjectName(QStringLiteral("uninstallLockText"));
    m_lockText->setFont(TextStyles::font(TextStyle::Callout));
    m_lockText->setTint([](const QPalette &palette) { return Palette::zelkSecondary(palette); });
    lock->addWidget(m_lockText, 1);
    m_uninstallBox->contentLayout()->addWidget(m_lockRow);

    m_commandRow = new QWidget(area);
    m_commandRow->setObjectName(QStringLiteral("uninstallCommandRow"));
    auto *command = new QHBoxLayout(m_commandRow);
    command->setContentsMargins(0, 0, 0, 0);
    command->setSpacing(10);
    m_commandText = new WrappedText(m_commandRow);
    m_commandText->setObjectName(QStringLiteral("uninstallCommand"));
    m_commandText->setFont(monospacedCallout());
    m_commandText->setSelectable(true);
    command->addWidget(m_commandText, 1, Qt::AlignVCenter);
    m_copyButton = new QPushButton(m_commandRow);
    m_copyButton->setObjectName(QStringLiteral("copyUninstallButton"));
    m_copyButton->setFont(TextStyles::font(TextStyle::Callout));
    m_copyButton->setIconSize(QSize(14, 14));
    m_copyButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_copyButton, &QPushButton::clicked, this, &PackageDetailView::copyUninstallCommand);
    command->addWidget(m_copyButton, 0, Qt::AlignVCenter);
    m_uninstallBox->contentLayout()->addWidget(m_commandRow);
}

const InstalledDetail *PackageDetailView::installedDetail() const
{
    const std::optional<ZelkKit::InstallStatus> &status = m_model.status();
    return status ? status->package(m_name) : nullptr;
}

QString PackageDetailView::uninstallCommand() const
{
    return UninstallCommand::forPackage(m_name);
}

bool PackageDetailView::showsRow(DetailRow row) const
{
    return !m_rows.value(row).cell->isHidden();
}

QLabel *PackageDetailView::rowLabel(DetailRow row) const
{
    return m_rows.value(row).label;
}

QWidget *PackageDetailView::rowCell(DetailRow row) const
{
    return m_rows.value(row).cell;
}

CharWrappingText *PackageDetailView::rowValue(DetailRow row) const
{
    return m_rows.value(row).value;
}

QString PackageDetailView::copyButtonSymbol() const
{
    return m_copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc");
}

void PackageDetailView::appeared()
{
    // The detail is made anew for each name, so it loads once; the rest
    // starts when it is first shown.
    if (m_restStarted)
        return;
    m_restStarted = true;
    m_restTimer->start(restDelay());
}

void PackageDetailView::onRested()
{
    m_infoRequested = true;
    InfoLoadQueue::of(m_model).request(this, m_name, [this](const ZelkKit::Result<PackageInfo> &result) {
        applyInfo(result);
    });
}

void PackageDetailView::applyInfo(const ZelkKit::Result<PackageInfo> &result)
{
    // Each answer sets its own field; the other one stays as it was.
    if (result)
        m_info = result.value();
    else
        m_infoError = result.error().errorDescription();
    render();
    setLoaded(true);
}

void PackageDetailView::onStatusChanged()
{
    // Worked out once per install status, not on every redraw: for a package
    // that thousands depend on this is the one scan of every dependency.
    const std::optional<ZelkKit::InstallStatus> &status = m_model.status();
    m_dependents = status ? status->dependents(m_name) : QStringList();
    render();
}

void PackageDetailView::render()
{
    const InstalledDetail *detail = installedDetail();
    const QPalette &palette = this->palette();

    // Header.
    m_badge->setVisible(detail != nullptr);
    if (detail)
        m_badge->setText(m_l(detail->kind == InstalledDetail::Kind::Dependency ? L::kindDependency : L::kindPackage));
    m_linkedMark->setVisible(detail && detail->linked);
    const bool hasDescription = m_info && m_info->description;
    m_description->setVisible(hasDescription);
    if (hasDescription)
        m_description->setText(*m_info->description);
    const bool showsError = !hasDescription && m_infoError;
    m_error->setVisible(showsError);
    if (showsError)
        m_error->setText(*m_infoError);
    const bool hasAuthor = m_info && m_info->author;
    m_author->setVisible(hasAuthor);
    if (hasAuthor)
        m_author->setText(*m_info->author);

    // Details.
    m_detailsTitle->setText(m_l(L::details));
    renderRows(detail);

    // Dependencies, as zelk printed them.
    const QStringList entries = detail ? detail->deps : QStringList();
    m_dependenciesBox->setTitle(m_l(L::dependencies) + QStringLiteral(" (") + QString::number(entries.size())
                                + QLatin1Char(')'));
    m_dependenciesList->setNames(entries);
    m_dependenciesList->setVisible(!entries.isEmpty());
    m_dependenciesList->setAccessibleName(m_dependenciesBox->title());
    m_noDependencies->setVisible(entries.isEmpty());

    // Who depends on it, installed or not.
    m_dependentsBox->setTitle(m_l(L::dependents));
    m_dependentsList->setNames(m_dependents);
    m_dependentsList->setVisible(!m_dependents.isEmpty());
    m_dependentsList->setAccessibleName(m_l(L::dependents));
    m_noDependents->setText(m_l(L::noneDependents));
    m_noDependents->setVisible(m_dependents.isEmpty());
    setTextColour(m_noDependents, Palette::zelkSecondary(palette));

    // Uninstall.
    m_uninstallBox->setVisible(detail != nullptr);
    m_uninstallBox->setTitle(m_l(L::uninstall));
    const bool dependency = detail && detail->kind == InstalledDetail::Kind::Dependency;
    m_lockRow->setVisible(dependency);
    m_commandRow->setVisible(detail && !dependency);
    m_lockText->setText(m_l(L::dependencyNotRemovable));
    m_commandText->setText(uninstallCommand());
    renderCopy();
}

void PackageDetailView::renderRows(const InstalledDetail *detail)
{
    const QList<DetailRowContent> shown = DetailRows::rows(detail, m_info, m_l, m_currentUser, QLocale::system());
    const QColor secondary = Palette::zelkSecondary(palette());
    qsizetype next = 0;
    for (DetailRow row : DetailRows::all()) {
        GridRow &cells = m_rows[row];
        cells.label->setText(m_l(DetailRows::labelKey(row)));
        setTextColour(cells.label, secondary);
        const DetailRowContent *content = next < shown.size() && shown.at(next).row == row ? &shown.at(next) : nullptr;
        if (content)
            ++next;
        cells.label->setVisible(content != nullptr);
        cells.cell->setVisible(content != nullptr);
        if (!content)
            continue;
        // A text is made a plain field or a link field for good; a change of
        // kind makes a new one.
        if (content->link.has_value() != cells.value->isLinkField()) {
            auto *replacement = new CharWrappingText(content->value, content->link, cells.cell);
            replacement->setObjectName(cells.value->objectName());
            // The layout hands back the item it held the old field in.
            delete cells.cell->layout()->replaceWidget(cells.value, replacement);
            delete cells.value;
            cells.value = replacement;
        } else if (cells.value->text() != content->value || cells.value->link() != content->link) {
            cells.value->setContent(content->value, content->link);
        }
        cells.value->setToolTip(content->link ? content->link->toString() : QString());
    }
}

void PackageDetailView::renderCopy()
{
    const QString text = m_l(m_copied ? L::copied : L::copyCommand);
    m_copyButton->setText(text);
    m_copyButton->setIcon(Symbols::icon(copyButtonSymbol()));
    m_copyButton->setAccessibleName(text);
}

void PackageDetailView::copyUninstallCommand()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(uninstallCommand());
    m_copied = true;
    renderCopy();
    // This press's own timer; it goes with the screen.
    QTimer::singleShot(m_copiedInterval, this, [this] {
        m_copied = false;
        renderCopy();
    });
}

void PackageDetailView::updateHighlight()
{
    m_valueColumnFrame = ValueColumnFrames::unionOf(m_frames->frames());
    // The highlight lives in the Details box, so that it may reach past the
    // grid above and below; its place is the grid's frame moved there.
    const QPoint offset = m_grid->mapTo(m_detailsSurface, QPoint(0, 0));
    m_highlight->setColumnFrame(m_valueColumnFrame.isNull() ? QRectF() : m_valueColumnFrame.translated(offset));
}

bool PackageDetailView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        updateHighlight();
    return NavigationScreen::eventFilter(watched, event);
}

void PackageDetailView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        render();
    NavigationScreen::changeEvent(event);
}

} // namespace ReveZE
