// The shipped forms and scripts over the sample bank and a bank of awkward
// text, each list read back by a parser of its format (HTML by Python's
// html.parser, RTF by a strict reader, LaTeX by a brace and special-character
// check and by pdflatex when installed) and compared with the plain-text list;
// the encodings the command line writes; the search help, a key of a
// full-width space, and searches with no forms or no scripts.
#include "cli/cli.h"
#include "core/common/cp932.h"
#include "core/format/script_file.h"
#include "core/search/search_model.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"
#include "support/search_fixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace tz;

namespace {

const QString kForms = QStringLiteral(TZ_SOURCE_DATA "/form.cfx");
const QString kScripts = QStringLiteral(TZ_SOURCE_DATA "/script.cfx");
// Code page 932 trail bytes 5C, 7B and 7D: "\", "{" and "}" when read alone.
const QString kJapanese = QStringLiteral("ソ表能の本と図（ボマ）");

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// A command in this process.
Run runHere(const QStringList &args)
{
    std::FILE *out = std::tmpfile(), *err = std::tmpfile();
    Run r;
    r.exitCode = RunCli(QStringList{"tessellane-cli"} + args, out, err);
    auto read = [](std::FILE *f) {
        QByteArray bytes(long(std::ftell(f)), '\0');
        std::rewind(f);
        bytes.resize(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), f)));
        std::fclose(f);
        return bytes;
    };
    r.out = read(out);
    r.err = QString::fromUtf8(read(err));
    return r;
}

// The text of an HTML list by Python's parser (support/html_text.py), with
// what it found wrong.
QString htmlText(const QByteArray &bytes, QStringList &faults)
{
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral(TZ_SOURCE_DATA "/../tests/support/html_text.py")});
    p.write(bytes);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        faults << QStringLiteral("python3 failed: ") + QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (const auto f : o.value("faults").toArray())
        faults << f.toString();
    return o.value("text").toString();
}

// The plain text of an RTF document, read strictly: only ASCII bytes, groups
// balanced, one top group, every control known; \uN with its one fallback
// character, \par and \line as line ends, destinations skipped.
QString rtfText(const QByteArray &rtf, QStringList &faults)
{
    static const QRegularExpression word(QStringLiteral("\\\\([a-z]+)(-?\\d+)? ?"));
    const QString s = QString::fromLatin1(rtf);
    QString text;
    QList<bool> skip{false};
    int groups = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.unicode() >= 0x80)
            faults << QStringLiteral("raw byte at %1").arg(i);
        if (c == u'{') {
            skip.append(skip.last());
            if (++groups > 1 && skip.size() == 2)
                faults << QStringLiteral("text after the document");
        } else if (c == u'}') {
            if (skip.size() < 2)
                faults << QStringLiteral("unbalanced } at %1").arg(i);
            else
                skip.removeLast();
        } else if (c == u'\\' && i + 1 < s.size() && QStringLiteral("\\{}*").contains(s[i + 1])) {
            if (s[++i] == u'*')
                skip.last() = true;
            else if (!skip.last())
                text += s[i];
        } else if (c == u'\\') {
            const QRegularExpressionMatch m =
                word.match(s, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (!m.hasMatch()) {
                faults << QStringLiteral("bad control at %1").arg(i);
                continue;
            }
            i += m.capturedLength() - 1;
            const QString w = m.captured(1);
            if (QStringList{"fonttbl", "colortbl", "stylesheet", "info"}.contains(w))
                skip.last() = true;
            else if (skip.last())
                continue;
            else if (w == u"par" || w == u"line")
                text += u'\n';
            else if (w == u"tab")
                text += u'\t';
            else if (w == u"u") {
                text += QChar(char16_t(m.captured(2).toInt()));
                ++i; // the fallback character
            }
        } else if (!skip.last() && c != u'\r' && c != u'\n') {
            text += c;
        }
    }
    if (skip.size() != 1)
        faults << QStringLiteral("%1 groups left open").arg(skip.size() - 1);
    return text;
}

