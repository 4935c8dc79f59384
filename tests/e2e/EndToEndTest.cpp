// The real program on an X server of its own: clicks and keys go in through xdotool, and the
// window's pixels come back through import. No window manager runs, so the window sits at 0,0
// without decorations and a screenshot of it is exactly its client area.
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

// Sizes in failure messages as width x height.
void PrintTo(const QSize& size, std::ostream* out)
{
    *out << size.width() << 'x' << size.height();
}

namespace {

const QString kTitle = QStringLiteral("Random discharge directions causing river systems Arvelt");
constexpr QSize kClientSize(525, 550);
constexpr QRect kWhole(QPoint(0, 0), kClientSize);
// The picture's drawing area, inside its two-pixel frame.
constexpr QRect kPicture(26, 26, 455, 439);
constexpr QRect kCommand1(24, 504, 145, 25);
constexpr QRect kCommand2(192, 504, 121, 25);
constexpr QRect kCommand3(336, 504, 145, 25);
// On the window's own background: the pointer rests here between clicks, so no button is
// drawn hovered in a screenshot.
constexpr QPoint kRestingPoint(510, 10);
constexpr double kLogicalExtent = 51.0;
constexpr QRgb kBackground = 0xffffffff;
constexpr QRgb kInk = 0xff000000;
// Long enough for the sanitizer build; a passing run never waits anywhere near this long.
constexpr int kWaitMs = 20000;
constexpr int kCaptureMs = 5000;

// Where a logical coordinate lands in the window: the extent is laid linearly over the area.
int Column(double x)
{
    return kPicture.left() + static_cast<int>(std::floor(x * kPicture.width() / kLogicalExtent));
}
int Row(double y)
{
    return kPicture.top() + static_cast<int>(std::floor(y * kPicture.height() / kLogicalExtent));
}

int CountOf(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += image.pixel(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

// Pixels of the area that differ between two screenshots; all of them when either is missing.
int Differing(const QImage& a, const QImage& b, const QRect& area)
{
    if (a.size() != kClientSize || b.size() != kClientSize) {
        return area.width() * area.height();
    }
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

bool Uniform(const QImage& image, const QRect& area)
{
    return image.size() == kClientSize &&
           CountOf(image, area, image.pixel(area.topLeft())) == area.width() * area.height();
}

// The field's frame and cell borders for cell size s: vertical lines at x = c - s/2 for
// c = 2s, 3s, ... up to W - 2s, and the frame's right edge at W - 1.5s, each running from
// 1.5s to W - 1.5s; the horizontal lines the same with x and y swapped. Each must be a full line
// of ink on exactly its pixel column or row, with the columns or rows beside it not full: a
// mapping one pixel off, or a wider pen, shows here.
void ExpectGridLines(const QImage& shot, int s)
{
    ASSERT_EQ(shot.size(), kClientSize);
    std::vector<double> lines;
    for (int c = 2 * s; c <= kLogicalExtent - 2 * s; c += s) {
        lines.push_back(c - 0.5 * s);
    }
    const double inset = 1.5 * s;
    lines.push_back(kLogicalExtent - inset);

    const int top = Row(inset);
    const int bottom = Row(kLogicalExtent - inset);
    const int left = Column(inset);
    const int right = Column(kLogicalExtent - inset);
    const auto fullColumn = [&](int x) {
        return CountOf(shot, QRect(x, top, 1, bottom - top + 1), kInk) == bottom - top + 1;
    };
    const auto fullRow = [&](int y) {
        return CountOf(shot, QRect(left, y, right - left + 1, 1), kInk) == right - left + 1;
    };
    std::string wrong;
    for (const double at : lines) {
        const int x = Column(at);
        if (!fullColumn(x) || fullColumn(x - 1) || fullColumn(x + 1)) {
            wrong += " x=" + QString::number(at).toStdString();
        }
        const int y = Row(at);
        if (!fullRow(y) || fullRow(y - 1) || fullRow(y + 1)) {
            wrong += " y=" + QString::number(at).toStdString();
        }
    }
    EXPECT_TRUE(wrong.empty()) << "with cell size " << s << ", no single full line at logical" << wrong;
}

// In a child before it starts: a test process killed on a timeout takes its server and program
// with it.
void EndWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "xdotool", "import"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                GTEST_SKIP() << tool << " is not installed";
            }
        }
        ASSERT_TRUE(Scratch.isValid()) << qPrintable(Scratch.errorString());
        StartServer();
    }

