#pragma once

#include "CompatibilityIssue.h"

#include <QWidget>

class QLabel;

namespace ReveZE {

class AppModel;
class Localizer;
class ProgressSpinner;
class SymbolLabel;

// The row across the foot of the window: a spinner while a full refresh
// runs, the installed and index counts, and at the end the first that
// applies of the compatibility warning (orange), the time of the last
// refresh, and the setup error (red).
class StatusBar : public QWidget
{
    Q_OBJECT

public:
    StatusBar(AppModel &model, Localizer &l, QWidget *parent = nullptr);

    // The sentence shown for a compatibility issue.
    static QString compatibilityText(const CompatibilityIssue &issue, const Localizer &l);
    // The time of day in the system locale's short format ("14:05", "2:05 PM").
    static QString timeText(const QDateTime &time);

    ProgressSpinner *spinner() const { return m_spinner; }
    QLabel *installedLabel() const { return m_installed; }
    QLabel *indexLabel() const { return m_index; }
    QWidget *compatibilityItem() const { return m_compatibility; }
    QLabel *compatibilityLabel() const { return m_compatibilityText; }
    QLabel *updatedLabel() const { return m_updated; }
    QLabel *setupErrorLabel() const { return m_setupError; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void render();
    static void setTextColour(QLabel *label, const QColor &colour);

    AppModel &m_model;
    Localizer &m_l;
    ProgressSpinner *m_spinner;
    QLabel *m_installed;
    QLabel *m_dot;
    QLabel *m_index;
    QWidget *m_compatibility;
    SymbolLabel *m_compatibilitySymbol;
    QLabel *m_compatibilityText;
    QLabel *m_updated;
    QLabel *m_setupError;
};

} // namespace ReveZE
