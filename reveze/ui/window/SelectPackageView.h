#pragma once

#include <QWidget>

class QLabel;

namespace ReveZE {

class AppIconView;
class Localizer;

// The detail column while no package is selected: the application icon and
// an invitation to pick a package, centred.
class SelectPackageView : public QWidget
{
    Q_OBJECT

public:
    explicit SelectPackageView(Localizer &l, QWidget *parent = nullptr);

    QLabel *titleLabel() const { return m_title; }
    QLabel *detailLabel() const { return m_detail; }

protected:
    void changeEvent(QEvent *event) override;

private:
    void render();

    Localizer &m_l;
    AppIconView *m_icon;
    QLabel *m_title;
    QLabel *m_detail;
};

} // namespace ReveZE
