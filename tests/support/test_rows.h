#pragma once
// Data tables of texts for QtTest: every column a QString, each row named by
// its texts but the last (the inputs of the case).

#include <QTest>
#include <initializer_list>

namespace rows {

using Row = std::initializer_list<const char *>;

// A row of the texts of `row`, after `first` when given, named as above; line
// breaks in its name shown as "\r" and "\n".
inline void newRow(Row row, const char *first = nullptr)
{
    QStringList texts;
    if (first)
        texts.append(QString::fromUtf8(first));
    for (const char *t : row)
        texts.append(QString::fromUtf8(t));
    QString name = texts.size() == 1 ? texts[0] : texts.first(texts.size() - 1).join(QStringLiteral(" | "));
    name.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    QTestData &data = QTest::newRow((name.isEmpty() ? QStringLiteral("(empty)") : name).toUtf8().constData());
    for (const QString &t : texts)
        data << t;
}

inline void table(Row columns, std::initializer_list<Row> table)
{
    for (const char *name : columns)
        QTest::addColumn<QString>(name);
    for (const Row &row : table)
        newRow(row);
}

// Rows that share their first text (a routine's name, say): each row of the
// table holds the texts after it.
inline void group(const char *first, std::initializer_list<Row> table)
{
    for (const Row &row : table)
        newRow(row, first);
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
