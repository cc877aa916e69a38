// The code page 932 codec: the Linux and Windows forms of six characters, bytes
// that do not decode, characters that cannot be encoded, fixed-width fields.

#include "common/cp932.h"

#include <QtTest>

using namespace tz;

class TestCp932 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linuxAndWindowsFormsShareBytes_data()
    {
        QTest::addColumn<QString>("linuxForm");
        QTest::addColumn<QString>("windowsForm");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash") << QStringLiteral("\u301C") << QStringLiteral("\uFF5E") << QByteArray("\x81\x60");
        QTest::newRow("double bar") << QStringLiteral("\u2016") << QStringLiteral("\u2225") << QByteArray("\x81\x61");
        QTest::newRow("minus") << QStringLiteral("\u2212") << QStringLiteral("\uFF0D") << QByteArray("\x81\x7C");
        QTest::newRow("cent") << QStringLiteral("\u00A2") << QStringLiteral("\uFFE0") << QByteArray("\x81\x91");
        QTest::newRow("pound") << QStringLiteral("\u00A3") << QStringLiteral("\uFFE1") << QByteArray("\x81\x92");
        QTest::newRow("not") << QStringLiteral("\u00AC") << QStringLiteral("\uFFE2") << QByteArray("\x81\xCA");
    }
    void linuxAndWindowsFormsShareBytes()
    {
        QFETCH(QString, linuxForm);
        QFETCH(QString, windowsForm);
        QFETCH(QByteArray, bytes);
        bool lossy = false;
        QCOMPARE(cp932::encode(linuxForm, &lossy), bytes);
        QCOMPARE(cp932::encode(windowsForm, &lossy), bytes);
        QVERIFY(!lossy);
        QCOMPARE(cp932::decode(bytes), windowsForm);
        QCOMPARE(cp932::charBytes(linuxForm[0].unicode()), 2);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii and kana") << QByteArray("a\xB1\x82\xA0") << QStringLiteral("aｱあ");
        QTest::newRow("trail byte 0x5C") << QByteArray("\x95\x5C\\") << QStringLiteral("表\\");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
        QTest::newRow("lone lead byte at end") << QByteArray("ab\x82") << QStringLiteral("ab\uFFFD");
        QTest::newRow("lead byte before a non-trail") << QByteArray("\x82 x") << QStringLiteral("\uFFFD x");
        QTest::newRow("bytes outside the code page")
            << QByteArray("\x80\xA0\xFD\xFE\xFFz") << QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz");
        QTest::newRow("unassigned pair") << QByteArray("\x85\x40!") << QStringLiteral("\uFFFD@!");
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
    }

    void unencodableBecomesQuestionMark()
    {
        bool lossy = false;
        QCOMPARE(cp932::encode(QStringLiteral("a\u00E9b"), &lossy), QByteArray("a?b"));
        QVERIFY(lossy);
        lossy = false;
        QCOMPARE(cp932::encode(QStringLiteral("x\U0001F600y"), &lossy), QByteArray("x?y")); // one "?" per pair
        QVERIFY(lossy);
        QCOMPARE(cp932::encodedLength(QStringLiteral("x\U0001F600y")), 3);
        lossy = true; // a clean text leaves the flag alone
        QCOMPARE(cp932::encode(QStringLiteral("研究ｱ"), &lossy), QByteArray("\x8C\xA4\x8B\x86\xB1"));
        QVERIFY(lossy);
        lossy = false;
        cp932::encode(QStringLiteral("研究ｱ"), &lossy);
        QVERIFY(!lossy);
    }

    void encodeFixed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("padded") << QStringLiteral("ab") << 4 << QByteArray("ab  ");
        QTest::newRow("cut") << QStringLiteral("abcdef") << 3 << QByteArray("abc");
        QTest::newRow("double byte fits") << QStringLiteral("あい") << 4 << QByteArray("\x82\xA0\x82\xA2");
        QTest::newRow("double byte would split") << QStringLiteral("あい") << 3 << QByteArray("\x82\xA0 ");
        QTest::newRow("after a single byte") << QStringLiteral("aあ") << 2 << QByteArray("a ");
        QTest::newRow("nothing fits") << QStringLiteral("あ") << 1 << QByteArray(" ");
        QTest::newRow("zero width") << QStringLiteral("abc") << 0 << QByteArray();
        QTest::newRow("empty") << QString() << 2 << QByteArray("  ");
    }
    void encodeFixed()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp932::encodeFixed(text, width), bytes);
        QByteArray buffer(width + 2, '#');
        cp932::encodeFixedInto(text, buffer.data() + 1, width);
        QCOMPARE(buffer, '#' + bytes + '#'); // exactly width bytes written
    }

    void encodedLength()
    {
        QCOMPARE(cp932::encodedLength(QStringLiteral("aあｱ〜")), 6);
        QCOMPARE(cp932::encodedLength(QString()), 0);
    }

    // The record scans rely on these: padding blanks can be cut off as bytes,
    // and an ASCII character in decoded text always stands for its own byte.
    void blanksAndAsciiComeOnlyFromTheirOwnByte()
    {
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = cp932::decode(QByteArray(1, char(b)));
            QCOMPARE(c.size(), 1);
            QVERIFY2(c[0].unicode() >= 0x80, qPrintable(QString::number(b, 16)));
        }
        int pairs = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0; trail <= 0xFF; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                const QString c = cp932::decode(QByteArrayView(bytes, 2));
                if (c.size() != 1)
                    continue; // not a pair: each byte on its own, as above
                ++pairs;
                if (c[0].unicode() < 0x80)
                    QFAIL(qPrintable(QStringLiteral("%1 %2").arg(lead, 0, 16).arg(trail, 0, 16)));
            }
        }
        QVERIFY(pairs > 7000);
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
