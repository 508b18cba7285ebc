#include "doctor/DoctorView.h"

#include "AppModel.h"
#include "Localizer.h"
#include "doctor/DoctorListModel.h"
#include "doctor/DoctorRowDelegate.h"
#include "widgets/Palette.h"
#include "widgets/ProgressSpinner.h"
#include "widgets/SymbolLabel.h"
#include "widgets/Symbols.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using ZelkKit::DoctorFinding;

namespace ReveZE {

namespace {

constexpr qreal cleanSymbolSize = 40;

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

DoctorView::DoctorView(AppModel &model, Localizer &l, QWidget *parent)
    : NavigationScreen(parent), m_model(model), m_l(l)
{
    setObjectName(QStringLiteral("doctorView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildHeader());
    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::NoFrame);
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    divider->setBackgroundRole(QPalette::Mid);
    layout->addWidget(divider);

    m_body = new QStackedWidget(this);
    m_body->setObjectName(QStringLiteral("doctorBody"));

    auto *spinnerPage = new QWidget(m_body);
    auto *spinnerLayout = new QVBoxLayout(spinnerPage);
    m_spinner = new ProgressSpinner(24, spinnerPage);
    m_spinner->setObjectName(QStringLiteral("doctorSpinner"));
    spinnerLayout->addWidget(m_spinner, 0, Qt::AlignCenter);
    m_body->addWidget(spinnerPage);

    m_list = new QListView(m_body);
    m_list->setObjectName(QStringLiteral("doctorList"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setLayoutMode(QListView::SinglePass);
    m_list->setStyleSheet(QStringLiteral("QListView { background: transparent; padding-top: 10px; padding-bottom: 10px; }"));
    m_list->viewport()->setAutoFillBackground(false);
    m_listModel = new DoctorListModel(m_list);
    m_list->setModel(m_listModel);
    m_list->setItemDelegate(new DoctorRowDelegate(m_list));
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this, &DoctorView::followCurrentRow);
    m_body->addWidget(m_list);

    m_clean = new QWidget(m_body);
    m_clean->setObjectName(QStringLiteral("doctorCleanState"));
    auto *cleanLayout = new QVBoxLayout(m_clean);
    cleanLayout->setSpacing(10);
    cleanLayout->addStretch(1);
    m_cleanSymbol = new SymbolLabel(QStringLiteral("checkmark.seal.fill"), cleanSymbolSize,
                                    [](const QPalette &) { return Palette::green(); }, m_clean);
    m_cleanSymbol->setObjectName(QStringLiteral("doctorCleanSymbol"));
    cleanLayout->addWidget(m_cleanSymbol, 0, Qt::AlignHCenter);
    m_cleanLabel = new QLabel(m_clean);
    m_cleanLabel->setObjectName(QStringLiteral("doctorCleanLabel"));
    m_cleanLabel->setTextFormat(Qt::PlainText);
    m_cleanLabel->setAlignment(Qt::AlignHCenter);
    m_cleanLabel->setWordWrap(true);
    TextStyles::apply(m_cleanLabel, TextStyle::Headline);
    cleanLayout->addWidget(m_cleanLabel);
    cleanLayout->addStretch(1);
    m_body->addWidget(m_clean);

    m_nothing = new QWidget(m_body);
    m_nothing->setObjectName(QStringLiteral("doctorNothing"));
    m_body->addWidget(m_nothing);
    layout->addWidget(m_body, 1);

    connect(&m_model, &AppModel::doctorFindingsChanged, this, &DoctorView::onFindingsChanged);
    connect(&m_l, &Localizer::languageChanged, this, &DoctorView::renderTexts);
    onFindingsChanged();
    renderTexts();
    // The first appearance runs a check; until it ends the screen is loading.
    setLoaded(false);
}

DoctorView::~DoctorView() = default;

QWidget *DoctorView::buildHeader()
{
    auto *header = new QWidget(this);
    header->setObjectName(QStringLiteral("doctorHeader"));
    auto *column = new QVBoxLayout(header);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(8);

    auto *row = new QHBoxLayout;
    m_title = new QLabel(header);
    m_title->setObjectName(QStringLiteral("doctorTitle"));
    m_title->setTextFormat(Qt::PlainText);
    TextStyles::apply(m_title, TextStyle::Title3, QFont::DemiBold);
    row->addWidget(m_title, 0, Qt::AlignVCenter);
    row->addStretch(1);
    m_runButton = new QPushButton(Symbols::icon(u"stethoscope"), QString(), header);
    m_runButton->setObjectName(QStringLiteral("runCheckButton"));
    connect(m_runButton, &QPushButton::clicked, this, &DoctorView::runCheck);
    row->addWidget(m_runButton, 0, Qt::AlignVCenter);
    column->addLayout(row);

    m_hint = new QLabel(header);
    m_hint->setObjectName(QStringLiteral("doctorHint"));
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setWordWrap(true);
    TextStyles::apply(m_hint, TextStyle::Caption);
    column->addWidget(m_hint);
    return header;
}

DoctorView::Body DoctorView::body(bool checked, bool lastCheckSucceeded, bool hasFindings)
{
    if (hasFindings)
        return Body::List;
    if (!checked)
        return Body::Spinner;
    return lastCheckSucceeded ? Body::Clean : Body::Nothing;
}

DoctorView::Body DoctorView::body() const
{
    return body(m_checked, m_lastCheckSucceeded, !m_model.doctorFindings().isEmpty());
}

QString DoctorView::severitySymbol(const DoctorFinding &finding)
{
    return finding.isError() ? QStringLiteral("xmark.octagon.fill") : QStringLiteral("exclamationmark.triangle.fill");
}

QColor DoctorView::severityColour(const DoctorFinding &finding)
{
    return finding.isError() ? Palette::red() : Palette::orange();
}

QString DoctorView::navigationTitle() const
{
    return m_l(L::sectionDoctor);
}

void DoctorView::appeared()
{
    if (m_checked)
        return;
    [[maybe_unused]] QCoro::Task<> task = check();
}

void DoctorView::runCheck()
{
    [[maybe_unused]] QCoro::Task<> task = check();
}

QCoro::Task<> DoctorView::check()
{
    QPointer<DoctorView> self(this);
    AppModel &model = m_model;
    ++m_running;
    setLoaded(false);
    const bool succeeded = co_await model.refreshDoctor();
    // The screen may have gone meanwhile; the model has its result anyway.
    if (!self)
        co_return;
    --self->m_running;
    self->m_checked = true;
    self->m_lastCheckSucceeded = succeeded;
    self->render();
    self->setLoaded(self->m_running == 0);
}

void DoctorView::onFindingsChanged()
{
    // Rows are positions: the row that was current stays current by place.
    const int current = m_list->currentIndex().row();
    m_editorRow = QPersistentModelIndex();
    m_listModel->setFindings(m_model.doctorFindings());
    if (current >= 0 && current < m_listModel->rowCount())
        m_list->setCurrentIndex(m_listModel->index(current));
    render();
}

void DoctorView::followCurrentRow()
{
    if (m_editorRow.isValid() && m_list->isPersistentEditorOpen(m_editorRow))
        m_list->closePersistentEditor(m_editorRow);
    m_editorRow = QPersistentModelIndex(m_list->currentIndex());
    if (m_editorRow.isValid())
        m_list->openPersistentEditor(m_editorRow);
}

void DoctorView::render()
{
    switch (body()) {
    case Body::Spinner:
        m_body->setCurrentWidget(m_spinner->parentWidget());
        break;
    case Body::List:
        m_body->setCurrentWidget(m_list);
        break;
    case Body::Clean:
        m_body->setCurrentWidget(m_clean);
        break;
    case Body::Nothing:
        m_body->setCurrentWidget(m_nothing);
        break;
    }
}

void DoctorView::renderTexts()
{
    m_title->setText(m_l(L::sectionDoctor));
    m_hint->setText(m_l(L::doctorHint));
    m_runButton->setText(m_l(L::runCheck));
    m_runButton->setAccessibleName(m_l(L::runCheck));
    m_list->setAccessibleName(m_l(L::sectionDoctor));
    m_cleanLabel->setText(m_l(L::doctorClean));
    setTextColour(m_hint, Palette::zelkSecondary(palette()));
    m_list->viewport()->update();
    Q_EMIT navigationTitleChanged();
}

void DoctorView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange) {
        renderTexts();
        // The detail field took its colour from the palette it was made in.
        if (m_editorRow.isValid() && m_list->isPersistentEditorOpen(m_editorRow)) {
            m_list->closePersistentEditor(m_editorRow);
            m_list->openPersistentEditor(m_editorRow);
        }
    }
    NavigationScreen::changeEvent(event);
}

} // namespace ReveZE
