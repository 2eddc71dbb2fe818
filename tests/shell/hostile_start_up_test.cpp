// SPDX-License-Identifier: GPL-3.0-or-later
// The real window starting up on files no game ever wrote: binary lines, a 2 GiB file,
// lines of a mebibyte, NUL bytes, a folder or a symbolic-link loop where a file should be,
// a configuration file of 100 MiB without a line break. None may crash or hang the
// program, and start-up changes no file but the one it is meant to delete.

#include "buffer_view.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/text_buffer.h"
#include "support/window_fixture.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <map>
#include <memory>
#include <string>
#ifdef Q_OS_WIN
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#include <vector>

namespace {

constexpr qint64 MiB = 1024 * 1024;
constexpr qint64 GiB = 1024 * MiB;

// Peak resident memory of this process so far, in MiB.
long PeakResidentMiB()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS counters{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<long>(counters.PeakWorkingSetSize / MiB);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
#endif
}

// What identifies a file's content without reading a huge one whole: small files by all
// their bytes, large ones by size, time of change and their first and last mebibyte.
QByteArray Fingerprint(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return "link to " + info.symLinkTarget().toUtf8();
    if (info.isDir())
        return "folder";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "unreadable";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.size() <= 8 * MiB) {
        hash.addData(file.readAll());
    } else {
        hash.addData(file.read(MiB));
        file.seek(file.size() - MiB);
        hash.addData(file.read(MiB));
        hash.addData(info.lastModified().toString(Qt::ISODateWithMs).toUtf8());
    }
    return QByteArray::number(file.size()) + " bytes, " + hash.result().toHex();
}

// Every entry below the folder, symbolic links not followed.
std::map<QString, QByteArray> Snapshot(const QString& root)
{
    std::map<QString, QByteArray> entries;
    std::vector<QString> folders{root};
    while (!folders.empty()) {
        const QString folder = folders.back();
        folders.pop_back();
        const QFileInfoList list = QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                              QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo& info : list) {
            entries[QDir(root).relativeFilePath(info.filePath())] = Fingerprint(info.filePath());
            if (info.isDir() && !info.isSymLink())
                folders.push_back(info.filePath());
        }
    }
    return entries;
}

// Lines holding every byte value but the line feed, in ever other order and length.
std::vector<std::string> BinaryLines(int count)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\n')
            all += static_cast<char>(b);
    std::vector<std::string> lines;
    for (int k = 0; k < count; ++k) {
        std::string line = all.substr(static_cast<size_t>(k) % all.size()) +
                           all.substr(0, static_cast<size_t>(k) % all.size());
        lines.push_back(k % 3 == 0 ? line
                                   : line.substr(0, static_cast<size_t>(k * 37) % all.size()));
    }
    return lines;
}

std::vector<std::string> NulLines(int count)
{
    std::vector<std::string> lines;
    for (int k = 0; k < count; ++k)
        lines.emplace_back(static_cast<size_t>(k * 7) % 1000, '\0');
    return lines;
}

// A file of `size` bytes that takes no room on disk: all NUL bytes, with a line feed at
// the end of every `lineBytes` bytes when that is given.
void MakeSparseFile(const QString& path, qint64 size, qint64 lineBytes = 0)
{
    QFile::remove(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(size));
    for (qint64 end = lineBytes; lineBytes > 0 && end <= size; end += lineBytes) {
        QVERIFY(file.seek(end - 1));
        QCOMPARE(file.write("\n", 1), qint64(1));
    }
}

enum class GameFile { General, Settings };

QString GamePath(const WorkFolder& work, GameFile which)
{
    return which == GameFile::General ? work.generalPath() : work.settingsPath();
}

} // namespace

Q_DECLARE_METATYPE(GameFile)

class HostileStartUpTest : public QObject {
    Q_OBJECT

    // Builds the window on the work folder, as the program starts.
    static std::unique_ptr<Window> start(const WorkFolder& work)
    {
        return std::make_unique<Window>(work);
    }

