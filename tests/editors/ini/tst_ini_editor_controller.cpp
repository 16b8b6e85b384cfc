#include "doubles.h"
#include "editors/ini/ini_conversions.h"
#include "editors/ini/ini_document.h"
#include "editors/ini/ini_editor_controller.h"
#include "editors/ini/ini_editor_entry.h"
#include "editors/ini/ini_store.h"
#include "launch/port_config_files.h"
#include "snapshots.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using test::fileBytes;
using test::prompt;
using test::putFile;
using test::shown;
using C = IniControl;
using OptInt = std::optional<qint64>;

namespace {

QByteArray valueIn(const QString& path, QByteArrayView section, QByteArrayView key)
{
    IniDocument doc;
    doc.setBytes(fileBytes(path));
    return doc.value(section, key).value_or("<none>");
}

// The editor on a folder of its own, answering questions from a script.
struct Editor
{
    QTemporaryDir dir;
    test::ScriptedMessageBox messages;
    IniStore store{messages};
    std::unique_ptr<IniEditorController> controller;

    QString path(const QString& name = QStringLiteral("zdoom.ini")) const { return dir.filePath(name); }
    // Opens the editor, on a "zdoom.ini" with these bytes when given.
    IniEditorController& open(const QByteArray& file = QByteArray())
    {
        if (!file.isNull()) putFile(path(), file);
        controller = std::make_unique<IniEditorController>(dir.path() + QLatin1Char('/'), QStringLiteral("zdoom"), store,
                                                           messages);
        controller->open();
        return *controller;
    }

    // Runs the player's steps: "g1" chooses game 1, "f1" file 1, "hsGamma=15" or
    // "txtName=Bob" (a "_" stands for a blank) sets a control, "reset-all" resets all with Yes.
    void play(const QString& steps)
    {
        for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
            if (step == u"reset-all") {
                messages.expect(MessageBox::Answer::Yes);
                controller->resetAll();
            } else if (step.startsWith(u'g') && !step.contains(u'=')) {
                controller->chooseGame(step.mid(1).toInt());
            } else if (step.startsWith(u'f') && !step.contains(u'=')) {
                controller->chooseFile(step.mid(1).toInt());
            } else {
                const IniControl c = control(step.section(u'=', 0, 0));
                const QString value = step.section(u'=', 1).replace(u'_', u' ');
                if (iniControl(c).kind == IniControlKind::Text) controller->setText(c, value);
                else controller->setValue(c, value.toInt());
            }
        }
    }

    // "txtName=Bob" or "hsGamma=20": whether the control shows that.
    QString shows(const QString& check) const
    {
        const IniControl c = control(check.section(u'=', 0, 0));
        const QString shown = iniControl(c).kind == IniControlKind::Text ? controller->text(c)
                                                                         : QString::number(controller->value(c));
        return check.section(u'=', 0, 0) + u'=' + shown;
    }

    static IniControl control(const QString& name)
    {
        for (const IniControlInfo& info : iniControls())
            if (name == QLatin1StringView(info.name)) return info.control;
        qFatal("no control %s", qPrintable(name));
    }
};

// What the editor writes on Close for a folder without any file: the opening values,
// which differ from the defaults in the blue of the colour and the column renderer.
const QByteArray kFreshFile =
    "[Doom.Player]\nname=Player\ngender=male\ncolor=40 cf 10\n\n"
    "[GlobalSettings]\nsnd_midivolume=0.5\nsnd_musicvolume=0.25\nsnd_sfxvolume=0.5\nsnd_samplerate=44100\n"
    "snd_channels=12\nsnd_surround=true\nmouse_sensitivity=1\nfreelook=false\ninvertmouse=false\n"
    "lookstrafe=false\nscreenblocks=10\nGamma=1\ncrosshair=0\nr_columnmethod=1\nr_detail=0\n"
    "vid_palettehack=false\nvid_attachedsurfaces=false\n\n"
    "[Doom.ConsoleVariables]\nlookspring=true\nChatmacro0=No\nChatmacro1=I'm ready to kick butt!\n"
    "Chatmacro2=I'm OK.\nChatmacro3=I'm not looking too good!\nChatmacro4=Help!\nChatmacro5=You suck!\n"
    "Chatmacro6=Next time, scumbag...\nChatmacro7=Come here!\nChatmacro8=I'll take care of it.\nChatmacro9=Yes\n"
    "r_stretchsky=true\nst_scale=true\nwipetype=1\nr_drawfuzz=true\ncl_rockettrails=true\ncl_bloodtype=0\n"
    "cl_pufftype=0\nam_rotate=false\nam_overlay=false\nam_usecustomcolors=true\n";

