#include "support/bank_generator.h"

#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/record.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <iterator>
#include <random>

namespace bench {
namespace {

const char *const kSurnames[] = {
    "Smith",     "Jones",    "Brown",    "Taylor",  "Wilson",  "Johnson",   "Davies",   "Robinson", "Wright",
    "Thompson",  "Evans",    "Walker",   "White",   "Roberts", "Green",     "Hall",     "Wood",     "Jackson",
    "Clarke",    "Nakamura", "Mueller",  "Rossi",   "Garcia",  "Martin",    "Le_Blanc", "St_John",  "Van_Der_Berg",
    "De_Vries",  "Ivanov",   "Kowalski", "Okafor",  "Chen",    "Wang",      "Li",       "Zhang",    "Liu",
    "Kim",       "Park",     "Lee",      "Singh",   "Patel",   "Schmidt",   "Fischer",  "Weber",    "Meyer",
    "Dubois",    "Moreau",   "Laurent",  "Bianchi", "Romano",  "Fernandez", "Lopez",    "Santos",   "Silva",
    "Andersson", "Nilsson",  "Hansen",   "Jensen",  "Novak",   "Horvath"};

const char16_t *const kJapaneseNames[] = {u"山田太郎", u"鈴木一郎", u"佐藤花子", u"田中次郎", u"伊藤美咲",
                                          u"渡辺健",   u"小林直樹", u"加藤由紀", u"吉田修",   u"山本浩二",
                                          u"中村優子", u"松本隆",   u"井上智子", u"木村拓也", u"林真理子",
                                          u"清水誠",   u"山口恵",   u"森田昭",   u"池田和夫", u"橋本聡"};

const char *const kWords[] = {"analysis",
                              "structure",
                              "function",
                              "regulation",
                              "expression",
                              "cell",
                              "cells",
                              "protein",
                              "proteins",
                              "gene",
                              "genes",
                              "genome",
                              "sequence",
                              "mouse",
                              "human",
                              "rat",
                              "plant",
                              "growth",
                              "development",
                              "response",
                              "stress",
                              "signal",
                              "signaling",
                              "pathway",
                              "receptor",
                              "binding",
                              "domain",
                              "membrane",
                              "transport",
                              "channel",
                              "activity",
                              "enzyme",
                              "kinase",
                              "phosphorylation",
                              "mutation",
                              "mutant",
                              "variant",
                              "population",
                              "evolution",
                              "selection",
                              "diversity",
                              "species",
                              "model",
                              "models",
                              "theory",
                              "method",
                              "methods",
                              "approach",
                              "study",
                              "studies",
                              "effect",
                              "effects",
                              "role",
                              "mechanism",
                              "mechanisms",
                              "control",
                              "dynamics",
                              "interaction",
                              "interactions",
                              "network",
                              "networks",
                              "system",
                              "systems",
                              "brain",
                              "neuron",
                              "neurons",
                              "synaptic",
                              "memory",
                              "learning",
                              "behavior",
                              "behaviour",
                              "climate",
                              "soil",
                              "water",
                              "carbon",
                              "nitrogen",
                              "temperature",
                              "light",
                              "imaging",
                              "microscopy",
                              "spectroscopy",
                              "crystal",
                              "surface",
                              "quantum",
                              "magnetic",
                              "electron",
                              "optical",
                              "thermal",
                              "chemical",
                              "synthesis",
                              "catalyst",
                              "reaction",
                              "polymer",
                              "material",
                              "materials",
                              "properties",
                              "measurement",
                              "estimation",
                              "statistical",
                              "data",
                              "large-scale",
                              "novel",
                              "new",
                              "early",
                              "late",
                              "cancer",
                              "tumor",
                              "immune",
                              "infection",
                              "virus",
                              "bacteria",
                              "bacterial",
                              "disease",
                              "clinical",
                              "patients",
                              "treatment",
                              "therapy",
                              "drug",
                              "resistance",
                              "in",
                              "of",
                              "the",
                              "and",
                              "for",
                              "a",
                              "from",
                              "by",
                              "with",
                              "during",
                              "under",
                              "between",
                              "across",
                              "via"};

const char16_t *const kJapaneseWords[] = {
    u"遺伝子", u"発現", u"細胞",   u"解析",     u"構造",   u"機能", u"調節",   u"タンパク質", u"神経", u"発生", u"進化",
    u"集団",   u"環境", u"応答",   u"ストレス", u"受容体", u"酵素", u"変異",   u"モデル",     u"理論", u"方法", u"研究",
    u"効果",   u"役割", u"機構",   u"制御",     u"動態",   u"植物", u"マウス", u"ヒト",       u"脳",   u"記憶", u"学習",
    u"行動",   u"気候", u"土壌",   u"水",       u"炭素",   u"温度", u"光",     u"合成",       u"反応", u"材料", u"性質",
    u"測定",   u"統計", u"データ", u"新規",     u"がん",   u"免疫", u"感染",   u"疾患",       u"臨床", u"治療"};

const char *const kJournalTopics[] = {"Biology",  "Chemistry", "Physics", "Genetics",  "Ecology",    "Neuroscience",
                                      "Medicine", "Botany",    "Zoology", "Materials", "Statistics", "Geology"};
const char *const kJournalForms[] = {"Journal of %1",  "%1 Letters",   "Annals of %1", "%1 Reviews",
                                     "Advances in %1", "Trends in %1", "Acta %1",      "%1 Research"};
const char16_t *const kJapaneseJournals[] = {u"日本%1学会誌", u"%1研究", u"%1雑誌", u"季刊%1"};
const char16_t *const kJapaneseTopics[] = {u"生物", u"化学", u"物理", u"遺伝", u"生態", u"神経", u"医学", u"植物"};
const char *const kPublishers[] = {
    "Springer",  "Academic Press", "Elsevier", "Wiley", "Oxford University Press", "Cambridge University Press",
    "CRC Press", "Sinauer"};
const char16_t *const kJapanesePublishers[] = {u"岩波書店", u"東京大学出版会", u"朝倉書店",
                                               u"共立出版", u"講談社",         u"裳華房"};

constexpr int kEndT = 50, kEndJ = 450, kEndP = 480, kEndE = 500;

class Maker
{
public:
    explicit Maker(unsigned seed) : m_rng(seed) {}

