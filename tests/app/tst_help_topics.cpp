// The help topics: one page per help context number that the menus and
// windows carry, each well-formed, on its own subject, with working links,
// and all reachable from the contents page 9999.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QSet>
#include <QStringDecoder>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kHelpDir = QStringLiteral(TZ_DATA_DIR "/help");
const QString kBuiltHelpDir = QStringLiteral(TZ_SHARE_DIR "/help");

// Every help context number, with a caption its page must explain.
const QList<std::pair<int, QString>> &topics()
{
    static const QList<std::pair<int, QString>> list{
        {1010, QStringLiteral("バンク(B)")},                         // bank menu title
        {1020, QStringLiteral("文献バンクを開く(O)")},               // mnuBO
        {1030, QStringLiteral("文献バンクを作る(N)")},               // mnuBN
        {1040, QStringLiteral("文献バンクの複製(D)")},               // mnuBD
        {1050, QStringLiteral("旧文献バンクからのデータ変換(C)")},   // mnuBC
        {1060, QStringLiteral("他文献バンクからのJPコード複製(J)")}, // mnuBJ
        {2020, QStringLiteral("類似文献を調べる(S)")},               // mnuRL, mnuRP1, mnuRP2, mnuRS
        {2030, QStringLiteral("レコード内の全データ・ペースト(V)")}, // record menu
        {2040, QStringLiteral("切り抜き(T)")},                       // edit menu
        {2050, QStringLiteral("ビープ音を出す(B)")},                 // option menu
        {3000, QStringLiteral("フィールド(F)")},                     // field menu title
        {3020, QStringLiteral("単行本/モノグラフ(M)")},              // style submenu
        {3030, QStringLiteral("メモ(M)")},                           // mnuFM
        {3040, QStringLiteral("Van_Der_Berg")},                      // mnuFA, mnuFE
        {3050, QStringLiteral("キーワード")},                        // mnuFT, mnuFB, mnuFK
        {3060, QStringLiteral("JPコードは数値で入力して下さい")},    // mnuFJ
        {3070, QStringLiteral("vol")},                               // mnuIV
        {3080, QStringLiteral("1256")},                              // mnuFP
        {3090, QStringLiteral("年号は数値で入力して下さい")},        // mnuFY
        {3100, QStringLiteral("3,5,6,9,12")},                        // mnuFL
        {4000, QStringLiteral("AND Search")},                        // search menu title
        {4030, QStringLiteral("Title + Keyword")},                   // word and number search items
        {4080, QStringLiteral("Dbl_booked")},                        // mnuSR, mnuSB, mnuSD
        {5000, QStringLiteral("Press names")},                       // mnuOJ: the JP code editor
        {6000, QStringLiteral("Word orders")},                       // mnuOR: the form editor
        {9999, QStringLiteral("目次")},                              // help contents
    };
    return list;
}

QString pageName(int number)
{
    return QString::number(number) + QStringLiteral(".html");
}

// What a page holds, as far as the tests look.
struct Page
{
    QString error; // the first fault found while reading
    QString title;
    QString lang;
    bool utf8Meta = false;
    QStringList links;  // href of <a>
    QStringList styles; // href of <link rel="stylesheet">
    QString text;       // all character data
};

Page readPage(const QString &path)
{
    Page page;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        page.error = f.errorString();
        return page;
    }
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(bytes);
    if (utf8.hasError()) {
        page.error = QStringLiteral("not UTF-8");
        return page;
    }
    QXmlStreamReader xml(decoded);
    QStringList open;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString name = xml.name().toString();
            open.append(name);
            const auto attrs = xml.attributes();
            if (name == u"html")
                page.lang = attrs.value(QStringLiteral("lang")).toString();
            else if (name == u"meta" &&
                     attrs.value(QStringLiteral("charset")).compare(u"utf-8", Qt::CaseInsensitive) == 0)
                page.utf8Meta = true;
            else if (name == u"a" && attrs.hasAttribute(QStringLiteral("href")))
                page.links.append(attrs.value(QStringLiteral("href")).toString());
            else if (name == u"link" && attrs.value(QStringLiteral("rel")) == u"stylesheet")
                page.styles.append(attrs.value(QStringLiteral("href")).toString());
        } else if (xml.isEndElement()) {
            open.removeLast();
        } else if (xml.isCharacters()) {
            if (!open.isEmpty() && open.last() == u"title")
                page.title += xml.text();
            page.text += xml.text();
        }
    }
    if (xml.hasError())
        page.error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(xml.errorString());
    return page;
}

} // namespace

