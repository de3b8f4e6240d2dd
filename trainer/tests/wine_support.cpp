// Polling, paths, temporary folders and process handling for the Windows tests.
#include "wine_support.h"

#include <algorithm>

const char* const kTrainerTitle = " Zintra Method CW Trainer - Tamsor";

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD begin = GetTickCount();
    while (!done()) {
        if (GetTickCount() - begin >= timeoutMs) {
            return done();
        }
        Sleep(20);
    }
    return true;
}

std::string TestFolder() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.erase(folder.rfind('\\') + 1);
}

std::string PracticeTrainerPath() {
    std::string path = TestFolder() + PRACTICE_TRAINER_RELATIVE_PATH;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

HANDLE StartProcess(const std::string& application, const std::string& commandLine) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, &startup, &created)) {
        return nullptr;
    }
    CloseHandle(created.hThread);
    return created.hProcess;
}

void EndProcess(HANDLE process) {
    if (process == nullptr) {
        return;
    }
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

DWORD WaitForExit(HANDLE process, DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process, &code);
    }
    return code;
}

std::string ImagePathOf(DWORD processId) {
    char path[MAX_PATH + 1] = {};
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process != nullptr) {
        DWORD size = MAX_PATH;
        QueryFullProcessImageNameA(process, 0, path, &size);
        CloseHandle(process);
    }
    return path;
}

namespace {

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    reinterpret_cast<std::vector<TopWindow>*>(list)->push_back(
        {window, processId, IsWindowVisible(window) != FALSE, std::string(title) == kTrainerTitle});
    return TRUE;
}

} // namespace

std::vector<TopWindow> TopWindows() {
    std::vector<TopWindow> windows;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<TopWindow> TrainerWindows() {
    std::vector<TopWindow> windows = TopWindows();
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [](const TopWindow& w) { return !w.trainer; }),
                  windows.end());
    return windows;
}

std::string TrainerTextOf(HWND trainer) {
    HWND text = FindWindowExA(trainer, nullptr, "TRichEdit", nullptr);
    if (text == nullptr) {
        return "";
    }
    std::string buffer(65536, '\0');
    const LRESULT length =
        SendMessageA(text, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return CloseHandle(out) && ok && written == bytes.size();
}

std::string MakeTempFolder() {
    static int made = 0;
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "rx-trainer-" +
                               std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(++made) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveTree(const std::string& folder) {
    // "" would be the current folder: a fixture torn down before it made its
    // folder must not empty the build tree.
    if (folder.empty()) {
        return;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(folder + name + "\\");
            } else {
                DeleteFileA((folder + name).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::size_t VisibleWindowsFrom(const std::string& folder) {
    std::size_t count = 0;
    for (const TopWindow& w : TopWindows()) {
        if (!w.visible) {
            continue;
        }
        const std::string image = ImagePathOf(w.processId);
        const bool fromFolder =
            image.size() >= folder.size() &&
            lstrcmpiA(image.substr(0, folder.size()).c_str(), folder.c_str()) == 0;
        count += (fromFolder || w.trainer) ? 1 : 0;
    }
    return count;
}