// A file as the port writes it: Windows line endings, a comment, keys the editor does
// not know, values away from the editor's own, and a second game.
QByteArray portWrittenFile()
{
    QByteArray doom = kFreshFile;
    doom.replace("name=Player\n", "name=Doomguy\nautoaim=5000\n")
        .replace("color=40 cf 10", "color=12 34 ab")
        .replace("snd_midivolume=0.5", "snd_midivolume=0.35")
        .replace("snd_samplerate=44100", "snd_samplerate=11025")
        .replace("mouse_sensitivity=1\n", "mouse_sensitivity=2.5\n")
        .replace("Chatmacro0=No", "Chatmacro0=gg")
        .replace("Chatmacro2=I'm OK.", "Chatmacro2=a=b");
    QByteArray heretic = doom.left(doom.indexOf("[GlobalSettings]")) + doom.mid(doom.indexOf("[Doom.ConsoleVariables]"));
    heretic.replace("[Doom.", "[Heretic.").replace("=Doomguy", "=Corvus").replace("=gg", "=gl hf");
    return QByteArray("# Written by the port\n" + doom + "\n" + heretic + "\n[Doom.Bindings]\nw=+forward\n").replace("\n", "\r\n");
}

} // namespace

Q_DECLARE_METATYPE(OptInt)

class TestIniEditorController : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home; // the player's home folder for every case

private slots:
    void initTestCase();
    void init();
    void number_data();
    void number();
    void otherConversions();
    void newFileGetsTheOpeningValues();
    void readsAndWritesKeys_data();
    void readsAndWritesKeys();
    void editChangesOnlyItsKey_data();
    void editChangesOnlyItsKey();
    void changeSavesToPreviousFileAndGame();
    void resets_data();
    void resets();
    void findsThePortsFiles_data();
    void findsThePortsFiles();
};

void TestIniEditorController::initTestCase()
{
    QVERIFY(m_home.isValid());
}

// No case sees the real home folder or the real configuration folder.
void TestIniEditorController::init()
{
    qputenv("HOME", m_home.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    QDir(m_home.path()).removeRecursively();
    QVERIFY(QDir().mkpath(m_home.path()));
}

// File text to slider or list value, at 20 or 10 steps per unit or whole numbers (1), an
// exact half going to the even neighbour; where `written` is set, the value is written
// back as exactly that text.
void TestIniEditorController::number_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("factor");
    QTest::addColumn<OptInt>("value");
    QTest::addColumn<bool>("written");
    for (const auto& [text, factor, value, written] : std::initializer_list<std::tuple<const char*, int, OptInt, bool>>{
             {"0.35", 20, 7, true}, {"0.05", 20, 1, true}, {"1", 20, 20, true}, {"-0.15", 20, -3, true},
             {"1.3", 10, 13, true}, {"30", 1, 30, true}, {"0.025", 20, 0, false}, {"0.075", 20, 2, false},
             {"0.0250001", 20, 1, false}, {"1.25", 10, 12, false}, {"2.5", 1, 2, false}, {"-2.6", 1, -3, false},
             {" 12 ", 1, 12, false}, {".5", 20, 10, false}, {"5.", 1, 5, false}, {"25E-1", 10, 25, false},
             {"1e-999", 1, 0, false}, {"1e999999999", 1, {}, false}, {"99999999999999999999", 1, {}, false},
             {"", 1, {}, false}, {"abc", 1, {}, false}, {"12abc", 1, {}, false}, {"1.2.3", 1, {}, false},
             {"0,5", 1, {}, false}, {"-", 1, {}, false}, {"1e", 1, {}, false}})
        QTest::newRow(text) << QString(text) << factor << value << written;
}

