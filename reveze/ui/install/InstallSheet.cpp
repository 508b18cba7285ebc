#include "install/InstallSheet.h"

#include "AppModel.h"
#include "ErrorAdvice.h"
#include "InstallRunner.h"
#include "Localizer.h"
#include "OperationReport.h"
#include "install/CommandKeyShortcuts.h"
#include "install/DangerousArgumentsDialog.h"
#include "install/DialogButton.h"
#include "install/InstallLogView.h"
#include "install/InstallStyle.h"
#include "install/SegmentedControl.h"
#include "install/SheetScrollArea.h"
#include "install/StyledTextView.h"
#include "widgets/AppIconView.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/SymbolLabel.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"
#include "widgets/ToggleSwitch.h"

#include <WorkerPool.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <qcoro/qcorofuture.h>

#include <cmath>

using namespace ZelkKit;

namespace ReveZE {

namespace {

const QString triangle = QStringLiteral("exclamationmark.triangle.fill");

QLabel *plainLabel(QWidget *parent, TextStyle style, const QString &name = QString())
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    TextStyles::apply(label, style);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

QColor redTint(const QPalette &)
{
    return Palette::red();
}

int operationIndex(ZelkOperation operation)
{
    switch (operation) {
    case ZelkOperation::Install: return 0;
    case ZelkOperation::Upgrade: return 1;
    case ZelkOperation::Reinstall: return 2;
    }
    return 0;
}

ZelkOperation operationAt(int index)
{
    return index == 1 ? ZelkOperation::Upgrade : index == 2 ? ZelkOperation::Reinstall : ZelkOperation::Install;
}

void setShown(QWidget *widget, bool shown)
{
    if (widget->isVisibleTo(widget->parentWidget()) != shown)
        widget->setVisible(shown);
}

void setLabelText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

} // namespace

InstallSheet::InstallSheet(AppModel &model, Localizer &l, QString packageName, ZelkOperation operation,
                           bool upgradeAll, QWidget *parent)
    : QDialog(parent), m_model(model), m_l(l)
{
    m_form.packageName = std::move(packageName);
    m_form.operation = operation;
    m_form.upgradingAll = upgradeAll;
    setObjectName(QStringLiteral("installSheet"));
    setWindowModality(Qt::WindowModal);
    build();
    setRunner(new InstallRunner(this));
    m_keys = new CommandKeyShortcuts(this, [this] { confirmKey(); }, [this] { cancelKey(); });
    connect(&m_l, &Localizer::languageChanged, this, &InstallSheet::render);
    render();
}

InstallSheet::~InstallSheet() = default;

InstallSheet::Face InstallSheet::face() const
{
    return !m_runner->isRunning() && !m_runner->finished() ? Face::Form : Face::Progress;
}

// ---- building ---------------------------------------------------------------

void InstallSheet::build()
{
    // One child holds everything: the confirmation dialog disables the
    // sheet's direct children while it is up, and the form's own enabled
    // states (Install, the remove-old switch) live below it.
    // That child is the scroll area: the sheet takes the size of its content
    // up to the height there is (availableHeight), and scrolls beyond it.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    m_scroll = new SheetScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("installSheetScroll"));
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("installSheetContent"));
    m_content->setFixedWidth(sheetWidth);
    outer->addWidget(m_scroll);

    auto *column = new QVBoxLayout(m_content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(16);
    column->addWidget(buildHeader());
    m_formPanel = buildForm();
    column->addWidget(m_formPanel);
    m_progressPanel = buildProgress();
    column->addWidget(m_progressPanel);
    auto *divider = new QFrame(m_content);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setStyleSheet(QStringLiteral("color: palette(mid);"));
    column->addWidget(divider);
    column->addWidget(buildFooter());
    m_scroll->setWidget(m_content);
    if (parentWidget())
        parentWidget()->window()->installEventFilter(this);
    fitToScreen();
}

int InstallSheet::availableHeight() const
{
    // Within the window the sheet belongs to, and within the screen.
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    int available = owner ? owner->height() : QWIDGETSIZE_MAX;
    if (const QScreen *screen = owner ? owner->screen() : this->screen())
        available = std::min(available, screen->availableGeometry().height());
    return available;
}

void InstallSheet::fitToScreen()
{
    m_scroll->setHeightLimit(availableHeight());
}

bool InstallSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (parentWidget() && watched == parentWidget()->window() && event->type() == QEvent::Resize)
        fitToScreen();
    return QDialog::eventFilter(watched, event);
}

