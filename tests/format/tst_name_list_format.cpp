// Stored name lists written by the name rules of an output form.

#include "format/name_list.h"

#include <QTest>

using namespace tz;

namespace {

// The four test persons as stored: initials, no initials, a generation
// suffix, a Japanese name.
const char16_t *const kPersons[4] = {u"J.R.Smith", u"Van_Der_Berg", u"J.Smith_Jr", u"山田太郎"};

// Each test person written in each name style (1..14), by hand from the
// style tables: separator after each initial, order of surname and initials,
// suffix moved to the end, "_" written as a blank, Japanese names as stored.
// The first and the second person styles share this table.
const char16_t *const kWritten[15][4] = {
    {},
    {u"Smith, J. R.", u"Van Der Berg", u"Smith, J. Jr", u"山田太郎"},
    {u"Smith, J.R.", u"Van Der Berg", u"Smith, J. Jr", u"山田太郎"},
    {u"Smith, J R", u"Van Der Berg", u"Smith, J Jr", u"山田太郎"},
    {u"Smith, JR", u"Van Der Berg", u"Smith, J Jr", u"山田太郎"},
    {u"Smith J. R.", u"Van Der Berg", u"Smith J. Jr", u"山田太郎"},
    {u"Smith J.R.", u"Van Der Berg", u"Smith J. Jr", u"山田太郎"},
    {u"Smith J R", u"Van Der Berg", u"Smith J Jr", u"山田太郎"},
    {u"Smith JR", u"Van Der Berg", u"Smith J Jr", u"山田太郎"},
    {u"Smith-JR", u"Van Der Berg", u"Smith-J Jr", u"山田太郎"},
    {u"J. R. Smith", u"Van Der Berg", u"J. Smith Jr", u"山田太郎"},
    {u"J.R. Smith", u"Van Der Berg", u"J. Smith Jr", u"山田太郎"},
    {u"J R Smith", u"Van Der Berg", u"J Smith Jr", u"山田太郎"},
    {u"JR Smith", u"Van Der Berg", u"J Smith Jr", u"山田太郎"},
    {u"J.R.Smith", u"Van Der Berg", u"J.Smith Jr", u"山田太郎"},
};

QString written(int style, int person)
{
    return QString::fromUtf16(kWritten[style][person]);
}

QString stored(int person)
{
    return QString::fromUtf16(kPersons[person]);
}

NameRule rule(int first, int second, int punctures, int etAl, int capitalize)
{
    NameRule r;
    r.firstPerson = static_cast<qint16>(first);
    r.secondPerson = static_cast<qint16>(second);
    r.punctures = static_cast<qint16>(punctures);
    r.et_al = static_cast<qint16>(etAl);
    r.capitalize = static_cast<qint16>(capitalize);
    return r;
}

QString format(const QString &list, const NameRule &r)
{
    return NameListFormat(NameListParse(list), r);
}

// "P1, P2, ..., Pn" stored as surnames only (written the same in every style).
QString numbered(int n)
{
    QStringList persons;
    for (int i = 1; i <= n; ++i)
        persons.append(QStringLiteral("P%1").arg(i));
    return persons.join(QStringLiteral(", "));
}

const QString kComma = QStringLiteral(", ");
const QString kFirst6 = QStringLiteral("P1, P2, P3, P4, P5, P6");
const QString kFirst24 = QStringLiteral("P1, P2, P3, P4, P5, P6, P7, P8, P9, P10, P11, P12, "
                                        "P13, P14, P15, P16, P17, P18, P19, P20, P21, P22, P23, P24");

} // namespace

class TestNameListFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void styleSamples_data();
    void styleSamples();
    void personStyles_data();
    void personStyles();
    void capitalize_data();
    void capitalize();
    void punctures_data();
    void punctures();
    void etAl_data();
    void etAl();
    void japaneseJoining_data();
    void japaneseJoining();
    void sortKey_data();
    void sortKey();
    void modes();
};

