#include "tests/analyzer/AnalyzerGuiHelpers.h"
#include "tests/analyzer/AnalyzerTestFolder.h"

#include "host/InstanceLock.h"
#include "ui/InstanceChannel.h"
#include "ui/ProgramEntry.h"

#include <QDialog>
#include <QSignalSpy>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

ProgramEntry::Program TestProgram()
{
    return {QStringLiteral("Tracemoor"), QStringLiteral("Tracemoor"), "TestAnalyzer"};
}

// Every test has its own runtime folder, so a running analyzer is never seen.
class SingleInstance : public testing::Test
{
protected:
    void SetUp() override
    {
        savedRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path().string()));
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", savedRuntime); }

    AnalyzerTestFolder runtime;
    QByteArray savedRuntime;
};

TEST_F(SingleInstance, ASecondStartAsksTheFirstToRaiseAndEndsWith1)
{
    InstanceLock first("TestAnalyzer");
    ASSERT_EQ(first.TryAcquire(), InstanceLock::Result::Acquired);
    InstanceChannel channel;
    ASSERT_TRUE(channel.Listen(QString::fromStdString(InstanceLock::ChannelPath("TestAnalyzer"))));
    QSignalSpy raise(&channel, &InstanceChannel::RaiseRequested);

    int built = 0;
    const int code = ProgramEntry::Run(TestProgram(), [&built] {
        ++built;
        return std::make_unique<QWidget>();
    });
    EXPECT_EQ(code, ProgramEntry::SecondInstanceExitCode);
    EXPECT_EQ(built, 0);
    EXPECT_TRUE(raise.count() == 1 || raise.wait(10000));
    EXPECT_TRUE(first.Held());
}

TEST_F(SingleInstance, AProgramThatRefusesToRunBesideAnotherSaysWhyAndEndsWith1)
{
    InstanceLock other("TestAnalyzer");
    ASSERT_EQ(other.TryAcquire(), InstanceLock::Result::Acquired);
    MessageRecorder messages;
    const ProgramEntry::Program program{"Gathermoor",   "Data Acquisition",   "TestGather",
                                        "TestAnalyzer", "Cannot run beside.", "Refused."};
    int built = 0;
    const int code = ProgramEntry::Run(program, [&built] {
        ++built;
        return std::make_unique<QWidget>();
    });
    EXPECT_EQ(code, ProgramEntry::RefusedExitCode);
    EXPECT_EQ(built, 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Data Acquisition");
    EXPECT_EQ(messages.messages[0].text, "Cannot run beside.");
    // It never took its own lock.
    EXPECT_FALSE(std::filesystem::exists(InstanceLock::LockPath("TestGather")));
}

TEST_F(SingleInstance, AnErrorWhileBuildingTheWindowsIsShownAndReleasesTheLock)
{
    MessageRecorder messages;
    const int code = ProgramEntry::Run(TestProgram(), []() -> std::unique_ptr<QWidget> {
        EXPECT_TRUE(InstanceLock::IsHeld("TestAnalyzer"));
        throw std::runtime_error("Cannot build the main window.");
    });
    EXPECT_EQ(code, ProgramEntry::ErrorExitCode);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].kind, AppMessage::Kind::Error);
    EXPECT_EQ(messages.messages[0].text, "Cannot build the main window.");
    EXPECT_FALSE(InstanceLock::IsHeld("TestAnalyzer"));
}

TEST_F(SingleInstance, AnErrorInTheEventLoopIsShownAndEndsTheProgram)
{
    MessageRecorder messages;
    const int code = ProgramEntry::Run(TestProgram(), [] {
        auto window = std::make_unique<QWidget>();
        QTimer::singleShot(0, [] { ProgramEntry::Fail("Lost in a handler."); });
        return window;
    });
    EXPECT_EQ(code, ProgramEntry::ErrorExitCode);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Lost in a handler.");
    EXPECT_FALSE(InstanceLock::IsHeld("TestAnalyzer"));

    // A later modal loop still runs (the failure left no pending exit behind).
    QDialog dialog;
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST_F(SingleInstance, BringToFrontShowsAMinimisedOrHiddenWindow)
{
    QWidget minimised;
    minimised.showMinimized();
    ProgramEntry::BringToFront(&minimised);
    EXPECT_FALSE(minimised.isMinimized());
    EXPECT_TRUE(minimised.isVisible());

    QWidget hidden;
    ProgramEntry::BringToFront(&hidden);
    EXPECT_TRUE(hidden.isVisible());
}

} // namespace
