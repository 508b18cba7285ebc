// The install sheet's derived values, without a window: the arguments, when
// a run can start, the name hint and its marks, the coloured preview and the
// danger line.

#include "install/InstallForm.h"
#include "Localizer.h"

#include "GuiTestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace ReveZE;
using Role = StyledText::Role;
using ZelkKit::ZelkOperation;

Q_DECLARE_METATYPE(ReveZE::StyledText)

namespace {

InstallForm formWith(const QString &name, ZelkOperation operation = ZelkOperation::Install, bool all = false)
{
    InstallForm form;
    form.packageName = name;
    form.operation = operation;
    form.upgradingAll = all;
    return form;
}

StyledText styled(std::initializer_list<std::pair<const char *, Role>> runs)
{
    StyledText text;
    for (const auto &[piece, role] : runs)
        text.append(QString::fromUtf8(piece), role);
    return text;
}

// The preview as "text:role" words, blanks left out, for readable failures.
QStringList words(const StyledText &text)
{
    static const char *names[] = {"plain", "secondary", "command", "name", "bad", "argument", "marked"};
    QStringList result;
    for (const StyledText::Run &run : text.runs()) {
        if (run.role == Role::Plain && run.text.trimmed().isEmpty())
            continue;
        for (const QString &word : run.text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            result.append(word + QLatin1Char(':') + QLatin1String(names[int(run.role)]));
    }
    return result;
}

QStringList list(std::initializer_list<const char *> texts)
{
    QStringList result;
    for (const char *text : texts)
        result.append(QString::fromUtf8(text));
    return result;
}

} // namespace

class TestInstallForm : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QSettings m_settings{m_dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    Localizer m_l{AppLanguage::English, {&m_settings, QStringList{QStringLiteral("en-US")}}};

private Q_SLOTS:
    void previewColours_data()
    {
        QTest::addColumn<InstallForm>("form");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("jq") << formWith(QStringLiteral("jq"))
                            << list({"zelk:secondary", "install:command", "jq:name", "--yes:argument"});
        // The piece "jq," is a name once its comma is trimmed, though the
        // vector holds the one entry "jq, fd".
        QTest::addRow("jq, fd") << formWith(QStringLiteral("jq, fd"))
                                << list({"zelk:secondary", "install:command", "jq,:name", "fd:name",
                                               "--yes:argument"});
        QTest::addRow("café") << formWith(QStringLiteral("café"))
                              << list({"zelk:secondary", "install:command", "café:bad", "--yes:argument"});
        QTest::addRow("jq -x") << formWith(QStringLiteral("jq -x"))
                               << list({"zelk:secondary", "install:command", "jq:bad", "-x:bad",
                                              "--yes:argument"});
        QTest::addRow("upgrade all") << formWith(QStringLiteral("jq"), ZelkOperation::Upgrade, true)
                                     << list({"zelk:secondary", "upgrade:command", "--all:argument",
                                                    "--yes:argument"});
        InstallForm options = formWith(QStringLiteral("  jq\t"), ZelkOperation::Upgrade);
        options.removeOldVersions = true;
        options.maxTime = QStringLiteral(" 600 ");
        options.extraArguments = QStringLiteral("--verbose jq");
        // A word of the extra arguments equal to a name is coloured as one.
        QTest::addRow("switches and extra words")
            << options
            << list({"zelk:secondary", "upgrade:command",  "jq:name",   "--remove-old-versions:argument",
                           "--max-time:argument", "600:argument", "--yes:argument", "--verbose:argument", "jq:name"});
    }

    void previewColours()
    {
        QFETCH(InstallForm, form);
        QFETCH(QStringList, expected);
        QCOMPARE(words(form.previewText()), expected);
        QCOMPARE(form.previewText().plainText(), form.arguments().preview());
    }

    void reinstallDropsRemoveOldVersions()
    {
        InstallForm form = formWith(QStringLiteral("jq"), ZelkOperation::Reinstall);
        form.removeOldVersions = true;
        QVERIFY(!form.arguments().argumentList().contains(QStringLiteral("--remove-old-versions")));
        QCOMPARE(form.previewText().plainText(), QStringLiteral("zelk reinstall jq --yes"));
        form.operation = ZelkOperation::Upgrade;
        QCOMPARE(form.previewText().plainText(), QStringLiteral("zelk upgrade jq --remove-old-versions --yes"));
    }