    int pick(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
    template <typename T, size_t N> T from(T const (&list)[N]) { return list[pick(static_cast<int>(N))]; }

    QString person()
    {
        if (pick(8) == 0)
            return QString::fromUtf16(from(kJapaneseNames));
        QString name;
        for (int k = 1 + pick(2); k > 0; --k) {
            name += QChar(u'A' + pick(26));
            name += u'.';
        }
        return name + QString::fromLatin1(from(kSurnames));
    }

    QString persons(int most)
    {
        QStringList list;
        for (int k = 1 + pick(most); k > 0; --k)
            list.append(person());
        QString text = list.join(QStringLiteral(", "));
        if (pick(12) == 0)
            text += QStringLiteral(" et_al");
        return text;
    }

    QString title()
    {
        if (pick(7) == 0) {
            QString t;
            for (int k = 2 + pick(5); k > 0; --k)
                t += QString::fromUtf16(from(kJapaneseWords)) + (pick(3) == 0 ? QStringLiteral("の") : QString());
            return t + QStringLiteral("。");
        }
        QStringList words;
        for (int k = 4 + pick(12); k > 0; --k)
            words.append(QString::fromLatin1(from(kWords)));
        words[0][0] = words[0][0].toUpper();
        return words.join(u' ') + u'.';
    }

    QString keywords()
    {
        QStringList list;
        for (int k = 2 + pick(4); k > 0; --k)
            list.append(pick(5) == 0 ? QString::fromUtf16(from(kJapaneseWords)) : QString::fromLatin1(from(kWords)));
        return list.join(QStringLiteral(", "));
    }

    tz::Record record()
    {
        tz::Record r;
        const int kind = pick(20);
        r.Style = static_cast<qint16>(kind < 14 ? 1 : kind < 17 ? 2 : kind < 19 ? 3 : 4);
        r.Author = persons(8);
        r.Title = title();
        r.Year = static_cast<qint16>(1950 + pick(76));
        r.Keyword = pick(3) == 0 ? QString() : keywords();
        if (pick(5) == 0)
            r.Memo = pick(2) ? QStringLiteral("PDF on file") : QStringLiteral("要確認 p.%1").arg(1 + pick(300));
        const int page = 1 + pick(2000);
        switch (r.Style) {
        case 1:
            r.JPcode = static_cast<qint16>(1 + pick(kEndJ));
            r.Volume = pick(6) == 0 ? QStringLiteral("%1(%2)").arg(1 + pick(120)).arg(1 + pick(12))
                                    : QString::number(1 + pick(120));
            r.Page1 = QString::number(page);
            r.Page2 = QString::number(page + 1 + pick(30));
            break;
        case 2:
            r.JPcode = static_cast<qint16>(kEndJ + 1 + pick(kEndP - kEndJ));
            r.Editor = persons(3);
            r.Book = title();
            r.Page1 = QString::number(page % 600 + 1);
            r.Page2 = QString::number(page % 600 + 10 + pick(40));
            break;
        case 3:
            r.JPcode = static_cast<qint16>(kEndJ + 1 + pick(kEndP - kEndJ));
            r.Page1 = QString::number(100 + pick(700));
            break;
        default:
            r.JPcode = static_cast<qint16>(pick(2) ? 0 : kEndP + 1 + pick(kEndE - kEndP));
            r.Volume = pick(2) ? QStringLiteral("Report %1").arg(1 + pick(99)) : QString();
            break;
        }
        r.RegDate = 36000 + pick(10000);
        return r;
    }

    // A second booking: the same reference typed again with small differences
    // after the starts of author and title.
    tz::Record twin(const tz::Record &of)
    {
        tz::Record r = of;
        if (pick(2))
            r.Author += QStringLiteral(", ") + person();
        r.Title = r.Title.left(4 + pick(20)) + QStringLiteral(" (repr.)");
        r.Keyword = keywords();
        r.Year = static_cast<qint16>(r.Year + pick(2));
        return r;
    }

private:
    std::mt19937 m_rng;
};

tz::JPcodeTable journalTable(Maker &make)
{
    tz::JPcodeTable table;
    table.JPendT = kEndT;
    table.JPendJ = kEndJ;
    table.JPendP = kEndP;
    table.JPendE = kEndE;
    tz::JPcodeRepairEnds(table);
    for (int code = 1; code <= kEndJ; ++code) {
        QString name;
        if (code % 6 == 0)
            name = QString::fromUtf16(make.from(kJapaneseJournals)).arg(QString::fromUtf16(make.from(kJapaneseTopics)));
        else
            name = QString::fromLatin1(make.from(kJournalForms)).arg(QString::fromLatin1(make.from(kJournalTopics)));
        table.JPname[code] = QStringLiteral("%1 %2").arg(name).arg(code);
    }
    for (int code = kEndJ + 1; code <= kEndP; ++code)
        table.JPname[code] = code % 3 == 0 ? QString::fromUtf16(make.from(kJapanesePublishers))
                                           : QString::fromLatin1(make.from(kPublishers));
    for (int code = kEndP + 1; code <= kEndE; ++code)
        table.JPname[code] = QStringLiteral("Technical report series %1").arg(code - kEndP);
    return table;
}

} // namespace

GeneratedBank WriteBenchBank(const QString &path, int records, unsigned seed)
{
    GeneratedBank bank;
    bank.rareWord1 = QStringLiteral("telomerase");
    bank.rareWord2 = QString::fromUtf8("ミトコンドリア");
    if (!QDir().mkpath(path))
        return bank;

    Maker make(seed);
    const int spacing = qMax(1, records / 110);
    QByteArray file;
    file.reserve(static_cast<qsizetype>(records) * tz::kRecordSize);
    QList<tz::Record> written;
    written.reserve(records);
    for (int n = 1; n <= records; ++n) {
        tz::Record r;
        if (n > 100 && make.pick(100) == 0) {
            r = make.twin(written[make.pick(n - 1)]);
            ++bank.duplicates;
        } else if (make.pick(300) == 0) {
            r = make.record(); // a record left blank: no author (or ".") and no title
            r.Author = make.pick(2) ? QStringLiteral(".") : QString();
            r.Title.clear();
        } else {
            r = make.record();
        }
        if (n % spacing == spacing / 3)
            r.Title = r.Title.left(60) + u' ' + bank.rareWord1 + QStringLiteral(" activity.");
        if (n % spacing == (2 * spacing) / 3)
            r.Keyword = bank.rareWord2 + QStringLiteral(", ") + r.Keyword.left(100);
        written.append(r);
        file += tz::EncodeRecord(r);
    }

    QFile out(QDir(path).filePath(QString(tz::kRecordFileName)));
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return bank;
    out.close();
    QFile links(QDir(path).filePath(QString(tz::kLinkFileName)));
    if (!links.open(QIODevice::WriteOnly))
        return bank;
    links.close();
    if (!tz::JPcodeSave(QDir(path).filePath(QString(tz::kJPcodeFileName)), journalTable(make)))
        return bank;
    bank.path = path;
    bank.records = records;
    return bank;
}

} // namespace bench
