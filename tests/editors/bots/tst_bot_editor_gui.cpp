#include "app_rig.h"

#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_editor_dialog.h"

#include <QtWidgets>

using namespace tarnwick;
using test::named;

class TestBotEditorGui : public QObject
{
    Q_OBJECT
private slots:
    void controlsReachTheControllerAndOnlyCloseWrites();
};

void TestBotEditorGui::controlsReachTheControllerAndOnlyCloseWrites()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("zcajun")));
    test::ScriptedMessageBox box;
    BotEditorController controller(dir.path(), box);
    BotEditorDialog dialog(controller);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    named<QSlider>(dialog, "slISP")->setValue(12);
    QCOMPARE(named<QLabel>(dialog, "lblISP")->text(), QStringLiteral("&ISP (12):"));
    named<QScrollBar>(dialog, "hsRed")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(named<QLabel>(dialog, "lblRed")->text(), QStringLiteral("Re&d (50):"));
    QCOMPARE(named(dialog, "picPC")->palette().color(QPalette::Window), QColor(0x50, 0xcf, 0x00));

    auto* skin = named<QLineEdit>(dialog, "txtSkin");
    skin->setFocus();
    skin->selectAll();
    QTest::keyClicks(skin, QStringLiteral("  "));
    named(dialog, "cmbName")->setFocus(); // leaving the box
    QCOMPARE(skin->text(), QStringLiteral("base"));

    auto* list = named<QListWidget>(dialog, "lstWP");
    list->setCurrentRow(3);
    QTest::mouseClick(named(dialog, "cmdUp"), Qt::LeftButton);
    dialog.findChild<QAction*>(QStringLiteral("mnuPR"))->trigger();
    QCOMPARE(list->item(2)->text(), QStringLiteral("Plasma rifle"));

    emit named<QComboBox>(dialog, "cmbName")->activated(9); // the user picks Rambo
    QCOMPARE(named<QSlider>(dialog, "slAiming")->value(), 90);
    QCOMPARE(named<QPushButton>(dialog, "cmdResetBot")->text(), QStringLiteral("Re&set Rambo"));

    dialog.reject();
    QVERIFY(!QFile::exists(controller.rosterPath()));
    QTest::mouseClick(named(dialog, "cmdClose"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(test::fileBytes(controller.rosterPath()).contains("\tisp\t\t12\r\n"));
}

QTEST_MAIN(TestBotEditorGui)
#include "tst_bot_editor_gui.moc"
