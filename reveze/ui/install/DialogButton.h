#pragma once

// The install sheet's footer button: a frameless text button with a thin
// rounded border, in one of two tones, with an optional hint (the keyboard
// shortcut) printed after its title.
//
//   state                 title           hint                    border
//   enabled, confirm      blue            blue at 0.55            blue
//   enabled, cancel       red             red at 0.55             red
//   disabled (any tone)   zelkSecondary   zelkSecondary at 0.55   zelkSecondary at 0.4
//
// The whole rounded rectangle takes clicks; a disabled button ignores them.
// It binds no keys: the sheet's confirm and cancel keys come from
// CommandKeyShortcuts alone. (A QPushButton would make itself the dialog's
// default button and take Return.) Reached with Tab, it presses with Space
// like every button.

#include <QAbstractButton>

#include <optional>

namespace ReveZE {

class DialogButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Tone { Confirm, Cancel };

    DialogButton(QString title, std::optional<QString> hint, Tone tone, QWidget *parent = nullptr);

    QString title() const { return text(); }
    void setTitle(const QString &title);
    const std::optional<QString> &hint() const { return m_hint; }
    void setHint(std::optional<QString> hint);
    Tone tone() const { return m_tone; }
    void setTone(Tone tone);

    // The colours of the current state, from the widget's palette.
    QColor titleColour() const;
    // No value when there is no hint.
    std::optional<QColor> hintColour() const;
    QColor borderColour() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr qreal cornerRadius = 6;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;
    void changeEvent(QEvent *event) override;

private:
    QColor toneColour() const;
    void updateAccessibility();

    std::optional<QString> m_hint;
    Tone m_tone;
};

} // namespace ReveZE
