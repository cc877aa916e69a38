// Rendering hit lists as reference lists: whole result texts, the symbols,
// the markup, the sort orders, the totals and the overflow text.
#include "format/render.h"
#include "search/search_engine.h"
#include "store/link_table.h"
#include "store/record.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QString kOrder = QStringLiteral("[N]. [A] ([Y]) [T]. |[J]| [V]: [PS]-[PE].[/]");
const QString kCrLf = QStringLiteral("\r\n");

Script plainScript()
{
    Script s;
    s.name = QStringLiteral("plain");
    s.lineBreak = kCrLf;
    return s;
}

Script htmlScript()
{
    Script s;
    s.name = QStringLiteral("html");
    s.header = QStringLiteral("<html>");
    s.trailer = QStringLiteral("</html>");
    s.underlineOn = QStringLiteral("<u>");
    s.underlineOff = QStringLiteral("</u>");
    s.superOn = QStringLiteral("<sup>");
    s.superOff = QStringLiteral("</sup>");
    s.subOn = QStringLiteral("<sub>");
    s.subOff = QStringLiteral("</sub>");
    s.boldOn = QStringLiteral("<b>");
    s.boldOff = QStringLiteral("</b>");
    s.lineBreak = QStringLiteral("<br>\r\n");
    return s;
}

OutputForm formWith(const QString &order, int sort = 7)
{
    OutputForm f;
    f.name = QStringLiteral("test");
    f.sort = static_cast<qint16>(sort);
    f.author = NameRule{1, 1, 1, 1, 2};
    f.editor = NameRule{10, 10, 1, 1, 2};
    for (int style = 1; style <= 4; ++style)
        f.order[static_cast<size_t>(style)] = order;
    return f;
}

Record journal(const QString &author, const QString &title, int year, int jpcode)
{
    Record r;
    r.Author = author;
    r.Title = title;
    r.Year = static_cast<qint16>(year);
    r.JPcode = static_cast<qint16>(jpcode);
    r.Volume = QStringLiteral("12");
    r.Page1 = QStringLiteral("100");
    r.Page2 = QStringLiteral("105");
    r.RegDate = 45000; // 2023/03/15
    return r;
}

// A bank in memory: records by number, the JP code names, link lists.
struct Bank
{
    QMap<int, Record> records;
    JPcodeTable jp = DefaultJPcodeTable();
    QMap<int, QString> links;
    QList<int> linkReads;

    Bank() { jp.JPname[3] = QStringLiteral(" J. Biol. "); }

    QString render(const OutputForm &form, const Script &script, QList<qint16> &hits, qsizetype capacity = 1 << 24,
                   int kind = KindFreeKeyword, std::function<void()> rebuild = {})
    {
        RenderContext ctx{form,
                          script,
                          QStringLiteral("sample"),
                          jp,
                          [this](int n) { return records.value(n); },
                          [this](int n) {
                              linkReads.append(n);
                              return links.value(n);
                          },
                          kind,
                          std::move(rebuild),
                          capacity};
        QList<qint16> list{0};
        list += hits;
        const QString text = Step3(list, static_cast<int>(hits.size()), ctx);
        hits = list.mid(1);
        return text;
    }
    QString render(const OutputForm &form, const Script &script, std::initializer_list<qint16> hits)
    {
        QList<qint16> list(hits);
        return render(form, script, list);
    }
};

} // namespace

