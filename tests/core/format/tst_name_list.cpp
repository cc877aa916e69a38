// Author and editor lists: typed lists into their stored form, stored lists
// into persons, and persons written by the name rules of an output form.

#include "core/format/name_list.h"
#include "support/test_rows.h"

#include <QRegularExpression>

using namespace tz;

namespace {

// The four test persons as stored: initials, no initials, a generation suffix,
// a Japanese name. Below, the first and the third written in each name style
// 1..14, by hand from the style tables: the separator after each initial, the
// order of surname and initials, the suffix moved to the end. In every style
// the second is "Van Der Berg" ("_" written as a blank) and the fourth as
// stored. The first and the second person styles share this table.
const char *const kPersons[4] = {"J.R.Smith", "Van_Der_Berg", "J.Smith_Jr", "山田太郎"};
// clang-format off
const char *const kWritten[15][2] = {{},
    {"Smith, J. R.", "Smith, J. Jr"}, {"Smith, J.R.", "Smith, J. Jr"}, {"Smith, J R", "Smith, J Jr"},
    {"Smith, JR", "Smith, J Jr"}, {"Smith J. R.", "Smith J. Jr"}, {"Smith J.R.", "Smith J. Jr"},
    {"Smith J R", "Smith J Jr"}, {"Smith JR", "Smith J Jr"}, {"Smith-JR", "Smith-J Jr"},
    {"J. R. Smith", "J. Smith Jr"}, {"J.R. Smith", "J. Smith Jr"}, {"J R Smith", "J Smith Jr"},
    {"JR Smith", "J Smith Jr"}, {"J.R.Smith", "J.Smith Jr"}};
// clang-format on

NameRule rule(int first, int second, int punctures, int etAl, int capitalize)
{
    return NameRule{qint16(first), qint16(second), qint16(punctures), qint16(etAl), qint16(capitalize)};
}

QString format(const QString &list, const NameRule &r)
{
    return NameListFormat(NameListParse(list), r);
}

// "P1..Pn" written out as "P1, P2, ..., Pn".
QString expand(QString s)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("P1\\.\\.P(\\d+)")).match(s);
    QStringList persons;
    for (int i = 1; m.hasMatch() && i <= m.captured(1).toInt(); ++i)
        persons.append(QStringLiteral("P%1").arg(i));
    return m.hasMatch() ? s.replace(m.capturedStart(), m.capturedLength(), persons.join(QStringLiteral(", "))) : s;
}

} // namespace

