// Search words as bytes: a record whose decoded text holds the word must be
// found from its bytes, whichever bytes stand for the characters.
#include "common/cp932.h"
#include "search/word_bytes.h"
#include "store/record.h"

#include <QTest>

using namespace tz;

namespace {

// One record whose title holds these bytes; the memo holds "memo text".
QByteArray recordWithTitle(const QByteArray &title)
{
    Record r;
    r.Memo = QStringLiteral("memo text");
    QByteArray bytes = EncodeRecord(r);
    bytes.replace(RecordLayout::Title.offset, title.size(), title);
    return bytes;
}

bool marked(const QString &word, bool lowerCase, const QByteArray &title,
            std::vector<FieldSpan> fields = {RecordLayout::Title})
{
    const QByteArray file = EncodeRecord(Record()) + recordWithTitle(title);
    std::vector<char> marks(3, 0);
    WordBytes(word, lowerCase).markRecords(file, 2, fields, marks);
    return marks[2] == 1;
}

} // namespace

class TestWordBytes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void found_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("lowerCase");
        QTest::addColumn<QByteArray>("title");
        QTest::addColumn<bool>("expected");

        const QByteArray mixed = cp932::encode(QString::fromUtf8("Gene ＤＮＡ テスト ΣΑΣ ｶﾅ"));
        QTest::newRow("ASCII, capitals ignored") << "gene" << true << mixed << true;
        QTest::newRow("ASCII, capitals count") << "gene" << false << mixed << false;
        QTest::newRow("ASCII exact") << "Gene" << false << mixed << true;
        QTest::newRow("full-width, capitals ignored") << QString::fromUtf8("ｄｎａ") << true << mixed << true;
        QTest::newRow("full-width, capitals count") << QString::fromUtf8("ｄｎａ") << false << mixed << false;
        QTest::newRow("Greek lower-cased") << QString::fromUtf8("σασ") << true << mixed << true;
        QTest::newRow("katakana") << QString::fromUtf8("スト") << true << mixed << true;
        QTest::newRow("half-width katakana") << QString::fromUtf8("ｶﾅ") << true << mixed << true;
        QTest::newRow("not there") << "dna" << true << mixed << false;

        // Characters with two byte forms: the record may hold either.
        for (const char *pair : {"\xfa\x40", "\xee\xef", "\x87\x9a", "\xfa\x5b", "\x81\xe6"}) {
            const QByteArray bytes(pair, 2);
            QTest::addRow("form %02x%02x", uchar(bytes[0]), uchar(bytes[1]))
                << cp932::decode(bytes) << true << QByteArray("x") + bytes + "y" << true;
        }
        QTest::newRow("roman numeral by its capital")
            << cp932::decode(QByteArray("\xfa\x40", 2)) << true << QByteArray("\x87\x54", 2) << true;
    }
    void found()
    {
        QFETCH(QString, word);
        QFETCH(bool, lowerCase);
        QFETCH(QByteArray, title);
        QFETCH(bool, expected);
        const QString text = lowerCase ? cp932::decode(title).toLower() : cp932::decode(title);
        QCOMPARE(text.contains(word), expected); // what the decoded title holds
        QCOMPARE(marked(word, lowerCase, title), expected);
    }

    void onlyTheSearchedFields()
    {
        QVERIFY(!marked(QStringLiteral("memo"), true, "title", {RecordLayout::Title, RecordLayout::Keyword}));
        QVERIFY(marked(QStringLiteral("memo"), true, "title", {RecordLayout::Memo}));
        // At the very end of a field.
        QVERIFY(marked(QStringLiteral("end"), true, QByteArray(277, 'x') + "end"));
    }

    void undecidedAndNever()
    {
        QVERIFY(WordBytes(QString(QChar::ReplacementCharacter), true).undecided());
        QVERIFY(WordBytes(QString(), true).undecided());
        QVERIFY(WordBytes(QString::fromUtf8("ā"), true).never()); // no byte decodes to it
        QVERIFY(WordBytes(QString::fromUtf8("\U0001D11E"), false).never());
        QVERIFY(marked(QString(QChar::ReplacementCharacter), true, "plain"));
        QVERIFY(!marked(QString::fromUtf8("ā"), true, "plain"));
    }

    // The text is lower-cased as a whole; the bytes are read one character at
    // a time. Both agree on every character the decoder gives.
    void lowerCaseCharacterByCharacter()
    {
        QString all;
        for (int b = 0; b < 256; ++b)
            all += cp932::decode(QByteArray(1, char(b)));
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const QString c = cp932::decode(QByteArray(1, char(lead)) + char(trail));
                if (c.size() == 1)
                    all += c;
            }
        }
        QString oneByOne;
        for (QChar c : all)
            oneByOne += QString(c).toLower();
        QCOMPARE(all.toLower(), oneByOne);
        QCOMPARE(oneByOne.size(), all.size());
    }
};

QTEST_APPLESS_MAIN(TestWordBytes)
#include "tst_word_bytes.moc"
