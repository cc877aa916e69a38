// The command-line program, run as a separate process on a small bank.
#include "common/cp932.h"
#include "store/jpcode.h"
#include "store/link_table.h"
#include "store/pdf_table.h"
#include "store/record.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run cli(const QStringList &args, const QString &stdoutFile = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(TZ_CLI_PATH), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

const QString kJapaneseTitle = QString::fromUtf8("日本語の標題");

Record reference(int style, const QString &author, const QString &title, int year, int jpcode)
{
    Record r;
    r.Style = static_cast<qint16>(style);
    r.Author = author;
    r.Title = title;
    r.Year = static_cast<qint16>(year);
    r.JPcode = static_cast<qint16>(jpcode);
    r.Volume = QStringLiteral("12");
    r.Page1 = QStringLiteral("100");
    r.Page2 = QStringLiteral("109");
    r.Editor = QStringLiteral("E.Editor");
    r.Book = QStringLiteral("A Book of Genes");
    r.Keyword = QStringLiteral("gene");
    r.RegDate = 45000;
    return r;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bank;

private Q_SLOTS:
    // A bank made by the program, then filled: five references of all four
    // styles, one with a Japanese title, JP code names and one link.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_bank = m_dir.filePath(QStringLiteral("sample.bnk"));
        const Run made = cli({QStringLiteral("new"), m_bank});
        QCOMPARE(made.exitCode, 0);
        QVERIFY(QString::fromUtf8(made.out).startsWith(QStringLiteral("created ")));

        const Run info = cli({QStringLiteral("info"), m_bank});
        QCOMPARE(info.exitCode, 0);
        const QString text = QString::fromUtf8(info.out);
        QVERIFY2(text.contains(QStringLiteral("records: 1\n")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("JP code group ends: T 20, J 100, P 150, E 200\n")));
        QVERIFY(text.contains(QStringLiteral("link pairs: 0\n")));
        QVERIFY(text.contains(QStringLiteral("URL/DOI entries: 0\n")));

        BoxFlags all;
        all.fill(1);
        const QList<Record> records{
            reference(1, QStringLiteral("J.Smith, K.Lee"), QStringLiteral("Gene maps of mice."), 1995, 3),
            reference(2, QStringLiteral("A.Jones"), QStringLiteral("Gene expression."), 1980, 120),
            reference(3, QStringLiteral("B.Brown"), QStringLiteral("Genes."), 2001, 130),
            reference(4, QStringLiteral("C.White"), QStringLiteral("A gene report."), 2010, 0),
            reference(1, QString::fromUtf8("山田太郎"), kJapaneseTitle, 1999, 3),
        };
        for (int n = 1; n <= records.size(); ++n)
            QVERIFY(RecWrite(m_bank, n, records[n - 1], all));
        JPcodeTable jp = DefaultJPcodeTable();
        jp.JPname[3] = QString::fromUtf8("J. Biol. 生物誌");
        jp.JPname[120] = QStringLiteral("Academic Press");
        jp.JPname[130] = QStringLiteral("Springer");
        QVERIFY(JPcodeSave(QDir(m_bank).filePath(QString(kJPcodeFileName)), jp));
        QVERIFY(LinkWrite(m_bank, 1, QStringLiteral("3"), {}));
        BoxFlags pdf{};
        pdf[14] = 1;
        QVERIFY(PdfWrite(m_bank, 2, PdfEntry{QStringLiteral("https://example.org/a"), {}}, pdf));

        const QString filled = QString::fromUtf8(cli({QStringLiteral("info"), m_bank}).out);
        QVERIFY2(filled.contains(QStringLiteral("records: 5\n")), qPrintable(filled));
        QVERIFY(filled.contains(QStringLiteral("link pairs: 1\n")));
        QVERIFY(filled.contains(QStringLiteral("URL/DOI entries: 1\n")));
    }

    void everyFormAndScript_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("script");
        for (int form = 1; form <= 7; ++form)
            for (int script = 1; script <= 5; ++script)
                QTest::addRow("form %d, script %d", form, script) << form << script;
    }
    void everyFormAndScript()
    {
        QFETCH(int, form);
        QFETCH(int, script);
        const Run r = cli({QStringLiteral("search"), m_bank, QStringLiteral("--kind"), QStringLiteral("Free Keyword"),
                           QStringLiteral("--keys"), QStringLiteral("gene"), QStringLiteral("--form"),
                           QString::number(form), QStringLiteral("--script"), QString::number(script)});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        const QString text = QString::fromUtf8(r.out);
        QVERIFY2(text.contains(QStringLiteral("( total  5 hits )")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Gene maps of mice.")));
        QVERIFY(!text.contains(u'[')); // every symbol of the word orders was put in
        if (script == 2 || script == 3) {
            QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE html>\r\n<html>\r\n")));
            QVERIFY(text.contains(QStringLiteral("<meta charset=\"Shift_JIS\">")));
            QVERIFY(text.endsWith(QStringLiteral("</p>\r\n</body>\r\n</html>\r\n")));
            QVERIFY(text.contains(QStringLiteral("<br>\r\n")));
        }
    }

    // Rows hold the options after "search BANK --hits-only", separated by "|".
    void hitsOnlyInTheFormsOrder_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("expected");
        // Form 1 sorts by author, form 2 by record number, form 7 by year, newest first.
        QTest::newRow("author ABC") << "--kind|Free Keyword|--keys|gene|--form|1" << QByteArray("3\n2\n1\n4\n5\n");
        QTest::newRow("year 321") << "--kind|Title + Keyword|--keys|gene|--form|7" << QByteArray("4\n3\n5\n1\n2\n");
        QTest::newRow("record kind in key order") << "--kind|Record|--keys|5,2 4|--form|2" << QByteArray("5\n2\n4\n");
        QTest::newRow("year range") << "--kind|Year|--keys|1990-1999|--form|2" << QByteArray("1\n5\n");
        QTest::newRow("JP code") << "--kind|4|--keys|3|--form|2" << QByteArray("1\n5\n");
        QTest::newRow("AND") << "--kind|0|--keys|gene mice|--and" << QByteArray("1\n");
        QTest::newRow("OR repeats") << "--kind|3|--keys|maps mice|--no-unique|--form|2" << QByteArray("1\n1\n");
        QTest::newRow("capitals") << "--kind|2|--keys|smith|--case" << QByteArray();
        QTest::newRow("capitals ignored") << "--kind|2|--keys|SMITH" << QByteArray("1\n");
        QTest::newRow("additional") << "--kind|3|--keys|gene|--additional|4,1|--no-unique|--form|2"
                                    << QByteArray("1\n1\n4\n4\n");
        QTest::newRow("similar") << "--kind|9|--current|1" << QByteArray();
        QTest::newRow("blank") << "--kind|Blank" << QByteArray();
    }
    void hitsOnlyInTheFormsOrder()
    {
        QFETCH(QString, options);
        QFETCH(QByteArray, expected);
        const Run r =
            cli(QStringList{QStringLiteral("search"), m_bank, QStringLiteral("--hits-only")} + options.split(u'|'));
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, expected);
    }

    // Rows hold the whole command line, separated by "|"; BANK is the test
    // bank, NONE a folder that does not exist.
    void errors_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << ""
                                    << "Usage:";
        QTest::newRow("unknown command") << "frob"
                                         << "unknown command";
        QTest::newRow("info: missing bank") << "info|NONE"
                                            << "no such bank folder";
        QTest::newRow("search: missing bank") << "search|NONE|--kind|Blank"
                                              << "no such bank folder";
        QTest::newRow("search: folder without records") << "search|DIR|--kind|Blank"
                                                        << "holds no record.tzd";
        QTest::newRow("new: bank exists") << "new|BANK"
                                          << "already exists";
        QTest::newRow("no kind") << "search|BANK"
                                 << "--kind is required";
        QTest::newRow("bank missing before the options") << "search|--kind|Blank"
                                                         << "missing BANKDIR";
        QTest::newRow("unknown kind") << "search|BANK|--kind|Books"
                                      << "unknown kind: Books";
        QTest::newRow("kind out of range") << "search|BANK|--kind|13"
                                           << "unknown kind: 13";
        QTest::newRow("no keys") << "search|BANK|--kind|Year"
                                 << "--keys is required";
        QTest::newRow("unknown form number") << "search|BANK|--kind|Blank|--form|8"
                                             << "--form 8: there are 7";
        QTest::newRow("unknown form name") << "search|BANK|--kind|Blank|--form|Harvard"
                                           << "no entry named \"Harvard\"";
        QTest::newRow("unknown script") << "search|BANK|--kind|Blank|--script|0"
                                        << "--script 0: there are 5";
        QTest::newRow("missing form file") << "search|BANK|--kind|Blank|--forms|NONE"
                                           << "none.bnk";
        QTest::newRow("malformed number") << "search|BANK|--kind|Blank|--max-hits|abc"
                                          << "--max-hits takes a number from 1 to 32767";
        QTest::newRow("option without value") << "search|BANK|--kind|Blank|--keys"
                                              << "--keys needs a value";
        QTest::newRow("unknown option") << "search|BANK|--kind|Blank|--fast"
                                        << "unknown option: --fast";
        QTest::newRow("unknown encoding") << "search|BANK|--kind|Blank|--encoding|latin1"
                                          << "--encoding takes utf8 or cp932";
        QTest::newRow("similar without current record") << "search|BANK|--kind|9"
                                                        << "--current is required";
        QTest::newRow("current record beyond the bank") << "search|BANK|--kind|9|--current|6"
                                                        << "--current 6: the bank holds 5 records";
        QTest::newRow("bad hit list") << "search|BANK|--kind|Year|--keys|1995|--additional|1,x"
                                      << "--additional takes a number";
    }
    void errors()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        QStringList args = line.split(u'|', Qt::SkipEmptyParts);
        for (QString &a : args) {
            if (a == u"BANK")
                a = m_bank;
            else if (a == u"NONE")
                a = m_dir.filePath(QStringLiteral("none.bnk"));
            else if (a == u"DIR")
                a = m_dir.path();
        }
        const Run r = cli(args);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void encodings()
    {
        const QStringList args{QStringLiteral("search"),   m_bank,
                               QStringLiteral("--kind"),   QStringLiteral("Record"),
                               QStringLiteral("--keys"),   QStringLiteral("5"),
                               QStringLiteral("--script"), QStringLiteral("HTML")};
        const Run utf8 = cli(args);
        QCOMPARE(utf8.exitCode, 0);
        QVERIFY(utf8.out.contains(kJapaneseTitle.toUtf8()));

        const Run sjis = cli(args + QStringList{QStringLiteral("--encoding"), QStringLiteral("cp932")});
        QCOMPARE(sjis.exitCode, 0);
        QCOMPARE(sjis.out, cp932::encode(QString::fromUtf8(utf8.out)));
        QVERIFY(sjis.out.contains(QByteArray("\x93\xfa\x96\x7b\x8c\xea"))); // 日本語
        QVERIFY(!sjis.out.contains(kJapaneseTitle.toUtf8()));
    }

    void outputFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("list.txt"));
        const QStringList args{QStringLiteral("search"),     m_bank,
                               QStringLiteral("--kind"),     QStringLiteral("Year"),
                               QStringLiteral("--keys"),     QStringLiteral("1995"),
                               QStringLiteral("--encoding"), QStringLiteral("cp932")};
        const Run shown = cli(args);
        const Run saved = cli(args + QStringList{QStringLiteral("--output"), path});
        QCOMPARE(saved.exitCode, 0);
        QVERIFY(saved.out.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), shown.out);

        const Run unwritable =
            cli(args + QStringList{QStringLiteral("--output"), m_dir.filePath(QStringLiteral("no/such/list.txt"))});
        QCOMPARE(unwritable.exitCode, 2);
        QVERIFY(unwritable.err.contains(QStringLiteral("list.txt")));
    }

    // A list that cannot be written to the terminal is an error, not success.
    void fullOutputDevice()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full");
        const Run r = cli({QStringLiteral("search"), m_bank, QStringLiteral("--kind"), QStringLiteral("Free Keyword"),
                           QStringLiteral("--keys"), QStringLiteral("gene")},
                          QStringLiteral("/dev/full"));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QStringLiteral("cannot write")), qPrintable(r.err));
        const Run info = cli({QStringLiteral("info"), m_bank}, QStringLiteral("/dev/full"));
        QCOMPARE(info.exitCode, 2);
    }

    void automaticSimilarCheckWithoutHitsShowsNothing()
    {
        const Run r = cli({QStringLiteral("search"), m_bank, QStringLiteral("--kind"), QStringLiteral("10"),
                           QStringLiteral("--current"), QStringLiteral("2")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