void InstallSheet::showEvent(QShowEvent *event)
{
    fitToScreen();
    QDialog::showEvent(event);
}

QWidget *InstallSheet::buildHeader()
{
    auto *header = new QWidget(m_content);
    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(new AppIconView(40, header));
    auto *titles = new QVBoxLayout;
    titles->setSpacing(2);
    m_title = plainLabel(header, TextStyle::Headline, QStringLiteral("installTitle"));
    m_subtitle = plainLabel(header, TextStyle::Caption, QStringLiteral("installSubtitle"));
    titles->addWidget(m_title);
    titles->addWidget(m_subtitle);
    row->addLayout(titles);
    row->addStretch(1);
    return header;
}

QWidget *InstallSheet::buildForm()
{
    auto *form = new QWidget(m_content);
    form->setObjectName(QStringLiteral("installForm"));
    auto *column = new QVBoxLayout(form);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);

    // The name and the operation; the hint under them when the name is refused.
    auto *nameArea = new QVBoxLayout;
    nameArea->setSpacing(6);
    auto *nameRow = new QHBoxLayout;
    nameRow->setSpacing(12);
    m_nameField = new QLineEdit(form);
    m_nameField->setObjectName(QStringLiteral("packageNameField"));
    m_nameField->setFont(InstallStyle::monospaced(TextStyle::Body));
    connect(m_nameField, &QLineEdit::textEdited, this, [this](const QString &text) {
        // Typing sets the name; the "-a" shown while upgrading all never does.
        if (m_form.upgradingAll)
            return;
        m_form.packageName = text;
        renderForm();
        renderFooter();
    });
    nameRow->addWidget(m_nameField, 1);
    m_operationControl = new SegmentedControl(3, form);
    m_operationControl->setObjectName(QStringLiteral("operationControl"));
    m_operationControl->setFixedWidth(240);
    connect(m_operationControl, &SegmentedControl::activated, this, [this](int index) {
        m_form.operation = operationAt(index);
        renderForm();
        renderFooter();
    });
    nameRow->addWidget(m_operationControl);
    nameArea->addLayout(nameRow);

    m_hintRow = new QWidget(form);
    m_hintRow->setObjectName(QStringLiteral("packageNameHintRow"));
    auto *hint = new QHBoxLayout(m_hintRow);
    hint->setContentsMargins(0, 0, 0, 0);
    hint->setSpacing(6);
    hint->addWidget(new SymbolLabel(triangle, TextStyles::size(TextStyle::Caption2), redTint, m_hintRow), 0, Qt::AlignTop);
    m_highlightedName = new StyledTextView(m_hintRow);
    m_highlightedName->setObjectName(QStringLiteral("highlightedPackageName"));
    m_highlightedName->setFont(InstallStyle::monospaced(TextStyle::Callout));
    m_highlightedName->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_highlightedName->setMaximumWidth(200);
    hint->addWidget(m_highlightedName, 0, Qt::AlignTop);
    m_hintLabel = plainLabel(m_hintRow, TextStyle::Caption, QStringLiteral("packageNameHint"));
    m_hintLabel->setWordWrap(true);
    hint->addWidget(m_hintLabel, 1, Qt::AlignTop);
    nameArea->addWidget(m_hintRow);
    column->addLayout(nameArea);

    // The switches and the time limits.
    m_argumentsBox = new QGroupBox(form);
    m_argumentsBox->setObjectName(QStringLiteral("argumentsBox"));
    auto *arguments = new QVBoxLayout(m_argumentsBox);
    arguments->setContentsMargins(6, 6, 6, 6);
    arguments->setSpacing(10);
    auto flagRow = [&](const QString &flag, ToggleSwitch *&toggle, QLabel *&detail, const QString &name) {
        auto *row = new QWidget(m_argumentsBox);
        auto *line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(8);
        toggle = new ToggleSwitch(row);
        toggle->setObjectName(name);
        line->addWidget(toggle);
        auto *flagLabel = plainLabel(row, TextStyle::Callout);
        flagLabel->setFont(InstallStyle::monospaced(TextStyle::Callout));
        flagLabel->setText(flag);
        line->addWidget(flagLabel);
        detail = plainLabel(row, TextStyle::Caption);
        line->addWidget(detail, 1);
        arguments->addWidget(row);
        return row;
    };
    flagRow(QStringLiteral("-C, --continue"), m_resumeSwitch, m_resumeDetail, QStringLiteral("resumeSwitch"));
    connect(m_resumeSwitch, &QAbstractButton::toggled, this, [this](bool on) {
        m_form.resume = on;
        renderForm();
    });
    m_removeOldRow = flagRow(QStringLiteral("-X, --remove-old-versions"), m_removeOldSwitch, m_removeOldDetail,
                             QStringLiteral("removeOldSwitch"));
    m_removeOldRow->setObjectName(QStringLiteral("removeOldRow"));
    connect(m_removeOldSwitch, &QAbstractButton::toggled, this, [this](bool on) {
        m_form.removeOldVersions = on;
        renderForm();
    });
    const QString flags[] = {QStringLiteral("--max-time"), QStringLiteral("--content-time"),
                             QStringLiteral("--connect-timeout")};
    const QString hints[] = {QStringLiteral("40s, 1min, 2h"), QStringLiteral("e.g. 2min"), QStringLiteral("e.g. 10s")};
    QString InstallForm::*const fields[] = {&InstallForm::maxTime, &InstallForm::contentTime, &InstallForm::connectTimeout};
    for (int i = 0; i < 3; ++i) {
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        TimeoutRow &timeout = m_timeouts[i];
        timeout.flag = plainLabel(m_argumentsBox, TextStyle::Callout);
        timeout.flag->setFont(InstallStyle::monospaced(TextStyle::Callout));
        timeout.flag->setText(flags[i]);
        timeout.flag->setFixedWidth(170);
        row->addWidget(timeout.flag);
        timeout.field = new QLineEdit(m_argumentsBox);
        timeout.field->setObjectName(flags[i].mid(2) + QStringLiteral("Field"));
        timeout.field->setFont(InstallStyle::monospaced(TextStyle::Callout));
        timeout.field->setFixedWidth(160);
        timeout.field->setPlaceholderText(hints[i]);
        timeout.field->setAccessibleName(flags[i]);
        QString InstallForm::*field = fields[i];
        connect(timeout.field, &QLineEdit::textEdited, this, [this, field](const QString &text) {
            m_form.*field = text;
            renderForm();
        });
        row->addWidget(timeout.field);
        timeout.notSet = plainLabel(m_argumentsBox, TextStyle::Caption);
        row->addWidget(timeout.notSet);
        row->addStretch(1);
        arguments->addLayout(row);
    }
    column->addWidget(m_argumentsBox);

    // The extra arguments, growing from one to three lines.
    auto *extra = new QVBoxLayout;
    extra->setSpacing(4);
    m_extraTitle = plainLabel(form, TextStyle::Caption, QStringLiteral("additionalArgumentsTitle"));
    extra->addWidget(m_extraTitle);
    m_extraField = new QPlainTextEdit(form);
    m_extraField->setObjectName(QStringLiteral("extraArgumentsField"));
    m_extraField->setFont(InstallStyle::monospaced(TextStyle::Body));
    m_extraField->setPlaceholderText(QStringLiteral("--proxy http://127.0.0.1:8080 --limit-rate 1M"));
    m_extraField->setTabChangesFocus(true);
    m_extraField->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_extraField->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_extraField, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = m_extraField->toPlainText();
        if (text == m_form.extraArguments)
            return;
        m_form.extraArguments = text;
        renderForm();
    });
    connect(m_extraField->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &InstallSheet::fitExtraField);
    extra->addWidget(m_extraField);
    m_dangerRow = new QWidget(form);
    m_dangerRow->setObjectName(QStringLiteral("dangerRow"));
    auto *danger = new QHBoxLayout(m_dangerRow);
    danger->setContentsMargins(0, 0, 0, 0);
    danger->setSpacing(4);
    danger->addWidget(new SymbolLabel(triangle, TextStyles::size(TextStyle::Caption), redTint, m_dangerRow));
    m_dangerLabel = plainLabel(m_dangerRow, TextStyle::Caption, QStringLiteral("dangerLine"));
    InstallStyle::setTextColour(m_dangerLabel, Palette::red());
    danger->addWidget(m_dangerLabel, 1);
    extra->addWidget(m_dangerRow);
    column->addLayout(extra);

    // The command line.
    m_previewBox = new QGroupBox(form);
    m_previewBox->setObjectName(QStringLiteral("previewBox"));
    auto *previewLayout = new QVBoxLayout(m_previewBox);
    previewLayout->setContentsMargins(6, 6, 6, 6);
    m_preview = new StyledTextView(m_previewBox);
    m_preview->setObjectName(QStringLiteral("commandPreview"));
    m_preview->setFont(InstallStyle::monospaced(TextStyle::Callout));
    previewLayout->addWidget(m_preview);
    column->addWidget(m_previewBox);
    return form;
}

