// The classic conversions: leading numeric value, "is numeric", 16-bit
// conversion with round half to even and overflow report, trimming.

#include "common/basic.h"

#include <QtTest>
#include <limits>

using namespace tz;
using namespace Qt::StringLiterals;

class TestBasic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("integer") << u"123"_s << 123.0 << true;
        QTest::newRow("blanks around") << u"  42 "_s << 42.0 << true;
        QTest::newRow("trailing letters") << u"12abc"_s << 12.0 << false;
        QTest::newRow("sign and fraction") << u"-3.5"_s << -3.5 << true;
        QTest::newRow("leading point") << u".5"_s << 0.5 << true;
        QTest::newRow("exponent") << u"1.5E3"_s << 1500.0 << true;
        QTest::newRow("D exponent") << u"2d2"_s << 200.0 << true;
        QTest::newRow("exponent without digits") << u"1e"_s << 1.0 << false;
        QTest::newRow("second point stops") << u"1.2.3"_s << 1.2 << false;
        QTest::newRow("no number") << u"abc"_s << 0.0 << false;
        QTest::newRow("point only") << u"."_s << 0.0 << false;
        QTest::newRow("empty") << u""_s << 0.0 << false;
        QTest::newRow("overflow gives 0") << u"1e999"_s << 0.0 << false;
        QTest::newRow("full-width digits") << u"１２"_s << 0.0 << false;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, numeric);
        QCOMPARE(Val(text), value);
        QCOMPARE(IsNumeric(text), numeric);
    }

    void toInt16_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<int>("result");
        QTest::newRow("2.5 to even") << 2.5 << true << 2;
        QTest::newRow("3.5 to even") << 3.5 << true << 4;
        QTest::newRow("-2.5 to even") << -2.5 << true << -2;
        QTest::newRow("32767.4") << 32767.4 << true << 32767;
        QTest::newRow("32767.5 overflows") << 32767.5 << false << 0;
        QTest::newRow("-32768") << -32768.0 << true << -32768;
        QTest::newRow("-32768.5 to even") << -32768.5 << true << -32768;
        QTest::newRow("-32769") << -32769.0 << false << 0;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    }
    void toInt16()
    {
        QFETCH(double, value);
        QFETCH(bool, fits);
        QFETCH(int, result);
        const std::optional<qint16> v = ToInt16(value);
        QCOMPARE(v.has_value(), fits);
        if (fits)
            QCOMPARE(int(*v), result);
    }

    void roundClamp()
    {
        QCOMPARE(RoundClamp(4.5, 0, 10), 4);
        QCOMPARE(RoundClamp(1e300, 0, 10), 10);
        QCOMPARE(RoundClamp(-1e300, 0, 10), 0);
        QCOMPARE(RoundClamp(std::numeric_limits<double>::quiet_NaN(), 3, 10), 3);
    }

    void trimsBlanksOnly()
    {
        QCOMPARE(Trim(u"  a b  "), QStringLiteral("a b"));
        QCOMPARE(Trim(u"\tx\t"), QStringLiteral("\tx\t"));
        QCOMPARE(Trim(u"　x"), QStringLiteral("　x")); // ideographic space stays
        QCOMPARE(LTrim(u"  a "), QStringLiteral("a "));
        QCOMPARE(RTrim(u"  a "), QStringLiteral("  a"));
        QCOMPARE(Trim(u"    "), QString());
        QCOMPARE(LCase(QStringLiteral("Abc.BNK")), QStringLiteral("abc.bnk"));
    }
};

QTEST_GUILESS_MAIN(TestBasic)
#include "tst_basic.moc"