void TestIniEditorController::number()
{
    QFETCH(QString, text);
    QFETCH(int, factor);
    QFETCH(OptInt, value);
    QFETCH(bool, written);
    QCOMPARE(iniconv::roundedTimes(text, factor), value);
    if (written) QCOMPARE(iniconv::dividedText(*value, factor), text);
}

// Sample rates (-1: no item), colours ("-": a part not read) and switches, read and written.
void TestIniEditorController::otherConversions()
{
    for (const auto& [text, index] : std::initializer_list<std::pair<const char*, int>>{
             {"44100", 11}, {"8000", 4}, {"500", 0}, {"25050", 9}, {"44,100", 11}, {"22050", -1}, {"441000", -1},
             {"44100.0", -1}, {"", -1}})
        QVERIFY2(iniconv::sampleRateIndex(text).value_or(-1) == index, text);
    QCOMPARE(iniconv::sampleRateItems().size(), 15);
    for (int i = 0; i < 15; ++i) { // every item is written without its commas and reads back
        const QString written = iniconv::sampleRateFileText(i);
        QVERIFY2(!written.contains(u',') && iniconv::sampleRateIndex(written) == i, qPrintable(written));
    }
    const auto part = [](std::optional<int> v) { return v ? QString::number(*v) : QStringLiteral("-"); };
    for (const auto& [text, parts] : std::initializer_list<std::pair<QString, QString>>{
             {"40 cf 00", "64 207 0"}, {"0f 00 ff", "15 0 255"}, {"FF 0A 10", "255 10 16"}, {"zz 00 ff", "- 0 255"},
             {"40 cf 0g", "64 207 -"}, {"-1 00 00", "- 0 0"}, {"", "- - -"}}) {
        const auto c = iniconv::colourFromText(text);
        QCOMPARE(part(c.red) + u' ' + part(c.green) + u' ' + part(c.blue), parts);
        if (!parts.contains(u'-') && text == text.toLower())
            QCOMPARE(iniconv::colourText(*c.red, *c.green, *c.blue), text);
    }
    for (const auto& [text, ticked] : std::initializer_list<std::pair<const char*, int>>{
             {"true", 1}, {"false", 0}, {"1", -1}, {"FALSE", -1}, {"True", -1}, {"", -1}}) {
        const std::optional<bool> read = iniconv::switchFromText(QString(text));
        QVERIFY2((read ? int(*read) : -1) == ticked, text);
    }
}

// Opening a folder without configuration files: the one entry is the file the port would
// create in the player's configuration folder; Close creates its folder and writes the
// opening values, whose captions are shown.
void TestIniEditorController::newFileGetsTheOpeningValues()
{
    Editor e;
    QVERIFY(putFile(e.path("notes.txt"), "[Doom.Player]\nname=x\n"));
    IniEditorController& c = e.open();
    const QString expected = m_home.filePath(".config/zdoom/zdoom.ini");
    QCOMPARE(c.files(), QStringList{"~/.config/zdoom/zdoom.ini"});
    QCOMPARE(c.state().INIPath, expected);
    QCOMPARE(c.state().PortFolder, e.dir.path()); // opened with a trailing separator
    QVERIFY(c.state().SettingsLoaded);
    QVERIFY(!QFileInfo::exists(m_home.filePath(".config/zdoom")));
    QStringList captions;
    for (int label = 0; label <= int(IniCaption::lblSpeed); ++label) captions << c.caption(IniCaption(label));
    QCOMPARE(captions, (QStringList{"M&IDI (0.5):", "M&usic (0.25):", "&Sound (0.5):", "Re&d (40):", "&Green (CF):",
                                    "&Blue (10):", "&Brightness (1):", "Screensize (10):", "Speed (1)&:"}));
    QVERIFY(c.close());
    QCOMPARE(fileBytes(expected), QByteArray(kFreshFile).replace("\n", IniDocument().newline()));
}

