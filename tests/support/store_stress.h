#pragma once
// What the saving helper (store_stress.cpp) writes, so that a test can tell
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

inline Record stressRecord(int n, quint32 version)
{
    Record r;
    r.Style = static_cast<qint16>(1 + n % 6);
    r.Memo = QStringLiteral("record %1 version %2").arg(n).arg(version);
    // Every part of the record depends on the version, so that a record
    // written partly over another reads as neither.
    const QString v = QString::number(version);
    r.Author = QString::fromUtf8("著者 %1, ").arg(v).repeated(8);
    r.Title = QStringLiteral("Title %1 ").arg(v).repeated(14);
    r.JPcode = static_cast<qint16>(version % 200);
    r.Volume = v.left(20);
    r.Page1 = QString::number(n);
    r.Page2 = QString::number(version % 1000);
    r.Year = static_cast<qint16>(1900 + version % 100);
    r.Editor = QStringLiteral("Editor %1 ").arg(v).repeated(6);
    r.Book = QStringLiteral("Book %1 ").arg(v).repeated(8);
    r.Keyword = QStringLiteral("key %1 ").arg(v).repeated(20);
    r.RegDate = 45000 + version % 1000;
    return r;
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
    const QRegularExpressionMatch m =
        QRegularExpression(QRegularExpression::escape(prefix) + QStringLiteral("(\\d+)")).match(text);
    bool ok = false;
    const quint32 v = m.hasMatch() ? m.captured(1).toUInt(&ok) : 0;
    return ok ? std::optional<quint32>(v) : std::nullopt;
}

} // namespace tz::testing