class TestNameList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalize_data()
    {
        // clang-format off
        rows::table({"typed", "stored"}, {
            {"J. R. Smith, A. B. Jones and C. Brown", "J.R.Smith, A.B.Jones, C.Brown"},
            // Particles and et al, hyphenated or not; full-width separators become ", ".
            {"J.Le-Blanc, M.St-Pierre, A.Van-Der-Berg, P.De-Vries et-al", "J.Le_Blanc, M.St_Pierre, A.Van_Der_Berg, P.De_Vries et_al"},
            {"J. Le Carre, M. St John, P. De Vries, A.B.Van Der Berg et al.", "J.Le_Carre, M.St_John, P.De_Vries, A.B.Van_Der_Berg et_al."},
            {"山田太郎；鈴木一郎，佐藤花子：田中、J. Smith", "山田太郎, 鈴木一郎, 佐藤花子, 田中, J.Smith"},
            // Generation suffixes; one typed as an item of its own stays one, for every person.
            {"J.Smith-Jr., A.Doe-Sr, John Smith Jr., H.Ford III", "J.Smith_Jr, A.Doe_Sr, John Smith_Jr, H.Ford_III"},
            {"J.Smith, Jr., A.Jones, Jr.", "J.Smith,Jr, A.Jones,Jr"},
            // Word replacements take whole words only.
            {"R. Srinivasan, A. IVANOV, A. andersen, J. McDe Smith", "R.Srinivasan, A.IVANOV, A.andersen, J.McDe Smith"},
            // Person separators.
            {"A.Smith/B.Jones;C.Brown", "A.Smith,B.Jones,C.Brown"}, {"A.Smith & B.Jones", "A.Smith, B.Jones"},
            {"A.Smith&&, B.Jones", "A.Smith, B.Jones"}, {"J.Smith, and A.Jones", "J.Smith, A.Jones"},
            {"A, , , B,,,C", "A, B,C"}, {"A.Smith and", "A.Smith"}, {"A.Smith, B.Jones,,  ", "A.Smith, B.Jones"},
            {"  J.Smith", "  J.Smith"},
        });
        // clang-format on
    }
    void normalize()
    {
        const QString stored = rows::text("stored");
        QCOMPARE(NameListNormalize(rows::text("typed")), stored);
        // The stored form comes back unchanged: checking a record twice changes nothing.
        QCOMPARE(NameListNormalize(stored), stored);
    }

    // Parsed lists as one line: persons joined by " | ", each "J,R/Smith" (the
    // initial pieces, "/", the surname) or "=text" for a person kept as stored;
    // "+et al" at the end for a list marked et al.
    void parse_data()
    {
        // clang-format off
        rows::table({"stored", "parsed"}, {
            {",.", ""}, {"J.R.Smith", "J,R/Smith"}, {"John", "/John"},
            {"J.", "/J"}, // the list's closing dot goes first
            {"John Ronald Smith", "J,R/Smith"}, {"Jo.Smith", "Jo/Smith"}, {"J.Smith,,A.Jones", "J/Smith | / | A/Jones"},
            {", et_al", " +et al"}, {"et_al", "/et_al"}, {"山田 太郎, J.Smith, 鈴木一郎 et_al", "=山田 太郎 | J/Smith | =鈴木一郎 +et al"},
        });
        // clang-format on
    }
    void parse()
    {
        const ParsedNameList list = NameListParse(rows::text("stored"));
        QStringList persons;
        for (const ParsedPerson &p : list.persons)
            persons.append(p.kept ? u'=' + p.stored : p.initials().join(u',') + u'/' + p.surname().toString());
        QCOMPARE(persons.join(QStringLiteral(" | ")) + (list.etAl ? " +et al" : ""), rows::text("parsed"));
    }

    // Every pair of first and second person styles; each test person in the first
    // and in a later place.
    void personStyles_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        for (int f = 1; f <= 14; ++f)
            for (int s = 1; s <= 14; ++s)
                QTest::addRow("first %d second %d", f, s) << f << s;
    }
    void personStyles()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        const NameRule r = rule(first, second, 1, 1, 2);
        const auto stored = [](int p) { return QString::fromUtf8(kPersons[p]); };
        const auto written = [](int style, int p) {
            return QString::fromUtf8(p == 1 ? "Van Der Berg" : p == 3 ? "山田太郎" : kWritten[style][p / 2]);
        };
        for (int a = 0; a < 4; ++a) {
            const int b = (a + 1) % 4;
            // Only a Japanese first person takes ", " before the last person.
            const QString joiner = a == 3 ? QStringLiteral(", ") : QStringLiteral(" and ");
            QCOMPARE(format(stored(a) + ", " + stored(b), r), written(first, a) + joiner + written(second, b));
        }
        QCOMPARE(format(stored(0) + ", " + stored(2) + ", " + stored(1), r),
                 written(first, 0) + ", " + written(second, 2) + " and " + written(second, 1));
    }

    // Lists written by a rule given as in the form file: first person style,
    // second person style, punctures, et al, capitalize. "P1..Pn" stands for
    // the persons "P1, P2, ..., Pn".
    void written_data()
    {
        // clang-format off
        rows::table({"rule", "list", "expected"}, {
            // Suffixes of the written table move behind the initials, in the
            // table's order, only when they end a word; "_" is written as a blank.
            {"1,1,1,1,2", "H.Ford_III", "Ford, H. III"}, {"1,1,1,1,2", "J.Smith_Jr_III", "Smith, J. III Jr"},
            {"1,1,1,1,2", "J.Doe_2nd", "Doe 2nd, J."}, {"1,1,1,1,2", "J.St_Ives", "St Ives, J."},
            {"1,1,1,1,2", "A.Van_Der_Berg", "Van Der Berg, A."},
            {"0,1,1,1,2", "J.R.Smith_Jr", "J.R.Smith Jr"}, // outside 1..14: as stored
            // Upper-cased surnames, only by 1.
            {"10,10,1,1,1", "j.r.smith", "j. r. SMITH"}, {"1,1,1,1,1", "J.Smith_Jr", "SMITH, J. JR"},
            {"10,10,1,1,0", "J.R.smith", "J. R. smith"},
            // All persons, the 31st and later dropped; a list marked et al. ends in the et-al text.
            {"1,1,1,1,2", "P1..P33 et_al", "P1..P30 et al."}, {"1,1,1,1,2", "P1 et_al", "P1 et al."},
            // The first person only; outside 1..14 nothing.
            {"1,1,1,2,2", "P1..P3 et_al", "P1"}, {"1,1,1,0,2", "P1..P3", ""},
            // The first person and a closing word from three persons on; shorter lists in full.
            {"1,1,1,3,2", "P1..P3", "P1 et al."}, {"1,1,1,4,2", "P1..P3", "P1 and others"},
            {"1,1,1,5,2", "P1..P10", "P1 and other(9)s"}, {"1,1,1,6,2", "P1..P3", "P1 and other 2 members"},
            {"1,1,1,6,2", "P1..P2", "P1 and P2"},
            // Six persons and a closing word counting the persons left out, from seven on.
            {"1,1,1,7,2", "P1..P7", "P1..P6 et al."}, {"1,1,1,10,2", "P1..P6", "P1, P2, P3, P4, P5 and P6"},
            // Twenty-four persons, the last one and a closing word, from twenty-six on.
            {"1,1,1,13,2", "P1..P30", "P1..P24 and P30 and other(5)s"}, {"1,1,1,12,2", "P1..P25", "P1..P24 and P25"},
            // After a Japanese name the last person takes the plain joiner; the et-al mark is kept.
            {"1,1,6,1,2", "山田太郎, 鈴木一郎", "山田太郎; 鈴木一郎"}, {"1,1,1,1,2", "J.Smith, 山田太郎", "Smith, J. and 山田太郎"},
            {"1,1,1,1,2", "山田太郎, 鈴木一郎, J.Smith", "山田太郎, 鈴木一郎, Smith, J."},
            {"1,1,1,1,2", "山田太郎, 鈴木一郎 et_al", "山田太郎, 鈴木一郎 et al."}, {"1,1,1,1,2", "山田_太郎", "山田_太郎"},
            // Each punctures value: the last joiner and the et-al text; outside 1..6 as 5.
            {"1,1,2,1,2", "P1..P3", "P1, P2, and P3"}, {"1,1,2,1,2", "P1..P3 et_al", "P1, P2, P3, et al."},
            {"1,1,3,1,2", "P1..P3", "P1, P2 & P3"}, {"1,1,4,4,2", "P1..P3", "P1, & others"},
            {"1,1,6,1,2", "P1..P3", "P1; P2; P3"}, {"1,1,6,1,2", "P1..P3 et_al", "P1; P2; P3; et al."},
            {"1,1,0,1,2", "P1..P3", "P1, P2, P3"}, {"1,1,0,1,2", "P1 et_al", "P1, et al."},
        });
        // clang-format on
    }
    void written()
    {
        const QStringList v = rows::text("rule").split(u',');
        const NameRule r = rule(v[0].toInt(), v[1].toInt(), v[2].toInt(), v[3].toInt(), v[4].toInt());
        QCOMPARE(format(expand(rows::text("list")), r), expand(rows::text("expected")));
    }

    void modesAndSortKey()
    {
        const NameRule author = rule(1, 10, 1, 1, 2), editor = rule(14, 14, 3, 1, 1);
        QStringList modes;
        for (int mode : {1, 2, 0, 4})
            modes << NameListFormat(QStringLiteral("J.R.Smith, A.B.Jones"), mode, author, editor);
        QCOMPARE(modes, QStringList({"Smith, J. R. and A. B. Jones", "J.R.SMITH & A.B.JONES", "", ""}));

        // Mode 3, the sort key, ignores both rules: every person as "Smith JR",
        // all persons joined by ", ", no upper-casing.
        QStringList keys;
        for (const char *stored : {"J.R.Smith, A.B.Jones", "J.Smith_Jr, Van_Der_Berg", "j.smith", "山田太郎, 鈴木一郎",
                                   "J.Smith, A.Jones et_al", ""})
            keys.append(NameListFormat(QString::fromUtf8(stored), 3, rule(10, 10, 6, 2, 1), editor));
        QCOMPARE(keys, QStringList({"Smith JR, Jones AB", "Smith J Jr, Van Der Berg", "smith j", "山田太郎, 鈴木一郎",
                                    "Smith J, Jones A, et al.", ""}));
    }
};

QTEST_APPLESS_MAIN(TestNameList)
#include "tst_name_list.moc"
