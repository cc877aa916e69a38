// The reference-list formats: the form and script files, author and editor
// lists written by the name rules, and hit lists rendered as reference lists.
// (Whole lists in every shipped form and script are read back by real parsers
// in cli/tst_cli.)
#include "core/format/definition_file.h"
#include "core/format/form_file.h"
#include "core/format/name_list.h"
#include "core/format/render.h"
#include "core/format/script_file.h"
#include "core/format/script_output.h"
#include "core/store/record.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
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

// The four test persons as stored: initials, no initials, a generation suffix,
// a Japanese name. Below, the first and the third written in each name style
// 1..14, by hand from the style tables: the separator after each initial, the
// order of surname and initials, the suffix moved to the end. In every style
// the second is "Van Der Berg" ("_" written as a blank) and the fourth as
// stored. The first and the second person styles share this table.
const char *const kPersons[4] = {"J.R.Smith", "Van_Der_Berg", "J.Smith_Jr", "山田太郎"};
// clang-format off
const char *const kWritten[15][2] = {{},
    {"Smith, J. R.", "Smith, J. Jr"}, {"Smith, J.R.", "Smith, J. Jr"}, {"Smith, J R", "Smith, J Jr"},
    {"Smith, JR", "Smith, J Jr"}, {"Smith J. R.", "Smith J. Jr"}, {"Smith J.R.", "Smith J. Jr"},
    {"Smith J R", "Smith J Jr"}, {"Smith JR", "Smith J Jr"}, {"Smith-JR", "Smith-J Jr"},
    {"J. R. Smith", "J. Smith Jr"}, {"J.R. Smith", "J. Smith Jr"}, {"J R Smith", "J Smith Jr"},
    {"JR Smith", "J Smith Jr"}, {"J.R.Smith", "J.Smith Jr"}};
// clang-format on

NameRule rule(int first, int second, int punctures, int etAl, int capitalize)
{
    return NameRule{qint16(first), qint16(second), qint16(punctures), qint16(etAl), qint16(capitalize)};
}

QString format(const QString &list, const NameRule &r)
{
    return NameListFormat(NameListParse(list), r);
}

// "P1..Pn" written out as "P1, P2, ..., Pn".
QString expand(QString s)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("P1\\.\\.P(\\d+)")).match(s);
    QStringList persons;
    for (int i = 1; m.hasMatch() && i <= m.captured(1).toInt(); ++i)
        persons.append(QStringLiteral("P%1").arg(i));
    return m.hasMatch() ? s.replace(m.capturedStart(), m.capturedLength(), persons.join(QStringLiteral(", "))) : s;
}

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
                                readLinks, 0,      {},       capacity, {},
                                {},        {}};
        const QString text = Step3(hits, int(hits.size() - 1), ctx);
        if (sorted)
            *sorted = hits.mid(1);
        return text;
    }
};

} // namespace

