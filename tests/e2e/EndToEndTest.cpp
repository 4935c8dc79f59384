// The real program on an X server of its own: clicks and keys go in through xdotool, and the
// window's pixels come back through import. Openbox manages the window as a user's desktop would:
// it frames the window, gives it focus, minimises, restores and closes it on request; a screenshot
// of the window is its client area alone.
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <memory>

#include "PictureOfClicks.h"

namespace {

const QString kTitle = "Random discharge directions causing river systems Arvelt";
constexpr QRect kWhole(0, 0, 525, 550);      // the client area
constexpr QRect kPicture(26, 26, 455, 439);  // the drawing area, inside its frame
constexpr QRect kCommand1(24, 504, 145, 25), kCommand2(192, 504, 121, 25), kCommand3(336, 504, 145, 25);
constexpr QRgb kBackground = 0xffffffff;
constexpr int kWaitMs = 30000;  // for valgrind and the sanitizers; a passing run never comes near

// Pixels of the colour in the area; none in a missing screenshot.
int Count(const QImage& shot, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom() && !shot.isNull(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += shot.pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

// Whether the drawing area holds, pixel for pixel, the core's picture after the clicks.
bool ShowsCorePicture(const QImage& shot, const char* clicks)
{
    const quorrin::test::Raster core = quorrin::test::PictureOfClicks(clicks, 1.0);
    for (int y = 0; y < core.Height && !shot.isNull(); ++y) {
        for (int x = 0; x < core.Width; ++x) {
            const bool ink = core.Pixels[y * core.Width + x] == quorrin::test::kInk;
            if (shot.pixel(kPicture.left() + x, kPicture.top() + y) != (ink ? 0xff000000 : kBackground)) return false;
        }
    }
    return !shot.isNull();
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "openbox", "wmctrl", "xdotool", "import"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(Scratch.isValid());
        // Xvfb picks a free display and names it on its output once it takes clients. It must not
        // reset when its last client leaves, or the second run finds it resetting.
        Server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        ASSERT_NO_FATAL_FAILURE(Start(Server, {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                               "-nolisten", "tcp", "-br", "-noreset"}));
        ASSERT_TRUE(Server.waitForReadyRead(kWaitMs)) << "Xvfb named no display";
        Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert("DISPLAY", ':' + QString::fromLatin1(Server.readAllStandardOutput().trimmed()));
        Environment.remove("QT_QPA_PLATFORM");
        Environment.remove("WAYLAND_DISPLAY");
        Environment.insert("XDG_RUNTIME_DIR", Scratch.path());
        // Openbox with no key or mouse bindings, so it takes no input meant for the program. It is
        // ready once it names itself on the root window.
        QFile config(Scratch.filePath("rc.xml"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(R"(<openbox_config xmlns="http://openbox.org/3.4/rc"/>)");
        config.close();
        ASSERT_NO_FATAL_FAILURE(Start(Manager, {"env", "XDG_CACHE_HOME=" + Scratch.path(), "openbox", "--sm-disable",
                                                "--config-file", config.fileName()}));
        ASSERT_FALSE(Poll({"wmctrl", "-m"}, Manager).isEmpty()) << "openbox did not start managing windows";
    }

    void TearDown() override
    {
        for (QProcess* process : {Program.get(), &Manager, &Server}) {
            if (process != nullptr && (process->terminate(), !process->waitForFinished(5000))) process->kill();
        }
        Scratch.setAutoRemove(!HasFailure());
        if (HasFailure()) std::fprintf(stderr, "screenshots kept in %s\n", qPrintable(Scratch.path()));
    }

    // A test killed on a timeout takes its server, program and helpers with it.
    void Start(QProcess& process, const QStringList& command)
    {
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process.setProcessEnvironment(Environment);
        process.start(command.front(), command.mid(1));
        ASSERT_TRUE(process.waitForStarted(kWaitMs)) << qPrintable(command.join(' ')) << " did not start";
    }

    // Without an event loop, QProcess learns of a process's end only when asked.
    static bool Running(QProcess& process) { return !process.waitForFinished(0) && process.state() == QProcess::Running; }

    // Runs a helper to its end and returns its output. Once the program has ended none is run, as
    // import waits for ever on a window that is gone.
    QByteArray Run(const QStringList& command, bool mayFail = false)
    {
        if (Program && !Running(*Program)) return {};
        QProcess helper;
        Start(helper, command);
        const bool ended = helper.waitForFinished(kWaitMs);
        if (ended && helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0) return helper.readAllStandardOutput();
        if (!mayFail) ADD_FAILURE() << qPrintable(command.join(' ')) << " failed: " << helper.readAllStandardError().toStdString();
        return {};
    }

    // Runs `command` until it prints something, `process` ends or the time is up.
    QByteArray Poll(const QStringList& command, QProcess& process)
    {
        const QDeadlineTimer deadline(kWaitMs);
        for (;; QThread::msleep(50)) {
            QByteArray output = Run(command, true);
            if (!output.isEmpty() || !Running(process) || deadline.hasExpired()) return output;
        }
    }

    // Captures until `ready` holds for two identical captures in a row, so a picture still being
    // drawn is never judged; out of time or with the program gone, returns the last capture.
    template <typename Ready>
    QImage Settle(Ready ready)
    {
        const QDeadlineTimer deadline(kWaitMs);
        for (QImage last;; QThread::msleep(20)) {
            const QString file = Scratch.filePath(QString("shot-%1.png").arg(++Shots, 4, 10, QChar('0')));
            Run({"import", "-window", Window, file});
            QImage shot = QImage(file).convertToFormat(QImage::Format_RGB32);
            if (shot.isNull() || (ready(shot) && shot == last) || deadline.hasExpired() || !Running(*Program)) return shot;
            last = std::move(shot);
        }
    }

    QTemporaryDir Scratch;
    QProcess Server, Manager;
    QProcessEnvironment Environment;
    std::unique_ptr<QProcess> Program;
    QString Window;
    int Shots = 0;
};

// One scenario, run twice, the second time under memcheck where the build allows it (leaks
// beyond those memcheck.supp explains fail it). Real input, Tab and space and then mouse
// clicks, must put the core's picture on screen; a minimised and restored window must come
// back unchanged; a close through openbox ends the program normally; the two runs look alike.
TEST_F(EndToEnd, RealInputShowsTheCoresPictureInTwoRunsAlike)
{
    const bool memcheck = !QUORRIN_SANITIZED && !QStandardPaths::findExecutable("valgrind").isEmpty();
    QList<QImage> runs[2];
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run + 1);
        QStringList command{QUORRIN_PROGRAM};
        if (run == 1 && memcheck) {
            // libdbus forks to look for a session bus; only the program counts.
            command = QStringList{"valgrind", "--leak-check=full", "--errors-for-leak-kinds=definite", "--error-exitcode=9",
                                  "--child-silent-after-fork=yes", "--suppressions=" QUORRIN_MEMCHECK_SUPPRESSIONS} + command;
        }
        Program = std::make_unique<QProcess>();
        Program->setProcessChannelMode(QProcess::ForwardedChannels);  // with valgrind's report, if any
        ASSERT_NO_FATAL_FAILURE(Start(*Program, command));
        // The process id tells its window from one of the first run the server has yet to destroy.
        Window = QString::fromLatin1(Poll({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                           QString::number(Program->processId()), "--name", '^' + kTitle + '$'}, *Program))
                     .section('\n', 0, 0);
        ASSERT_FALSE(Window.isEmpty()) << "no window titled " << qPrintable(kTitle);
        Run({"xdotool", "windowactivate", "--sync", Window});
        // The window is painted in one pass, so once the buttons show, the picture does too.
        // Its focus may show later under memcheck, so the runs are compared from the first input on.
        const QImage initial = Settle([](const QImage& shot) { return Count(shot, kCommand1, shot.pixel(kCommand1.center())) < 145 * 25; });
        ASSERT_EQ(initial.size(), kWhole.size());
        EXPECT_EQ(Count(initial, kPicture, kBackground), 455 * 439) << "the picture is not blank at start";
        // With the picture all background, a background pixel on the ring around it is a gap in the frame.
        EXPECT_EQ(Count(initial, kPicture.adjusted(-1, -1, 1, 1), kBackground), 455 * 439) << "the picture is not framed";

        // Focus starts on the picture, so Tab goes to Command1; then the mouse, resting off every
        // button after each click so that none is drawn hovered.
        const struct { QRect Button; const char* Clicks; } steps[] = {
            {{}, "1"}, {kCommand2, "12"}, {kCommand3, "123"}, {kCommand2, "1232"}, {kCommand2, "12322"}};
        for (const auto& step : steps) {
            if (step.Button.isNull()) {
                Run({"xdotool", "key", "--window", Window, "Tab", "space"});
            } else {
                Run({"xdotool", "mousemove", "--window", Window, QString::number(step.Button.center().x()),
                     QString::number(step.Button.center().y()), "click", "1", "mousemove", "--window", Window, "510", "10"});
            }
            runs[run] += Settle([&](const QImage& shot) { return ShowsCorePicture(shot, step.Clicks); });
            EXPECT_TRUE(ShowsCorePicture(runs[run].back(), step.Clicks)) << "after clicks " << step.Clicks;
        }
        Run({"xdotool", "windowminimize", "--sync", Window});
        Run({"xdotool", "windowactivate", "--sync", Window});
        const QImage restored = Settle([&](const QImage& shot) { return shot == runs[run].back(); });
        EXPECT_TRUE(restored == runs[run].back()) << "the window came back different after minimise and restore";

        // Openbox asks the window to close, as its close button does; the program then ends by itself.
        Run({"wmctrl", "-i", "-c", Window});
        ASSERT_TRUE(Program->waitForFinished(60000)) << "the program did not end after its window closed";
        EXPECT_EQ(Program->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(Program->exitCode(), 0) << "see valgrind's report above, if any";
        Program.reset();
    }
    EXPECT_TRUE(runs[0] == runs[1]) << "the two runs' windows differ";
}

}  // namespace
