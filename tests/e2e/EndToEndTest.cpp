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

#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

const QString kTitle = "Random discharge directions causing river systems Arvelt";
constexpr QSize kClientSize(525, 550);
constexpr QRect kWhole(QPoint(0, 0), kClientSize);
constexpr QRect kPicture(26, 26, 455, 439);  // the drawing area, inside its frame
constexpr QRect kCommand1(24, 504, 145, 25), kCommand2(192, 504, 121, 25), kCommand3(336, 504, 145, 25);
const QStringList kRestingPoint{"510", "10"};  // off every button, so none is drawn hovered
constexpr QRgb kBackground = 0xffffffff, kInk = 0xff000000;
constexpr int kWaitMs = 30000;    // for valgrind and the sanitizers; a passing run never comes near
constexpr int kCaptureMs = 5000;  // import caught by the window's end waits for ever

// Where a logical coordinate lands: the extent of 51 is laid linearly over the drawing area.
int Column(int x) { return kPicture.left() + static_cast<int>(std::floor(x * kPicture.width() / 51.0)); }
int Row(int y) { return kPicture.top() + static_cast<int>(std::floor(y * kPicture.height() / 51.0)); }

// Pixels of the colour in the area; none in a missing screenshot.
int Count(const QImage& shot, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom() && !shot.isNull(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) count += shot.pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

bool All(const QImage& shot, const QRect& r, QRgb c) { return Count(shot, r, c) == r.width() * r.height(); }
bool Same(const QImage& a, const QImage& b, const QRect& r) { return !a.isNull() && a.copy(r) == b.copy(r); }

// The coarse field (cell size 2) has its borders at logical 3, 5, ..., 45 and the frame's far edge
// at 48, each running from 3 to 48. Those, and no other pixel columns and rows across the field and
// one pixel around it, must be full lines of ink: a mapping one pixel off, or a wider pen, shows.
void ExpectCoarseGrid(const QImage& shot)
{
    const QRect field(QPoint(Column(3), Row(3)), QPoint(Column(48), Row(48)));
    std::vector<int> columns, rows, fullColumns, fullRows;
    for (int at = 3; at <= 48; at += at < 45 ? 2 : 3) columns.push_back(Column(at)), rows.push_back(Row(at));
    for (int x = field.left() - 1; x <= field.right() + 1; ++x)
        if (All(shot, QRect(x, field.top(), 1, field.height()), kInk)) fullColumns.push_back(x);
    for (int y = field.top() - 1; y <= field.bottom() + 1; ++y)
        if (All(shot, QRect(field.left(), y, field.width(), 1), kInk)) fullRows.push_back(y);
    EXPECT_EQ(fullColumns, columns) << "pixel columns that are full lines of ink";
    EXPECT_EQ(fullRows, rows) << "pixel rows that are full lines of ink";
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "openbox", "wmctrl", "xdotool", "import"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is not installed";
        ASSERT_TRUE(Scratch.isValid());
        // Xvfb picks a free display and, once it takes clients, names it on its output in a single
        // write. It must not reset when its last client leaves, or a second run of the program
        // finds it resetting.
        Server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        ASSERT_NO_FATAL_FAILURE(Start(Server, {"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                               "-nolisten", "tcp", "-br", "-noreset"}));
        ASSERT_TRUE(Server.waitForReadyRead(kWaitMs)) << "Xvfb named no display";
        Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert("DISPLAY", ':' + QString::fromLatin1(Server.readAllStandardOutput().trimmed()));
        Environment.remove("QT_QPA_PLATFORM");
        Environment.remove("WAYLAND_DISPLAY");
        Environment.insert("XDG_RUNTIME_DIR", Scratch.path());
        // Openbox with no key or mouse bindings, so it takes no input meant for the program, and its
        // log in the scratch directory. It is ready once it names itself on the root window.
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
        StopProgram();
        Manager.terminate();
        Manager.waitForFinished(5000);
        Server.terminate();
        Server.waitForFinished(5000);
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

    // Runs `command` until it succeeds and returns its output, or nothing once the time is up or
    // `process` has ended: polled rather than waited for, so a process that dies at start fails at once.
    QByteArray Poll(const QStringList& command, QProcess& process)
    {
        const QDeadlineTimer deadline(kWaitMs);
        for (;; QThread::msleep(50)) {
            QByteArray output = Run(command, kWaitMs, true);
            if (!output.isEmpty() || !Running(process) || deadline.hasExpired()) return output;
        }
    }

    // Runs a helper to its end and returns its output; one still running when the time is up is
    // killed as it goes out of scope. Once the program has ended none is run, as import waits for
    // ever on a window that is gone; the end itself is reported at the stop.
    QByteArray Run(const QStringList& command, int timeoutMs = kWaitMs, bool mayFail = false)
    {
        if (Program && !Running()) return {};
        QProcess helper;
        Start(helper, command);
        const bool ended = helper.waitForFinished(timeoutMs);
        if (ended && helper.exitStatus() == QProcess::NormalExit && helper.exitCode() == 0) {
            return helper.readAllStandardOutput();
        }
        if (!mayFail) {
            ADD_FAILURE() << qPrintable(command.join(' ')) << (ended ? " failed: " : " did not finish")
                          << helper.readAllStandardError().toStdString();
        }
        return {};
    }

    // Starts the program, under `wrapper` when one is given, and keeps its first settled picture.
    void StartProgram(QStringList wrapper = {})
    {
        Program = std::make_unique<QProcess>();
        Program->setProcessChannelMode(QProcess::ForwardedChannels);  // with valgrind's report, if any
        ASSERT_NO_FATAL_FAILURE(Start(*Program, wrapper << QUORRIN_PROGRAM));
        // The process id tells its window from one of an earlier run the server has yet to destroy.
        // Search finds the program's own window inside the frame openbox puts round it.
        Window = QString::fromLatin1(Poll({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                           QString::number(Program->processId()), "--name", '^' + kTitle + '$'},
                                          *Program))
                     .section('\n', 0, 0);
        ASSERT_FALSE(Window.isEmpty()) << "no window titled " << qPrintable(kTitle);
        // Focus, and with it the window's look, must not depend on when openbox gets to the new window.
        Run({"xdotool", "windowactivate", "--sync", Window});
        // The window is painted in one pass, so once the buttons show, the picture does too.
        Initial = Settle([](const QImage& shot) { return !All(shot, kCommand1, shot.pixel(kCommand1.center())); });
        ASSERT_EQ(Initial.size(), kClientSize);
    }

    // Without an event loop, QProcess learns of a process's end only when asked.
    static bool Running(QProcess& process)
    {
        return !process.waitForFinished(0) && process.state() == QProcess::Running;
    }
    bool Running() { return Program && Running(*Program); }

    // Ends the program, which must still be running: a crash or a sanitizer report ends it early.
    void StopProgram()
    {
        if (!Program) return;
        if (!Running()) ADD_FAILURE() << "the program ended early, exit code or signal " << Program->exitCode();
        Program->terminate();
        if (!Program->waitForFinished(5000)) Program->kill(), Program->waitForFinished(5000);
        Program.reset();
    }

    // Captures until `ready` holds for two identical captures in a row, so a picture still being
    // drawn is never judged. Out of time, or with the program gone, the last capture is returned
    // for the caller's checks to fail on.
    template <typename Ready>
    QImage Settle(Ready ready)
    {
        const QDeadlineTimer deadline(kWaitMs);
        for (QImage last;; QThread::msleep(20)) {
            const QString file = Scratch.filePath(QString("shot-%1.png").arg(++Shots, 4, 10, QChar('0')));
            Run({"import", "-window", Window, file}, kCaptureMs);
            QImage shot = QImage(file).convertToFormat(QImage::Format_RGB32);
            if (shot.isNull() || (ready(shot) && shot == last) || deadline.hasExpired() || !Running()) return shot;
            last = std::move(shot);
        }
    }

    // Clicks the buttons' centres in turn, each time moving the pointer off to rest and waiting for
    // the picture to change, and returns the settled windows: the one before the first click, then
    // one after each.
    QList<QImage> ClickThrough(const QList<QRect>& buttons, const QImage& from)
    {
        QList<QImage> shots{from};
        for (const QRect& button : buttons) {
            SCOPED_TRACE(testing::Message() << "click " << shots.size());
            const QPoint at = button.center();
            Run({"xdotool", "mousemove", "--window", Window, QString::number(at.x()), QString::number(at.y()),
                 "click", "1", "mousemove", "--window", Window, kRestingPoint[0], kRestingPoint[1]});
            shots.append(Settle([&](const QImage& shot) { return !Same(shot, shots.back(), kPicture); }));
            EXPECT_FALSE(Same(shots.back(), shots[shots.size() - 2], kPicture)) << "the picture did not change";
        }
        return shots;
    }

    QTemporaryDir Scratch;
    QProcess Server, Manager;
    QProcessEnvironment Environment;
    std::unique_ptr<QProcess> Program;
    QString Window;
    QImage Initial;
    int Shots = 0;
};

TEST_F(EndToEnd, OpensBlankThenDrawsOnTheGridAndKeepsThePictureThroughToggleAndMinimise)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    EXPECT_TRUE(All(Initial, kPicture, kBackground)) << "the picture is not blank at start";
    // With the picture all background, any background pixel on the ring around it is a gap in the frame.
    EXPECT_EQ(Count(Initial, kPicture.adjusted(-1, -1, 1, 1), kBackground), kPicture.width() * kPicture.height())
        << "the picture is not framed";

    // Command2 shows the stream view and, clicked again, the drainage as it was.
    const QList<QImage> shots = ClickThrough({kCommand1, kCommand2, kCommand2}, Initial);
    ExpectCoarseGrid(shots[1]);
    EXPECT_TRUE(Same(shots[3], shots[1], kPicture)) << "the drainage came back different";

    Run({"xdotool", "windowminimize", "--sync", Window});
    Run({"xdotool", "windowactivate", "--sync", Window});
    const QImage restored = Settle([&](const QImage& shot) { return Same(shot, shots[3], kWhole); });
    EXPECT_TRUE(Same(restored, shots[3], kWhole)) << "the window came back different after minimise and restore";
}

// Focus starts on the picture, so Tab goes to Command1; Command3, which relabels when it
// generates, stays as it was.
TEST_F(EndToEnd, TabThenSpaceGeneratesFromCommand1)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    Run({"xdotool", "key", "--window", Window, "Tab", "space"});
    const QImage coarse = Settle([&](const QImage& shot) { return !Same(shot, Initial, kPicture); });
    EXPECT_FALSE(Same(coarse, Initial, kPicture)) << "the picture did not change";
    ExpectCoarseGrid(coarse);
    EXPECT_TRUE(Same(coarse, Initial, kCommand3)) << "Command3 changed";
}

TEST_F(EndToEnd, SameClicksGiveTheSameWindowInTwoRuns)
{
    QList<QImage> runs[2];
    for (QList<QImage>& shots : runs) {
        ASSERT_NO_FATAL_FAILURE(StartProgram());
        shots = ClickThrough({kCommand1, kCommand3, kCommand2}, Initial);
        StopProgram();
    }
    EXPECT_TRUE(runs[0] == runs[1]) << "the two runs' windows differ";
}

// Memcheck watches one click sequence through both views and a normal close. The leaks of the
// system's own libraries that it reports are suppressed, each with its reason, in
// memcheck.supp; anything definitely lost beyond them fails the run.
TEST_F(EndToEnd, MemcheckFindsNothingDefinitelyLostOverAClickSequence)
{
    if (QUORRIN_SANITIZED || QStandardPaths::findExecutable("valgrind").isEmpty()) {
        GTEST_SKIP() << "memcheck needs valgrind and the build without sanitizers";
    }
    // libdbus forks to look for a session bus; only the program counts.
    ASSERT_NO_FATAL_FAILURE(StartProgram({"valgrind", "--leak-check=full", "--errors-for-leak-kinds=definite",
                                          "--error-exitcode=9", "--child-silent-after-fork=yes",
                                          "--suppressions=" QUORRIN_MEMCHECK_SUPPRESSIONS}));
    ClickThrough({kCommand1, kCommand2, kCommand2, kCommand3}, Initial);
    // Openbox asks the window to close, as its close button does; the program then ends by itself.
    Run({"wmctrl", "-i", "-c", Window});
    ASSERT_TRUE(Program->waitForFinished(60000)) << "the program did not end after its window closed";
    EXPECT_EQ(Program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Program->exitCode(), 0) << "see valgrind's report above";
    Program.reset();
}

}  // namespace
