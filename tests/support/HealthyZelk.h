#pragma once

// A scripted zelk (TestSupport::FakeZelk) that answers a full refresh as a
// small, healthy installation does: jq installed and outdated, three
// packages in the index.

#include "TestSupport.h"

#include <QByteArray>
#include <QStringList>

namespace TestSupport {

// The argument vector of a command written with single blanks.
inline QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '));
}

inline const QByteArray healthyStatusDocument = R"({"base_dir":"/opt/rurirud","packages":[
 {"name":"jq","version":"1.7.1","versions":["1.7.1"],"kind":"pkg","requested":true,"tree":false,"linked":true,
  "commands":["jq"],"deps":["oniguruma@6.9"],"path":"/opt/rurirud/pkgs/jq","size_bytes":1000,"file":"jq.tar",
  "sha256":"ab","source":"index"}]})";

inline void setHealthy(FakeZelk &zelk)
{
    zelk.setDocument(words("version --json"), R"({"version":"0.9","protocol":1,"capabilities":["json-progress","status"]})");
    zelk.setDocument(words("status --json"), healthyStatusDocument);
    zelk.setDocument(words("list --json"), R"({"packages":[{"name":"jq","installed":["1.7.1"]}]})");
    zelk.setDocument(words("catalog --json"), R"({"packages":[
        {"name":"zed","kind":"pkg","versions":["1"]},{"name":"abc","kind":"deps","versions":[]},
        {"name":"jq","kind":"pkg","latest":"1.7.1","versions":["1.7.1"]}]})");
    zelk.setDocument(words("outdated --json"), R"([{"name":"jq","installed":"1.6","latest":"1.7.1","status":"outdated"}])");
}

} // namespace TestSupport
