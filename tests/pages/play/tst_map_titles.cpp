#include "core_rig.h"
#include "wad_builder.h"

#include "pages/play/game_catalog.h"
#include "pages/play/map_titles.h"

#include <QTest>

using namespace tarnwick;

class TestMapTitles : public QObject
{
    Q_OBJECT
private slots:
    void titles_data();
    void titles();
    void rowsFollowTheList();
    void savedExtraMapComesBack();
};

namespace {

// A file description: "wad:" or "zip:" or "deh:", then entries "NAME=content" split by "|".
// Content "\n" stands for a line break.
QString makeFile(const QString& folder, int n, const QString& description)
{
    const QString kind = description.section(u':', 0, 0);
    test::Lumps lumps;
    for (const QString& part : description.section(u':', 1).split(u'|', Qt::SkipEmptyParts)) {
        QString content = part.section(u'=', 1);
        content.replace(QLatin1StringView("\\n"), QLatin1StringView("\n"));
        lumps.append({part.section(u'=', 0, 0).toLatin1(), content.toUtf8()});
    }
    const QString path = folder + QStringLiteral("/file%1.").arg(n) + (kind == "zip" ? "pk3" : kind);
    const bool made = kind == "zip" ? test::writeZip(path, lumps)
                                    : test::putFile(path, kind == "deh" ? lumps.value(0).second : test::wadBytes(lumps));
    return made ? path : QString();
}

// The rows that differ from the catalog's, as "index=text", and rows past its end.
QString changedRows(int game, const QStringList& rows)
{
    const QStringList catalog = catalog::mapRows(game);
    QStringList changed;
    for (int i = 0; i < rows.size(); ++i)
        if (i >= catalog.size() || rows[i] != catalog[i]) changed << QStringLiteral("%1=%2").arg(i).arg(rows[i]);
    if (rows.size() < catalog.size()) changed << QStringLiteral("short");
    return changed.join(u';');
}

} // namespace

void TestMapTitles::titles_data()
{
    QTest::addColumn<int>("game");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("changed");

    const QString maps = QStringLiteral("MAP07=|THINGS=x|");
    QTest::newRow("UMAPINFO levelname") << 1 << QStringList{"wad:" + maps + "UMAPINFO=map map07 {\\n levelname = \"Um Title\"\\n label = \"x\" }"} << "6=7: Um Title";
    QTest::newRow("MAPINFO, Hexen numbers its maps") << 5 << QStringList{"wad:MAPINFO=map 13 \"DARK WOOD\"\\nsky1 SKY2 0\\nmap 1 \"Hall\""} << "0=1: Hall;6=13: DARK WOOD";
    QTest::newRow("ZMAPINFO lookup through LANGUAGE") << 1 << QStringList{"wad:LANGUAGE=[enu default]\\nMY_T7 = \"From \" \"Language\";\\n[fra]\\nMY_T7 = \"Non\";|ZMAPINFO=map MAP07 lookup \"MY_T7\" { next = \"MAP08\" }"} << "6=7: From Language";
    QTest::newRow("ZMAPINFO replaces MAPINFO of the same file") << 1 << QStringList{"wad:ZMAPINFO=map MAP07 \"Z\" {}|MAPINFO=map MAP07 \"M\""} << "6=7: Z";
    QTest::newRow("DEHACKED string names") << 1 << QStringList{"wad:DEHACKED=Patch File for DeHackEd v3.0\\n[STRINGS]\\nHUSTR_7 = level 7: Deh \\\\n Title\\nPHUSTR_8 = level 8: not doom 2"} << "6=7: Deh Title";
    QTest::newRow("DEHACKED text replacement") << 1 << QStringList{"deh:DEHACKED=Text 20 15\\nlevel 7: dead simplelevel 7: Simple\\n"} << "6=7: Simple";
    QTest::newRow("Plutonia reads its own strings") << 2 << QStringList{"wad:DEHACKED=[STRINGS]\\nHUSTR_7 = level 7: doom two\\nPHUSTR_7 = level 7: Plut"} << "6=7: Plut";
    QTest::newRow("episodes, extra maps in order") << 0 << QStringList{"wad:E6M1=|THINGS=|MAPINFO=map E5M2 \"Two\"\\nmap E1M1 \"One\"\\nmap E5M1 \"First\""} << "0=E1M1: One;36=E5M1: First;37=E5M2: Two;38=E6M1: E6M1";
    QTest::newRow("archive entries at any letter case") << 1 << QStringList{"zip:MAPS/MAP35.WAD=w|maps/map33.wad=w|Language.TXT=[enu]\\nT33 = \"Lang 33\";|MAPINFO.txt=map MAP33 lookup T33\\nmap MAP02 \"Two\""} << "1=2: Two;32=33: Lang 33;33=35: MAP35";
    QTest::newRow("the last file wins") << 1 << QStringList{"wad:MAPINFO=map MAP07 \"First\"\\nmap MAP08 \"Kept\"", "zip:mapinfo.txt=map MAP07 \"Second\""} << "6=7: Second;7=8: Kept";
    QTest::newRow("a later file without the map leaves it") << 1 << QStringList{"wad:MAPINFO=map MAP07 \"First\"", "wad:MAP01=|THINGS="} << "6=7: First";
    QTest::newRow("maps without titles: the catalog") << 1 << QStringList{"wad:MAP01=|THINGS=|MAP33=|TEXTMAP=", "zip:maps/map34.wad=w"} << "";
    QTest::newRow("titles of another game's maps: the catalog") << 4 << QStringList{"wad:MAPINFO=map MAP07 \"Doom two\""} << "";
    QTest::newRow("comments and broken statements") << 1 << QStringList{"wad:MAPINFO=// map MAP01 \"No\"\\n/* map MAP02 \"No\" */ map MAP03 \"Yes\" ; map MAP04 \"No\"\\nmap { }\\nmap MAP05 \"Unterminated"} << "2=3: Yes;4=5: Unterminated";
}

