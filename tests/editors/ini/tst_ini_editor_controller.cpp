#include "doubles.h"
#include "editors/ini/ini_document.h"
#include "editors/ini/ini_editor_controller.h"
#include "editors/ini/ini_editor_entry.h"
#include "editors/ini/ini_store.h"
#include "shell/paths.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;
using C = IniControl;

Q_DECLARE_METATYPE(IniControl)
Q_DECLARE_METATYPE(IniCaption)

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray valueIn(const QString& path, const char* section, const char* key)
{
    QBuffer buffer;
    buffer.setData(fileBytes(path));
    buffer.open(QIODevice::ReadOnly);
    IniDocument doc;
    doc.read(buffer);
    return doc.value(section, key).value_or("<none>");
}

// The editor on a folder of its own, answering questions from a script.
struct Editor
{
    QTemporaryDir dir;
    test::ScriptedMessageBox messages;
    IniStore store{messages};
    std::unique_ptr<IniEditorController> controller;

    QString path(const QString& name) const { return dir.filePath(name); }
    IniEditorController& open()
    {
        controller = std::make_unique<IniEditorController>(dir.path() + QLatin1Char('/'), store, messages);
        controller->open();
        return *controller;
    }
};

// What the editor writes on Close for a folder without any file: the opening values,
// which differ from the defaults in the blue of the colour and the column renderer.
const QByteArray kFreshFile = R"([Doom.Player]
name=Player
gender=male
color=40 cf 10

[GlobalSettings]
snd_midivolume=0.5
snd_musicvolume=0.25
snd_sfxvolume=0.5
snd_samplerate=44100
snd_channels=12
snd_surround=true
mouse_sensitivity=1
freelook=false
invertmouse=false
lookstrafe=false
screenblocks=10
Gamma=1
crosshair=0
r_columnmethod=1
r_detail=0
vid_palettehack=false
vid_attachedsurfaces=false

[Doom.ConsoleVariables]
lookspring=true
Chatmacro0=No
Chatmacro1=I'm ready to kick butt!
Chatmacro2=I'm OK.
Chatmacro3=I'm not looking too good!
Chatmacro4=Help!
Chatmacro5=You suck!
Chatmacro6=Next time, scumbag...
Chatmacro7=Come here!
Chatmacro8=I'll take care of it.
Chatmacro9=Yes
r_stretchsky=true
st_scale=true
wipetype=1
r_drawfuzz=true
cl_rockettrails=true
cl_bloodtype=0
cl_pufftype=0
am_rotate=false
am_overlay=false
am_usecustomcolors=true
)";

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
        .replace("Gamma=1\n", "Gamma=1.3\n")
        .replace("Chatmacro0=No", "Chatmacro0=gg")
        .replace("Chatmacro2=I'm OK.", "Chatmacro2=a=b")
        .replace("wipetype=1", "wipetype=3");
    const qsizetype global = doom.indexOf("[GlobalSettings]");
    QByteArray heretic = doom.left(global) + doom.mid(doom.indexOf("[Doom.ConsoleVariables]"));
    heretic.replace("[Doom.", "[Heretic.").replace("=Doomguy", "=Corvus").replace("=gg", "=gl hf");
    QByteArray file = "# Written by the port\n" + doom + "\n" + heretic + "\n[Doom.Bindings]\nw=+forward\n";
    return file.replace("\n", "\r\n");
}

} // namespace

class TestIniEditorController : public QObject
{
    Q_OBJECT
private slots:
    void fallbackFileName_data();
    void fallbackFileName();
    void offersTheFolderIniFiles();
    void closeOnEmptyFolderWritesOpeningValues();
    void readsIntoControls_data();
    void readsIntoControls();
    void textsAreCutToTheirLength();
    void fileWithoutPlayerNameReadsNothing();
    void untouchedFileStaysByteIdentical();
    void saveRewritesWhatCouldNotBeShown_data();
    void saveRewritesWhatCouldNotBeShown();
    void changeSavesToPreviousFileAndGame();
    void failedSaveKeepsTheShownValues();
    void resetShownTab_data();
    void resetShownTab();
    void resetAllAsksForTheGame();
    void captions_data();
    void captions();
    void menuEntryNeedsThePort_data();
    void menuEntryNeedsThePort();
};

void TestIniEditorController::fallbackFileName_data()
{
    QTest::addColumn<bool>("usernameSet");
    QTest::addColumn<QString>("username");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("expected");
    QTest::newRow("USERNAME") << true << "Alice" << "alice" << "zdoom-Alice.ini";
    QTest::newRow("USER where USERNAME is not set") << false << "" << "bob" << "zdoom-bob.ini";
    QTest::newRow("neither") << false << "" << "" << "zdoom-.ini";
}

