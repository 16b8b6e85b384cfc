#include "core_rig.h"
#include "temp_store.h"

#include <QSignalSpy>
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

void writePairs(SettingsStore& store, const QString& section, const QStringList& pairs)
{
    for (const QString& kv : pairs) store.write(section, kv.section(u'=', 0, 0), kv.section(u'=', 1));
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

    QTest::newRow("new list writes count 1")
        << QStringList{} << QStringList{"C:\\Doom\\zdoom.exe"} << QStringList{"C:\\Doom\\zdoom.exe"}
        << QStringList{"ZEXECount=1", "ZEXE1=C:\\Doom\\zdoom.exe"};
    QTest::newRow("empty text does nothing") << QStringList{} << QStringList{""} << QStringList{} << QStringList{};
    QTest::newRow("duplicate in other letter case keeps the stored case")
        << QStringList{"ZEXECount=1", "ZEXE1=C:\\Doom\\zdoom.exe"} << QStringList{"c:\\doom\\ZDOOM.EXE"}
        << QStringList{"C:\\Doom\\zdoom.exe"} << QStringList{"ZEXECount=1", "ZEXE1=C:\\Doom\\zdoom.exe"};
    QTest::newRow("stored in recording order, shown sorted")
        << QStringList{} << QStringList{"b.exe", "A.exe", "c.exe"} << QStringList{"A.exe", "b.exe", "c.exe"}
        << QStringList{"ZEXECount=3", "ZEXE1=b.exe", "ZEXE2=A.exe", "ZEXE3=c.exe"};
    QTest::newRow("missing entry is skipped and its number not reused")
        << QStringList{"ZEXECount=3", "ZEXE1=one", "ZEXE3=three"} << QStringList{"four"}
        << QStringList{"four", "one", "three"}
        << QStringList{"ZEXECount=4", "ZEXE1=one", "ZEXE3=three", "ZEXE4=four"};
    QTest::newRow("empty entry is skipped")
        << QStringList{"ZEXECount=2", "ZEXE1=", "ZEXE2=x"} << QStringList{} << QStringList{"x"}
        << QStringList{"ZEXECount=2", "ZEXE1=", "ZEXE2=x"};
    QTest::newRow("no count key tries entry 1 only")
        << QStringList{"ZEXE1=a", "ZEXE2=b"} << QStringList{} << QStringList{"a"}
        << QStringList{"ZEXE1=a", "ZEXE2=b"};
    QTest::newRow("count 0 hides what is left")
        << QStringList{"ZEXECount=0", "ZEXE1=old"} << QStringList{"new"} << QStringList{"new"}
        << QStringList{"ZEXECount=1", "ZEXE1=new"};
    QTest::newRow("keys that are no entry numbers are ignored")
        << QStringList{"ZEXECount=3", "ZEXE01=zero", "ZEXE+2=plus", "ZEXE3=three", "ZEXE3x=x"}
        << QStringList{} << QStringList{"three"}
        << QStringList{"ZEXECount=3", "ZEXE01=zero", "ZEXE+2=plus", "ZEXE3=three", "ZEXE3x=x"};
    QTest::newRow("entries past the count are not loaded")
        << QStringList{"ZEXECount=1", "ZEXE1=a", "ZEXE2=b"} << QStringList{} << QStringList{"a"}
        << QStringList{"ZEXECount=1", "ZEXE1=a", "ZEXE2=b"};
    QTest::newRow("equal texts recorded twice")
        << QStringList{} << QStringList{"x", "X", "x"} << QStringList{"x"} << QStringList{"ZEXECount=1", "ZEXE1=x"};
}

void TestHistory::recordsAndLoads()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, recorded);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, after);
    test::TempStore t;
    writePairs(t.store, kZexe, stored);

    Histories h(t.store);
    h.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
    for (const QString& text : recorded) h.CmbProc(text, QStringLiteral("ZEXE"), History::ZEXE);
    QCOMPARE(h.shown(History::ZEXE), shown);
    QCOMPARE(sectionText(t.store, kZexe), after);
    QVERIFY(h.shown(History::Config).isEmpty());

    // The next start shows the same list.
    Histories next(t.store);
    next.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
    QCOMPARE(next.shown(History::ZEXE), shown);
}

void TestHistory::listNamesIgnoreLetterCase()
{
    test::TempStore t;
    Histories launch(t.store);
    // A launch records the translucency file under "Transfile"...
    launch.CmbProc(QStringLiteral("b.tch"), QStringLiteral("Transfile"), History::TransFile);
    launch.CmbProc(QStringLiteral("a.tch"), QStringLiteral("Transfile"), History::TransFile);
    QCOMPARE(t.store.entries(QStringLiteral("Tarnwick\\History\\TransFile")).value(0).first,
             QStringLiteral("TransfileCount"));
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
    for (const char* c : {"abc", "-5", "1e9", "2.5", "99999999999", "2147483647", "", " 3 "})
        QTest::newRow(c) << QString::fromLatin1(c);
}

