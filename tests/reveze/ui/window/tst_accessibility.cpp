// What a screen reader finds in ReveZE: the accessibility tree of the window
// in every section, with and without a selected package, with the install
// sheet and with the alert, in both languages. Every interactive element has
// a name, no image speaks a file name, and a change of language renames
// everything at once.

#include "AppModel.h"
#include "Localizer.h"
#include "window/ContentView.h"
#include "window/NavigationScreen.h"

#include "GuiTestSupport.h"

#include <QAccessible>
#include <QDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace ReveZE;
using GuiTestSupport::FakeStore;
using GuiTestSupport::detail;

namespace {

struct Window {
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat};
    FakeStore *store = new FakeStore;
    std::unique_ptr<AppModel> model = std::make_unique<AppModel>(store);
    std::unique_ptr<Localizer> l;
    std::unique_ptr<ContentView> view;

    explicit Window(AppLanguage language)
    {
        l = std::make_unique<Localizer>(language,
                                        Localizer::Environment{&settings, QStringList{QStringLiteral("en-US")}});
        store->installStatus = GuiTestSupport::statusOf({
            detail(QStringLiteral("jq"), QStringLiteral("1.7.1")),
            detail(QStringLiteral("oniguruma"), QStringLiteral("6.9.9"), true),
            detail(QStringLiteral("ffmpeg"), QStringLiteral("6.1")),
        });
        store->catalogPackages = {
            {QStringLiteral("jq"), QStringLiteral("Command-line JSON processor"),
             ZelkKit::CatalogPackage::Kind::Package, QStringLiteral("1.7.1"), {QStringLiteral("1.7.1")}},
            {QStringLiteral("ffmpeg"), QStringLiteral("Audio and video toolkit"), ZelkKit::CatalogPackage::Kind::Package,
             QStringLiteral("7.0"), {QStringLiteral("6.1"), QStringLiteral("7.0")}},
        };
        store->outdatedList = {{QStringLiteral("ffmpeg"), QStringLiteral("6.1"), QStringLiteral("7.0"),
                                QStringLiteral("outdated"), std::nullopt}};
        ZelkKit::PackageInfo jq;
        jq.name = QStringLiteral("jq");
        jq.description = QStringLiteral("Command-line JSON processor");
        jq.latest = QStringLiteral("1.7.1");
        jq.homepage = QStringLiteral("https://jqlang.github.io/jq/");
        store->infos.insert(jq.name, jq);
        store->doctorAnswer.findings = {{QStringLiteral("warning"), QStringLiteral("links"), QStringLiteral("jq is not linked")},
                                        {QStringLiteral("error"), QStringLiteral("perms"), QString()}};
        store->doctorAnswer.exitCode = 2;
        ZelkKit::MirrorEntry source;
        source.name = QStringLiteral("index");
        source.source = QStringLiteral("default");
        source.value = QStringLiteral("https://index.example/");
        store->mirror.mirrors = {source};
        store->index.path = QStringLiteral("/opt/rurirud/index");
        store->index.exists = true;
        store->index.ageSeconds = 3600;
        store->index.fresh = true;
        store->index.packages = 2;
        view = std::make_unique<ContentView>(*model, *l);
    }

