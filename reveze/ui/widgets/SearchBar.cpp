#include "widgets/SearchBar.h"

#include "widgets/InteractiveSurface.h"
#include "widgets/Palette.h"
#include "widgets/SymbolButton.h"
#include "widgets/SymbolLabel.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>

namespace ReveZE {

namespace {
constexpr qreal surfaceRadius = 10;
} // namespace

SearchBar::SearchBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("searchBar"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 7, 10, 7);
    layout->setSpacing(6);

    const qreal symbolSize = TextStyles::size(TextStyle::Callout);
    m_glass = new SymbolLabel(QStringLiteral("magnifyingglass"), symbolSize * 1.2, &Palette::zelkSecondary, this);
    layout->addWidget(m_glass, 0, Qt::AlignVCenter);

    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("searchField"));
    m_field->setFrame(false);
    m_field->setClearButtonEnabled(false);
    TextStyles::apply(m_field, TextStyle::Callout);
    m_field->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_field->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0; }"));
    m_field->installEventFilter(this);
    layout->addWidget(m_field, 1, Qt::AlignVCenter);

    m_clear = new SymbolButton(QStringLiteral("xmark.circle.fill"), symbolSize * 1.2, &Palette::zelkTertiary, this);
    m_clear->setObjectName(QStringLiteral("searchClearButton"));
    m_clear->hide();
    layout->addWidget(m_clear, 0, Qt::AlignVCenter);

    connect(m_field, &QLineEdit::textEdited, this, &SearchBar::textEdited);
    connect(m_clear, &QAbstractButton::clicked, this, [this] {
        m_field->clear();
        m_field->setFocus(Qt::OtherFocusReason);
        Q_EMIT textEdited(QString());
    });
}

QString SearchBar::text() const
{
    return m_field->text();
}

void SearchBar::setText(const QString &text)
{
    if (m_field->text() != text)
        m_field->setText(text);
    m_clear->setVisible(!text.isEmpty());
}

void SearchBar::setAccessibleNames(const QString &field, const QString &clear)
{
    m_field->setAccessibleName(field);
    m_clear->setAccessibleName(clear);
    m_clear->setToolTip(clear);
}

bool SearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        update();
    return QWidget::eventFilter(watched, event);
}

void SearchBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    InteractiveSurface::paint(painter, QRectF(rect()), surfaceRadius, palette(), m_field->hasFocus());
}

} // namespace ReveZE