void TestIniEditorController::fallbackFileName()
{
    QFETCH(bool, usernameSet);
    QFETCH(QString, username);
    QFETCH(QString, user);
    QFETCH(QString, expected);
    const QByteArray oldUsername = qgetenv("USERNAME");
    const bool hadUsername = qEnvironmentVariableIsSet("USERNAME");
    const QByteArray oldUser = qgetenv("USER");
    if (usernameSet) qputenv("USERNAME", username.toUtf8());
    else qunsetenv("USERNAME");
    qputenv("USER", user.toUtf8());

    Editor e;
    writeFile(e.path("notes.txt"), "[Doom.Player]\nname=x\n");
    IniEditorController& c = e.open();

    if (hadUsername) qputenv("USERNAME", oldUsername);
    else qunsetenv("USERNAME");
    qputenv("USER", oldUser);

    QCOMPARE(c.files(), QStringList{expected});
    QCOMPARE(c.state().INIPath, QDir(e.dir.path()).filePath(expected).replace(u'/', QDir::separator()));
    QVERIFY(c.state().SettingsLoaded);
    QVERIFY(!QFile::exists(e.path(expected)));
}

void TestIniEditorController::offersTheFolderIniFiles()
{
    Editor e;
    writeFile(e.path("zdoom.ini"), "[Doom.Player]\nname=Lower\n");
    writeFile(e.path("BACKUP.INI"), "[Doom.Player]\nname=Upper\n");
    writeFile(e.path("readme.txt"), "");
    QVERIFY(QDir(e.dir.path()).mkdir("folder.ini"));
    IniEditorController& c = e.open();
    QCOMPARE(c.files(), (QStringList{"BACKUP.INI", "zdoom.ini"}));
    QCOMPARE(c.fileIndex(), 0);
    QCOMPARE(c.gameIndex(), 0);
    QCOMPARE(c.state().PortFolder, e.dir.path()); // the trailing separator is gone
    QCOMPARE(c.text(C::txtName), QStringLiteral("Upper"));
    QCOMPARE(c.state().LoadedGame, QStringLiteral("Doom"));
}

void TestIniEditorController::closeOnEmptyFolderWritesOpeningValues()
{
    qputenv("USERNAME", "tester");
    Editor e;
    IniEditorController& c = e.open();
    QCOMPARE(c.value(C::hsBlue), 16);
    QCOMPARE(c.value(C::cmbCRM), 1);
    QVERIFY(c.close());
    QCOMPARE(fileBytes(e.path("zdoom-tester.ini")), QByteArray(kFreshFile).replace("\n", IniDocument().newline()));
}

void TestIniEditorController::readsIntoControls_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<IniControl>("control");
    QTest::addColumn<int>("expected");
    const auto row = [](const char* name, const char* section, const char* line, IniControl control, int expected) {
        QTest::newRow(name) << QByteArray(section) << QByteArray(line) << control << expected;
    };
    const char* p = "Doom.Player";
    const char* g = "GlobalSettings";
    const char* cv = "Doom.ConsoleVariables";
    row("gender", p, "gender=female", C::cmbGender, 1);
    row("gender in capitals", p, "gender=Female", C::cmbGender, 0);
    row("colour, bad red", p, "color=zz 00 ff", C::hsRed, 64);
    row("colour, green after bad red", p, "color=zz 00 ff", C::hsGreen, 0);
    row("colour, blue", p, "color=zz 00 ff", C::hsBlue, 255);
    row("music 0.5", g, "snd_musicvolume=0.5", C::hsMusic, 10);
    row("music 1.5 out of range", g, "snd_musicvolume=1.5", C::hsMusic, 5);
    row("sample rate 8000", g, "snd_samplerate=8000", C::cmbSamplerate, 4);
    row("sample rate 22050", g, "snd_samplerate=22050", C::cmbSamplerate, 11);
    row("channels 8.5", g, "snd_channels=8.5", C::cmbChannels, 8);
    row("channels 32", g, "snd_channels=32", C::cmbChannels, 12);
    row("mouse 1.25", g, "mouse_sensitivity=1.25", C::hsSpeed, 12);
    row("gamma 0.5 below range", g, "Gamma=0.5", C::hsGamma, 10);
    row("screen size 2", g, "screenblocks=2", C::hsScreensize, 10);
    row("crosshair 7", g, "crosshair=7", C::cmbCrosshair, 7);
    row("crosshair 8", g, "crosshair=8", C::cmbCrosshair, 0);
    row("column method 0", g, "r_columnmethod=0", C::cmbCRM, 0);
    row("lookspring false", cv, "lookspring=false", C::chkLookspring, 0);
    row("lookspring FALSE", cv, "lookspring=FALSE", C::chkLookspring, 1);
    row("section names in any case", "DOOM.consolevariables", "WIPETYPE=3", C::cmbScreenwipe, 3);
    row("game key among the global ones", g, "wipetype=3", C::cmbScreenwipe, 1);
    row("global key among the game's", cv, "lookstrafe=true", C::chkLookstrafe, 0);
    row("another game's key", "Heretic.ConsoleVariables", "wipetype=3", C::cmbScreenwipe, 1);
}

