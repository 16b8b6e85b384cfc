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
    void nameGetsTheChosenFiltersExtension();
};

// Keys pressed on the filter list from the first filter, the name typed, the file saved.
void TestQtFileDialogGui::nameGetsTheChosenFiltersExtension()
{
    const struct { QList<Qt::Key> keys; const char *typed, *saved; } rows[] = {
        {{}, "launch", "launch.sh"}, {{Qt::Key_Down}, "launch", "launch.bat"},
        {{Qt::Key_Down, Qt::Key_Up}, "launch", "launch.sh"}, {{Qt::Key_Down, Qt::Key_Down}, "launch", "launch"},
        {{Qt::Key_Down}, "go.sh", "go.sh"}};
    for (const auto& row : rows) {
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
            for (Qt::Key key : row.keys) QTest::keyClick(filters, key);
            QTest::keyClicks(name, QString::fromLatin1(row.typed));
            QTest::keyClick(name, Qt::Key_Return);
            driven = true;
        });
        const QString chosen = QtFileDialog().saveFile(QStringLiteral("Export .bat File"),
            QStringLiteral("Shell script (*.sh)|*.sh|MS-DOS Batch File (*.bat)|*.bat|All files (*.*)|*.*"), dir.path());
        QVERIFY2(driven, row.typed);
        QCOMPARE(chosen, dir.filePath(QString::fromLatin1(row.saved)));
    }
}

QTEST_MAIN(TestQtFileDialogGui)
#include "tst_qt_file_dialog_gui.moc"
