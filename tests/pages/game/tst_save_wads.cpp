#include "core_rig.h"

#include <QDir>
#include <QTest>

using namespace tarnwick;

class TestSaveWads : public QObject
{
    Q_OBJECT
private slots:
    void mark_data();
    void mark();
    void useTheSavesWads();
    void nothingFound();
};

namespace {

// A port folder with one save whose Game WAD and Map WAD fields are given; the save is row 2.
void loadSave(test::CoreRig& r, const QString& folder, const QByteArray& gameWad, const QByteArray& mapWad)
{
    QVERIFY(test::putFile(folder + QStringLiteral("/a.zds"),
                          test::saveGameBytes({{"Title", "A"}, {"Game WAD", gameWad}, {"Map WAD", mapWad}})));
    r.game.setFolder(folder);
    QCOMPARE(r.p().lvwLGRows.size(), 2);
}

} // namespace

// The mark names what differs, compared by file name in any letter case and in order.
void TestSaveWads::mark_data()
{
    QTest::addColumn<QByteArray>("gameWad");
    QTest::addColumn<QByteArray>("mapWad");
    QTest::addColumn<QString>("iwad");
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("difference");

    const QString head = QStringLiteral("Made with other WADs than the current ones:\n");
    QTest::newRow("same, letter case aside") << QByteArray("DOOM2.WAD") << QByteArray("Maps.wad") << "/g/doom2.wad" << QStringList{"\"/m y/maps.WAD\""} << "";
    QTest::newRow("map field is the game WAD: no map WAD") << QByteArray("DOOM2.WAD") << QByteArray("DOOM2.WAD") << "doom2.wad" << QStringList{} << "";
    QTest::newRow("save without fields") << QByteArray() << QByteArray() << "x.wad" << QStringList{"a.wad"} << "";
    QTest::newRow("other game WAD") << QByteArray("TNT.WAD") << QByteArray("TNT.WAD") << "/g/doom2.wad" << QStringList{} << head + "Game WAD: TNT.WAD (now doom2.wad)";
    QTest::newRow("map WADs in another order") << QByteArray("DOOM2.WAD") << QByteArray("a.wad, \"b c.wad\"") << "doom2.wad" << QStringList{"\"/x/b c.wad\"", "a.wad"} << head + "Map WADs: a.wad, b c.wad (now b c.wad, a.wad)";
    QTest::newRow("map WAD no longer loaded") << QByteArray("DOOM2.WAD") << QByteArray("a.wad") << "doom2.wad" << QStringList{} << head + "Map WADs: a.wad (now none)";
    QTest::newRow("both") << QByteArray("DOOM.WAD") << QByteArray("DOOM.WAD") << "doom2.wad" << QStringList{"a.wad"} << head + "Game WAD: DOOM.WAD (now doom2.wad)\nMap WADs: none (now a.wad)";
}

void TestSaveWads::mark()
{
    QFETCH(QByteArray, gameWad);
    QFETCH(QByteArray, mapWad);
    QFETCH(QString, iwad);
    QFETCH(QStringList, list);
    QFETCH(QString, difference);
    test::Program g;
    auto& r = g.r;
    loadSave(r, g.t.dir.path(), gameWad, mapWad);
    r.game.setIwad(iwad);
    r.play.setMapWads(list);
    QCOMPARE(r.saveWads.difference(2), difference);
    QCOMPARE(r.saveWads.difference(1), QString()); // "<Do not load a game>"
}

// The game WAD comes from its location record, each map WAD from the first place that has
// it; the files not found are named in one message.
void TestSaveWads::useTheSavesWads()
{
    test::Program g;
    auto& r = g.r;
    const QString root = g.t.dir.path();
    for (const char* folder : {"port", "games", "recent", "listed"}) QVERIFY(QDir(root).mkdir(folder));
    for (const char* file : {"games/DOOM2.WAD", "games/other.wad", "recent/A.wad", "port/b.WAD", "port/a.wad", "listed/c d.wad", "listed/old.wad"})
        QVERIFY(test::putFile(root + u'/' + file, "PWAD"));
    // The Doom2.wad record points to a file of another name; the Plutonia record's file is named like the save's.
    r.store.write(QStringLiteral("Tarnwick"), QStringLiteral("IWADDoom2.wad"), root + QStringLiteral("/games/other.wad"));
    r.store.write(QStringLiteral("Tarnwick"), QStringLiteral("IWADPlutonia.wad"), root + QStringLiteral("/games/DOOM2.WAD"));
    r.histories.CmbProc(root + QStringLiteral("/recent/A.wad"), QStringLiteral("PWAD"), History::PWAD);
    r.histories.CmbProc(root + QStringLiteral("/recent/b.wad"), QStringLiteral("PWAD"), History::PWAD); // gone
    r.play.setMapWads({u'"' + root + QStringLiteral("/listed/old.wad\"")});
    loadSave(r, root + QStringLiteral("/port"), "doom2.wad", "a.wad B.wad \"C D.WAD\" gone.wad");
    QVERIFY(!r.saveWads.difference(2).isEmpty());

    r.messages.expect(MessageBox::Answer::Ok);
    r.saveWads.useSaveWads(2);
    QCOMPARE(r.p().txtIWAD, root + QStringLiteral("/games/DOOM2.WAD"));
    QCOMPARE(r.p().cmbGame, 2);
    QCOMPARE(r.p().lstPWADhid, (QStringList{root + "/recent/A.wad", root + "/port/b.WAD", "\"" + root + "/listed/c d.wad\""}));
    QCOMPARE(r.p().lstPWAD, (QStringList{"A.wad", "b.WAD", "c d.wad"}));
    QVERIFY2(r.command().contains("-FILE " + root + "/recent/A.wad " + root + "/port/b.WAD \"" + root + "/listed/c d.wad\" "),
             qPrintable(r.command()));
    QCOMPARE(test::shown(r.messages), QStringList{test::prompt("Use this save's WADs", "These files of the save could not "
        "be found:\n\ngone.wad\n\nSet the game WAD's location in Game WAD Locations, or add the map WADs to the list by hand.",
        MessageBox::Buttons::Ok, MessageBox::Icon::Exclamation)});
}

// A game WAD without a usable location and map WADs nowhere: the list empties, the game
// WAD stays, one message names them all.
void TestSaveWads::nothingFound()
{
    test::Program g;
    auto& r = g.r;
    r.store.write(QStringLiteral("Tarnwick"), QStringLiteral("IWADTNT.wad"), QStringLiteral("/nowhere/TNT.WAD"));
    r.game.setIwad(QStringLiteral("doom2.wad"));
    r.play.setMapWads({QStringLiteral("/nowhere/x.wad")});
    loadSave(r, g.t.dir.path(), "TNT.WAD", "y.wad z.wad");
    r.messages.expect(MessageBox::Answer::Ok);
    r.saveWads.useSaveWads(2);
    QCOMPARE(r.p().txtIWAD, QStringLiteral("doom2.wad"));
    QVERIFY(r.p().lstPWADhid.isEmpty());
    QCOMPARE(r.messages.prompts.size(), 1);
    QVERIFY(r.messages.prompts[0].text.startsWith("These files of the save could not be found:\n\nTNT.WAD\ny.wad\nz.wad\n\n"));
    // Both still differ, and the mark says so.
    QCOMPARE(r.saveWads.difference(2), QStringLiteral("Made with other WADs than the current ones:\nGame WAD: TNT.WAD (now doom2.wad)\n"
                                                      "Map WADs: y.wad, z.wad (now none)"));
}

QTEST_GUILESS_MAIN(TestSaveWads)
#include "tst_save_wads.moc"
