// Fuzzes the plain-text outputs of zelk that ReveZE parses: the doctor's
// findings, the linked-versions list and the install time. The first byte
// picks the format; the rest is zelk's output, read as text by Utf8::text as
// the runner reads it, and that reading itself is checked against
// Utf8Oracle's (the same text, the same repaired bytes, the same verdict on
// validity).
//
// Each parser is compared with a second model of its format written another
// way (splitting on tabs, a regular expression, a field-by-field check), and
// its results are checked to come from the text: ids built from the fields,
// no empty name or version, an install time that formats back to the text it
// was read from.
#include "InternetDateTime.h"
#include "LinkedVersions.h"
#include "Models.h"
#include "Utf8.h"
#include "Utf8Oracle.h"

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTime>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace ZelkKit;

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

void doctor(const QString &text)
{
    const QList<DoctorFinding> findings = DoctorFinding::parse(text);

    // The model: every non-empty line with at least three tab-separated
    // fields is one finding; its first field loses blanks at both ends, the
    // third runs to the end of the line.
    QList<DoctorFinding> expected;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() < 3)
            continue;
        QString severity = fields.at(0);
        while (!severity.isEmpty() && isSpaceOrTab(severity.front()))
            severity.remove(0, 1);
        while (!severity.isEmpty() && isSpaceOrTab(severity.back()))
            severity.chop(1);
        expected.append(DoctorFinding{severity, fields.at(1), fields.mid(2).join(u'\t')});
    }
    check(findings == expected);

    for (const DoctorFinding &finding : findings) {
        check(finding.id() == finding.severity + u'|' + finding.check + u'|' + finding.detail);
        check(!finding.check.contains(u'\t') && !finding.check.contains(u'\n'));
        check(!finding.detail.contains(u'\n'));
        check(finding.isError() == (finding.severity.toLower() == u"error"));
        check(qHash(finding) == qHash(DoctorFinding(finding)));
    }
}

void linkedVersions(const QString &text)
{
    const QHash<QString, QString> versions = parseLinkedVersions(text);

    // The model: a line is some "@", a name without "@", one "@" and a
    // non-empty rest; a later line for a name wins.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(u"@*([^@]+)@(.+)"_qs),
                                         QRegularExpression::DotMatchesEverythingOption);
    QHash<QString, QString> expected;
    for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = form.match(line);
        if (match.hasMatch())
            expected.insert(match.captured(1), match.captured(2));
    }
    check(versions == expected);

    for (auto it = versions.cbegin(); it != versions.cend(); ++it) {
        check(!it.key().isEmpty() && !it.value().isEmpty());
        check(!it.key().contains(u'@') && !it.key().contains(u'\n') && !it.value().contains(u'\n'));
        check(text.contains(it.key()) && text.contains(it.key() + u'@' + it.value()));
    }
}

int number(QStringView text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

void internetDateTime(const QString &text)
{
    const std::optional<QDateTime> parsed = parseInternetDateTime(text);

    // The model: the accepted syntax, field by field.
    bool accepted = false;
    int offsetSeconds = 0;
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        u"(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(Z|([+-])(\\d{2}):(\\d{2}))"_qs));
    const QRegularExpressionMatch match = form.match(text);
    if (match.hasMatch()) {
        // \d is any decimal digit to PCRE; only ASCII ones count.
        const int year = number(match.capturedView(1));
        const int month = number(match.capturedView(2));
        const int day = number(match.capturedView(3));
        const int hour = number(match.capturedView(4));
        const int minute = number(match.capturedView(5));
        const int second = number(match.capturedView(6));
        bool zoneOk = true;
        if (match.capturedView(7) != u"Z") {
            const int offsetHours = number(match.capturedView(9));
            const int offsetMinutes = number(match.capturedView(10));
            zoneOk = offsetHours >= 0 && offsetHours <= 23 && offsetMinutes >= 0 && offsetMinutes <= 59;
            offsetSeconds = (offsetHours * 60 + offsetMinutes) * 60 * (match.capturedView(8) == u"-" ? -1 : 1);
        }
        accepted = year >= 1 && QDate::isValid(year, month, day) && hour >= 0 && hour <= 23 && minute >= 0
            && minute <= 59 && second >= 0 && second <= 59 && zoneOk;
    }
    check(parsed.has_value() == accepted);
    if (!parsed)
        return;

    check(parsed->isValid() && parsed->timeSpec() == Qt::UTC);
    // Formatted back in the offset it was written with, it is the same text.
    const QDateTime there = parsed->toOffsetFromUtc(offsetSeconds);
    const QDate date = there.date();
    const QTime time = there.time();
    const QString back = QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", date.year(), date.month(), date.day(),
                                           time.hour(), time.minute(), time.second())
        + text.sliced(19);
    check(back == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const QString text = Utf8::text(bytes);
    check(text == Utf8Oracle::text(bytes));
    const QByteArray repaired = Utf8::repaired(bytes.toByteArray());
    check(repaired == Utf8Oracle::repaired(bytes));
    const bool valid = Utf8::isValid(bytes);
    check(valid == (repaired == bytes));
    if (valid)
        check(Utf8::textOfValid(bytes) == text);
    switch (data[0] % 3) {
    case 0: doctor(text); break;
    case 1: linkedVersions(text); break;
    case 2: internetDateTime(text); break;
    }
    return 0;
}
