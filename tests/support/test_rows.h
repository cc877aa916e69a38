#pragma once
// Data tables of texts for QtTest: every column a QString, each row named by
// its texts but the last (the inputs of the case).

#include <QTest>
#include <initializer_list>

namespace rows {

using Row = std::initializer_list<const char *>;

inline void add(std::initializer_list<Row> table)
{
    for (const Row &row : table) {
        QStringList inputs;
        for (auto t = row.begin(); t + 1 < row.end(); ++t)
            inputs.append(QString::fromUtf8(*t));
        QString name = row.size() == 1 ? QString::fromUtf8(*row.begin()) : inputs.join(QStringLiteral(" | "));
        name.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        QTestData &data = QTest::newRow((name.isEmpty() ? QStringLiteral("(empty)") : name).toUtf8().constData());
        for (const char *t : row)
            data << QString::fromUtf8(t);
    }
}

inline void table(Row columns, std::initializer_list<Row> table)
{
    for (const char *name : columns)
        QTest::addColumn<QString>(name);
    add(table);
}

// Rows that share their first text (a routine's name, say): each row of the
// table holds the texts after it.
inline void group(const char *first, std::initializer_list<Row> table)
{
    for (const Row &row : table) {
        QStringList texts{QString::fromUtf8(first)};
        for (const char *t : row)
            texts.append(QString::fromUtf8(t));
        QString name = texts.first(texts.size() - 1).join(QStringLiteral(" | "));
        name.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
        QTestData &data = QTest::newRow(name.toUtf8().constData());
        for (const QString &t : texts)
            data << t;
    }
}

// The current row's text in a column, and that text as a number.
inline QString text(const char *column)
{
    return *static_cast<QString *>(QTest::qData(column, qMetaTypeId<QString>()));
}
inline int number(const char *column)
{
    return text(column).toInt();
}

} // namespace rows
