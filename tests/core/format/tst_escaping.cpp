// What scripts make of the text between their codes: the escapings, the name
// line markers that choose them, the declared encodings, and the rendering
// rule against doubled "." and ",".
#include "core/format/render.h"
#include "core/format/script_file.h"
#include "core/format/script_output.h"
#include "support/test_rows.h"

using namespace tz;

namespace {

TextEscape escapeNamed(const QString &name)
{
    return name == u"html"    ? TextEscape::Html
           : name == u"rtf"   ? TextEscape::Rtf
           : name == u"latex" ? TextEscape::Latex
                              : TextEscape::None;
}

// Step3 of record 1 (a journal article) with one word order for every style.
QString rendered(const QString &order, const Record &rec, const Script &script)
{
    OutputForm form;
    form.author = NameRule{1, 1, 1, 1, 2};
    form.order = {"", order, order, order, order};
    JPcodeTable jp = DefaultJPcodeTable();
    jp.JPname[3] = QStringLiteral("J. Biol.");
    QList<qint16> hits{0, 1};
    const RenderContext ctx{form, script, "bank",  jp, [&](int) { return rec; }, [](int) { return QString(); },
                            0,    {},     1 << 20, {}};
    return Step3(hits, 1, ctx).section(QStringLiteral("( total"), 0, 0);
}

} // namespace

class TestEscaping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QCOMPARE(EscapeText(rows::text("text"), escapeNamed(rows::text("escape"))), rows::text("expected"));
    }

    // The name line's first two characters choose the escaping; the name is
    // read as before.
    void nameLineMarkers()
    {
        QByteArray file = "3d\r\n5\r\n";
        for (const char *line : {"==Plain", "=HPage", "=RRich", "=LTeX", "--Other"})
            file += QByteArray(line) + "\r\nnote\r\n" + QByteArray("\r\n").repeated(10) + "0D0A\r\n";
        QStringList report;
        const ScriptTable t = ParseScriptFile(file, "script.cfg", report);
        QCOMPARE(report, QStringList());
        QStringList names;
        QList<TextEscape> escapes;
        for (int k = 1; k <= t.ScriptCount; ++k) {
            names << t.script(k).name;
            escapes << t.script(k).escape;
        }
        QCOMPARE(names, QStringList({"Plain", "Page", "Rich", "TeX", "Other"}));
        QCOMPARE(escapes, QList<TextEscape>({TextEscape::None, TextEscape::Html, TextEscape::Rtf, TextEscape::Latex,
                                             TextEscape::None}));
        for (TextEscape e : escapes)
            QCOMPARE(EscapeOfNameLine(EscapeMarker(e) + "x"), e);
    }

    // Codes go out as they are, also the header and trailer; the form's own
    // text, the values and the totals line are escaped.
    void codesAreNotEscaped()
    {
        Script s{"page", {}, "<p a=\"&\">", "</p>", "<u>", "</u>", {}, {}, {}, {}, "<b>", "</b>", "<br>"};
        s.escape = TextEscape::Html;
        Record rec; // JP code 0: an empty journal name
        rec.Title = QStringLiteral("<T> & \"x\"");
        QList<qint16> hits{0, 1};
        OutputForm form;
        form.order = {"", "|[J]| & *[T]*[/]", {}, {}, {}};
        const RenderContext ctx{form, s, "b", DefaultJPcodeTable(), [&](int) { return rec; }, {}, 0, {}, 1 << 20, {}};
        QCOMPARE(Step3(hits, 1, ctx), "<p a=\"&\"><b></b> &amp; <u>&lt;T&gt; &amp; &quot;x&quot;</u><br>"
                                      "( total  1 hits )</p>");
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
        Record rec;
        rec.JPcode = 3;
        rec.Author = rows::text("author");
        rec.Title = rows::text("title");
        const Script s{"u", {}, {}, {}, "<u>", "</u>", {}, {}, {}, {}, {}, {}, {}};
        QCOMPARE(rendered(rows::text("order"), rec, s), rows::text("expected"));
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

QTEST_APPLESS_MAIN(TestEscaping)
#include "tst_escaping.moc"
