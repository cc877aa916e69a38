// Typed name lists into their stored form, and stored lists into persons.

#include "format/name_list.h"

#include <QTest>

using namespace tz;

namespace {

// A parsed list as one line: persons joined by " | ", each "J,R/Smith" (the
// initial pieces, "/", the surname) or "=text" for a person kept as stored;
// "+et al" at the end for a list marked et al.
QString describe(const ParsedNameList &list)
{
    QStringList parts;
    for (const ParsedPerson &p : list.persons)
        parts.append(p.kept ? u'=' + p.stored : p.initials().join(u',') + u'/' + p.surname().toString());
    QString s = parts.join(QStringLiteral(" | "));
    if (list.etAl)
        s += QStringLiteral(" +et al");
    return s;
}

} // namespace

class TestNameList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalize_data();
    void normalize();
    void normalizeKeepsStoredForm_data();
    void normalizeKeepsStoredForm();
    void parse_data();
    void parse();
    void parseDropsPersonsAfterThirtieth();
};

void TestNameList::normalize_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("initials, and") << "J. R. Smith, A. B. Jones and C. Brown"
                                   << "J.R.Smith, A.B.Jones, C.Brown";
    QTest::newRow("Van Der") << "A.B.Van Der Berg"
                             << "A.B.Van_Der_Berg";
    QTest::newRow("Jr. after blank") << "John Smith Jr."
                                     << "John Smith_Jr";
    QTest::newRow("Jr as own item") << "J.Smith, Jr."
                                    << "J.Smith,Jr";
    QTest::newRow("Jr as own item twice") << "J.Smith, Jr., A.Jones, Jr."
                                          << "J.Smith,Jr, A.Jones,Jr";
    QTest::newRow("et al") << "J. Smith, A. Jones et al."
                           << "J.Smith, A.Jones et_al.";
    QTest::newRow("et-al") << "J.Smith et-al"
                           << "J.Smith et_al";

    // Full-width separators become ", ".
    QTest::newRow("、") << "山田太郎、鈴木一郎"
                        << "山田太郎, 鈴木一郎";
    QTest::newRow("；，：") << "山田太郎；鈴木一郎，佐藤花子：田中"
                            << "山田太郎, 鈴木一郎, 佐藤花子, 田中";
    QTest::newRow("Japanese name as typed") << "山田 太郎、J. Smith"
                                            << "山田 太郎, J.Smith";

    // Particles, hyphenated or not.
    QTest::newRow("Le-") << "J.Le-Blanc"
                         << "J.Le_Blanc";
    QTest::newRow("St-") << "M.St-Pierre"
                         << "M.St_Pierre";
    QTest::newRow("Van-Der-") << "A.Van-Der-Berg"
                              << "A.Van_Der_Berg";
    QTest::newRow("De-") << "P.De-Vries"
                         << "P.De_Vries";
    QTest::newRow("Le St De") << "J. Le Carre, M. St John, P. De Vries"
                              << "J.Le_Carre, M.St_John, P.De_Vries";

    // Every generation suffix, in each written form.
    QTest::newRow("-Jr.") << "J.Smith-Jr."
                          << "J.Smith_Jr";
    QTest::newRow("-Sr") << "J.Smith-Sr"
                         << "J.Smith_Sr";
    QTest::newRow("2nd") << "J.Smith 2nd"
                         << "J.Smith_2nd";
    QTest::newRow("III") << "H.Ford III, A.Jones"
                         << "H.Ford_III, A.Jones";
    QTest::newRow("3rd.") << "J.Doe 3rd."
                          << "J.Doe_3rd";
    QTest::newRow("3d") << "J.Doe 3d"
                        << "J.Doe_3d";
    QTest::newRow("IV") << "J.Doe IV, A.Jones"
                        << "J.Doe_IV, A.Jones";

    // Word replacements only take whole words.
    QTest::newRow("Sr inside a surname") << "R. Srinivasan"
                                         << "R.Srinivasan";
    QTest::newRow("IV inside a surname") << "A. IVANOV"
                                         << "A.IVANOV";
    QTest::newRow("Jr inside a word") << "J. Smith Jrx"
                                      << "J.Smith Jrx";
    QTest::newRow("and inside a surname") << "J. Smith, A. andersen"
                                          << "J.Smith, A.andersen";
    QTest::newRow("De ends a word") << "J. McDe Smith"
                                    << "J.McDe Smith";

    // Person separators.
    QTest::newRow("/ and ;") << "A.Smith/B.Jones;C.Brown"
                             << "A.Smith,B.Jones,C.Brown";
    QTest::newRow("&") << "A.Smith & B.Jones"
                       << "A.Smith, B.Jones";
    QTest::newRow("&& removed") << "A.Smith&&, B.Jones"
                                << "A.Smith, B.Jones";
    QTest::newRow(", and") << "J.Smith, and A.Jones"
                           << "J.Smith, A.Jones";
    QTest::newRow("runs of commas") << "A, , , B,,,C"
                                    << "A, B,C";
    QTest::newRow("trailing and") << "A.Smith and"
                                  << "A.Smith";
    QTest::newRow("trailing comma and blanks") << "A.Smith, B.Jones,   "
                                               << "A.Smith, B.Jones";
    QTest::newRow("commas and blanks at the end") << "A.Smith,,  "
                                                  << "A.Smith";
    QTest::newRow("leading blanks stay") << "  J.Smith"
                                         << "  J.Smith";
}

