#pragma once
// Importing an interchange file into a bank: the whole file is read and
// checked first (every reference made a record as the card would store it,
// duplicates of stored records found), and only then are the new records
// appended after the last record in one write; existing records are never
// touched. Journals and publishers are found in the JP code table by name
// (capitals and blanks ignored) or take its lowest free code.

#include "core/interchange/reference.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/session/services.h"

#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tz {

// An imported reference that is already in the bank (or earlier in the file).
struct ImportDuplicate
{
    int line = 0;
    QString title;
    QString reason; // "DOI がレコード 12 と同じ", "重複キーが 5 行目の文献と同じ"
};

struct ImportPlan
{
    QList<ImportedRecord> records; // to append, in the order of the file
    QList<int> lines;              // the line of each in the file
    QList<ImportDuplicate> duplicates;
    bool duplicatesKept = false; // the duplicates are among the records
    int entries = 0;             // references in the file
    int recCount = 0;            // records of the bank when planned
    // Where the first new record goes: after the last record, or record 1
    // when the bank holds only the blank record of a new bank.
    int first = 1;
    QString error;          // set: nothing can be imported
    bool cancelled = false; // the person cancelled the reading

    // The report for the person: what was changed, cut, put into the memo or
    // left out, entry by entry, and the duplicates.
    QStringList report() const;
};

// What an import did.
struct ImportOutcome
{
    JPstatus status = JPstatus::Done;
    QString message;
    int first = 0; // the first new record
    int count = 0; // records appended
    // An enlargement of a JP code group renumbered the stored records.
    std::optional<JPrenumber> renumbered;
};

// The record limit message.
QString ImportLimitMessage(int stored, int added);

class BankImport
{
public:
    explicit BankImport(JPcodeTable &table) : m_table(table) {}

    QString bankPath;
    QDate today = QDate::currentDate();
    // Asked before a JP code group is enlarged; none: always yes.
    std::function<bool(const QString &question)> confirm;
    // Asked before a JP code table that was not read exactly is written.
    std::function<bool()> mayOverwriteInexact;
    std::function<void(ProgressMode mode, int first, int last, int current)> progress;
    bool *cancelFlag = nullptr;

    // Reads and checks a whole file against the bank, with the progress
    // window and Cancel. With keepDuplicates the duplicates are listed and
    // imported all the same.
    ImportPlan plan(QByteArrayView fileBytes, bool keepDuplicates = false) const;
    // Plans references already read (a DOI look-up).
    ImportPlan plan(const QList<Reference> &refs, bool keepDuplicates = false) const;

    // Gives the planned records their JP codes (adding new names to the
    // table in memory). Used by apply and by the card, which fills its boxes
    // with a record instead of appending it. Enlarges a full group on disk.
    ImportOutcome assignJPcodes(QList<ImportedRecord> &records);

    // Appends the planned records. The table, the URL/DOI table and the
    // record file are written in that order; when a later one fails the
    // earlier ones are put back, so that nothing is imported. The table in
    // memory is the bank's afterwards.
    ImportOutcome apply(ImportPlan &plan);

private:
    JPcodeTable &m_table;
    JPcodeTable m_bankTable; // the table as the bank holds it, before new names
};

// The JP code category a record style's new names go to, and the code whose
// name matches `name` in the style's list (capitals and blanks ignored), or 0.
int JPcategoryForStyle(int style);
int JPcodeByName(const JPcodeTable &table, int style, const QString &name);
// A name as the match compares it.
QString JPnameKey(const QString &name);

} // namespace tz