    static void expectAllEmpty(TForm1& form)
    {
        const AppState& state = form.state();
        QVERIFY(state.GeneralText.empty());
        QVERIFY(state.GeneralText.empty());
        QVERIFY(state.GeneralText.empty());
        QVERIFY(state.SettingsText.empty());
    }

    static void expectSnapshotAfterStartUp(const WorkFolder& work,
                                           std::map<QString, QByteArray> expected, bool iniDeleted)
    {
        if (iniDeleted)
            expected.erase(QStringLiteral("Tunedeck.ini"));
        QVERIFY(Snapshot(work.path()) == expected);
    }

private slots:
    // First, while the peak memory of the process is still that of a fresh start.
    void hugeSparseGameFile_data();
    void hugeSparseGameFile();
    void binaryLinesLoadShowAndSaveUnchanged_data();
    void binaryLinesLoadShowAndSaveUnchanged();
    void notAFile_data();
    void notAFile();
    void hugeConfigurationFile_data();
    void hugeConfigurationFile();
#ifdef TUNEDECK_POSIX_FAULTS
    void namedPipeIsNotTakenForAGameFile();
#endif
};

void HostileStartUpTest::hugeSparseGameFile_data()
{
    QTest::addColumn<GameFile>("which");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("lineBytes");
    QTest::newRow("2 GiB General.txt") << GameFile::General << 2 * GiB << qint64(0);
    QTest::newRow("2 GiB Settings.txt") << GameFile::Settings << 2 * GiB << qint64(0);
    QTest::newRow("General.txt of 410 lines of 1 MiB") << GameFile::General << 410 * MiB << MiB;
    QTest::newRow("Settings.txt of 965 lines of 1 MiB") << GameFile::Settings << 965 * MiB << MiB;
}

void HostileStartUpTest::hugeSparseGameFile()
{
    QFETCH(GameFile, which);
    QFETCH(qint64, size);
    QFETCH(qint64, lineBytes);
    WorkFolder work;
    QVERIFY(work.isValid());
    work.writeIni(QStringLiteral("Tunedeck.ini"), work.gameDir().toStdString());
    MakeSparseFile(GamePath(work, which), size, lineBytes);
    const auto before = Snapshot(work.path());

    const long peakBefore = PeakResidentMiB();
    QElapsedTimer clock;
    clock.start();
    auto started = start(work);
    const qint64 elapsed = clock.elapsed();
    const long peakAfter = PeakResidentMiB();
    // Figures for the record; the time is only measured, never held against a limit.
    qInfo("%s: start-up took %lld ms; peak resident memory %ld MiB before, %ld MiB after",
          QTest::currentDataTag(), elapsed, peakBefore, peakAfter);
    // Reading the whole file would take more than half of it.
    QVERIFY2(peakAfter - peakBefore < size / MiB / 2, "the file was taken in whole");

    TForm1& form = *started->form;
    const AppState& state = form.state();
    if (which == GameFile::General) {
        QCOMPARE(Shown(started->messages), QStringList{InvalidGeneral});
        expectAllEmpty(form);
        QCOMPARE(form.LabelValid->text(), QStringLiteral("No"));
    } else {
        QCOMPARE(Shown(started->messages), QStringList{InvalidSettings});
        QCOMPARE(state.GeneralText.lines(), SplitLines(ReadBytes(work.generalPath())));
        QVERIFY(state.SettingsText.empty());
    }
    expectSnapshotAfterStartUp(work, before, false);
}

void HostileStartUpTest::binaryLinesLoadShowAndSaveUnchanged_data()
{
    QTest::addColumn<bool>("nul");
    QTest::newRow("every byte value") << false;
    QTest::newRow("NUL bytes") << true;
}

