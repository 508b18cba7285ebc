#include "install/DangerousArgumentsDialog.h"

#include "install/CommandKeyShortcuts.h"
#include "install/DangerCardButton.h"
#include "install/InstallStyle.h"
#include "Localizer.h"
#include "widgets/Palette.h"
#include "widgets/SymbolLabel.h"
#include "widgets/TextStyles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include <vector>

using ZelkKit::SafetyWarning;

namespace ReveZE {

namespace {

constexpr const char *modalCardProperty = "reveze_modalCard";
constexpr int shadowOffset = 10;
constexpr qreal shadowOpacity = 0.28;
// The shadow's blur radius is 24 (a Gaussian of sigma 12): three box blurs
// of radius 12 come close to it.
constexpr int boxRadius = 12;
constexpr int shadowPad = 3 * boxRadius;

// The card: the window colour inside a rounded rectangle, the red header
// band at its top, a red border. It swallows clicks, so that one on the card
// outside the buttons does nothing (and never reaches the backdrop).
class Card : public QWidget
{
public:
    using QWidget::QWidget;
    QWidget *header = nullptr;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        QPainterPath shape;
        shape.addRoundedRect(frame, DangerousArgumentsDialog::cardRadius, DangerousArgumentsDialog::cardRadius);
        painter.fillPath(shape, palette().color(QPalette::Window));
        if (header) {
            painter.save();
            painter.setClipPath(shape);
            painter.fillRect(QRectF(header->geometry()), Palette::red());
            painter.restore();
        }
        painter.setPen(QPen(Palette::withOpacity(Palette::red(), 0.75), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }
};

// Screen readers meet the card as one modal dialog.
class ModalCardAccessible : public QAccessibleWidget
{
public:
    explicit ModalCardAccessible(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Dialog)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.modal = true;
        return state;
    }
};

QAccessibleInterface *modalCardFactory(const QString &, QObject *object)
{
    if (object && object->isWidgetType() && object->property(modalCardProperty).toBool())
        return new ModalCardAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

void installAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(modalCardFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

// One pass of a box blur along rows (or, transposed, columns).
void boxBlur(std::vector<int> &values, int width, int height, bool alongRows)
{
    const int lines = alongRows ? height : width;
    const int length = alongRows ? width : height;
    const int window = 2 * boxRadius + 1;
    std::vector<int> line(length);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> int & { return alongRows ? values[l * width + i] : values[i * width + l]; };
        for (int i = 0; i < length; ++i)
            line[i] = at(i);
        int sum = 0;
        for (int i = -boxRadius; i <= boxRadius; ++i)
            sum += (i >= 0 && i < length) ? line[i] : 0;
        for (int i = 0; i < length; ++i) {
            at(i) = sum / window;
            const int leaving = i - boxRadius;
            const int entering = i + boxRadius + 1;
            sum -= (leaving >= 0) ? line[leaving] : 0;
            sum += (entering < length) ? line[entering] : 0;
        }
    }
}

} // namespace

DangerousArgumentsDialog::DangerousArgumentsDialog(Localizer &l, QList<SafetyWarning> warnings,
                                                   std::function<void()> onCancel, std::function<void()> onConfirm,
                                                   QWidget *host)
    : QWidget(host), m_l(l), m_warnings(std::move(warnings)), m_onCancel(std::move(onCancel)),
      m_onConfirm(std::move(onConfirm)), m_host(host)
{
    installAccessibleFactory();
    setObjectName(QStringLiteral("dangerousArgumentsDialog"));
    setAttribute(Qt::WA_NoMousePropagation);
    hide();
    build();
    m_effect = new QGraphicsOpacityEffect(this);
    m_effect->setOpacity(0);
    setGraphicsEffect(m_effect);
    m_fade = new QPropertyAnimation(m_effect, "opacity", this);
    connect(m_fade, &QPropertyAnimation::finished, this, &DangerousArgumentsDialog::fadeEnded);
    m_keys = new CommandKeyShortcuts(this, [this] { confirm(); }, [this] { cancel(); });
    host->installEventFilter(this);
    connect(&m_l, &Localizer::languageChanged, this, [this] {
        render();
        place();
    });
    render();
}

DangerousArgumentsDialog::~DangerousArgumentsDialog()
{
    // Gone without its fade-out (its host closed): the host's controls come back.
    giveBackHost();
}

QString DangerousArgumentsDialog::explanation(SafetyWarning::Reason reason, const Localizer &l)
{
    switch (reason) {
    case SafetyWarning::Reason::InsecureTransport:
        return l(L::dangerSkipSSL);
    case SafetyWarning::Reason::UnsupportedOS:
        return l(L::dangerForce);
    }
    return QString();
}

void DangerousArgumentsDialog::build()
{
    auto *card = new Card(this);
    m_card = card;
    m_card->setObjectName(QStringLiteral("dangerCard"));
    m_card->setProperty(modalCardProperty, true);
    m_card->setFixedWidth(cardWidth);
    auto *column = new QVBoxLayout(m_card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Header band: white on red.
    m_header = new QWidget(m_card);
    card->header = m_header;
    auto *headerRow = new QHBoxLayout(m_header);
    headerRow->setContentsMargins(18, 14, 18, 14);
    headerRow->setSpacing(10);
    m_headerSymbol = new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"), TextStyles::size(TextStyle::Title3),
                                     [](const QPalette &) { return QColor(Qt::white); }, m_header);
    headerRow->addWidget(m_headerSymbol);
    m_title = new QLabel(m_header);
    m_title->setObjectName(QStringLiteral("dangerTitle"));
    m_title->setTextFormat(Qt::PlainText);
    TextStyles::apply(m_title, TextStyle::Headline);
    InstallStyle::setTextColour(m_title, Qt::white);
    headerRow->addWidget(m_title);
    headerRow->addStretch(1);
    column->addWidget(m_header);

    // Body: the intro and one row per warning, in order.
    auto *body = new QVBoxLayout;
    body->setContentsMargins(18, 18, 18, 18);
    body->setSpacing(10);
    m_intro = new QLabel(m_card);
    m_intro->setObjectName(QStringLiteral("dangerIntro"));
    m_intro->setTextFormat(Qt::PlainText);
    m_intro->setWordWrap(true);
    TextStyles::apply(m_intro, TextStyle::Callout);
    body->addWidget(m_intro);
    for (const SafetyWarning &warning : std::as_const(m_warnings)) {
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        auto *flag = new QLabel(warning.flag(), m_card);
        flag->setObjectName(QStringLiteral("dangerFlag"));
        flag->setTextFormat(Qt::PlainText);
        flag->setFont(InstallStyle::monospaced(TextStyle::Callout, QFont::DemiBold));
        flag->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        InstallStyle::setTextColour(flag, Palette::red());
        auto *text = new QLabel(m_card);
        text->setObjectName(QStringLiteral("dangerExplanation"));
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        TextStyles::apply(text, TextStyle::Callout);
        row->addWidget(flag, 0, Qt::AlignTop);
        row->addWidget(text, 1, Qt::AlignTop);
        body->addLayout(row);
        m_flagLabels.append(flag);
        m_explanationLabels.append(text);
    }
    column->addLayout(body);

    // Footer: Cancel on the left, "Install anyway" on the right.
    auto *footer = new QHBoxLayout;
    footer->setContentsMargins(18, 0, 18, 16);
    footer->setSpacing(12);
    m_cancelButton = new DangerCardButton(DangerCardButton::Kind::Outline, m_card);
    m_cancelButton->setObjectName(QStringLiteral("dangerCancel"));
    connect(m_cancelButton, &QAbstractButton::clicked, this, &DangerousArgumentsDialog::cancel);
    m_confirmButton = new DangerCardButton(DangerCardButton::Kind::Filled, m_card);
    m_confirmButton->setObjectName(QStringLiteral("dangerConfirm"));
    connect(m_confirmButton, &QAbstractButton::clicked, this, &DangerousArgumentsDialog::confirm);
    footer->addWidget(m_cancelButton);
    footer->addStretch(1);
    footer->addWidget(m_confirmButton);
    column->addLayout(footer);
}

void DangerousArgumentsDialog::render()
{
    m_title->setText(m_l(L::dangerTitle));
    m_intro->setText(m_l(L::dangerIntro));
    InstallStyle::setTextColour(m_intro, Palette::zelkSecondary(m_card->palette()));
    for (qsizetype i = 0; i < m_warnings.size(); ++i)
        m_explanationLabels.at(i)->setText(explanation(m_warnings.at(i).reason(), m_l));
    m_cancelButton->setTitle(m_l(L::dangerCancel));
    m_confirmButton->setTitle(m_l(L::dangerConfirm));
    m_card->setAccessibleName(m_l(L::dangerTitle));
    m_card->setAccessibleDescription(m_l(L::dangerIntro));
    setAccessibleName(m_l(L::dangerTitle));
}

void DangerousArgumentsDialog::place()
{
    if (!m_host)
        return;
    setGeometry(m_host->rect());
    const int width = std::min(cardWidth, std::max(0, this->width() - 32));
    m_card->setFixedWidth(width);
    QLayout *layout = m_card->layout();
    layout->activate();
    const int height = layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
    m_card->setGeometry((this->width() - width) / 2, std::max(0, (this->height() - height) / 2), width, height);
    update();
}

void DangerousArgumentsDialog::present()
{
    if (m_presented || !m_host)
        return;
    m_presented = true;
    place();
    takeOverHost();
    show();
    raise();
    m_cancelButton->setFocus(Qt::OtherFocusReason);
    fade(1);
}

void DangerousArgumentsDialog::dismiss()
{
    if (m_dismissing)
        return;
    m_dismissing = true;
    if (!m_presented) {
        fadeEnded();
        return;
    }
    fade(0);
}

void DangerousArgumentsDialog::fade(qreal to)
{
    m_fade->stop();
    m_effect->setEnabled(true);
    if (m_fadeDuration <= 0) {
        m_effect->setOpacity(to);
        fadeEnded();
        return;
    }
    m_fade->setDuration(m_fadeDuration);
    m_fade->setStartValue(m_effect->opacity());
    m_fade->setEndValue(to);
    m_fade->setEasingCurve(QEasingCurve::InOutQuad);
    m_fade->start();
}

void DangerousArgumentsDialog::fadeEnded()
{
    if (!m_dismissing) {
        // Fully shown: drawn directly, without the effect's offscreen pass.
        m_effect->setEnabled(false);
        return;
    }
    hide();
    giveBackHost();
    Q_EMIT dismissed();
    deleteLater();
}

void DangerousArgumentsDialog::takeOverHost()
{
    QWidget *focus = QApplication::focusWidget();
    if (focus && m_host->isAncestorOf(focus))
        m_previousFocus = focus;
    const QList<QWidget *> children = m_host->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        // Controls disabled on purpose stay so when the dialog goes.
        if (child == this || child->isWindow() || child->testAttribute(Qt::WA_ForceDisabled))
            continue;
        child->setEnabled(false);
        m_disabled.append(child);
    }
}

void DangerousArgumentsDialog::giveBackHost()
{
    const QList<QPointer<QWidget>> disabled = std::exchange(m_disabled, {});
    for (const QPointer<QWidget> &child : disabled) {
        if (child)
            child->setEnabled(true);
    }
    if (m_previousFocus && m_previousFocus->isEnabled() && m_previousFocus->isVisible())
        m_previousFocus->setFocus(Qt::OtherFocusReason);
    m_previousFocus = nullptr;
}

void DangerousArgumentsDialog::cancel()
{
    if (m_acted)
        return;
    m_acted = true;
    if (m_onCancel)
        m_onCancel();
}

void DangerousArgumentsDialog::confirm()
{
    if (m_acted)
        return;
    m_acted = true;
    if (m_onConfirm)
        m_onConfirm();
}

bool DangerousArgumentsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_host && event->type() == QEvent::Resize && isVisible())
        place();
    return QWidget::eventFilter(watched, event);
}