class TestHelpTopics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTopicHasItsPage_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("caption");
        for (const auto &[number, caption] : topics())
            QTest::newRow(qPrintable(pageName(number))) << number << caption;
    }

    void everyTopicHasItsPage()
    {
        QFETCH(int, number);
        QFETCH(QString, caption);
        const Page page = readPage(QDir(kHelpDir).filePath(pageName(number)));
        QVERIFY2(page.error.isEmpty(), qPrintable(page.error));
        QVERIFY(!page.title.trimmed().isEmpty());
        QCOMPARE(page.lang, "ja");
        QVERIFY(page.utf8Meta);
        QCOMPARE(page.styles, QStringList{"help.css"});
        QVERIFY2(page.text.contains(caption), qPrintable(caption));
        if (number != 9999)
            QVERIFY2(page.links.contains("9999.html"), "no way back to the contents");
    }

    void linksReachExistingPages()
    {
        const QDir dir(kHelpDir);
        const QStringList files = dir.entryList({"*.html"}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files) {
            const Page page = readPage(dir.filePath(file));
            QVERIFY2(page.error.isEmpty(), qPrintable(file + QStringLiteral(": ") + page.error));
            for (const QString &href : page.links) {
                const QString target = href.section(u'#', 0, 0);
                QVERIFY2(!target.contains(u':') && !target.isEmpty(), qPrintable(file + QStringLiteral(": ") + href));
                QVERIFY2(dir.exists(target), qPrintable(file + QStringLiteral(": ") + href));
            }
            for (const QString &href : page.styles)
                QVERIFY2(dir.exists(href), qPrintable(file + QStringLiteral(": ") + href));
        }
    }

    void noPageWithoutATopic()
    {
        QSet<QString> known;
        for (const auto &[number, caption] : topics())
            known.insert(pageName(number));
        const QStringList files = QDir(kHelpDir).entryList({"*.html"}, QDir::Files);
        for (const QString &file : files)
            QVERIFY2(known.contains(file), qPrintable(file));
    }

    void contentsLinksEveryTopic()
    {
        const Page contents = readPage(QDir(kHelpDir).filePath(pageName(9999)));
        QVERIFY(contents.error.isEmpty());
        for (const auto &[number, caption] : topics())
            if (number != 9999)
                QVERIFY2(contents.links.contains(pageName(number)), qPrintable(pageName(number)));
    }

    void titlesDifferFromPageToPage()
    {
        QMap<QString, int> seen;
        for (const auto &[number, caption] : topics()) {
            const QString title = readPage(QDir(kHelpDir).filePath(pageName(number))).title;
            QVERIFY2(!seen.contains(title), qPrintable(QStringLiteral("%1 and %2").arg(seen.value(title)).arg(number)));
            seen.insert(title, number);
        }
    }

    void buildTreeHoldsTheSamePages()
    {
        const QDir source(kHelpDir);
        const QStringList files = source.entryList(QDir::Files);
        QCOMPARE(QDir(kBuiltHelpDir).entryList(QDir::Files), files);
        for (const QString &file : files) {
            QFile a(source.filePath(file));
            QFile b(QDir(kBuiltHelpDir).filePath(file));
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QVERIFY2(a.readAll() == b.readAll(), qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(TestHelpTopics)
#include "tst_help_topics.moc"
