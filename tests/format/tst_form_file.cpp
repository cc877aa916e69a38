#include "format/definition_file.h"
#include "format/form_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

// One form block as the program writes it (10 lines, the last one empty).
QByteArray block(const QByteArray &name, const QByteArray &author = "1,2,6,3,2", const QByteArray &sort = "1")
{
    return "==" + name + "\r\nnote\r\n" + sort + "\r\n" + author +
           "\r\n10,10,3,1,2\r\n[A] ([Y]).[/]\r\n[B][/]\r\n[T][/]\r\n[M][/]\r\n\r\n";
}

QByteArray formFile(const QByteArray &count, const QByteArray &blocks)
{
    return "3d\r\n" + count + "\r\n" + blocks;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Written by hand from the layout: 文献 is 95 B6 8C A3 in code page 932.
const QByteArray kTwoForms = "3d\r\n2\r\n"
                             "==APA\r\n\x95\xb6\x8c\xa3\r\n1\r\n1,2,6,3,2\r\n10,10,3,1,2\r\n"
                             "[A] ([Y]). [T] *[J]*[/]\r\n[A] In [E][/]\r\n[A] [T][/]\r\n[A][/]\r\n\r\n"
                             "==\r\n\r\n6\r\n-3,0,0,0,0\r\n14,14,6,14,2\r\n\r\n\r\n\r\n\r\n\r\n";

FormTable twoForms()
{
    FormTable t;
    OutputForm a;
    a.name = "  APA ";
    a.note = QString::fromUtf8("文献");
    a.sort = 1;
    a.author = {1, 2, 6, 3, 2};
    a.editor = {10, 10, 3, 1, 2};
    a.order = {"", "[A] ([Y]). [T] *[J]*[/]  ", " [A] In [E][/]", "[A] [T][/]", "[A][/]"};
    OutputForm b;
    b.sort = 6;
    b.author = {-3, 0, 0, 0, 0};
    b.editor = {14, 14, 6, 14, 2};
    t.append(a);
    t.append(b);
    return t;
}

class FailingDevice : public QIODevice
{
public:
    explicit FailingDevice(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 len) override
    {
        if (m_room <= 0) {
            setErrorString("No space left on device");
            return -1;
        }
        const qint64 n = qMin(len, m_room);
        m_room -= n;
        return n;
    }

private:
    qint64 m_room;
};

} // namespace

class TestFormFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheLayout_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void readsTheLayout()
    {
        QFETCH(QByteArray, lineEnd);
        // The separator line of form 1 holds text (never examined); form 2
        // lacks its separator and its final line end.
        const QList<QByteArray> lines = {"anything",
                                         " 2 ",
                                         "==  First form ",
                                         "  a note ",
                                         "3",
                                         "1,2,6,3,2",
                                         "10,10,3,1,2",
                                         " [A] [Y][/] ",
                                         "[B]",
                                         "[T]",
                                         "[M]",
                                         "junk",
                                         "xxSecond",
                                         "",
                                         "5",
                                         "8,8,5,7,2",
                                         "8,8,5,7,2",
                                         "J",
                                         "B",
                                         "M",
                                         "O"};
        QStringList report;
        const FormTable t = ParseFormFile(lines.join(lineEnd), "form.cfg", report);
        QCOMPARE(report, QStringList());
        QCOMPARE(t.FormCount, 2);
        QCOMPARE(t.form(1).name, "First form");
        QCOMPARE(t.form(1).note, "a note");
        QCOMPARE(t.form(1).sort, qint16(3));
        QCOMPARE(t.form(1).author, (NameRule{1, 2, 6, 3, 2}));
        QCOMPARE(t.form(1).editor, (NameRule{10, 10, 3, 1, 2}));
        QCOMPARE(t.form(1).order, (std::array<QString, 5>{"", "[A] [Y][/]", "[B]", "[T]", "[M]"}));
        QCOMPARE(t.form(2).name, "Second");
        QCOMPARE(t.form(2).order[4], "O");
    }

    void repairsValues_data()
    {
        QTest::addColumn<QByteArray>("authorLine");
        QTest::addColumn<QByteArray>("sortLine");
        QTest::addColumn<QList<int>>("author");
        QTest::addColumn<int>("sort");
        QTest::addColumn<int>("reports");
        QTest::addColumn<QString>("message");
        const QByteArray ok = "1,2,6,3,2";
        const QList<int> okValues = {1, 2, 6, 3, 2};
        QTest::newRow("blanks around values")
            << QByteArray(" 1, 2 ,6,3 , 2 ") << QByteArray(" 4 ") << okValues << 4 << 0 << "";
        QTest::newRow("zero and list ends")
            << QByteArray("0,14,6,14,2") << QByteArray("6") << QList{0, 14, 6, 14, 2} << 6 << 0 << "";
        QTest::newRow("halves round to even")
            << QByteArray("2.5,1.5,6,3,2") << QByteArray("1") << QList{2, 2, 6, 3, 2} << 1 << 0 << "";
        QTest::newRow("sixth value ignored")
            << QByteArray("1,2,6,3,2,9") << QByteArray("1") << okValues << 1 << 0 << "";
        QTest::newRow("three values") << QByteArray("1,2,6") << QByteArray("1") << QList{1, 2, 6, 1, 1} << 1 << 1
                                      << "書式 1 の著者規則の値が 3 個しかありません（5 個必要）";
        QTest::newRow("empty rule") << QByteArray("") << QByteArray("1") << QList{1, 1, 1, 1, 1} << 1 << 1
                                    << "著者規則の値が 0 個しかありません";
        QTest::newRow("trailing comma") << QByteArray("1,2,6,3,") << QByteArray("1") << QList{1, 2, 6, 3, 1} << 1 << 1
                                        << "著者規則 capitalize の値「」が数値ではありません。1 にしました";
        QTest::newRow("letters") << QByteArray("1,x,6,3,2") << QByteArray("1") << QList{1, 1, 6, 3, 2} << 1 << 1
                                 << "2nd person の値「x」が数値ではありません";
        QTest::newRow("above the lists") << QByteArray("20,2,9,15,3") << QByteArray("1") << QList{14, 2, 5, 1, 2} << 1
                                         << 4 << "1st person の値「20」は範囲外です（0〜14）。14 にしました";
        QTest::newRow("negative, beyond 16 bits") << QByteArray("-1,99999,6,3,2") << QByteArray("1")
                                                  << QList{14, 14, 6, 3, 2} << 1 << 2 << "の値「99999」は範囲外です";
        QTest::newRow("sort 0") << ok << QByteArray("0") << okValues << 2 << 1
                                << "書式 1 の Sort の値「0」は範囲外です（1〜6）。2（none）にしました";
        QTest::newRow("sort 7") << ok << QByteArray("7") << okValues << 2 << 1 << "範囲外";
        QTest::newRow("sort letters") << ok << QByteArray("x") << okValues << 2 << 1
                                      << "Sort の値「x」が数値ではありません";
        QTest::newRow("percent sign in the text") << ok << QByteArray("x%2") << okValues << 2 << 1
                                                  << "Sort の値「x%2」が数値ではありません。2（none）にしました";
    }
    void repairsValues()
    {
        QFETCH(QByteArray, authorLine);
        QFETCH(QByteArray, sortLine);
        QFETCH(QList<int>, author);
        QFETCH(int, sort);
        QFETCH(int, reports);
        QFETCH(QString, message);
        QStringList report;
        const FormTable t = ParseFormFile(formFile("1", block("F", authorLine, sortLine)), "form.cfg", report);
        QCOMPARE(t.FormCount, 1);
        const NameRule &r = t.form(1).author;
        QCOMPARE((QList<int>{r.firstPerson, r.secondPerson, r.punctures, r.et_al, r.capitalize}), author);
        QCOMPARE(int(t.form(1).sort), sort);
        QCOMPARE(report.size(), reports);
        if (reports > 0) {
            QVERIFY2(report.join('\n').contains(message), qPrintable(report.join('\n')));
            QVERIFY(report.first().startsWith("form.cfg: 書式 1 の"));
        }
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        const QByteArray b = block("A");
        QByteArray sixty;
        for (int i = 0; i < 60; ++i)
            sixty += b;
        QTest::newRow("empty file") << QByteArray() << 0 << "form.cfg: ファイルが空です。書式を読み込みませんでした";
        QTest::newRow("tag only") << QByteArray("3d\r\n") << 0 << "2 行目（書式の数）がありません";
        QTest::newRow("count not a number") << formFile("abc", b) << 0 << "2 行目の書式の数「abc」が数値ではありません";
        QTest::newRow("negative count") << formFile("-2", b) << 0 << "書式の数が -2 になっています";
        QTest::newRow("zero forms") << formFile("0", b) << 0 << "";
        QTest::newRow("text after the count") << formFile("1 form", b) << 1 << "";
        QTest::newRow("more than 50") << formFile("60", sixty) << 50
                                      << "書式の数が 60 ですが、読み込めるのは 50 個までです。書式 51 以降は";
        QTest::newRow("ends inside form 2")
            << formFile("3", b + b.left(20)) << 1
            << "ファイルが書式 2 の途中で終わっています。書式 2〜3 は読み込みませんでした";
        QTest::newRow("ends before form 3")
            << formFile("3", b + b) << 2 << "ファイルが書式 3 の前で終わっています。書式 3 は読み込みませんでした";
        QTest::newRow("last separator missing") << formFile("2", b + b.chopped(2)) << 2 << "";
        QTest::newRow("9-line blocks") << formFile("3", (b.chopped(2) + b.chopped(2) + b.chopped(2))) << 3 << "";
        QTest::newRow("undecodable bytes")
            << formFile("1", block("A\xff")) << 1
            << "書式 1 の名前にシフトJIS として読めないバイトがあります。「?」に置き換えました";
        QTest::newRow("NUL bytes") << formFile("1", block(QByteArray("A\0B", 3))) << 1 << "";
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(QString, message);
        QStringList report;
        const FormTable t = ParseFormFile(bytes, "form.cfg", report);
        QCOMPARE(t.FormCount, count);
        for (int k = 1; k <= count; ++k) // no half-filled slot
            QCOMPARE(t.form(k).order[4], "[M][/]");
        QCOMPARE(report.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(report.first().contains(message), qPrintable(report.first()));
    }

    void writesTheLayout()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(FormWrite(dir.filePath("Form.cfg"), twoForms(), &error));
        QCOMPARE(readAll(dir.filePath("Form.cfg")), kTwoForms);
        // Reading and writing again gives the same bytes.
        // Reading gives the trimmed texts and repairs the negative value;
        // writing again gives the same bytes but for that value.
        QStringList report;
        const FormTable t = ParseFormFile(kTwoForms, "Form.cfg", report);
        QCOMPARE(report,
                 QStringList{"Form.cfg: 書式 2 の著者規則 1st person の値「-3」は範囲外です（0〜14）。14 にしました"});
        QCOMPARE(t.form(1).name, "APA");
        QCOMPARE(t.form(1).order[1], "[A] ([Y]). [T] *[J]*[/]");
        QCOMPARE(FormFileBytes(t, "Form.cfg", &error).value_or(""), QByteArray(kTwoForms).replace("-3,", "14,"));
    }

    void writerKeepsOneLinePerText()
    {
        FormTable t;
        OutputForm f;
        f.name = "A\r\nB";
        f.note = "C\nD";
        f.order[1] = "[A]\r\n[T]\r[Y]\n";
        t.append(f);
        QString error;
        const QByteArray bytes = FormFileBytes(t, "form.cfg", &error).value_or("");
        QVERIFY(bytes.startsWith("3d\r\n1\r\n==A B\r\nC D\r\n2\r\n1,1,1,1,1\r\n1,1,1,1,1\r\n[A][/][T][/][Y][/]\r\n"));
        QStringList report;
        QCOMPARE(ParseFormFile(bytes, "form.cfg", report).FormCount, 1);
    }

    void writerFailuresLeaveTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("FORM.CFG"); // found as Form.cfg
        writeFile(path, "old");
        QString error;
        FormTable t = twoForms();
        t.form(2).note = QString::fromUtf8("smile 😀");
        QVERIFY(!FormWrite(dir.filePath("Form.cfg"), t, &error));
        QCOMPARE(error, QString::fromUtf8(
                            "FORM.CFG: 書式 2 の注記の文字「😀」はシフトJIS で保存できません。保存しませんでした"));
        t.FormCount = 51;
        QVERIFY(!FormWrite(dir.filePath("Form.cfg"), t, &error));
        QVERIFY(error.contains("書式の数 51"));
        QCOMPARE(readAll(path), "old");

        QVERIFY(!FormWrite(dir.filePath("missing/Form.cfg"), twoForms(), &error));
        QVERIFY2(error.startsWith("Form.cfg に書き込めません"), qPrintable(error));
        FailingDevice full(100);
        QVERIFY(!FormWrite(full, "form.cfg", twoForms(), &error));
        QCOMPARE(error, "form.cfg に書き込めません（No space left on device）。保存しませんでした");

        // The existing file in another letter case is the one replaced.
        QVERIFY(FormWrite(dir.filePath("Form.cfg"), twoForms(), &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"FORM.CFG"});
        QCOMPARE(readAll(path), kTwoForms);
    }

    void tableHoldsFiftyForms()
    {
        FormTable t;
        for (int k = 1; k <= MaxForms; ++k)
            QVERIFY(t.append(OutputForm()));
        QVERIFY(!t.append(OutputForm()));
        QCOMPARE(t.FormCount, 50);
    }

    void startUp_data()
    {
        QTest::addColumn<QStringList>("files"); // present before start-up: cfg, cfx, big
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("default copied") << QStringList{"FORM.CFX"} << 1 << "";
        QTest::newRow("existing file wins") << QStringList{"form.cfg", "FORM.CFX"} << 2 << "";
        QTest::newRow("neither file") << QStringList{} << 0
                                      << "Form.cfg も既定の Form.cfx も見つかりません。書式はありません";
        QTest::newRow("oversized file") << QStringList{"big"} << 0 << "form.cfg が大きすぎます（上限 16777216 バイト）";
    }
    void startUp()
    {
        QFETCH(QStringList, files);
        QFETCH(int, count);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QByteArray defaults = formFile("1", block("Default"));
        for (const QString &name : files) {
            if (name == "big") {
                QFile big(dir.filePath("form.cfg"));
                QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(MaxDefinitionFileBytes + 1));
            } else {
                writeFile(dir.filePath(name), name.endsWith("CFX") ? defaults : formFile("2", block("A") + block("B")));
            }
        }
        FormTable t = twoForms();
        t.form(1).name = "stale";
        QStringList report;
        FormRead(dir.filePath("Form.cfg"), t, report);
        QCOMPARE(t.FormCount, count);
        QCOMPARE(report.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(report.first().contains(message), qPrintable(report.first()));
        if (files == QStringList{"FORM.CFX"}) {
            QCOMPARE(t.form(1).name, "Default");
            QCOMPARE(readAll(dir.filePath("Form.cfg")), defaults);
        }
    }

    void shippedForms()
    {
        const QByteArray bytes = readAll(QDir::cleanPath(TZ_TEST_DATA "/../../data/form.cfx"));
        QStringList report;
        const FormTable t = ParseFormFile(bytes, "form.cfx", report);
        QCOMPARE(report, QStringList());
        QVERIFY(t.FormCount >= 6);
        for (int k = 1; k <= t.FormCount; ++k) {
            const OutputForm &f = t.form(k);
            QVERIFY(!f.name.isEmpty() && !f.note.isEmpty());
            QVERIFY(!SortCaption(f.sort).isEmpty());
            for (const NameRule &r : {f.author, f.editor}) {
                const int values[] = {r.firstPerson, r.secondPerson, r.punctures, r.et_al, r.capitalize};
                for (int i = 1; i <= 5; ++i)
                    QVERIFY2(values[i - 1] >= 1 && values[i - 1] <= NameRuleListLength(i), qPrintable(f.name));
            }
            for (int style = 1; style <= 4; ++style)
                QVERIFY2(f.order[style].endsWith("[/]"), qPrintable(f.name));
        }
        // The shipped file is in exactly the layout the program writes.
        QString error;
        QCOMPARE(FormFileBytes(t, "form.cfx", &error).value_or(""), bytes);
    }
};

QTEST_GUILESS_MAIN(TestFormFile)
#include "tst_form_file.moc"