class TestFormat : public QObject
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
    // real parsers in cli/tst_cli.)
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

    // Every pair of first and second person styles; each test person in the first
    // and in a later place.
    void personStyles_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        for (int f = 1; f <= 14; ++f)
            for (int s = 1; s <= 14; ++s)
                QTest::addRow("first %d second %d", f, s) << f << s;
    }
    void personStyles()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        const NameRule r = rule(first, second, 1, 1, 2);
        const auto stored = [](int p) { return QString::fromUtf8(kPersons[p]); };
        const auto written = [](int style, int p) {
            return QString::fromUtf8(p == 1 ? "Van Der Berg" : p == 3 ? "山田太郎" : kWritten[style][p / 2]);
        };
        for (int a = 0; a < 4; ++a) {
            const int b = (a + 1) % 4;
            // Only a Japanese first person takes ", " before the last person.
            const QString joiner = a == 3 ? QStringLiteral(", ") : QStringLiteral(" and ");
            QCOMPARE(format(stored(a) + ", " + stored(b), r), written(first, a) + joiner + written(second, b));
        }
        QCOMPARE(format(stored(0) + ", " + stored(2) + ", " + stored(1), r),
                 written(first, 0) + ", " + written(second, 2) + " and " + written(second, 1));
    }

    // Lists written by a rule given as in the form file: first person style,
    // second person style, punctures, et al, capitalize. "P1..Pn" stands for
    // the persons "P1, P2, ..., Pn".
    void written_data()
    {
        // clang-format off
        rows::table({"rule", "list", "expected"}, {
            // Suffixes of the written table move behind the initials, in the
            // table's order, only when they end a word; "_" is written as a blank.
            {"1,1,1,1,2", "H.Ford_III", "Ford, H. III"}, {"1,1,1,1,2", "J.Smith_Jr_III", "Smith, J. III Jr"},
            {"1,1,1,1,2", "J.Doe_2nd", "Doe 2nd, J."}, {"1,1,1,1,2", "J.St_Ives", "St Ives, J."},
            {"1,1,1,1,2", "A.Van_Der_Berg", "Van Der Berg, A."},
            {"0,1,1,1,2", "J.R.Smith_Jr", "J.R.Smith Jr"}, // outside 1..14: as stored
            // Upper-cased surnames, only by 1.
            {"10,10,1,1,1", "j.r.smith", "j. r. SMITH"}, {"1,1,1,1,1", "J.Smith_Jr", "SMITH, J. JR"},
            {"10,10,1,1,0", "J.R.smith", "J. R. smith"},
            // All persons, the 31st and later dropped; a list marked et al. ends in the et-al text.
            {"1,1,1,1,2", "P1..P33 et_al", "P1..P30 et al."}, {"1,1,1,1,2", "P1 et_al", "P1 et al."},
            // The first person only; outside 1..14 nothing.
            {"1,1,1,2,2", "P1..P3 et_al", "P1"}, {"1,1,1,0,2", "P1..P3", ""},
            // The first person and a closing word from three persons on; shorter lists in full.
            {"1,1,1,3,2", "P1..P3", "P1 et al."}, {"1,1,1,4,2", "P1..P3", "P1 and others"},
            {"1,1,1,5,2", "P1..P10", "P1 and other(9)s"}, {"1,1,1,6,2", "P1..P3", "P1 and other 2 members"},
            {"1,1,1,6,2", "P1..P2", "P1 and P2"},
            // Six persons and a closing word counting the persons left out, from seven on.
            {"1,1,1,7,2", "P1..P7", "P1..P6 et al."}, {"1,1,1,10,2", "P1..P6", "P1, P2, P3, P4, P5 and P6"},
            // Twenty-four persons, the last one and a closing word, from twenty-six on.
            {"1,1,1,13,2", "P1..P30", "P1..P24 and P30 and other(5)s"}, {"1,1,1,12,2", "P1..P25", "P1..P24 and P25"},
            // After a Japanese name the last person takes the plain joiner; the et-al mark is kept.
            {"1,1,6,1,2", "山田太郎, 鈴木一郎", "山田太郎; 鈴木一郎"}, {"1,1,1,1,2", "J.Smith, 山田太郎", "Smith, J. and 山田太郎"},
            {"1,1,1,1,2", "山田太郎, 鈴木一郎, J.Smith", "山田太郎, 鈴木一郎, Smith, J."},
            {"1,1,1,1,2", "山田太郎, 鈴木一郎 et_al", "山田太郎, 鈴木一郎 et al."}, {"1,1,1,1,2", "山田_太郎", "山田_太郎"},
            // Each punctures value: the last joiner and the et-al text; outside 1..6 as 5.
            {"1,1,2,1,2", "P1..P3", "P1, P2, and P3"}, {"1,1,2,1,2", "P1..P3 et_al", "P1, P2, P3, et al."},
            {"1,1,3,1,2", "P1..P3", "P1, P2 & P3"}, {"1,1,4,4,2", "P1..P3", "P1, & others"},
            {"1,1,6,1,2", "P1..P3", "P1; P2; P3"}, {"1,1,6,1,2", "P1..P3 et_al", "P1; P2; P3; et al."},
            {"1,1,0,1,2", "P1..P3", "P1, P2, P3"}, {"1,1,0,1,2", "P1 et_al", "P1, et al."},
        });
        // clang-format on
    }
    void written()
    {
        const QStringList v = rows::text("rule").split(u',');
        const NameRule r = rule(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt());
        QCOMPARE(format(expand(rows::text("list")), r), expand(rows::text("expected")));
    }

    void modesAndSortKey()
    {
        const NameRule author = rule(1, 10, 1, 1, 2), editor = rule(14, 14, 3, 1, 1);
        QStringList modes;
        for (int mode : {1, 2, 0, 4})
            modes << NameListFormat(QStringLiteral("J.R.Smith, A.B.Jones"), mode, author, editor);
        QCOMPARE(modes, QStringList({"Smith, J. R. and A. B. Jones", "J.R.SMITH & A.B.JONES", "", ""}));

        // Mode 3, the sort key, ignores both rules: every person as "Smith JR",
        // all persons joined by ", ", no upper-casing.
        QStringList keys;
        for (const char *stored : {"J.R.Smith, A.B.Jones", "J.Smith_Jr, Van_Der_Berg", "j.smith", "山田太郎, 鈴木一郎",
                                   "J.Smith, A.Jones et_al", ""})
            keys.append(NameListFormat(QString::fromUtf8(stored), 3, rule(10, 10, 6, 2, 1), editor));
        QCOMPARE(keys, QStringList({"Smith JR, Jones AB", "Smith J Jr, Van Der Berg", "smith j", "山田太郎, 鈴木一郎",
                                    "Smith J, Jones A, et al.", ""}));
    }

    void wholeLists()
    {
        Bank bank;
        bank.records[5] = journal(QStringLiteral("J.Smith, A.Jones"), QStringLiteral("Gene *maps"), 1990);
        bank.records[9] = journal(QStringLiteral("K.Lee"), QStringLiteral("A |bar| title"), 0, 0);
        bank.records[9].Volume = QStringLiteral("  7 ");
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

    // The small text routines, one row each: the routine, the text given,
    // what else it takes, and its result.
    //  code: a script's code line, whether it reads ("1"), the code;
    //  normalize: a typed name list, -, the list as stored, which comes back
    //   unchanged (checking a record twice changes nothing);
    //  parse: a stored list, -, its persons joined by " | ", each "J,R/Smith"
    //   (the initial pieces, "/", the surname) or "=text" for a person kept
    //   as stored, "+et al" at the end for a list marked et al;
    //  markup: a text with "*" marks, the codes "open|close", the text;
    //  escape: a text, the escaping, the escaped text;
    //  declared: a script's header, -, the encoding it declares.
    void textRoutines_data()
    {
        rows::table({"routine", "text", "with", "expected"}, {});
        // clang-format off
        rows::group("code", {
            {"3C623E ' bold", "1", "<b>"}, {"0D0A", "1", "\r\n"}, {"' 3C", "1", ""}, {"3C6", "1", "<\x06"}, // a single digit left over
            {"82A0", "1", "あ"}, {"\t3c623e\t' x", "1", "<b>"}, {"3C 62", "0", ""}, {"３Ｃ", "0", ""},
            {"82", "0", ""}, // a lead byte alone
        });
        rows::group("normalize", {
            {"J. R. Smith, A. B. Jones and C. Brown", "", "J.R.Smith, A.B.Jones, C.Brown"},
            // Particles and et al, hyphenated or not; full-width separators become ", ".
            {"J.Le-Blanc, M.St-Pierre, A.Van-Der-Berg, P.De-Vries et-al", "", "J.Le_Blanc, M.St_Pierre, A.Van_Der_Berg, P.De_Vries et_al"},
            {"J. Le Carre, M. St John, P. De Vries, A.B.Van Der Berg et al.", "", "J.Le_Carre, M.St_John, P.De_Vries, A.B.Van_Der_Berg et_al."},
            {"山田太郎；鈴木一郎，佐藤花子：田中、J. Smith", "", "山田太郎, 鈴木一郎, 佐藤花子, 田中, J.Smith"},
            // Generation suffixes; one typed as an item of its own stays one, for every person.
            {"J.Smith-Jr., A.Doe-Sr, John Smith Jr., H.Ford III", "", "J.Smith_Jr, A.Doe_Sr, John Smith_Jr, H.Ford_III"},
            {"J.Smith, Jr., A.Jones, Jr.", "", "J.Smith,Jr, A.Jones,Jr"},
            // Word replacements take whole words only.
            {"R. Srinivasan, A. IVANOV, A. andersen, J. McDe Smith", "", "R.Srinivasan, A.IVANOV, A.andersen, J.McDe Smith"},
            // Person separators.
            {"A.Smith/B.Jones;C.Brown", "", "A.Smith,B.Jones,C.Brown"}, {"A.Smith & B.Jones", "", "A.Smith, B.Jones"},
            {"A.Smith&&, B.Jones", "", "A.Smith, B.Jones"}, {"J.Smith, and A.Jones", "", "J.Smith, A.Jones"},
            {"A, , , B,,,C", "", "A, B,C"}, {"A.Smith and", "", "A.Smith"}, {"A.Smith, B.Jones,,  ", "", "A.Smith, B.Jones"},
            {"  J.Smith", "", "  J.Smith"},
        });
        rows::group("parse", {
            {",.", "", ""}, {"J.R.Smith", "", "J,R/Smith"}, {"John", "", "/John"},
            {"J.", "", "/J"}, // the list's closing dot goes first
            {"John Ronald Smith", "", "J,R/Smith"}, {"Jo.Smith", "", "Jo/Smith"}, {"J.Smith,,A.Jones", "", "J/Smith | / | A/Jones"},
            {", et_al", "", " +et al"}, {"et_al", "", "/et_al"}, {"山田 太郎, J.Smith, 鈴木一郎 et_al", "", "=山田 太郎 | J/Smith | =鈴木一郎 +et al"},
        });
        rows::group("markup", {
            {"a *b* c", "<u>|</u>", "a <u>b</u> c"}, {"abc", "<u>|</u>", "abc"},
            {"*a* *b", "<u>|</u>", "<u>a</u> <u>b</u>"}, // odd mark: closed at the very end
            {"ab*", "<u>|</u>", "ab<u></u>"}, {"*a*b", "|", "ab"},
            // The search goes on one past where an empty code was put: the
            // mark right after it is passed over.
            {"**a", "|", "*a"},
            // Codes are never searched for marks: no endless replacing.
            {"*a*", "*|*", "*a*"}, {"*a* b", "**|**", "**a** b"}, {"*a*", "x*|y", "x*ay"},
        });
        rows::group("escape", {
            {"a&<b> \\{x}%", "none", "a&<b> \\{x}%"},
            {"R&D <Lett> \"q\" it's", "html", "R&amp;D &lt;Lett&gt; &quot;q&quot; it&#39;s"},
            // Code page 932 holds Japanese; what it cannot hold becomes a reference.
            {"ソ表能 é 😀", "html", "ソ表能 &#233; &#128512;"},
            {"\\alpha {set}", "rtf", "\\\\alpha \\{set\\}"},
            // Every character outside ASCII as \uN? with N signed: no raw byte
            // (ソ is 83 5C in code page 932) can end a group or start a command.
            {"ソ表 é", "rtf", "\\u12477?\\u-30616? \\u233?"},
            {"a\tb\r\nc\nd", "rtf", "a\\tab b\\line c\\line d"},
            {"# $ % & _ { }", "latex", "\\# \\$ \\% \\& \\_ \\{ \\}"},
            {"~^\\<>|", "latex", "\\textasciitilde{}\\textasciicircum{}\\textbackslash{}\\textless{}\\textgreater{}\\textbar{}"},
        });
        rows::group("declared", {
            {"<meta charset=\"Shift_JIS\">", "", "cp932"}, {"<meta charset=windows-31j>", "", "cp932"},
            {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "", "utf8"},
            {"<?xml version=\"1.0\" encoding='UTF-8'?>", "", "utf8"}, {"{\\rtf1\\ansi\\ansicpg932\\deff0", "", "cp932"},
            {"<meta charset=\"EUC-JP\">", "", "other"}, {"\\begin{flushleft}", "", "none"}, {"", "", "none"},
        });
        // clang-format on
    }
    void textRoutines()
    {
        const QString routine = rows::text("routine"), text = rows::text("text"), with = rows::text("with");
        QString result;
        if (routine == u"code") {
            bool ok = with != u"1"; // the flag is set either way
            result = DecodeCodeLine(text, &ok);
            QCOMPARE(ok, with == u"1");
        } else if (routine == u"normalize") {
            result = NameListNormalize(text);
            QCOMPARE(NameListNormalize(result), result);
        } else if (routine == u"parse") {
            const ParsedNameList list = NameListParse(text);
            QStringList persons;
            for (const ParsedPerson &p : list.persons)
                persons.append(p.kept ? u'=' + p.stored : p.initials().join(u',') + u'/' + p.surname().toString());
            result = persons.join(QStringLiteral(" | ")) + (list.etAl ? " +et al" : "");
        } else if (routine == u"markup") {
            result = MarkupPair(text, "*", with.section(u'|', 0, 0), with.section(u'|', 1));
        } else if (routine == u"escape") {
            result = EscapeText(text, TextEscape(QStringList({"none", "html", "rtf", "latex"}).indexOf(with)));
        } else {
            result = QStringList({"none", "cp932", "utf8", "other"})[int(DeclaredEncodingOf(text))];
        }
        QCOMPARE(result, rows::text("expected"));
    }
};

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
