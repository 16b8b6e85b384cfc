// The save list as a player sees it: a save made with other WADs carries the warning mark
// and the tooltip naming the difference; its context menu restores them.

#include "app_rig.h"

#include <QMenu>
#include <QTimer>
#include <QTreeWidget>

using namespace tarnwick;

class TestSaveWadsGui : public QObject
{
    Q_OBJECT
private slots:
    void markAndMenu();
};

void TestSaveWadsGui::markAndMenu()
{
    test::AppRig rig;
    QVERIFY(rig.start());
    const QString folder = rig.temp.dir.path();
    QVERIFY(test::putFile(folder + QStringLiteral("/same.zds"), test::saveGameBytes({{"Title", "S"}, {"Game WAD", "DOOM2.WAD"}})));
    QVERIFY(test::putFile(folder + QStringLiteral("/other.zds"),
                          test::saveGameBytes({{"Title", "O"}, {"Game WAD", "DOOM2.WAD"}, {"Map WAD", "m.wad"}})));
    QVERIFY(test::putFile(folder + QStringLiteral("/m.wad"), "PWAD"));
    rig.app.game.setIwad(QStringLiteral("doom2.wad"));
    rig.app.game.setFolder(folder);
    auto* saves = rig.page(1)->findChild<QTreeWidget*>();
    QVERIFY(saves && saves->topLevelItemCount() == 3);
    QTreeWidgetItem* other = saves->topLevelItem(1); // sorted: other.zds, same.zds
    QCOMPARE(other->toolTip(0), QStringLiteral("Made with other WADs than the current ones:\nMap WADs: m.wad (now none)"));
    QCOMPARE(saves->topLevelItem(2)->toolTip(0), QString());
    QVERIFY(other->icon(0).cacheKey() != saves->topLevelItem(2)->icon(0).cacheKey());

    // Right-click the marked save and choose the command with the keyboard.
    QString shown;
    QTimer::singleShot(200, [&shown] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* a : menu->actions()) shown += a->text() + (a->isEnabled() ? "" : " (off)");
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint at = saves->visualItemRect(other).center();
    saves->setFocus();
    emit saves->customContextMenuRequested(at);
    QCOMPARE(shown, QStringLiteral("Use this save's WADs"));
    QCOMPARE(rig.app.p().lstPWADhid, QStringList{folder + QStringLiteral("/m.wad")});
    QCOMPARE(saves->topLevelItem(1)->toolTip(0), QString()); // the WADs match now
    QCOMPARE(saves->topLevelItem(2)->toolTip(0), rig.app.saveWads.difference(3));
}

QTEST_MAIN(TestSaveWadsGui)
#include "tst_save_wads_gui.moc"