const QImage &DangerousArgumentsDialog::shadow()
{
    const QSize size = m_card->size();
    if (size == m_shadowFor && !m_shadow.isNull())
        return m_shadow;
    const int width = size.width() + 2 * shadowPad;
    const int height = size.height() + 2 * shadowPad;
    QImage shape(width, height, QImage::Format_Alpha8);
    shape.fill(0);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(shadowPad, shadowPad, size.width(), size.height()), cardRadius, cardRadius);
        painter.fillPath(path, QColor(0, 0, 0, 255));
    }
    std::vector<int> alpha(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const uchar *line = shape.constScanLine(y);
        for (int x = 0; x < width; ++x)
            alpha[std::size_t(y) * std::size_t(width) + std::size_t(x)] = line[x];
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(alpha, width, height, true);
        boxBlur(alpha, width, height, false);
    }
    m_shadow = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(m_shadow.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int a = qRound(alpha[std::size_t(y) * std::size_t(width) + std::size_t(x)] * shadowOpacity);
            line[x] = qRgba(0, 0, 0, a);
        }
    }
    m_shadowFor = size;
    return m_shadow;
}

void DangerousArgumentsDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor::fromRgbF(0, 0, 0, float(backdropOpacity)));
    painter.drawImage(m_card->pos() + QPoint(-shadowPad, -shadowPad + shadowOffset), shadow());
}

void DangerousArgumentsDialog::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    m_backdropPressed = !m_card->geometry().contains(event->position().toPoint());
}

void DangerousArgumentsDialog::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    const bool click = m_backdropPressed && !m_card->geometry().contains(event->position().toPoint());
    m_backdropPressed = false;
    if (click)
        cancel();
}

void DangerousArgumentsDialog::wheelEvent(QWheelEvent *event)
{
    event->accept();
}

void DangerousArgumentsDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        render();
    QWidget::changeEvent(event);
}

} // namespace ReveZE