void TestNameListFormat::styleSamples_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1") << "J.R.Smith" << 1 << "Smith, J. R.";
    QTest::newRow("8") << "J.R.Smith" << 8 << "Smith JR";
    QTest::newRow("9") << "J.R.Smith" << 9 << "Smith-JR";
    QTest::newRow("10") << "J.R.Smith" << 10 << "J. R. Smith";
    QTest::newRow("14") << "J.R.Smith" << 14 << "J.R.Smith";
    QTest::newRow("suffix") << "J.Smith_Jr" << 1 << "Smith, J. Jr";
    QTest::newRow("particle") << "A.Van_Der_Berg" << 1 << "Van Der Berg, A.";
    QTest::newRow("given names") << "John Ronald Smith" << 1 << "Smith, J. R.";
    QTest::newRow("surname only") << "John" << 1 << "John";
    QTest::newRow("abbreviated given name") << "Jo.Smith" << 10 << "Jo. Smith";

    // Suffixes of the written table, each moved behind the initials.
    QTest::newRow("Sr") << "J.Smith_Sr" << 1 << "Smith, J. Sr";
    QTest::newRow("II") << "H.Ford_II" << 1 << "Ford, H. II";
    QTest::newRow("III") << "H.Ford_III" << 1 << "Ford, H. III";
    QTest::newRow("IV") << "H.Ford_IV" << 1 << "Ford, H. IV";
    QTest::newRow("3d") << "J.Doe_3d" << 5 << "Doe J. 3d";
    QTest::newRow("3rd") << "J.Doe_3rd" << 5 << "Doe J. 3rd";
    QTest::newRow("2nd is no written suffix") << "J.Doe_2nd" << 1 << "Doe 2nd, J.";
    QTest::newRow("two suffixes in table order") << "J.Smith_Jr_III" << 1 << "Smith, J. III Jr";
    QTest::newRow("I starting a word stays") << "J.St_Ives" << 1 << "St Ives, J.";
    QTest::newRow("Sr starting a word stays") << "J.De_Sra" << 8 << "De Sra J";

    // Values outside 1..14 write the person as stored, "_" as blanks.
    QTest::newRow("style 0") << "J.R.Smith_Jr" << 0 << "J.R.Smith Jr";
    QTest::newRow("style 15") << "John R.Smith" << 15 << "John R.Smith";
    QTest::newRow("style 15 no initials") << "Van_Der_Berg" << 15 << "Van Der Berg";
}

void TestNameListFormat::styleSamples()
{
    QFETCH(QString, list);
    QFETCH(int, style);
    QFETCH(QString, expected);
    QCOMPARE(format(list, rule(style, 1, 1, 1, 2)), expected);
}

// Every pair of first and second person styles, each person of the table in
// the first and in a later place.
void TestNameListFormat::personStyles_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    for (int f = 1; f <= 14; ++f)
        for (int s = 1; s <= 14; ++s)
            QTest::addRow("first %d second %d", f, s) << f << s;
}

void TestNameListFormat::personStyles()
{
    QFETCH(int, first);
    QFETCH(int, second);
    const NameRule r = rule(first, second, 1, 1, 2);

    for (int a = 0; a < 4; ++a) {
        const int b = (a + 1) % 4;
        // Only a Japanese first person takes ", " before the last person.
        const QString joiner = a == 3 ? QStringLiteral(", ") : QStringLiteral(" and ");
        QCOMPARE(format(stored(a) + kComma + stored(b), r), written(first, a) + joiner + written(second, b));
    }
    QCOMPARE(format(stored(0) + kComma + stored(2) + kComma + stored(1), r),
             written(first, 0) + kComma + written(second, 2) + QStringLiteral(" and ") + written(second, 1));
}

void TestNameListFormat::capitalize_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("capitalize");
    QTest::addColumn<QString>("expected");

    QTest::newRow("style 10") << "J.R.Smith" << 10 << 1 << "J. R. SMITH";
    QTest::newRow("initials untouched") << "j.r.smith" << 10 << 1 << "j. r. SMITH";
    QTest::newRow("suffix still moves") << "J.Smith_Jr" << 1 << 1 << "SMITH, J. JR";
    QTest::newRow("particle") << "A.Van_Der_Berg" << 14 << 1 << "A.VAN DER BERG";
    QTest::newRow("surname only") << "Smith" << 1 << 1 << "SMITH";
    QTest::newRow("Japanese kept") << "山田太郎" << 1 << 1 << "山田太郎";
    QTest::newRow("no") << "J.R.smith" << 10 << 2 << "J. R. smith";
    QTest::newRow("other value is no") << "J.R.smith" << 10 << 0 << "J. R. smith";
}

void TestNameListFormat::capitalize()
{
    QFETCH(QString, list);
    QFETCH(int, style);
    QFETCH(int, capitalize);
    QFETCH(QString, expected);
    QCOMPARE(format(list, rule(style, style, 1, 1, capitalize)), expected);
}

