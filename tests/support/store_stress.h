#pragma once
// What the saving helper (stress.cpp) writes, so that a test can tell
// whether a file it left behind is one of the versions it wrote. Record n,
// URL/DOI entry n and the JP code table are made from a version number; the
// version is stored in the data itself.

#include "core/store/jpcode.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDate>
#include <QRegularExpression>
#include <optional>

namespace tz::testing {

inline constexpr int kStressRecords = 12;

// Every part of the record depends on the version, so that a record written
// partly over another reads as neither.
inline Record stressRecord(int n, quint32 version)
{
    const QString v = QString::number(version);
    // clang-format off
    return {qint16(1 + n % 6), QStringLiteral("record %1 version %2").arg(n).arg(v),
            QString::fromUtf8("著者 %1, ").arg(v).repeated(8), QStringLiteral("Title %1 ").arg(v).repeated(14),
            qint16(version % 200), v.left(20), QString::number(n), QString::number(version % 1000),
            qint16(1900 + version % 100), QStringLiteral("Editor %1 ").arg(v).repeated(6),
            QStringLiteral("Book %1 ").arg(v).repeated(8), QStringLiteral("key %1 ").arg(v).repeated(20),
            45000.0 + version % 1000};
    // clang-format on
}

inline PdfEntry stressEntry(int n, quint32 version)
{
    return {QStringLiteral("https://example.org/%1/%2/").arg(n).arg(version).repeated(8),
            QStringLiteral("10.1000/%1.%2 ").arg(n).arg(version).repeated(10)};
}

inline JPcodeTable stressTable(quint32 version)
{
    JPcodeTable t = DefaultJPcodeTable();
    t.JPname[1] = QStringLiteral("version %1").arg(version);
    for (int k = 2; k <= t.JPendE; ++k)
        t.JPname[k] = QString::fromUtf8("雑誌 %1 の %2").arg(k).arg(version);
    return t;
}

// The version a stored text names after `prefix`, or nothing.
inline std::optional<quint32> stressVersion(const QString &text, const QString &prefix)
{
    bool ok = false;
    const QRegularExpression version(QRegularExpression::escape(prefix) + QStringLiteral("(\\d+)"));
    const quint32 v = version.match(text).captured(1).toUInt(&ok);
    return ok ? std::optional(v) : std::nullopt;
}

} // namespace tz::testing
