// Rendering hit lists as reference lists: whole result texts, the symbols,
// the markup, the sort orders, the totals and the overflow text; what scripts
// make of the text between their codes (the escapings, the declared
// encodings) and the rule against doubled "." and ",". (The name line markers
// that choose the escaping are read in tst_form_file; codes going out
// unescaped around escaped text are checked on whole lists, by real parsers,
// in cli/tst_cli_formats.)
#include "core/format/render.h"
#include "core/format/script_output.h"
#include "core/store/record.h"
#include "support/test_rows.h"

#include <QMap>

using namespace tz;

namespace {

const QString kOrder = QStringLiteral("[N]. [A] ([Y]) [T]. |[J]| [V]: [PS]-[PE].[/]");
const Script kPlain{"plain", {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, "\r\n"};
const Script kHtml{"html",   {},      "<html>", "</html>", "<u>",  "</u>",    "<sup>",
                   "</sup>", "<sub>", "</sub>", "<b>",     "</b>", "<br>\r\n"};

OutputForm formWith(const QString &order, int sort = 7)
{
    return {{}, {}, qint16(sort), {1, 1, 1, 1, 2}, {10, 10, 1, 1, 2}, {"", order, order, order, order}};
}

Record journal(const QString &author, const QString &title, int year, int jpcode = 3)
{
    // 45000 is 2023/03/15.
    return {1, {}, author, title, qint16(jpcode), "12", "100", "105", qint16(year), {}, {}, {}, 45000};
}

// A bank in memory: records by number (1..n alike at the start), the JP code
// names, link lists, and the numbers whose link list was read.
struct Bank
{
    QMap<int, Record> records;
    JPcodeTable jp = DefaultJPcodeTable();
    QMap<int, QString> links;
    QList<int> linkReads;

    explicit Bank(int n = 0)
    {
        jp.JPname[3] = QStringLiteral(" J. Biol. ");
        for (int k = 1; k <= n; ++k)
            records[k] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990);
    }

    QString render(const OutputForm &form, const Script &script, QList<qint16> hits, qsizetype capacity = 1 << 24,
                   QList<qint16> *sorted = nullptr)
    {
        const auto readLinks = [this](int k) {
            linkReads.append(k);
            return links.value(k);
        };
        hits.prepend(0);
        const RenderContext ctx{form,      script, "sample", jp,       [this](int k) { return records.value(k); },
                                readLinks, 0,      {},       capacity, {}};
        const QString text = Step3(hits, int(hits.size() - 1), ctx);
        if (sorted)
            *sorted = hits.mid(1);
        return text;
    }
};

} // namespace

class TestRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeLists()
    {
        Bank bank;
        bank.records[5] = journal(QStringLiteral("J.Smith, A.Jones"), QStringLiteral("Gene *maps"), 1990);
        bank.records[9] = journal(QStringLiteral("K.Lee"), QStringLiteral("A |bar| title"), 0, 0);
        bank.records[9].Volume = QStringLiteral("  7 ");
        QCOMPARE(bank.render(formWith(kOrder), kPlain, {5, 9}),
                 "1. Smith, J. and Jones, A. (1990) Gene *maps. J. Biol. 12: 100-105.\r\n"
                 "2. Lee, K. (0) A |bar| title.  7: 100-105.\r\n"
                 "( total  2 hits )");
        QCOMPARE(bank.render(formWith(kOrder), kHtml, {5, 9}),
                 "<html>1. Smith, J. and Jones, A. (1990) Gene *maps. <b>J. Biol.</b> 12: 100-105.<br>\r\n"
                 "2. Lee, K. (0) A |bar| title. <b></b> 7: 100-105.<br>\r\n"
                 "( total  2 hits )</html>");
        QVERIFY(bank.linkReads.isEmpty()); // no "[L]": no link list is read
        // Each mark is translated in the word order, before the record text is put in.
        QCOMPARE(bank.render(formWith("*[J]* ^2^ @b@ |[V]|[/]x*"), kHtml, {5}),
                 "<html><u>J. Biol.</u> <sup>2</sup> <sub>b</sub> <b>12</b><br>\r\nx<u></u>( total  1 hits )</html>");
    }

    void symbols_data()
    {
        // clang-format off
        rows::table({"order", "title", "expected"}, {
            {"[R];[FR];[F];[N];<[M]>;[L];[D]", "T", " 7;sample - 7;sample;1;<a memo>;1,9;2023/03/15"},
            {"[T];[J];[V];[PS]-[PE] [Y];[B];[K]", "Gene", "Gene;J. Biol.;12;100-105 1990;Big book;genes, maps"},
            {"[A];[E];[Q] [n]", "T", "Smith, J.;A. B. Cole and D. Fox;[Q] [n]"},
            // The title may name the authors and the year, not the memo; marks
            // in record text stay.
            {"[T]", "On [A], [Y] [M]", "On Smith, J., 1990 [M]"}, {"*[T]*", "a*b^c@d|e", "a*b^c@d|e"},
        });
        // clang-format on
    }
    void symbols()
    {
        Bank bank;
        const Record r{1,    "  a memo ",       "J.Smith",  rows::text("title"), 3,    "12", "100", "105",
                       1990, "A.B.Cole, D.Fox", "Big book", "genes, maps",       45000};
        bank.records[7] = r;
        bank.links[7] = QStringLiteral(" 1,9 ");
        QCOMPARE(bank.render(formWith(rows::text("order")), kPlain, {7}), rows::text("expected") + "( total  1 hits )");
    }

    void markupPair_data()
    {
        // clang-format off
        rows::table({"text", "open", "close", "expected"}, {
            {"a *b* c", "<u>", "</u>", "a <u>b</u> c"}, {"abc", "<u>", "</u>", "abc"},
            {"*a* *b", "<u>", "</u>", "<u>a</u> <u>b</u>"}, // odd mark: closed at the very end
            {"ab*", "<u>", "</u>", "ab<u></u>"}, {"*a*b", "", "", "ab"},
            // The search goes on one past where an empty code was put: the
            // mark right after it is passed over.
            {"**a", "", "", "*a"},
            // Codes are never searched for marks: no endless replacing.
            {"*a*", "*", "*", "*a*"}, {"*a* b", "**", "**", "**a** b"}, {"*a*", "x*", "y", "x*ay"},
        });
        // clang-format on
    }
    void markupPair()
    {
        QCOMPARE(MarkupPair(rows::text("text"), "*", rows::text("open"), rows::text("close")), rows::text("expected"));
    }

    // The numbering follows the sorted list. Past the capacity the whole result
    // is the overflow text, whether an entry or the totals line goes over it.
    void totalsAndOverflow()
    {
        Bank bank(12);
        QCOMPARE(bank.render(formWith("[N][R] [N5];", 6), kPlain, {1, 2, 3}), "1 3 5;2 2 6;3 1 7;( total  3 hits )");
        QCOMPARE(bank.render(formWith("[R]"), kHtml, {}), "<html>( total  0 hits )</html>");
        const QList<qint16> twelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        QVERIFY(bank.render(formWith("[R]"), kHtml, twelve).endsWith("11 12( total  12 hits )</html>"));

        const QString whole = bank.render(formWith(kOrder), kHtml, {1, 2});
        QCOMPARE(bank.render(formWith(kOrder), kHtml, {1, 2}, whole.size()), whole);
        const QString overflowed = "( total  2 hits.)<br>\r\n<br>\r\nThe text-viewing is over flowed.<br>\r\n"
                                   "so please, choose more simple form to view,<br>\r\n"
                                   "or more apporpriate key to search. </html>";
        QCOMPARE(bank.render(formWith(kOrder), kHtml, {1, 2}, whole.size() - 1), overflowed);
        QCOMPARE(bank.render(formWith(kOrder), kHtml, {1, 2}, 30), overflowed);
    }

    // Records: 1 J.Smith 1995, 2 A.Jones 1980, 3 B.Brown 2001, 4 A.Jones 1980.
    // Sorts: 1 author ABC, 2 none (ascending numbers), 3 year 123, 4 year 321,
    // 5 record 123, 6 record 321, 7 no sort. The list is sorted in place.
    void sorts_data()
    {
        // clang-format off
        rows::table({"sort", "hits", "sorted"}, {
            {"1", "1,2,3", "3,2,1"}, {"1", "4,1,2", "4,2,1"}, {"2", "3,1,2", "1,2,3"}, {"3", "1,2,3", "2,1,3"},
            {"4", "1,2,3", "3,1,2"}, {"5", "3,1,2,1", "1,1,2,3"}, {"6", "1,3,2", "3,2,1"}, {"7", "3,1,2", "3,1,2"},
        });
        // clang-format on
    }
    void sorts()
    {
        Bank bank;
        bank.records[1] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1995);
        bank.records[2] = bank.records[4] = journal(QStringLiteral("A.Jones"), QStringLiteral("T"), 1980);
        bank.records[3] = journal(QStringLiteral("B.Brown"), QStringLiteral("T"), 2001);
        const auto numbers = [](const char *column) {
            QList<qint16> list;
            for (const QString &n : rows::text(column).split(u','))
                list.append(qint16(n.toInt()));
            return list;
        };
        QList<qint16> sorted;
        const QString text =
            bank.render(formWith("[R],", rows::number("sort")), kPlain, numbers("hits"), 1 << 24, &sorted);
        QCOMPARE(QString(text).remove(u' ').section(u'(', 0, 0), rows::text("sorted") + u',');
        QCOMPARE(sorted, numbers("sorted"));
    }

    // Styles 5 and 6 take the word order of style 4; style 0 writes nothing.
    void styles()
    {
        Bank bank(1);
        OutputForm form = formWith({});
        form.order = {"", "J[R]", "B[R]", "M[R]", "O[R]"};
        QStringList entries;
        for (int style = 0; style <= 6; ++style) {
            bank.records[1].Style = qint16(style);
            entries.append(bank.render(form, kPlain, {1}).section(u'(', 0, 0));
        }
        QCOMPARE(entries, QStringList({"", "J 1", "B 1", "M 1", "O 1", "O 1", "O 1"}));
    }

    void escapeText_data()
    {
        // clang-format off
        rows::table({"escape", "text", "expected"}, {
            {"none", "a&<b> \\{x}%", "a&<b> \\{x}%"},
            {"html", "R&D <Lett> \"q\" it's", "R&amp;D &lt;Lett&gt; &quot;q&quot; it&#39;s"},
            // Code page 932 holds Japanese; what it cannot hold becomes a reference.
            {"html", "ソ表能 é 😀", "ソ表能 &#233; &#128512;"},
            {"rtf", "\\alpha {set}", "\\\\alpha \\{set\\}"},
            // Every character outside ASCII as \uN? with N signed: no raw byte
            // (ソ is 83 5C in code page 932) can end a group or start a command.
            {"rtf", "ソ表 é", "\\u12477?\\u-30616? \\u233?"},
            {"rtf", "a\tb\r\nc\nd", "a\\tab b\\line c\\line d"},
            {"latex", "# $ % & _ { }", "\\# \\$ \\% \\& \\_ \\{ \\}"},
            {"latex", "~^\\<>|", "\\textasciitilde{}\\textasciicircum{}\\textbackslash{}\\textless{}\\textgreater{}\\textbar{}"},
        });
        // clang-format on
    }
    void escapeText()
    {
        const auto escape = TextEscape(QStringList({"none", "html", "rtf", "latex"}).indexOf(rows::text("escape")));
        QCOMPARE(EscapeText(rows::text("text"), escape), rows::text("expected"));
    }

    void doubledPunctuation_data()
    {
        // clang-format off
        rows::table({"order", "author", "title", "expected"}, {
            {"[A]. [T]", "G.A.Akerlof", "Lemons.", "Akerlof, G. A. Lemons."},
            {"[A]. [Y]", "A.Ab, B.Bc, C.Cd et_al", "T", "Ab, A., Bc, B., Cd, C. et al. 0"},
            {"[T], [Y]", "X", "Apples, pears,", "Apples, pears, 0"},
            // Across codes, and past a value that is empty.
            {"*[J]*. [Y]", "X", "T", "<u>J. Biol.</u> 0"},
            {"[J].[V]. [Y]", "X", "T", "J. Biol. 0"},
            // Only a literal of the word order right after a value is left out.
            {"[T]", "X", "Etc..", "Etc.."}, {"[Y].. [T].", "X", "Why?", "0.. Why?."},
            {"[T] . [Y]", "X", "T.", "T. . 0"}, {"[T],", "X", "A.", "A.,"},
        });
        // clang-format on
    }
    void doubledPunctuation()
    {
        Bank bank;
        bank.records[1] = journal(rows::text("author"), rows::text("title"), 0);
        bank.records[1].Volume = bank.records[1].Page1 = bank.records[1].Page2 = QString();
        const Script s{"u", {}, {}, {}, "<u>", "</u>", {}, {}, {}, {}, {}, {}, {}};
        QCOMPARE(bank.render(formWith(rows::text("order")), s, {1}).section("( total", 0, 0), rows::text("expected"));
    }

    void declaredEncoding_data()
    {
        // clang-format off
        rows::table({"header", "declared"}, {
            {"<meta charset=\"Shift_JIS\">", "cp932"}, {"<meta charset=windows-31j>", "cp932"},
            {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "utf8"},
            {"<?xml version=\"1.0\" encoding='UTF-8'?>", "utf8"}, {"{\\rtf1\\ansi\\ansicpg932\\deff0", "cp932"},
            {"<meta charset=\"EUC-JP\">", "other"}, {"\\begin{flushleft}", "none"}, {"", "none"},
        });
        // clang-format on
    }
    void declaredEncoding()
    {
        const char *names[] = {"none", "cp932", "utf8", "other"};
        QCOMPARE(names[int(DeclaredEncodingOf(rows::text("header")))], rows::text("declared"));
    }
};

QTEST_APPLESS_MAIN(TestRender)
#include "tst_render.moc"