    void canStartAndHint_data()
    {
        QTest::addColumn<InstallForm>("form");
        QTest::addColumn<bool>("canStart");
        QTest::addColumn<QString>("hint");
        const QString chars = QStringLiteral("Letters, digits and . _ + - @ only; separate names with a comma or a space.");
        const QString dash = QStringLiteral("A name must start with a letter or digit.");
        QTest::addRow("jq") << formWith(QStringLiteral("jq")) << true << QString();
        QTest::addRow("jq, fd") << formWith(QStringLiteral("jq, fd")) << true << QString();
        QTest::addRow("empty") << formWith(QString()) << false << QString();
        // Only separators: no name, so no start and no hint either.
        QTest::addRow("only separators") << formWith(QStringLiteral(" ,\t, ")) << false << QString();
        QTest::addRow("café") << formWith(QStringLiteral("café")) << false << chars;
        QTest::addRow("jq -x") << formWith(QStringLiteral("jq -x")) << false << dash;
        QTest::addRow("upgrade all, no name") << formWith(QString(), ZelkOperation::Upgrade, true) << true << QString();
        QTest::addRow("upgrade all ignores a bad name")
            << formWith(QStringLiteral("café"), ZelkOperation::Upgrade, true) << true << QString();
        // Upgrade-all is fixed by the caller; switched to install it has no name.
        QTest::addRow("all, switched to install") << formWith(QString(), ZelkOperation::Install, true) << false
                                                  << QString();
    }

    void canStartAndHint()
    {
        QFETCH(InstallForm, form);
        QFETCH(bool, canStart);
        QFETCH(QString, hint);
        QCOMPARE(form.canStart(false), canStart);
        QVERIFY(!form.canStart(true));
        QCOMPARE(form.packageNameHint(m_l).value_or(QString()), hint);
    }

    // Positions count user-perceived characters; the marks land on the
    // characters themselves.
    void highlightedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<StyledText>("expected");
        QTest::addRow("café") << QStringLiteral("café") << styled({{"caf", Role::Plain}, {"é", Role::Marked}});
        // Written with a combining accent: one character, marked whole.
        QTest::addRow("combining accent") << QStringLiteral("cafe\u0301!")
                                          << styled({{"caf", Role::Plain}, {"e\u0301!", Role::Marked}});
        // An emoji of three scalars is one character; the entry it starts
        // starts badly, so the first character of every entry is marked.
        QTest::addRow("emoji after a separator")
            << QStringLiteral("jq,\U0001F469\u200D\U0001F4BBx")
            << styled({{"j", Role::Marked}, {"q,", Role::Plain}, {"\U0001F469\u200D\U0001F4BB", Role::Marked},
                       {"x", Role::Plain}});
        // Any entry starting badly marks the first character of every entry.
        QTest::addRow("jq -x") << QStringLiteral("jq -x")
                               << styled({{"j", Role::Marked}, {"q ", Role::Plain}, {"-", Role::Marked},
                                          {"x", Role::Plain}});
        QTest::addRow("a/b") << QStringLiteral("a/b")
                             << styled({{"a", Role::Plain}, {"/", Role::Marked}, {"b", Role::Plain}});
    }

    void highlightedName()
    {
        QFETCH(QString, name);
        QFETCH(StyledText, expected);
        QCOMPARE(formWith(name).highlightedPackageName(), expected);
    }

    void dangerLine()
    {
        InstallForm form = formWith(QStringLiteral("jq"));
        QVERIFY(!form.dangerLine(m_l));
        form.extraArguments = QStringLiteral("--proxy http://127.0.0.1:8080 --skip-ssl -F");
        QCOMPARE(form.dangerLine(m_l).value_or(QString()), QStringLiteral("Dangerous: --skip-ssl, --force"));
        m_l.setLanguage(AppLanguage::ChineseSimplified);
        QCOMPARE(form.dangerLine(m_l).value_or(QString()), QStringLiteral("危险参数：--skip-ssl, --force"));
        m_l.setLanguage(AppLanguage::English);
    }

    void oneEntryKeepsSeveralNames()
    {
        const InstallForm form = formWith(QStringLiteral(" jq, fd\t"));
        QCOMPARE(form.arguments().packages, QStringList{QStringLiteral("jq, fd")});
        QVERIFY(form.arguments().assumeYes);
    }
};

REVEZE_GUI_TEST_MAIN(TestInstallForm)
#include "tst_installform.moc"
