#pragma once

// The read-only commands of zelk (and `index refresh`), printing what the
// state directory holds in the formats ReveZE reads: JSON documents for
// --json, tab-separated findings for `doctor --raw`, name@version lines for
// `linkquery --raw`, plain text otherwise. Each returns the exit status.

#include "SimRecords.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace ZelkSim {

class JsonWriter;
class StateStore;

class QueryCommands
{
public:
    explicit QueryCommands(StateStore &store) : m_store(store) {}

    int version(const QStringList &arguments);
    int list(const QStringList &arguments);
    int status(const QStringList &arguments);
    int catalog(const QStringList &arguments);
    int outdated(const QStringList &arguments);
    int info(const QStringList &arguments);
    int search(const QStringList &arguments);
    int mirror(const QStringList &arguments);
    int basedir(const QStringList &arguments);
    int index(const QStringList &arguments);
    int doctor(const QStringList &arguments);
    int linkquery(const QStringList &arguments);

    // Everything the doctor reports: the fixed findings of the state and
    // those found by looking at the index, the links and the dependencies.
    QList<Finding> findings();

private:
    int indexStatus(bool json);
    int indexRefresh();
    void writeStatusRecord(JsonWriter &json, const InstalledEntry &entry);

    StateStore &m_store;
};

} // namespace ZelkSim
