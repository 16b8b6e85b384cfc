#include "doubles.h"
#include "editors/ini/ini_editor_dialog.h"
#include "editors/ini/ini_store.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Window
{
    QTemporaryDir dir;
    test::ScriptedMessageBox messages;
    IniStore store{messages};
    std::unique_ptr<IniEditorController> controller;
    std::unique_ptr<IniEditorDialog> dialog;

    explicit Window(const QByteArray& file)
    {
        QFile f(dir.filePath("zdoom.ini"));
        if (f.open(QIODevice::WriteOnly)) f.write(file);
        f.close();
        controller = std::make_unique<IniEditorController>(dir.path(), store, messages);
        dialog = std::make_unique<IniEditorDialog>(*controller);
        dialog->show();
    }
    QString path() const { return dir.filePath("zdoom.ini"); }
    template<typename T> T* find(const char* name) const
    {
        T* w = dialog->findChild<T*>(QString::fromLatin1(name));
        if (!w) qFatal("no %s", name);
        return w;
    }
};

const QByteArray kFile = "[Doom.Player]\nname=Doomguy\ncolor=40 cf 00\n";

} // namespace

class TestIniEditorGui : public QObject
{
    Q_OBJECT
private slots:
    void showsTheFileAndForwardsEdits();
    void closeButtonWrites();
    void titleBarCloseWritesNothing();
};

void TestIniEditorGui::showsTheFileAndForwardsEdits()
{
    Window w(kFile);
    auto* name = w.find<QLineEdit>("txtName");
    QCOMPARE(name->text(), QStringLiteral("Doomguy"));
    QCOMPARE(name->maxLength(), 14);
    QCOMPARE(w.dialog->windowTitle(), QStringLiteral("ZDoom INI Editor"));

    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Ranger"));
    QCOMPARE(w.controller->text(IniControl::txtName), QStringLiteral("Ranger"));

    auto* blue = w.find<QScrollBar>("hsBlue");
    blue->setValue(255);
    QCOMPARE(w.controller->value(IniControl::hsBlue), 255);
    const auto labels = w.dialog->findChildren<QLabel*>();
    const auto blueLabel = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == blue; });
    QVERIFY(blueLabel != labels.end());
    QCOMPARE((*blueLabel)->text(), QStringLiteral("&Blue (FF):"));

    auto* tabs = w.find<QTabWidget>("SSTab");
    tabs->setCurrentIndex(1);
    QCOMPARE(w.find<QPushButton>("cmdR1")->text(), QStringLiteral("Reset Multiplayer"));
}

void TestIniEditorGui::closeButtonWrites()
{
    Window w(kFile);
    w.find<QLineEdit>("txtName")->selectAll();
    QTest::keyClicks(w.find<QLineEdit>("txtName"), QStringLiteral("Ranger"));
    QTest::mouseClick(w.find<QPushButton>("cmdClose"), Qt::LeftButton);
    QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    QVERIFY(!w.dialog->isVisible());
    QVERIFY(fileBytes(w.path()).contains("name=Ranger\n"));
}

void TestIniEditorGui::titleBarCloseWritesNothing()
{
    Window w(kFile);
    QTest::keyClicks(w.find<QLineEdit>("txtName"), QStringLiteral("X"));
    w.messages.expect(MessageBox::Answer::Yes);
    QTest::mouseClick(w.find<QPushButton>("cmdDefaults"), Qt::LeftButton);
    QCOMPARE(w.find<QLineEdit>("txtName")->text(), QStringLiteral("Player"));
    QVERIFY(w.dialog->close());
    QCOMPARE(w.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(fileBytes(w.path()), kFile);
}

QTEST_MAIN(TestIniEditorGui)
#include "tst_ini_editor_gui.moc"