void TestNameListFormat::punctures_data()
{
    QTest::addColumn<int>("punctures");
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("etAl");
    QTest::addColumn<QString>("expected");

    const QString one = QStringLiteral("J.Smith");
    const QString two = QStringLiteral("J.Smith, A.Jones");
    const QString three = QStringLiteral("J.Smith, A.Jones, C.Brown");
    const QString threeEtAl = QStringLiteral("J.Smith, A.Jones, C.Brown et_al");
    const QString oneEtAl = QStringLiteral("J.Smith et_al");

    struct Row
    {
        int p;
        const char *two, *three, *threeEtAl, *oneEtAl, *etAl3, *others4;
    };
    const Row rows[] = {
        {1, "J.Smith and A.Jones", "J.Smith, A.Jones and C.Brown", "J.Smith, A.Jones, C.Brown et al.", "J.Smith et al.",
         "J.Smith et al.", "J.Smith and others"},
        {2, "J.Smith, and A.Jones", "J.Smith, A.Jones, and C.Brown", "J.Smith, A.Jones, C.Brown, et al.",
         "J.Smith, et al.", "J.Smith, et al.", "J.Smith, and others"},
        {3, "J.Smith & A.Jones", "J.Smith, A.Jones & C.Brown", "J.Smith, A.Jones, C.Brown et al.", "J.Smith et al.",
         "J.Smith et al.", "J.Smith & others"},
        {4, "J.Smith, & A.Jones", "J.Smith, A.Jones, & C.Brown", "J.Smith, A.Jones, C.Brown, et al.", "J.Smith, et al.",
         "J.Smith, et al.", "J.Smith, & others"},
        {5, "J.Smith, A.Jones", "J.Smith, A.Jones, C.Brown", "J.Smith, A.Jones, C.Brown, et al.", "J.Smith, et al.",
         "J.Smith, et al.", "J.Smith, others"},
        {6, "J.Smith; A.Jones", "J.Smith; A.Jones; C.Brown", "J.Smith; A.Jones; C.Brown; et al.", "J.Smith; et al.",
         "J.Smith; et al.", "J.Smith; others"},
        // Values outside 1..6 join like 5.
        {0, "J.Smith, A.Jones", "J.Smith, A.Jones, C.Brown", "J.Smith, A.Jones, C.Brown, et al.", "J.Smith, et al.",
         "J.Smith, et al.", "J.Smith, others"},
        {7, "J.Smith, A.Jones", "J.Smith, A.Jones, C.Brown", "J.Smith, A.Jones, C.Brown, et al.", "J.Smith, et al.",
         "J.Smith, et al.", "J.Smith, others"},
    };
    for (const Row &r : rows) {
        QTest::addRow("p%d one", r.p) << r.p << one << 1 << one;
        QTest::addRow("p%d two", r.p) << r.p << two << 1 << QString::fromUtf8(r.two);
        QTest::addRow("p%d three", r.p) << r.p << three << 1 << QString::fromUtf8(r.three);
        QTest::addRow("p%d three et al", r.p) << r.p << threeEtAl << 1 << QString::fromUtf8(r.threeEtAl);
        QTest::addRow("p%d one et al", r.p) << r.p << oneEtAl << 1 << QString::fromUtf8(r.oneEtAl);
        QTest::addRow("p%d rule 3", r.p) << r.p << three << 3 << QString::fromUtf8(r.etAl3);
        QTest::addRow("p%d rule 4", r.p) << r.p << three << 4 << QString::fromUtf8(r.others4);
    }
}

void TestNameListFormat::punctures()
{
    QFETCH(int, punctures);
    QFETCH(QString, list);
    QFETCH(int, etAl);
    QFETCH(QString, expected);
    QCOMPARE(format(list, rule(14, 14, punctures, etAl, 2)), expected);
}

