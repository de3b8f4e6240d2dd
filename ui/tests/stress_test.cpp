// Thousands of commands in a row on the real dialog against the practice
// Trainer: the handles and memory of this process stay flat from the first
// hundred to the last, and the lower box keeps its bytes through every
// Compare, Stop and Run.
#include "main_dialog.h"

#include "dialog_frame.h"
#include "control_text.h"
#include "dialog_script.h"
#include "message_log.h"
#include "practice_options.h"
#include "wine_support.h"

#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The counts can be raised from the environment for a longer run.
int RoundsFromEnvironment(const char* name, int fallback) {
    const char* value = std::getenv(name);
    const int rounds = value != nullptr ? std::atoi(value) : 0;
    return rounds > 0 ? rounds : fallback;
}

const int kRounds = RoundsFromEnvironment("RECEIVER_STRESS_ROUNDS", 5000);
// A Compare of 27,999 characters costs about 0.15 s even in lines, the rich-edit
// Trainer's answer included (and seconds as one line: Wine's edit box lays out
// a long line in quadratic time, and the rich-edit control is as slow to give
// one back), so the full-length run is shorter by default; any leak still
// shows over it.
const int kLongRounds = RoundsFromEnvironment("RECEIVER_STRESS_LONG_ROUNDS", 500);
constexpr int kWarmUpRounds = 100;

// What this process holds, by the system's own counters where the system keeps
// them and by counts this test can make itself everywhere.
struct Footprint {
    DWORD handles;            // GetProcessHandleCount
    SIZE_T privateBytes;      // GetProcessMemoryInfo's PrivateUsage
    std::uintptr_t newHandle; // the value a new handle gets: handles are reused lowest first
    SIZE_T committed;         // committed private pages, from VirtualQuery
    SIZE_T heapInUse;         // bytes of busy blocks in every heap, from HeapWalk
};

SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (auto* at = static_cast<const char*>(nullptr);
         VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            total += region.RegionSize;
        }
        if (region.RegionSize == 0) {
            break;
        }
    }
    return total;
}

SIZE_T HeapBytesInUse() {
    HANDLE heaps[64] = {};
    const DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                total += entry.cbData;
            }
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

Footprint Measure() {
    Footprint f{};
    GetProcessHandleCount(GetCurrentProcess(), &f.handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    f.privateBytes = memory.PrivateUsage;
    HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    f.newHandle = reinterpret_cast<std::uintptr_t>(probe);
    CloseHandle(probe);
    f.committed = CommittedPrivateBytes();
    f.heapInUse = HeapBytesInUse();
    return f;
}

// Room for what the system itself may cache on the way (window classes,
// message buffers); a leak of anything per round goes far beyond it.
constexpr DWORD kHandleSlack = 8;
constexpr SIZE_T kHeapSlack = 64 * 1024;
constexpr SIZE_T kCommittedSlack = 1024 * 1024;

void ExpectFlat(const Footprint& early, const Footprint& late) {
    // Wine reports no handle count and no private usage for a process (both 0).
    if (!RunningUnderWine()) {
        EXPECT_LE(late.handles, early.handles + kHandleSlack)
            << "handles grew from " << early.handles << " to " << late.handles;
        EXPECT_LE(late.privateBytes, early.privateBytes + kCommittedSlack)
            << "private bytes grew from " << early.privateBytes << " to " << late.privateBytes;
    }
    EXPECT_LE(late.newHandle, early.newHandle + kHandleSlack * 4)
        << "a new handle was " << early.newHandle << " and is now " << late.newHandle;
    EXPECT_LE(late.heapInUse, early.heapInUse + kHeapSlack)
        << "heap in use grew from " << early.heapInUse << " to " << late.heapInUse;
    EXPECT_LE(late.committed, early.committed + kCommittedSlack)
        << "committed private memory grew from " << early.committed << " to " << late.committed;
}

// The script's handler logs every message the dialog sees; the log is this
// test's own memory, so each round starts it afresh (its capacity stays at
// the largest round's).
void ForgetMessages() {
    MessageLog.clear();
}

// Every byte value but NUL, so the copy kept through the rounds is not just letters.
std::string CopyWithEveryByte(std::size_t length) {
    std::string copy;
    for (std::size_t i = 0; copy.size() < length; ++i) {
        copy.push_back(static_cast<char>(1 + i % 255));
    }
    return copy;
}

::testing::AssertionResult Kept(HWND dialog, const std::string& copy, int round,
                                const char* after) {
    const std::string now = ControlText(dialog, IDC_RECEIVED_TEXT);
    if (now == copy) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "round " << round << ": the lower box changed after " << after << " (" << copy.size()
           << " bytes expected, " << now.size() << " held)";
}

class Stress : public PracticeTrainerTest {
  protected:
    void SetUp() override {
        PracticeTrainerTest::SetUp();
        // Run must find no ZINTRA.EXE beside this test and so launch nothing.
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES,
                  GetFileAttributesA((TestFolder() + "ZINTRA.EXE").c_str()));
    }
};

