#pragma once

#include <QWidget>

class QComboBox;

namespace ReveZE {

class Localizer;
class SymbolLabel;

// The foot of the sidebar: a globe and a small menu of the interface
// languages, each named in itself. Choosing one assigns the localizer's
// language, which every open screen shows at once.
class LanguagePicker : public QWidget
{
    Q_OBJECT

public:
    explicit LanguagePicker(Localizer &l, QWidget *parent = nullptr);

    QComboBox *comboBox() const { return m_combo; }

private:
    void render();

    Localizer &m_l;
    SymbolLabel *m_globe;
    QComboBox *m_combo;
};

} // namespace ReveZE
