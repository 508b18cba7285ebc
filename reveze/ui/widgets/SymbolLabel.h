#pragma once

#include <QWidget>

#include <functional>

namespace ReveZE {

// One symbol of the Symbols table as a small non-interactive widget: the
// glyph at a font size, in a colour taken from the widget's palette when it
// paints (so it follows dark mode), optionally in a fixed frame and rotated.
class SymbolLabel : public QWidget
{
    Q_OBJECT

public:
    using Tint = std::function<QColor(const QPalette &)>;

    // `size` as in Symbols::font; without a frame the widget is as large as
    // the glyph's em box.
    SymbolLabel(QString name, qreal size, Tint tint, QWidget *parent = nullptr);

    void setName(QString name);
    const QString &name() const { return m_name; }
    void setSymbolSize(qreal size);
    void setTint(Tint tint);
    QColor colour() const;
    void setRotation(qreal degrees);
    // A fixed square frame the symbol is centred in (0: the em box).
    void setFrame(qreal side);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    qreal m_size;
    Tint m_tint;
    qreal m_rotation = 0;
    qreal m_frame = 0;
};

} // namespace ReveZE