// A key read into a control; Close leaves it as the file has it, also where the control
// could not show it. After an edit Close writes the control's value.
void TestIniEditorController::readsAndWritesKeys_data()
{
    for (const char* column : {"section", "line", "written"}) QTest::addColumn<QByteArray>(column);
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("edited");
    const auto row = [](const char* name, const char* section, const char* line, IniControl control, int shown,
                        int edited, const char* written) {
        QTest::newRow(name) << QByteArray(section) << QByteArray(line) << QByteArray(written) << int(control) << shown
                            << edited;
    };
    const char* p = "Doom.Player";
    const char* g = "GlobalSettings";
    const char* cv = "Doom.ConsoleVariables";
    row("gender", p, "gender=female", C::cmbGender, 1, 2, "cyborg");
    row("gender in capitals", p, "gender=Female", C::cmbGender, 0, 1, "female");
    row("colour with a bad red", p, "color=zz 00 ff", C::hsBlue, 255, 16, "40 00 10");
    row("step out of range", g, "snd_musicvolume=1.5", C::hsMusic, 5, 7, "0.35");
    row("step, half to even", g, "mouse_sensitivity=1.25", C::hsSpeed, 12, 25, "2.5");
    row("sample rate not in the list", g, "snd_samplerate=22050", C::cmbSamplerate, 11, 0, "500");
    row("list text, half to even", g, "snd_channels=8.5", C::cmbChannels, 8, 30, "30");
    row("list text not in the list", g, "snd_channels=32", C::cmbChannels, 12, 0, "0");
    row("whole number out of range", g, "screenblocks=2", C::hsScreensize, 10, 3, "3");
    row("index", g, "r_columnmethod=0", C::cmbCRM, 0, 1, "1");
    row("switch", cv, "lookspring=false", C::chkLookspring, 0, 1, "true");
    row("switch in capitals", cv, "lookspring=FALSE", C::chkLookspring, 1, 0, "false");
    // The edit goes to the game's own section; the other line stays.
    row("game key among the global ones", g, "wipetype=3", C::cmbScreenwipe, 1, 2, "3");
    row("another game's key", "Heretic.ConsoleVariables", "wipetype=3", C::cmbScreenwipe, 1, 2, "3");
}

void TestIniEditorController::readsAndWritesKeys()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, written);
    QFETCH(int, control);
    QFETCH(int, shown);
    QFETCH(int, edited);
    Editor e;
    const QByteArray file = "[Doom.Player]\nname=Bob\n[" + section + "]\n" + line + "\n";
    IniEditorController& c = e.open(file);
    QCOMPARE(c.value(IniControl(control)), shown);
    QVERIFY(c.close());
    QCOMPARE(fileBytes(e.path()), file);
    c.setValue(IniControl(control), edited);
    QVERIFY(c.close());
    QCOMPARE(valueIn(e.path(), section, line.left(line.indexOf('='))), written);
}

namespace {

// The port's own file for Doom alone: the other games have no sections of their own, and
// the shared settings are away from the editor's defaults.
QByteArray doomOnlyFile()
{
    return QByteArray(kFreshFile)
        .replace("name=Player", "name=Doomguy")
        .replace("snd_sfxvolume=0.5", "snd_sfxvolume=0.75")
        .replace("mouse_sensitivity=1\n", "mouse_sensitivity=1.5\n")
        .replace("freelook=false", "freelook=true")
        .replace("Gamma=1\n", "Gamma=2\n")
        .replace("crosshair=0", "crosshair=3");
}

} // namespace

