#include "core_rig.h"
#include "temp_store.h"

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
    void recordsAndLoads_data();
    void recordsAndLoads();
    void listNamesIgnoreLetterCase();
    void damagedCountNeitherHangsNorLosesEntries_data();
    void damagedCountNeitherHangsNorLosesEntries();
    void clearAll_data();
    void clearAll();
};

void TestHistory::recordsAndLoads_data()
{
    QTest::addColumn<QStringList>("stored");   // the ZEXE section before
    QTest::addColumn<QStringList>("recorded"); // texts recorded with CmbProc, in order
    QTest::addColumn<QStringList>("shown");    // the drop-down afterwards
    QTest::addColumn<QStringList>("after");    // the ZEXE section afterwards
    using L = QStringList;
    QTest::newRow("stored in recording order, shown sorted, empty text ignored") << L{} << L{"b.exe", "", "A.exe", "c.exe"}
        << L{"A.exe", "b.exe", "c.exe"} << L{"ZEXECount=3", "ZEXE1=b.exe", "ZEXE2=A.exe", "ZEXE3=c.exe"};
    QTest::newRow("duplicate in other letter case keeps the stored case") << L{"ZEXECount=1", "ZEXE1=C:\\zdoom.exe"}
        << L{"c:\\ZDOOM.EXE"} << L{"C:\\zdoom.exe"} << L{"ZEXECount=1", "ZEXE1=C:\\zdoom.exe"};
    QTest::newRow("missing entry is skipped and its number not reused") << L{"ZEXECount=3", "ZEXE1=one", "ZEXE3=three"}
        << L{"four"} << L{"four", "one", "three"} << L{"ZEXECount=4", "ZEXE1=one", "ZEXE3=three", "ZEXE4=four"};
    QTest::newRow("empty entry is skipped") << L{"ZEXECount=2", "ZEXE1=", "ZEXE2=x"} << L{} << L{"x"}
        << L{"ZEXECount=2", "ZEXE1=", "ZEXE2=x"};
    QTest::newRow("no count key tries entry 1 only") << L{"ZEXE1=a", "ZEXE2=b"} << L{} << L{"a"} << L{"ZEXE1=a", "ZEXE2=b"};
    QTest::newRow("count 0 hides what is left") << L{"ZEXECount=0", "ZEXE1=old"} << L{"new"} << L{"new"}
        << L{"ZEXECount=1", "ZEXE1=new"};
    QTest::newRow("keys that are no entry numbers are ignored")
        << L{"ZEXECount=3", "ZEXE01=zero", "ZEXE+2=plus", "ZEXE3=three", "ZEXE3x=x"} << L{} << L{"three"}
        << L{"ZEXECount=3", "ZEXE01=zero", "ZEXE+2=plus", "ZEXE3=three", "ZEXE3x=x"};
}

void TestHistory::recordsAndLoads()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, recorded);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, after);
    test::TempStore t;
    for (const QString& kv : stored) t.store.write(kZexe, kv.section(u'=', 0, 0), kv.section(u'=', 1));
    Histories h(t.store);
    h.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
    for (const QString& text : recorded) h.CmbProc(text, QStringLiteral("ZEXE"), History::ZEXE);
    QCOMPARE(h.shown(History::ZEXE), shown);
    QCOMPARE(sectionText(t.store, kZexe), after);
    QCOMPARE(loadZexe(t.store), shown); // the next start shows the same list
}

void TestHistory::listNamesIgnoreLetterCase()
{
    test::TempStore t;
    Histories launch(t.store);
    // A launch records the translucency file under "Transfile"...
    launch.CmbProc(QStringLiteral("b.tch"), QStringLiteral("Transfile"), History::TransFile);
    launch.CmbProc(QStringLiteral("a.tch"), QStringLiteral("Transfile"), History::TransFile);
    // ...and the next start loads it as "TransFile".
    Histories start(t.store);
    start.GetHistory(History::TransFile, QStringLiteral("TransFile"));
    QCOMPARE(start.shown(History::TransFile), (QStringList{"a.tch", "b.tch"}));
    start.CmbProc(QStringLiteral("A.TCH"), QStringLiteral("TRANSFILE"), History::TransFile);
    QCOMPARE(start.stored(QStringLiteral("transfile")), (QStringList{"b.tch", "a.tch"}));
}