TEST_F(Stress, BeginAndStopPairsLeakNothingAndStopKeepsTheCopy) {
    StartTrainer("--text \"CQ CQ DE TEST\"");
    const int starts = TrainerCount("start");
    const int stops = TrainerCount("stop");
    RunScript([](HWND dialog) {
        const std::string typed = CopyWithEveryByte(300);
        Footprint early{};
        for (int round = 1; round <= kRounds; ++round) {
            ForgetMessages();
            Command(dialog, IDC_BEGIN);
            ASSERT_EQ("", ControlText(dialog, IDC_RECEIVED_TEXT)) << "round " << round;
            SetControlText(dialog, IDC_RECEIVED_TEXT, typed);
            // The box keeps its letters as capitals.
            const std::string copy = ControlText(dialog, IDC_RECEIVED_TEXT);
            Command(dialog, IDC_STOP);
            ASSERT_TRUE(Kept(dialog, copy, round, "Stop"));
            if (round == kWarmUpRounds || (kRounds < kWarmUpRounds && round == 1)) {
                early = Measure();
            }
        }
        ExpectFlat(early, Measure());
    });
    EXPECT_EQ(starts + kRounds, TrainerCount("start")) << TrainerReport();
    EXPECT_EQ(stops + kRounds, TrainerCount("stop")) << TrainerReport();
}

// Compare, Stop and Run on and on with the same copy: the same score line and
// marks each time, the copy untouched, nothing growing.
void CompareRounds(int rounds, int warmUp, const std::string& typed, std::size_t sentLength) {
    RunScript([&](HWND dialog) {
        SetControlText(dialog, IDC_RECEIVED_TEXT, typed);
        const std::string copy = ControlText(dialog, IDC_RECEIVED_TEXT);
        ASSERT_EQ(typed.size(), copy.size());
        Command(dialog, IDC_COMPARE);
        const std::string line = ControlText(dialog, IDC_SCORE);
        ASSERT_EQ(sentLength, ControlText(dialog, IDC_SENT_TEXT).size());
        Footprint early{};
        for (int round = 1; round <= rounds; ++round) {
            ForgetMessages();
            Command(dialog, IDC_COMPARE);
            ASSERT_EQ(line, ControlText(dialog, IDC_SCORE)) << "round " << round;
            ASSERT_TRUE(Kept(dialog, copy, round, "Compare"));
            Command(dialog, IDC_STOP);
            ASSERT_TRUE(Kept(dialog, copy, round, "Stop"));
            Command(dialog, IDC_RUN_TRAINER);
            ASSERT_TRUE(Kept(dialog, copy, round, "Run"));
            if (round == warmUp || (rounds < warmUp && round == 1)) {
                early = Measure();
            }
        }
        ExpectFlat(early, Measure());
    });
}

TEST_F(Stress, ComparesOfAShortTextLeakNothingAndKeepTheCopy) {
    StartTrainer("--fill 200");
    // The copy is right for 100 characters, then every other byte value.
    const std::string copy = FillText(100) + CopyWithEveryByte(300);
    CompareRounds(kRounds, kWarmUpRounds, copy, 200);
}

// The longest text read, in lines of ten five-letter groups.
std::string LongestText() {
    std::string text;
    for (int letter = 0; text.size() < 27999; ++letter) {
        text.push_back(static_cast<char>('A' + letter % 26));
        if (letter % 50 == 49) {
            text += "\r\n";
        } else if (letter % 5 == 4) {
            text.push_back(' ');
        }
    }
    text.resize(27999);
    return text;
}

TEST_F(Stress, ComparesOfTheLongestTextLeakNothingAndKeepTheCopy) {
    const std::string sent = LongestText();
    StartTrainerWithText(sent);
    std::string copy = sent;
    copy[27000] = copy[27000] == 'Q' ? 'X' : 'Q'; // one error near the end
    CompareRounds(kLongRounds, kWarmUpRounds, copy, sent.size());
}

} // namespace