void HostileStartUpTest::binaryLinesLoadShowAndSaveUnchanged()
{
    QFETCH(bool, nul);
    WorkFolder work;
    work.writeIni(QStringLiteral("Tunedeck.ini"), work.gameDir().toStdString());
    const auto general = nul ? NulLines(GeneralLineCount) : BinaryLines(GeneralLineCount);
    const auto settings = nul ? NulLines(SettingsLineCount) : BinaryLines(SettingsLineCount);
    WriteBytes(work.generalPath(), JoinLines(general));
    WriteBytes(work.settingsPath(), JoinLines(settings));
    const auto before = Snapshot(work.path());

    auto started = start(work);
    TForm1& form = *started->form;
    const AppState& state = form.state();
    QCOMPARE(Shown(started->messages), QStringList{});
    QVERIFY(state.GeneralText.lines() == general);
    QVERIFY(state.GeneralText.lines() == general);
    QVERIFY(state.GeneralText.lines() == general);
    QVERIFY(state.SettingsText.lines() == settings);
    expectSnapshotAfterStartUp(work, before, false);

    // Shown in the file-details views, on every tab, the lines stay what they are.
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.DetailsCheck->setChecked(true);
    for (int tab = 0; tab < TabCount; ++tab) {
        form.PageControl1->setCurrentIndex(tab);
        QCoreApplication::processEvents();
    }
    QVERIFY(form.Memo1->isVisible() || form.PedMemo->isVisible() || form.MiscMemo->isVisible() ||
            form.APOMemo->isVisible());
    QVERIFY(state.GeneralText.lines() == general);
    QVERIFY(state.SettingsText.lines() == settings);

    // Saved, every line but the first comes back byte for byte.
    form.MiscSave->click();
    form.SavePed->click();
    std::vector<std::string> savedGeneral = general;
    savedGeneral[0] = GeneralHeaderLine;
    std::vector<std::string> savedSettings = settings;
    savedSettings[0] = SettingsHeaderLine;
    QVERIFY(ReadBytes(work.generalPath()) == JoinLines(savedGeneral));
    QVERIFY(ReadBytes(work.settingsPath()) == JoinLines(savedSettings));
    QCOMPARE(Shown(started->messages),
             (QStringList{QStringLiteral("information: File updated: ") + work.generalPath(),
                          QStringLiteral("information: File updated: ") + work.settingsPath()}));
}

// Something that is not a readable file where a game file or the game folder should be.
void HostileStartUpTest::notAFile_data()
{
    QTest::addColumn<QString>("general");  // what stands at data/General.txt
    QTest::addColumn<QString>("settings"); // what stands at data/peds/Settings.txt
    QTest::addColumn<bool>("gameDirLoop"); // the game folder itself is a link loop
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("folder named General.txt")
        << "folder"
        << "file" << false << QStringList{CorruptedConfiguration};
    QTest::newRow("folder named Settings.txt")
        << "file"
        << "folder" << false << QStringList{CorruptedConfiguration};
    QTest::newRow("General.txt links to itself")
        << "self link"
        << "file" << false << QStringList{CorruptedConfiguration};
    QTest::newRow("Settings.txt in a loop of two links")
        << "file"
        << "two links" << false << QStringList{CorruptedConfiguration};
    QTest::newRow("both in link loops")
        << "two links"
        << "self link" << false << QStringList{CorruptedConfiguration, CorruptedConfiguration};
    QTest::newRow("game folder links to itself")
        << "file"
        << "file" << true << QStringList{CorruptedConfiguration, CorruptedConfiguration};
}

