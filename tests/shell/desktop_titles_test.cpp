// SPDX-License-Identifier: GPL-3.0-or-later
// The titles the desktop shows (_NET_WM_NAME, what window managers display) for the
// main window, the message boxes and the About box, and real key presses sent through the
// X server's test extension (xdotool). Only a real X server has them, so the test runs
// itself again under xvfb-run and reads each title with xprop; without those it skips
// with a message.

#include "about.h"
#include "application.h"
#include "controls.h"
#include "key_value_grid.h"
#include "message_boxes.h"
#include "support/window_fixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

constexpr const char* UnderX = "TUNEDECK_TEST_UNDER_X";

// The window's title as the X server holds it.
QString DesktopTitle(QWidget* window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window->winId()),
                                          QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return QStringLiteral("<xprop did not finish>");
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype first = out.indexOf(QLatin1Char('"'));
    return first < 0 ? out : out.mid(first + 1, out.lastIndexOf(QLatin1Char('"')) - first - 1);
}

} // namespace

class DesktopTitlesTest : public QObject {
    Q_OBJECT

private slots:
    void titles_data();
    void titles();
    void keysThroughTheXServer();
};

// Keys pressed as a player presses them, through the X server to the focused widget: a
// value that would spill is refused and the cell shows its value again, a value typed is
// kept, Ctrl+S saves the shown tab, Ctrl+Z takes the value back.
void DesktopTitlesTest::keysThroughTheXServer()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("needs xdotool");
    WorkFolder folder;
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    Window main(folder);
    TForm1& form = *main.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const std::string original = form.state().GeneralText.line(47);
    form.ComboBox1->setCurrentIndex(1); // Bending: row 1 is line 47
    form.ComboBox1Change();
    form.activateWindow();
    form.ValueList->setFocus();
    form.ValueList->setCurrentCell(0, 1);
    // "windowfocus --sync" waits until the server reports the focus, which on a loaded
    // machine it was once seen never to do; the keys follow only once it has, so a wait
    // cut short sends nothing and is begun again.
    const auto press = [&form](const QStringList& keys) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            QProcess xdotool;
            xdotool.start(QStringLiteral("xdotool"),
                          QStringList{QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                      QString::number(form.winId()), QStringLiteral("key"),
                                      QStringLiteral("--delay"), QStringLiteral("40")} +
                              keys);
            QDeadlineTimer deadline(20000);
            while (!xdotool.waitForFinished(5) && !deadline.hasExpired())
                QCoreApplication::processEvents();
            if (xdotool.state() == QProcess::NotRunning) {
                QTest::qWait(200);
                return true;
            }
            xdotool.kill();
            xdotool.waitForFinished();
        }
        return false;
    };
    QVERIFY(press({"F2", "ctrl+a", "1", "comma", "5", "Return"}));
    QTRY_COMPARE(main.messages.texts(FakeMessages::Error),
                 std::vector<QString>{QStringLiteral("A comma ends the value in this line; use a "
                                                     "point for decimals.")});
    QCOMPARE(form.ValueList->value(1), std::string("9800"));
    QCOMPARE(form.state().GeneralText.line(47), original);

    QVERIFY(press({"F2", "ctrl+a", "1", "2", "0", "0", "0", "Return"}));
    QTRY_COMPARE(form.state().GeneralText.line(47).substr(0, 6), std::string("12000\t"));
    QVERIFY(press({"ctrl+s"}));
    QTRY_COMPARE(FileLines(folder.generalPath()).at(47).substr(0, 6), std::string("12000\t"));
    QVERIFY(press({"ctrl+z"}));
    QTRY_COMPARE(form.state().GeneralText.line(47), original);
}

void DesktopTitlesTest::titles_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::newRow("main window") << "main"
                                 << "Tunedeck.";
    QTest::newRow("error box") << "error"
                               << "Error";
    QTest::newRow("warning box") << "warning"
                                 << "Warning";
    QTest::newRow("information box") << "information"
                                     << "Information";
    QTest::newRow("plain box") << "plain"
                               << "Tunedeck";
    QTest::newRow("general error report") << "report"
                                          << "Tunedeck";
    QTest::newRow("About box") << "about"
                               << "About";
}

void DesktopTitlesTest::titles()
{
    QFETCH(QString, window);
    QFETCH(QString, title);

    WorkFolder folder;
    Window main(folder);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.form.get()));
    if (window == QLatin1String("main")) {
        QCOMPARE(DesktopTitle(main.form.get()), title);
        return;
    }

    // Reads the title of the modal box once it is on screen, then closes it.
    QString seen;
    std::function<void()> inspect = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !QTest::qWaitForWindowExposed(modal)) {
            QTimer::singleShot(10, inspect);
            return;
        }
        seen = DesktopTitle(modal);
        if (auto* box = qobject_cast<QDialog*>(modal))
            box->accept();
    };
    QTimer::singleShot(0, inspect);
    MessageBoxes boxes(main.form.get());
    const QString text = QStringLiteral("Text");
    if (window == QLatin1String("error"))
        boxes.error(text);
    else if (window == QLatin1String("warning"))
        boxes.warning(text);
    else if (window == QLatin1String("information"))
        boxes.information(text);
    else if (window == QLatin1String("plain"))
        boxes.plain(text);
    else if (window == QLatin1String("report"))
        boxes.report(text);
    else
        main->About1Click();
    QCOMPARE(seen, title);
}

int main(int argc, char* argv[])
{
    if (!qEnvironmentVariableIsSet(UnderX)) {
        QCoreApplication application(argc, argv);
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
        if (xvfb.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("xprop")).isEmpty()) {
            qInfo("SKIP: the desktop titles need xvfb-run (xvfb) and xprop (x11-utils)");
            return 0;
        }
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(UnderX), QStringLiteral("1"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // In a sanitizer build, the X libraries that Qt loads here are not ours to check:
        // libxkbcommon-x11 hands strndup a keymap name with no NUL within the length it
        // gives (strict string checks report it), and libdbus keeps a buffer to the end.
        // The same window code runs under every check on the offscreen platform.
        if (environment.contains(QStringLiteral("ASAN_OPTIONS")))
            environment.insert(QStringLiteral("ASAN_OPTIONS"),
                               environment.value(QStringLiteral("ASAN_OPTIONS")) +
                                   QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList arguments{QStringLiteral("-a"), QStringLiteral("-s"),
                              QStringLiteral("-screen 0 1024x768x24"),
                              QCoreApplication::applicationFilePath()};
        arguments += QCoreApplication::arguments().mid(1);
        run.start(xvfb, arguments);
        if (!run.waitForFinished(120000))
            return 1;
        return run.exitStatus() == QProcess::NormalExit ? run.exitCode() : 1;
    }
    QApplication application(argc, argv);
    SetUpApplication();
    QApplication::setQuitOnLastWindowClosed(false);
    DesktopTitlesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_titles_test.moc"
