#include "core_rig.h"
#include "temp_store.h"

#include <QDir>
#include <QTest>

using namespace tarnwick;

namespace {

// "name:kind" files: wad (a save with a game WAD field), nowad (a save without one),
// foreign (not a PNG), broken (a text chunk without its zero separator).
void makeFiles(const QString& folder, const QStringList& files)
{
    for (const QString& f : files) {
        const QString name = f.section(u':', 0, 0) + QStringLiteral(".zds");
        const QString kind = f.section(u':', 1);
        QByteArray bytes;
        if (kind == QLatin1StringView("wad"))
            bytes = test::saveGameBytes({{"Title", name.toUtf8()}, {"Game WAD", "DOOM2.WAD"}});
        else if (kind == QLatin1StringView("nowad"))
            bytes = test::saveGameBytes({{"Title", name.toUtf8()}});
        else if (kind == QLatin1StringView("foreign"))
            bytes = "not a picture";
        else
            bytes = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray("\0\0\0\5tEXtTitle\0\0\0\0", 17);
        QVERIFY(test::writeBytes(folder + u'/' + name, bytes));
    }
}

struct Page
{
    test::TempStore t;
    test::CoreRig r{t.store};
    Page() { r.flags.setAddToCommandLine(0); }
};

} // namespace

class TestSaveGameSelection : public QObject
{
    Q_OBJECT
private slots:
    void chooseRow_data();
    void chooseRow();
    void selectionKeptByPosition();
};

void TestSaveGameSelection::chooseRow_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("suffix"); // added to the folder text
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("picture"); // the file shown, or empty for no picture
    QTest::addColumn<QString>("command");
    using L = QStringList;
    QTest::newRow("row 1 loads nothing") << L{"a:wad"} << "" << 1 << "" << "-WARP 1 1 -SKILL 3";
    QTest::newRow("rows in name order") << L{"c:wad", "a:wad", "B:wad"} << "" << 3 << "B.zds"
                                        << "-LOADGAME B.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("no game WAD, no picture") << L{"a:nowad"} << "" << 2 << "" << "-LOADGAME A.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("foreign file still loads") << L{"x:foreign"} << "" << 2 << "" << "-LOADGAME X.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("folder with a slash") << L{"Save07:wad"} << "/" << 2 << "Save07.zds"
                                         << "-LOADGAME SAVE07.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("folder with a backslash") << L{"Save07:wad"} << "\\" << 2 << "Save07.zds"
                                             << "-LOADGAME SAVE07.ZDS -WARP 1 1 -SKILL 3";
    QTest::newRow("row beyond the list changes nothing") << L{"a:wad"} << "" << 3 << "" << "-WARP 1 1 -SKILL 3";
}

void TestSaveGameSelection::chooseRow()
{
    QFETCH(QStringList, files);
    QFETCH(QString, suffix);
    QFETCH(int, row);
    QFETCH(QString, picture);
    QFETCH(QString, command);
    QTemporaryDir dir;
    makeFiles(dir.path(), files);
    Page g;
    auto& r = g.r;
    r.game.setFolder(dir.path() + suffix);
    QCOMPARE(r.p().lvwLGRows.size(), files.size() + 1);
    r.game.chooseSaveGame(row);
    QCOMPARE(r.p().wbPic, picture.isEmpty() ? QString() : dir.path() + u'/' + picture);
    QCOMPARE(r.command(), command);
    if (files.first().endsWith(QLatin1StringView(":foreign")))
        QCOMPARE(r.p().lvwLGRows.at(1).cells[0], QStringLiteral("<Different Version>"));
}

void TestSaveGameSelection::selectionKeptByPosition()
{
    QTemporaryDir dir;
    makeFiles(dir.path(), {"b:wad", "c:wad", "d:wad"});
    Page g;
    auto& r = g.r;
    r.game.setFolder(dir.path());
    r.game.chooseSaveGame(3);
    QCOMPARE(r.command(), QStringLiteral("-LOADGAME C.ZDS -WARP 1 1 -SKILL 3"));

    r.main.pageActivated(1); // the page comes to the front: rescanned, row 3 kept
    QCOMPARE(r.p().lvwLG, 3);
    QCOMPARE(r.p().wbPic, dir.path() + QStringLiteral("/c.zds"));

    makeFiles(dir.path(), {"a:nowad"}); // a save sorting first: row 3 is now another file
    r.game.rescanSaveGames();
    QCOMPARE(r.p().lvwLG, 3);
    QCOMPARE(r.command(), QStringLiteral("-LOADGAME B.ZDS -WARP 1 1 -SKILL 3"));

    for (const char* gone : {"a.zds", "b.zds", "c.zds"}) QVERIFY(QFile::remove(dir.filePath(gone)));
    r.game.rescanSaveGames(); // one save left: row 3 is gone
    QCOMPARE(r.p().lvwLGRows.size(), 2);
    QCOMPARE(r.p().lvwLG, 1);
    QCOMPARE(r.p().ZDSs, -1);
    QVERIFY(r.p().wbPic.isEmpty());
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));

    makeFiles(dir.path(), {"e:wad"});
    r.game.rescanSaveGames();
    r.game.chooseSaveGame(3);
    QCOMPARE(r.command(), QStringLiteral("-LOADGAME E.ZDS -WARP 1 1 -SKILL 3"));
    makeFiles(dir.path(), {"a:broken"}); // a broken save ends the scan: row 1
    r.game.rescanSaveGames();
    QCOMPARE(r.p().lvwLG, 1);
    QCOMPARE(r.command(), QStringLiteral("-WARP 1 1 -SKILL 3"));

    r.game.setFolder(dir.filePath(QStringLiteral("missing")));
    QCOMPARE(r.p().lvwLGRows.size(), 1);
    QCOMPARE(r.p().lvwLGRows.at(0).cells[0], QStringLiteral("<Do not load a game>"));
}

QTEST_GUILESS_MAIN(TestSaveGameSelection)
#include "tst_savegame_selection.moc"