    void TearDown() override
    {
        StopProgram();
        if (Server.state() != QProcess::NotRunning) {
            Server.terminate();
            if (!Server.waitForFinished(5000)) {
                Server.kill();
                Server.waitForFinished(5000);
            }
        }
        if (HasFailure()) {
            Scratch.setAutoRemove(false);
            std::fprintf(stderr, "screenshots and logs kept in %s\n", qPrintable(Scratch.path()));
        }
    }

    // Starts Xvfb on a display it picks itself, which it reports once it accepts clients. It must
    // not reset when its last client leaves: a second run of the program would find it resetting.
    void StartServer()
    {
        int ends[2];
        ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
        const int writeEnd = ends[1];
        Server.setChildProcessModifier([writeEnd] {
            fcntl(writeEnd, F_SETFD, 0);
            EndWithParent();
        });
        Server.setStandardOutputFile(QProcess::nullDevice());
        Server.setStandardErrorFile(Scratch.filePath(QStringLiteral("Xvfb.log")));
        Server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QString::number(writeEnd), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                      QStringLiteral("tcp"), QStringLiteral("-br"), QStringLiteral("-noreset")});
        const bool started = Server.waitForStarted(kWaitMs);
        close(writeEnd);

        QByteArray display;
        QElapsedTimer clock;
        clock.start();
        while (started && !display.endsWith('\n') && clock.elapsed() < kWaitMs) {
            pollfd readable{ends[0], POLLIN, 0};
            if (poll(&readable, 1, 100) < 0) {
                break;
            }
            char buffer[16];
            const ssize_t got =
                (readable.revents & (POLLIN | POLLHUP)) != 0 ? read(ends[0], buffer, sizeof buffer) : -1;
            if (got == 0) {
                break;  // Xvfb ended without naming a display
            }
            if (got > 0) {
                display.append(buffer, static_cast<qsizetype>(got));
            }
        }
        close(ends[0]);
        ASSERT_TRUE(started) << "Xvfb did not start";
        ASSERT_TRUE(display.endsWith('\n')) << "Xvfb named no display; see " << qPrintable(Scratch.path());

        Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert(QStringLiteral("DISPLAY"),
                           QLatin1Char(':') + QString::fromLatin1(display.trimmed()));
        Environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        Environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        Environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), Scratch.path());
    }

    // Runs a helper to its end and returns its output; nothing when it failed or took too long.
    std::optional<QByteArray> TryRun(const QString& program, const QStringList& arguments, std::string& why,
                                     int timeoutMs = kWaitMs)
    {
        QProcess helper;
        helper.setProcessEnvironment(Environment);
        helper.start(program, arguments);
        const std::string command =
            (program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '))).toStdString();
        if (!helper.waitForFinished(timeoutMs)) {
            helper.kill();
            helper.waitForFinished(5000);
            why = command + " did not finish\n";
            return std::nullopt;
        }
        if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0) {
            why = command + " failed: " + helper.readAllStandardError().toStdString();
            return std::nullopt;
        }
        return helper.readAllStandardOutput();
    }

    // Once the program has ended, helpers are not run: import waits for ever on a window that is
    // gone. The end itself is reported when the program is stopped.
    QByteArray Run(const QString& program, const QStringList& arguments, int timeoutMs = kWaitMs)
    {
        if (Program && !ProgramRunning()) {
            return {};
        }
        std::string why;
        const std::optional<QByteArray> output = TryRun(program, arguments, why, timeoutMs);
        if (!output) {
            ADD_FAILURE() << why << ProgramLog();
        }
        return output.value_or(QByteArray());
    }

    std::string ProgramLog() const
    {
        QFile log(Scratch.filePath(QStringLiteral("quorrin-%1.log").arg(Runs)));
        return log.open(QIODevice::ReadOnly) ? "program's output:\n" + log.readAll().toStdString()
                                             : std::string();
    }

    // Starts the program, under `wrapper` when one is given, waits until its window shows, and
    // keeps the first settled screenshot.
    void StartProgram(const QStringList& wrapper = {})
    {
        ++Runs;
        Window.clear();
        Program = std::make_unique<QProcess>();
        Program->setChildProcessModifier(EndWithParent);
        Program->setProcessEnvironment(Environment);
        Program->setStandardOutputFile(QProcess::nullDevice());
        Program->setStandardErrorFile(Scratch.filePath(QStringLiteral("quorrin-%1.log").arg(Runs)));
        if (wrapper.isEmpty()) {
            Program->start(QStringLiteral(QUORRIN_PROGRAM), {});
        } else {
            Program->start(wrapper.front(), wrapper.mid(1) << QStringLiteral(QUORRIN_PROGRAM));
        }
        ASSERT_TRUE(Program->waitForStarted(kWaitMs)) << QUORRIN_PROGRAM << " did not start";

        // Polled rather than waited for with --sync, so a program that dies at start fails at once.
        // Its process id tells its window from one of an earlier run that the server has yet to
        // destroy.
        const QStringList search{QStringLiteral("search"),
                                 QStringLiteral("--all"),
                                 QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--pid"),
                                 QString::number(Program->processId()),
                                 QStringLiteral("--name"),
                                 QLatin1Char('^') + kTitle + QLatin1Char('$')};
        QElapsedTimer clock;
        clock.start();
        while (Window.isEmpty() && ProgramRunning() && clock.elapsed() < kWaitMs) {
            std::string why;
            if (const std::optional<QByteArray> found = TryRun(QStringLiteral("xdotool"), search, why)) {
                Window = QString::fromLatin1(*found).section(QLatin1Char('\n'), 0, 0).trimmed();
            } else {
                QThread::msleep(50);
            }
        }
        ASSERT_FALSE(Window.isEmpty()) << "no window titled " << qPrintable(kTitle) << '\n' << ProgramLog();
        // The window is painted in one pass, so once the buttons show, the picture does too.
        Start = Settle([](const QImage& shot) { return !Uniform(shot, kCommand1); });
        ASSERT_EQ(Start.size(), kClientSize);
    }

    // Asks the window to close, as its close button would; the program then ends by itself.
    void RequestClose()
    {
        const QByteArray display = Environment.value(QStringLiteral("DISPLAY")).toLatin1();
        xcb_connection_t* connection = xcb_connect(display.constData(), nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection), 0) << "cannot reach the X server";
        const auto atom = [connection](const char* name) {
            const xcb_intern_atom_cookie_t cookie =
                xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
            xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
            const xcb_atom_t found = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
            std::free(reply);
            return found;
        };
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = Window.toUInt();
        event.type = atom("WM_PROTOCOLS");
        event.data.data32[0] = atom("WM_DELETE_WINDOW");
        event.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, event.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
        xcb_flush(connection);
        xcb_disconnect(connection);
    }

    // Without an event loop, QProcess learns of the program's end only when asked.
    bool ProgramRunning()
    {
        if (!Program) {
            return false;
        }
        Program->waitForFinished(0);
        return Program->state() == QProcess::Running;
    }

    // Ends the program, which must still be running: a crash or a sanitizer report ends it early.
    void StopProgram()
    {
        if (!Program) {
            return;
        }
        if (!ProgramRunning()) {
            const std::string how = Program->exitStatus() == QProcess::CrashExit
                                        ? "killed by a signal"
                                        : "with exit code " + std::to_string(Program->exitCode());
            ADD_FAILURE() << "the program ended on its own, " << how << '\n' << ProgramLog();
        }
        Program->terminate();
        if (!Program->waitForFinished(5000)) {
            Program->kill();
            Program->waitForFinished(5000);
        }
        Program.reset();
    }

    QImage Capture()
    {
        const QString file =
            Scratch.filePath(QStringLiteral("shot-%1.png").arg(++Shots, 4, 10, QLatin1Char('0')));
        // A capture takes a few tens of milliseconds; import caught by the window's end waits for ever.
        Run(QStringLiteral("import"), {QStringLiteral("-window"), Window, file}, kCaptureMs);
        const QImage shot(file);
        return shot.isNull() ? shot : shot.convertToFormat(QImage::Format_RGB32);
    }

    // Captures until `ready` holds for two identical captures in a row, so a picture still being
    // drawn is never judged. Out of time, or with the program gone, the last capture is returned
    // as it is for the caller's checks to fail on.
    QImage Settle(const std::function<bool(const QImage&)>& ready)
    {
        QElapsedTimer clock;
        clock.start();
        QImage previous;
        for (;;) {
            QImage shot = Capture();
            if (shot.isNull() || (ready(shot) && shot == previous) || clock.elapsed() > kWaitMs ||
                !ProgramRunning()) {
                return shot;
            }
            previous = std::move(shot);
            QThread::msleep(20);
        }
    }

    // Waits for the picture to change from `before` and returns the settled screenshot.
    QImage SettleChanged(const QImage& before)
    {
        QImage after = Settle([&](const QImage& shot) { return Differing(shot, before, kPicture) > 0; });
        EXPECT_GT(Differing(after, before, kPicture), 0) << "the picture did not change";
        return after;
    }

    // Clicks the button's centre, then moves the pointer off to rest.
    void Press(const QRect& button)
    {
        const QPoint at = button.center();
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QStringLiteral("--window"), Window, QString::number(at.x()),
             QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1"),
             QStringLiteral("mousemove"), QStringLiteral("--window"), Window,
             QString::number(kRestingPoint.x()), QString::number(kRestingPoint.y())});
    }

    QImage Click(const QRect& button, const QImage& before)
    {
        Press(button);
        return SettleChanged(before);
    }

    QImage TabAndSpace(const QImage& before)
    {
        Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--window"), Window,
                                        QStringLiteral("Tab"), QStringLiteral("space")});
        return SettleChanged(before);
    }

    QTemporaryDir Scratch;
    QProcess Server;
    QProcessEnvironment Environment;
    std::unique_ptr<QProcess> Program;
    QString Window;
    QImage Start;
    int Runs = 0;
    int Shots = 0;
};