QWidget *InstallSheet::buildProgress()
{
    auto *panel = new QWidget(m_content);
    panel->setObjectName(QStringLiteral("installProgress"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    // The failure, with Copy error and the advice under it.
    m_failureRow = new QWidget(panel);
    m_failureRow->setObjectName(QStringLiteral("failureRow"));
    auto *failure = new QVBoxLayout(m_failureRow);
    failure->setContentsMargins(0, 0, 0, 0);
    failure->setSpacing(8);
    auto *failureLine = new QHBoxLayout;
    failureLine->setSpacing(8);
    failureLine->addWidget(new SymbolLabel(triangle, TextStyles::size(TextStyle::Callout), redTint, m_failureRow), 0,
                           Qt::AlignTop);
    m_failureLabel = plainLabel(m_failureRow, TextStyle::Callout, QStringLiteral("failureText"));
    m_failureLabel->setWordWrap(true);
    m_failureLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    InstallStyle::setTextColour(m_failureLabel, Palette::red());
    failureLine->addWidget(m_failureLabel, 1, Qt::AlignTop);
    m_copyButton = new QToolButton(m_failureRow);
    m_copyButton->setObjectName(QStringLiteral("copyErrorButton"));
    m_copyButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_copyButton->setFocusPolicy(Qt::TabFocus);
    TextStyles::apply(m_copyButton, TextStyle::Caption);
    connect(m_copyButton, &QToolButton::clicked, this, [this] { [[maybe_unused]] QCoro::Task<> task = copyReport(); });
    failureLine->addWidget(m_copyButton, 0, Qt::AlignTop);
    failure->addLayout(failureLine);
    m_adviceLabel = plainLabel(m_failureRow, TextStyle::Caption, QStringLiteral("adviceText"));
    m_adviceLabel->setWordWrap(true);
    failure->addWidget(m_adviceLabel);
    column->addWidget(m_failureRow);

    m_finishedRow = new QWidget(panel);
    m_finishedRow->setObjectName(QStringLiteral("finishedRow"));
    auto *finished = new QHBoxLayout(m_finishedRow);
    finished->setContentsMargins(0, 0, 0, 0);
    finished->setSpacing(6);
    finished->addWidget(new SymbolLabel(QStringLiteral("checkmark.circle.fill"), TextStyles::size(TextStyle::Callout),
                                        [](const QPalette &) { return Palette::green(); }, m_finishedRow));
    m_finishedLabel = plainLabel(m_finishedRow, TextStyle::Callout, QStringLiteral("finishedText"));
    InstallStyle::setTextColour(m_finishedLabel, Palette::green());
    finished->addWidget(m_finishedLabel, 1);
    column->addWidget(m_finishedRow);

    // The bar with its label and percentage, or the spinner.
    m_barRow = new QWidget(panel);
    m_barRow->setObjectName(QStringLiteral("progressBarRow"));
    auto *bar = new QVBoxLayout(m_barRow);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(4);
    auto *barLabels = new QHBoxLayout;
    m_barLabel = plainLabel(m_barRow, TextStyle::Caption, QStringLiteral("progressLabel"));
    m_percentLabel = plainLabel(m_barRow, TextStyle::Caption, QStringLiteral("progressPercent"));
    m_percentLabel->setFont(InstallStyle::monospaced(TextStyle::Caption));
    barLabels->addWidget(m_barLabel, 1);
    barLabels->addWidget(m_percentLabel);
    bar->addLayout(barLabels);
    m_progressBar = new QProgressBar(m_barRow);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);
    m_progressBar->setFixedHeight(6);
    bar->addWidget(m_progressBar);
    column->addWidget(m_barRow);

    m_spinnerRow = new QWidget(panel);
    m_spinnerRow->setObjectName(QStringLiteral("spinnerRow"));
    auto *spinner = new QHBoxLayout(m_spinnerRow);
    spinner->setContentsMargins(0, 0, 0, 0);
    spinner->setSpacing(8);
    m_spinner = new ProgressSpinner(14, m_spinnerRow);
    spinner->addWidget(m_spinner);
    m_spinnerLabel = plainLabel(m_spinnerRow, TextStyle::Caption, QStringLiteral("spinnerLabel"));
    spinner->addWidget(m_spinnerLabel, 1);
    column->addWidget(m_spinnerRow);

    m_logView = new InstallLogView(panel);
    m_logView->setObjectName(QStringLiteral("installLog"));
    m_logView->setFixedHeight(logHeight);
    // The log is what zelk printed: named after it in every language.
    m_logView->setAccessibleName(QStringLiteral("zelk"));
    column->addWidget(m_logView);
    return panel;
}

QWidget *InstallSheet::buildFooter()
{
    auto *footer = new QWidget(m_content);
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    m_installedLabel = plainLabel(footer, TextStyle::Caption, QStringLiteral("installedText"));
    row->addWidget(m_installedLabel);
    row->addStretch(1);

    m_cancelButton = new DialogButton(QString(), QString(), DialogButton::Tone::Cancel, footer);
    m_cancelButton->setObjectName(QStringLiteral("installCancel"));
    connect(m_cancelButton, &QAbstractButton::clicked, this, [this] {
        if (m_runner->isRunning())
            m_runner->cancel();
        else
            closeSheet();
    });
    row->addWidget(m_cancelButton);

    m_retryButton = new DialogButton(QString(), QString(), DialogButton::Tone::Confirm, footer);
    m_retryButton->setObjectName(QStringLiteral("installRetry"));
    connect(m_retryButton, &QAbstractButton::clicked, this, &InstallSheet::start);
    row->addWidget(m_retryButton);

    m_anotherButton = new QPushButton(footer);
    m_anotherButton->setObjectName(QStringLiteral("installAnother"));
    m_anotherButton->setAutoDefault(false);
    m_anotherButton->setDefault(false);
    m_anotherButton->setFocusPolicy(Qt::TabFocus);
    TextStyles::apply(m_anotherButton, TextStyle::Callout);
    connect(m_anotherButton, &QPushButton::clicked, this, &InstallSheet::installAnother);
    row->addWidget(m_anotherButton);

    m_installButton = new DialogButton(QString(), QString(), DialogButton::Tone::Confirm, footer);
    m_installButton->setObjectName(QStringLiteral("installStart"));
    connect(m_installButton, &QAbstractButton::clicked, this, &InstallSheet::start);
    row->addWidget(m_installButton);

    m_doneButton = new DialogButton(QString(), QString(), DialogButton::Tone::Cancel, footer);
    m_doneButton->setObjectName(QStringLiteral("installDone"));
    connect(m_doneButton, &QAbstractButton::clicked, this, &InstallSheet::closeSheet);
    row->addWidget(m_doneButton);
    return footer;
}

void InstallSheet::setRunner(InstallRunner *runner)
{
    InstallRunner *old = m_runner;
    m_runner = runner;
    for (auto signal : {&InstallRunner::isRunningChanged, &InstallRunner::finishedChanged,
                        &InstallRunner::failureChanged, &InstallRunner::failureCodeChanged,
                        &InstallRunner::installedPackageChanged}) {
        connect(runner, signal, this, [this, runner] {
            if (runner == m_runner)
                render();
        });
    }
    // When the run ends the keyboard goes to Done, so that Space closes the
    // sheet (Return runs the same form again); unless it is elsewhere.
    connect(runner, &InstallRunner::finishedChanged, this, [this, runner] {
        QWidget *focus = QApplication::focusWidget();
        if (runner == m_runner && runner->finished() && (!focus || isAncestorOf(focus) || focus == this))
            m_doneButton->setFocus(Qt::OtherFocusReason);
    });
    for (auto signal : {&InstallRunner::percentChanged, &InstallRunner::currentStepChanged}) {
        connect(runner, signal, this, [this, runner] {
            if (runner == m_runner)
                renderProgress();
        });
    }
    m_logView->setRunner(runner);
    if (old) {
        // Its log is freed off the GUI thread (InstallLog).
        disconnect(old, nullptr, this, nullptr);
        old->deleteLater();
    }
}

// ---- actions ----------------------------------------------------------------

void InstallSheet::start()
{
    if (m_runner->isRunning() || !m_pendingWarnings.isEmpty())
        return;
    const QList<SafetyWarning> warnings = m_form.dangerousArguments();
    if (!warnings.isEmpty()) {
        // Confirming runs what was checked here.
        m_checkedArguments = m_form.arguments();
        m_pendingWarnings = warnings;
        render();
        return;
    }
    run(m_form.arguments());
}

void InstallSheet::run(const OperationArguments &arguments)
{
    m_runner->start(arguments, m_model);
    render();
}

void InstallSheet::dialogCancelled()
{
    m_pendingWarnings.clear();
    m_checkedArguments.reset();
    render();
}

void InstallSheet::dialogConfirmed()
{
    m_pendingWarnings.clear();
    const std::optional<OperationArguments> arguments = std::exchange(m_checkedArguments, std::nullopt);
    render();
    if (arguments)
        run(*arguments);
}

void InstallSheet::installAnother()
{
    if (m_runner->isRunning())
        return;
    setRunner(new InstallRunner(this));
    m_form.packageName.clear();
    render();
    m_nameField->setFocus(Qt::OtherFocusReason);
}

void InstallSheet::closeSheet()
{
    if (m_runner->isRunning() || !m_pendingWarnings.isEmpty())
        return;
    QDialog::reject();
}

void InstallSheet::reject()
{
    closeSheet();
}

void InstallSheet::confirmKey()
{
    if (m_runner->isRunning() || !m_pendingWarnings.isEmpty())
        return;
    if (m_form.canStart(false))
        start();
}

void InstallSheet::cancelKey()
{
    if (!m_pendingWarnings.isEmpty())
        return;
    if (m_runner->isRunning())
        m_runner->cancel();
    else
        closeSheet();
}

QCoro::Task<> InstallSheet::copyReport()
{
    QPointer<InstallSheet> self(this);
    OperationReport report;
    report.appVersion = OperationReport::applicationVersion();
    if (const std::optional<CLIInfo> &info = m_model.cliInfo()) {
        report.cliVersion = info->version;
        report.cliProtocol = info->protocolNumber;
    }
    report.errorCode = m_runner->failureCode();
    report.failure = m_runner->failure();
    // The log of a long run is a million lines: its texts are gathered and
    // joined on a worker, from a snapshot that shares the log's chunks.
    InstallLog snapshot = m_runner->log();
    QFuture<QString> building = ZelkKit::runInBackground([report = std::move(report), snapshot = std::move(snapshot)]() mutable {
        report.log = snapshot.texts();
        return report.text();
    });
    const QString text = co_await building;
    if (!self)
        co_return;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
    self->setCopiedReport(true);
    // Each copy clears the mark when its own interval ends.
    QTimer::singleShot(self->m_copiedInterval, self.data(), [sheet = self.data()] { sheet->setCopiedReport(false); });
}

void InstallSheet::setCopiedReport(bool copied)
{
    if (m_copiedReport == copied)
        return;
    m_copiedReport = copied;
    renderProgress();
    Q_EMIT copiedReportChanged();
}

// ---- rendering --------------------------------------------------------------

void InstallSheet::render()
{
    setWindowTitle(m_l(L::installTitle));
    setAccessibleName(m_l(L::installTitle));
    setLabelText(m_title, m_l(L::installTitle));
    setLabelText(m_subtitle, m_l(L::installSubtitle));
    InstallStyle::setTextColour(m_subtitle, Palette::zelkSecondary(palette()));
    renderForm();
    renderProgress();
    renderFooter();
    renderDialog();
    renderFace();
}

void InstallSheet::renderForm()
{
    const QPalette &pal = palette();
    const QColor secondary = Palette::zelkSecondary(pal);

    const QString shown = m_form.upgradingAll ? QStringLiteral("-a") : m_form.packageName;
    if (m_nameField->text() != shown)
        m_nameField->setText(shown);
    m_nameField->setEnabled(!m_form.upgradingAll);
    m_nameField->setPlaceholderText(m_l(L::packageNamePrompt));
    m_nameField->setAccessibleName(m_l(L::packageNamePrompt));
    m_operationControl->setTitles({m_l(L::operationInstall), m_l(L::operationUpgrade), m_l(L::operationReinstall)});
    m_operationControl->setCurrentIndex(operationIndex(m_form.operation));
    m_operationControl->setAccessibleName(m_l(L::operationInstall) + QStringLiteral(" / ") + m_l(L::operationUpgrade)
                                          + QStringLiteral(" / ") + m_l(L::operationReinstall));

    const std::optional<QString> hint = m_form.packageNameHint(m_l);
    setShown(m_hintRow, hint.has_value());
    if (hint) {
        m_highlightedName->setStyledText(m_form.highlightedPackageName());
        setLabelText(m_hintLabel, *hint);
        InstallStyle::setTextColour(m_hintLabel, secondary);
    }

    m_argumentsBox->setTitle(m_l(L::arguments));
    m_resumeSwitch->setChecked(m_form.resume);
    setLabelText(m_resumeDetail, m_l(L::resumeDetail));
    m_resumeSwitch->setAccessibleName(QStringLiteral("-C, --continue ") + m_l(L::resumeDetail));
    m_removeOldSwitch->setChecked(m_form.removeOldVersions);
    setLabelText(m_removeOldDetail, m_l(L::removeOldDetail));
    m_removeOldSwitch->setAccessibleName(QStringLiteral("-X, --remove-old-versions ") + m_l(L::removeOldDetail));
    // Disabling keeps the value: install and reinstall ignore it.
    const bool upgrade = m_form.arguments().removeOldVersionsAvailable();
    m_removeOldSwitch->setEnabled(upgrade);
    const QString tooltip = m_l(upgrade ? L::removeOldHelpOn : L::removeOldHelpOff);
    m_removeOldRow->setToolTip(tooltip);
    m_removeOldSwitch->setToolTip(tooltip);
    for (QLabel *detail : {m_resumeDetail, m_removeOldDetail})
        InstallStyle::setTextColour(detail, secondary);

    const QString InstallForm::*const fields[] = {&InstallForm::maxTime, &InstallForm::contentTime,
                                                  &InstallForm::connectTimeout};
    for (int i = 0; i < 3; ++i) {
        const TimeoutRow &row = m_timeouts[i];
        const QString &value = m_form.*fields[i];
        if (row.field->text() != value)
            row.field->setText(value);
        setLabelText(row.notSet, m_l(L::notSet));
        InstallStyle::setTextColour(row.notSet, Palette::zelkTertiary(pal));
        setShown(row.notSet, value.isEmpty());
    }

    setLabelText(m_extraTitle, m_l(L::additionalArguments));
    InstallStyle::setTextColour(m_extraTitle, secondary);
    m_extraField->setAccessibleName(m_l(L::additionalArguments));
    // (The field is the only writer of extraArguments: its text is never
    // pushed back, which would fight the user's typing.)
    fitExtraField();
    const std::optional<QString> danger = m_form.dangerLine(m_l);
    setShown(m_dangerRow, danger.has_value());
    if (danger)
        setLabelText(m_dangerLabel, *danger);

    m_previewBox->setTitle(m_l(L::commandPreview));
    m_preview->setStyledText(m_form.previewText());
}

void InstallSheet::fitExtraField()
{
    // One to three lines tall; beyond that it scrolls.
    const int lines = std::clamp(int(std::ceil(m_extraField->document()->documentLayout()->documentSize().height())), 1, 3);
    const QFontMetrics metrics(m_extraField->font());
    const int height = lines * metrics.lineSpacing() + 2 * int(m_extraField->document()->documentMargin())
        + 2 * m_extraField->frameWidth() + 2;
    if (m_extraField->minimumHeight() != height || m_extraField->maximumHeight() != height)
        m_extraField->setFixedHeight(height);
}

void InstallSheet::renderProgress()
{
    const QPalette &pal = palette();
    const QColor secondary = Palette::zelkSecondary(pal);
    const std::optional<QString> &failure = m_runner->failure();
    setShown(m_failureRow, failure.has_value());
    if (failure) {
        setLabelText(m_failureLabel, *failure);
        const L label = m_copiedReport ? L::copied : L::copyError;
        m_copyButton->setText(m_l(label));
        m_copyButton->setAccessibleName(m_l(label));
        m_copyButton->setIcon(Symbols::icon(m_copiedReport ? u"checkmark" : u"doc.on.doc"));
        const std::optional<QString> advice = ErrorAdvice::sentence(m_runner->failureCode(), m_l);
        setShown(m_adviceLabel, advice.has_value());
        if (advice) {
            setLabelText(m_adviceLabel, *advice);
            InstallStyle::setTextColour(m_adviceLabel, secondary);
        }
    }
    setShown(m_finishedRow, !failure && m_runner->finished());
    setLabelText(m_finishedLabel, m_l(L::finished));

    const std::optional<qint64> &percent = m_runner->percent();
    const QString step = m_runner->currentStep();
    setShown(m_barRow, percent.has_value());
    if (percent) {
        // Clamped before it is narrowed: zelk may report anything.
        const int value = int(std::clamp<qint64>(*percent, 0, 100));
        m_progressBar->setValue(value);
        setLabelText(m_barLabel, step.isEmpty() ? m_l(L::working) : step);
        setLabelText(m_percentLabel, QString::number(value) + QLatin1Char('%'));
        m_progressBar->setAccessibleName(m_barLabel->text());
    }
    setShown(m_spinnerRow, !percent && m_runner->isRunning());
    if (!percent && m_runner->isRunning()) {
        setLabelText(m_spinnerLabel, step.isEmpty() ? m_l(L::starting) : step);
        InstallStyle::setTextColour(m_spinnerLabel, secondary);
    }
}

void InstallSheet::renderFooter()
{
    const bool running = m_runner->isRunning();
    const bool finished = m_runner->finished();
    const bool formFace = !running && !finished;
    const std::optional<QString> &installed = m_runner->installedPackage();
    setShown(m_installedLabel, finished && installed.has_value());
    if (finished && installed) {
        setLabelText(m_installedLabel, m_l.format(L::isInstalled, {*installed}));
        InstallStyle::setTextColour(m_installedLabel, Palette::zelkSecondary(palette()));
    }

    m_cancelButton->setTitle(m_l(L::cancel));
    m_cancelButton->setHint(m_l(L::shortcutCancel));
    setShown(m_cancelButton, running || formFace);

    m_installButton->setTitle(m_l(L::installAction));
    m_installButton->setHint(m_l(L::shortcutConfirm));
    setShown(m_installButton, formFace);
    m_installButton->setEnabled(m_form.canStart(running));

    m_retryButton->setTitle(m_l(L::installAction));
    m_retryButton->setHint(m_l(L::shortcutConfirm));
    setShown(m_retryButton, finished && ErrorAdvice::isRetryable(m_runner->failureCode()));

    m_anotherButton->setText(m_l(L::installAnother));
    m_anotherButton->setAccessibleName(m_l(L::installAnother));
    setShown(m_anotherButton, finished);

    m_doneButton->setTitle(m_l(L::done));
    m_doneButton->setHint(m_l(L::shortcutCancel));
    setShown(m_doneButton, finished);
}

void InstallSheet::renderDialog()
{
    if (!m_pendingWarnings.isEmpty() && !m_dialog) {
        m_dialog = new DangerousArgumentsDialog(
            m_l, m_pendingWarnings, [this] { dialogCancelled(); }, [this] { dialogConfirmed(); }, this);
        m_dialog->present();
    } else if (m_pendingWarnings.isEmpty() && m_dialog && !m_dialog->isDismissing()) {
        m_dialog->dismiss();
    }
}

void InstallSheet::renderFace()
{
    const Face now = face();
    setShown(m_formPanel, now == Face::Form);
    setShown(m_progressPanel, now == Face::Progress);
    if (m_renderedFace == now)
        return;
    m_renderedFace = now;
    // The fixed-size layout fits the sheet to its new face at once.
    m_content->layout()->activate();
    m_scroll->updateGeometry();
    if (QLayout *outer = layout())
        outer->activate();
    Q_EMIT faceChanged();
}

} // namespace ReveZE
