#include "core_rig.h"

#include <QTest>

using namespace tarnwick;

namespace {

const QString kFlags0 = QStringLiteral(" +SET DMFLAGS 0 +SET DMFLAGS2 0");

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
    void videoBoxes();
    void flagTotals();
    void obsoleteOptionsWaitForClose();
    void resetAll();
};

// A width row picks its height and the other way round; typed sizes keep a number; colour bits are 8 or nothing.
void TestSecondaryOptions::videoBoxes()
{
    test::Program p;
    auto& s = p.r.sound;
    auto video = [&] { return p.r.command().mid(18).chopped(kFlags0.size()); };
    s.chooseHeightRow(4);
    QCOMPARE(video(), QStringLiteral(" -WIDTH 1280 -HEIGHT 1024"));
    s.chooseWidthRow(1);
    s.chooseWidthRow(5);
    s.chooseHeightRow(-1);
    QCOMPARE(video(), QStringLiteral(" -WIDTH 800 -HEIGHT 600"));
    s.setWidthText(QStringLiteral("800x"));
    s.setBits(QStringLiteral("16"));
    QCOMPARE(video(), QStringLiteral(" -WIDTH 1 -HEIGHT 600 -BITS 8"));
    s.setBits(QString());
    QCOMPARE(video(), QStringLiteral(" -WIDTH 1 -HEIGHT 600"));
}

// The running totals of the boxes' clicks ("DF4=0"; "all": every bit set; "RT0": "Reset to &0").
void TestSecondaryOptions::flagTotals()
{
    const struct { QStringList clicks; int flags, flags2; } cases[] = {
        {{"DF4=0"}, 1, 0}, {{"DF4=0", "DF2=1"}, 5, 0}, {{"DF2=1", "DF2=1", "DF4=1"}, 4, 0}, {{"DF2_3=1", "DF2_4=0"}, 0, 32770},
        {{"all"}, 1048543, 229378}, {{"all", "RT0"}, 0, 0}};
    // The "Allow ..." boxes set their bit when cleared.
    const QStringList allow = {"DF3", "DF4", "DF5", "DF9", "DF15", "DF16", "DF19", "DF2_4"};
    for (const auto& c : cases) {
        test::Program p;
        auto& r = p.r;
        for (const QString& click : c.clicks) {
            if (click == QLatin1StringView("RT0")) r.flags.RT0_Click();
            for (int i = 0; click == QLatin1StringView("all") && i < int(kFlagEntries.size()); ++i)
                r.flags.setFlagBox(i, allow.contains(QLatin1StringView(kFlagEntries[i].name)) ? 0 : 1);
            if (click.contains(u'=')) r.flags.setFlagBox(flagIndex(click.section(u'=', 0, 0)), click.section(u'=', 1).toInt());
        }
        QCOMPARE(r.flags.dmflagsLabel() + ", " + r.flags.dmflags2Label(),
                 QStringLiteral("DMFLAGS = %1, DMFLAGS2 = %2").arg(c.flags).arg(c.flags2));
        QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0); // nothing composes before the window closes
        if (c.clicks.contains("RT0")) QCOMPARE(r.p().DF, LaunchProfile().DF);
    }
}

// Edits reach the command line only when the window closes.
void TestSecondaryOptions::obsoleteOptionsWaitForClose()
{
    test::Program p;
    auto& r = p.r;
    r.obsolete.setHeapSize(QStringLiteral("12.9"));
    r.dialog.expect(QStringLiteral("/ports/my cache.tch"));
    r.obsolete.browseTransFile();
    QCOMPARE(r.dialog.calls[0].title + u'|' + r.dialog.calls[0].filter,
             QStringLiteral("Choose a File for '-TRANSFILE'|Transfile (*.tch)|*.tch|All files (*.*)|*.*"));
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0);
    r.obsolete.close();
    QCOMPARE(r.command(), "-WARP 1 1 -SKILL 3" + kFlags0 + " -HEAPSIZE 12 -TRANSFILE \"/ports/my cache.tch\"");
}

// The four pages and the gameplay flags go back to their first values; the "Add to command
// line" box, the obsolete options, histories, page positions and game WAD locations stay.
void TestSecondaryOptions::resetAll()
{
    for (bool yes : {true, false}) {
        test::Program p;
        auto& r = p.r;
        r.game.setIni(QStringLiteral("z.ini"));
        r.play.setFast(1);
        r.sound.setSound(0);
        r.sound.chooseWidthRow(0);
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
        const QString before = r.command();
        QCOMPARE(before, QStringLiteral("-CONFIG z.ini -WARP 1 1 -FAST -SKILL 3 -NOSOUND -WIDTH 640 -HEIGHT 480 -NOFLATHACK "
                                        "-NOIDLE -NOBLIT -NODRAW -CDROM -AVG -DEVPARM -x -WAVONLY"));
        r.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
        r.main.resetAll();
        QCOMPARE(r.messages.prompts.size(), 1); // its words are checked with the menu's shortcut
        QCOMPARE(r.command(), yes ? QStringLiteral("-WARP 1 1 -SKILL 3 -WAVONLY") : before);
        QCOMPARE(r.p().Flags2, yes ? 0 : 2);
        QVERIFY(!r.session.Rst);
        QCOMPARE(r.histories.shown(History::ZEXE), QStringList{"zdoom"});
        QCOMPARE(p.t.store.entries(QStringLiteral("Tarnwick")), stored);
    }
}

QTEST_GUILESS_MAIN(TestSecondaryOptions)
#include "tst_secondary_options.moc"