void TestIniEditorController::readsIntoControls()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, line);
    QFETCH(IniControl, control);
    QFETCH(int, expected);
    Editor e;
    writeFile(e.path("zdoom.ini"), "[Doom.Player]\nname=Bob\n\n[" + section + "]\n" + line + "\n");
    QCOMPARE(e.open().value(control), expected);
}

void TestIniEditorController::textsAreCutToTheirLength()
{
    Editor e;
    const QByteArray macro(80, 'm');
    writeFile(e.path("zdoom.ini"), "[Doom.Player]\nname=A name far too long\n[Doom.ConsoleVariables]\nChatmacro4=" + macro + "\n");
    IniEditorController& c = e.open();
    QCOMPARE(c.text(C::txtName), QStringLiteral("A name far too"));
    QCOMPARE(c.text(C::txtcm4), QString(64, u'm'));
}

void TestIniEditorController::fileWithoutPlayerNameReadsNothing()
{
    Editor e;
    writeFile(e.path("zdoom.ini"), "[Doom.Player]\ngender=female\n[GlobalSettings]\nGamma=2\n");
    IniEditorController& c = e.open();
    QCOMPARE(c.value(C::cmbGender), 0);
    QCOMPARE(c.value(C::hsGamma), 10);
    QVERIFY(c.state().SettingsLoaded);
    QCOMPARE(c.state().LoadedPath, c.state().INIPath);
    QCOMPARE(c.state().LoadedGame, QStringLiteral("Doom"));
}

void TestIniEditorController::untouchedFileStaysByteIdentical()
{
    Editor e;
    const QByteArray original = portWrittenFile();
    writeFile(e.path("zdoom.ini"), original);
    IniEditorController& c = e.open();
    QCOMPARE(c.text(C::txtcm0), QStringLiteral("gg"));
    QCOMPARE(c.value(C::hsMIDI), 7);
    c.chooseGame(1);
    QCOMPARE(c.text(C::txtcm0), QStringLiteral("gl hf"));
    c.chooseGame(0);
    QVERIFY(c.close());
    QCOMPARE(fileBytes(e.path("zdoom.ini")), original);
}

void TestIniEditorController::saveRewritesWhatCouldNotBeShown_data()
{
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("written");
    const auto row = [](const char* section, const char* key, const char* value, const char* written) {
        QTest::newRow(key) << QByteArray(section) << QByteArray(key) << QByteArray(value) << QByteArray(written);
    };
    row("GlobalSettings", "snd_channels", "32", "12");
    row("GlobalSettings", "Gamma", "0.50", "1");
    row("Doom.Player", "color", "zz 00 ff", "40 00 ff");
    row("GlobalSettings", "freelook", "1", "false");
}

void TestIniEditorController::saveRewritesWhatCouldNotBeShown()
{
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, written);
    Editor e;
    const QString file = e.path("zdoom.ini");
    writeFile(file, "[Doom.Player]\nname=Bob\n[" + section + "]\n" + key + "=" + value + "\n");
    QVERIFY(e.open().close());
    QCOMPARE(valueIn(file, section, key), written);
}

