#include "doubles.h"
#include "editors/ini/ini_conversions.h"
#include "editors/ini/ini_document.h"
#include "editors/ini/ini_editor_controller.h"
#include "editors/ini/ini_editor_entry.h"
#include "editors/ini/ini_store.h"
#include "base/paths.h"
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
        controller = std::make_unique<IniEditorController>(dir.path() + QLatin1Char('/'), store, messages);
        controller->open();
        return *controller;
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
private slots:
    void number_data();
    void number();
    void otherConversions();
    void fallbackFileGetsTheOpeningValues();
    void offersTheFolderIniFiles();
    void readsAndWritesKeys_data();
    void readsAndWritesKeys();
    void untouchedFileStaysByteIdentical();
    void changeSavesToPreviousFileAndGame();
    void resets_data();
    void resets();
    void menuEntryNeedsThePort();
};

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
    QCOMPARE(iniconv::switchFromText(u"true"), std::optional(true));
    QCOMPARE(iniconv::switchFromText(u"false"), std::optional(false));
    for (const char* other : {"1", "FALSE", "True", ""}) QVERIFY2(!iniconv::switchFromText(QString(other)), other);
    QCOMPARE(iniconv::switchText(true) + iniconv::switchText(false), QStringLiteral("truefalse"));
}

// Opening a folder without configuration files: the file name, the opening values with
// their captions, and what Close writes.
void TestIniEditorController::fallbackFileGetsTheOpeningValues()
{
    qunsetenv("USERNAME"); // the other cases do not depend on the user's name
    qputenv("USER", "bob");
    Editor e;
    QVERIFY(putFile(e.path("notes.txt"), "[Doom.Player]\nname=x\n"));
    QCOMPARE(e.open().files(), QStringList{"zdoom-bob.ini"}); // USER where USERNAME is not set
    qputenv("USERNAME", "Alice");
    IniEditorController& c = e.open();

    QCOMPARE(c.files(), QStringList{"zdoom-Alice.ini"});
    QCOMPARE(c.state().INIPath, QDir::toNativeSeparators(e.path("zdoom-Alice.ini")));
    QVERIFY(c.state().SettingsLoaded);
    QVERIFY(!QFile::exists(e.path("zdoom-Alice.ini")));
    QStringList captions;
    for (int label = 0; label <= int(IniCaption::lblSpeed); ++label) captions << c.caption(IniCaption(label));
    QCOMPARE(captions, (QStringList{"M&IDI (0.5):", "M&usic (0.25):", "&Sound (0.5):", "Re&d (40):", "&Green (CF):",
                                    "&Blue (10):", "&Brightness (1):", "Screensize (10):", "Speed (1)&:"}));
    QVERIFY(c.close());
    QCOMPARE(fileBytes(e.path("zdoom-Alice.ini")), QByteArray(kFreshFile).replace("\n", IniDocument().newline()));
}

void TestIniEditorController::offersTheFolderIniFiles()
{
    Editor e;
    QVERIFY(putFile(e.path("BACKUP.INI"), "[Doom.Player]\nname=A name far too long\n[Doom.ConsoleVariables]\n"
                                          "Chatmacro4=" + QByteArray(80, 'm') + "\n"));
    QVERIFY(putFile(e.path("readme.txt"), ""));
    QVERIFY(QDir(e.dir.path()).mkdir("folder.ini"));
    IniEditorController& c = e.open("[Doom.Player]\nname=Lower\n");
    QCOMPARE(c.files(), (QStringList{"BACKUP.INI", "zdoom.ini"}));
    QCOMPARE(c.state().PortFolder, e.dir.path()); // the trailing separator is gone
    QCOMPARE(c.state().LoadedGame, QStringLiteral("Doom"));
    // The first file is read; texts are cut to their length.
    QCOMPARE(c.text(C::txtName), QStringLiteral("A name far too"));
    QCOMPARE(c.text(C::txtcm4), QString(64, u'm'));
}

// A key read into a control, and what Close writes back for it.
void TestIniEditorController::readsAndWritesKeys_data()
{
    for (const char* column : {"section", "line", "written"}) QTest::addColumn<QByteArray>(column);
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("shown");
    const auto row = [](const char* name, const char* section, const char* line, IniControl control, int shown,
                        const char* written) {
        QTest::newRow(name) << QByteArray(section) << QByteArray(line) << QByteArray(written) << int(control) << shown;
    };
    const char* p = "Doom.Player";
    const char* g = "GlobalSettings";
    const char* cv = "Doom.ConsoleVariables";
    row("gender", p, "gender=female", C::cmbGender, 1, "female");
    row("gender in capitals", p, "gender=Female", C::cmbGender, 0, "male");
    row("colour with a bad red", p, "color=zz 00 ff", C::hsBlue, 255, "40 00 ff");
    row("step out of range", g, "snd_musicvolume=1.5", C::hsMusic, 5, "0.25");
    row("step, half to even", g, "mouse_sensitivity=1.25", C::hsSpeed, 12, "1.2");
    row("sample rate", g, "snd_samplerate=8000", C::cmbSamplerate, 4, "8000");
    row("sample rate not in the list", g, "snd_samplerate=22050", C::cmbSamplerate, 11, "44100");
    row("list text, half to even", g, "snd_channels=8.5", C::cmbChannels, 8, "8");
    row("list text not in the list", g, "snd_channels=32", C::cmbChannels, 12, "12");
    row("whole number out of range", g, "screenblocks=2", C::hsScreensize, 10, "10");
    row("index", g, "r_columnmethod=0", C::cmbCRM, 0, "0");
    row("switch", cv, "lookspring=false", C::chkLookspring, 0, "false");
    row("switch in capitals", cv, "lookspring=FALSE", C::chkLookspring, 1, "true");
    row("section names in any case", "DOOM.consolevariables", "WIPETYPE=3", C::cmbScreenwipe, 3, "3");
    row("game key among the global ones", g, "wipetype=3", C::cmbScreenwipe, 1, "3");
    row("another game's key", "Heretic.ConsoleVariables", "wipetype=3", C::cmbScreenwipe, 1, "3");
}