void TestNameListFormat::etAl_data()
{
    QTest::addColumn<int>("etAl");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("expected");

    // All persons.
    QTest::newRow("1, one") << 1 << numbered(1) << "P1";
    QTest::newRow("1, three") << 1 << numbered(3) << "P1, P2 and P3";
    QTest::newRow("1, thirty") << 1 << numbered(30) << kFirst24 + ", P25, P26, P27, P28, P29 and P30";

    // The first person only, whatever follows.
    QTest::newRow("2, one") << 2 << numbered(1) << "P1";
    QTest::newRow("2, three") << 2 << numbered(3) << "P1";
    QTest::newRow("2, one et al") << 2 << "P1 et_al"
                                  << "P1";
    QTest::newRow("2, three et al") << 2 << "P1, P2, P3 et_al"
                                    << "P1";

    // First person and a closing word from three persons on.
    for (int e = 3; e <= 6; ++e) {
        QTest::addRow("%d, one", e) << e << numbered(1) << "P1";
        QTest::addRow("%d, two", e) << e << numbered(2) << "P1 and P2";
        QTest::addRow("%d, two et al", e) << e << "P1, P2 et_al"
                                          << "P1, P2 et al.";
    }
    QTest::newRow("3, three") << 3 << numbered(3) << "P1 et al.";
    QTest::newRow("4, three") << 4 << numbered(3) << "P1 and others";
    QTest::newRow("5, three") << 5 << numbered(3) << "P1 and other(2)s";
    QTest::newRow("6, three") << 6 << numbered(3) << "P1 and other 2 members";
    QTest::newRow("5, ten") << 5 << numbered(10) << "P1 and other(9)s";
    QTest::newRow("3, three et al") << 3 << "P1, P2, P3 et_al"
                                    << "P1 et al.";

    // Six persons, then a closing word counting the persons left out.
    for (int e = 7; e <= 10; ++e) {
        QTest::addRow("%d, one", e) << e << numbered(1) << "P1";
        QTest::addRow("%d, six", e) << e << numbered(6) << "P1, P2, P3, P4, P5 and P6";
        QTest::addRow("%d, six et al", e) << e << numbered(6) + " et_al"
                                          << "P1, P2, P3, P4, P5, P6 et al.";
    }
    QTest::newRow("7, five") << 7 << numbered(5) << "P1, P2, P3, P4 and P5";
    QTest::newRow("7, seven") << 7 << numbered(7) << kFirst6 + " et al.";
    QTest::newRow("7, ten") << 7 << numbered(10) << kFirst6 + " et al.";
    QTest::newRow("8, seven") << 8 << numbered(7) << kFirst6 + " and others";
    QTest::newRow("9, seven") << 9 << numbered(7) << kFirst6 + " and other(1)s";
    QTest::newRow("10, seven") << 10 << numbered(7) << kFirst6 + " and other 1 members";
    QTest::newRow("9, ten") << 9 << numbered(10) << kFirst6 + " and other(4)s";
    QTest::newRow("7, seven et al") << 7 << numbered(7) + " et_al" << kFirst6 + " et al.";

    // Twenty-four persons, the last person, then a closing word.
    for (int e = 11; e <= 14; ++e) {
        QTest::addRow("%d, three", e) << e << numbered(3) << "P1, P2 and P3";
        QTest::addRow("%d, twenty-five", e) << e << numbered(25) << kFirst24 + " and P25";
    }
    QTest::newRow("11, twenty-six") << 11 << numbered(26) << kFirst24 + " and P26 et al.";
    QTest::newRow("12, twenty-six") << 12 << numbered(26) << kFirst24 + " and P26 and others";
    QTest::newRow("13, twenty-six") << 13 << numbered(26) << kFirst24 + " and P26 and other(1)s";
    QTest::newRow("14, twenty-six") << 14 << numbered(26) << kFirst24 + " and P26 and other 1 members";
    QTest::newRow("13, thirty") << 13 << numbered(30) << kFirst24 + " and P30 and other(5)s";
    QTest::newRow("11, twenty-five et al") << 11 << numbered(25) + " et_al" << kFirst24 + ", P25 et al.";
    QTest::newRow("11, twenty-six et al") << 11 << numbered(26) + " et_al" << kFirst24 + " and P26 et al.";
    QTest::newRow("11, thirty-three") << 11 << numbered(33) << kFirst24 + " and P30 et al.";

    // A list marked et al.: the last person after ", ", then the et-al text.
    QTest::newRow("1, one et al") << 1 << "P1 et_al"
                                  << "P1 et al.";
    QTest::newRow("1, three et al") << 1 << "P1, P2, P3 et_al"
                                    << "P1, P2, P3 et al.";

    // Values outside 1..14 write nothing.
    QTest::newRow("0") << 0 << numbered(3) << "";
    QTest::newRow("15") << 15 << numbered(3) << "";
    QTest::newRow("-1") << -1 << numbered(3) << "";
}

void TestNameListFormat::etAl()
{
    QFETCH(int, etAl);
    QFETCH(QString, list);
    QFETCH(QString, expected);
    QCOMPARE(format(list, rule(1, 1, 1, etAl, 2)), expected);
}

