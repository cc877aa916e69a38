// The classic conversions: leading numeric value, "is numeric", 16-bit
// conversion with round half to even and overflow report, trimming.

#include "common/basic.h"

#include <QtTest>
#include <limits>

using namespace tz;

class TestBasic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("integer") << "123" << 123.0 << true;
        QTest::newRow("blanks around") << "  42 " << 42.0 << true;
        QTest::newRow("trailing letters") << "12abc" << 12.0 << false;
        QTest::newRow("sign and fraction") << "-3.5" << -3.5 << true;
        QTest::newRow("plus sign") << "+7" << 7.0 << true;
        QTest::newRow("leading point") << ".5" << 0.5 << true;
        QTest::newRow("exponent") << "1.5E3" << 1500.0 << true;
        QTest::newRow("D exponent") << "2d2" << 200.0 << true;
        QTest::newRow("exponent without digits") << "1e" << 1.0 << false;
        QTest::newRow("second point stops") << "1.2.3" << 1.2 << false;
        QTest::newRow("no number") << "abc" << 0.0 << false;
        QTest::newRow("sign only") << "-" << 0.0 << false;
        QTest::newRow("point only") << "." << 0.0 << false;
        QTest::newRow("empty") << "" << 0.0 << false;
        QTest::newRow("blanks only") << "   " << 0.0 << false;
        QTest::newRow("overflow gives 0") << "1e999" << 0.0 << false;
        QTest::newRow("full-width digits") << "１２" << 0.0 << false;
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
        QTest::newRow("0.5") << 0.5 << true << 0;
        QTest::newRow("2.6") << 2.6 << true << 3;
        QTest::newRow("32767.4") << 32767.4 << true << 32767;
        QTest::newRow("32767.5 overflows") << 32767.5 << false << 0;
        QTest::newRow("-32768") << -32768.0 << true << -32768;
        QTest::newRow("-32768.5 to even") << -32768.5 << true << -32768;
        QTest::newRow("-32769") << -32769.0 << false << 0;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false << 0;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
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
