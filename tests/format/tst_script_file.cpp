#include "format/script_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

// One script block: name, note and eleven code lines; `underline` is line 5.
QByteArray block(const QByteArray &name, const QByteArray &underline = "3C753E ' <u>")
{
    return "==" + name + "\r\n note \r\n3C703E ' header\r\n' no trailer\r\n" + underline +
           "\r\n3C2F753E\r\n5E\r\n5E\r\n5F\r\n5F\r\n3C623E\r\n3C2F623E\r\n0D0A\r\n";
}

QByteArray scriptFile(const QByteArray &count, const QByteArray &blocks)
{
    return "anything\r\n" + count + "\r\n" + blocks;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const Script *findScript(const ScriptTable &t, const QString &name)
{
    for (int k = 1; k <= t.ScriptCount; ++k)
        if (t.script(k).name == name)
            return &t.script(k);
    return nullptr;
}

} // namespace

class TestScriptFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codeLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("ok");
        QTest::newRow("tag with comment") << "3C623E ' bold"
                                          << "<b>" << true;
        QTest::newRow("closing tag, blank, comment") << "3C2F623E ' </b>"
                                                     << "</b>" << true;
        QTest::newRow("CR LF") << "0D0A"
                               << "\r\n"
                               << true;
        QTest::newRow("comment only") << "' 3C"
                                      << "" << true;
        QTest::newRow("blanks only") << "   "
                                     << "" << true;
        QTest::newRow("single digit left over") << "3C6" << QString("<") + QChar(6) << true;
        QTest::newRow("double-byte pair") << "82A0" << QString::fromUtf8("あ") << true;
        QTest::newRow("lower case, tab before comment") << "\t3c623e\t' x"
                                                        << "<b>" << true;
        QTest::newRow("quote inside the comment") << "41 ' 42 ' 43"
                                                  << "A" << true;
        QTest::newRow("blank between pairs") << "3C 62"
                                             << "" << false;
        QTest::newRow("not a digit") << "3G"
                                     << "" << false;
        QTest::newRow("full-width digits") << QString::fromUtf8("３Ｃ") << "" << false;
        QTest::newRow("lead byte alone") << "82"
                                         << "" << false;
        QTest::newRow("byte of no character") << "FF"
                                              << "" << false;
    }
    void codeLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, code);
        QFETCH(bool, ok);
        bool decoded = !ok;
        QCOMPARE(DecodeCodeLine(line, &decoded), code);
        QCOMPARE(decoded, ok);
    }

    void readsTheLayout()
    {
        QStringList report;
        const ScriptTable t =
            ParseScriptFile(scriptFile("2", block("HTML") + "xx" + block("Second").mid(2)), "script.cfg", report);
        QCOMPARE(report, QStringList());
        QCOMPARE(t.ScriptCount, 2);
        const Script &s = t.script(1);
        QCOMPARE(s.name, "HTML");
        QCOMPARE(s.note, "note");
        const QStringList codes = {s.header, s.trailer, s.underlineOn, s.underlineOff, s.superOn,  s.superOff,
                                   s.subOn,  s.subOff,  s.boldOn,      s.boldOff,      s.lineBreak};
        QCOMPARE(codes, (QStringList{"<p>", "", "<u>", "</u>", "^", "^", "_", "_", "<b>", "</b>", "\r\n"}));
        QCOMPARE(t.script(2).name, "Second");
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        const QByteArray b = block("S");
        QByteArray many;
        for (int i = 0; i < 25; ++i)
            many += b;
        QTest::newRow("empty file") << QByteArray() << 0
                                    << "script.cfg: ファイルが空です。スクリプトを読み込みませんでした";
        QTest::newRow("count not a number") << scriptFile("x", b) << 0 << "スクリプトの数「x」が数値ではありません";
        QTest::newRow("negative count") << scriptFile("-1", b) << 0 << "スクリプトの数が -1 になっています";
        QTest::newRow("more than 20") << scriptFile("25", many) << 20 << "読み込めるのは 20 個までです";
        QTest::newRow("ends inside script 2")
            << scriptFile("2", b + b.left(30)) << 1
            << "ファイルがスクリプト 2 の途中で終わっています。スクリプト 2 は読み込みませんでした";
        QTest::newRow("bad code line") << scriptFile("1", block("S", "3CG2 ' <u>")) << 1
                                       << "スクリプト 1 の 5 行目（下線開始）「3CG2」は 16 進数の並びではありません。"
                                          "この符号は空にしました";
        QTest::newRow("code of no character")
            << scriptFile("1", block("S", "FF")) << 1 << "5 行目（下線開始）「FF」はシフトJIS の文字になりません";
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(QString, message);
        QStringList report;
        const ScriptTable t = ParseScriptFile(bytes, "script.cfg", report);
        QCOMPARE(t.ScriptCount, count);
        for (int k = 1; k <= count; ++k) // every kept script is whole
            QCOMPARE(t.script(k).lineBreak, "\r\n");
        QCOMPARE(report.size(), 1);
        QVERIFY2(report.first().contains(message), qPrintable(report.first()));
    }

    void startUpCopiesTheDefault()
    {
        QTemporaryDir dir;
        const QByteArray defaults = scriptFile("1", block("Plain"));
        QFile cfx(dir.filePath("SCRIPT.CFX"));
        QVERIFY(cfx.open(QIODevice::WriteOnly) && cfx.write(defaults) == defaults.size());
        cfx.close();
        ScriptTable t;
        QStringList report;
        ScriptRead(dir.filePath("Script.cfg"), t, report);
        QCOMPARE(report, QStringList());
        QCOMPARE(t.ScriptCount, 1);
        QCOMPARE(readAll(dir.filePath("Script.cfg")), defaults);
    }

    void shippedScripts()
    {
        QStringList report;
        const ScriptTable t =
            ParseScriptFile(readAll(QDir::cleanPath(TZ_TEST_DATA "/../../data/script.cfx")), "script.cfx", report);
        QCOMPARE(report, QStringList());
        QVERIFY(t.ScriptCount >= 4);
        for (int k = 1; k <= t.ScriptCount; ++k)
            QVERIFY(!t.script(k).lineBreak.isEmpty() && !t.script(k).note.isEmpty());

        const Script *plain = findScript(t, QString::fromUtf8("プレーンテキスト"));
        QVERIFY(plain && plain->header.isEmpty() && plain->boldOn.isEmpty() && plain->lineBreak == "\r\n");
        const Script *html = findScript(t, "HTML");
        QVERIFY(html && html->header.contains("<html>") && html->header.contains(QString::fromUtf8("文献リスト")));
        QVERIFY(html->trailer.trimmed().endsWith("</html>") && html->lineBreak.startsWith("<br>"));
        QCOMPARE(html->boldOn + html->superOn + html->subOn + html->underlineOn, "<b><sup><sub><u>");
        const Script *rtf = findScript(t, "RTF");
        QVERIFY(rtf && rtf->header.startsWith("{\\rtf1") && rtf->lineBreak.startsWith("\\par"));
        const QString rtfAll = rtf->header + rtf->underlineOn + rtf->underlineOff + rtf->boldOn + rtf->boldOff +
                               rtf->superOn + rtf->superOff + rtf->subOn + rtf->subOff + rtf->trailer;
        QCOMPARE(rtfAll.count('{'), rtfAll.count('}'));
        const Script *latex = findScript(t, "LaTeX");
        QVERIFY(latex && latex->boldOn == "\\textbf{" && latex->underlineOn == "\\underline{");
        QVERIFY(latex->header.contains("\\begin{flushleft}") && latex->trailer.contains("\\end{flushleft}"));
    }
};

QTEST_GUILESS_MAIN(TestScriptFile)
#include "tst_script_file.moc"
