#pragma once

// The confirmation laid over the install sheet when the user's extra
// arguments switch off a safety check: a dimmed backdrop over the whole host
// and, centred on it, a card that names each dangerous switch and what it
// weakens, with Cancel and "Install anyway".
//
// While it is shown it is modal within its host: it takes every click (a
// click on the backdrop cancels, one on the card outside its buttons does
// nothing) and every key. Keyboard focus moves into the card and the host's
// other controls are disabled, so nothing typed reaches the form beneath and
// Tab stays in the card; its own CommandKeyShortcuts (Escape cancels, Return
// confirms) take precedence over the sheet's. Each action acts once, also
// while the dialog fades out.
//
// The host decides when it goes: after either action it calls dismiss(),
// which fades the dialog out, gives the host its controls and focus back,
// emits dismissed() and deletes the dialog.
//
// Qt draws at most one graphics effect per widget: the fade is an opacity
// effect on the whole overlay, so the card's shadow is painted by hand.

#include <SafetyWarning.h>

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;

namespace ReveZE {

class CommandKeyShortcuts;
class DangerCardButton;
class Localizer;
class SymbolLabel;

class DangerousArgumentsDialog : public QWidget
{
    Q_OBJECT

public:
    static constexpr int cardWidth = 430;
    static constexpr qreal cardRadius = 12;
    static constexpr qreal backdropOpacity = 0.28;
    static constexpr int defaultFadeDuration = 160;

    // A hidden overlay on `host`; present() shows it.
    DangerousArgumentsDialog(Localizer &l, QList<ZelkKit::SafetyWarning> warnings, std::function<void()> onCancel,
                             std::function<void()> onConfirm, QWidget *host);
    ~DangerousArgumentsDialog() override;

    const QList<ZelkKit::SafetyWarning> &warnings() const { return m_warnings; }
    // The explanation of a reason in the language in use.
    static QString explanation(ZelkKit::SafetyWarning::Reason reason, const Localizer &l);

    // Fades in over the host and takes its clicks, keys and focus.
    void present();
    // Fades out, then gives the host back and deletes itself.
    void dismiss();
    bool isDismissing() const { return m_dismissing; }
    // Whether an action has been taken (later ones do nothing).
    bool hasActed() const { return m_acted; }

    // For tests and screenshots: the length of each fade (0: none).
    void setFadeDuration(int milliseconds) { m_fadeDuration = milliseconds; }

    // The actions of the buttons, the backdrop and the keys; each acts once.
    void cancel();
    void confirm();

    QWidget *card() const { return m_card; }
    DangerCardButton *cancelButton() const { return m_cancelButton; }
    DangerCardButton *confirmButton() const { return m_confirmButton; }
    const QList<QLabel *> &flagLabels() const { return m_flagLabels; }
    const QList<QLabel *> &explanationLabels() const { return m_explanationLabels; }
    CommandKeyShortcuts *keys() const { return m_keys; }

Q_SIGNALS:
    // The fade-out has ended and the host is given back.
    void dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void build();
    void render();
    void place();
    void takeOverHost();
    void giveBackHost();
    void fade(qreal to);
    void fadeEnded();
    const QImage &shadow();

    Localizer &m_l;
    QList<ZelkKit::SafetyWarning> m_warnings;
    std::function<void()> m_onCancel;
    std::function<void()> m_onConfirm;
    QPointer<QWidget> m_host;

    QWidget *m_card = nullptr;
    QWidget *m_header = nullptr;
    SymbolLabel *m_headerSymbol = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_intro = nullptr;
    QList<QLabel *> m_flagLabels;
    QList<QLabel *> m_explanationLabels;
    DangerCardButton *m_cancelButton = nullptr;
    DangerCardButton *m_confirmButton = nullptr;
    CommandKeyShortcuts *m_keys = nullptr;

    QGraphicsOpacityEffect *m_effect = nullptr;
    QPropertyAnimation *m_fade = nullptr;
    int m_fadeDuration = defaultFadeDuration;

    // The host's controls this dialog disabled, and the focus it took.
    QList<QPointer<QWidget>> m_disabled;
    QPointer<QWidget> m_previousFocus;

    QImage m_shadow;
    QSize m_shadowFor;

    bool m_presented = false;
    bool m_dismissing = false;
    bool m_acted = false;
    bool m_backdropPressed = false;
};

} // namespace ReveZE
