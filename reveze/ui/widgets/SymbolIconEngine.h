#pragma once

#include <QIconEngine>
#include <QString>

namespace ReveZE {

// Paints a symbol of the Symbols table as an icon, in the colour the
// application palette gives button text for the icon's mode, so toolbar
// icons follow a dark palette and grey out when their action is disabled.
class SymbolIconEngine : public QIconEngine
{
public:
    explicit SymbolIconEngine(QString name);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QIconEngine *clone() const override;
    QString key() const override;

private:
    QString m_name;
};

} // namespace ReveZE
