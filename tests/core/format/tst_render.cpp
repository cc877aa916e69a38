// Rendering hit lists as reference lists: whole result texts, the symbols,
// the markup, the sort orders, the totals and the overflow text.
#include "core/format/render.h"
#include "core/search/search_engine.h"
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

    RenderContext context(const OutputForm &form, const Script &script, qsizetype capacity = 1 << 24)
    {
        const auto readLinks = [this](int k) {
            linkReads.append(k);
            return links.value(k);
        };
        return {form, script, "sample", jp, [this](int k) { return records.value(k); }, readLinks, 0, {}, capacity, {}};
    }

    QString render(const OutputForm &form, const Script &script, QList<qint16> hits, qsizetype capacity = 1 << 24,
                   QList<qint16> *sorted = nullptr)
    {
        hits.prepend(0);
        const QString text = Step3(hits, int(hits.size() - 1), context(form, script, capacity));
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
            {"a *b* c", "<u>", "</u>", "a <u>b</u> c"}, {"*a* *b*", "<u>", "</u>", "<u>a</u> <u>b</u>"},
            {"*a* *b", "<u>", "</u>", "<u>a</u> <u>b</u>"}, // odd mark: closed at the very end
            {"ab*", "<u>", "</u>", "ab<u></u>"}, {"abc", "<u>", "</u>", "abc"}, {"*a*b", "", "", "ab"},
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

    // Sort "none" after a record-number search lists the records in key order,
    // also after an earlier rendering sorted the list.
    void noneRebuildsRecordSearches()
    {
        Bank bank(9);
        SearchEngine engine;
        engine.SearchItem = KindRecord;
        engine.Step1GetNum(QStringLiteral("9,2,5"), NumberContext{9, nullptr, 2025});
        engine.Step2HitReco();
        auto render = [&](int sort) {
            const OutputForm form = formWith(QStringLiteral("[R];"), sort);
            RenderContext ctx = bank.context(form, kPlain);
            ctx.SearchItem = engine.SearchItem;
            ctx.rebuildRecordHits = [&] { engine.RebuildRecordHits(); };
            return Step3(engine.HitList, engine.HitCount, ctx);
        };
        QCOMPARE(render(5), QStringLiteral(" 2; 5; 9;( total  3 hits )"));
        QCOMPARE(render(2), QStringLiteral(" 9; 2; 5;( total  3 hits )"));
        QCOMPARE(engine.hits(), (QList<qint16>{9, 2, 5}));
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
};

QTEST_APPLESS_MAIN(TestRender)
#include "tst_render.moc"