// A LaTeX list's faults: braces that do not balance, special characters
// outside commands. Gives the text with the script's commands dropped and the
// escapes read back.
QString latexText(const QString &tex, QStringList &faults)
{
    static const QRegularExpression command(QStringLiteral("\\\\([A-Za-z]+|.)"));
    // Each symbol command, then the character it writes.
    static const QStringList symbols =
        QStringLiteral("textasciitilde ~ textasciicircum ^ textbackslash \\ textless < textgreater > textbar | par \n")
            .split(u' ');
    QString text;
    int depth = 0;
    for (qsizetype i = 0; i < tex.size(); ++i) {
        const QChar c = tex[i];
        if (c == u'\\') {
            const QString name =
                command.match(tex, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption)
                    .captured(1);
            i += name.size();
            if (name.size() == 1)
                text += name;
            else if (const qsizetype at = symbols.indexOf(name); at >= 0 && at % 2 == 0)
                text += symbols[at + 1];
            else if (name == u"begin" || name == u"end")
                i = tex.indexOf(u'}', i); // the environment's name
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}') {
            if (--depth < 0)
                faults << QStringLiteral("unbalanced } at %1").arg(i);
        } else if (QStringLiteral("#$%&~^_").contains(c)) {
            faults << QStringLiteral("raw %1 at %2").arg(c).arg(i);
        } else {
            text += c;
        }
    }
    if (depth != 0)
        faults << QStringLiteral("%1 braces left open").arg(depth);
    return text;
}

// clang-format off
Record record(int style, const QString &author, const QString &title, int jp)
{
    return {qint16(style), {}, author, title, qint16(jp), "12{3}", "100", "105", 1990, "A.Ed&itor, B.Ed$",
            "Tom & Jerry's {Big} Book_2 ~ ^.", {}, 45000};
}
// clang-format on

} // namespace