void HostileStartUpTest::notAFile()
{
    QFETCH(QString, general);
    QFETCH(QString, settings);
    QFETCH(bool, gameDirLoop);
    QFETCH(QStringList, messages);
#ifdef Q_OS_WIN
    if (general.contains(QLatin1String("link")) || settings.contains(QLatin1String("link")))
        QSKIP("QFile::link makes a shortcut file on Windows, not a symbolic link");
#endif
    WorkFolder work;
    const QString loop = work.path("loop");
    if (gameDirLoop)
        QVERIFY(QFile::link(loop, loop));
    work.writeIni(QStringLiteral("Tunedeck.ini"),
                  (gameDirLoop ? loop : work.gameDir()).toStdString());
    for (const auto& [path, what] :
         {std::pair{work.generalPath(), general}, std::pair{work.settingsPath(), settings}}) {
        if (what == QLatin1String("file"))
            continue;
        QVERIFY(QFile::remove(path));
        if (what == QLatin1String("folder")) {
            WriteBytes(QDir(path).filePath("inside.txt"), "not a game file\r\n");
        } else if (what == QLatin1String("self link")) {
            QVERIFY(QFile::link(path, path));
        } else {
            QVERIFY(QFile::link(path + QStringLiteral(".other"), path));
            QVERIFY(QFile::link(path, path + QStringLiteral(".other")));
        }
    }
    const auto before = Snapshot(work.path());

    auto started = start(work);
    TForm1& form = *started->form;
    const AppState& state = form.state();

    QCOMPARE(Shown(started->messages), messages);
    const bool generalLoads = !gameDirLoop && general == QLatin1String("file");
    const bool settingsLoads = !gameDirLoop && settings == QLatin1String("file");
    QCOMPARE(state.GeneralText.count(), generalLoads ? GeneralLineCount : 0);
    QCOMPARE(state.GeneralText.count(), generalLoads ? GeneralLineCount : 0);
    QCOMPARE(state.SettingsText.count(), settingsLoads ? SettingsLineCount : 0);
    QCOMPARE(form.LabelValid->text(),
             generalLoads || settingsLoads ? QStringLiteral("Yes") : QStringLiteral("No"));
    expectSnapshotAfterStartUp(work, before, true);
}

void HostileStartUpTest::hugeConfigurationFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("sparse");
    QTest::newRow("Tunedeck.ini of NUL bytes") << "Tunedeck.ini" << true;
    QTest::newRow("Tunedeck.ini of the game folder, then more") << "Tunedeck.ini" << false;
    QTest::newRow("Perkwright.ini of NUL bytes") << "Perkwright.ini" << true;
    QTest::newRow("Perkwright.ini of the game folder, then more") << "Perkwright.ini" << false;
}

// 100 MiB without a line break: only the start of it is read, and it names no folder.
void HostileStartUpTest::hugeConfigurationFile()
{
    QFETCH(QString, name);
    QFETCH(bool, sparse);
    WorkFolder work;
    const QString ini = work.path(name);
    if (sparse) {
        MakeSparseFile(ini, 100 * MiB);
    } else {
        // The game folder, then a run of letters that makes its name too long to exist.
        QByteArray bytes = QFile::encodeName(work.gameDir());
        bytes += QByteArray(100 * MiB - bytes.size(), 'x');
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    const auto before = Snapshot(work.path());

    const long peakBefore = PeakResidentMiB();
    auto started = start(work);
    qInfo("%s: peak resident memory %ld MiB before start-up, %ld MiB after",
          QTest::currentDataTag(), peakBefore, PeakResidentMiB());

    TForm1& form = *started->form;
    QCOMPARE(Shown(started->messages),
             (QStringList{CorruptedConfiguration, CorruptedConfiguration}));
    expectAllEmpty(form);
    QVERIFY(form.state().GameDir.size() <= 4096);
    QVERIFY(!form.state().GameDir.contains(QLatin1Char('\n')));
    // A Perkwright.ini is never deleted, nor changed.
    expectSnapshotAfterStartUp(work, before, name == QLatin1String("Tunedeck.ini"));
}

#ifdef TUNEDECK_POSIX_FAULTS
// Start-up opens whatever FileExists accepts, and opening a named pipe waits until some
// program opens it for writing: a pipe named General.txt must not count as a game file,
// or the window would never open. (Not built here: were this to fail, it would hang.)
void HostileStartUpTest::namedPipeIsNotTakenForAGameFile()
{
    WorkFolder work;
    QVERIFY(QFile::remove(work.generalPath()));
    QCOMPARE(mkfifo(QFile::encodeName(work.generalPath()).constData(), 0600), 0);
    QVERIFY(!FileExists(work.generalPath()));
}
#endif

QTEST_MAIN(HostileStartUpTest)
#include "hostile_start_up_test.moc"
