// The form editor's behaviour without widgets: next and previous around the
// table, the number boxes kept with their lists, saving over a form or as a
// new one with the form file written whole (or not at all), and the preview's
// records and text.
#include "core/common/file_faults.h"
#include "core/formedit/form_editor_model.h"
#include "core/session/session.h"
#include "support/program_folder.h"
#include "support/test_rows.h"

#include <QSignalSpy>
#include <QTest>

using namespace tz;
using namespace tz::testing;

namespace {

OutputForm form(const QString &name, const QString &journalOrder)
{
    // clang-format off
    return {name, name + QStringLiteral(" note"), 3, NameRule{2, 3, 4, 5, 2}, NameRule{10, 10, 1, 3, 1},
            {QString(), journalOrder, QStringLiteral("[A] In [E], [B]."), QStringLiteral("[A] [T]."), "[T]"}};
    // clang-format on
}

// A program folder with a form file of `count` forms, read into the session.
struct Fixture : ProgramFolder
{
    Session session{ui, dir.path()};
    FormEditorModel model{session};

    explicit Fixture(int count = 3)
    {
        for (int k = 1; k <= count; ++k)
            session.forms.append(form(QStringLiteral("Form %1").arg(k), QStringLiteral("[A] ([Y]) [T] %1").arg(k)));
        QString error;
        if (!FormWrite(file(), session.forms, &error))
            qFatal("%s", qPrintable(error));
        model.load();
    }
    QString file() const { return session.AppFolder + QStringLiteral("Form.cfg"); }
    FormTable fileForms() const
    {
        QStringList report;
        return ParseFormFile(readFile(file()), QStringLiteral("Form.cfg"), report);
    }
};

} // namespace

class TestFormEditorModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nextAndPreviousWrapAround()
    {
        Fixture f;
        QCOMPARE(f.model.listIndex(), 0);
        f.model.previous();
        QCOMPARE(f.model.listIndex(), 2);
        QCOMPARE(f.model.nameText() + " | " + f.model.order(1), "Form 3 | [A] ([Y]) [T] 3");
        f.model.next();
        QCOMPARE(f.model.listIndex(), 0);
        QCOMPARE(f.model.note() + " | " + f.model.numberText(false, 2), "Form 1 note | 3");
        QCOMPARE(f.model.entryIndex(true, 1), 9);
    }

    // What a number box makes of what is typed into it (taken or not), and
    // the entry its list then selects.
    void numberBoxes_data()
    {
        // clang-format off
        rows::table({"box", "typed", "taken", "shown", "entry"}, {
            {"author 3", "20", "1", "5", "4"}, {"author 4", "", "1", "1", "0"}, {"editor 1", "15", "1", "14", "13"},
            {"author 4", "99", "1", "1", "0"}, {"editor 5", "3", "1", "2", "1"}, {"editor 2", "-1", "1", "14", "13"},
            {"author 1", "0", "1", "0", "-1"}, // no entry
            {"author 3", "4a", "0", "4", "3"}, {"editor 4", "2.5", "0", "3", "2"}, {"author 1", "-", "0", "2", "1"},
        });
        // clang-format on
    }
    void numberBoxes()
    {
        const bool editor = rows::text("box").startsWith(u'e');
        const int k = rows::text("box").right(1).toInt();
        Fixture f;
        QCOMPARE(f.model.setNumberText(editor, k, rows::text("typed")), rows::number("taken") == 1);
        QCOMPARE(f.model.numberText(editor, k), rows::text("shown"));
        QCOMPARE(f.model.entryIndex(editor, k), rows::number("entry"));
        f.model.ruleCombo_click(editor, k, 1);
        QCOMPARE(f.model.numberText(editor, k), QStringLiteral("2"));
    }

    void savingOverANameThatDiffersByBlanks()
    {
        Fixture f;
        f.model.next(); // Form 2
        f.model.setNameText(QStringLiteral("  Form 3 "));
        f.model.setOrder(1, QStringLiteral("[T] [J]"));
        f.model.setNumberText(false, 1, QStringLiteral("7"));
        QSignalSpy saved(&f.model, &FormEditorModel::formsSaved);
        QVERIFY(f.model.save());
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("Form 3 をオーバーライト保存します")});
        QVERIFY(f.ui.messages[0].buttons == MsgButtons::OkCancel && f.ui.messages[0].icon == MsgIcon::Information);
        QCOMPARE(f.session.forms.FormCount, 3);
        OutputForm expected = form(QStringLiteral("  Form 3 "), QStringLiteral("[T] [J]"));
        expected.note = QStringLiteral("Form 2 note");
        expected.author.firstPerson = 7;
        QVERIFY(f.session.forms.form(3) == expected);
        expected.name = expected.name.trimmed(); // the file's name line is read trimmed
        QVERIFY(f.fileForms().form(3) == expected);
        QCOMPARE(f.session.forms.form(2).order[1], QStringLiteral("[A] ([Y]) [T] 2"));
        QCOMPARE(saved.takeFirst(), (QList<QVariant>{3, false}));
        QCOMPARE(f.model.listIndex(), 2);
    }

    // The new form appended to table and file; read back, the file holds the
    // same forms and a second save writes the same bytes.
    void savingANewForm()
    {
        Fixture f;
        f.model.setNameText(QStringLiteral("Mine"));
        f.model.Sort_click(6);
        f.model.setOrder(4, QStringLiteral("|[T]|[/]"));
        QVERIFY(f.model.save());
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("Mine を新しいフォームとして保存します")});
        QVERIFY(f.session.forms.FormCount == 4 && f.model.names().last() == QStringLiteral("Mine"));
        QCOMPARE(f.model.listIndex(), 3);
        const FormTable read = f.fileForms();
        QVERIFY(read.FormCount == 4 && read == f.session.forms);
        QCOMPARE(read.form(4).order[4] + QString::number(read.form(4).sort), QStringLiteral("|[T]|[/]6"));

        const QByteArray first = readFile(f.file());
        f.ui.messages.clear();
        QVERIFY(f.model.save()); // now an overwrite of "Mine"
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("Mine をオーバーライト保存します")});
        QCOMPARE(readFile(f.file()), first);
    }

    // A save that does not happen: Cancel at the question, a 51st form, a
    // write that fails at any step. The table, the lists and the file stay as
    // they were, and the last message says why.
    void aSaveThatFailsChangesNothing_data()
    {
        // clang-format off
        rows::table({"forms", "name", "fault", "told"}, {
            {"3", "Form 1", "cancel", "Form 1 をオーバーライト保存します"},
            {"3", "Other", "cancel", "Other を新しいフォームとして保存します"},
            {"50", "One too many", "", "50 個まで"}, {"3", "New one", "create", "Form.cfg"},
            {"3", "New one", "write", "Form.cfg"}, {"3", "New one", "sync", "Form.cfg"}, {"3", "New one", "rename", "Form.cfg"},
        });
        // clang-format on
    }
    void aSaveThatFailsChangesNothing()
    {
        const QString fault = rows::text("fault");
        const qsizetype step = QStringList{"create", "write", "sync", "rename"}.indexOf(fault);
        Fixture f(rows::number("forms"));
        const FormTable before = f.session.forms;
        const QByteArray bytes = readFile(f.file());
        f.model.setNameText(rows::text("name"));
        f.model.setOrder(1, QStringLiteral("changed"));
        QSignalSpy saved(&f.model, &FormEditorModel::formsSaved);
        f.ui.answers = {fault == u"cancel" ? MsgAnswer::Cancel : MsgAnswer::Ok};
        {
            std::optional<FileFaultScope> scope;
            if (step >= 0)
                scope.emplace(FileFault(FileStep(step), ENOSPC, fault == u"write" ? 100 : 0));
            QVERIFY(!f.model.save());
        }
        QVERIFY(f.session.forms == before && saved.isEmpty());
        QCOMPARE(readFile(f.file()), bytes);
        QCOMPARE(f.model.names().size(), before.FormCount);
        QCOMPARE(f.ui.messages.size(), step >= 0 ? 2 : 1);
        QVERIFY2(f.ui.messages.last().text.contains(rows::text("told")), qPrintable(f.ui.messages.last().text));
        QCOMPARE(f.ui.messages.last().icon, fault == u"cancel" ? MsgIcon::Information : MsgIcon::Error);
        f.model.setNameText(QStringLiteral("Form 3")); // saving over a form still works
        QVERIFY(f.model.save());
    }

    // No forms at all: an empty form is shown, next and previous do nothing,
    // and Save makes it form 1.
    void anEmptyTable()
    {
        Fixture f(0);
        f.model.next();
        f.model.previous();
        QCOMPARE(f.model.listIndex(), -1);
        QCOMPARE(f.model.numberText(false, 1), QStringLiteral("1"));
        f.model.setNameText(QStringLiteral("First"));
        QVERIFY(f.model.save());
        QCOMPARE(f.fileForms().FormCount, 1);
        QCOMPARE(f.fileForms().form(1).name, QStringLiteral("First"));
    }

    // A form file that had to be repaired when it was read is written anew
    // only when the person agrees.
    void aRepairedFileIsRewrittenOnlyWhenAgreed()
    {
        Fixture f;
        f.session.formReport = {QStringLiteral("form.cfg: 書式 4 が途中で切れています")};
        const QByteArray bytes = readFile(f.file());
        f.ui.answers = {MsgAnswer::Ok, MsgAnswer::Cancel};
        QVERIFY(!f.model.save());
        QCOMPARE(f.ui.messages[1].icon, MsgIcon::Warning);
        QCOMPARE(readFile(f.file()), bytes);
        QVERIFY(f.model.save());
        QVERIFY(f.session.formReport.isEmpty());
    }

    // A symbol of the legend put into "ab cd" with the given selection: the
    // text and the selection after it.
    void legendSymbols_data()
    {
        // clang-format off
        rows::table({"abb", "selection", "text", "after"}, {
            {"5", "2-2", "ab[PS] cd", "6-6"}, {"12", "0-2", "[FR] cd", "4-4"}, // at the cursor, over a selection
            {"15", "5-5", "ab cd[N1]", "7-8"}, // [Nx] with the number selected
            {"16", "3-5", "ab *cd*", "4-6"}, {"19", "0-0", "||ab cd", "1-1"}, {"21", "5-5", "ab cd[/]", "8-8"},
        });
        // clang-format on
    }
    void legendSymbols()
    {
        const QStringList at = rows::text("selection").split(u'-');
        const LegendEdit e =
            FormEditorModel::legendInsert(rows::number("abb"), QStringLiteral("ab cd"), at[0].toInt(), at[1].toInt());
        QCOMPARE(e.text, rows::text("text"));
        QCOMPARE(QStringLiteral("%1-%2").arg(e.selStart).arg(e.selEnd), rows::text("after"));
    }

    // The preview takes the first record of each style among the hits, or
    // of the bank when there are none, and renders the edited form.
    void previewRecords()
    {
        Fixture f;
        QList<Record> records;
        for (const auto &[style, title] : QList<std::pair<int, const char *>>{
                 {3, "Mono One"}, {1, "Jour One"}, {1, "Jour Two"}, {6, "Other Six"}, {3, "Mono Two"}}) {
            records.append(JournalRecord(2));
            records.last().Style = qint16(style);
            records.last().Title = QString::fromLatin1(title);
        }
        f.makeBank(QStringLiteral("pv"), records);
        f.session.setBank(f.session.AppFolder, QStringLiteral("pv"));
        QList<qint16> hits;
        f.model.currentHits = [&hits] { return hits; };
        // The record taken for each style, "-" for none.
        const auto taken = [&f] {
            f.model.sampleRecords();
            QStringList numbers;
            for (int style = 1; style <= 4; ++style)
                numbers.append(f.model.preview().record(style) ? QString::number(f.model.preview().record(style)->recNo)
                                                               : QStringLiteral("-"));
            return numbers.join(u' ');
        };
        QCOMPARE(taken(), QStringLiteral("2 - 1 4"));
        hits = {5, 3};
        QCOMPARE(taken(), QStringLiteral("3 - 5 -"));

        f.model.setOrder(1, QStringLiteral("|[T]| *[Y]*[/][R]"));
        const QString text = f.model.previewText();
        QVERIFY2(text.startsWith(QStringLiteral("Journal  (Rec 3)\nJour Two 1992\n 3\n\nBook (editn.)  （")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Monograph  (Rec 5)\nSmith, J.R. Mono Two.\n")), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestFormEditorModel)
#include "tst_form_editor_model.moc"