class TestRender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeLists_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain text") << plainScript()
                                    << "1. Smith, J. and Jones, A. (1990) Gene *maps. J. Biol. 12: 100-105.\r\n"
                                       "2. Lee, K. (0) A |bar| title.  7: 100-105.\r\n"
                                       "( total  2 hits )";
        QTest::newRow("html")
            << htmlScript()
            << "<html>1. Smith, J. and Jones, A. (1990) Gene *maps. <b>J. Biol.</b> 12: 100-105.<br>\r\n"
               "2. Lee, K. (0) A |bar| title. <b></b> 7: 100-105.<br>\r\n"
               "( total  2 hits )</html>";
    }
    void wholeLists()
    {
        QFETCH(Script, script);
        QFETCH(QString, expected);
        Bank bank;
        bank.records[5] = journal(QStringLiteral("J.Smith, A.Jones"), QStringLiteral("Gene *maps"), 1990, 3);
        bank.records[9] = journal(QStringLiteral("K.Lee"), QStringLiteral("A |bar| title"), 0, 0);
        bank.records[9].Volume = QStringLiteral("  7 ");
        QCOMPARE(bank.render(formWith(kOrder), script, {5, 9}), expected);
    }

    void symbols_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        const QString title = QStringLiteral("Gene maps");
        QTest::newRow("record number") << "[R]" << title << " 7";
        QTest::newRow("bank and record") << "[FR]" << title << "sample - 7";
        QTest::newRow("bank") << "[F]" << title << "sample";
        QTest::newRow("running number") << "[N]" << title << "1";
        QTest::newRow("numbering from x") << "[N10]" << title << "10";
        QTest::newRow("memo trimmed") << "<[M]>" << title << "<a memo>";
        QTest::newRow("title, JP code, volume") << "[T];[J];[V]" << title << "Gene maps;J. Biol.;12";
        QTest::newRow("pages and year") << "[PS]-[PE] [Y]" << title << "100-105 1990";
        QTest::newRow("book and keywords") << "[B]/[K]" << title << "Big book/genes, maps";
        QTest::newRow("link list") << "[L]" << title << "1,9";
        QTest::newRow("registration date") << "[D]" << title << "2023/03/15";
        QTest::newRow("authors") << "[A]" << title << "Smith, J.";
        QTest::newRow("editors") << "[E]" << title << "A. B. Cole and D. Fox";
        QTest::newRow("unknown symbol stays") << "[Q] [n]" << title << "[Q] [n]";
        QTest::newRow("authors named in the title") << "[T]"
                                                    << "On [A]"
                                                    << "On Smith, J.";
        QTest::newRow("year named in the title") << "[T]"
                                                 << "[Y] review"
                                                 << "1990 review";
        QTest::newRow("memo named in the title stays") << "[T]"
                                                       << "[M] x"
                                                       << "[M] x";
        QTest::newRow("marks in fields stay") << "*[T]*"
                                              << "a*b^c@d|e"
                                              << "a*b^c@d|e";
    }
    void symbols()
    {
        QFETCH(QString, order);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        Bank bank;
        Record r = journal(QStringLiteral("J.Smith"), title, 1990, 3);
        r.Memo = QStringLiteral("  a memo ");
        r.Book = QStringLiteral("Big book");
        r.Keyword = QStringLiteral("genes, maps");
        r.Editor = QStringLiteral("A.B.Cole, D.Fox");
        bank.records[7] = r;
        bank.links[7] = QStringLiteral(" 1,9 ");
        QCOMPARE(bank.render(formWith(order), plainScript(), {7}), expected + "( total  1 hits )");
    }

    void markupPair_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("expected");
        QTest::newRow("pair") << "a *b* c"
                              << "<u>"
                              << "</u>"
                              << "a <u>b</u> c";
        QTest::newRow("two pairs") << "*a* *b*"
                                   << "<u>"
                                   << "</u>"
                                   << "<u>a</u> <u>b</u>";
        QTest::newRow("odd mark: closed at the very end") << "*a* *b"
                                                          << "<u>"
                                                          << "</u>"
                                                          << "<u>a</u> <u>b</u>";
        QTest::newRow("lone mark at the end") << "ab*"
                                              << "<u>"
                                              << "</u>"
                                              << "ab<u></u>";
        QTest::newRow("no mark") << "abc"
                                 << "<u>"
                                 << "</u>"
                                 << "abc";
        QTest::newRow("empty codes") << "*a*b"
                                     << ""
                                     << ""
                                     << "ab";
        // The search goes on one past where an empty code was put: the mark
        // right after it is passed over.
        QTest::newRow("empty codes, adjacent marks") << "**a"
                                                     << ""
                                                     << ""
                                                     << "*a";
        QTest::newRow("codes of the same mark") << "*a*"
                                                << "*"
                                                << "*"
                                                << "*a*";
        // Codes are never searched for marks: no endless replacing.
        QTest::newRow("codes holding the mark twice") << "*a* b"
                                                      << "**"
                                                      << "**"
                                                      << "**a** b";
        QTest::newRow("code holding the mark inside") << "*a*"
                                                      << "x*"
                                                      << "y"
                                                      << "x*ay";
    }
    void markupPair()
    {
        QFETCH(QString, text);
        QFETCH(QString, open);
        QFETCH(QString, close);
        QFETCH(QString, expected);
        QCOMPARE(MarkupPair(text, QStringLiteral("*"), open, close), expected);
    }

    void markupOfTheWordOrder()
    {
        Bank bank;
        bank.records[1] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990, 3);
        // Each mark is translated in the word order, before the record text is put in.
        const OutputForm form = formWith(QStringLiteral("*[J]* ^2^ @b@ |[V]|[/]x*"));
        QCOMPARE(bank.render(form, htmlScript(), {1}),
                 QStringLiteral("<html><u>J. Biol.</u> <sup>2</sup> <sub>b</sub> <b>12</b><br>\r\nx<u></u>"
                                "( total  1 hits )</html>"));
    }

    void totals_data()
    {
        QTest::addColumn<int>("hits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none: header, totals, trailer") << 0 << "<html>( total  0 hits )</html>";
        QTest::newRow("twelve") << 12 << "( total  12 hits )</html>";
    }
    void totals()
    {
        QFETCH(int, hits);
        QFETCH(QString, expected);
        Bank bank;
        QList<qint16> list;
        for (int n = 1; n <= hits; ++n) {
            bank.records[n] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990, 3);
            list.append(static_cast<qint16>(n));
        }
        const QString text = bank.render(formWith(QStringLiteral("[R]")), htmlScript(), list);
        QVERIFY2(text.endsWith(expected), qPrintable(text.right(40)));
        QVERIFY(text.startsWith(QStringLiteral("<html>")));
    }

    // Past the capacity the whole result is the overflow text, whether an entry
    // or the totals line goes over it.
    void overflow()
    {
        Bank bank;
        bank.records[1] = journal(QStringLiteral("J.Smith"), QStringLiteral("Gene maps"), 1990, 3);
        bank.records[2] = bank.records[1];
        QList<qint16> hits{1, 2};
        const QString whole = bank.render(formWith(kOrder), htmlScript(), hits);
        QCOMPARE(bank.render(formWith(kOrder), htmlScript(), hits, whole.size()), whole);
        const QString overflowed =
            QStringLiteral("( total  2 hits.)<br>\r\n<br>\r\nThe text-viewing is over flowed.<br>\r\n"
                           "so please, choose more simple form to view,<br>\r\n"
                           "or more apporpriate key to search. </html>");
        QCOMPARE(bank.render(formWith(kOrder), htmlScript(), hits, whole.size() - 1), overflowed);
        QCOMPARE(bank.render(formWith(kOrder), htmlScript(), hits, 30), overflowed);
    }

    void sorts_data()
    {
        QTest::addColumn<int>("sort");
        QTest::addColumn<QList<qint16>>("hits");
        QTest::addColumn<QList<qint16>>("expected");
        // 1 J.Smith 1995, 2 A.Jones 1980, 3 B.Brown 2001, 4 A.Jones 1980.
        QTest::newRow("author ABC") << 1 << QList<qint16>{1, 2, 3} << QList<qint16>{3, 2, 1};
        QTest::newRow("author ABC, equal keys") << 1 << QList<qint16>{4, 1, 2} << QList<qint16>{4, 2, 1};
        QTest::newRow("none: ascending numbers") << 2 << QList<qint16>{3, 1, 2} << QList<qint16>{1, 2, 3};
        QTest::newRow("year 123") << 3 << QList<qint16>{1, 2, 3} << QList<qint16>{2, 1, 3};
        QTest::newRow("year 321") << 4 << QList<qint16>{1, 2, 3} << QList<qint16>{3, 1, 2};
        QTest::newRow("rec 123") << 5 << QList<qint16>{3, 1, 2, 1} << QList<qint16>{1, 1, 2, 3};
        QTest::newRow("rec 321") << 6 << QList<qint16>{1, 3, 2} << QList<qint16>{3, 2, 1};
        QTest::newRow("no sort") << 7 << QList<qint16>{3, 1, 2} << QList<qint16>{3, 1, 2};
    }
    void sorts()
    {
        QFETCH(int, sort);
        QFETCH(QList<qint16>, hits);
        QFETCH(QList<qint16>, expected);
        Bank bank;
        bank.records[1] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1995, 3);
        bank.records[2] = journal(QStringLiteral("A.Jones"), QStringLiteral("T"), 1980, 3);
        bank.records[3] = journal(QStringLiteral("B.Brown"), QStringLiteral("T"), 2001, 3);
        bank.records[4] = bank.records[2];
        const QString text = bank.render(formWith(QStringLiteral("[R];"), sort), plainScript(), hits);
        QCOMPARE(hits, expected);
        QString entries;
        for (qint16 n : expected)
            entries += u' ' + QString::number(n) + u';';
        QCOMPARE(text, entries + QStringLiteral("( total %1 hits )").arg(expected.size(), 2));
    }

    // Sort "none" after a record-number search lists the records in key order,
    // also after an earlier rendering sorted the list.
    void noneRebuildsRecordSearches()
    {
        Bank bank;
        for (int n = 1; n <= 9; ++n)
            bank.records[n] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990, 3);
        SearchEngine engine;
        engine.SearchItem = KindRecord;
        engine.Step1GetNum(QStringLiteral("9,2,5"), NumberContext{9, nullptr, 2025});
        engine.Step2HitReco();
        const Script script = plainScript();
        auto render = [&](int sort) {
            const OutputForm form = formWith(QStringLiteral("[R];"), sort);
            RenderContext ctx{form,
                              script,
                              QStringLiteral("sample"),
                              bank.jp,
                              [&](int n) { return bank.records.value(n); },
                              [](int) { return QString(); },
                              engine.SearchItem,
                              [&] { engine.RebuildRecordHits(); }};
            return Step3(engine.HitList, engine.HitCount, ctx);
        };
        QCOMPARE(render(5), QStringLiteral(" 2; 5; 9;( total  3 hits )"));
        QCOMPARE(render(2), QStringLiteral(" 9; 2; 5;( total  3 hits )"));
        QCOMPARE(engine.hits(), (QList<qint16>{9, 2, 5}));
    }

    void styles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("expected");
        QTest::newRow("journal") << 1 << "J 7";
        QTest::newRow("chapter") << 2 << "B 7";
        QTest::newRow("monograph") << 3 << "M 7";
        QTest::newRow("other") << 4 << "O 7";
        QTest::newRow("style 5 as other") << 5 << "O 7";
        QTest::newRow("style 6 as other") << 6 << "O 7";
        QTest::newRow("style 0: nothing") << 0 << "";
    }
    void styles()
    {
        QFETCH(int, style);
        QFETCH(QString, expected);
        Bank bank;
        bank.records[7] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990, 3);
        bank.records[7].Style = static_cast<qint16>(style);
        OutputForm form = formWith({});
        form.order[1] = QStringLiteral("J[R]");
        form.order[2] = QStringLiteral("B[R]");
        form.order[3] = QStringLiteral("M[R]");
        form.order[4] = QStringLiteral("O[R]");
        QCOMPARE(bank.render(form, plainScript(), {7}), expected + "( total  1 hits )");
    }

    void numberingFollowsTheSortedList()
    {
        Bank bank;
        for (int n = 1; n <= 3; ++n)
            bank.records[n] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990, 3);
        QCOMPARE(bank.render(formWith(QStringLiteral("[N][R] [N5];"), 6), plainScript(), {1, 2, 3}),
                 QStringLiteral("1 3 5;2 2 6;3 1 7;( total  3 hits )"));
    }

    // The renderer reads each hit's link list through its own callback; the
    // card's two lists are not touched.
    void linkListsOfTheirOwn()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray table = EncodeLinkPair({1, 3}) + EncodeLinkPair({3, 9});
        QFile f(dir.filePath(QString(kLinkFileName)));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(table) == table.size());
        f.close();

        const QString LinkText = QStringLiteral("2,4"), LinkTextOld = QStringLiteral("2");
        QString cardText = LinkText, cardOld = LinkTextOld;
        Bank bank;
        for (int n = 1; n <= 9; ++n)
            bank.records[n] = journal(QStringLiteral("J.Smith"), QStringLiteral("T"), 1990, 3);
        const OutputForm form = formWith(QStringLiteral("[R]:[L];"));
        const Script script = plainScript();
        RenderContext ctx{form,
                          script,
                          QStringLiteral("sample"),
                          bank.jp,
                          [&](int n) { return bank.records.value(n); },
                          [&](int n) { return LinkRead(dir.path(), n, 9, 200); },
                          KindFreeKeyword,
                          {},
                          1 << 24};
        QList<qint16> hits{0, 3, 1, 5};
        QCOMPARE(Step3(hits, 3, ctx), QStringLiteral(" 3:1,9; 1:3; 5:;( total  3 hits )"));
        QCOMPARE(cardText, LinkText);
        QCOMPARE(cardOld, LinkTextOld);

        // Without "[L]" no link list is read.
        bank.render(formWith(kOrder), plainScript(), {3, 1});
        QVERIFY(bank.linkReads.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestRender)
#include "tst_render.moc"