// Files opened, looked at under other games and files, edited ("after": the file then; null
// for no edit) and closed: an edit changes its own key alone, browsing writes nothing, a
// read-only file meets one message for an edit and none otherwise, and another file stays.
// "shows" is what a control holds at the end.
void TestIniEditorController::editChangesOnlyItsKey_data()
{
    for (const char* column : {"file", "after"}) QTest::addColumn<QByteArray>(column);
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("shows");
    const auto row = [](const char* name, QByteArray file, const char* steps, QByteArray after, QString shows) {
        QTest::newRow(name) << file << after << QString(steps) << shows;
    };
    const QByteArray longTexts = "[Doom.Player]\nname=Twenty characters ok\n[Doom.ConsoleVariables]\nChatmacro9="
                                 + QByteArray(100, 'x') + "\n";
    const QByteArray doom = doomOnlyFile();
    const QByteArray unclosed = "[Doom.Player]\nname=X\n[GlobalSettings\nGamma=2\n";
    row("port's file, Doom, Heretic, Doom", portWrittenFile(), "g1 g0", {}, "txtcm0=gg");
    row("UTF-8 name", "[Heretic.Player]\r\nname=J\xc3\xb6rg \xc3\x85ngstr\xc3\xb6m\r\n", "g1", {},
        QStringLiteral("txtName=J\u00f6rg \u00c5ngstr\u00f6m"));
    row("header without ], browsed", unclosed, "g1 g0", {}, "hsGamma=10");
    // Hexen has no section of its own and shows the shared keys the file holds.
    row("read-only file, both files, all games", doom, "read-only g1 f1 g2 f0", {}, "hsGamma=20");
    // The text box then shows the name as the file holds it.
    row("a name in a Windows-1252 file, outer blanks", "[Doom.Player]\nname=J\xf6rg\n", "txtName=__Zo\u00eb\u540d__",
        "[Doom.Player]\nname=Zo\xeb?\n", QStringLiteral("txtName=Zo\u00eb?"));
    // Typing makes a text read from the file no longer than it was, any other no longer than its box.
    row("typed past a long name", "[Doom.Player]\nname=A name far too long\n", "txtName=A_name_far_too_longer",
        "[Doom.Player]\nname=A name far too long\n", "txtName=A name far too long");
    row("typed past the box", "[Doom.Player]\ngender=male\n", "txtName=A_name_far_too_long",
        "[Doom.Player]\ngender=male\nname=A name far too\n", "txtName=A name far too");
    row("long texts kept when Gamma changes", longTexts, "hsGamma=13",
        longTexts + "\n[GlobalSettings]\nGamma=1.3\n", "txtcm9=" + QString(100, u'x'));
    row("Heretic macro goes to Heretic alone", doom, "g1 txtcm0=hi g0",
        doom + "\n[Heretic.ConsoleVariables]\nChatmacro0=hi\n", "hsGamma=20");
    row("shared key changed on Hexen", doom, "g2 hsGamma=25", QByteArray(doom).replace("Gamma=2\n", "Gamma=2.5\n"),
        "hsGamma=25");
    row("header without ], edited", unclosed, "cmbGender=1 hsGamma=15",
        "[Doom.Player]\nname=X\ngender=female\n[GlobalSettings\nGamma=2\n\n[GlobalSettings]\nGamma=1.5\n", "hsGamma=15");
    row("reset all writes every default", "[Doom.Player]\nname=X\n", "reset-all",
        QByteArray(kFreshFile).replace("40 cf 10", "40 cf 00").replace("r_columnmethod=1", "r_columnmethod=0"),
        "txtName=Player");
    row("read-only file, edited", "[Doom.Player]\nname=X\n", "read-only hsGamma=15", "[Doom.Player]\nname=X\n", "hsGamma=15");
}

