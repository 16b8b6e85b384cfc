#include "core_rig.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QString kZexe = QStringLiteral("Tarnwick\\History\\ZEXE");

// "key=value" pairs of a section, in the order and letter case they were first written.
QStringList sectionText(const SettingsStore& store, const QString& section)
{
    QStringList out;
    for (const auto& [k, v] : store.entries(section)) out << k + u'=' + v;
    return out;
}

QStringList loadZexe(SettingsStore& store)
{
    Histories h(store);
    h.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
    return h.shown(History::ZEXE);
}

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT
private slots:
    void recordsAndLoads();
    void damagedCountNeitherHangsNorLosesEntries();
    void clearAll();
};

// The ZEXE section before, the texts recorded, the drop-down afterwards and the section afterwards.
void TestHistory::recordsAndLoads()
{
    using L = QStringList;
    const struct { L stored, recorded, shown, after; } cases[] = {
        // Stored in recording order, shown sorted; an empty text is not recorded.
        {{}, {"b.exe", "", "A.exe", "c.exe"}, {"A.exe", "b.exe", "c.exe"}, {"ZEXECount=3", "ZEXE1=b.exe", "ZEXE2=A.exe", "ZEXE3=c.exe"}},
        // A duplicate in another letter case keeps the stored case.
        {{"ZEXECount=1", "ZEXE1=C:\\zdoom.exe"}, {"c:\\ZDOOM.EXE"}, {"C:\\zdoom.exe"}, {"ZEXECount=1", "ZEXE1=C:\\zdoom.exe"}},
        // A missing entry is skipped and its number not used again.
        {{"ZEXECount=3", "ZEXE1=one", "ZEXE3=three"}, {"four"}, {"four", "one", "three"},
         {"ZEXECount=4", "ZEXE1=one", "ZEXE3=three", "ZEXE4=four"}},
        {{"ZEXECount=2", "ZEXE1=", "ZEXE2=x"}, {}, {"x"}, {"ZEXECount=2", "ZEXE1=", "ZEXE2=x"}}, // empty entry skipped
        {{"ZEXE1=a", "ZEXE2=b"}, {}, {"a"}, {"ZEXE1=a", "ZEXE2=b"}},                           // no count: entry 1 only
        {{"ZEXECount=0", "ZEXE1=old"}, {"new"}, {"new"}, {"ZEXECount=1", "ZEXE1=new"}},         // count 0 hides the rest
        // Keys that are no entry numbers are ignored.
        {{"ZEXECount=3", "ZEXE01=zero", "ZEXE+2=plus", "ZEXE3=three", "ZEXE3x=x"}, {}, {"three"},
         {"ZEXECount=3", "ZEXE01=zero", "ZEXE+2=plus", "ZEXE3=three", "ZEXE3x=x"}}};
    // The drop-down is read from the store when first shown: before the recording or after it.
    for (const auto& c : cases) for (bool shownFirst : {false, true}) {
        test::TempStore t;
        for (const QString& kv : c.stored) t.store.write(kZexe, kv.section(u'=', 0, 0), kv.section(u'=', 1));
        Histories h(t.store);
        h.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
        if (shownFirst) h.shown(History::ZEXE);
        for (const QString& text : c.recorded) h.CmbProc(text, QStringLiteral("ZEXE"), History::ZEXE);
        QCOMPARE(h.shown(History::ZEXE), c.shown);
        QCOMPARE(sectionText(t.store, kZexe), c.after);
        QCOMPARE(loadZexe(t.store), c.shown); // the next start shows the same list
    }
}

// A count that is not a whole number of 0 or more counts as the largest entry number present.
void TestHistory::damagedCountNeitherHangsNorLosesEntries()
{
    for (const char* count : {"abc", "-5", "2.5", "99999999999", ""}) {
        test::TempStore t;
        for (const char* kv : {"ZEXE1=one", "ZEXE2=two", "ZEXE3=three", "ZEXE999999999999=far"})
            t.store.write(kZexe, QString::fromLatin1(kv).section(u'=', 0, 0), QString::fromLatin1(kv).section(u'=', 1));
        t.store.write(kZexe, QStringLiteral("ZEXECount"), QString::fromLatin1(count));
        QCOMPARE(loadZexe(t.store), (QStringList{"far", "one", "three", "two"}));

        // Recording goes on after the stored entries and never overwrites one of them.
        Histories h(t.store);
        h.CmbProc(QStringLiteral("new"), QStringLiteral("ZEXE"), History::ZEXE);
        QCOMPARE(h.stored(QStringLiteral("ZEXE")), (QStringList{"one", "two", "three", "far", "new"}));
        QCOMPARE(loadZexe(t.store), (QStringList{"far", "new", "one", "three", "two"}));
    }
}

void TestHistory::clearAll()
{
    for (bool yes : {true, false}) {
        test::Program g;
        auto& r = g.r;
        QTemporaryDir folder;
        // A chosen save game survives the folder box's empty-and-restore.
        QVERIFY(test::makeSaves(folder.path(), {"s:wad"}));
        r.game.setFolder(folder.path());
        r.game.chooseSaveGame(2);
        r.play.setListText(PlayOptionsController::FileList::Patches, QStringLiteral("typed.deh"));
        r.misc.setExtraCommands(QStringLiteral("-nomusic"));
        for (int i = 0; i < kHistoryCount; ++i)
            r.histories.CmbProc(QStringLiteral("x") + historyName(History(i)), historyName(History(i)), History(i));
        const QString boxes = r.p().txtFol + r.p().txtDeh + r.p().txtEC, command = r.command();
        QVERIFY2(command.contains(QLatin1StringView("-LOADGAME s.zds")), qPrintable(command));

        r.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
        r.main.clearAllHistories();
        QCOMPARE(r.messages.prompts.size(), 1); // its words are checked with the menu's shortcut

        QCOMPARE(r.p().txtFol + r.p().txtDeh + r.p().txtEC, boxes);
        QCOMPARE(r.command(), command);
        for (int i = 0; i < kHistoryCount; ++i) {
            QCOMPARE(r.histories.shown(History(i)).isEmpty(), yes);
            QCOMPARE(g.t.store.entries(QStringLiteral("Tarnwick\\History\\") + historyName(History(i))).isEmpty(), yes);
        }
        if (yes) { // the next recording starts again at entry 1
            r.histories.CmbProc(QStringLiteral("again"), QStringLiteral("EC"), History::EC);
            QCOMPARE(sectionText(g.t.store, QStringLiteral("Tarnwick\\History\\EC")), (QStringList{"ECCount=1", "EC1=again"}));
        }
    }
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