void TestNameListFormat::japaneseJoining_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("punctures");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two Japanese") << "山田太郎, 鈴木一郎" << 1 << "山田太郎, 鈴木一郎";
    QTest::newRow("Japanese then Latin") << "山田太郎, 鈴木一郎, J.Smith" << 1 << "山田太郎, 鈴木一郎, Smith, J.";
    QTest::newRow("Latin then Japanese") << "J.Smith, 山田太郎" << 1 << "Smith, J. and 山田太郎";
    QTest::newRow("Japanese first of three") << "山田太郎, J.Smith, A.Jones" << 3 << "山田太郎, Smith, J., Jones, A.";
    QTest::newRow("semicolons") << "山田太郎, 鈴木一郎" << 6 << "山田太郎; 鈴木一郎";
    QTest::newRow("et al kept") << "山田太郎, 鈴木一郎 et_al" << 1 << "山田太郎, 鈴木一郎 et al.";
    QTest::newRow("et al kept, p 2") << "山田太郎, 鈴木一郎 et_al" << 2 << "山田太郎, 鈴木一郎, et al.";
    QTest::newRow("one Japanese et al") << "山田太郎 et_al" << 1 << "山田太郎 et al.";
    QTest::newRow("stored with 、") << NameListNormalize(QStringLiteral("山田太郎、鈴木一郎")) << 2
                                    << "山田太郎, 鈴木一郎";
    QTest::newRow("underscore kept") << "山田_太郎" << 1 << "山田_太郎";
}

void TestNameListFormat::japaneseJoining()
{
    QFETCH(QString, list);
    QFETCH(int, punctures);
    QFETCH(QString, expected);
    QCOMPARE(format(list, rule(1, 1, punctures, 1, 2)), expected);
}

void TestNameListFormat::sortKey_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("key");

    QTest::newRow("two persons") << "J.R.Smith, A.B.Jones"
                                 << "Smith JR, Jones AB";
    QTest::newRow("one person") << "J.Smith"
                                << "Smith J";
    QTest::newRow("no initials") << "Van_Der_Berg"
                                 << "Van Der Berg";
    QTest::newRow("suffix") << "J.Smith_Jr, A.Jones"
                            << "Smith J Jr, Jones A";
    QTest::newRow("lower case kept") << "j.smith"
                                     << "smith j";
    QTest::newRow("Japanese") << "山田太郎, 鈴木一郎"
                              << "山田太郎, 鈴木一郎";
    QTest::newRow("et al") << "J.Smith, A.Jones et_al"
                           << "Smith J, Jones A, et al.";
    QTest::newRow("all thirty") << numbered(30) << kFirst24 + ", P25, P26, P27, P28, P29, P30";
    QTest::newRow("empty") << ""
                           << "";
}

void TestNameListFormat::sortKey()
{
    QFETCH(QString, list);
    QFETCH(QString, key);
    // The rules given for modes 1 and 2 play no part in the sort key.
    const NameRule other = rule(10, 10, 6, 2, 1);
    QCOMPARE(NameListFormat(list, 3, other, other), key);
    QCOMPARE(format(list, SortKeyRule()), key);
}

void TestNameListFormat::modes()
{
    const QString list = QStringLiteral("J.R.Smith, A.B.Jones");
    const NameRule author = rule(1, 10, 1, 1, 2);
    const NameRule editor = rule(14, 14, 3, 1, 1);
    QCOMPARE(NameListFormat(list, 1, author, editor), QStringLiteral("Smith, J. R. and A. B. Jones"));
    QCOMPARE(NameListFormat(list, 2, author, editor), QStringLiteral("J.R.SMITH & A.B.JONES"));
    QCOMPARE(NameListFormat(list, 3, author, editor), QStringLiteral("Smith JR, Jones AB"));
    QCOMPARE(NameListFormat(list, 0, author, editor), QString());
    QCOMPARE(NameListFormat(list, 4, author, editor), QString());

    // Two persons joined by "and": the second person in its own style.
    QCOMPARE(format(QStringLiteral("J.Smith, A.Jones"), rule(1, 1, 1, 1, 2)),
             QStringLiteral("Smith, J. and Jones, A."));
    QCOMPARE(format(QStringLiteral("J.Smith, A.Jones"), rule(1, 10, 1, 1, 2)),
             QStringLiteral("Smith, J. and A. Jones"));
}

QTEST_APPLESS_MAIN(TestNameListFormat)
#include "tst_name_list_format.moc"
