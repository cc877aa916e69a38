#pragma once
// The search: parsing the key text (step 1), finding the hits in the bank's
// record file (step 2). The hit list then goes to the renderer (step 3).

#include "core/search/search_kinds.h"
#include "core/session/services.h"
#include "core/store/jpcode.h"
#include "core/store/record_image.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

namespace tz {

// The option check boxes (`CheckMode` indexes).
enum CheckModeIndex : int {
    CheckAndPreferred = 0,
    CheckAdditional = 1,
    CheckUnique = 2,
    CheckIgnoreCase = 3,
    CheckTopWord = 4
};

// What step 1 of the number kinds checks the numbers against.
struct NumberContext
{
    int RecCount = 0;
    JPcodeTable const *jp = nullptr;
    int currentYear = 0;
};

class SearchEngine
{
public:
    // Progress: opens (pos = 1, max = candidates), steps (pos), closes. It
    // may set CancelFlag; the engine tests it before each candidate.
    using Progress = std::function<void(ProgressMode mode, int pos, int max)>;

    explicit SearchEngine(int maxHits = 200);

    // Sizes the hit list to entries 0..maxHits (clamped to 1..32767).
    void setMaxHits(int maxHits);

    int SearchItem = KindFreeKeyword;
    QStringList KeyWords;  // entries 1..KeyCount
    QList<qint16> KeyNums; // entries 1..KeyCount
    int KeyCount = 0;
    bool AndMode = false;
    QList<qint16> HitList; // entries 1..HitCount
    int HitCount = 0;
    int MaxHits = 200;
    bool CancelFlag = false;
    std::array<bool, 5> CheckMode{false, false, true, true, false};
    Progress progress;

    // Step 1.
    void Step1GetWord(const QString &keyText);
    void Step1GetNum(const QString &keyText, const NumberContext &ctx);

    // Step 2. Each writes HitList and HitCount; a cancelled search leaves
    // HitCount as it was (entries already stored stay).
    void Step2HitWord(const RecordImage &bank);
    void Step2HitNum(const RecordImage &bank);
    void Step2HitReco();
    // The record-number search run again on the list it started from, so its
    // hits come back in key order (the sort "none" of those searches).
    void RebuildRecordHits();
    void Step2HitBlank(const RecordImage &bank);
    void Step2HitDouble(const RecordImage &bank);
    void Step2HitSimilar(const RecordImage &bank, int CurRec);

    // Steps 1 and 2 of the kind SearchItem: the key text parsed as words or
    // numbers (checked against the bank, the JP code table and the current
    // year), then the hit procedure of the kind; the similar-record kinds
    // compare with record similarRec. False for a kind that has no search.
    bool RunSteps(const RecordImage &bank, const QString &keyText, const JPcodeTable &jp, int similarRec = 0);

    // The hits as a list (entries 1..HitCount).
    QList<qint16> hits() const { return HitList.mid(1, HitCount); }

    // Closes the progress window a step 2 opened; a cancelled step leaves it
    // open for its caller to close.
    void closeProgress();

private:
    QList<qint16> m_recoStartList; // HitList and HitCount as the last
    int m_recoStartCount = 0;      // record-number search found them
    bool cancelled(int pos);
    // The earlier list a search in the Additional mode looks through (a copy,
    // as the search writes its hits over it); null for a search of every record.
    const QList<qint16> *earlierList();
    QList<qint16> m_earlier;
    void openProgress(int max);
    int m_progressMax = 0; // the candidates of the open progress window
};

// The duplicate and similarity keys of a record's bytes.
QString DupKey(QByteArrayView record);
QString SimilarKey(QByteArrayView record);

} // namespace tz
