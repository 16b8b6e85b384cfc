#include "core_rig.h"

#include "launch/launch_check.h"
#include "launch/launch_command.h"

#include <QDir>
#include <QTest>

using namespace tarnwick;

class TestLaunchCheck : public QObject
{
    Q_OBJECT
private slots:
    void missingFiles_data();
    void missingFiles();
    void runAsksFirst();
};

// The port folder holds: zdoom, doom2.wad, maps/a.wad, "b c.wad", z.ini, p.txt, demo.lmp,
// SAVE1.zds, patch.deh. "{F}" stands for it in the command and in the missing paths.
void TestLaunchCheck::missingFiles_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("missing");

    QTest::newRow("all there") << "{F}/zdoom -CONFIG z.ini -IWAD doom2.wad @p.txt -PLAYDEMO demo.lmp -LOADGAME SAVE1.zds "
                                  "-WARP 7 -FILE maps/a.wad \"b c.wad\" -DEH patch.deh -SKILL 3" << QStringList{};
    QTest::newRow("extensions the port adds") << "./zdoom -iwad doom2 -timedemo demo -loadgame SAVE1 -deh patch" << QStringList{};
    QTest::newRow("each kind missing") << "{F}/zdoom -CONFIG x.ini -IWAD x.wad @x.txt -TIMEDEMO x.lmp -LOADGAME save1.zds"
                                      << QStringList{"{F}/x.ini", "{F}/x.wad", "{F}/x.txt", "{F}/x.lmp", "{F}/save1.zds"};
    QTest::newRow("a run of files ends at the next option") << "{F}/zdoom -file a.wad maps/a.wad +map x -deh p.deh @q -x y.wad"
                                                           << QStringList{"{F}/a.wad", "{F}/p.deh", "{F}/q"};
    QTest::newRow("missing executable, named once each") << "nothere/zdoom -file a.wad a.wad"
                                                        << QStringList{"{F}/nothere/zdoom", "{F}/a.wad"};
    QTest::newRow("bare executable on the search path") << "sh -IWAD /nowhere/doom2.wad" << QStringList{"/nowhere/doom2.wad"};
    QTest::newRow("bare executable in the port folder") << "zdoom -IWAD doom2.wad" << QStringList{};
    QTest::newRow("home folder") << "{F}/zdoom -FILE ~/no-such-tarnwick-map.wad" << QStringList{QDir::homePath() + "/no-such-tarnwick-map.wad"};
    QTest::newRow("bare executable nowhere") << "zdoom-not-here -WARP 1" << QStringList{"{F}/zdoom-not-here"};
    QTest::newRow("extension given: none added") << "zdoom -IWAD doom2.txt -LOADGAME SAVE1.zd" << QStringList{"{F}/doom2.txt", "{F}/SAVE1.zd"};
    QTest::newRow("option without its file; a recorded demo is not looked for")
        << "zdoom -RECORD new.lmp -IWAD -FILE -PLAYDEMO" << QStringList{};
}

void TestLaunchCheck::missingFiles()
{
    QFETCH(QString, command);
    QFETCH(QStringList, missing);
    QTemporaryDir dir;
    const QString folder = dir.path();
    QVERIFY(QDir(folder).mkdir(QStringLiteral("maps")));
    for (const char* f : {"zdoom", "doom2.wad", "maps/a.wad", "b c.wad", "z.ini", "p.txt", "demo.lmp", "SAVE1.zds", "patch.deh"})
        QVERIFY(test::putFile(folder + u'/' + f, ""));
    QVERIFY(QFile::setPermissions(folder + "/zdoom", QFile::ReadOwner | QFile::WriteOwner | QFileDevice::ExeOwner));
    LocalFileSystem fs;
    command.replace(QLatin1StringView("{F}"), folder);
    QCOMPARE(missingLaunchFiles(launchCommand(command, folder, QDir::homePath()), fs),
             missing.replaceInStrings(QStringLiteral("{F}"), folder));
}

// With a file missing, Run asks once; only "Run anyway" starts the port and records the launch.
void TestLaunchCheck::runAsksFirst()
{
    for (const auto& [answer, starts] : {std::pair{MessageBox::Answer::RunAnyway, 1}, {MessageBox::Answer::Cancel, 0}}) {
        test::Program g;
        auto& r = g.r;
        QVERIFY(test::putFile(g.t.path(QStringLiteral("zdoom")), ""));
        r.game.setExe(QStringLiteral("./zdoom"));
        r.game.setFolder(g.t.dir.path());
        r.game.setIwad(QStringLiteral("gone.wad"));
        r.play.setMapWads({QStringLiteral("/no/map.wad")});
        r.messages.expect(answer);
        r.launcher.run();
        QCOMPARE(test::shown(r.messages), QStringList{test::prompt("Missing Files", "These files named on the command line do "
            "not exist:\n\n" + g.t.path("gone.wad") + "\n/no/map.wad\n\nThe game may stop with an error or run without them.",
            MessageBox::Buttons::RunAnywayCancel, MessageBox::Icon::Exclamation)});
        QCOMPARE(r.processes.starts.size(), starts);
        QCOMPARE(r.histories.stored(QStringLiteral("IWAD")).size(), starts);
    }
}

QTEST_GUILESS_MAIN(TestLaunchCheck)
#include "tst_launch_check.moc"
