#include "app_rig.h"

#include "editors/ini/ini_editor_dialog.h"
#include "editors/ini/ini_store.h"

#include <QtWidgets>

using namespace tarnwick;
using test::named;

class TestIniEditorGui : public QObject
{
    Q_OBJECT
private slots:
    void controlsReachTheControllerAndOnlyCloseWrites();
};

void TestIniEditorGui::controlsReachTheControllerAndOnlyCloseWrites()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    const QByteArray file = "[Doom.Player]\nname=Doomguy\ncolor=40 cf 00\n";
    QVERIFY(test::putFile(path, file));
    test::ScriptedMessageBox messages;
    IniStore store(messages);
    IniEditorController controller(dir.path(), store, messages);
    IniEditorDialog dialog(controller);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("ZDoom INI Editor"));
    auto* name = named<QLineEdit>(dialog, "txtName");
    QCOMPARE(name->text(), QStringLiteral("Doomguy"));
    QCOMPARE(name->maxLength(), 14);

    messages.expect(MessageBox::Answer::Yes);
    QTest::mouseClick(named<QPushButton>(dialog, "cmdDefaults"), Qt::LeftButton);
    QCOMPARE(name->text(), QStringLiteral("Player"));
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

QTEST_MAIN(TestIniEditorGui)
#include "tst_ini_editor_gui.moc"