void TestMapTitles::titles()
{
    QFETCH(int, game);
    QFETCH(QStringList, files);
    QFETCH(QString, changed);
    QTemporaryDir dir;
    QList<WadMapInfo> infos;
    for (int i = 0; i < files.size(); ++i) {
        infos.append(readWadMapInfo(makeFile(dir.path(), i, files[i])));
        QCOMPARE(infos.last().error, QString());
    }
    QCOMPARE(changedRows(game, titledMapRows(game, infos)), changed);
}

// The rows follow every change of the list; the chosen map stays chosen, and an extra map
// warps to its own number.
void TestMapTitles::rowsFollowTheList()
{
    test::Program g(false);
    auto& r = g.r;
    using L = PlayOptionsController::FileList;
    const QString a = makeFile(g.t.dir.path(), 0, "wad:MAPINFO=map MAP33 \"A33\"\\nmap MAP35 \"A35\"\\nmap MAP07 \"A7\"");
    const QString b = makeFile(g.t.dir.path(), 1, "zip:mapinfo.txt=map MAP34 \"B34\"\\nmap MAP07 \"B7\"");
    r.play.chooseGame(1);
    r.play.setListText(L::MapWads, a);
    r.play.addToList(L::MapWads);
    QCOMPARE(r.p().lstMapRows.mid(32), (QStringList{"33: A33", "35: A35"}));
    r.play.chooseMap(33);
    QVERIFY2(r.command().contains("-WARP 35 "), qPrintable(r.command()));

    // A file is added first in order: MAP34 comes between, MAP35 stays chosen.
    r.play.setListText(L::MapWads, u'"' + b + u'"');
    r.play.addToList(L::MapWads);
    r.play.selectListEntry(L::MapWads, 1);
    r.play.moveUpInList(L::MapWads);
    QCOMPARE(r.p().lstMapRows.mid(32), (QStringList{"33: A33", "34: B34", "35: A35"}));
    QCOMPARE(r.p().lstMapRows[6], QStringLiteral("7: A7"));
    QCOMPARE(r.p().selectedMapRow(), QStringLiteral("35: A35"));
    QVERIFY2(r.command().contains("-WARP 35 "), qPrintable(r.command()));

    // The rows' order moves the winner of MAP07; the catalog row keeps its place.
    r.play.chooseMap(6);
    r.play.selectListEntry(L::MapWads, 1);
    r.play.moveUpInList(L::MapWads);
    QCOMPARE(r.p().lstMapRows[6], QStringLiteral("7: B7"));
    QCOMPARE(r.p().lstMap, 6);

    // A chosen map that leaves with its file falls back to the first row; without titles
    // the rows are the catalog's again.
    r.play.chooseMap(34);
    r.play.removeFromList(L::MapWads); // the moved entry, the first file, is still selected
    QCOMPARE(r.p().lstMapRows.mid(32), QStringList{"34: B34"});
    QCOMPARE(r.p().lstMap, 0);
    r.play.chooseMap(32);
    r.play.clearList(L::MapWads);
    QCOMPARE(r.p().lstMapRows, catalog::mapRows(1));
    QCOMPARE(r.p().lstMap, 0);
    QVERIFY2(r.command().contains("-WARP 1 "), qPrintable(r.command()));
}

// The settings loader sets the map before the map WAD list: MAP33, an extra row, is still
// chosen after a restart.
void TestMapTitles::savedExtraMapComesBack()
{
    test::TempStore t;
    makeFile(t.dir.path(), 0, "wad:MAPINFO=map MAP33 \"Secret\"\\nmap MAP34 \"Two\"");
    {
        test::CoreRig first(t.store);
        first.game.setFolder(t.dir.path());
        first.play.chooseGame(2);
        first.play.setMapWads({QStringLiteral("file0.wad")}); // relative: found in the port folder
        first.play.chooseMap(32);
        QCOMPARE(first.p().selectedMapRow(), QStringLiteral("33: Secret"));
        first.persistence.Set_Exp(OptionWindow::GameOptions);
        first.persistence.Set_Exp(OptionWindow::PlayOptions);
    }
    test::CoreRig second(t.store);
    second.persistence.Set_Imp();
    QCOMPARE(second.p().selectedMapRow(), QStringLiteral("33: Secret"));
    QVERIFY2(second.command().contains("-WARP 33 "), qPrintable(second.command()));
}

QTEST_GUILESS_MAIN(TestMapTitles)
#include "tst_map_titles.moc"
