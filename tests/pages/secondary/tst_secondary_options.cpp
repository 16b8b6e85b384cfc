#include "core_rig.h"
#include "temp_store.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QString kHand = QStringLiteral("typed by hand");
const QString kFlags0 = QStringLiteral(" +SET DMFLAGS 0 +SET DMFLAGS2 0");

struct Program
{
    test::TempStore t;
    test::CoreRig r{t.store};
    Program() { r.session.MainProc(); }
};

int flagIndex(const QString& name)
{
    for (size_t i = 0; i < kFlagEntries.size(); ++i)
        if (name == QLatin1StringView(kFlagEntries[i].name)) return int(i);
    return -1;
}

} // namespace

class TestSecondaryOptions : public QObject
{
    Q_OBJECT
private slots:
    void soundSwitches();
    void videoBoxes_data();
    void videoBoxes();
    void pageResets();
    void flagTotals_data();
    void flagTotals();
    void flagsReachTheCommandOnClose();
    void obsoleteOptionsWaitForClose();
};

void TestSecondaryOptions::soundSwitches()
{
    Program p;
    auto& r = p.r;
    r.sound.setMusic(0);
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOMUSIC" + kFlags0);
    r.sound.setSound(0);
    QVERIFY(!r.sound.soundDetailsEnabled());
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOSOUND" + kFlags0);
    r.sound.setSound(1);
    QVERIFY(r.sound.soundDetailsEnabled());
    QCOMPARE(r.p().chkSFX, 1);
    QCOMPARE(r.p().chkMusic, 0);
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOMUSIC" + kFlags0);
}

void TestSecondaryOptions::videoBoxes_data()
{
    QTest::addColumn<QStringList>("edits"); // "w:row", "h:row", "W=text", "H=text", "B=text"
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("bits");
    using L = QStringList;
    QTest::newRow("1152 picks 864") << L{"w:3"} << "1152" << "864" << "";
    QTest::newRow("480 picks 640") << L{"w:4", "h:0"} << "640" << "480" << "";
    QTest::newRow("1024 high picks 1280 wide") << L{"h:4"} << "1280" << "1024" << "";
    QTest::newRow("row beyond the list") << L{"w:1", "w:5", "h:-1"} << "800" << "600" << "";
    QTest::newRow("typed 800x") << L{"h:1", "W=800x"} << "1" << "600" << "";
    QTest::newRow("typed 0") << L{"H=0"} << "" << "1" << "";
    QTest::newRow("typed 1e3 and 12.9") << L{"W=1e3", "H=12.9"} << "1000" << "12" << "";
    QTest::newRow("typed width emptied") << L{"W=640", "W="} << "" << "" << "";
    QTest::newRow("colour bits 16") << L{"B=16"} << "" << "" << "8";
    QTest::newRow("colour bits emptied") << L{"B=32", "B="} << "" << "" << "";
}

void TestSecondaryOptions::videoBoxes()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, bits);
    Program p;
    auto& s = p.r.sound;
    for (const QString& e : edits) {
        const QString v = e.mid(2);
        switch (e.at(0).toLatin1()) {
        case 'w': s.chooseWidthRow(v.toInt()); break;
        case 'h': s.chooseHeightRow(v.toInt()); break;
        case 'W': s.setWidthText(v); break;
        case 'H': s.setHeightText(v); break;
        default: s.setBits(v); break;
        }
    }
    QCOMPARE(p.r.p().cmbWidth, width);
    QCOMPARE(p.r.p().cmbHeight, height);
    QCOMPARE(p.r.p().txtBITS, bits);
    QString video;
    if (!width.isEmpty()) video += " -WIDTH " + width;
    if (!height.isEmpty()) video += " -HEIGHT " + height;
    if (!bits.isEmpty()) video += " -BITS " + bits;
    QCOMPARE(p.r.command(), "-WARP 1 1 -SKILL 3" + video + kFlags0);
}

void TestSecondaryOptions::pageResets()
{
    Program p;
    auto& r = p.r;
    r.sound.setSfx(0);
    r.sound.setSound(0);
    r.sound.chooseWidthRow(0);
    r.sound.setBits(QStringLiteral("8"));
    for (int i = 0; i < 7; ++i) r.misc.setSwitch(i, 1);
    r.misc.setExtraCommands(QStringLiteral("-nomusic"));
    r.obsolete.setWavonly(1);
    r.obsolete.close();
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOSOUND -WIDTH 640 -HEIGHT 480 -BITS 8 -NOFLATHACK -NOIDLE -NOBLIT "
                          "-NODRAW -CDROM -AVG -DEVPARM -nomusic" + kFlags0 + " -WAVONLY");
    r.sound.reset();
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOFLATHACK -NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM -nomusic" +
                              kFlags0 + " -WAVONLY");
    QVERIFY(r.sound.soundDetailsEnabled());
    r.misc.reset();
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0 + " -WAVONLY"); // the obsolete window has no reset
    QVERIFY(!r.session.Rst);
}

