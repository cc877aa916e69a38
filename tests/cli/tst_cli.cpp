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

    void hitsOnlyInTheFormsOrder_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("expected");
        const QString kind = QStringLiteral("--kind");
        const QString keys = QStringLiteral("--keys");
        const QString form = QStringLiteral("--form");
        // Form 1 sorts by author, form 2 by record number, form 7 by year, newest first.
        QTest::newRow("author ABC") << QStringList{kind, QStringLiteral("Free Keyword"),
                                                   keys, QStringLiteral("gene"),
                                                   form, QStringLiteral("1")}
                                    << QByteArray("3\n2\n1\n4\n5\n");
        QTest::newRow("year 321") << QStringList{kind, QStringLiteral("Title + Keyword"),
                                                 keys, QStringLiteral("gene"),
                                                 form, QStringLiteral("7")}
                                  << QByteArray("4\n3\n5\n1\n2\n");
        QTest::newRow("record kind in key order")
            << QStringList{kind, QStringLiteral("Record"), keys, QStringLiteral("5,2 4"), form, QStringLiteral("2")}
            << QByteArray("5\n2\n4\n");
        QTest::newRow("year range") << QStringList{kind, QStringLiteral("Year"), keys, QStringLiteral("1990-1999"),
                                                   form, QStringLiteral("2")}
                                    << QByteArray("1\n5\n");
        QTest::newRow("JP code") << QStringList{kind, QStringLiteral("4"), keys, QStringLiteral("3"),
                                                form, QStringLiteral("2")}
                                 << QByteArray("1\n5\n");
        QTest::newRow("AND") << QStringList{kind, QStringLiteral("0"), keys, QStringLiteral("gene mice"),
                                            QStringLiteral("--and")}
                             << QByteArray("1\n");
        QTest::newRow("OR repeats") << QStringList{kind,
                                                   QStringLiteral("Title + Keyword"),
                                                   keys,
                                                   QStringLiteral("maps mice"),
                                                   QStringLiteral("--no-unique"),
                                                   form,
                                                   QStringLiteral("2")}
                                    << QByteArray("1\n1\n");
        QTest::newRow("capitals") << QStringList{kind, QStringLiteral("2"), keys, QStringLiteral("smith"),
                                                 QStringLiteral("--case")}
                                  << QByteArray();
        QTest::newRow("capitals ignored")
            << QStringList{kind, QStringLiteral("2"), keys, QStringLiteral("SMITH")} << QByteArray("1\n");
        QTest::newRow("additional") << QStringList{kind,
                                                   QStringLiteral("Title + Keyword"),
                                                   keys,
                                                   QStringLiteral("gene"),
                                                   QStringLiteral("--additional"),
                                                   QStringLiteral("4,1"),
                                                   QStringLiteral("--no-unique"),
                                                   form,
                                                   QStringLiteral("2")}
                                    << QByteArray("1\n1\n4\n4\n");
        QTest::newRow("similar") << QStringList{kind, QStringLiteral("9"), QStringLiteral("--current"),
                                                QStringLiteral("1")}
                                 << QByteArray();
        QTest::newRow("blank") << QStringList{kind, QStringLiteral("Blank")} << QByteArray();
    }
    void hitsOnlyInTheFormsOrder()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, expected);
        const Run r = cli(QStringList{QStringLiteral("search"), m_bank, QStringLiteral("--hits-only")} + args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, expected);
    }

    void errors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString search = QStringLiteral("search");
        const QString missing = m_dir.filePath(QStringLiteral("none.bnk"));
        QTest::newRow("no command") << QStringList{} << "Usage:";
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frob")} << "unknown command";
        QTest::newRow("info: missing bank") << QStringList{QStringLiteral("info"), missing} << "no such bank folder";
        QTest::newRow("search: missing bank")
            << QStringList{search, missing, QStringLiteral("--kind"), QStringLiteral("Blank")} << "no such bank folder";
        QTest::newRow("search: folder without records")
            << QStringList{search, m_dir.path(), QStringLiteral("--kind"), QStringLiteral("Blank")}
            << "holds no record.tzd";
        QTest::newRow("new: bank exists") << QStringList{QStringLiteral("new"), m_bank} << "already exists";
        QTest::newRow("no kind") << QStringList{search, m_bank} << "--kind is required";
        QTest::newRow("bank missing before the options")
            << QStringList{search, QStringLiteral("--kind"), QStringLiteral("Blank")} << "missing BANKDIR";
        QTest::newRow("unknown kind") << QStringList{search, m_bank, QStringLiteral("--kind"), QStringLiteral("Books")}
                                      << "unknown kind: Books";
        QTest::newRow("kind out of range")
            << QStringList{search, m_bank, QStringLiteral("--kind"), QStringLiteral("13")} << "unknown kind: 13";
        QTest::newRow("no keys") << QStringList{search, m_bank, QStringLiteral("--kind"), QStringLiteral("Year")}
                                 << "--keys is required";
        QTest::newRow("unknown form number") << QStringList{search,
                                                            m_bank,
                                                            QStringLiteral("--kind"),
                                                            QStringLiteral("Blank"),
                                                            QStringLiteral("--form"),
                                                            QStringLiteral("8")}
                                             << "--form 8: there are 7";
        QTest::newRow("unknown form name") << QStringList{search,
                                                          m_bank,
                                                          QStringLiteral("--kind"),
                                                          QStringLiteral("Blank"),
                                                          QStringLiteral("--form"),
                                                          QStringLiteral("Harvard")}
                                           << "no entry named \"Harvard\"";
        QTest::newRow("unknown script") << QStringList{search,
                                                       m_bank,
                                                       QStringLiteral("--kind"),
                                                       QStringLiteral("Blank"),
                                                       QStringLiteral("--script"),
                                                       QStringLiteral("0")}
                                        << "--script 0: there are 5";
        QTest::newRow("missing form file")
            << QStringList{search, m_bank, QStringLiteral("--kind"), QStringLiteral("Blank"), QStringLiteral("--forms"),
                           missing}
            << "none.bnk";
        QTest::newRow("malformed number") << QStringList{search,
                                                         m_bank,
                                                         QStringLiteral("--kind"),
                                                         QStringLiteral("Blank"),
                                                         QStringLiteral("--max-hits"),
                                                         QStringLiteral("abc")}
                                          << "--max-hits takes a number from 1 to 32767";
        QTest::newRow("option without value")
            << QStringList{search, m_bank, QStringLiteral("--kind"), QStringLiteral("Blank"), QStringLiteral("--keys")}
            << "--keys needs a value";
        QTest::newRow("unknown option") << QStringList{search, m_bank, QStringLiteral("--kind"),
                                                       QStringLiteral("Blank"), QStringLiteral("--fast")}
                                        << "unknown option: --fast";
        QTest::newRow("unknown encoding") << QStringList{search,
                                                         m_bank,
                                                         QStringLiteral("--kind"),
                                                         QStringLiteral("Blank"),
                                                         QStringLiteral("--encoding"),
                                                         QStringLiteral("latin1")}
                                          << "--encoding takes utf8 or cp932";
        QTest::newRow("similar without current record")
            << QStringList{search, m_bank, QStringLiteral("--kind"), QStringLiteral("9")} << "--current is required";
        QTest::newRow("current record beyond the bank") << QStringList{search,
                                                                       m_bank,
                                                                       QStringLiteral("--kind"),
                                                                       QStringLiteral("9"),
                                                                       QStringLiteral("--current"),
                                                                       QStringLiteral("6")}
                                                        << "--current 6: the bank holds 5 records";
        QTest::newRow("bad hit list") << QStringList{search,
                                                     m_bank,
                                                     QStringLiteral("--kind"),
                                                     QStringLiteral("Year"),
                                                     QStringLiteral("--keys"),
                                                     QStringLiteral("1995"),
                                                     QStringLiteral("--additional"),
                                                     QStringLiteral("1,x")}
                                      << "--additional takes a number";
    }
    void errors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
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
