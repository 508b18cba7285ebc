#pragma once

// A text made of runs, each with a role that decides its colour: how the
// install sheet colours the command preview and marks the refused
// characters of a package name. Built from plain pieces and shown through
// QTextCharFormat ranges, never as HTML, so text typed by the user is never
// read as markup.

#include <QList>
#include <QPalette>
#include <QString>
#include <QTextCharFormat>
#include <QTextLayout>

namespace ReveZE {

class StyledText
{
public:
    enum class Role {
        Plain,        // unstyled
        Secondary,    // zelkSecondary: "zelk"
        CommandWord,  // blue: install, upgrade, reinstall
        PackageName,  // zelkPackageName: a typed name
        BadName,      // red on red at 0.15: a typed name while the names are invalid
        Argument,     // zelkArgument: switches, their values, extra arguments
        Marked,       // red on red at 0.18: a refused character, a bad start
    };

    struct Run {
        QString text;
        Role role = Role::Plain;
        friend bool operator==(const Run &, const Run &) = default;
    };

    // Appends a piece; a piece of the role of the last run joins that run.
    void append(const QString &text, Role role);

    const QList<Run> &runs() const { return m_runs; }
    QString plainText() const;
    // The role of each piece of `text`, by UTF-16 position, for tests.
    Role roleAt(qsizetype position) const;

    static QTextCharFormat format(Role role, const QPalette &palette);
    QList<QTextLayout::FormatRange> formats(const QPalette &palette) const;

    friend bool operator==(const StyledText &, const StyledText &) = default;

private:
    QList<Run> m_runs;
};

} // namespace ReveZE
