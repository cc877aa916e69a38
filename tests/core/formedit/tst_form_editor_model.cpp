// The form editor's behaviour without widgets: next and previous around the
// table, the number boxes kept with their lists, saving over a form or as a
// new one with the form file written whole (or not at all), and the preview's
// records and text.
#include "core/bank/bank_files.h"
#include "core/common/file_faults.h"
#include "core/formedit/form_editor_model.h"
#include "core/session/session.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;
using namespace tz::testing;

namespace {

OutputForm form(const QString &name, const QString &journalOrder)
{
    OutputForm f;
    f.name = name;
    f.note = name + QStringLiteral(" note");
    f.sort = 3;
    f.author = NameRule{2, 3, 4, 5, 2};
    f.editor = NameRule{10, 10, 1, 3, 1};
    f.order = {QString(), journalOrder, QStringLiteral("[A] In [E], [B]."), QStringLiteral("[A] [T]."),
               QStringLiteral("[T]")};
    return f;
}

// A program folder with a form file of `count` forms, read into the session.
struct Fixture
{
    QTemporaryDir dir;
    FakeUserInterface ui;
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
        QCOMPARE(f.model.nameText(), QStringLiteral("Form 3"));
        QCOMPARE(f.model.order(1), QStringLiteral("[A] ([Y]) [T] 3"));
        f.model.next();
        QCOMPARE(f.model.listIndex(), 0);
        QCOMPARE(f.model.note(), QStringLiteral("Form 1 note"));
        QCOMPARE(f.model.numberText(false, 2), QStringLiteral("3"));
        QCOMPARE(f.model.entryIndex(true, 1), 9);
    }

