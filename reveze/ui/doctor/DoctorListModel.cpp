#include "doctor/DoctorListModel.h"

using ZelkKit::DoctorFinding;

namespace ReveZE {

void DoctorListModel::setFindings(QList<DoctorFinding> findings)
{
    beginResetModel();
    m_findings = std::move(findings);
    endResetModel();
}

int DoctorListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_findings.size());
}

QVariant DoctorListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const DoctorFinding &finding = m_findings.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case CheckRole:
        return finding.check;
    case Qt::ToolTipRole:
    case DetailRole:
        return finding.detail;
    case Qt::AccessibleTextRole:
        // What a screen reader says for the row: the severity word, the
        // check and its detail, as zelk wrote them.
        return finding.detail.isEmpty() ? finding.severity + QLatin1Char(' ') + finding.check
                                        : finding.severity + QLatin1Char(' ') + finding.check
                + QStringLiteral(": ") + finding.detail;
    case SeverityRole:
        return finding.severity;
    case IsErrorRole:
        return finding.isError();
    default:
        return {};
    }
}

} // namespace ReveZE
