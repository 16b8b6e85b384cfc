#include "doubles.h"

#include "editors/bots/bot_editor_entry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using Answer = MessageBox::Answer;

class TestBotEditorEntry : public QObject
{
    Q_OBJECT
private slots:
    void entry_data();
    void entry();
};

// What is in the port folder before the command runs.
enum class Setup { Roster, NoPortFolder, NoZcajun, EmptyZcajun, FileNamedZcajun };

void TestBotEditorEntry::entry_data()
{
    QTest::addColumn<int>("setup");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("zcajunFolder"); // a zcajun folder exists afterwards

    const QString editor = QStringLiteral("ZDoom Cajun Bot Editor");
    const QString error = QStringLiteral("ZDoom Cajun Bot Editor Error");
    const int yes = int(Answer::Yes);
    const int no = int(Answer::No);

    QTest::newRow("roster exists") << int(Setup::Roster) << QList<int>{} << QStringList{} << true << true;
    QTest::newRow("no port folder") << int(Setup::NoPortFolder) << QList<int>{int(Answer::Ok)}
                                    << QStringList{error} << false << false;
    QTest::newRow("declined") << int(Setup::NoZcajun) << QList<int>{no} << QStringList{editor} << false << false;
    QTest::newRow("zcajun created") << int(Setup::NoZcajun) << QList<int>{yes} << QStringList{editor} << true << true;
    QTest::newRow("zcajun there, no roster") << int(Setup::EmptyZcajun) << QList<int>{yes} << QStringList{editor}
                                             << true << true;
    QTest::newRow("zcajun cannot be created") << int(Setup::FileNamedZcajun) << QList<int>{yes, int(Answer::Ok)}
                                              << QStringList{editor, error} << false << false;
}

void TestBotEditorEntry::entry()
{
    QFETCH(int, setup);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, titles);
    QFETCH(bool, opens);
    QFETCH(bool, zcajunFolder);

    QTemporaryDir dir;
    QString port = dir.filePath(QStringLiteral("zdoom"));
    const QString zcajun = port + QDir::separator() + QStringLiteral("zcajun");
    const QString rosterFile = zcajun + QDir::separator() + QStringLiteral("Bots.cfg");
    switch (Setup(setup)) {
    case Setup::NoPortFolder:
        break;
    case Setup::Roster: {
        QVERIFY(QDir().mkpath(zcajun));
        QFile f(rosterFile);
        QVERIFY(f.open(QIODevice::WriteOnly));
        break;
    }
    case Setup::EmptyZcajun:
        QVERIFY(QDir().mkpath(zcajun));
        break;
    case Setup::NoZcajun:
        QVERIFY(QDir().mkpath(port));
        break;
    case Setup::FileNamedZcajun: {
        QVERIFY(QDir().mkpath(port));
        QFile f(zcajun);
        QVERIFY(f.open(QIODevice::WriteOnly));
        break;
    }
    }

    test::ScriptedMessageBox box;
    for (int a : answers) box.expect(Answer(a));
    LocalFileSystem files;
    // A trailing separator on the folder text is dropped from the roster path.
    const QString typed = setup == int(Setup::NoZcajun) ? port + QDir::separator() : port;
    QCOMPARE(botEditorMayOpen(typed, files, box), opens);
    QCOMPARE(QFileInfo(zcajun).isDir(), zcajunFolder);

    QStringList shownTitles;
    for (const auto& p : box.prompts) shownTitles << p.title;
    QCOMPARE(shownTitles, titles);
    QVERIFY(box.answers.isEmpty());

    for (const auto& p : box.prompts) {
        if (p.title == u"ZDoom Cajun Bot Editor") {
            QCOMPARE(p.text, QStringLiteral("Cannot find the Bots.cfg file - '") + rosterFile
                                 + QStringLiteral("'.  Do you want to create a new one?"));
            QCOMPARE(p.buttons, MessageBox::Buttons::YesNo);
            QCOMPARE(p.icon, MessageBox::Icon::Question);
        } else if (setup == int(Setup::NoPortFolder)) {
            QCOMPARE(p.text, QStringLiteral("The folder ZDoom folder - '") + typed
                                 + QStringLiteral("' does not exist.  Make sure you enter a valid folder before "
                                                  "attempting to start the Bot editor."));
            QCOMPARE(p.icon, MessageBox::Icon::Exclamation);
        } else {
            QCOMPARE(p.text, QStringLiteral("An error occurred when attempting to create the folder '") + zcajun
                                 + QStringLiteral("'.  Make sure it is possible to create a folder here before "
                                                  "running the ZDoom Cajun Bot Editor"));
            QCOMPARE(p.icon, MessageBox::Icon::Critical);
        }
    }
}

QTEST_GUILESS_MAIN(TestBotEditorEntry)
#include "tst_bot_editor_entry.moc"
