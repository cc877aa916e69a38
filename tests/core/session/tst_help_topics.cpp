// The help topics: one page per help context number that the menus and
// windows carry, each well-formed UTF-8 on its own subject, with working
// links, reachable from the contents page 9999, and copied into the build tree.

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QDir kHelpDir(QStringLiteral(TZ_SOURCE_DATA "/help"));

// The page's text, or a fault: unreadable, not UTF-8, not well-formed.
QString readPage(const QString &file, QString *fault)
{
    QFile f(kHelpDir.filePath(file));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = f.open(QIODevice::ReadOnly) ? utf8(f.readAll()) : QString();
    QXmlStreamReader xml(text);
    while (!xml.atEnd())
        xml.readNext();
    *fault = text.isEmpty() ? f.errorString() : utf8.hasError() ? QStringLiteral("not UTF-8") : xml.errorString();
    return text;
}

QStringList links(const QString &page)
{
    QStringList out;
    for (const auto &m : QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).globalMatch(page))
        out.append(m.captured(1));
    return out;
}

} // namespace

class TestHelpTopics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every help context number, with a caption its page must explain.
    void everyTopicHasItsPage_data()
    {
        QTest::addColumn<QString>("caption");
        const QString topics = QStringLiteral(
            "1010 バンク(B)|1020 文献バンクを開く(O)|1030 文献バンクを作る(N)|1040 文献バンクの複製(D)|"
            "1050 旧文献バンクからのデータ変換(C)|1060 他文献バンクからのJPコード複製(J)|2020 類似文献を調べる(S)|"
            "2030 レコード内の全データ・ペースト(V)|2040 切り抜き(T)|2050 ビープ音を出す(B)|3000 フィールド(F)|"
            "3020 単行本/モノグラフ(M)|3030 メモ(M)|3040 Van_Der_Berg|3050 キーワード|"
            "3060 JPコードは数値で入力して下さい|3070 vol|3080 1256|3090 年号は数値で入力して下さい|3100 3,5,6,9,12|"
            "4000 AND Search|4030 Title + Keyword|4080 Dbl_booked|5000 Press names|6000 Word orders|9999 目次");
        for (const QString &t : topics.split(u'|'))
            QTest::newRow(qPrintable(t.left(4) + QStringLiteral(".html"))) << t.mid(5);
    }
    void everyTopicHasItsPage()
    {
        QFETCH(QString, caption);
        const QString file = QString::fromLatin1(QTest::currentDataTag());
        QString fault, contentsFault;
        const QString page = readPage(file, &fault);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QVERIFY(page.contains(QStringLiteral("<html lang=\"ja\"")) &&
                page.contains(QStringLiteral("charset=\"utf-8\"")));
        QVERIFY(links(page).contains("help.css"));
        QVERIFY2(page.contains(caption), qPrintable(caption));
        if (file != u"9999.html") {
            QVERIFY2(links(page).contains("9999.html"), "no way back to the contents");
            QVERIFY2(links(readPage("9999.html", &contentsFault)).contains(file), "not in the contents");
        }
        for (const QString &href : links(page)) {
            const QString target = href.section(u'#', 0, 0);
            QVERIFY2(!target.contains(u':') && kHelpDir.exists(target), qPrintable(href));
        }
    }

    void buildTreeHoldsTheSamePages()
    {
        const QDir built(QStringLiteral(TZ_SHARE_DIR "/help"));
        const QStringList files = kHelpDir.entryList(QDir::Files);
        QCOMPARE(built.entryList(QDir::Files), files);
        QCOMPARE(files.filter(".html").size(), 26); // no page without a topic
        for (const QString &file : files) {
            QFile a(kHelpDir.filePath(file)), b(built.filePath(file));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(TestHelpTopics)
#include "tst_help_topics.moc"
