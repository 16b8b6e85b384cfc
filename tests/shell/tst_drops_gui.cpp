// Files dragged from a file manager onto the real widgets of the main window: which drops
// are taken, which are refused (the "no entry" cursor), and what a taken drop changes.

#include "app_rig.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMimeData>

using namespace tarnwick;

namespace {

const QString kMapFrame = QStringLiteral("Ma&p WAD File(s)");
const QString kPatchFrame = QStringLiteral("DeHackEd/BE&X File(s)");

template<typename T>
T* inFrame(QWidget* root, const QString& title)
{
    for (QGroupBox* box : root->findChildren<QGroupBox*>())
        if (box->title() == title) return box->findChild<T*>();
    return nullptr;
}

QWidget* buddyOf(QWidget* root, const QString& label)
{
    for (QLabel* l : root->findChildren<QLabel*>())
        if (l->text() == label) return l->buddy();
    return nullptr;
}

QWidget* target(test::AppRig& rig, const QString& name)
{
    if (name == QLatin1StringView("map list")) return inFrame<QListWidget>(rig.page(2), kMapFrame);
    if (name == QLatin1StringView("map box")) return inFrame<QComboBox>(rig.page(2), kMapFrame);
    if (name == QLatin1StringView("patch list")) return inFrame<QListWidget>(rig.page(2), kPatchFrame);
    if (name == QLatin1StringView("demo box")) return buddyOf(rig.page(1), QStringLiteral("&Demo file:"));
    if (name == QLatin1StringView("command box")) return rig.window.commandBox();
    if (name == QLatin1StringView("page 1")) return rig.page(1);
    return nullptr;
}

struct Dragged
{
    bool entered = false, moved = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// A drag over the middle of `at` and, when the program takes it, the drop, delivered as Qt
// delivers them: to the widget there or the nearest one around it that takes drops. The file
// manager offers a move, as it does for a drag without keys.
Dragged drag(test::AppRig& rig, QWidget* at, const QMimeData& data)
{
    for (QWidget* w = at; w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) sub->raise();
    QMainWindow& window = rig.window;
    const QPoint point = at->mapTo(&window, at->rect().center());
    QWidget* receiver = window.childAt(point);
    if (!receiver || (receiver != at && !at->isAncestorOf(receiver))) {
        QTest::qFail("the target is hidden under another widget", __FILE__, __LINE__);
        return {};
    }
    while (!receiver->acceptDrops() && !receiver->isWindow()) receiver = receiver->parentWidget();
    const QPoint pos = receiver->mapFrom(&window, point);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;

    Dragged d;
    QDragEnterEvent enter(pos, offered, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(receiver, &enter);
    QDragMoveEvent move(pos, offered, &data, Qt::LeftButton, Qt::NoModifier);
    move.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(receiver, &move);
    d.entered = enter.isAccepted();
    d.moved = move.isAccepted();
    d.action = move.dropAction();
    if (d.entered && d.moved) {
        QDropEvent drop(QPointF(pos), offered, &data, Qt::LeftButton, Qt::NoModifier);
        drop.setDropAction(Qt::MoveAction);
        QApplication::sendEvent(receiver, &drop);
        QCoreApplication::processEvents();
    }
    return d;
}

// What a drop may change, as "name=value" lines, the temporary folder written as "@".
QStringList outcome(test::AppRig& rig, const QString& folder)
{
    const LaunchProfile& p = rig.app.p();
    QStringList lines;
    const auto line = [&](const char* name, QString value) {
        if (!value.isEmpty()) lines << QString::fromLatin1(name) + u'=' + value.replace(folder, QStringLiteral("@"));
    };
    line("map WADs", p.lstPWADhid.join(u'|'));
    line("shown", p.lstPWAD.join(u'|'));
    line("map WAD history", rig.app.histories.shown(History::PWAD).join(u'|'));
    line("patches", p.lstDehhid.join(u'|'));
    line("demo", p.txtLMP);
    line("EXE", p.txtEXE);
    line("messages", test::shown(rig.app.messages).join(u'|').section(u'|', 0, 0));
    return lines;
}

} // namespace

class TestDropsGui : public QObject
{
    Q_OBJECT
private slots:
    void drop_data();
    void drop();
};

void TestDropsGui::drop_data()
{
    QTest::addColumn<QString>("at");
    QTest::addColumn<QStringList>("files"); // "http..." is a web address, anything else a file
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("map WADs in drop order") << "map list" << QStringList{"b.wad", "a.PK3", "c.zip", "d.pk7"} << true
        << QStringList{"map WADs=@/b.wad|@/a.PK3|@/c.zip|@/d.pk7", "shown=b.wad|a.PK3|c.zip|d.pk7",
                       "map WAD history=@/a.PK3|@/b.wad|@/c.zip|@/d.pk7"};
    QTest::newRow("a map WAD with a blank is quoted") << "map box" << QStringList{"my maps.wad"} << true
        << QStringList{"map WADs=\"@/my maps.wad\"", "shown=my maps.wad", "map WAD history=\"@/my maps.wad\""};
    QTest::newRow("map WADs mixed with a patch") << "map list" << QStringList{"a.wad", "p.deh"} << false << QStringList{};
    QTest::newRow("a web address") << "map list" << QStringList{"https://example.org/a.wad"} << false << QStringList{};
    QTest::newRow("patches") << "patch list" << QStringList{"p.deh", "q.BEX"} << true
        << QStringList{"patches=@/p.deh|@/q.BEX"};
    QTest::newRow("a map WAD on the patches") << "patch list" << QStringList{"a.wad"} << false << QStringList{};
    QTest::newRow("a demo") << "demo box" << QStringList{"run.lmp"} << true << QStringList{"demo=@/run.lmp"};
    QTest::newRow("a demo while demos are off") << "demo box, demos off" << QStringList{"run.lmp"} << false
                                                << QStringList{};
    QTest::newRow("a settings file on the map WADs") << "map list" << QStringList{"MINE.TWK"} << true
                                                     << QStringList{"EXE=from-file"};
    QTest::newRow("an unreadable settings file says so, as Open settings does") << "page 1"
        << QStringList{"broken.twk"} << true << QStringList{"messages=Open Settings"};
    QTest::newRow("two settings files") << "page 1" << QStringList{"a.twk", "b.twk"} << false << QStringList{};
    QTest::newRow("a map WAD on the command box") << "command box" << QStringList{"a.wad"} << false << QStringList{};
}

void TestDropsGui::drop()
{
    QFETCH(QString, at);
    QFETCH(QStringList, files);
    QFETCH(bool, taken);
    QFETCH(QStringList, expected);
    test::AppRig rig;
    QVERIFY(rig.start());
    rig.app.game.setDemos(at.endsWith(QLatin1StringView("demos off")) ? 0 : 1);
    const QString folder = rig.temp.path(QStringLiteral("files"));
    QVERIFY(QDir().mkpath(folder));

    QList<QUrl> urls;
    for (const QString& f : files) {
        const QString path = folder + u'/' + f;
        const bool good = f.endsWith(QLatin1StringView(".twk"), Qt::CaseInsensitive) && !f.startsWith(u'b');
        QVERIFY(f.startsWith(QLatin1StringView("http")) ||
                (good ? test::putSettingsFile(path, {{"1ZEXE", "from-file"}}) : test::putFile(path, "PWAD")));
        urls << (f.startsWith(QLatin1StringView("http")) ? QUrl(f) : QUrl::fromLocalFile(path));
    }
    QMimeData data;
    data.setUrls(urls);
    data.setText(files.join(u'\n')); // file managers offer the names as text too
    if (files.contains(QStringLiteral("broken.twk"))) rig.app.messages.expect(MessageBox::Answer::Ok);

    const QString commandBefore = rig.command();
    QWidget* widget = target(rig, at.section(u',', 0, 0));
    QVERIFY(widget);
    const Dragged d = drag(rig, widget, data);
    QCOMPARE(d.entered, taken);
    QCOMPARE(d.moved, taken);
    if (taken) QCOMPARE(d.action, Qt::CopyAction); // never a move: the file manager would delete the files

    QStringList got = outcome(rig, folder);
    got.sort();
    expected.sort();
    QCOMPARE(got, expected);
    // The command line follows what was taken, and nothing else reaches it.
    if (expected.isEmpty() || expected.first().startsWith(QLatin1StringView("messages"))) QCOMPARE(rig.command(), commandBefore);
    const QString shown = rig.command();
    rig.app.session.MainProc();
    QCOMPARE(shown, rig.command());
}

QTEST_MAIN(TestDropsGui)
#include "tst_drops_gui.moc"
