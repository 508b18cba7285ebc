#include "install/StyledText.h"

#include "install/InstallStyle.h"
#include "widgets/Palette.h"

namespace ReveZE {

void StyledText::append(const QString &text, Role role)
{
    if (text.isEmpty())
        return;
    if (!m_runs.isEmpty() && m_runs.last().role == role)
        m_runs.last().text += text;
    else
        m_runs.append({text, role});
}

QString StyledText::plainText() const
{
    QString text;
    for (const Run &run : m_runs)
        text += run.text;
    return text;
}

StyledText::Role StyledText::roleAt(qsizetype position) const
{
    qsizetype start = 0;
    for (const Run &run : m_runs) {
        if (position < start + run.text.size())
            return run.role;
        start += run.text.size();
    }
    return Role::Plain;
}

QTextCharFormat StyledText::format(Role role, const QPalette &palette)
{
    QTextCharFormat format;
    switch (role) {
    case Role::Plain:
        break;
    case Role::Secondary:
        format.setForeground(Palette::zelkSecondary(palette));
        break;
    case Role::CommandWord:
        format.setForeground(InstallStyle::blue());
        break;
    case Role::PackageName:
        format.setForeground(Palette::zelkPackageName());
        break;
    case Role::BadName:
        format.setForeground(Palette::red());
        format.setBackground(Palette::withOpacity(Palette::red(), 0.15));
        break;
    case Role::Argument:
        format.setForeground(Palette::zelkArgument());
        break;
    case Role::Marked:
        format.setForeground(Palette::red());
        format.setBackground(Palette::withOpacity(Palette::red(), 0.18));
        break;
    }
    return format;
}

QList<QTextLayout::FormatRange> StyledText::formats(const QPalette &palette) const
{
    QList<QTextLayout::FormatRange> ranges;
    int start = 0;
    for (const Run &run : m_runs) {
        if (run.role != Role::Plain)
            ranges.append({start, int(run.text.size()), format(run.role, palette)});
        start += int(run.text.size());
    }
    return ranges;
}

} // namespace ReveZE
