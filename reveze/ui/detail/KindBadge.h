#pragma once

#include <QWidget>

namespace ReveZE {

// The kind of an installed package beside its name in the detail's header:
// the word in the caption font at semibold weight on a faint capsule.
class KindBadge : public QWidget
{
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 8;
    static constexpr int verticalPadding = 3;

    explicit KindBadge(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const { return m_text; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_text;
};

} // namespace ReveZE
