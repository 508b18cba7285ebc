#pragma once

#include "window/NavigationScreen.h"
#include "window/SidebarItem.h"

class QLabel;

namespace ReveZE {

class Localizer;
class SymbolLabel;

// Stands in the content column for a section whose screen is not built yet:
// the section's symbol and title, centred.
class SectionPlaceholder : public NavigationScreen
{
    Q_OBJECT

public:
    SectionPlaceholder(SidebarItem section, Localizer &l, QWidget *parent = nullptr);

    SidebarItem section() const { return m_section; }
    QString navigationTitle() const override;

private:
    void render();

    SidebarItem m_section;
    Localizer &m_l;
    QLabel *m_title;
};

} // namespace ReveZE
