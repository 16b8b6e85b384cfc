// The save dialog as a player uses it: a filter chosen by keyboard, a name typed, Enter.

#include "platform/qt_platform.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarnwick;

class TestQtFileDialogGui : public QObject
{
    Q_OBJECT
private slots:
    void nameGetsTheChosenFiltersExtension_data();
    void nameGetsTheChosenFiltersExtension();
};

void TestQtFileDialogGui::nameGetsTheChosenFiltersExtension_data()
{
    QTest::addColumn<int>("downPresses"); // from the first filter
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("first filter") << 0 << "launch" << "launch.sh";
    QTest::newRow("second filter") << 1 << "launch" << "launch.bat";
    QTest::newRow("back to the first") << -1 << "launch" << "launch.sh";
    QTest::newRow("all files") << 2 << "launch" << "launch";
    QTest::newRow("an extension typed is kept") << 1 << "go.sh" << "go.sh";
}

void TestQtFileDialogGui::nameGetsTheChosenFiltersExtension()
{
    QFETCH(int, downPresses);
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    QTemporaryDir dir;
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* filters = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")) : nullptr;
        auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!filters || !name) {
            if (dialog) dialog->reject();
            return;
        }
        // "Back to the first": down to the second filter, then up again.
        for (int i = 0; i < (downPresses < 0 ? 1 : downPresses); ++i) QTest::keyClick(filters, Qt::Key_Down);
        if (downPresses < 0) QTest::keyClick(filters, Qt::Key_Up);
        QTest::keyClicks(name, typed);
        QTest::keyClick(name, Qt::Key_Return);
        driven = true;
    });
    QtFileDialog dialogs;
    const QString chosen = dialogs.saveFile(QStringLiteral("Export .bat File"),
        QStringLiteral("Shell script (*.sh)|*.sh|MS-DOS Batch File (*.bat)|*.bat|All files (*.*)|*.*"), dir.path());
    QVERIFY(driven);
    QCOMPARE(chosen, dir.filePath(saved));
}

QTEST_MAIN(TestQtFileDialogGui)
#include "tst_qt_file_dialog_gui.moc"