void TestIniEditorController::readsAndWritesKeys()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, written);
    QFETCH(int, control);
    QFETCH(int, shown);
    Editor e;
    IniEditorController& c = e.open("[Doom.Player]\nname=Bob\n[" + section + "]\n" + line + "\n");
    QCOMPARE(c.value(IniControl(control)), shown);
    QVERIFY(c.close());
    QCOMPARE(valueIn(e.path(), section, line.left(line.indexOf('='))), written);
}

void TestIniEditorController::untouchedFileStaysByteIdentical()
{
    Editor e;
    const QByteArray original = portWrittenFile();
    IniEditorController& c = e.open(original);
    c.chooseGame(1);
    QCOMPARE(c.text(C::txtcm0), QStringLiteral("gl hf"));
    c.chooseGame(0);
    QVERIFY(c.close());
    QCOMPARE(fileBytes(e.path()), original);
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
    QCOMPARE(valueIn(a, "Doom.Player", "name"), "Edited");
    QCOMPARE(valueIn(a, "Doom.ConsoleVariables", "lookspring"), "false");
    QCOMPARE(valueIn(a, "GlobalSettings", "Gamma"), "1.5");
    QCOMPARE(valueIn(a, "Heretic.ConsoleVariables", "Chatmacro0"), "<none>");
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
    // Without the player's name the file holds nothing for a game: nothing is read.
    c.chooseGame(0);
    QCOMPARE(c.value(C::cmbGender), 0);
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

// Reset the tab shown (0 to 2) or all (-1) on the game Hexen, answering Yes or No; the
// name, blue, first chat macro and brightness shown afterwards.
void TestIniEditorController::resets_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("after");
    QTest::newRow("General") << 0 << true << "Player 0 X 20";
    QTest::newRow("Multiplayer, No") << 1 << false << "X 200 X 20";
    QTest::newRow("Display") << 2 << true << "X 200 X 10";
    QTest::newRow("all") << -1 << true << "Player 0 No 10";
    QTest::newRow("all, No") << -1 << false << "X 200 X 20";
}

void TestIniEditorController::resets()
{
    QFETCH(int, tab);
    QFETCH(bool, yes);
    QFETCH(QString, after);
    const QString name = QStringList{"General", "Multiplayer", "Display"}.value(tab);
    Editor e;
    IniEditorController& c = e.open();
    c.chooseGame(2);
    c.setText(C::txtName, QStringLiteral("X"));
    c.setValue(C::hsBlue, 200);
    c.setText(C::txtcm0, QStringLiteral("X"));
    c.setValue(C::hsGamma, 20);
    QCOMPARE(c.resetTabCaption(), QStringLiteral("R&eset General"));
    c.showTab(tab);
    QCOMPARE(c.resetTabCaption(), tab > 0 ? "Reset " + name : QStringLiteral("R&eset General"));
    e.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
    tab < 0 ? c.resetAll() : c.resetShownTab();
    const auto question = [](const QString& title, const QString& text) {
        return prompt(title, text, MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
    };
    QCOMPARE(shown(e.messages),
             QStringList{tab < 0 ? question("Reset to Defaults", "Are you sure that you want to reset the settings for the game Hexen?")
                                 : question("Reset " + name, "Are you sure that you want to reset the " + name + " section?")});
    QCOMPARE(QStringList({c.text(C::txtName), QString::number(c.value(C::hsBlue)), c.text(C::txtcm0),
                          QString::number(c.value(C::hsGamma))}).join(u' '),
             after);
}

// The main window's menu entry opens the editor only where the port's program is.
void TestIniEditorController::menuEntryNeedsThePort()
{
    QTemporaryDir dir;
    LocalFileSystem files;
    test::ScriptedMessageBox messages;
    messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!iniEditorMayOpen(dir.path(), files, messages));
    QCOMPARE(messages.prompts.size(), 1); // its words are checked with the menu's shortcut
    QVERIFY(putFile(QDir(dir.path()).filePath(paths::portExecutableName()), ""));
    QVERIFY(iniEditorMayOpen(dir.path(), files, messages));
    QVERIFY(iniEditorMayOpen(dir.path() + u'/', files, messages));
}

QTEST_GUILESS_MAIN(TestIniEditorController)
#include "tst_ini_editor_controller.moc"