void TestNameList::normalize()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(NameListNormalize(typed), stored);
}

// A list already in the stored form comes back unchanged, so checking a record
// twice changes nothing.
void TestNameList::normalizeKeepsStoredForm_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("initials") << "J.R.Smith, A.B.Jones, C.Brown";
    QTest::newRow("particles") << "A.B.Van_Der_Berg, J.Le_Blanc";
    QTest::newRow("suffixes") << "J.Smith_Jr, H.Ford_III,Jr";
    QTest::newRow("et al") << "J.Smith, A.Jones et_al";
    QTest::newRow("Japanese") << "山田太郎, 鈴木一郎";
}

void TestNameList::normalizeKeepsStoredForm()
{
    QFETCH(QString, stored);
    QCOMPARE(NameListNormalize(stored), stored);
}

void TestNameList::parse_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("parsed");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("only a comma and a dot") << ",."
                                            << "";
    QTest::newRow("initials") << "J.R.Smith"
                              << "J,R/Smith";
    QTest::newRow("surname only") << "John"
                                  << "/John";
    QTest::newRow("initial only") << "J., A.Jones"
                                  << "J/ | A/Jones";
    QTest::newRow("list's closing dot goes first") << "J."
                                                   << "/J";
    QTest::newRow("given names") << "John Ronald Smith"
                                 << "J,R/Smith";
    QTest::newRow("given name and initial") << "John R.Smith"
                                            << "J,R/Smith";
    QTest::newRow("run of blanks") << "John   Smith"
                                   << "J/Smith";
    QTest::newRow("abbreviated given name") << "Jo.Smith"
                                            << "Jo/Smith";
    QTest::newRow("suffix stays with surname") << "J.Smith_Jr"
                                               << "J/Smith_Jr";
    QTest::newRow("closing dot") << "J.Smith, A.B."
                                 << "J/Smith | A/B";
    QTest::newRow("closing comma") << "J.Smith, A.Jones,"
                                   << "J/Smith | A/Jones";
    QTest::newRow("blanks around persons") << "J.Smith ,  A.Jones"
                                           << "J/Smith | A/Jones";
    QTest::newRow("empty person stays") << "J.Smith,,A.Jones"
                                        << "J/Smith | / | A/Jones";
    QTest::newRow("et al") << "J.Smith, A.Jones et_al"
                           << "J/Smith | A/Jones +et al";
    QTest::newRow("et al.") << "J.Smith, A.Jones et_al."
                            << "J/Smith | A/Jones +et al";
    QTest::newRow("comma before et al") << "J.Smith, A.Jones, et_al."
                                        << "J/Smith | A/Jones +et al";
    QTest::newRow("single person et al") << "J.Smith et_al"
                                         << "J/Smith +et al";
    QTest::newRow("nothing before et al") << ", et_al"
                                          << " +et al";
    QTest::newRow("et al without blank is a name") << "et_al"
                                                   << "/et_al";
    QTest::newRow("Japanese") << "山田太郎, 鈴木一郎"
                              << "=山田太郎 | =鈴木一郎";
    QTest::newRow("Japanese with blank") << "山田 太郎"
                                         << "=山田 太郎";
    QTest::newRow("mixed") << "J.Smith, 山田太郎 et_al"
                           << "J/Smith | =山田太郎 +et al";
}

void TestNameList::parse()
{
    QFETCH(QString, stored);
    QFETCH(QString, parsed);
    QCOMPARE(describe(NameListParse(stored)), parsed);
}

void TestNameList::parseDropsPersonsAfterThirtieth()
{
    QStringList persons;
    for (int i = 1; i <= 33; ++i)
        persons.append(QStringLiteral("A.P%1").arg(i));
    const ParsedNameList list = NameListParse(persons.join(QStringLiteral(", ")) + QStringLiteral(" et_al"));
    QCOMPARE(list.persons.size(), 30);
    QCOMPARE(list.persons.last().stored, QStringLiteral("A.P30"));
    QCOMPARE(list.persons.last().surname(), QStringLiteral("P30"));
    QVERIFY(list.etAl);
}

QTEST_APPLESS_MAIN(TestNameList)
#include "tst_name_list.moc"
