// The help topics: one page per help context number that the menus and
// windows carry, each well-formed UTF-8 on its own subject, with working
// links, reachable from the contents page 9999, and copied into the build tree.

#include "support/test_files.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QDir kHelpDir(QStringLiteral(TZ_SOURCE_DATA "/help"));

// The pages a page links to.
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
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString page = utf8(readFile(kHelpDir.filePath(file)));
        QVERIFY2(!page.isEmpty() && !utf8.hasError(), "unreadable or not UTF-8");
        QXmlStreamReader xml(page);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(page.contains("<html lang=\"ja\"") && page.contains("charset=\"utf-8\"") &&
                links(page).contains("help.css"));
        QVERIFY2(page.contains(caption), qPrintable(caption));
        QVERIFY2(file == u"9999.html" ||
                     (links(page).contains("9999.html") &&
                      links(QString::fromUtf8(readFile(kHelpDir.filePath("9999.html")))).contains(file)),
                 "no way to and from the contents");
        for (const QString &href : links(page))
            QVERIFY2(!href.contains(u':') && kHelpDir.exists(href.section(u'#', 0, 0)), qPrintable(href));
    }

    // No page without a topic; the build tree holds the same files.
    void buildTreeHoldsTheSamePages()
    {
        const QDir built(QStringLiteral(TZ_SHARE_DIR "/help"));
        const QStringList files = kHelpDir.entryList(QDir::Files);
        QVERIFY(built.entryList(QDir::Files) == files && files.filter(".html").size() == 26);
        for (const QString &file : files)
            QVERIFY2(readFile(kHelpDir.filePath(file)) == readFile(built.filePath(file)), qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(TestHelpTopics)
#include "tst_help_topics.moc"
