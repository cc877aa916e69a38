// The breaking of a printed text list into lines and pages: break characters
// hanging past the margin, line ends, long lines, paging, surrogate pairs, and
// widths and page lengths that leave no room.

#include "common/print_lines.h"

#include <QtTest>
#include <cmath>

using namespace tz;
using namespace Qt::StringLiterals;

class TestPrintLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QString>("expected"); // pages joined by "#", lines by "|"
        QTest::newRow("ideographic comma hangs") << u"あい、う"_s << 4.0 << 9 << u"あい、|う"_s;
        QTest::newRow("comma hangs") << u"abcd,e"_s << 4.0 << 9 << u"abcd,|e"_s;
        QTest::newRow("full stop hangs") << u"abcd.e"_s << 4.0 << 9 << u"abcd.|e"_s;
        QTest::newRow("several hang") << u"abcd、。，．　 x"_s << 4.0 << 9 << u"abcd、。，．　 |x"_s;
        QTest::newRow("semicolon breaks") << u"abcd;e"_s << 4.0 << 9 << u"abcd|;e"_s;
        QTest::newRow("CR LF, CR, LF") << u"a\r\nb\rc\nd"_s << 9.0 << 9 << u"a|b|c|d"_s;
        QTest::newRow("blank line kept") << u"a\r\n\r\nb"_s << 9.0 << 9 << u"a||b"_s;
        QTest::newRow("final line end") << u"a\r\n"_s << 9.0 << 9 << u"a"_s;
        QTest::newRow("empty text") << u""_s << 9.0 << 9 << u""_s;
        QTest::newRow("line end resets the width") << u"abc\r\nabcd"_s << 4.0 << 9 << u"abc|abcd"_s;
        QTest::newRow("long line") << u"abcdefghij"_s << 3.0 << 9 << u"abc|def|ghi|j"_s;
        QTest::newRow("pages") << u"1\r2\r3\r4\r5\r6\r7"_s << 9.0 << 3 << u"1|2|3#4|5|6#7"_s;
        QTest::newRow("page exactly full") << u"1\r2\r3\r4\r5\r6\r\n"_s << 9.0 << 3 << u"1|2|3#4|5|6"_s;
        QTest::newRow("surrogate pair whole") << u"ab\U0001D49Cc"_s << 2.0 << 9 << u"ab|\U0001D49C|c"_s;
        QTest::newRow("zero width") << u"ab、c"_s << 0.0 << 9 << u"a|b、|c"_s;
        QTest::newRow("negative width") << u"abc"_s << -5.0 << 9 << u"a|b|c"_s;
        QTest::newRow("width not a number") << u"abc"_s << std::nan("") << 9 << u"abc"_s;
        QTest::newRow("zero lines per page") << u"a\rb"_s << 9.0 << 0 << u"a#b"_s;
    }
    void pages()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(int, perPage);
        QFETCH(QString, expected);
        // One unit for an ASCII character, two for any other.
        const auto cells = [](QStringView c) { return c.size() == 1 && c.at(0).unicode() < 0x80 ? 1.0 : 2.0; };
        QStringList pages;
        for (const QStringList &page : PrintPages(text, width, perPage, cells))
            pages.append(page.join(u'|'));
        QCOMPARE(pages.join(u'#'), expected);
    }

    void pageLength()
    {
        QCOMPARE(PrintLinesPerPage(257.0, 10.0), 25);
        QCOMPARE(PrintLinesPerPage(5.0, 10.0), 1);
        QCOMPARE(PrintLinesPerPage(250.0, 0.0), 1);
        QCOMPARE(PrintLinesPerPage(std::nan(""), 10.0), 1);
        QCOMPARE(PrintLinesPerPage(1e300, 1e-300), std::numeric_limits<int>::max());
        QCOMPARE(PrintHeader(u"Search Result"_s, 12), u"Search Result   (12)"_s);
    }
};

QTEST_APPLESS_MAIN(TestPrintLines)
#include "tst_print_lines.moc"