void TestIniEditorController::editChangesOnlyItsKey()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, after);
    QFETCH(QString, steps);
    QFETCH(QString, shows);
    Editor e;
    const QByteArray other = portWrittenFile();
    QVERIFY(putFile(e.path("zzz.ini"), other) && putFile(e.path(), file));
    const bool readOnly = steps.startsWith(QStringLiteral("read-only ")), failing = readOnly && !after.isNull();
    if (readOnly) QVERIFY(QFile::setPermissions(e.path(), QFile::ReadOwner | QFile::ReadGroup));
    if (failing) e.messages.expect(MessageBox::Answer::Ok); // any other message fails the case
    IniEditorController& c = e.open();
    e.play(steps.mid(readOnly ? 10 : 0));
    QCOMPARE(c.close(), !failing);
    QCOMPARE(e.shows(shows), shows);
    QCOMPARE(fileBytes(e.path()), after.isNull() ? file : after);
    QCOMPARE(fileBytes(e.path("zzz.ini")), other);
    QCOMPARE(shown(e.messages).filter(QStringLiteral("Configuration File Error|")).size(), failing ? 1 : 0);
}

void TestIniEditorController::changeSavesToPreviousFileAndGame()
{
    Editor e;
    const QString a = e.path("a.ini");
    const QString b = e.path("b.ini");
    QVERIFY(putFile(a, "[Doom.Player]\nname=Doomguy\n[Heretic.Player]\nname=Corvus\n[GlobalSettings]\nGamma=1\n"));
    const QByteArray bBefore = "[Heretic.Player]\nname=Other\ngender=cyborg\n[Doom.Player]\ngender=female\n";
    QVERIFY(putFile(b, bBefore));
    IniEditorController& c = e.open();
    c.setText(C::txtName, QStringLiteral("Edited"));
    c.setChecked(C::chkLookspring, false);
    c.setValue(C::hsGamma, 15);
    c.setText(C::txtcm0, QStringLiteral("doom macro"));

    c.chooseGame(1);
    QCOMPARE(fileBytes(a), "[Doom.Player]\nname=Edited\n[Heretic.Player]\nname=Corvus\n[GlobalSettings]\nGamma=1.5\n\n"
                           "[Doom.ConsoleVariables]\nlookspring=false\nChatmacro0=doom macro\n");
    // Heretic's values are shown; keys it lacks show the defaults, not Doom's values.
    QCOMPARE(c.text(C::txtName), QStringLiteral("Corvus"));
    QCOMPARE(c.value(C::hsGamma), 15);
    QCOMPARE(c.text(C::txtcm0), QStringLiteral("No"));

    c.setText(C::txtName, QStringLiteral("Heretic edit"));
    c.chooseFile(1);
    QCOMPARE(valueIn(a, "Heretic.Player", "name"), "Heretic edit");
    QCOMPARE(fileBytes(b), bBefore);
    QCOMPARE(c.text(C::txtName), QStringLiteral("Other"));
    QCOMPARE(c.value(C::cmbGender), 2);
    // A game without a player name still shows what the file holds for it.
    c.chooseGame(0);
    QCOMPARE(c.value(C::cmbGender), 1);
    QCOMPARE(c.text(C::txtName), QStringLiteral("Player"));
    QCOMPARE(c.state().LoadedGame, QStringLiteral("Doom"));

    // When the save fails, the choice is undone and the values shown are kept.
    const QByteArray bNow = fileBytes(b);
    QVERIFY(QFile::setPermissions(b, QFile::ReadOwner));
    c.setText(C::txtName, QStringLiteral("Unsaved"));
    e.messages.expect(MessageBox::Answer::Ok);
    c.chooseGame(2);
    QCOMPARE(e.messages.prompts.size(), 1);
    QCOMPARE(c.state().GameName, QStringLiteral("Doom"));
    QCOMPARE(c.text(C::txtName), QStringLiteral("Unsaved"));
    e.messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!c.close());
    QCOMPARE(fileBytes(b), bNow);
}

