#include "doubles.h"
#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_editor_dialog.h"
#include "snapshots.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

using namespace tarnwick;

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
    const auto find = [&dialog](const char* name) {
        auto* widget = dialog.findChild<QWidget*>(QLatin1String(name));
        if (!widget) qFatal("no widget %s", name);
        return widget;
    };
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    qobject_cast<QSlider*>(find("slISP"))->setValue(12);
    QCOMPARE(qobject_cast<QLabel*>(find("lblISP"))->text(), QStringLiteral("&ISP (12):"));
    qobject_cast<QScrollBar*>(find("hsRed"))->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(qobject_cast<QLabel*>(find("lblRed"))->text(), QStringLiteral("Re&d (50):"));
    QCOMPARE(find("picPC")->palette().color(QPalette::Window), QColor(0x50, 0xcf, 0x00));

    auto* skin = qobject_cast<QLineEdit*>(find("txtSkin"));
    skin->setFocus();
    skin->selectAll();
    QTest::keyClicks(skin, QStringLiteral("  "));
    find("cmbName")->setFocus(); // leaving the box
    QCOMPARE(skin->text(), QStringLiteral("base"));

    auto* list = qobject_cast<QListWidget*>(find("lstWP"));
    list->setCurrentRow(3);
    QTest::mouseClick(find("cmdUp"), Qt::LeftButton);
    dialog.findChild<QAction*>(QStringLiteral("mnuPR"))->trigger();
    QCOMPARE(list->item(2)->text(), QStringLiteral("Plasma rifle"));

    emit qobject_cast<QComboBox*>(find("cmbName"))->activated(9); // the user picks Rambo
    QCOMPARE(qobject_cast<QSlider*>(find("slAiming"))->value(), 90);
    QCOMPARE(qobject_cast<QPushButton*>(find("cmdResetBot"))->text(), QStringLiteral("Re&set Rambo"));

    dialog.reject();
    QVERIFY(!QFile::exists(controller.rosterPath()));
    QTest::mouseClick(find("cmdClose"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(test::fileBytes(controller.rosterPath()).contains("\tisp\t\t12\r\n"));
}

QTEST_MAIN(TestBotEditorGui)
#include "tst_bot_editor_gui.moc"
