#include "detail/DetailBox.h"

#include "widgets/Palette.h"
#include "widgets/TextStyles.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace ReveZE {

namespace {

// The rounded rectangle behind a box's content.
class BoxSurface : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const bool dark = Palette::isDark(palette());
        painter.setPen(QPen(Palette::withOpacity(Palette::label(palette()), dark ? 0.14 : 0.10), 1));
        painter.setBrush(Palette::withOpacity(Palette::label(palette()), dark ? 0.06 : 0.035));
        painter.drawRoundedRect(shape, DetailBox::cornerRadius, DetailBox::cornerRadius);
    }
};

} // namespace

DetailBox::DetailBox(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_title = new QLabel(this);
    m_title->setTextFormat(Qt::PlainText);
    TextStyles::apply(m_title, TextStyle::Headline);
    layout->addWidget(m_title);
    m_area = new BoxSurface(this);
    m_content = new QVBoxLayout(m_area);
    // The box's own inset and the content's padding.
    m_content->setContentsMargins(contentPadding + 4, contentPadding + 2, contentPadding + 4, contentPadding + 2);
    m_content->setSpacing(0);
    layout->addWidget(m_area);
}

void DetailBox::setTitle(const QString &title)
{
    m_title->setText(title);
    m_area->setAccessibleName(title);
}

QString DetailBox::title() const
{
    return m_title->text();
}

} // namespace ReveZE