// Reset the tab shown (0 to 2) or all (-1) on the game Hexen, answering Yes or No; what four
// controls show afterwards.
void TestIniEditorController::resets_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("after");
    QTest::newRow("General") << 0 << true << "txtName=Player hsBlue=0 txtcm0=X hsGamma=20";
    QTest::newRow("Multiplayer, No") << 1 << false << "txtName=X hsBlue=200 txtcm0=X hsGamma=20";
    QTest::newRow("Display") << 2 << true << "txtName=X hsBlue=200 txtcm0=X hsGamma=10";
    QTest::newRow("all") << -1 << true << "txtName=Player hsBlue=0 txtcm0=No hsGamma=10";
    QTest::newRow("all, No") << -1 << false << "txtName=X hsBlue=200 txtcm0=X hsGamma=20";
}

void TestIniEditorController::resets()
{
    QFETCH(int, tab);
    QFETCH(bool, yes);
    QFETCH(QString, after);
    const QString name = QStringList{"General", "Multiplayer", "Display"}.value(tab);
    Editor e;
    IniEditorController& c = e.open();
    e.play("g2 txtName=X hsBlue=200 txtcm0=X hsGamma=20");
    QCOMPARE(c.resetTabCaption(), QStringLiteral("R&eset General"));
    c.showTab(tab);
    QCOMPARE(c.resetTabCaption(), tab > 0 ? "Reset " + name : QStringLiteral("R&eset General"));
    e.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
    tab < 0 ? c.resetAll() : c.resetShownTab();
    QCOMPARE(shown(e.messages), QStringList{prompt(tab < 0 ? QStringLiteral("Reset to Defaults") : "Reset " + name,
        tab < 0 ? QStringLiteral("Are you sure that you want to reset the settings for the game Hexen?")
                : "Are you sure that you want to reset the " + name + " section?", MessageBox::Buttons::YesNo, MessageBox::Icon::Question)});
    for (const QString& check : after.split(u' ')) QCOMPARE(e.shows(check), check);
}

// Where the editor looks for the port's files. Files are made under a scratch root
// ("port/" the port folder, "home/" the home folder, "xdg/" another configuration
// folder); "exe" is the EXE location. The list shows the files in order, the port's own
// file first; the editor opens only when an executable is found.
void TestIniEditorController::findsThePortsFiles_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QStringList>("made");
    QTest::addColumn<QStringList>("listed"); // empty: the editor does not open
    QTest::newRow("zdoom with its file beside it")
        << "" << "" << QStringList{"port/zdoom", "port/zdoom.ini", "home/.zdoom/old.ini"}
        << QStringList{"zdoom.ini", "~/.zdoom/old.ini"};
    QTest::newRow("packaged gzdoom: its own file first")
        << "{root}/bin/gzdoom" << ""
        << QStringList{"bin/gzdoom", "home/.config/zdoom/zdoom.ini", "home/.config/gzdoom/a.ini",
                       "home/.config/gzdoom/gzdoom.ini", "port/other.INI", "port/notes.txt",
                       "port/folder.ini/x.txt"}
        << QStringList{"~/.config/gzdoom/gzdoom.ini", "other.INI", "~/.config/gzdoom/a.ini", "~/.config/zdoom/zdoom.ini"};
    QTest::newRow("bare name in the port folder, no file of its own")
        << "\"gzdoom\"" << "" << QStringList{"port/gzdoom", "port/b.ini", "port/a.ini", "home/.lzdoom/lzdoom.ini"}
        << QStringList{"a.ini", "b.ini", "~/.lzdoom/lzdoom.ini"};
    QTest::newRow("XDG_CONFIG_HOME set")
        << "" << "{root}/xdg"
        << QStringList{"port/lzdoom", "home/.config/lzdoom/lzdoom.ini", "home/.lzdoom/lzdoom.ini", "xdg/lzdoom/lzdoom.ini"}
        << QStringList{"{root}/xdg/lzdoom/lzdoom.ini", "~/.lzdoom/lzdoom.ini"};
    QTest::newRow("relative XDG_CONFIG_HOME ignored")
        << "" << "xdg" << QStringList{"port/zdoom", "home/.config/zdoom/zdoom.ini", "xdg/zdoom/zdoom.ini"}
        << QStringList{"~/.config/zdoom/zdoom.ini"};
    QTest::newRow("older folder before another port's newer one")
        << "" << "" << QStringList{"port/zdoom", "home/.config/gzdoom/gzdoom.ini", "home/.zdoom/zdoom.ini"}
        << QStringList{"~/.zdoom/zdoom.ini", "~/.config/gzdoom/gzdoom.ini"};
    QTest::newRow("nothing yet: the file the port creates")
        << "{root}/bin/my-port" << "" << QStringList{"bin/my-port", "port/readme.txt"}
        << QStringList{"~/.config/my-port/my-port.ini"};
    QTest::newRow("EXE location gone, zdoom in the port folder")
        << "{root}/nowhere/gzdoom" << "" << QStringList{"port/zdoom"} << QStringList{"~/.config/zdoom/zdoom.ini"};
    QTest::newRow("no executable at all")
        << "no-such-port" << "" << QStringList{"port/zdoom.ini", "port/doom", "home/.config/zdoom/zdoom.ini"}
        << QStringList{};
}