void TestIniEditorController::changeSavesToPreviousFileAndGame()
{
    Editor e;
    const QString a = e.path("a.ini");
    const QString b = e.path("b.ini");
    writeFile(a, "[Doom.Player]\nname=Doomguy\n[Doom.ConsoleVariables]\nlookspring=true\n"
                 "[Heretic.Player]\nname=Corvus\n[Heretic.ConsoleVariables]\nlookspring=false\n"
                 "[GlobalSettings]\nGamma=1\n");
    const QByteArray bBefore = "[Heretic.Player]\nname=Other\ngender=cyborg\n";
    writeFile(b, bBefore);
    IniEditorController& c = e.open();
    c.setText(C::txtName, QStringLiteral("Edited"));
    c.setChecked(C::chkLookspring, false);
    c.setValue(C::hsGamma, 15);
    c.setText(C::txtcm0, QStringLiteral("doom macro"));

    c.chooseGame(1);
    QCOMPARE(valueIn(a, "Doom.Player", "name"), QByteArray("Edited"));
    QCOMPARE(valueIn(a, "Doom.ConsoleVariables", "lookspring"), QByteArray("false"));
    QCOMPARE(valueIn(a, "Doom.ConsoleVariables", "Chatmacro0"), QByteArray("doom macro"));
    QCOMPARE(valueIn(a, "GlobalSettings", "Gamma"), QByteArray("1.5"));
    QCOMPARE(valueIn(a, "Heretic.Player", "name"), QByteArray("Corvus"));
    QCOMPARE(valueIn(a, "Heretic.Player", "gender"), QByteArray("<none>"));
    QCOMPARE(valueIn(a, "Heretic.ConsoleVariables", "Chatmacro0"), QByteArray("<none>"));
    // Heretic's values are shown; keys it lacks show the defaults, not Doom's values.
    QCOMPARE(c.text(C::txtName), QStringLiteral("Corvus"));
    QCOMPARE(c.value(C::hsGamma), 15);
    QCOMPARE(c.text(C::txtcm0), QStringLiteral("No"));
    QCOMPARE(c.value(C::hsBlue), 0);
    // The column method is shared by all games: Doom's save wrote it for Heretic too.
    QCOMPARE(c.value(C::cmbCRM), 1);

    c.setText(C::txtName, QStringLiteral("Heretic edit"));
    c.chooseFile(1);
    QCOMPARE(valueIn(a, "Heretic.Player", "name"), QByteArray("Heretic edit"));
    QCOMPARE(fileBytes(b), bBefore);
    QCOMPARE(c.text(C::txtName), QStringLiteral("Other"));
    QCOMPARE(c.value(C::cmbGender), 2);
    QCOMPARE(c.state().LoadedPath, c.state().INIPath);
    QCOMPARE(c.state().LoadedGame, QStringLiteral("Heretic"));
}

void TestIniEditorController::failedSaveKeepsTheShownValues()
{
    Editor e;
    const QString file = e.path("zdoom.ini");
    const QByteArray original = "[Doom.Player]\nname=Doomguy\n";
    writeFile(file, original);
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    IniEditorController& c = e.open();
    c.setText(C::txtName, QStringLiteral("Edited"));

    e.messages.expect(MessageBox::Answer::Ok);
    c.chooseGame(2);
    QCOMPARE(e.messages.prompts.size(), 1);
    QCOMPARE(c.gameIndex(), 0);
    QCOMPARE(c.state().GameName, QStringLiteral("Doom"));
    QCOMPARE(c.text(C::txtName), QStringLiteral("Edited"));

    e.messages.expect(MessageBox::Answer::Ok);
    QVERIFY(!c.close());
    QCOMPARE(e.messages.prompts.size(), 2);
    QCOMPARE(fileBytes(file), original);
}

void TestIniEditorController::resetShownTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<IniControl>("resetOne");
    QTest::newRow("General") << 0 << true << "Reset General"
                             << "Are you sure that you want to reset the General section?" << C::txtName;
    QTest::newRow("Multiplayer") << 1 << true << "Reset Multiplayer"
                                 << "Are you sure that you want to reset the Multiplayer section?" << C::txtcm0;
    QTest::newRow("Display") << 2 << true << "Reset Display"
                             << "Are you sure that you want to reset the Display section?" << C::hsGamma;
    QTest::newRow("No") << 1 << false << "Reset Multiplayer"
                        << "Are you sure that you want to reset the Multiplayer section?" << C::txtcm0;
}