    // What a number box makes of what is typed into it, and the entry its
    // list then selects.
    void numberBoxes_data()
    {
        QTest::addColumn<bool>("editor");
        QTest::addColumn<int>("k");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("entry");
        QTest::newRow("20 in author box 3") << false << 3 << "20" << true << "5" << 4;
        QTest::newRow("author box 4 emptied") << false << 4 << "" << true << "1" << 0;
        QTest::newRow("15 in editor box 1") << true << 1 << "15" << true << "14" << 13;
        QTest::newRow("99 in author box 4") << false << 4 << "99" << true << "1" << 0;
        QTest::newRow("3 in editor box 5") << true << 5 << "3" << true << "2" << 1;
        QTest::newRow("-1 in editor box 2") << true << 2 << "-1" << true << "14" << 13;
        QTest::newRow("0: no entry") << false << 1 << "0" << true << "0" << -1;
        QTest::newRow("letters refused") << false << 3 << "4a" << false << "4" << 3;
        QTest::newRow("a decimal refused") << true << 4 << "2.5" << false << "3" << 2;
        QTest::newRow("a lone sign refused") << false << 1 << "-" << false << "2" << 1;
    }
    void numberBoxes()
    {
        QFETCH(bool, editor);
        QFETCH(int, k);
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QFETCH(QString, shown);
        QFETCH(int, entry);
        Fixture f;
        QCOMPARE(f.model.setNumberText(editor, k, typed), taken);
        QCOMPARE(f.model.numberText(editor, k), shown);
        QCOMPARE(f.model.entryIndex(editor, k), entry);
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
        QCOMPARE(f.ui.messages[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(f.ui.messages[0].icon, MsgIcon::Information);
        QCOMPARE(f.session.forms.FormCount, 3);
        const OutputForm &slot = f.session.forms.form(3);
        QCOMPARE(slot.name, QStringLiteral("  Form 3 "));
        QCOMPARE(slot.note, QStringLiteral("Form 2 note"));
        QCOMPARE(slot.order[1], QStringLiteral("[T] [J]"));
        QCOMPARE(slot.author.firstPerson, qint16(7));
        QCOMPARE(f.session.forms.form(2).order[1], QStringLiteral("[A] ([Y]) [T] 2"));
        QCOMPARE(saved.takeFirst(), (QList<QVariant>{3, false}));
        QCOMPARE(f.model.listIndex(), 2);
        QCOMPARE(f.fileForms().form(3).order[1], QStringLiteral("[T] [J]"));
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
        QCOMPARE(f.session.forms.FormCount, 4);
        QCOMPARE(f.model.names().last(), QStringLiteral("Mine"));
        QCOMPARE(f.model.listIndex(), 3);
        const FormTable read = f.fileForms();
        QCOMPARE(read.FormCount, 4);
        QVERIFY(read == f.session.forms);
        QCOMPARE(read.form(4).sort, qint16(6));
        QCOMPARE(read.form(4).order[4], QStringLiteral("|[T]|[/]"));

        const QByteArray first = readFile(f.file());
        f.ui.messages.clear();
        QVERIFY(f.model.save()); // now an overwrite of "Mine"
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("Mine をオーバーライト保存します")});
        QCOMPARE(readFile(f.file()), first);
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("overwrite") << "Form 1";
        QTest::newRow("new form") << "Other";
    }
    void cancelChangesNothing()
    {
        QFETCH(QString, name);
        Fixture f;
        const FormTable before = f.session.forms;
        const QByteArray bytes = readFile(f.file());
        f.model.setNameText(name);
        f.model.setOrder(1, QStringLiteral("changed"));
        f.ui.answers = {MsgAnswer::Cancel};
        QVERIFY(!f.model.save());
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.session.forms == before);
        QCOMPARE(readFile(f.file()), bytes);
        QCOMPARE(f.model.names().size(), 3);
    }

    void aFiftyFirstFormIsRefused()
    {
        Fixture f(MaxForms);
        const QByteArray bytes = readFile(f.file());
        f.model.setNameText(QStringLiteral("One too many"));
        QVERIFY(!f.model.save());
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].icon, MsgIcon::Error);
        QVERIFY(f.ui.messages[0].text.contains(QStringLiteral("50 個まで")));
        QCOMPARE(f.session.forms.FormCount, MaxForms);
        QCOMPARE(readFile(f.file()), bytes);
        // Saving over one of the fifty still works.
        f.model.setNameText(QStringLiteral("Form 50"));
        QVERIFY(f.model.save());
    }

    // A write that fails at any step: the old file stays, the table is as it
    // was, and the person is told why.
    void aFailedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<qint64>("bytesBefore");
        QTest::newRow("create") << int(FileStep::Create) << qint64(0);
        QTest::newRow("write midway") << int(FileStep::Write) << qint64(100);
        QTest::newRow("sync") << int(FileStep::Sync) << qint64(0);
        QTest::newRow("rename") << int(FileStep::Rename) << qint64(0);
    }
    void aFailedWriteKeepsTheOldFile()
    {
        QFETCH(int, step);
        QFETCH(qint64, bytesBefore);
        Fixture f;
        const FormTable before = f.session.forms;
        const QByteArray bytes = readFile(f.file());
        f.model.setNameText(QStringLiteral("New one"));
        QSignalSpy saved(&f.model, &FormEditorModel::formsSaved);
        {
            FileFaultScope fault(FileFault(FileStep(step), ENOSPC, bytesBefore));
            QVERIFY(!f.model.save());
        }
        QCOMPARE(readFile(f.file()), bytes);
        QVERIFY(f.session.forms == before);
        QCOMPARE(f.model.names().size(), 3);
        QCOMPARE(saved.size(), 0);
        QCOMPARE(f.ui.messages.size(), 2);
        QCOMPARE(f.ui.messages[1].icon, MsgIcon::Error);
        QVERIFY2(f.ui.messages[1].text.contains(QStringLiteral("Form.cfg")), qPrintable(f.ui.messages[1].text));
    }

    // No forms at all: an empty form is shown, next and previous do nothing,
    // and Save makes it form 1.
    void anEmptyTable()
    {
        Fixture f(0);
        QCOMPARE(f.model.listIndex(), -1);
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

    void legendSymbols_data()
    {
        QTest::addColumn<int>("abb");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        // Into "ab cd".
        QTest::newRow("[PS] at the cursor") << 5 << 2 << 2 << "ab[PS] cd" << 6 << 6;
        QTest::newRow("[FR] over a selection") << 12 << 0 << 2 << "[FR] cd" << 4 << 4;
        QTest::newRow("[Nx] with the number selected") << 15 << 5 << 5 << "ab cd[N1]" << 7 << 8;
        QTest::newRow("underline around a selection") << 16 << 3 << 5 << "ab *cd*" << 4 << 6;
        QTest::newRow("bold at the cursor") << 19 << 0 << 0 << "||ab cd" << 1 << 1;
        QTest::newRow("[/]") << 21 << 5 << 5 << "ab cd[/]" << 8 << 8;
    }
    void legendSymbols()
    {
        QFETCH(int, abb);
        QFETCH(int, from);
        QFETCH(int, to);
        const LegendEdit e = FormEditorModel::legendInsert(abb, QStringLiteral("ab cd"), from, to);
        QTEST(e.text, "text");
        QTEST(e.selStart, "selStart");
        QTEST(e.selEnd, "selEnd");
    }

    // The preview takes the first record of each style among the hits, or
    // of the bank when there are none, and renders the edited form.
    void previewRecords()
    {
        Fixture f;
        const QString bank = f.session.AppFolder + QStringLiteral("pv.bnk/");
        QVERIFY(CreateBank(bank, QDate(2024, 1, 2), nullptr));
        const QList<std::pair<int, QString>> records = {
            {3, "Mono One"}, {1, "Jour One"}, {1, "Jour Two"}, {6, "Other Six"}, {3, "Mono Two"}};
        for (int i = 0; i < records.size(); ++i) {
            Record r;
            r.Style = qint16(records[i].first);
            r.Title = records[i].second;
            r.Author = QStringLiteral("J.R.Smith");
            r.Year = 2001;
            QVERIFY(RecWrite(bank, i + 1, r, true));
        }
        f.session.setBank(f.session.AppFolder, QStringLiteral("pv"));
        QList<qint16> hits;
        f.model.currentHits = [&hits] { return hits; };

        f.model.sampleRecords();
        QCOMPARE(f.model.preview().record(1)->recNo, 2);
        QVERIFY(!f.model.preview().record(2));
        QCOMPARE(f.model.preview().record(3)->recNo, 1);
        QCOMPARE(f.model.preview().record(4)->recNo, 4);
        hits = {5, 3};
        f.model.sampleRecords();
        QCOMPARE(f.model.preview().record(1)->recNo, 3);
        QCOMPARE(f.model.preview().record(3)->recNo, 5);
        QVERIFY(!f.model.preview().record(4));

        f.model.setOrder(1, QStringLiteral("|[T]| *[Y]*[/][R]"));
        const QString text = f.model.previewText();
        QVERIFY2(text.startsWith(QStringLiteral("Journal  (Rec 3)\nJour Two 2001\n 3\n\nBook (editn.)  （")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Monograph  (Rec 5)\nSmith, J.R. Mono Two.\n")), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestFormEditorModel)
#include "tst_form_editor_model.moc"
