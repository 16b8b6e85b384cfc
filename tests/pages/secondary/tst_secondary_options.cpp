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
    void flagTotals_data();
    void flagTotals();
    void flagsReachTheCommandOnClose();
    void obsoleteOptionsWaitForClose();
    void resetAll_data();
    void resetAll();
};

void TestSecondaryOptions::soundSwitches()
{
    Program p;
    auto& r = p.r;
    r.sound.setMusic(0);
    r.sound.setSound(0);
    QVERIFY(!r.sound.soundDetailsEnabled());
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOSOUND" + kFlags0);
    r.sound.setSound(1);
    QVERIFY(r.sound.soundDetailsEnabled());
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3 -NOMUSIC" + kFlags0);
}

void TestSecondaryOptions::videoBoxes_data()
{
    QTest::addColumn<QStringList>("edits"); // "w:row", "h:row", "W=text", "B=text"
    QTest::addColumn<QString>("video");
    using L = QStringList;
    QTest::newRow("1152 picks 864") << L{"w:3"} << " -WIDTH 1152 -HEIGHT 864";
    QTest::newRow("1024 high picks 1280 wide") << L{"h:4"} << " -WIDTH 1280 -HEIGHT 1024";
    QTest::newRow("rows beyond the list") << L{"w:1", "w:5", "h:-1"} << " -WIDTH 800 -HEIGHT 600";
    QTest::newRow("typed 800x") << L{"h:1", "W=800x"} << " -WIDTH 1 -HEIGHT 600";
    QTest::newRow("colour bits 16 are 8") << L{"B=16"} << " -BITS 8";
    QTest::newRow("colour bits emptied") << L{"B=32", "B="} << "";
}

void TestSecondaryOptions::videoBoxes()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, video);
    Program p;
    auto& s = p.r.sound;
    for (const QString& e : edits) {
        const QString v = e.mid(2);
        switch (e.at(0).toLatin1()) {
        case 'w': s.chooseWidthRow(v.toInt()); break;
        case 'h': s.chooseHeightRow(v.toInt()); break;
        case 'W': s.setWidthText(v); break;
        default: s.setBits(v); break;
        }
    }
    QCOMPARE(p.r.command(), "-WARP 1 1 -SKILL 3" + video + kFlags0);
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
    QTest::newRow("second word") << L{"DF2_3=1", "DF2_4=0"} << 0 << 32770;
    QTest::newRow("every bit set") << L{"all"} << 1048543 << 229378;
    QTest::newRow("reset to 0") << L{"all", "RT0"} << 0 << 0;
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
            r.flags.setFlagBox(flagIndex(c.section(u'=', 0, 0)), c.section(u'=', 1).toInt());
        }
    }
    QCOMPARE(r.flags.dmflagsLabel(), QStringLiteral("DMFLAGS = %1").arg(flags));
    QCOMPARE(r.flags.dmflags2Label(), QStringLiteral("DMFLAGS2 = %1").arg(flags2));
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0); // nothing composes before the window closes
}

void TestSecondaryOptions::flagsReachTheCommandOnClose()
{
    Program p;
    auto& r = p.r;
    r.flags.setFlagBox(flagIndex("DF4"), 0);
    r.flags.setAddToCommandLine(0);
    r.flags.close();
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));
    r.flags.setAddToCommandLine(1);
    r.flags.close();
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3 +SET DMFLAGS 1 +SET DMFLAGS2 0"));
    r.flags.RT0_Click();
    QCOMPARE(r.p().DF, LaunchProfile().DF);
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
    QCOMPARE(r.command(), kHand);
    r.obsolete.close();
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0 +
                              " -NET 1 .2 -PRIMARYSOUND -WAVONLY -HEAPSIZE 12 -TRANSFILE \"/ports/my cache.tch\" "
                              "-NOMMX -NOTRANS");
}

void TestSecondaryOptions::resetAll_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

// The four pages and the gameplay flags go back to their first values; the "Add to command
// line" box, the obsolete options, histories, page positions and game WAD locations stay.
void TestSecondaryOptions::resetAll()
{
    QFETCH(bool, yes);
    Program p;
    auto& r = p.r;
    r.game.setIni(QStringLiteral("z.ini"));
    r.play.setFast(1);
    r.sound.setSound(0);
    r.sound.chooseWidthRow(0);
    r.sound.setBits(QStringLiteral("8"));
    for (int i = 0; i < 7; ++i) r.misc.setSwitch(i, 1);
    r.misc.setExtraCommands(QStringLiteral("-x"));
    r.flags.setFlagBox(flagIndex("DF2_3"), 1);
    r.flags.setAddToCommandLine(0);
    r.obsolete.setWavonly(1);
    r.histories.CmbProc(QStringLiteral("zdoom"), QStringLiteral("ZEXE"), History::ZEXE);
    p.t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("IWADHexen.wad"), QStringLiteral("/g/hexen.wad"));
    p.t.store.write(QStringLiteral("Tarnwick"), QStringLiteral("Form1Top"), QStringLiteral("7"));
    const QList<QPair<QString, QString>> stored = p.t.store.entries(QStringLiteral("Tarnwick"));
    r.flags.close();
    QCOMPARE(r.command(), QStringLiteral("-CONFIG z.ini -WARP 1 1 -FAST -SKILL 3 -NOSOUND -WIDTH 640 -HEIGHT 480 "
                                         "-BITS 8 -NOFLATHACK -NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM -x -WAVONLY"));

    r.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
    const QString before = r.command();
    r.main.resetAll();
    QCOMPARE(r.messages.prompts.size(), 1);
    QCOMPARE(r.messages.prompts[0].text, QStringLiteral("Are you sure that you want to reset all of the forms?"));
    QCOMPARE(r.messages.prompts[0].title, QStringLiteral("Reset All"));
    QCOMPARE(r.messages.prompts[0].buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(r.messages.prompts[0].icon, MessageBox::Icon::Question);
    QCOMPARE(r.command(), yes ? QStringLiteral("-WARP 1 1 -SKILL 3 -WAVONLY") : before);
    QCOMPARE(r.p().Flags2, yes ? 0 : 2);
    QVERIFY(r.sound.soundDetailsEnabled() == yes);
    QVERIFY(!r.session.Rst);
    QCOMPARE(r.histories.shown(History::ZEXE), QStringList{"zdoom"});
    QCOMPARE(p.t.store.entries(QStringLiteral("Tarnwick")), stored);
}

QTEST_GUILESS_MAIN(TestSecondaryOptions)
#include "tst_secondary_options.moc"