void TestSecondaryOptions::flagTotals_data()
{
    QTest::addColumn<QStringList>("clicks"); // "DF4=0", or "all": every bit set, or "RT0"
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("flags2");
    using L = QStringList;
    QTest::newRow("first run") << L{} << 0 << 0;
    QTest::newRow("clear Allow health") << L{"DF4=0"} << 1 << 0;
    QTest::newRow("then tick Weapons stay") << L{"DF4=0", "DF2=1"} << 5 << 0;
    QTest::newRow("tick and clear again") << L{"DF4=0", "DF2=1", "DF2=0"} << 1 << 0;
    QTest::newRow("the same value twice counts once") << L{"DF2=1", "DF2=1", "DF4=1"} << 4 << 0;
    QTest::newRow("every bit set") << L{"all"} << 1048543 << 229378;
    QTest::newRow("reset to 0") << L{"all", "RT0"} << 0 << 0;
    // Each box alone, from its first-run state, sets exactly its own bit.
    const struct { const char* box; int v; int flags; int flags2; } boxes[] = {
        {"DF1", 1, 8, 0},        {"DF2", 1, 4, 0},        {"DF3", 0, 2, 0},       {"DF4", 0, 1, 0},
        {"DF5", 0, 512, 0},      {"DF6", 1, 128, 0},      {"DF7", 1, 64, 0},      {"DF8", 1, 256, 0},
        {"DF9", 0, 1024, 0},     {"DF10", 1, 2048, 0},    {"DF11", 1, 4096, 0},   {"DF12", 1, 8192, 0},
        {"DF13", 1, 32768, 0},   {"DF14", 1, 16384, 0},   {"DF15", 0, 65536, 0},  {"DF16", 0, 131072, 0},
        {"DF17", 1, 16, 0},      {"DF18", 1, 262144, 0},  {"DF19", 0, 524288, 0}, {"DF2_1", 1, 0, 65536},
        {"DF2_2", 1, 0, 131072}, {"DF2_3", 1, 0, 2},      {"DF2_4", 0, 0, 32768}};
    for (const auto& b : boxes)
        QTest::addRow("%s alone", b.box) << L{QStringLiteral("%1=%2").arg(b.box).arg(b.v)} << b.flags << b.flags2;
}

void TestSecondaryOptions::flagTotals()
{
    QFETCH(QStringList, clicks);
    QFETCH(int, flags);
    QFETCH(int, flags2);
    Program p;
    auto& r = p.r;
    // The "Allow ..." boxes set their bit when cleared.
    const QStringList allow = {"DF3", "DF4", "DF5", "DF9", "DF15", "DF16", "DF19", "DF2_4"};
    for (const QString& c : clicks) {
        if (c == QLatin1StringView("RT0")) {
            r.flags.RT0_Click();
        } else if (c == QLatin1StringView("all")) {
            for (const auto& e : kFlagEntries)
                r.flags.setFlagBox(flagIndex(e.name), allow.contains(QLatin1StringView(e.name)) ? 0 : 1);
        } else {
            QVERIFY(flagIndex(c.section(u'=', 0, 0)) >= 0);
            r.flags.setFlagBox(flagIndex(c.section(u'=', 0, 0)), c.section(u'=', 1).toInt());
        }
    }
    QCOMPARE(r.p().Flags, flags);
    QCOMPARE(r.p().Flags2, flags2);
    QCOMPARE(r.flags.dmflagsLabel(), QStringLiteral("DMFLAGS = %1").arg(flags));
    QCOMPARE(r.flags.dmflags2Label(), QStringLiteral("DMFLAGS2 = %1").arg(flags2));
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0); // nothing composes before the window closes
}

void TestSecondaryOptions::flagsReachTheCommandOnClose()
{
    Program p;
    auto& r = p.r;
    r.session.setCommandText(kHand);
    r.flags.setFlagBox(flagIndex("DF4"), 0);
    r.flags.setAddToCommandLine(0);
    QCOMPARE(r.command(), kHand);
    r.flags.close();
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
    r.flags.setAddToCommandLine(1);
    r.flags.close();
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3 +SET DMFLAGS 1 +SET DMFLAGS2 0"));
    r.flags.setAddToCommandLine(0);
    r.flags.RT0_Click();
    QCOMPARE(r.p().chkDMFLAGS, 0);
    QCOMPARE(r.p().DF, LaunchProfile().DF);
    r.flags.close();
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
}

void TestSecondaryOptions::obsoleteOptionsWaitForClose()
{
    Program p;
    auto& r = p.r;
    r.session.setCommandText(kHand);
    r.obsolete.setNet(QStringLiteral("1 .2"));
    r.obsolete.setPrimarySound(1);
    r.obsolete.setWavonly(1);
    r.obsolete.setHeapSize(QStringLiteral("12.9"));
    r.obsolete.setNommx(1);
    r.obsolete.setNotrans(1);
    r.dialog.expect(QStringLiteral("/ports/my cache.tch"));
    r.obsolete.browseTransFile();
    QCOMPARE(r.dialog.calls[0].title, QStringLiteral("Choose a File for '-TRANSFILE'"));
    QCOMPARE(r.dialog.calls[0].filter, QStringLiteral("Transfile (*.tch)|*.tch|All files (*.*)|*.*"));
    QCOMPARE(r.p().txtHeapSize, QStringLiteral("12"));
    QCOMPARE(r.command(), kHand);
    r.obsolete.close();
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0 +
                              " -NET 1 .2 -PRIMARYSOUND -WAVONLY -HEAPSIZE 12 -TRANSFILE \"/ports/my cache.tch\" "
                              "-NOMMX -NOTRANS");
    r.dialog.expect(QString());
    r.obsolete.browseTransFile(); // cancelled: the box keeps its file
    QCOMPARE(r.p().txtTransFile, QStringLiteral("\"/ports/my cache.tch\""));
}

QTEST_GUILESS_MAIN(TestSecondaryOptions)
#include "tst_secondary_options.moc"
