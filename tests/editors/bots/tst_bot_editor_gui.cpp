#include "doubles.h"

#include "editors/bots/bot_editor_controller.h"
#include "editors/bots/bot_editor_dialog.h"
#include "editors/bots/bot_roster.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tarnwick;
using Skill = BotEditorController::Skill;
using Channel = BotEditorController::Channel;

class TestBotEditorGui : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controlsReachTheControllerAndRedraw();
    void buttonsAndMenuReachTheController();
    void closeButtonWritesAndOtherClosingDoesNot();

private:
    template <typename W>
    W* find(const char* name)
    {
        W* w = m_dialog->findChild<W*>(QLatin1String(name));
        if (!w) qFatal("no widget %s", name);
        return w;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::ScriptedMessageBox> m_box;
    std::unique_ptr<BotEditorController> m_controller;
    std::unique_ptr<BotEditorDialog> m_dialog;
};

void TestBotEditorGui::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkdir(QStringLiteral("zcajun"));
    m_box = std::make_unique<test::ScriptedMessageBox>();
    m_controller = std::make_unique<BotEditorController>(m_dir->path(), *m_box);
    m_dialog = std::make_unique<BotEditorDialog>(*m_controller);
}

void TestBotEditorGui::cleanup()
{
    m_dialog.reset();
    m_controller.reset();
    m_box.reset();
    m_dir.reset();
}

void TestBotEditorGui::controlsReachTheControllerAndRedraw()
{
    QCOMPARE(find<QComboBox>("cmbName")->count(), 16);
    QCOMPARE(find<QLabel>("lblAiming")->text(), QStringLiteral("&Aiming (67):"));

    find<QSlider>("slISP")->setValue(12);
    QCOMPARE(m_controller->skill(Skill::Isp), 12);
    QCOMPARE(find<QLabel>("lblISP")->text(), QStringLiteral("&ISP (12):"));

    find<QScrollBar>("hsRed")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_controller->channel(Channel::Red), 0x50);
    QCOMPARE(find<QLabel>("lblRed")->text(), QStringLiteral("Re&d (50):"));
    QCOMPARE(find<QWidget>("picPC")->palette().color(QPalette::Window), QColor(0x50, 0xcf, 0x00));

    m_dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
    auto* skin = find<QLineEdit>("txtSkin");
    skin->setFocus();
    skin->selectAll();
    QTest::keyClicks(skin, QStringLiteral("  "));
    QCOMPARE(m_controller->skin(), QStringLiteral("  "));
    find<QComboBox>("cmbName")->setFocus(); // leaving the box
    QCOMPARE(skin->text(), QStringLiteral("base"));

    find<QListWidget>("lstWP")->setCurrentRow(8);
    QCOMPARE(m_controller->weaponRow(), 8);
    QVERIFY(!find<QToolButton>("cmdDown")->isEnabled());

    emit find<QComboBox>("cmbName")->activated(9); // the user picks Rambo
    QCOMPARE(m_controller->curBotName(), QStringLiteral("Rambo"));
    QCOMPARE(find<QSlider>("slAiming")->value(), 90);
    QCOMPARE(find<QPushButton>("cmdResetBot")->text(), QStringLiteral("Re&set Rambo"));
}

void TestBotEditorGui::buttonsAndMenuReachTheController()
{
    auto* list = find<QListWidget>("lstWP");
    list->setCurrentRow(3);
    QTest::mouseClick(find<QToolButton>("cmdUp"), Qt::LeftButton);
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(list->item(2)->text(), QStringLiteral("Shotgun"));

    find<QAction>("mnuPR")->trigger();
    QCOMPARE(list->item(2)->text(), QStringLiteral("Plasma rifle"));

    m_box->expectInput(QStringLiteral("Zed"));
    QTest::mouseClick(find<QPushButton>("cmdAdd"), Qt::LeftButton);
    auto* names = find<QComboBox>("cmbName");
    QCOMPARE(names->currentText(), QStringLiteral("Zed"));
    QVERIFY(!find<QPushButton>("cmdResetBot")->isEnabled());

    m_box->expect(MessageBox::Answer::Yes);
    QTest::mouseClick(find<QPushButton>("cmdRemove"), Qt::LeftButton);
    QCOMPARE(names->count(), 16);
    QCOMPARE(names->currentIndex(), 0);
}

void TestBotEditorGui::closeButtonWritesAndOtherClosingDoesNot()
{
    const QString file = m_dir->filePath(QStringLiteral("zcajun/Bots.cfg"));
    find<QSlider>("slAiming")->setValue(1);
    m_dialog->reject();
    QVERIFY(!QFile::exists(file));

    QTest::mouseClick(find<QPushButton>("cmdClose"), Qt::LeftButton);
    QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("{\r\n\tname\t\tHugne\r\n\taiming\t\t1\r\n"));
}

QTEST_MAIN(TestBotEditorGui)
#include "tst_bot_editor_gui.moc"
