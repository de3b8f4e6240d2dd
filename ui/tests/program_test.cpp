// receiver.exe as a whole, started as a child process: where its dialog comes
// up, that a posted WM_QUIT leaves it running, that the close box ends it with
// exit code 0, and what its file carries (version, manifest, GUI subsystem).
#include "main_dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartMs = 15000;
constexpr DWORD kExitMs = 10000;

// receiver.exe, found from this test's own folder.
std::string ReceiverPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + RECEIVER_EXE_RELATIVE;
}

struct FoundWindow {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK OfferWindow(HWND window, LPARAM lParam) {
    auto* found = reinterpret_cast<FoundWindow*>(lParam);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    if (processId == found->processId && IsWindowVisible(window) &&
        std::strcmp(title, kMainDialogCaption) == 0) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// Starts receiver.exe as it would be started minimised, and waits for its
// dialog. The test ends the process it started, by its handle, if it is
// still running at the end.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string commandLine = "\"" + ReceiverPath() + "\" some ignored arguments";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMINNOACTIVE;
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process))
            << "cannot start " << ReceiverPath();
        FoundWindow found{process.dwProcessId, nullptr};
        const DWORD begin = GetTickCount();
        while (found.window == nullptr && GetTickCount() - begin < kStartMs) {
            if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) {
                break;
            }
            EnumWindows(OfferWindow, reinterpret_cast<LPARAM>(&found));
        }
        dialog = found.window;
        ASSERT_NE(nullptr, dialog) << "no dialog titled \"" << kMainDialogCaption << "\" came up";
    }

    void TearDown() override {
        if (process.hProcess == nullptr) {
            return;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, kExitMs);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // The exit code, or a failure when it has not ended within the time.
    ::testing::AssertionResult EndsWith(DWORD expected) {
        if (WaitForSingleObject(process.hProcess, kExitMs) != WAIT_OBJECT_0) {
            return ::testing::AssertionFailure() << "still running after " << kExitMs << " ms";
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        if (code != expected) {
            return ::testing::AssertionFailure()
                   << "expected exit code " << expected << ", got " << code;
        }
        return ::testing::AssertionSuccess();
    }

    PROCESS_INFORMATION process{};
    HWND dialog = nullptr;
};

TEST_F(ProgramTest, ShowsItsDialogTopLeftAndTopmostWhateverItWasToldToShow) {
    EXPECT_FALSE(IsIconic(dialog)) << "the start-up show command must not be used";
    RECT window{};
    GetWindowRect(dialog, &window);
    EXPECT_EQ(0, window.left);
    EXPECT_EQ(0, window.top);
    EXPECT_NE(0, GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(EndsWith(0));
}

TEST_F(ProgramTest, IgnoresAPostedQuitAndExitsWithZeroByTheCloseBox) {
    ASSERT_TRUE(PostThreadMessageA(process.dwThreadId, WM_QUIT, 0, 0));
    // A program that left its loop on WM_QUIT would be gone well within this.
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(process.hProcess, 1000))
        << "a posted WM_QUIT ended the program";
    DWORD_PTR ignored = 0;
    EXPECT_NE(0, SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored))
        << "the dialog no longer answers after WM_QUIT";
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(EndsWith(0));
}

std::string VersionString(const std::vector<char>& info, const char* name) {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return "(missing)";
    }
    return value;
}

TEST(ProgramFile, CarriesItsVersionAManifestAndIsAWindowsProgram) {
    const std::string path = ReceiverPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_NE(0u, size) << "no version resource in " << path;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    // The project version's numbers, and nothing else.
    const auto projectVersion = static_cast<DWORD>(
        MAKELONG(RECEIVER_PROJECT_VERSION_MINOR, RECEIVER_PROJECT_VERSION_MAJOR));
    EXPECT_EQ(projectVersion, fixed->dwFileVersionMS);
    EXPECT_EQ(projectVersion, fixed->dwProductVersionMS);
    const auto release = static_cast<DWORD>(MAKELONG(0, RECEIVER_PROJECT_VERSION_PATCH));
    EXPECT_EQ(release, fixed->dwFileVersionLS);
    EXPECT_EQ(release, fixed->dwProductVersionLS);
    EXPECT_EQ(RECEIVER_PROJECT_VERSION, VersionString(info, "FileVersion"));
    EXPECT_EQ(RECEIVER_PROJECT_VERSION, VersionString(info, "ProductVersion"));
    EXPECT_EQ("receiver.exe", VersionString(info, "OriginalFilename"));
    EXPECT_NE(std::string::npos, VersionString(info, "FileDescription").find("Receiver"));

    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, image);
    // What the manifest says is checked by scripts/checks/image.sh.
    EXPECT_NE(nullptr, FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        << "no application manifest (resource 1 of type RT_MANIFEST)";
    FreeLibrary(image);

    std::ifstream file(path, std::ios::binary);
    std::vector<char> head(4096);
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    IMAGE_DOS_HEADER dos{};
    std::memcpy(&dos, head.data(), sizeof dos);
    // The headers of this build's own kind: PE32 for the program that ships,
    // PE32+ for its 64-bit twin.
    IMAGE_NT_HEADERS nt{};
    ASSERT_LT(static_cast<std::size_t>(dos.e_lfanew) + sizeof nt, head.size());
    std::memcpy(&nt, head.data() + dos.e_lfanew, sizeof nt);
#ifdef _WIN64
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, nt.FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR64_MAGIC, nt.OptionalHeader.Magic);
#else
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt.FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, nt.OptionalHeader.Magic);
#endif
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt.OptionalHeader.Subsystem) << "must open no console";
}

} // namespace
