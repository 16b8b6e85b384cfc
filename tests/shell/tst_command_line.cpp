// The program's own options and what the other arguments become.

#include "shell/command_line.h"

#include <QTest>

using namespace tarnwick;

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
};

void TestCommandLine::parse_data()
{
    using A = CommandLine::Action;
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<bool>("run");
    QTest::addColumn<QString>("argumentText");

    QTest::newRow("none") << QStringList{} << A::Start << false << "";
    QTest::newRow("run with a settings file") << QStringList{"--run", "/home/me/coop.twk"} << A::Start << true
                                              << "/home/me/coop.twk";
    QTest::newRow("run anywhere among the port's arguments") << QStringList{"-fast", "--run", "+map e1m1"}
                                                             << A::Start << true << "-fast \"+map e1m1\"";
    QTest::newRow("a blank keeps an argument together") << QStringList{"/my games/coop.twk"} << A::Start << false
                                                        << "\"/my games/coop.twk\"";
    QTest::newRow("version") << QStringList{"--version"} << A::Version << false << "";
    QTest::newRow("help wins over version, in either order") << QStringList{"--version", "--help"} << A::Help
                                                              << false << "";
    QTest::newRow("help before version") << QStringList{"--help", "--run", "--version"} << A::Help << true << "";
    QTest::newRow("the port's own words are not ours") << QStringList{"-run", "--RUN", "-h", "-version"}
                                                       << A::Start << false << "-run --RUN -h -version";
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(bool, run);
    QFETCH(QString, argumentText);
    const CommandLine c = parseCommandLine(arguments);
    QCOMPARE(c.action, action);
    QCOMPARE(c.run, run);
    QCOMPARE(c.argumentText, argumentText);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
