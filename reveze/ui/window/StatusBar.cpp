#include "window/StatusBar.h"

#include "AppModel.h"
#include "Localizer.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/SymbolLabel.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>

#include <type_traits>

namespace ReveZE {

StatusBar::StatusBar(AppModel &model, Localizer &l, QWidget *parent)
    : QWidget(parent), m_model(model), m_l(l)
{
    setObjectName(QStringLiteral("statusBar"));
    TextStyles::apply(this, TextStyle::Caption);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 6, 16, 6);
    layout->setSpacing(12);

    auto label = [this](const char *name) {
        auto *item = new QLabel(this);
        item->setTextFormat(Qt::PlainText);
        item->setObjectName(QLatin1String(name));
        item->setFont(font());
        return item;
    };

    m_spinner = new ProgressSpinner(12, this);
    m_spinner->setObjectName(QStringLiteral("statusSpinner"));
    layout->addWidget(m_spinner, 0, Qt::AlignVCenter);
    m_installed = label("installedCountLabel");
    layout->addWidget(m_installed, 0, Qt::AlignVCenter);
    m_dot = label("statusDot");
    m_dot->setText(QStringLiteral("·"));
    layout->addWidget(m_dot, 0, Qt::AlignVCenter);
    m_index = label("indexCountLabel");
    layout->addWidget(m_index, 0, Qt::AlignVCenter);
    layout->addStretch(1);

    m_compatibility = new QWidget(this);
    m_compatibility->setObjectName(QStringLiteral("compatibilityItem"));
    auto *compatibilityLayout = new QHBoxLayout(m_compatibility);
    compatibilityLayout->setContentsMargins(0, 0, 0, 0);
    compatibilityLayout->setSpacing(4);
    m_compatibilitySymbol = new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"),
                                            TextStyles::size(TextStyle::Caption) * 1.2,
                                            [](const QPalette &) { return Palette::orange(); }, m_compatibility);
    compatibilityLayout->addWidget(m_compatibilitySymbol, 0, Qt::AlignVCenter);
    m_compatibilityText = label("compatibilityLabel");
    m_compatibilityText->setParent(m_compatibility);
    compatibilityLayout->addWidget(m_compatibilityText, 0, Qt::AlignVCenter);
    layout->addWidget(m_compatibility, 0, Qt::AlignVCenter);

    m_updated = label("updatedLabel");
    layout->addWidget(m_updated, 0, Qt::AlignVCenter);
    m_setupError = label("setupErrorLabel");
    layout->addWidget(m_setupError, 0, Qt::AlignVCenter);

    connect(&m_model, &AppModel::isLoadingChanged, this, &StatusBar::render);
    connect(&m_model, &AppModel::installedChanged, this, &StatusBar::render);
    connect(&m_model, &AppModel::catalogChanged, this, &StatusBar::render);
    connect(&m_model, &AppModel::compatibilityIssueChanged, this, &StatusBar::render);
    connect(&m_model, &AppModel::lastRefreshChanged, this, &StatusBar::render);
    connect(&m_l, &Localizer::languageChanged, this, &StatusBar::render);
    render();
}

QString StatusBar::compatibilityText(const CompatibilityIssue &issue, const Localizer &l)
{
    return std::visit(
        [&l](const auto &value) -> QString {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, CompatibilityIssue::TooNew>)
                return l.format(L::compatTooNew, {value.protocolNumber, value.supported});
            else
                return l.format(L::compatMissing, {value.version, value.capabilities.join(QStringLiteral(", "))});
        },
        issue.value);
}

QString StatusBar::timeText(const QDateTime &time)
{
    return QLocale::system().toString(time.toLocalTime().time(), QLocale::ShortFormat);
}

void StatusBar::setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

void StatusBar::render()
{
    m_spinner->setVisible(m_model.isLoading());
    m_installed->setText(m_l.format(L::installedCount, {qint64(m_model.installed().size())}));
    m_index->setText(m_l.format(L::indexCount, {qint64(m_model.catalog().size())}));

    const auto &issue = m_model.compatibilityIssue();
    const auto &lastRefresh = m_model.lastRefresh();
    const auto &setupError = m_model.setupError();
    m_compatibility->setVisible(issue.has_value());
    m_updated->setVisible(!issue && lastRefresh);
    m_setupError->setVisible(!issue && !lastRefresh && setupError);
    if (issue) {
        m_compatibilityText->setText(compatibilityText(*issue, m_l));
        setTextColour(m_compatibilityText, Palette::orange());
    } else if (lastRefresh) {
        m_updated->setText(m_l.format(L::updated, {timeText(*lastRefresh)}));
        setTextColour(m_updated, Palette::zelkSecondary(palette()));
    } else if (setupError) {
        m_setupError->setText(*setupError);
        setTextColour(m_setupError, Palette::red());
    }
}

void StatusBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        setTextColour(m_updated, Palette::zelkSecondary(palette()));
    QWidget::changeEvent(event);
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::barFill(palette()));
}

} // namespace ReveZE