void TestIniEditorController::findsThePortsFiles()
{
    QFETCH(QString, exe);
    QFETCH(QString, xdg);
    QFETCH(QStringList, made);
    QFETCH(QStringList, listed);
    QTemporaryDir root;
    qputenv("HOME", root.filePath("home").toLocal8Bit());
    if (!xdg.isEmpty()) qputenv("XDG_CONFIG_HOME", QString(xdg).replace("{root}", root.path()).toLocal8Bit());
    const QString port = root.filePath("port");
    QVERIFY(QDir().mkpath(port) && QDir().mkpath(root.filePath("home")));
    for (const QString& file : made) { // a name without a dot is a program
        QVERIFY(QDir().mkpath(QFileInfo(root.filePath(file)).path()) && putFile(root.filePath(file), "[A]\n"));
        if (!QFileInfo(file).fileName().contains(u'.')) QVERIFY(QFile::setPermissions(root.filePath(file), QFile::ReadOwner | QFile::ExeOwner));
    }
    exe.replace("{root}", root.path());
    LocalFileSystem fs;
    test::ScriptedMessageBox messages;
    if (listed.isEmpty()) messages.expect(MessageBox::Answer::Ok);
    const bool opens = iniEditorMayOpen(port, exe, fs, messages);
    QCOMPARE(opens, !listed.isEmpty());
    QCOMPARE(messages.prompts.size(), opens ? 0 : 1); // its words are checked with the menu's shortcut
    if (!opens) return;
    IniStore store(messages);
    IniEditorController c(port, portconfig::findExecutable(port, exe, fs), store, messages);
    c.open();
    QCOMPARE(c.files(), listed.replaceInStrings("{root}", root.path()));
    QCOMPARE(portconfig::shownPath(c.state().INIPath), c.files().first().contains(u'/') ? c.files().first()
                                                                                       : port + u'/' + c.files().first());
    // An edit reaches the file listed first, wherever it is, and adds only its own line.
    const QByteArray before = fileBytes(c.state().INIPath);
    c.setValue(C::hsGamma, 15);
    QVERIFY(c.close());
    if (before != "<unreadable>") QCOMPARE(fileBytes(c.state().INIPath), before + "\n[GlobalSettings]\nGamma=1.5\n");
}

QTEST_GUILESS_MAIN(TestIniEditorController)
#include "tst_ini_editor_controller.moc"
