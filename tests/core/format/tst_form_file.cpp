// The form and script files: their layouts, the repairs and reports of the
// readers, the writer's bytes and failures, the start-up copies, the shipped files.
#include "core/format/definition_file.h"
#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/format/script_output.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QTemporaryDir>

using namespace tz;

namespace {

// One form block as the program writes it (10 lines, the last one empty).
QByteArray block(const QByteArray &name, const QByteArray &author = "1,2,6,3,2", const QByteArray &sort = "1")
{
    return "==" + name + "\r\nnote\r\n" + sort + "\r\n" + author +
           "\r\n10,10,3,1,2\r\n[A][/]\r\n[B]\r\n[T]\r\n[M]\r\n\r\n";
}

QByteArray formFile(const QByteArray &count, const QByteArray &blocks)
{
    return "3d\r\n" + count + "\r\n" + blocks;
}

QString ruleText(const NameRule &r)
{
    return QString::asprintf("%d,%d,%d,%d,%d", r.firstPerson, r.secondPerson, r.punctures, r.et_al, r.capitalize);
}

// Written by hand from the layout: 文献 is 95 B6 8C A3 in code page 932.
const QByteArray kTwoForms = "3d\r\n2\r\n==APA\r\n\x95\xb6\x8c\xa3\r\n1\r\n1,2,6,3,2\r\n10,10,3,1,2\r\n"
                             "[A] ([Y]). *[J]*[/]\r\n[A] In [E][/]\r\n[A] [T][/]\r\n[A][/]\r\n\r\n"
                             "==\r\n\r\n6\r\n-3,0,0,0,0\r\n14,14,6,14,2\r\n\r\n\r\n\r\n\r\n\r\n";

FormTable twoForms()
{
    FormTable t;
    const std::array<QString, 5> orders{"", "[A] ([Y]). *[J]*[/]  ", " [A] In [E][/]", "[A] [T][/]", "[A][/]"};
    t.append({"  APA ", QString::fromUtf8("文献"), 1, {1, 2, 6, 3, 2}, {10, 10, 3, 1, 2}, orders});
    t.append({"", "", 6, {-3, 0, 0, 0, 0}, {14, 14, 6, 14, 2}, {}});
    return t;
}

// One script block: name, note and eleven code lines; `underline` is line 5.
QByteArray scriptBlock(const QByteArray &name, const QByteArray &underline = "3C753E ' <u>")
{
    return "==" + name + "\r\n note \r\n3C703E ' header\r\n' no trailer\r\n" + underline +
           "\r\n3C2F753E\r\n5E\r\n5E\r\n5F\r\n5F\r\n3C623E\r\n3C2F623E\r\n0D0A\r\n";
}

QByteArray scriptFile(const QByteArray &count, const QByteArray &blocks)
{
    return "anything\r\n" + count + "\r\n" + blocks;
}

QStringList codes(const Script &s)
{
    return {s.header, s.trailer, s.underlineOn, s.underlineOff, s.superOn,  s.superOff,
            s.subOn,  s.subOff,  s.boldOn,      s.boldOff,      s.lineBreak};
}

} // namespace

class TestFormFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Form 1's separator line holds text (never examined); form 2 lacks its
    // separator line and the last line end.
    void readsTheLayout()
    {
        const QByteArray lines = "tag| 2 |==  First form |  a note |3|1,2,6,3,2|10,10,3,1,2| [A] [Y][/] "
                                 "|[B]|[T]|[M]|junk|xxSecond||5|8,8,5,7,2|8,8,5,7,2|J|B|M|O";
        for (const char *lineEnd : {"\r\n", "\n", "\r"}) {
            QStringList report;
            const FormTable t = ParseFormFile(QByteArray(lines).replace('|', lineEnd), "form.cfg", report);
            QVERIFY(report.isEmpty() && t.FormCount == 2);
            const OutputForm &f = t.form(1);
            QCOMPARE(QStringList({f.name, f.note, SortCaption(f.sort), ruleText(f.author), ruleText(f.editor)}),
                     QStringList({"First form", "a note", "Year 123", "1,2,6,3,2", "10,10,3,1,2"}));
            QCOMPARE(f.order, (std::array<QString, 5>{"", "[A] [Y][/]", "[B]", "[T]", "[M]"}));
            QCOMPARE(t.form(2).name + t.form(2).order[4], "SecondO");
        }
    }

    // A rule line and a sort line, and what is read from them: the rule, the
    // sort, the number of reports and a part of them.
    void repairsValues_data()
    {
        // clang-format off
        rows::table({"ruleLine", "sortLine", "read", "reports", "message"}, {
            {" 1, 2 ,6,3 , 2 ", " 4 ", "1,2,6,3,2 4", "0", ""}, {"0,14,6,14,2", "6", "0,14,6,14,2 6", "0", ""},
            {"2.5,1.5,6,3,2,9", "1", "2,2,6,3,2 1", "0", ""}, // halves to even, a sixth value ignored
            {"1,2,6", "1", "1,2,6,1,1 1", "1", "form.cfg: 書式 1 の著者規則の値が 3 個しかありません（5 個必要）。足りない値は既定値にしました（et_al 1, capitalize 1）"},
            {"1,2,6,3,", "1", "1,2,6,3,1 1", "1", "著者規則 capitalize の値「」が数値ではありません。1 にしました"},
            {"20,2,9,15,3", "1", "14,2,5,1,2 1", "4", "form.cfg: 書式 1 の著者規則 1st person の値「20」は範囲外です（0〜14）。14 にしました"},
            {"1,2,6,3,2", "0", "1,2,6,3,2 2", "1", "form.cfg: 書式 1 の Sort の値「0」は範囲外です（1〜6）。2（none）にしました"},
            {"1,2,6,3,2", "x%2", "1,2,6,3,2 2", "1", "Sort の値「x%2」が数値ではありません。2（none）にしました"},
        });
        // clang-format on
    }
    void repairsValues()
    {
        QStringList report;
        const QByteArray bytes =
            formFile("1", block("F", rows::text("ruleLine").toLatin1(), rows::text("sortLine").toLatin1()));
        const FormTable t = ParseFormFile(bytes, "form.cfg", report);
        QCOMPARE(t.FormCount, 1);
        QCOMPARE(ruleText(t.form(1).author) + ' ' + QString::number(t.form(1).sort), rows::text("read"));
        QCOMPARE(report.size(), rows::number("reports"));
        QVERIFY2(report.join('\n').contains(rows::text("message")), qPrintable(report.join('\n')));
    }

    // A damaged form or script file: the whole entries read before the
    // damage, and the one report.
    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        const QByteArray b = block("A"), s = scriptBlock("S");
        // clang-format off
        QTest::newRow("empty file") << QByteArray() << 0 << "form.cfg: ファイルが空です。書式を読み込みませんでした";
        QTest::newRow("count not a number") << formFile("abc", b) << 0 << "2 行目の書式の数「abc」が数値ではありません";
        QTest::newRow("negative count") << formFile("-2", b) << 0 << "書式の数が -2 になっています";
        QTest::newRow("text after the count") << formFile("1 form", b) << 1 << "";
        QTest::newRow("more than 50") << formFile("60", b.repeated(60)) << 50 << "読み込めるのは 50 個までです。書式 51 以降は";
        QTest::newRow("ends inside form 2") << formFile("3", b + b.left(20)) << 1 << "書式 2 の途中で終わっています。書式 2〜3 は";
        QTest::newRow("ends before form 3") << formFile("3", b + b) << 2 << "ファイルが書式 3 の前で終わっています。書式 3 は";
        QTest::newRow("undecodable byte") << formFile("1", block("A\xff")) << 1 << "名前にシフトJIS として読めないバイトがあります。「?」に";
        QTest::newRow("more than 20 scripts") << scriptFile("25", s.repeated(25)) << 20 << "読み込めるのは 20 個までです。スクリプト 21 以降は";
        QTest::newRow("bad code line") << scriptFile("1", scriptBlock("S", "3CG2 ' <u>")) << 1
            << "script.cfg: スクリプト 1 の 5 行目（下線開始）「3CG2」は 16 進数の並びではありません。この符号は空にしました";
        QTest::newRow("code of no character") << scriptFile("1", scriptBlock("S", "FF")) << 1 << "「FF」はシフトJIS の文字になりません";
        QTest::newRow("undecodable note") << scriptFile("1", scriptBlock("S").replace(" note ", "\x82")) << 1 << "注記にシフトJIS として読めない";
        // clang-format on
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(QString, message);
        QStringList report;
        if (bytes.startsWith("anything")) {
            const ScriptTable t = ParseScriptFile(bytes, "script.cfg", report);
            QCOMPARE(t.ScriptCount, count);
            for (int k = 1; k <= count; ++k) // every kept script is whole
                QCOMPARE(t.script(k).lineBreak, "\r\n");
        } else {
            const FormTable t = ParseFormFile(bytes, "form.cfg", report);
            QCOMPARE(t.FormCount, count);
            for (int k = 1; k <= count; ++k) // no half-filled slot
                QCOMPARE(t.form(k).order[4], "[M]");
        }
        QCOMPARE(report.size(), message.isEmpty() ? 0 : 1);
        QVERIFY2(report.join('\n').contains(message), qPrintable(report.join('\n')));
    }

    // The writer writes nothing it cannot write whole: a file that Form.cfg
    // names in other letters keeps its bytes and its name.
    void writesTheLayout()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("FORM.CFG");
        QVERIFY(writeFile(path, "old"));
        QString error;
        FormTable t = twoForms();
        t.form(2).note = QString::fromUtf8("smile 😀");
        QVERIFY(!FormWrite(dir.filePath("Form.cfg"), t, &error));
        QCOMPARE(error, QString::fromUtf8(
                            "FORM.CFG: 書式 2 の注記の文字「😀」はシフトJIS で保存できません。保存しませんでした"));
        t.FormCount = 51;
        QVERIFY(!FormWrite(dir.filePath("Form.cfg"), t, &error) && error.contains("書式の数 51"));
        QCOMPARE(readFile(path), "old");
        QVERIFY(FormWrite(dir.filePath("Form.cfg"), twoForms(), &error));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files) == QStringList{"FORM.CFG"} && readFile(path) == kTwoForms);

        // One line per text: line breaks in a name or note become blanks, in a
        // word order "[/]".
        FormTable lines;
        lines.append({"A\r\nB", "C\nD", 2, {}, {}, {"", "[A]\r\n[T]\r[Y]\n"}});
        QVERIFY(
            FormFileBytes(lines, "form.cfg", &error)
                .value_or("")
                .startsWith("3d\r\n1\r\n==A B\r\nC D\r\n2\r\n1,1,1,1,1\r\n1,1,1,1,1\r\n[A][/][T][/][Y][/]\r\n\r\n"));
    }

    // At start-up a missing Form.cfg is copied from Form.cfx (any letter case)
    // and an existing one wins; neither file, or one too large, gives no forms.
    void startUp()
    {
        QTemporaryDir dir;
        const QString cfg = dir.filePath("Form.cfg");
        FormTable t = twoForms();
        QStringList report;
        FormRead(cfg, t, report);
        QCOMPARE(t.FormCount, 0);
        QCOMPARE(report, QStringList{"Form.cfg も既定の Form.cfx も見つかりません。書式はありません"});
        const QByteArray defaults = formFile("1", block("Default"));
        QVERIFY(writeFile(dir.filePath("FORM.CFX"), defaults));
        FormRead(cfg, t, report);
        QVERIFY(t.FormCount == 1 && readFile(cfg) == defaults);
        QVERIFY(writeFile(cfg, formFile("2", block("A") + block("B"))));
        FormRead(cfg, t, report);
        QCOMPARE(t.FormCount, 2);
        QVERIFY(QFile(cfg).resize(MaxDefinitionFileBytes + 1));
        FormRead(cfg, t, report);
        QVERIFY(t.FormCount == 0 && report.size() == 2);
        QVERIFY2(report.last().contains("が大きすぎます（上限 16777216 バイト）"), qPrintable(report.last()));
    }

    void codeLine_data()
    {
        // clang-format off
        rows::table({"line", "code", "ok"}, {
            {"3C623E ' bold", "<b>", "1"}, {"0D0A", "\r\n", "1"}, {"' 3C", "", "1"}, {"3C6", "<\x06", "1"}, // a single digit left over
            {"82A0", "あ", "1"}, {"\t3c623e\t' x", "<b>", "1"}, {"3C 62", "", "0"}, {"３Ｃ", "", "0"},
            {"82", "", "0"}, // a lead byte alone
        });
        // clang-format on
    }
    void codeLine()
    {
        bool ok = rows::number("ok") != 1; // the flag is set either way
        QCOMPARE(DecodeCodeLine(rows::text("line"), &ok), rows::text("code"));
        QCOMPARE(ok, rows::number("ok") == 1);
    }

    // The name line's first two characters choose the escaping; the name is
    // read as before. Script 2 lacks its separator line.
    void readsTheScriptLayout()
    {
        QByteArray blocks = scriptBlock("HTML") + "xxSecond" + scriptBlock("").mid(2);
        for (const char *line : {"=HPage", "=RRich", "=LTeX", "--Other"})
            blocks += line + scriptBlock("").mid(2);
        QStringList report;
        const ScriptTable t = ParseScriptFile(scriptFile("6", blocks), "s", report);
        QVERIFY(report.isEmpty() && t.ScriptCount == 6);
        QCOMPARE(t.script(1).note, "note");
        QCOMPARE(codes(t.script(1)),
                 (QStringList{"<p>", "", "<u>", "</u>", "^", "^", "_", "_", "<b>", "</b>", "\r\n"}));
        QStringList names;
        QList<TextEscape> escapes;
        for (int k = 1; k <= t.ScriptCount; ++k) {
            names << t.script(k).name;
            escapes << t.script(k).escape;
        }
        QCOMPARE(names, QStringList({"HTML", "Second", "Page", "Rich", "TeX", "Other"}));
        using enum TextEscape;
        QCOMPARE(escapes, QList<TextEscape>({None, None, Html, Rtf, Latex, None}));
        for (TextEscape e : escapes)
            QCOMPARE(EscapeOfNameLine(EscapeMarker(e) + "x"), e);
    }

    // The shipped files read without a report; the forms file is in exactly the
    // layout the program writes. (Each shipped script's lists are read back by
    // real parsers in cli/tst_cli_formats.)
    void shippedFiles()
    {
        QStringList report;
        const QByteArray bytes = readFile(TZ_SOURCE_DATA "/form.cfx");
        QString error;
        QCOMPARE(FormFileBytes(ParseFormFile(bytes, "form.cfx", report), "form.cfx", &error).value_or(""), bytes);
        const ScriptTable t = ParseScriptFile(readFile(TZ_SOURCE_DATA "/script.cfx"), "script.cfx", report);
        QVERIFY(report.isEmpty() && t.ScriptCount == 5);
        QCOMPARE(t.script(1).name + codes(t.script(1)).join(QString()), QString::fromUtf8("プレーンテキスト\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestFormFile)
#include "tst_form_file.moc"