void TestHistory::damagedCountNeitherHangsNorLosesEntries()
{
    QFETCH(QString, count);
    test::TempStore t;
    writePairs(t.store, kZexe, {"ZEXE1=one", "ZEXE2=two", "ZEXE3=three", "ZEXE999999999999=far"});
    t.store.write(kZexe, QStringLiteral("ZEXECount"), count);

    Histories h(t.store);
    h.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
    for (const QString& s : h.shown(History::ZEXE))
        QVERIFY2(QStringList({"one", "two", "three", "far"}).contains(s), qPrintable(s));

    // Recording goes on after the stored entries and never overwrites one of them.
    h.CmbProc(QStringLiteral("new"), QStringLiteral("ZEXE"), History::ZEXE);
    QCOMPARE(t.store.read(kZexe, QStringLiteral("ZEXE1")), QStringLiteral("one"));
    QCOMPARE(t.store.read(kZexe, QStringLiteral("ZEXE2")), QStringLiteral("two"));
    QCOMPARE(t.store.read(kZexe, QStringLiteral("ZEXE3")), QStringLiteral("three"));
    QVERIFY(h.shown(History::ZEXE).contains(QStringLiteral("new")));
    Histories next(t.store);
    next.GetHistory(History::ZEXE, QStringLiteral("ZEXE"));
    QVERIFY(next.shown(History::ZEXE).contains(QStringLiteral("new")));
    QCOMPARE(next.shown(History::ZEXE).count(QStringLiteral("new")), 1);
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
    r.game.setExe(QStringLiteral("zdoom"));
    // A chosen save game survives the folder box's empty-and-restore.
    QVERIFY(test::writeBytes(folder.filePath(QStringLiteral("s.zds")),
                             test::saveGameBytes({{"Title", "t"}, {"Game WAD", "DOOM2.WAD"}})));
    r.game.setFolder(folder.path());
    r.game.chooseSaveGame(2);
    r.game.setIni(QStringLiteral("z.ini"));
    r.game.setIwad(QStringLiteral("doom2.wad"));
    r.game.setParm(QStringLiteral("p.txt"));
    r.game.setDemoFile(QStringLiteral("d.lmp"));
    r.play.setListText(PlayOptionsController::FileList::MapWads, QStringLiteral("typed.wad"));
    r.play.setListText(PlayOptionsController::FileList::Patches, QStringLiteral("typed.deh"));
    r.play.setJoinAddress(QStringLiteral("10.0.0.2"));
    r.misc.setExtraCommands(QStringLiteral("-nomusic"));
    r.obsolete.setNet(QStringLiteral("1 .2"));
    r.obsolete.setTransFile(QStringLiteral("t.tch"));
    r.session.MainProc();
    r.launcher.run(); // records ten lists
    for (History h : {History::PWAD, History::Deh})
        r.histories.CmbProc(QStringLiteral("x") + historyName(h), historyName(h), h);
    const LaunchProfile before = r.p();
    const QString command = r.command();
    for (int i = 0; i < kHistoryCount; ++i) QCOMPARE(r.histories.shown(History(i)).size(), 1);

    r.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
    r.main.clearAllHistories();
    QCOMPARE(r.messages.prompts.size(), 1);
    const auto& prompt = r.messages.prompts.first();
    QCOMPARE(prompt.text, QStringLiteral("Are you sure you want to clear the history (the ComboBoxes)?"));
    QCOMPARE(prompt.title, QStringLiteral("Clear History"));
    QCOMPARE(prompt.buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(prompt.icon, MessageBox::Icon::Question);

    auto boxes = [](const LaunchProfile& p) {
        return QStringList{p.txtEXE, p.txtFol, p.txtINI,  p.txtIWAD, p.txtParm, p.txtLMP,
                           p.txtPWAD, p.txtDeh, p.txtJoin, p.txtEC,  p.txtNET,  p.txtTransFile};
    };
    QCOMPARE(boxes(r.p()), boxes(before));
    QCOMPARE(r.command(), command);
    QVERIFY(command.contains(QLatin1StringView(" -LOADGAME S.ZDS")));
    for (int i = 0; i < kHistoryCount; ++i) {
        const QString section = QStringLiteral("Tarnwick\\History\\") + historyName(History(i));
        QCOMPARE(r.histories.shown(History(i)).isEmpty(), yes);
        QCOMPARE(t.store.entries(section).isEmpty(), yes);
    }
    if (yes) { // the next recording starts again at entry 1
        r.histories.CmbProc(QStringLiteral("again"), QStringLiteral("EC"), History::EC);
        QCOMPARE(sectionText(t.store, QStringLiteral("Tarnwick\\History\\EC")),
                 (QStringList{"ECCount=1", "EC1=again"}));
    }
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