void TestHistory::damagedCountNeitherHangsNorLosesEntries_data()
{
    QTest::addColumn<QString>("count");
    for (const char* c : {"abc", "-5", "2.5", "99999999999", ""})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void TestHistory::damagedCountNeitherHangsNorLosesEntries()
{
    QFETCH(QString, count);
    test::TempStore t;
    for (const char* kv : {"ZEXE1=one", "ZEXE2=two", "ZEXE3=three", "ZEXE999999999999=far"})
        t.store.write(kZexe, QString::fromLatin1(kv).section(u'=', 0, 0), QString::fromLatin1(kv).section(u'=', 1));
    t.store.write(kZexe, QStringLiteral("ZEXECount"), count);
    const QStringList all{"far", "one", "three", "two"};
    QCOMPARE(loadZexe(t.store), all);

    // Recording goes on after the stored entries and never overwrites one of them.
    Histories h(t.store);
    h.CmbProc(QStringLiteral("new"), QStringLiteral("ZEXE"), History::ZEXE);
    QCOMPARE(h.stored(QStringLiteral("ZEXE")), (QStringList{"one", "two", "three", "far", "new"}));
    QCOMPARE(loadZexe(t.store), (QStringList{"far", "new", "one", "three", "two"}));
}

void TestHistory::clearAll_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestHistory::clearAll()
{
    QFETCH(bool, yes);
    test::TempStore t;
    QTemporaryDir folder;
    test::CoreRig r(t.store);
    // A chosen save game survives the folder box's empty-and-restore.
    QVERIFY(test::writeBytes(folder.filePath(QStringLiteral("s.zds")),
                             test::saveGameBytes({{"Title", "t"}, {"Game WAD", "DOOM2.WAD"}})));
    r.game.setFolder(folder.path());
    r.game.chooseSaveGame(2);
    r.play.setListText(PlayOptionsController::FileList::Patches, QStringLiteral("typed.deh"));
    r.misc.setExtraCommands(QStringLiteral("-nomusic"));
    for (int i = 0; i < kHistoryCount; ++i)
        r.histories.CmbProc(QStringLiteral("x") + historyName(History(i)), historyName(History(i)), History(i));
    const LaunchProfile before = r.p();
    const QString command = r.command();
    QVERIFY2(command.contains(QLatin1StringView("-LOADGAME S.ZDS")), qPrintable(command));

    r.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
    r.main.clearAllHistories();
    const auto& prompt = r.messages.prompts.value(0);
    QCOMPARE(prompt.text, QStringLiteral("Are you sure you want to clear the history (the ComboBoxes)?"));
    QCOMPARE(prompt.title, QStringLiteral("Clear History"));
    QCOMPARE(prompt.buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(prompt.icon, MessageBox::Icon::Question);

    QCOMPARE(r.p().txtFol, before.txtFol);
    QCOMPARE(r.p().txtDeh, before.txtDeh);
    QCOMPARE(r.p().txtEC, before.txtEC);
    QCOMPARE(r.command(), command);
    for (int i = 0; i < kHistoryCount; ++i) {
        QCOMPARE(r.histories.shown(History(i)).isEmpty(), yes);
        QCOMPARE(t.store.entries(QStringLiteral("Tarnwick\\History\\") + historyName(History(i))).isEmpty(), yes);
    }
    if (yes) { // the next recording starts again at entry 1
        r.histories.CmbProc(QStringLiteral("again"), QStringLiteral("EC"), History::EC);
        QCOMPARE(sectionText(t.store, QStringLiteral("Tarnwick\\History\\EC")), (QStringList{"ECCount=1", "EC1=again"}));
    }
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
