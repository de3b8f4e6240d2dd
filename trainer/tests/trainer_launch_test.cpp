// The Receiver's folder and the start of ZINTRA.EXE from it, against the
// recording fake process calls.
#include "fake_process_system.h"

#include <gtest/gtest.h>

namespace {

const std::uint32_t kLimit = 32768;

// ProgramFolderWith's text as a string, released.
std::string FolderWith(const ProcessSystem& system) {
    HeapText folder = ProgramFolderWith(system);
    std::string copy(TextView(folder));
    FreeText(&folder);
    return copy;
}

TEST(TrainerLaunch, NamesZintraInTheProgramFolderAndQuotesItOnTheCommandLine) {
    const std::string longFolder = "C:\\" + std::string(32757, 'd') + "\\";
    struct {
        std::string modulePath;
        std::string folder;
    } const cases[] = {
        {"D:\\Apps\\Rx\\RX.EXE", "D:\\Apps\\Rx\\"},
        {"E:\\Program Files\\Rx\\RX.EXE", "E:\\Program Files\\Rx\\"},
        {"F:\\RX.EXE", "F:\\"},
        {"C:\\Rx/bin/RX.EXE", "C:\\"}, // only a backslash separates
        {"RX.EXE", ""},
        {longFolder + "RX.EXE", longFolder}, // 32,767 characters: the longest path there is
    };
    for (const auto& c : cases) {
        FakeProcesses fake;
        fake.modulePath = c.modulePath;
        const ProcessSystem& system = FakeProcessSystem(&fake);
        EXPECT_EQ(c.folder, FolderWith(system)) << c.modulePath;

        fake.calls.clear();
        LaunchTrainerWith(system);
        const std::string application = c.folder + "ZINTRA.EXE";
        EXPECT_TRUE(fake.applicationNameGiven);
        EXPECT_EQ(application, fake.applicationName);
        EXPECT_EQ('"' + application + '"', fake.commandLine);
        EXPECT_EQ(nullptr, fake.processAttributes);
        EXPECT_EQ(nullptr, fake.threadAttributes);
        EXPECT_TRUE(fake.inheritHandles);
        EXPECT_EQ(0x20u, fake.creationFlags);
        EXPECT_EQ(nullptr, fake.environment);
        EXPECT_EQ(nullptr, fake.currentDirectory);
        EXPECT_EQ(kStartupInfoSize, fake.startup.cb);
        EXPECT_EQ(1u, fake.startup.flags);
        EXPECT_EQ(1u, fake.startup.showWindow);
        EXPECT_EQ(0x8001u, fake.errorModeDuringCreate);
        EXPECT_EQ(0x0004u, fake.errorMode);
        EXPECT_EQ((std::vector<std::string>{"module 32768", "mode 8001", "create", "mode 4",
                                            "close 11", "close 12"}),
                  fake.calls);
    }
}

TEST(TrainerLaunch, APathNotReadWholeLaunchesNothing) {
    struct {
        std::size_t length;
        CutStyle style;
        bool fails;
    } const cases[] = {
        {kLimit, CutStyle::CountAndError, false},
        {kLimit, CutStyle::CountOnly, false},
        {kLimit + 500, CutStyle::CountAndError, false},
        {kLimit + 500, CutStyle::CountOnly, false},
        {10, CutStyle::CountAndError, true},
    };
    for (const auto& c : cases) {
        FakeProcesses fake;
        fake.modulePath = "C:\\" + std::string(c.length - 10, 'd') + "\\RX.EXE";
        fake.cutStyle = c.style;
        fake.moduleFails = c.fails;
        const ProcessSystem& system = FakeProcessSystem(&fake);
        EXPECT_EQ("", FolderWith(system)) << c.length;
        fake.calls.clear();
        LaunchTrainerWith(system);
        EXPECT_EQ(std::vector<std::string>{"module 32768"}, fake.calls) << c.length;
    }
}

TEST(TrainerLaunch, AFailedCreationRestoresTheErrorModeAndClosesNothing) {
    FakeProcesses fake;
    fake.modulePath = "D:\\Apps\\Rx\\RX.EXE";
    fake.createSucceeds = false;
    fake.errorMode = 0;
    LaunchTrainerWith(FakeProcessSystem(&fake));
    EXPECT_EQ((std::vector<std::string>{"module 32768", "mode 8001", "create", "mode 0"}),
              fake.calls);
}

} // namespace