TEST_F(EndToEnd, OpensAtClientSizeWithABlankFramedPicture)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    EXPECT_EQ(CountOf(Start, kPicture, kBackground), kPicture.width() * kPicture.height())
        << "the picture is not blank at start";
    // The frame's inner ring touches the drawing area on all four sides.
    const QRect ring = kPicture.adjusted(-1, -1, 1, 1);
    for (const QRect& side :
         {QRect(ring.left(), ring.top(), ring.width(), 1), QRect(ring.left(), ring.bottom(), ring.width(), 1),
          QRect(ring.left(), ring.top(), 1, ring.height()),
          QRect(ring.right(), ring.top(), 1, ring.height())}) {
        EXPECT_EQ(CountOf(Start, side, kBackground), 0) << "frame side at " << side.x() << ',' << side.y();
    }
}

// Both generate buttons share one counter: coarse, fine, coarse, whichever is clicked.
TEST_F(EndToEnd, GenerateClicksAlternateGridsAndRelabelTheClickedButton)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());

    const QImage coarse = Click(kCommand1, Start);
    ExpectGridLines(coarse, 2);
    EXPECT_GT(Differing(coarse, Start, kCommand1), 0) << "Command1 kept its caption";
    EXPECT_EQ(Differing(coarse, Start, kCommand3), 0) << "Command3 changed";

    const QImage fine = Click(kCommand1, coarse);
    ExpectGridLines(fine, 1);
    EXPECT_GT(Differing(fine, coarse, kCommand1), 0) << "the fine field left Command1's caption as it was";

    const QImage tapped = Click(kCommand3, fine);
    ExpectGridLines(tapped, 2);
    EXPECT_GT(Differing(tapped, fine, kCommand3), 0) << "Command3 kept its caption";
    EXPECT_EQ(Differing(tapped, fine, kCommand1), 0) << "Command1 changed";
}

