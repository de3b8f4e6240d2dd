// Times the Receiver against its baselines, alternating them run by run so both
// see the same machine: start-up until the dialog is visible, and the Compare
// command as a synchronous click on its button. Prints one line per figure:
//   startup  NAME MEDIAN_MS              (driver startup RUNS PROGRAM... )
//   compare  CHARS MEDIAN_A MEDIAN_B     (driver compare RUNS TEXTFILE TRAINER PROGRAM_A PROGRAM_B)
// PROGRAM is a command line; its first word is the executable.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kCompareId = 107;
constexpr int kReceivedId = 102;
constexpr int kScoreId = 103;

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

PROCESS_INFORMATION Start(const std::string& commandLine) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created)) {
        std::fprintf(stderr, "cannot start %s\n", commandLine.c_str());
        std::exit(1);
    }
    CloseHandle(created.hThread);
    return created;
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK OfferWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of the process, polled for up to 30 s; nullptr on time-out.
HWND AwaitWindow(DWORD processId) {
    const double begin = NowMs();
    while (NowMs() - begin < 30000) {
        Search search{processId, nullptr};
        EnumWindows(OfferWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(1);
    }
    return nullptr;
}

void Close(const PROCESS_INFORMATION& process, HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (WaitForSingleObject(process.hProcess, 15000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
}

int StartupBench(int runs, const std::vector<std::string>& programs) {
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const double begin = NowMs();
            const PROCESS_INFORMATION process = Start(programs[p]);
            HWND window = AwaitWindow(process.dwProcessId);
            times[p].push_back(NowMs() - begin);
            Close(process, window);
        }
    }
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::printf("startup %s %.2f\n", programs[p].c_str(), Median(times[p]));
    }
    return 0;
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int CompareBench(int runs, const char* textFile, const std::string& trainerPath,
                 const std::string& programA, const std::string& programB) {
    const std::string text = ReadFile(textFile);
    const PROCESS_INFORMATION trainer =
        Start("\"" + trainerPath + "\" --text-file \"" + std::string(textFile) + "\"");
    HWND trainerWindow = AwaitWindow(trainer.dwProcessId);
    const PROCESS_INFORMATION programs[2] = {Start(programA), Start(programB)};
    HWND dialogs[2] = {AwaitWindow(programs[0].dwProcessId), AwaitWindow(programs[1].dwProcessId)};
    std::vector<double> times[2];
    bool scored = true;
    for (int p = 0; p < 2; ++p) {
        // The typed copy is the sending itself, so the comparison walks all of it.
        SendMessageA(GetDlgItem(dialogs[p], kReceivedId), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
    for (int run = 0; run < runs; ++run) {
        for (int p = 0; p < 2; ++p) {
            SendMessageA(GetDlgItem(dialogs[p], kScoreId), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(""));
            const double begin = NowMs();
            SendMessageA(GetDlgItem(dialogs[p], kCompareId), BM_CLICK, 0, 0);
            times[p].push_back(NowMs() - begin);
            char score[64] = {};
            SendMessageA(GetDlgItem(dialogs[p], kScoreId), WM_GETTEXT, sizeof score,
                         reinterpret_cast<LPARAM>(score));
            scored = scored && score[0] != '\0';
        }
    }
    for (int p = 0; p < 2; ++p) {
        Close(programs[p], dialogs[p]);
    }
    Close(trainer, trainerWindow);
    if (!scored) {
        std::fprintf(stderr, "a Compare click left no score line\n");
        return 1;
    }
    std::printf("compare %zu %.2f %.2f\n", text.size(), Median(times[0]), Median(times[1]));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "startup") {
        return StartupBench(std::atoi(argv[2]), std::vector<std::string>(argv + 3, argv + argc));
    }
    if (argc == 7 && std::string(argv[1]) == "compare") {
        return CompareBench(std::atoi(argv[2]), argv[3], argv[4], argv[5], argv[6]);
    }
    std::fprintf(stderr, "usage: bench_driver startup RUNS PROGRAM... | compare RUNS TEXTFILE "
                         "TRAINER PROGRAM_A PROGRAM_B\n");
    return 2;
}
