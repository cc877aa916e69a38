// The breaking of a printed text list into lines and pages: break characters
// hanging past the margin, line ends, long lines, paging, characters outside
// the basic plane, and widths and page lengths that leave no room.

#include "common/print_lines.h"

#include <QtTest>
#include <cmath>

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

// One unit for an ASCII character, two for any other (a full-width one).
double cells(QStringView c)
{
    return c.size() == 1 && c.at(0).unicode() < 0x80 ? 1.0 : 2.0;
}

// Pages joined by "#", lines by "|".
QString flat(const QList<QStringList> &pages)
{
    QStringList out;
    for (const QStringList &page : pages)
        out.append(page.join(u'|'));
    return out.join(u'#');
}

} // namespace

class TestPrintLines : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QString>("expected");
        // Break characters hang at the end of the line instead of starting one.
        QTest::newRow("ideographic comma") << u"あい、う"_s << 4.0 << 10 << u"あい、|う"_s;
        QTest::newRow("comma") << u"abcd,e"_s << 4.0 << 10 << u"abcd,|e"_s;
        QTest::newRow("full stop") << u"abcd.e"_s << 4.0 << 10 << u"abcd.|e"_s;
        QTest::newRow("blank") << u"abcd e"_s << 4.0 << 10 << u"abcd |e"_s;
        QTest::newRow("several hang") << u"abcd、。，．　x"_s << 4.0 << 10 << u"abcd、。，．　|x"_s;
        QTest::newRow("other punctuation breaks") << u"abcd;e"_s << 4.0 << 10 << u"abcd|;e"_s;
        QTest::newRow("exactly full") << u"abcd"_s << 4.0 << 10 << u"abcd"_s;
        QTest::newRow("full-width over the margin") << u"abcあ"_s << 4.0 << 10 << u"abc|あ"_s;
        // Line ends: CR LF, a lone CR and a lone LF each end one line.
        QTest::newRow("CR LF") << u"a\r\nb"_s << 9.0 << 10 << u"a|b"_s;
        QTest::newRow("CR") << u"a\rb"_s << 9.0 << 10 << u"a|b"_s;
        QTest::newRow("LF") << u"a\nb"_s << 9.0 << 10 << u"a|b"_s;
        QTest::newRow("blank line kept") << u"a\r\n\r\nb"_s << 9.0 << 10 << u"a||b"_s;
        QTest::newRow("LF CR is two ends") << u"a\n\rb"_s << 9.0 << 10 << u"a||b"_s;
        QTest::newRow("final line end") << u"a\r\n"_s << 9.0 << 10 << u"a"_s;
        QTest::newRow("only a line end") << u"\r\n"_s << 9.0 << 10 << u""_s;
        QTest::newRow("empty text") << u""_s << 9.0 << 10 << u""_s;
        QTest::newRow("line end resets the width") << u"abc\r\nabcd"_s << 4.0 << 10 << u"abc|abcd"_s;
        // Long lines without line ends, broken at any character.
        QTest::newRow("long line") << u"abcdefghij"_s << 3.0 << 10 << u"abc|def|ghi|j"_s;
        QTest::newRow("long Japanese line") << u"日本語の文章、続く"_s << 6.0 << 10 << u"日本語|の文章、|続く"_s;
        // Paging.
        QTest::newRow("pages") << u"1\r2\r3\r4\r5\r6\r7"_s << 9.0 << 3 << u"1|2|3#4|5|6#7"_s;
        QTest::newRow("page exactly full") << u"1\r2\r3\r4\r5\r6\r\n"_s << 9.0 << 3 << u"1|2|3#4|5|6"_s;
        QTest::newRow("wrapped lines page too") << u"abcdefg"_s << 2.0 << 2 << u"ab|cd#ef|g"_s;
        // Outside the basic plane: the pair stays whole.
        QTest::newRow("surrogate pair") << u"ab\U0001D49Cc"_s << 2.0 << 10 << u"ab|\U0001D49C|c"_s;
        QTest::newRow("lone surrogate") << u"ab\xD835"_s << 2.0 << 10 << u"ab|\xD835"_s;
        // No room: every line still takes a character, every page a line.
        QTest::newRow("zero width") << u"ab、c"_s << 0.0 << 10 << u"a|b、|c"_s;
        QTest::newRow("negative width") << u"abc"_s << -5.0 << 10 << u"a|b|c"_s;
        QTest::newRow("character wider than the line") << u"あい"_s << 1.0 << 10 << u"あ|い"_s;
        QTest::newRow("zero lines per page") << u"a\rb"_s << 9.0 << 0 << u"a#b"_s;
        QTest::newRow("negative lines per page") << u"a\rb"_s << 9.0 << -3 << u"a#b"_s;
        QTest::newRow("width not a number") << u"abc"_s << std::nan("") << 10 << u"abc"_s;
    }
    void pages()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(int, perPage);
        QFETCH(QString, expected);
        QCOMPARE(flat(PrintPages(text, width, perPage, cells)), expected);
    }

    void oddMeasures()
    {
        // A measure that is no width takes no room; no measure at all neither.
        const auto broken = [](QStringView c) { return c == u"b" ? std::nan("") : -1.0; };
        QCOMPARE(flat(PrintPages(u"abc"_s, 1.0, 10, broken)), u"abc"_s);
        QCOMPARE(flat(PrintPages(u"abc"_s, 1.0, 10, PrintCharWidth())), u"abc"_s);
        const auto huge = [](QStringView) { return HUGE_VAL; };
        QCOMPARE(flat(PrintPages(u"ab"_s, 1.0, 10, huge)), u"ab"_s);
    }

    void linesPerPage()
    {
        QCOMPARE(PrintLinesPerPage(257.0, 10.0), 25);
        QCOMPARE(PrintLinesPerPage(250.0, 10.0), 25);
        QCOMPARE(PrintLinesPerPage(5.0, 10.0), 1);
        QCOMPARE(PrintLinesPerPage(250.0, 0.0), 1);
        QCOMPARE(PrintLinesPerPage(-1.0, 10.0), 1);
        QCOMPARE(PrintLinesPerPage(std::nan(""), 10.0), 1);
        QCOMPARE(PrintLinesPerPage(1e300, 1e-300), std::numeric_limits<int>::max());
    }

    void header() { QCOMPARE(PrintHeader(u"Search Result"_s, 12), u"Search Result   (12)"_s); }
};

QTEST_APPLESS_MAIN(TestPrintLines)
#include "tst_print_lines.moc"