TEST_F(EndToEnd, ViewToggleAndRemappingRestoreTheDrainagePixelForPixel)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const QImage drainage = Click(kCommand1, Start);

    const QImage streams = Click(kCommand2, drainage);
    EXPECT_GT(Differing(streams, drainage, kCommand2), 0) << "Command2 kept its caption";

    Press(kCommand2);
    const QImage back = Settle([&](const QImage& shot) { return Differing(shot, drainage, kPicture) == 0; });
    EXPECT_EQ(Differing(back, drainage, kPicture), 0) << "the drainage came back different";
    EXPECT_EQ(Differing(back, drainage, kCommand2), 0) << "Command2's caption did not return";

    Run(QStringLiteral("xdotool"), {QStringLiteral("windowunmap"), QStringLiteral("--sync"), Window});
    Run(QStringLiteral("xdotool"), {QStringLiteral("windowmap"), QStringLiteral("--sync"), Window});
    const QImage mapped = Settle([&](const QImage& shot) { return Differing(shot, back, kWhole) == 0; });
    EXPECT_EQ(Differing(mapped, back, kWhole), 0) << "the window came back different after unmap and map";
}

// Focus starts on the picture; Tab goes on to Command1, Command2 and Command3 in turn.
TEST_F(EndToEnd, TabReachesEachButtonInTurnAndSpaceClicksIt)
{
    ASSERT_NO_FATAL_FAILURE(StartProgram());

    const QImage coarse = TabAndSpace(Start);
    ExpectGridLines(coarse, 2);
    EXPECT_GT(Differing(coarse, Start, kCommand1), 0) << "Command1 was not the one clicked";
    EXPECT_EQ(Differing(coarse, Start, kCommand3), 0);

    const QImage streams = TabAndSpace(coarse);
    EXPECT_GT(Differing(streams, coarse, kCommand2), 0) << "Command2 was not the one clicked";
    EXPECT_EQ(Differing(streams, coarse, kCommand1), 0);

    const QImage fine = TabAndSpace(streams);
    ExpectGridLines(fine, 1);
    EXPECT_GT(Differing(fine, streams, kCommand3), 0) << "Command3 was not the one clicked";
}