class TestCliFormats : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_awkward; // records 1..6 ASCII, 7 Japanese
    ScriptTable m_scripts;
    int m_forms = 0;

    // The list of records `keys` of bank in form and script, as written to a file.
    QByteArray list(const QString &bank, const QString &keys, int form, int script, const QStringList &more = {})
    {
        const QString file = m_dir.filePath(QStringLiteral("list"));
        const Run r = runHere(QStringList{"search", bank, "--kind", "Record", "--keys", keys, "--max-hits", "32767",
                                          "--forms", kForms, "--scripts", kScripts, "--form", QString::number(form),
                                          "--script", QString::number(script), "--output", file} +
                              more);
        if (r.exitCode != 0)
            qWarning("%s", qPrintable(r.err));
        return readFile(file);
    }
    int scriptWith(TextEscape escape) const
    {
        for (int k = 1; k <= m_scripts.ScriptCount; ++k)
            if (m_scripts.script(k).escape == escape)
                return k;
        return 0;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_awkward = m_dir.filePath(QStringLiteral("awkward.bnk"));
        QCOMPARE(runHere({"new", m_awkward}).exitCode, 0);
        const QString specials = QStringLiteral("Costs & <benefits> of \"50%\" _under_ #3 $4 ~5 ^6 \\alpha {set}.");
        const QList<Record> records{
            record(1, QStringLiteral("J.O'Brien, K.Tilde~Hat^, L.Back\\Slash{x}"), specials, 3),
            record(2, QStringLiteral("A.Smith"), QStringLiteral("It's <b>not</b> bold & 100%."), 121),
            record(3, QStringLiteral("C.Wu"), QStringLiteral("\\end{flushleft} #1 $ \\\\ }{."), 122),
            record(4, QStringLiteral("D.Eve"), QStringLiteral("Report_2 |x| ^y^ @z@ *w* [/]."), 160),
            record(1, QStringLiteral("A.One, B.Two, C.Three, D.Four, E.Five, F.Six, G.Seven, H.Eight"),
                   QStringLiteral("Eight authors."), 3),
            record(1, QStringLiteral("A.Smith, B.Jones et_al"), QStringLiteral("Stored et al."), 3),
            record(1, QStringLiteral("山田ソ太郎, 表能子"), kJapanese + QStringLiteral("."), 4),
        };
        for (int n = 1; n <= records.size(); ++n)
            QVERIFY(RecWrite(m_awkward, n, records[n - 1], true));
        JPcodeTable jp = DefaultJPcodeTable();
        jp.JPname[3] = QStringLiteral("<Lett> & Rev. %_#$");
        jp.JPname[4] = QStringLiteral("表能学会誌");
        jp.JPname[121] = QStringLiteral("Leeds & Biddle");
        jp.JPname[122] = QStringLiteral("Fox, Duffield & Company");
        jp.JPname[160] = QStringLiteral("Tech. report {draft}");
        QVERIFY(JPcodeSave(QDir(m_awkward).filePath(QString(kJPcodeFileName)), jp));

        QStringList report;
        m_scripts = ParseScriptFile(readFile(kScripts), "script.cfx", report);
        QVERIFY(scriptWith(TextEscape::Html) && scriptWith(TextEscape::Rtf) && scriptWith(TextEscape::Latex));
        m_forms = ParseFormFile(readFile(kForms), "form.cfx", report).FormCount;
        QVERIFY(m_forms >= 8);
    }

    // Every form in every script: the list read back by its format's parser
    // holds the same words as the plain-text list.
    void everyFormInEveryFormat_data()
    {
        QTest::addColumn<QString>("bank");
        QTest::addColumn<int>("form");
        for (const char *bank : {"sample", "awkward"})
            for (int form = 1; form <= 8; ++form)
                QTest::addRow("%s bank, form %d", bank, form) << QString(bank) << form;
    }
    void everyFormInEveryFormat()
    {
        QFETCH(QString, bank);
        QFETCH(int, form);
        const QString path = bank == u"sample" ? QStringLiteral(TZ_SHARE_DIR "/sample.bnk") : m_awkward;
        const QString plain = QString::fromUtf8(list(path, "1-32767", form, 1));
        QVERIFY(plain.endsWith(QStringLiteral(" hits )\r\n")) && !plain.contains(QStringLiteral("..")));
        if (bank == u"awkward")
            QVERIFY(plain.contains(kJapanese) && plain.contains(QStringLiteral("Costs & <benefits>")));
        else // every symbol of the word orders put in
            QVERIFY(!plain.contains(u'['));
        for (int k = 2; k <= m_scripts.ScriptCount; ++k) {
            const QByteArray bytes = list(path, "1-32767", form, k);
            QStringList faults;
            QString text;
            switch (m_scripts.script(k).escape) {
            case TextEscape::Html:
                text = htmlText(bytes, faults);
                QVERIFY(bytes.startsWith("<!DOCTYPE html>\r\n<html>") && bytes.endsWith("</body>\r\n</html>\r\n"));
                break;
            case TextEscape::Rtf:
                text = rtfText(bytes, faults);
                break;
            case TextEscape::Latex:
                text = latexText(QString::fromUtf8(bytes), faults);
                break;
            case TextEscape::None:
                continue;
            }
            QVERIFY2(faults.isEmpty(), qPrintable(m_scripts.script(k).name + ": " + faults.join(u'\n')));
            QCOMPARE(text.simplified(), plain.simplified()); // each format breaks lines its own way
        }
    }

    // pdflatex compiles the LaTeX lists of the ASCII records, in every form
    // that writes no Japanese text of its own.
    void latexCompiles()
    {
        const QString pdflatex = QStandardPaths::findExecutable(QStringLiteral("pdflatex"));
        if (pdflatex.isEmpty())
            QSKIP("pdflatex is not installed (Debian: texlive-latex-base): the LaTeX lists were NOT compiled; "
                  "only the brace and special-character check of everyFormInEveryFormat ran");
        for (int form = 1; form <= m_forms; ++form) {
            const QString body = QString::fromUtf8(list(m_awkward, "1-6", form, scriptWith(TextEscape::Latex)));
            if (body.contains(QRegularExpression(QStringLiteral("[\\x{3000}-\\x{FFEF}]")))) {
                qInfo("form %d writes Japanese punctuation of its own: not compiled by pdflatex", form);
                continue;
            }
            QTemporaryDir dir;
            QVERIFY(
                writeFile(dir.filePath("list.tex"),
                          ("\\documentclass{article}\n\\begin{document}\n" + body + "\n\\end{document}\n").toUtf8()));
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.start(pdflatex, {"-interaction=nonstopmode", "-halt-on-error", "-no-shell-escape", "list.tex"});
            QVERIFY(p.waitForFinished(120000));
            const QByteArray logText = readFile(dir.filePath("list.log"));
            QVERIFY2(p.exitCode() == 0 && !logText.contains("Missing character"),
                     qPrintable(QStringLiteral("form %1:\n").arg(form) + QString::fromUtf8(logText.right(1500))));
        }
    }

    // The bytes of every list above are those its declaration names (the HTML
    // reader decodes by it, the RTF reader takes ASCII only, the rest is read as
    // UTF-8); --encoding chooses only where nothing is declared and is refused
    // where it contradicts the declaration.
    void encodingOption()
    {
        const QStringList search{"search", m_awkward, "--kind", "Record",    "--keys",
                                 "7",      "--forms", kForms,   "--scripts", kScripts};
        for (int k = 1; k <= m_scripts.ScriptCount; ++k) {
            const QString header = m_scripts.script(k).header;
            const QStringList script{"--script", QString::number(k), "--encoding"};
            const Run given = runHere(search + script.mid(0, 2)), utf8 = runHere(search + script << "utf8"),
                      sjis = runHere(search + script << "cp932");
            QVERIFY(given.exitCode == 0 && given.out.endsWith("\r\n") && sjis.exitCode == 0);
            if (header.contains("charset") || header.contains("ansicpg")) {
                QVERIFY2(utf8.exitCode == 2 && utf8.err.contains("contradicts"), qPrintable(utf8.err));
                QCOMPARE(sjis.out, given.out);
                QVERIFY(given.out.startsWith('{') || cp932::decode(given.out).contains(kJapanese)); // RTF: \uN?
            } else {
                QCOMPARE(utf8.out, given.out);
                QVERIFY(given.out.contains(kJapanese.toUtf8()));
                QCOMPARE(sjis.out, cp932::encode(QString::fromUtf8(given.out)));
            }
        }
    }

    void searchHelp()
    {
        const Run r = runHere({"search", "--help"});
        QCOMPARE(r.exitCode, 0);
        for (const char *option : {"--kind", "--keys", "--form", "--script", "--encoding", "Shift_JIS", "CR LF"})
            QVERIFY2(r.out.contains(option), option);
    }

    // A key of a full-width space alone is searched, by the command line as by
    // the window, with the same hits.
    void fullWidthSpaceKey()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("　"));
        QVERIFY(m.SearD_click(SearOr).show);
        const QString window = m.resultText().section(QStringLiteral("( total"), 1);
        const Run r = runHere({"search", f.session->BankPath(), "--kind", "0", "--keys", QStringLiteral("　"),
                               "--forms", kForms, "--scripts", kScripts});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out).section(QStringLiteral("( total"), 1).trimmed(), window.trimmed());
    }

    // Without forms or scripts a search says so: the window through the
    // person's messages, the command line on its error stream with status 2.
    void noFormsOrScripts()
    {
        for (const bool noForms : {true, false}) {
            SearchFixture f;
            (noForms ? f.session->forms.FormCount : f.session->scripts.ScriptCount) = 0;
            SearchModel m(*f.session);
            m.SearchSet(KindBlank);
            m.SearD_click(SearOr);
            QCOMPARE(f.ui.messages.size(), 1);
            QVERIFY(f.ui.messages[0].text.contains(noForms ? "form.cfg" : "script.cfg"));

            const QString empty = f.file(QStringLiteral("empty.cfx"));
            QVERIFY(writeFile(empty, "3d\r\n0\r\n"));
            const Run r = runHere({"search", f.session->BankPath(), "--kind", "Blank", "--forms",
                                   noForms ? empty : kForms, "--scripts", noForms ? kScripts : empty});
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains(noForms ? "no output forms" : "no scripts"), qPrintable(r.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliFormats)
#include "tst_cli_formats.moc"
