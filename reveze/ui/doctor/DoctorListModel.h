#pragma once

// The rows of the Doctor list: the model's findings in zelk's order. A row is
// its position: zelk may report the same finding twice, so two rows can
// share an id, and a new list of findings is always one reset.

#include <Models.h>

#include <QAbstractListModel>
#include <QList>

namespace ReveZE {

class DoctorListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        SeverityRole = Qt::UserRole + 1,
        CheckRole,
        DetailRole,
        IsErrorRole,
    };

    using QAbstractListModel::QAbstractListModel;

    void setFindings(QList<ZelkKit::DoctorFinding> findings);
    const ZelkKit::DoctorFinding &findingAt(int row) const { return m_findings.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    QList<ZelkKit::DoctorFinding> m_findings;
};

} // namespace ReveZE