TEST_F(EndToEnd, SameClicksGiveTheSameWindowInTwoRuns)
{
    const auto clickThrough = [this] {
        std::vector<QImage> shots;
        QImage last = Start;
        for (const QRect& button : {kCommand1, kCommand3, kCommand2}) {
            last = Click(button, last);
            shots.push_back(last);
        }
        return shots;
    };
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const std::vector<QImage> first = clickThrough();
    StopProgram();
    ASSERT_NO_FATAL_FAILURE(StartProgram());
    const std::vector<QImage> second = clickThrough();

    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(Differing(first[i], second[i], kWhole), 0) << "after click " << i + 1;
    }
}

// Memcheck watches one click sequence through both views and a normal close. The leaks of the
// system's own libraries that it reports are suppressed, each with its reason, in
// memcheck.supp; anything definitely lost beyond them fails the run.
TEST_F(EndToEnd, MemcheckFindsNothingDefinitelyLostOverAClickSequence)
{
#ifdef QUORRIN_SANITIZED
    GTEST_SKIP() << "memcheck runs on the build without sanitizers";
#else
    if (QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty()) {
        GTEST_SKIP() << "valgrind is not installed";
    }
    ASSERT_NO_FATAL_FAILURE(StartProgram({QStringLiteral("valgrind"), QStringLiteral("--leak-check=full"),
                                          QStringLiteral("--errors-for-leak-kinds=definite"),
                                          QStringLiteral("--error-exitcode=9"),
                                          // libdbus forks to look for a session bus; only the program counts.
                                          QStringLiteral("--child-silent-after-fork=yes"),
                                          QStringLiteral("--suppressions=" QUORRIN_MEMCHECK_SUPPRESSIONS)}));
    QImage last = Start;
    for (const QRect& button : {kCommand1, kCommand2, kCommand2, kCommand3}) {
        last = Click(button, last);
    }
    ASSERT_NO_FATAL_FAILURE(RequestClose());
    ASSERT_TRUE(Program->waitForFinished(60000)) << "the program did not end after its window closed";
    EXPECT_EQ(Program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(Program->exitCode(), 0) << ProgramLog();
    Program.reset();
#endif
}

}  // namespace
