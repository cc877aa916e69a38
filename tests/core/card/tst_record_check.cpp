// The field check of the record card, box by box: record 4 of 20, 200 JP
// codes, a stored record with title "Old title.", year 1998, JP code 12, last
// page 145 and registration date 2014/07/26.
#include "core/card/record_check.h"
#include "support/test_rows.h"

#include <QRegularExpression>

using namespace tz;

namespace {

// "x*80" stands for 80 times "x".
QString expand(const QString &text)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(.)\\*(\\d+)$")).match(text);
    return m.hasMatch() ? m.captured(1).repeated(m.captured(2).toInt()) : text;
}

} // namespace

class TestRecordCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The box, the text typed, the context (box 9: the first page; box 10: the
    // stored year; box 12: the stored link list), the text after the check,
    // whether the box is marked, and the start of the message.
    void boxes_data()
    {
        // clang-format off
        rows::table({"box", "typed", "context", "expected", "marked", "message"}, {
            {"1", "m*80", "", "m*70", "1", ""}, {"1", "  note  ", "", "note", "1", ""}, {"1", "  ", "", "", "0", ""},
            {"2", "J. R. Smith and C. Brown", "", "J.R.Smith, C.Brown", "1", ""},
            {"3", "A study of X", "", "A study of X.", "1", ""},
            {"3", "研究。", "", "研究。", "1", ""}, {"3", "Old title", "", "Old title.", "0", ""},
            {"3", "t*300", "", "t*280", "1", ""}, {"5", "b*150", "", "b*140", "1", ""}, {"7", "7*25", "", "7*20", "1", ""},
            {"8", "123456789012", "", "1234567890", "1", ""},
            // The style: 1 to 4, anything else 1.
            {"0", "1", "", "1", "0", ""}, {"0", "2", "", "2", "1", ""}, {"0", "7", "", "1", "0", ""},
            {"0", "99999999", "", "1", "0", ""},
            // The JP code: beyond the table or below 1 is 0; no number is told.
            {"6", "", "", "", "0", ""}, {"6", "101", "", "101", "1", ""}, {"6", "12", "", "12", "0", ""},
            {"6", "9999", "", "0", "1", ""}, {"6", "-3", "", "0", "1", ""}, {"6", "101.5", "", "102", "1", ""},
            {"6", "abc", "", "abc", "0", "JPコード"}, {"6", "70000", "", "70000", "0", "JPコード"},
            // The last page completed from the first.
            {"9", "56", "1234", "1256", "1", ""}, {"9", "3", "99", "103", "1", ""}, {"9", "145", "123", "145", "0", ""},
            {"9", "45", "123", "145", "1", ""}, {"9", "5", "1234567890", "5", "1", ""},
            // The year: two digits and one are of this century or the last, a fifth digit is cut.
            {"10", "98", "", "1998", "1", ""}, {"10", "5", "", "2005", "1", ""}, {"10", "1998", "", "1998", "0", ""},
            {"10", "20011", "", "2001", "1", ""}, {"10", "", "", "", "1", ""}, {"10", "  ", "0", "  ", "0", ""},
            {"10", "nineteen", "", "nineteen", "0", "年号"}, {"10", "9e99", "", "9e99", "0", "年号"},
            // The link list: ranges expanded, records out of range and the record itself dropped.
            {"12", "12, 3-6; 30 /9,12", "", "3,5,6,9,12", "1", ""}, {"12", " 3,5 ", "3,5", " 3,5 ", "0", ""},
            {"12", "", "3,5", "", "1", ""},
            {"13", "99/04/28", "", "99/04/28", "1", ""}, {"13", "2014/07/26", "", "2014/07/26", "0", ""},
            {"13", "tomorrow", "", "tomorrow", "0", "登録日"},
        });
        // clang-format on
    }
    void boxes()
    {
        const int box = rows::number("box");
        const QString context = rows::text("context"), expected = expand(rows::text("expected"));
        RecX x;
        x.title = QStringLiteral("Old title.");
        x.year = box == 10 && !context.isEmpty() ? qint16(context.toInt()) : 1998;
        x.JPcode = 12;
        x.page2 = QStringLiteral("145");
        x.regDate = QDate(2014, 7, 26);
        const RecCheckResult r =
            P3RecCheck(BoxAt(box), expand(rows::text("typed")),
                       RecCheckContext{x, box == 12 ? context : QString(), context, 4, 20, 200, 200});
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, rows::number("marked") == 1);
        QCOMPARE(r.message.left(rows::text("message").size()), rows::text("message"));
        QCOMPARE(r.message.isEmpty(), rows::text("message").isEmpty());
        if (box == 6)
            QCOMPARE(r.showJPname, r.marked);
        if (box == 12) // the link list follows the box
            QCOMPARE(r.linkText, expected.trimmed());
    }
};

QTEST_GUILESS_MAIN(TestRecordCheck)
#include "tst_record_check.moc"
