// The two editor dialogs: their controls reach their controllers, and only Close writes.

#include "app_rig.h"

#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_editor_dialog.h"
#include "editors/ini/ini_editor_dialog.h"
#include "editors/ini/ini_store.h"

#include <QtWidgets>

using namespace tarnwick;
using test::named;

class TestEditorDialogsGui : public QObject
{
    Q_OBJECT
private slots:
    void configurationEditor();
    void botEditor();
};

void TestEditorDialogsGui::configurationEditor()
{
    QTemporaryDir dir;
    qputenv("HOME", dir.path().toLocal8Bit()); // no file of the player's own is offered first
    qunsetenv("XDG_CONFIG_HOME");
    const QString path = dir.filePath("zdoom.ini");
    const QByteArray file = "[Doom.Player]\nname=Doomguy the Destroyer\ncolor=40 cf 00\n";
    QVERIFY(test::putFile(path, file));
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    IniEditorController controller(dir.path(), QStringLiteral("zdoom"), store, messages);
    IniEditorDialog dialog(controller);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ZDoom INI Editor"));
    auto* name = named<QLineEdit>(dialog, "txtName");
    QCOMPARE(name->text(), QStringLiteral("Doomguy the Destroyer")); // longer than the box takes by typing
    QCOMPARE(name->maxLength(), 21);

    messages.expect(MessageBox::Answer::Yes);
    QTest::mouseClick(named<QPushButton>(dialog, "cmdDefaults"), Qt::LeftButton);
    QCOMPARE(name->text(), QStringLiteral("Player"));
    QCOMPARE(name->maxLength(), 14);
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Ranger"));
    QCOMPARE(controller.text(IniControl::txtName), QStringLiteral("Ranger"));

    auto* blue = named<QScrollBar>(dialog, "hsBlue");
    blue->setValue(255);
    QCOMPARE(controller.value(IniControl::hsBlue), 255);
    const auto labels = dialog.findChildren<QLabel*>();
    QVERIFY(std::any_of(labels.begin(), labels.end(),
                        [&](QLabel* l) { return l->buddy() == blue && l->text() == QStringLiteral("&Blue (FF):"); }));
    named<QTabWidget>(dialog, "SSTab")->setCurrentIndex(1);
    QCOMPARE(named<QPushButton>(dialog, "cmdR1")->text(), QStringLiteral("Reset Multiplayer"));

    dialog.reject(); // closing other than by Close writes nothing
    QCOMPARE(test::fileBytes(path), file);
    QTest::mouseClick(named<QPushButton>(dialog, "cmdClose"), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(test::fileBytes(path).contains("name=Ranger\n"));
}

void TestEditorDialogsGui::botEditor()
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

QTEST_MAIN(TestEditorDialogsGui)
#include "tst_editor_dialogs_gui.moc"