    ~Window()
    {
        store->release();
        for (int i = 0; i < 1000 && model->isLoading(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // Shows the window and lets the shown screens load.
    bool settle()
    {
        for (int i = 0; i < 200; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            auto *content = view->contentScreen();
            auto *detailScreen = qobject_cast<NavigationScreen *>(view->detailWidget());
            if (!model->isLoading() && (!content || content->isLoaded()) && (!detailScreen || detailScreen->isLoaded()))
                return true;
            QTest::qWait(5);
        }
        return false;
    }
};

bool isInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::Link:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ListItem:
    case QAccessible::List:
        return true;
    default:
        return false;
    }
}

// A name that is a file: "QuindleIcon.png", "/usr/share/...", ":/reveze/...".
bool looksLikeAFile(const QString &name)
{
    static const QRegularExpression file(QStringLiteral(R"((\.(png|svg|jpg|jpeg|ico|ttf)\b)|^[:/])"),
                                         QRegularExpression::CaseInsensitiveOption);
    return file.match(name).hasMatch();
}

struct Walk {
    QStringList problems;
    QStringList names;
    int visited = 0;
};

// Walks an interface and its children (a list's first rows only: the rest
// are alike).
void walk(QAccessibleInterface *node, const QString &path, Walk &out, int depth = 0)
{
    if (!node || !node->isValid() || depth > 40)
        return;
    const QAccessible::State state = node->state();
    if (state.invisible)
        return;
    ++out.visited;
    const QAccessible::Role role = node->role();
    const QString name = node->text(QAccessible::Name);
    QString where = path;
    if (QObject *object = node->object(); object && !object->objectName().isEmpty())
        where += QLatin1Char('/') + object->objectName();
    if (isInteractive(role) && !state.disabled && name.trimmed().isEmpty())
        out.problems.append(QStringLiteral("%1: role %2 has no name").arg(where).arg(int(role)));
    // An image speaks what it shows, never its file (a label may show a path:
    // a package's location is content).
    if (role == QAccessible::Graphic && looksLikeAFile(name))
        out.problems.append(QStringLiteral("%1: speaks a file name: %2").arg(where, name));
    if (!name.isEmpty())
        out.names.append(name);
    const int children = node->childCount();
    const int limit = role == QAccessible::List || role == QAccessible::Table || role == QAccessible::Tree ? 12 : children;
    for (int i = 0; i < std::min(children, limit); ++i)
        walk(node->child(i), where, out, depth + 1);
}

Walk walkWindow(ContentView &view)
{
    Walk out;
    walk(QAccessible::queryAccessibleInterface(&view), QStringLiteral("window"), out);
    for (QDialog *dialog : view.findChildren<QDialog *>()) {
        if (dialog->isVisible())
            walk(QAccessible::queryAccessibleInterface(dialog), QStringLiteral("dialog"), out);
    }
    return out;
}

struct State {
    const char *name;
    SidebarItem section;
    bool selected;
};

const State states[] = {
    {"installed", SidebarItem::Installed, false},  {"installed, jq", SidebarItem::Installed, true},
    {"upgrades", SidebarItem::Upgrades, false},    {"discover", SidebarItem::Discover, false},
    {"discover, jq", SidebarItem::Discover, true}, {"doctor", SidebarItem::Doctor, false},
    {"config", SidebarItem::Config, false},
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyScreenNamesItsControls_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("state");
        for (AppLanguage language : allLanguages()) {
            for (int i = 0; i < int(std::size(states)); ++i)
                QTest::addRow("%s, %s", language == AppLanguage::English ? "en" : "zh", states[i].name)
                    << int(language) << i;
        }
    }

    void everyScreenNamesItsControls()
    {
        QFETCH(int, language);
        QFETCH(int, state);
        const State &wanted = states[state];
        Window w{AppLanguage(language)};
        w.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.view.get()));
        QVERIFY(w.settle());
        w.view->setSection(wanted.section);
        if (wanted.selected)
            w.view->setSelectedPackage(QStringLiteral("jq"));
        QVERIFY(w.settle());
        const Walk tree = walkWindow(*w.view);
        QVERIFY(tree.visited > 10);
        QVERIFY2(tree.problems.isEmpty(), qPrintable(tree.problems.join(QLatin1Char('\n'))));
    }

    void sheetAndAlertNameTheirControls_data()
    {
        QTest::addColumn<int>("language");
        for (AppLanguage language : allLanguages())
            QTest::addRow("%s", language == AppLanguage::English ? "en" : "zh") << int(language);
    }

    void sheetAndAlertNameTheirControls()
    {
        QFETCH(int, language);
        Window w{AppLanguage(language)};
        w.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.view.get()));
        QVERIFY(w.settle());
        w.model->setErrorMessage(QStringLiteral("`zelk` exited with status 1."));
        Walk tree = walkWindow(*w.view);
        QVERIFY2(tree.problems.isEmpty(), qPrintable(tree.problems.join(QLatin1Char('\n'))));
        w.view->alert()->done(QMessageBox::Ok);
        QTRY_VERIFY(!w.view->alert());

        w.view->install();
        QVERIFY(w.view->installSheet());
        QTest::qWait(20);
        tree = walkWindow(*w.view);
        QVERIFY2(tree.problems.isEmpty(), qPrintable(tree.problems.join(QLatin1Char('\n'))));
        w.view->installSheet()->close();
    }

    // Choosing the other language renames what a screen reader hears at once:
    // no fixed English text is left in the Chinese window.
    void aChangeOfLanguageRenamesEverything()
    {
        QSet<QString> englishOnly;
        for (const Localizer::Entry &entry : Localizer::entries(AppLanguage::English)) {
            if (Localizer::tableText(AppLanguage::ChineseSimplified, entry.first).value_or(entry.second) != entry.second)
                englishOnly.insert(entry.second);
        }
        Window w(AppLanguage::English);
        w.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.view.get()));
        QVERIFY(w.settle());
        for (const State &state : states) {
            w.view->setSection(state.section);
            w.view->setSelectedPackage(state.selected ? std::optional<QString>(QStringLiteral("jq")) : std::nullopt);
            QVERIFY(w.settle());
            w.l->setLanguage(AppLanguage::ChineseSimplified);
            QTest::qWait(0);
            QStringList left;
            for (const QString &name : walkWindow(*w.view).names) {
                if (englishOnly.contains(name))
                    left.append(name);
            }
            QVERIFY2(left.isEmpty(), qPrintable(QString::fromLatin1(state.name) + QStringLiteral(": ") + left.join(u", ")));
            w.l->setLanguage(AppLanguage::English);
            QTest::qWait(0);
        }
    }
};

REVEZE_GUI_TEST_MAIN(TestAccessibility)

#include "tst_accessibility.moc"