void TestIniEditorController::resetShownTab()
{
    QFETCH(int, tab);
    QFETCH(bool, yes);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(IniControl, resetOne);
    Editor e;
    IniEditorController& c = e.open();
    c.setText(C::txtName, QStringLiteral("X"));
    c.setText(C::txtcm0, QStringLiteral("X"));
    c.setValue(C::hsGamma, 20);
    QCOMPARE(c.resetTabCaption(), QStringLiteral("R&eset General"));
    c.showTab(tab);
    QCOMPARE(c.resetTabCaption(), tab == 0 ? QStringLiteral("R&eset General") : title);
    e.messages.expect(yes ? MessageBox::Answer::Yes : MessageBox::Answer::No);
    c.resetShownTab();
    QCOMPARE(e.messages.prompts.size(), 1);
    QCOMPARE(e.messages.prompts[0].title, title);
    QCOMPARE(e.messages.prompts[0].text, text);
    QCOMPARE(e.messages.prompts[0].buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(e.messages.prompts[0].icon, MessageBox::Icon::Question);
    const auto isReset = [&](IniControl control) {
        return control == C::hsGamma ? c.value(control) == 10 : c.text(control) != QStringLiteral("X");
    };
    for (const IniControl control : {C::txtName, C::txtcm0, C::hsGamma})
        QCOMPARE(isReset(control), yes && control == resetOne);
}

void TestIniEditorController::resetAllAsksForTheGame()
{
    Editor e;
    IniEditorController& c = e.open();
    c.chooseGame(2);
    c.setText(C::txtName, QStringLiteral("X"));
    c.setText(C::txtcm9, QStringLiteral("X"));
    c.setValue(C::cmbCRM, 1);

    e.messages.expect(MessageBox::Answer::No);
    c.resetAll();
    QCOMPARE(c.text(C::txtName), QStringLiteral("X"));

    e.messages.expect(MessageBox::Answer::Yes);
    c.resetAll();
    QCOMPARE(e.messages.prompts[1].title, QStringLiteral("Reset to Defaults"));
    QCOMPARE(e.messages.prompts[1].text,
             QStringLiteral("Are you sure that you want to reset the settings for the game Hexen?"));
    QCOMPARE(c.text(C::txtName), QStringLiteral("Player"));
    QCOMPARE(c.text(C::txtcm9), QStringLiteral("Yes"));
    QCOMPARE(c.value(C::cmbCRM), 0);
    QCOMPARE(c.value(C::hsBlue), 0);
}

void TestIniEditorController::captions_data()
{
    QTest::addColumn<IniControl>("control");
    QTest::addColumn<int>("value");
    QTest::addColumn<IniCaption>("label");
    QTest::addColumn<QString>("expected");
    QTest::newRow("midi") << C::hsMIDI << 7 << IniCaption::lblMIDI << "M&IDI (0.35):";
    QTest::newRow("music") << C::hsMusic << 20 << IniCaption::lblMusic << "M&usic (1):";
    QTest::newRow("sound") << C::hsSound << 0 << IniCaption::lblSound << "&Sound (0):";
    QTest::newRow("red") << C::hsRed << 64 << IniCaption::lblRed << "Re&d (40):";
    QTest::newRow("green") << C::hsGreen << 207 << IniCaption::lblGreen << "&Green (CF):";
    QTest::newRow("blue") << C::hsBlue << 0 << IniCaption::lblBlue << "&Blue (0):";
    QTest::newRow("brightness") << C::hsGamma << 15 << IniCaption::lblGamma << "&Brightness (1.5):";
    QTest::newRow("screen size") << C::hsScreensize << 3 << IniCaption::lblScreenSize << "Screensize (3):";
    QTest::newRow("speed") << C::hsSpeed << 10 << IniCaption::lblSpeed << "Speed (1)&:";
}

void TestIniEditorController::captions()
{
    QFETCH(IniControl, control);
    QFETCH(int, value);
    QFETCH(IniCaption, label);
    QFETCH(QString, expected);
    Editor e;
    IniEditorController& c = e.open();
    c.setValue(control, value);
    QCOMPARE(c.caption(label), expected);
}

void TestIniEditorController::menuEntryNeedsThePort_data()
{
    QTest::addColumn<bool>("portThere");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("port there") << true << "";
    QTest::newRow("port there, trailing separator") << true << "/";
    QTest::newRow("port missing") << false << "";
}

void TestIniEditorController::menuEntryNeedsThePort()
{
    QFETCH(bool, portThere);
    QFETCH(QString, suffix);
    QTemporaryDir dir;
    if (portThere) writeFile(QDir(dir.path()).filePath(paths::portExecutableName()), "");
    LocalFileSystem files;
    test::ScriptedMessageBox messages;
    if (!portThere) messages.expect(MessageBox::Answer::Ok);
    QCOMPARE(iniEditorMayOpen(dir.path() + suffix, files, messages), portThere);
    QCOMPARE(messages.prompts.size(), portThere ? 0 : 1);
    if (portThere) return;
    QCOMPARE(messages.prompts[0].title, QStringLiteral("Configuration File Editor Error"));
    QCOMPARE(messages.prompts[0].text,
             QStringLiteral("Cannot find the correct the correct ZDoom files.  Make sure that the 'ZDoom folder' "
                            "TextBox is set to where the files are."));
    QCOMPARE(messages.prompts[0].icon, MessageBox::Icon::Exclamation);
    QCOMPARE(messages.prompts[0].buttons, MessageBox::Buttons::Ok);
}

QTEST_GUILESS_MAIN(TestIniEditorController)
#include "tst_ini_editor_controller.moc"
