#pragma once

#include "widgets/SymbolLabel.h"

#include <QAbstractButton>

namespace ReveZE {

// A borderless button that is only a symbol, tinted from the palette.
class SymbolButton : public QAbstractButton
{
    Q_OBJECT

public:
    SymbolButton(QString symbol, qreal size, SymbolLabel::Tint tint, QWidget *parent = nullptr);

    QColor colour() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_symbol;
    qreal m_size;
    SymbolLabel::Tint m_tint;
};

} // namespace ReveZE
